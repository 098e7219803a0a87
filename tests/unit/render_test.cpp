// Number rendering: every field is compared character for character, blanks included.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "render.h"

namespace {

std::string PAD(int before, const std::string& text, int after) {
  return std::string(before, ' ') + text + std::string(after, ' ');
}

struct RealCase {
  float value;
  int before;
  const char* text;
  int after;
};

const float INF = std::numeric_limits<float>::infinity();
const float NaN = std::numeric_limits<float>::quiet_NaN();

}  // namespace

TEST(FormatRealG, Examples) {
  const RealCase cases[] = {
      {1.0f, 4, "1.00000", 4},           {0.5f, 3, "0.500000", 4},
      {-1.5f, 3, "-1.50000", 4},         {123.456f, 4, "123.456", 4},
      {999999.375f, 4, "999999.", 4},    {999999.5f, 3, "0.100000E+07", 0},
      {0.05f, 3, "0.500000E-01", 0},     {-0.001234f, 2, "-0.123400E-02", 0},
      {9.999999f, 4, "10.0000", 4},      {0.99999994f, 4, "1.00000", 4},
      {0.0f, 7, "0.000000", 0},          {-0.0f, 7, "0.000000", 0},
      {999999.4f, 4, "999999.", 4},      {0.099999994f, 3, "0.100000", 4},
      // Ties go to the even digit on the exact binary value.
      {0.5078125f, 3, "0.507812", 4},    {0.5234375f, 3, "0.523438", 4},
      {1234567.0f, 3, "0.123457E+07", 0}, {250.0f, 4, "250.000", 4},
      {0.4f, 3, "0.400000", 4},          {1.4e-45f, 3, "0.140130E-44", 0},
      {INF, 1, "Infinity", 6},           {-INF, 1, "-Infinity", 5},
      {NaN, 1, "NaN", 11},
  };
  for (const RealCase& c : cases) {
    EXPECT_EQ(FORMAT_REAL_G(c.value, 15, 6), PAD(c.before, c.text, c.after)) << c.text;
  }
}

TEST(FormatFreeReal, Examples) {
  const RealCase cases[] = {
      {0.0f, 4, "0.000000E+00", 0},   {-0.0f, 4, "0.000000E+00", 0},
      {1.0f, 8, "1.000000", 0},       {2.0f, 8, "2.000000", 0},
      {0.69897f, 4, "6.989700E-01", 0}, {-0.5f, 3, "-5.000000E-01", 0},
      {123.456f, 6, "123.456001", 0}, {9999999.0f, 2, "9999999.000000", 0},
      {10000000.0f, 4, "1.000000E+07", 0}, {12345678.0f, 4, "1.234568E+07", 0},
      {0.99999994f, 4, "9.999999E-01", 0}, {1.0E-35f, 4, "1.000000E-35", 0},
      {-9999999.0f, 1, "-9999999.000000", 0}, {INF, 1, "Infinity", 7},
      {-INF, 1, "-Infinity", 6},      {NaN, 1, "NaN", 12},
  };
  for (const RealCase& c : cases) {
    EXPECT_EQ(FORMAT_FREE_REAL(c.value), PAD(c.before, c.text, c.after)) << c.text;
  }
}

TEST(FormatInteger, FieldsAndOverflow) {
  EXPECT_EQ(FORMAT_INTEGER(0, 10), PAD(9, "0", 0));
  EXPECT_EQ(FORMAT_INTEGER(-5, 10), PAD(8, "-5", 0));
  EXPECT_EQ(FORMAT_INTEGER(2147483647, 10), "2147483647");
  EXPECT_EQ(FORMAT_INTEGER(-999999999, 10), "-999999999");
  EXPECT_EQ(FORMAT_INTEGER(-1000000000, 10), "**********");
  EXPECT_EQ(FORMAT_INTEGER(-2147483647 - 1, 12), " -2147483648");
  EXPECT_EQ(FORMAT_INTEGER(123, 12), PAD(9, "123", 0));
}

