// The three outputs of the scan: their bytes for small fixtures, the grid's line layout
// for the window counts that fill lines differently, file replacement, and the failure
// of a curve file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "writers.h"

namespace {

std::string READ_FILE(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WRITE_FILE(const std::string& name, const std::string& text) {
  std::ofstream(name, std::ios::binary) << text;
}

std::vector<std::string> LINES(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "the last line has no CR LF";
  return lines;
}

// Each test runs in a fresh scratch directory.
class Writers : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/writers_test_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    Dir = tmpl;
    char* old = ::getcwd(nullptr, 0);
    OldDir = old;
    std::free(old);
    ASSERT_EQ(::chdir(Dir.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(::chdir(OldDir.c_str()), 0);
    ASSERT_EQ(std::system(("rm -rf '" + Dir + "'").c_str()), 0);
  }
  std::string Dir, OldDir;
};

// Period node p of window m, as the scan stores it: nodes of one window adjacent.
std::vector<float> BY_WINDOW(const std::vector<std::vector<float>>& Rows) {
  std::vector<float> D;
  for (size_t m = 0; m < Rows[0].size(); ++m) {
    for (const std::vector<float>& Row : Rows) D.push_back(Row[m]);
  }
  return D;
}

}  // namespace

TEST_F(Writers, GridBytesReplaceALongerOldFile) {
  std::string old;
  for (int i = 0; i < 40; ++i) old += "an old line of an earlier grid, longer than the new file\r\n";
  WRITE_FILE("KTX_out.grd", old);

  const std::vector<float> D = BY_WINDOW({{1.5f, 0.25f, 10000000.0f, 9999999.0f, -0.5f},
                                          {2.0f, 1.0E-35f, 3.25f, 0.99999994f, 123.456f}});
  const float Log10Window = static_cast<float>(std::log10(5.0));
  WRITE_GRID(5, 2, 5, 1, Log10Window, -0.5f, 10000000.0f, D);
  EXPECT_EQ(READ_FILE("KTX_out.grd"),
            "DSAA\r\n"
            "           5           2\r\n"
            "           5           9\r\n"
            "    0.000000E+00    6.989700E-01\r\n"
            "   -5.000000E-01    1.000000E+07\r\n"
            "        1.500000    2.500000E-01    1.000000E+07  9999999.000000\r\n"
            "   -5.000000E-01\r\n"
            "        2.000000    1.000000E-35        3.250000    9.999999E-01\r\n"
            "      123.456001\r\n");
}

TEST_F(Writers, GridRowsTakeFourValuesToALine) {
  struct Case {
    int32_t nWindows;
    std::vector<size_t> RowLines;  // lengths of the lines of one row
  };
  for (const Case& c : {Case{1, {16}}, Case{4, {64}}, Case{5, {64, 16}}, Case{8, {64, 64}}}) {
    const int32_t nPeriods = 3;
    const std::vector<float> D(static_cast<size_t>(nPeriods * c.nWindows), 0.5f);
    WRITE_GRID(c.nWindows, nPeriods, 10, 3, 1.0f, 0.5f, 0.5f, D);
    const std::vector<std::string> lines = LINES(READ_FILE("KTX_out.grd"));
    ASSERT_EQ(lines.size(), 5 + nPeriods * c.RowLines.size()) << c.nWindows;
    EXPECT_EQ(lines[2], "          10" + std::string(12 - std::to_string(10 + 3 * (c.nWindows - 1)).size(), ' ') +
                            std::to_string(10 + 3 * (c.nWindows - 1)));
    EXPECT_EQ(lines[3], "    0.000000E+00        1.000000");
    for (int32_t p = 0; p < nPeriods; ++p) {
      for (size_t k = 0; k < c.RowLines.size(); ++k) {
        EXPECT_EQ(lines[5 + p * c.RowLines.size() + k].size(), c.RowLines[k]) << c.nWindows;
      }
    }
  }
}

TEST_F(Writers, StretchTableBytes) {
  WRITE_STRETCH_TABLE(2, 100, 50, {250.0f, 1234567.0f}, {250.0f, 0.05f}, {0.4f, 2000.0f});
  EXPECT_EQ(READ_FILE("StretchCoeff.dat"),
            "       100    250.000        250.000       0.400000    \r\n"
            "       150   0.123457E+07   0.500000E-01    2000.00    \r\n");
}

TEST_F(Writers, CurveFileNames) {
  EXPECT_EQ(WINDOW_CURVE_NAME("/home/user/run", 100), "/home/user/run/DeltaLogLik_for_each_Window/0000000100.dat");
  EXPECT_EQ(WINDOW_CURVE_NAME("/d", 2147483647), "/d/DeltaLogLik_for_each_Window/2147483647.dat");
  const std::string deep(300, 'x');  // no limit on the directory's length
  EXPECT_EQ(WINDOW_CURVE_NAME("/" + deep, 7), "/" + deep + "/DeltaLogLik_for_each_Window/0000000007.dat");
}

TEST_F(Writers, CurvesInRealTimeIntoAnExistingDirectory) {
  ASSERT_EQ(::mkdir("DeltaLogLik_for_each_Window", 0777), 0);
  WRITE_FILE("DeltaLogLik_for_each_Window/0000000100.dat", std::string(500, '#'));
  WRITE_FILE("DeltaLogLik_for_each_Window/0000000020.dat", "another run's window\r\n");

  // Window length 100, three period nodes: dimensionless periods 1, 10 and 100.
  const std::vector<float> D = BY_WINDOW({{0.5f, 1.0E-35f}, {2.0f, 3.0f}, {0.05f, 1234567.0f}});
  WRITE_WINDOW_CURVES(2, 3, 100, 50, 2.0f, {0.4f, 1.0E-7f}, D);
  EXPECT_EQ(READ_FILE("DeltaLogLik_for_each_Window/0000000100.dat"),
            "    2.50000       0.500000    \r\n"
            "    25.0000        2.00000    \r\n"
            "    250.000       0.500000E-01\r\n");
  EXPECT_EQ(READ_FILE("DeltaLogLik_for_each_Window/0000000150.dat"),
            "   0.100000E+08   0.100000E-34\r\n"
            "   0.100000E+09    3.00000    \r\n"
            "   0.100000E+10   0.123457E+07\r\n");
  EXPECT_EQ(READ_FILE("DeltaLogLik_for_each_Window/0000000020.dat"), "another run's window\r\n");
}

TEST_F(Writers, CurveFileThatCannotBeOpenedEndsAbnormallyAfterTheFinishedFiles) {
  // A plain file stands where the directory should be made.
  WRITE_FILE("DeltaLogLik_for_each_Window", "in the way\n");
  const std::vector<float> D = BY_WINDOW({{0.5f, 0.6f}, {2.0f, 3.0f}});
  const std::vector<float> Times = {10.0f, 15.0f}, StretchCoeff = {1.0f, 1.0f};
  EXPECT_EXIT(
      {
        WRITE_GRID(2, 2, 10, 5, 1.0f, 0.5f, 3.0f, D);
        WRITE_STRETCH_TABLE(2, 10, 5, Times, Times, StretchCoeff);
        WRITE_WINDOW_CURVES(2, 2, 10, 5, 1.0f, StretchCoeff, D);
      },
      ::testing::ExitedWithCode(2), "DeltaLogLik_for_each_Window/0000000010\\.dat");
  EXPECT_EQ(LINES(READ_FILE("KTX_out.grd")).size(), 7u);
  EXPECT_EQ(LINES(READ_FILE("StretchCoeff.dat")).size(), 2u);
  EXPECT_EQ(READ_FILE("DeltaLogLik_for_each_Window"), "in the way\n");
}
