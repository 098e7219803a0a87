#include "render.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "console.h"

namespace {

std::string RIGHT_ALIGN(std::string_view text, int w) {
  if (static_cast<int>(text.size()) >= w) return std::string(text);
  return std::string(w - text.size(), ' ') + std::string(text);
}

// Infinity and not-a-number: a blank, then "-Infinity", "Infinity" or "NaN", blank-filled.
std::string SPECIAL_FIELD(float value, int w) {
  std::string field = " ";
  if (std::isnan(value)) {
    field += "NaN";
  } else {
    field += value < 0.0f ? "-Infinity" : "Infinity";
  }
  if (static_cast<int>(field.size()) < w) field.append(w - field.size(), ' ');
  return field;
}

// Scientific digits of |value| with nDigits significant digits: the digit string and the
// exponent E of the form d.ddd x 10^E.
void SCIENTIFIC_DIGITS(float value, int nDigits, std::string& digits, int& exponent) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, nDigits - 1);
  // to_chars leaves the text unterminated, and atoi below reads up to a terminator.
  *r.ptr = '\0';
  const char* e = static_cast<const char*>(std::memchr(buf, 'e', r.ptr - buf));
  digits.clear();
  for (const char* p = buf; p < e; ++p) {
    if (*p != '.') digits += *p;
  }
  exponent = std::atoi(e + 1);
}

std::string FIXED_DIGITS(float value, int nDecimals) {
  char buf[80];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, nDecimals);
  std::string s(buf, r.ptr);
  if (nDecimals == 0) s += '.';
  return s;
}

std::string TWO_DIGIT_EXPONENT(int n) {
  std::string s = n < 0 ? "-" : "+";
  const int a = n < 0 ? -n : n;
  if (a < 10) s += '0';
  s += std::to_string(a);
  return s;
}

}  // namespace

std::string FORMAT_INTEGER(int32_t value, int w) {
  const std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) > w) return std::string(w, '*');
  return RIGHT_ALIGN(digits, w);
}

std::string FORMAT_REAL_G(float value, int w, int d) {
  if (!std::isfinite(value)) return SPECIAL_FIELD(value, w);
  if (value == 0.0f) return RIGHT_ALIGN("0." + std::string(d, '0'), w);
  std::string digits;
  int e = 0;
  SCIENTIFIC_DIGITS(value, d, digits, e);
  const int N = e + 1;  // the value is 0.d1d2..dd x 10^N
  if (N >= 0 && N <= d) {
    return RIGHT_ALIGN(FIXED_DIGITS(value, d - N), w - 4) + "    ";
  }
  std::string field = value < 0.0f ? "-0." : "0.";
  field += digits;
  field += 'E';
  field += TWO_DIGIT_EXPONENT(N);
  return RIGHT_ALIGN(field, w);
}

std::string FORMAT_FREE_REAL(float value) {
  if (!std::isfinite(value)) return SPECIAL_FIELD(value, 16);
  const float a = std::fabs(value);
  if (a >= 1.0f && a < 10000000.0f) return RIGHT_ALIGN(FIXED_DIGITS(value, 6), 16);
  std::string digits;
  int e = 0;
  if (value == 0.0f) {
    digits = "0000000";
  } else {
    SCIENTIFIC_DIGITS(value, 7, digits, e);
  }
  std::string field = value < 0.0f ? "-" : "";
  field += digits[0];
  field += '.';
  field += digits.substr(1);
  field += 'E';
  field += TWO_DIGIT_EXPONENT(e);
  return RIGHT_ALIGN(field, 16);
}

std::string FORMAT_RECORD(std::string_view format, std::initializer_list<FormatValue> values) {
  std::string line;
  const FormatValue* next = values.begin();
  const FormatValue* const end = values.end();
  size_t i = 0;
  if (i < format.size() && format[i] == '(') ++i;
  while (i < format.size() && format[i] != ')') {
    const char c = format[i];
    if (c == ',' || c == ' ') {
      ++i;
      continue;
    }
    if (c == '"') {
      const size_t close = format.find('"', i + 1);
      line += format.substr(i + 1, close - i - 1);
      i = close + 1;
      continue;
    }
    int nRepeat = 1;
    if (c >= '0' && c <= '9') {
      nRepeat = 0;
      while (format[i] >= '0' && format[i] <= '9') nRepeat = nRepeat * 10 + (format[i++] - '0');
    }
    const char item = format[i++];
    int w = 0, d = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') w = w * 10 + (format[i++] - '0');
    if (i < format.size() && format[i] == '.') {
      ++i;
      while (i < format.size() && format[i] >= '0' && format[i] <= '9') d = d * 10 + (format[i++] - '0');
    }
    for (int k = 0; k < nRepeat && next != end; ++k, ++next) {
      switch (item) {
        case 'I':
          line += FORMAT_INTEGER(next->iValue, w);
          break;
        case 'G':
          line += FORMAT_REAL_G(next->rValue, w, d);
          break;
        case 'A':
          line += RIGHT_ALIGN(next->sValue.substr(0, w), w);
          break;
        default:
          break;
      }
    }
  }
  return line;
}

