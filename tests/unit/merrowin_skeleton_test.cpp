// Window labels and periods of the skeleton: the label test's truncation, tolerance and
// range, the column spacing of grids of one and of many columns, and the points where
// the periods are rounded to float.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "skeleton.h"

TEST(WindowLabel, TruncatesAndAllowsOnlyATinyExcessOverAWholeNumber) {
  struct Case {
    double x;
    bool bWhole;
    int32_t iLabel;
  };
  const Case cases[] = {
      {100.0, true, 100},
      {100.0000099, true, 100},
      {100.0000101, false, 0},
      {99.9999999, false, 0},  // truncation, not rounding: 99 is far
      {-3.0000001, true, -3},  // truncation toward zero
      {-0.5, false, 0},
      {2147483647.0, true, 2147483647},
      {2147483648.0, false, 0},
      {-2147483648.0, true, -2147483647 - 1},
      {-2147483649.0, false, 0},
      {std::numeric_limits<double>::quiet_NaN(), false, 0},
      {std::numeric_limits<double>::infinity(), false, 0},
  };
  for (const Case& c : cases) {
    int32_t iLabel = 0;
    EXPECT_EQ(WINDOW_LABEL(c.x, iLabel), c.bWhole) << "x = " << c.x;
    if (c.bWhole) {
      EXPECT_EQ(iLabel, c.iLabel) << "x = " << c.x;
    }
  }
}

// The labels of every column of a grid, -1 where the label test fails.
static std::vector<int32_t> ColumnLabels(float xLo, float xHi, int32_t nX) {
  std::vector<int32_t> labels;
  const float WindowEndStep = WINDOW_END_STEP(xLo, xHi, nX);
  for (int32_t i = 1; i <= nX; ++i) {
    int32_t iLabel = 0;
    labels.push_back(WINDOW_LABEL(WINDOW_X(xLo, WindowEndStep, i), iLabel) ? iLabel : -1);
  }
  return labels;
}

TEST(WindowLabel, ColumnsOfAGrid) {
  EXPECT_EQ(ColumnLabels(100.0f, 190.0f, 10), (std::vector<int32_t>{100, 110, 120, 130, 140, 150, 160, 170, 180, 190}));
  // A step of 4.5 events: the even columns fall between whole numbers.
  EXPECT_EQ(ColumnLabels(100.0f, 113.5f, 4), (std::vector<int32_t>{100, -1, 109, -1}));
  // One column has no spacing to divide by: its x is xLo.
  EXPECT_EQ(ColumnLabels(500.0f, 500.0f, 1), (std::vector<int32_t>{500}));
}

TEST(Periods, RoundToFloatWhereTheSkeletonStoresThem) {
  EXPECT_EQ(REAL_PERIOD(1.0f, 4.0f), 2.5f);
  EXPECT_EQ(REAL_PERIOD(1.0f, 0.0f), std::numeric_limits<float>::infinity());

  // The step is rounded to float, the sum is not rounded before the store: either
  // shortcut gives 0.61224246 and 2.0459113.
  EXPECT_EQ(LOG_PERIOD(0.25f, LOG_PERIOD_STEP(0.25f, 1.69896996f, 13), 4), 0.61224252f);
  EXPECT_EQ(LOG_PERIOD(0.25f, LOG_PERIOD_STEP(0.25f, 2.69897008f, 16), 12), 2.04591155f);
  // The power stays in double up to the quotient: rounding it first gives 0.33005479
  // and 2.96578741.
  EXPECT_EQ(REAL_PERIOD(0.0371f, 3.3f), 0.33005482f);
  EXPECT_EQ(REAL_PERIOD(0.0742f, 0.4f), 2.96578717f);
}
