#include "freeform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>

#include "console.h"

namespace {

bool gbSpecialWords = false;

constexpr size_t FIRST_BUFFER_SIZE = 1 << 16;

bool IS_BLANK(char c) { return c == ' ' || c == '\t'; }

[[noreturn]] void INPUT_FAILED(const LineSource& src, int err) {
  std::string report = src.iKind == SOURCE_CONSOLE ? std::string("cannot read standard input: ")
                                                   : "cannot read input file \"" + src.Name + "\": ";
  report += std::strerror(err);
  ABNORMAL_END(report);
}

// Reads more bytes into the buffer, keeping the unsplit tail. Returns false at the end
// of the data.
bool FILL_BUFFER(LineSource& src, size_t& iScan) {
  if (src.bEndOfData) return false;
  if (src.iBufStart > 0) {
    // Move the unsplit tail to the front so the buffer only grows for long lines.
    const size_t nKeep = src.iBufEnd - src.iBufStart;
    std::memmove(src.Buffer.data(), src.Buffer.data() + src.iBufStart, nKeep);
    iScan -= src.iBufStart;
    src.iBufStart = 0;
    src.iBufEnd = nKeep;
  }
  if (src.Buffer.size() == 0) src.Buffer.resize(FIRST_BUFFER_SIZE);
  if (src.iBufEnd == src.Buffer.size()) src.Buffer.resize(src.Buffer.size() * 2);
  for (;;) {
    const ssize_t k = ::read(src.fd, src.Buffer.data() + src.iBufEnd, src.Buffer.size() - src.iBufEnd);
    if (k < 0) {
      if (errno == EINTR) continue;
      INPUT_FAILED(src, errno);
    }
    if (k == 0) {
      src.bEndOfData = true;
      return false;
    }
    src.iBufEnd += static_cast<size_t>(k);
    return true;
  }
}

bool NEXT_FILE_LINE(LineSource& src, std::string_view& line) {
  size_t iScan = src.iBufStart;
  for (;;) {
    const char* begin = src.Buffer.data();
    const void* nl = iScan < src.iBufEnd ? std::memchr(begin + iScan, '\n', src.iBufEnd - iScan) : nullptr;
    if (nl != nullptr) {
      const size_t iEnd = static_cast<const char*>(nl) - begin;
      line = std::string_view(begin + src.iBufStart, iEnd - src.iBufStart);
      src.iBufStart = iEnd + 1;
      return true;
    }
    iScan = src.iBufEnd;
    if (!FILL_BUFFER(src, iScan)) {
      if (src.iBufStart == src.iBufEnd) return false;
      // The last line has no line end.
      line = std::string_view(src.Buffer.data() + src.iBufStart, src.iBufEnd - src.iBufStart);
      src.iBufStart = src.iBufEnd;
      return true;
    }
  }
}

bool NEXT_TEXT_LINE(LineSource& src, std::string_view& line) {
  if (src.iTextPos >= src.Text.size()) return false;
  const size_t nl = src.Text.find('\n', src.iTextPos);
  const size_t iEnd = nl == std::string::npos ? src.Text.size() : nl;
  line = std::string_view(src.Text).substr(src.iTextPos, iEnd - src.iTextPos);
  src.iTextPos = nl == std::string::npos ? src.Text.size() : nl + 1;
  return true;
}

bool EQUALS_IGNORING_CASE(std::string_view a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return true;
}

bool IS_DIGIT(char c) { return c >= '0' && c <= '9'; }

// A decimal or exponent form: [sign] (digits [. [digits]] | . digits) [(e|E) [sign] digits].
bool IS_REAL_FORM(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t nDigits = 0;
  while (i < s.size() && IS_DIGIT(s[i])) ++i, ++nDigits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IS_DIGIT(s[i])) ++i, ++nDigits;
  }
  if (nDigits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t nExp = 0;
    while (i < s.size() && IS_DIGIT(s[i])) ++i, ++nExp;
    if (nExp == 0) return false;
  }
  return i == s.size();
}

}  // namespace

void FREE_ACCEPT_SPECIAL_WORDS(bool bAccept) { gbSpecialWords = bAccept; }

bool PARSE_INTEGER(std::string_view field, int32_t& value) {
  const bool bPlus = !field.empty() && field[0] == '+';
  if (bPlus) field.remove_prefix(1);
  const size_t iDigits = !bPlus && !field.empty() && field[0] == '-' ? 1 : 0;
  if (field.size() <= iDigits || !IS_DIGIT(field[iDigits])) return false;
  int32_t v = 0;
  const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
  if (r.ec != std::errc() || r.ptr != field.data() + field.size()) return false;
  value = v;
  return true;
}

