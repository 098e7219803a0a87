// Measuring the grid's line 6: how many values the rows carry per line.
#include <gtest/gtest.h>

#include <string>

#include "freeform.h"
#include "inputs.h"

// n free-form real fields of 16 columns, as the scanner writes them.
static std::string Fields(int n) {
  std::string line;
  for (int k = 0; k < n; ++k) line += "        1.000000";
  return line;
}

TEST(CountLineValues, MeasuresTheLineAsItStands) {
  FREE_ACCEPT_SPECIAL_WORDS(true);
  struct Case {
    std::string line;
    int32_t nPerLine;
  };
  const Case cases[] = {
      {Fields(4), 4},
      {"1 2 3", 3},
      {"    3.000000E-01             NaN        Infinity       -Infinity", 4},
      {"1.5 2.5 word 3.5", 2},
      {Fields(120), 99},
      // Only the first 2000 characters count: the 2 beyond them is not seen.
      {std::string(1998, ' ') + "1 2", 1},
      {"", 0},
      {"   ", 0},
      {"DSAA", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(COUNT_LINE_VALUES(c.line), c.nPerLine) << "line \"" << c.line.substr(0, 70) << "\"";
  }
  FREE_ACCEPT_SPECIAL_WORDS(false);
}
