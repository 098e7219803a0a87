// Free-form reading over a text in memory: the same code serves files and the console.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "freeform.h"

namespace {

// Reads the list described by kinds ('I' integer, 'R' real) from text, starting every
// variable at -7, and renders the outcome and the values as one string, followed by
// what a second one-real read finds (so it shows where the first read left off).
std::string READ(const std::string& text, const std::string& kinds) {
  LineSource src;
  OPEN_TEXT(src, text);
  std::vector<int32_t> ints(kinds.size(), -7);
  std::vector<float> reals(kinds.size(), -7.0f);
  std::vector<FreeVar> vars;
  for (size_t i = 0; i < kinds.size(); ++i) {
    vars.push_back(kinds[i] == 'I' ? FREE_INTEGER(ints[i]) : FREE_REAL(reals[i]));
  }
  const FreeStatus st = READ_FREE(src, vars.data(), static_cast<int>(vars.size()));
  std::string out = st == FREE_OK ? "ok" : st == FREE_END_OF_FILE ? "eof" : "error";
  for (size_t i = 0; i < kinds.size(); ++i) {
    out += ' ';
    if (kinds[i] == 'I') {
      out += std::to_string(ints[i]);
    } else {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.9g", reals[i]);
      out += buf;
    }
  }
  float next = -7.0f;
  const FreeVar v = FREE_REAL(next);
  const FreeStatus st2 = READ_FREE(src, &v, 1);
  char buf[48];
  std::snprintf(buf, sizeof buf, " | %s %.9g", st2 == FREE_OK ? "ok" : st2 == FREE_END_OF_FILE ? "eof" : "error",
                next);
  return out + buf;
}

struct ReadCase {
  const char* text;
  const char* kinds;
  const char* expected;
};

}  // namespace

TEST(ReadFree, ListSemantics) {
  const ReadCase cases[] = {
      // First value taken, rest of the line discarded; next read starts on the next line.
      {"12 abc\n5\n", "I", "ok 12 | ok 5"},
      {"abc 12\n5\n", "I", "error -7 | ok 5"},
      {"3.7\n", "I", "error -7 | eof -7"},
      {"10 20\n", "I", "ok 10 | eof -7"},
      // Blank lines (blanks, tabs, a lone CR) are passed over.
      {"\n   \n\t\n\r\n 42\n", "I", "ok 42 | eof -7"},
      // A list continues over lines; commas and blanks separate; blanks around a comma
      // belong to it.
      {"1\n2, 3\n4\n", "III", "ok 1 2 3 | ok 4"},
      {"1 , 2\t,3\n", "III", "ok 1 2 3 | eof -7"},
      {" , 9\n", "II", "ok -7 9 | eof -7"},
      {"5,,6\n", "III", "ok 5 -7 6 | eof -7"},
      {"5 ,  , 6\n", "III", "ok 5 -7 6 | eof -7"},
      {"5,\n6\n", "II", "ok 5 6 | eof -7"},
      {",\n8\n", "I", "ok -7 | ok 8"},
      // A slash ends the read; the rest keep their values.
      {"1 / 2 3\n4\n", "III", "ok 1 -7 -7 | ok 4"},
      {"/\n", "I", "ok -7 | eof -7"},
      {"3/4\n", "II", "ok 3 -7 | eof -7"},
      // End of data before the list is full.
      {"1 2\n", "III", "eof 1 2 -7 | eof -7"},
      {"", "I", "eof -7 | eof -7"},
      // CR LF line ends.
      {"1.5\r\n2.5\r\n", "R", "ok 1.5 | ok 2.5"},
      {"7\r", "I", "ok 7 | eof -7"},
      // Integers: sign and digits within 32 bits.
      {"2147483647\n", "I", "ok 2147483647 | eof -7"},
      {"2147483648\n", "I", "error -7 | eof -7"},
      {"-2147483648\n", "I", "ok -2147483648 | eof -7"},
      {"+12\n", "I", "ok 12 | eof -7"},
      {"1e3\n", "I", "error -7 | eof -7"},
      {"+-3\n", "I", "error -7 | eof -7"},
      {"-\n", "I", "error -7 | eof -7"},
      {"0012\n", "I", "ok 12 | eof -7"},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(READ(c.text, c.kinds), c.expected) << "text: " << c.text;
  }
}

TEST(ReadFree, EmptyListConsumesExactlyOneLine) {
  LineSource src;
  OPEN_TEXT(src, "DSAA\n\n7\n");
  EXPECT_EQ(READ_FREE(src, nullptr, 0), FREE_OK);
  EXPECT_EQ(READ_FREE(src, nullptr, 0), FREE_OK);  // the empty line itself
  int32_t v = 0;
  const FreeVar var = FREE_INTEGER(v);
  EXPECT_EQ(READ_FREE(src, &var, 1), FREE_OK);
  EXPECT_EQ(v, 7);
  EXPECT_EQ(READ_FREE(src, nullptr, 0), FREE_END_OF_FILE);
}

TEST(ParseReal, FormsAndRanges) {
  struct {
    const char* text;
    bool ok;
    float value;
  } cases[] = {
      {"12", true, 12.0f},        {"-3.5", true, -3.5f},    {".5", true, 0.5f},
      {"5.", true, 5.0f},         {"1e3", true, 1000.0f},   {"1E+03", true, 1000.0f},
      {"+2.25", true, 2.25f},     {"-0", true, -0.0f},      {"1e-40", true, 1e-40f},
      {"0e-99", true, 0.0f},
      // Beyond the float range, or non-zero but rounding to zero.
      {"3.5e38", false, 0},       {"1e-46", false, 0},
      {".", false, 0},            {"e5", false, 0},         {"1e", false, 0},
      {"1.2.3", false, 0},        {"0x10", false, 0},       {"1d3", false, 0},
      {"nan", false, 0},          {"inf", false, 0},        {"", false, 0},
      // Straight to the nearest float: through double this one rounds up one float.
      {"1.00000005960464477550", true, 1.00000012f},
  };
  for (const auto& c : cases) {
    float v = -7.0f;
    EXPECT_EQ(PARSE_REAL(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(std::memcmp(&v, &c.value, sizeof v), 0) << c.text << " gave " << v;
    }
  }
}

TEST(ParseReal, SpecialWordsWhenSwitchedOn) {
  FREE_ACCEPT_SPECIAL_WORDS(true);
  float v = 0.0f;
  EXPECT_TRUE(PARSE_REAL("NaN", v));
  EXPECT_TRUE(std::isnan(v));
  EXPECT_TRUE(PARSE_REAL("Infinity", v));
  EXPECT_EQ(v, std::numeric_limits<float>::infinity());
  EXPECT_TRUE(PARSE_REAL("-Infinity", v));
  EXPECT_EQ(v, -std::numeric_limits<float>::infinity());
  EXPECT_TRUE(PARSE_REAL("inf", v));
  EXPECT_FALSE(PARSE_REAL("nanx", v));
  FREE_ACCEPT_SPECIAL_WORDS(false);
  EXPECT_FALSE(PARSE_REAL("NaN", v));
}