bool PARSE_REAL(std::string_view field, float& value) {
  if (gbSpecialWords) {
    std::string_view word = field;
    bool bNegative = false;
    if (!word.empty() && (word[0] == '+' || word[0] == '-')) {
      bNegative = word[0] == '-';
      word.remove_prefix(1);
    }
    if (EQUALS_IGNORING_CASE(word, "nan")) {
      value = std::numeric_limits<float>::quiet_NaN();
      return true;
    }
    if (EQUALS_IGNORING_CASE(word, "inf") || EQUALS_IGNORING_CASE(word, "infinity")) {
      value = bNegative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
      return true;
    }
  }
  if (!IS_REAL_FORM(field)) return false;
  if (field[0] == '+') field.remove_prefix(1);
  float v = 0.0f;
  // Straight to float: going through double would round twice.
  const auto r = std::from_chars(field.data(), field.data() + field.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != field.data() + field.size()) return false;
  value = v;
  return true;
}

bool OPEN_INPUT(LineSource& src, const std::string& name) {
  CLOSE_INPUT(src);
  // Non-blocking, so that a named pipe in place of a file cannot hang the open.
  int fd;
  do {
    fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  src.iKind = SOURCE_FILE;
  src.fd = fd;
  src.Name = name;
  src.iBufStart = src.iBufEnd = 0;
  src.bEndOfData = false;
  return true;
}

void OPEN_TEXT(LineSource& src, std::string_view text) {
  CLOSE_INPUT(src);
  src.iKind = SOURCE_TEXT;
  src.Text = std::string(text);
  src.iTextPos = 0;
  src.bEndOfData = false;
}

void OPEN_CONSOLE(LineSource& src) {
  CLOSE_INPUT(src);
  src.iKind = SOURCE_CONSOLE;
  src.fd = STDIN_FILENO;
  src.Name = "standard input";
  src.iBufStart = src.iBufEnd = 0;
  src.bEndOfData = false;
}

void REWIND_INPUT(LineSource& src) {
  if (src.iKind == SOURCE_TEXT) {
    src.iTextPos = 0;
    return;
  }
  if (::lseek(src.fd, 0, SEEK_SET) < 0) INPUT_FAILED(src, errno);
  src.iBufStart = src.iBufEnd = 0;
  src.bEndOfData = false;
}

void CLOSE_INPUT(LineSource& src) {
  if (src.iKind == SOURCE_FILE && src.fd >= 0) ::close(src.fd);
  src.fd = -1;
  src.iBufStart = src.iBufEnd = 0;
  src.Buffer.clear();
  src.Buffer.shrink_to_fit();
  src.bEndOfData = true;
  src.Text.clear();
  src.iTextPos = 0;
}

bool NEXT_LINE(LineSource& src, std::string_view& line) {
  // Before an answer is awaited the question's line feed is shown.
  if (src.iKind == SOURCE_CONSOLE) CONSOLE_BEFORE_READ();
  const bool bFound = src.iKind == SOURCE_TEXT ? NEXT_TEXT_LINE(src, line) : NEXT_FILE_LINE(src, line);
  // The dialogue cannot go on without its answers.
  if (!bFound && src.iKind == SOURCE_CONSOLE) ABNORMAL_END("end of standard input while an answer is awaited");
  if (bFound && !line.empty() && line.back() == '\r') line.remove_suffix(1);
  return bFound;
}

FreeStatus READ_FREE(LineSource& src, const FreeVar* vars, int nVars) {
  std::string_view line;
  if (nVars <= 0) return NEXT_LINE(src, line) ? FREE_OK : FREE_END_OF_FILE;
  int k = 0;
  for (;;) {
    if (!NEXT_LINE(src, line)) return FREE_END_OF_FILE;
    bool bFieldStart = true;  // a comma here marks an empty field
    size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && IS_BLANK(line[i])) ++i;
      if (i == line.size()) break;
      const char c = line[i];
      if (c == ',') {
        if (bFieldStart && ++k == nVars) return FREE_OK;
        bFieldStart = true;
        ++i;
        continue;
      }
      if (c == '/') return FREE_OK;
      size_t j = i;
      while (j < line.size() && !IS_BLANK(line[j]) && line[j] != ',' && line[j] != '/') ++j;
      const std::string_view field = line.substr(i, j - i);
      const bool bOk = vars[k].pInteger != nullptr ? PARSE_INTEGER(field, *vars[k].pInteger)
                                                    : PARSE_REAL(field, *vars[k].pReal);
      if (!bOk) return FREE_CONVERSION_ERROR;
      if (++k == nVars) return FREE_OK;
      bFieldStart = false;
      i = j;
    }
  }
}