TEST(FormatRecord, ItemsRepeatsAndTexts) {
  EXPECT_EQ(FORMAT_RECORD("(\"+\",2I10)", {int32_t{0}, int32_t{2}}), "+" + PAD(9, "0", 0) + PAD(9, "2", 0));
  EXPECT_EQ(FORMAT_RECORD("(A4)", {"DSAA"}), "DSAA");
  EXPECT_EQ(FORMAT_RECORD("(A4)", {"ab"}), "  ab");
  EXPECT_EQ(FORMAT_RECORD("(A4)", {"abcdef"}), "abcd");
  const std::string line = FORMAT_RECORD("(I10,3G15.6)", {int32_t{100}, 250.0f, 250.0f, 0.4f});
  EXPECT_EQ(line, PAD(7, "100", 0) + PAD(4, "250.000", 4) + PAD(4, "250.000", 4) + PAD(3, "0.400000", 4));
  EXPECT_EQ(FORMAT_RECORD("(I10,3G15.6)", {int32_t{1}, INF, NaN, 1.0f}).size(), 55u);
}

namespace {

// A scratch file in the test's working directory.
struct ScratchFile {
  std::string name;
  explicit ScratchFile(const char* n) : name(n) { ::unlink(name.c_str()); }
  ~ScratchFile() { ::unlink(name.c_str()); }
  std::string Contents() const {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void Put(const std::string& text) const { std::ofstream(name, std::ios::binary) << text; }
};

}  // namespace

TEST(WriteFree, WrapsAt79ColumnsAndEndsLinesWithCrLf) {
  ScratchFile f("render_test_free.txt");
  OutputFile out;
  OPEN_OUTPUT(out, f.name);
  const float ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  WRITE_FREE(out, ten, 10);
  WRITE_FREE(out, ten, 8);
  WRITE_FREE(out, {int32_t{6}, int32_t{3}});
  WRITE_FREE(out, {int32_t{1}, int32_t{2}, int32_t{3}, int32_t{4}, int32_t{5}, int32_t{6}, int32_t{7}});
  WRITE_FREE(out, {0.0f, 2.0f});
  CLOSE_OUTPUT(out);
  std::istringstream lines(f.Contents());
  std::string line;
  std::vector<size_t> lengths;
  while (std::getline(lines, line)) {
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\r');
    lengths.push_back(line.size() - 1);
  }
  EXPECT_EQ(lengths, (std::vector<size_t>{64, 64, 32, 64, 64, 24, 72, 12, 32}));
  EXPECT_NE(f.Contents().find(PAD(11, "6", 0) + PAD(11, "3", 0) + "\r\n"), std::string::npos);
  EXPECT_NE(f.Contents().find(PAD(4, "0.000000E+00", 0) + PAD(8, "2.000000", 0) + "\r\n"), std::string::npos);
}

TEST(OutputFile, ReplacesLongerOldContentsCompletely) {
  ScratchFile f("render_test_old.txt");
  f.Put(std::string(10000, 'x') + "\n");
  OutputFile out;
  OPEN_OUTPUT(out, f.name);
  WRITE_TEXT_LINE(out, "DSAA");
  WRITE_FORMATTED(out, "(2G15.6)", {1.0f, 0.5f});
  CLOSE_OUTPUT(out);
  EXPECT_EQ(f.Contents(), "DSAA\r\n" + PAD(4, "1.00000", 4) + PAD(3, "0.500000", 4) + "\r\n");
}

TEST(OutputFile, EmptiedAtOpeningWhenAsked) {
  ScratchFile f("render_test_empty.txt");
  f.Put("old line\r\n");
  OutputFile out;
  OPEN_OUTPUT(out, f.name, true);
  CLOSE_OUTPUT(out);
  EXPECT_EQ(f.Contents(), "");
  // Without the request an old file with no new line stays as it was.
  f.Put("old line\r\n");
  OPEN_OUTPUT(out, f.name);
  CLOSE_OUTPUT(out);
  EXPECT_EQ(f.Contents(), "old line\r\n");
}