// ---- Output files ----------------------------------------------------------------

namespace {

[[noreturn]] void OUTPUT_FAILED(const OutputFile& file, const char* what, int err) {
  std::string report = "cannot ";
  report += what;
  report += " output file \"" + file.Name + "\": " + std::strerror(err);
  ABNORMAL_END(report);
}

void WRITE_ALL(OutputFile& file, const char* data, size_t n) {
  while (n > 0) {
    const ssize_t k = ::write(file.fd, data, n);
    if (k < 0) {
      if (errno == EINTR) continue;
      OUTPUT_FAILED(file, "write", errno);
    }
    data += k;
    n -= static_cast<size_t>(k);
    file.nWritten += k;
  }
}

void FLUSH_OUTPUT(OutputFile& file) {
  WRITE_ALL(file, file.Buffer.data(), file.Buffer.size());
  file.Buffer.clear();
  if (!file.bCut) {
    // The old contents after the first line go once that line is written.
    if (::ftruncate(file.fd, file.nWritten) != 0) OUTPUT_FAILED(file, "write", errno);
    file.bCut = true;
  }
}

constexpr size_t OUTPUT_BUFFER_SIZE = 1 << 16;

// The output files now open; the programs keep one open at a time.
constexpr int MAX_OPEN_OUTPUTS = 4;
OutputFile* gOpenOutputs[MAX_OPEN_OUTPUTS] = {};

void NOTE_OPEN(OutputFile* file, bool bOpen) {
  for (OutputFile*& slot : gOpenOutputs) {
    if (bOpen ? slot == nullptr : slot == file) {
      slot = bOpen ? file : nullptr;
      return;
    }
  }
}

}  // namespace

void OPEN_OUTPUT(OutputFile& file, const std::string& name, bool bEmptyAtOpen) {
  file.Name = name;
  file.Buffer.clear();
  file.nWritten = 0;
  file.bCut = bEmptyAtOpen;
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
  if (bEmptyAtOpen) flags |= O_TRUNC;
  do {
    file.fd = ::open(name.c_str(), flags, 0666);
  } while (file.fd < 0 && errno == EINTR);
  if (file.fd < 0) OUTPUT_FAILED(file, "open", errno);
  NOTE_OPEN(&file, true);
}

void FLUSH_OPEN_OUTPUTS() {
  for (OutputFile* file : gOpenOutputs) {
    if (file != nullptr && file->fd >= 0 && !file->Buffer.empty()) FLUSH_OUTPUT(*file);
  }
}

void WRITE_TEXT_LINE(OutputFile& file, std::string_view text) {
  file.Buffer.append(text.data(), text.size());
  file.Buffer += "\r\n";
  if (!file.bCut || file.Buffer.size() >= OUTPUT_BUFFER_SIZE) FLUSH_OUTPUT(file);
}

void CLOSE_OUTPUT(OutputFile& file) {
  if (file.fd < 0) return;
  if (!file.Buffer.empty()) FLUSH_OUTPUT(file);
  NOTE_OPEN(&file, false);
  const int fd = file.fd;
  file.fd = -1;
  if (::close(fd) != 0 && errno != EINTR) OUTPUT_FAILED(file, "write", errno);
}

void WRITE_FORMATTED(OutputFile& file, std::string_view format, std::initializer_list<FormatValue> values) {
  WRITE_TEXT_LINE(file, FORMAT_RECORD(format, values));
}

namespace {

// Appends one field to a free-form statement, starting a new line when it does not fit.
void FREE_FIELD(OutputFile& file, std::string& line, const std::string& field) {
  if (79 - line.size() < field.size()) {
    WRITE_TEXT_LINE(file, line);
    line.clear();
  }
  line += field;
}

}  // namespace

void WRITE_FREE(OutputFile& file, std::initializer_list<FormatValue> values) {
  std::string line;
  for (const FormatValue& v : values) {
    FREE_FIELD(file, line, v.cKind == 'I' ? FORMAT_INTEGER(v.iValue, 12) : FORMAT_FREE_REAL(v.rValue));
  }
  WRITE_TEXT_LINE(file, line);
}

void WRITE_FREE(OutputFile& file, const float* values, size_t nValues) {
  std::string line;
  for (size_t i = 0; i < nValues; ++i) FREE_FIELD(file, line, FORMAT_FREE_REAL(values[i]));
  WRITE_TEXT_LINE(file, line);
}
