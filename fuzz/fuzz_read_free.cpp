// Free-form reading over a file and over the same bytes held in memory.
//
// The first bytes of an input choose the read list and a padding line; the rest is the
// text. Every read of the list is made on both sources until the data end; the outcomes
// and the values must agree bit for bit, and a second pass over the rewound file must
// repeat the first (both programs count in one pass and read in another). The padding, a
// line of blanks put before the text, moves the text across the end of the file
// reader's first buffer or makes a line longer than that buffer.
//
// Each field of the text is also converted on its own and compared with the C library's
// correctly rounded conversion: a real form within the float range reads, to the same
// float; one beyond it, or one that rounds to zero from a value that is not zero, does
// not; an integer reads exactly when it lies in the 32-bit range.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "freeform.h"
#include "fuzz_console.h"

namespace {

constexpr int MAX_VARS = 8;
constexpr size_t FIRST_BUFFER = 1 << 16;  // the file reader's first buffer

// Bits of a value: 32-bit integers and floats compared by their bit patterns, so that
// two NaNs of one payload agree and 0.0 and -0.0 do not.
uint32_t BITS(float v) {
  uint32_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

struct Outcome {
  FreeStatus iStatus;
  uint32_t Bits[MAX_VARS];
};

// All reads of the list, until the data end.
std::vector<Outcome> READ_ALL(LineSource& src, const char* kinds, int nVars) {
  std::vector<Outcome> outcomes;
  for (;;) {
    int32_t ints[MAX_VARS];
    float reals[MAX_VARS];
    FreeVar vars[MAX_VARS];
    for (int k = 0; k < nVars; ++k) {
      // A value that no read produces, so that a variable left alone shows.
      ints[k] = 0x5A5A5A5A;
      const uint32_t sentinel = 0x7FC12345u;
      std::memcpy(&reals[k], &sentinel, sizeof sentinel);
      vars[k] = kinds[k] == 'I' ? FREE_INTEGER(ints[k]) : FREE_REAL(reals[k]);
    }
    Outcome o{};
    o.iStatus = READ_FREE(src, vars, nVars);
    for (int k = 0; k < nVars; ++k) o.Bits[k] = kinds[k] == 'I' ? static_cast<uint32_t>(ints[k]) : BITS(reals[k]);
    outcomes.push_back(o);
    if (o.iStatus == FREE_END_OF_FILE) return outcomes;
  }
}

bool SAME(const std::vector<Outcome>& a, const std::vector<Outcome>& b, int nVars) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].iStatus != b[i].iStatus) return false;
    if (std::memcmp(a[i].Bits, b[i].Bits, sizeof(uint32_t) * static_cast<size_t>(nVars)) != 0) return false;
  }
  return true;
}

bool IS_SEPARATOR(char c) { return c == ' ' || c == '\t' || c == ',' || c == '/' || c == '\n' || c == '\r'; }

// A field the C library reads in a form that free-form reading does not take.
bool HAS_OTHER_FORM(const std::string& f) {
  // Hexadecimal forms, and the words for infinity and NaN.
  for (char c : f) {
    if (c == 'x' || c == 'X' || c == 'n' || c == 'N' || c == 'i' || c == 'I' || c == 'p' || c == 'P') return true;
  }
  return false;
}

void CHECK_FIELD(const std::string& f, bool bSpecialWords) {
  float r = 0.0f;
  const bool bRead = PARSE_REAL(f, r);
  errno = 0;
  char* end = nullptr;
  const float c = std::strtof(f.c_str(), &end);
  // The C library also passes over leading white space of other kinds.
  const bool bWhole = std::strchr("+-.0123456789", f[0]) != nullptr && end == f.c_str() + f.size();
  const bool bRange = errno == ERANGE;
  if (bRead && !HAS_OTHER_FORM(f)) {
    // A real that reads is the correctly rounded float of its text.
    if (!bWhole || BITS(r) != BITS(c)) std::abort();
  }
  if (!bSpecialWords && bRead && HAS_OTHER_FORM(f)) std::abort();
  if (bWhole && !HAS_OTHER_FORM(f)) {
    const bool bOverflow = bRange && (c > 3.4e38f || c < -3.4e38f);
    const bool bToZero = bRange && c == 0.0f;
    if (bOverflow || bToZero) {
      if (bRead) std::abort();
    } else if (!bRange && !bRead) {
      std::abort();
    }
  }

  int32_t i = 0;
  const bool bInteger = PARSE_INTEGER(f, i);
  errno = 0;
  const long long l = std::strtoll(f.c_str(), &end, 10);
  const bool bDigitsOnly = f.find_first_not_of("+-0123456789") == std::string::npos;
  const bool bIntWhole = !f.empty() && end == f.c_str() + f.size() && bDigitsOnly && errno == 0;
  const bool bInRange = l >= INT32_MIN && l <= INT32_MAX;
  if (bInteger != (bIntWhole && bInRange)) std::abort();
  if (bInteger && i != l) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int nVars = data[0] % (MAX_VARS + 1);
  char kinds[MAX_VARS];
  for (int k = 0; k < MAX_VARS; ++k) kinds[k] = (data[1] >> k) & 1 ? 'I' : 'R';
  const bool bSpecialWords = data[2] & 1;
  std::string text;
  switch ((data[2] >> 1) & 7) {
    case 1:  // the text starts shortly before the end of the first buffer
      text.assign(FIRST_BUFFER - 16 - (data[2] >> 4), ' ');
      text += '\n';
      break;
    case 2:  // a first line longer than the first buffer
      text.assign(FIRST_BUFFER + (data[2] >> 4), ' ');
      text += '\n';
      break;
    default:
      break;
  }
  text.append(reinterpret_cast<const char*>(data) + 3, size - 3);
  FREE_ACCEPT_SPECIAL_WORDS(bSpecialWords);

  LineSource memory;
  OPEN_TEXT(memory, text);
  const std::vector<Outcome> fromText = READ_ALL(memory, kinds, nVars);

  FUZZ_WRITE_FILE("input.txt", reinterpret_cast<const unsigned char*>(text.data()), text.size());
  LineSource file;
  if (!OPEN_INPUT(file, "input.txt")) std::abort();
  const std::vector<Outcome> fromFile = READ_ALL(file, kinds, nVars);
  REWIND_INPUT(file);
  const std::vector<Outcome> again = READ_ALL(file, kinds, nVars);
  CLOSE_INPUT(file);
  if (!SAME(fromText, fromFile, nVars) || !SAME(fromFile, again, nVars)) std::abort();

  // Every field of the text on its own.
  for (size_t i = 0; i < text.size();) {
    while (i < text.size() && IS_SEPARATOR(text[i])) ++i;
    size_t j = i;
    while (j < text.size() && !IS_SEPARATOR(text[j])) ++j;
    // A NUL ends the C library's view of a field early; such fields are not compared.
    const std::string f = text.substr(i, j - i);
    if (!f.empty() && f.find('\0') == std::string::npos) CHECK_FIELD(f, bSpecialWords);
    i = j;
  }
  return 0;
}
