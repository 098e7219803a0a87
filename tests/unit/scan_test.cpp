// The scan stage: window layout, the window-length check, the per-window quantities,
// the progress records and the preparation of the increments for the grid.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "console.h"
#include "scan.h"
#include "search.h"

namespace {

// What the console receives while f runs (written as to a pipe: control character,
// text, CR LF).
std::string CAPTURE_CONSOLE(const std::function<void()>& f) {
  CONSOLE_BEFORE_READ();
  std::FILE* tmp = std::tmpfile();
  const int saved = ::dup(STDOUT_FILENO);
  ::dup2(::fileno(tmp), STDOUT_FILENO);
  f();
  CONSOLE_BEFORE_READ();
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);
  std::string text;
  std::rewind(tmp);
  for (int c; (c = std::fgetc(tmp)) != EOF;) text += static_cast<char>(c);
  std::fclose(tmp);
  return text;
}

struct Scan {
  std::vector<float> WindowTimes, DeltaLogLik, StretchCoeff, WindowLength, WindowEndTime, Omega;
  float Log10Window = 0.0f;
  std::string Console;
};

Scan RUN_SCAN(SearchEngine engine, const std::vector<float>& EventTimes, int32_t nPeriods, int32_t iTwindow,
              int32_t iTshift) {
  Scan s;
  const int32_t nWindows = WINDOW_COUNT(static_cast<int32_t>(EventTimes.size()), iTwindow, iTshift);
  ALLOCATE_SCAN_STORAGE(nWindows, nPeriods, iTwindow, s.WindowTimes, s.DeltaLogLik, s.StretchCoeff,
                        s.WindowLength, s.WindowEndTime, s.Omega);
  s.Console = CAPTURE_CONSOLE([&] {
    SCAN_WINDOWS(engine, EventTimes, nPeriods, iTwindow, iTshift, nWindows, s.WindowTimes, s.DeltaLogLik,
                 s.StretchCoeff, s.WindowLength, s.WindowEndTime, s.Omega, s.Log10Window);
  });
  return s;
}

// An engine that marks each slot with its pair, 10 * m + p, and reports each pair done.
void MARKING_ENGINE(const SearchPlan& plan, float* DeltaLogLik, float*, ProgressFn progress) {
  for (int32_t m = 1; m <= plan.nWindows; ++m) {
    for (int32_t p = 1; p <= plan.nPeriods; ++p) {
      DeltaLogLik[(m - 1) * plan.nPeriods + (p - 1)] = static_cast<float>(10 * m + p);
      progress(m, p);
    }
  }
}

}  // namespace

TEST(Scan, WorkedExampleOfTenEvenlySpacedEvents) {
  std::vector<float> EventTimes;
  for (int i = 0; i < 10; ++i) EventTimes.push_back(static_cast<float>(i));
  Scan s = RUN_SCAN(SEARCH_REFERENCE, EventTimes, 3, 10, 10);

  EXPECT_EQ(s.Log10Window, 1.0f);
  EXPECT_EQ(s.Omega[0], 6.28318548f);                // period 1
  EXPECT_EQ(s.Omega[1], static_cast<float>(6.28318548 / 3.16227766016838));
  EXPECT_EQ(s.Omega[2], 0.628318548f);               // period 10
  EXPECT_EQ(s.StretchCoeff[0], 1.11111116f);
  EXPECT_EQ(s.WindowLength[0], 9.0f);
  EXPECT_EQ(s.WindowEndTime[0], 9.0f);
  EXPECT_NEAR(s.DeltaLogLik[0], 0.091739, 5e-7);
  EXPECT_NEAR(s.DeltaLogLik[1], 0.041478, 5e-7);
  EXPECT_NEAR(s.DeltaLogLik[2], 0.091739, 5e-7);
  EXPECT_EQ(s.Console,
            "  \r\n"
            "+         0         2\r\n"
            "+         0         1\r\n"
            "+         0         0\r\n");

  const std::vector<float> Before = s.DeltaLogLik;
  float DeltaLogLikMin = 0.0f, DeltaLogLikMax = 0.0f;
  PREPARE_DELTA_LOGLIK(s.DeltaLogLik, 3, 1, DeltaLogLikMin, DeltaLogLikMax);
  EXPECT_EQ(DeltaLogLikMax, Before[0]);
  EXPECT_EQ(DeltaLogLikMin, Before[1]);
  EXPECT_EQ(s.DeltaLogLik, Before);
}

TEST(Scan, WindowCount) {
  struct Case {
    int32_t nMoments, iTwindow, iTshift, nWindows;
  };
  for (const Case& c : {Case{10, 10, 10, 1}, Case{10, 10, 1, 1}, Case{100, 30, 20, 4}, Case{500, 100, 50, 9},
                        Case{11, 10, 1, 2}, Case{109, 10, 10, 10}}) {
    EXPECT_EQ(WINDOW_COUNT(c.nMoments, c.iTwindow, c.iTshift), c.nWindows)
        << c.nMoments << " " << c.iTwindow << " " << c.iTshift;
  }
}

// 100 events, window 30, shift 20: four windows ending at events 30, 50, 70 and 90;
// events 91 to 100 take part in none.
TEST(Scan, WindowsTakeTheirEventsAndLeaveTheRestOut) {
  std::vector<float> EventTimes;
  for (int i = 1; i <= 100; ++i) EventTimes.push_back(static_cast<float>(i) * static_cast<float>(i));
  EventTimes[99] = 1.0E9f;  // an unused event cannot show up anywhere
  Scan s = RUN_SCAN(MARKING_ENGINE, EventTimes, 2, 30, 20);

  ASSERT_EQ(s.StretchCoeff.size(), 4u);
  const int first[4] = {1, 21, 41, 61};
  for (int m = 0; m < 4; ++m) {
    const float t0 = EventTimes[first[m] - 1], t1 = EventTimes[first[m] + 28];
    EXPECT_EQ(s.WindowEndTime[m], t1);
    EXPECT_EQ(s.WindowLength[m], t1 - t0);
    EXPECT_EQ(s.StretchCoeff[m], static_cast<float>(30.0 / static_cast<double>(t1 - t0)));
  }
  EXPECT_EQ(s.DeltaLogLik, (std::vector<float>{11, 12, 21, 22, 31, 32, 41, 42}));
  // The counters count down from nWindows - 1 and nPeriods - 1 to 0 and 0.
  EXPECT_EQ(s.Console,
            "  \r\n"
            "+         3         1\r\n+         3         0\r\n"
            "+         2         1\r\n+         2         0\r\n"
            "+         1         1\r\n+         1         0\r\n"
            "+         0         1\r\n+         0         0\r\n");
  // The last window's normalised times stay in the work storage: first 0, last 30.
  EXPECT_EQ(s.WindowTimes.front(), 0.0f);
  EXPECT_NEAR(s.WindowTimes.back(), 30.0f, 1e-5);
}

TEST(Scan, ExtremesAndFloor) {
  struct Case {
    std::vector<float> Values;  // 3 period nodes x 2 windows, period node fastest
    float Min, Max;
    std::vector<float> Floored;
  };
  const Case cases[] = {
      // Zero, negative values, 1.0E-36 and 1.0E-35 itself are raised to the smallest
      // value above 1.0E-35.
      {{-0.5f, 1.0E-36f, 2.0f, 1.0E-35f, 0.3f, 5.0E-35f}, 5.0E-35f, 2.0f,
       {5.0E-35f, 5.0E-35f, 2.0f, 5.0E-35f, 0.3f, 5.0E-35f}},
      // Nothing above the floor: every element becomes the largest.
      {{-1.0f, 0.0f, -2.0f, 1.0E-35f, -3.0f, 1.0E-36f}, 1.0E-35f, 1.0E-35f,
       {1.0E-35f, 1.0E-35f, 1.0E-35f, 1.0E-35f, 1.0E-35f, 1.0E-35f}},
      {{0.1f, 0.2f, 0.3f, 0.4f, 0.05f, 0.6f}, 0.05f, 0.6f, {0.1f, 0.2f, 0.3f, 0.4f, 0.05f, 0.6f}},
  };
  for (const Case& c : cases) {
    std::vector<float> D = c.Values;
    float Min = 0.0f, Max = 0.0f;
    PREPARE_DELTA_LOGLIK(D, 3, 2, Min, Max);
    EXPECT_EQ(Min, c.Min);
    EXPECT_EQ(Max, c.Max);
    EXPECT_EQ(D, c.Floored);
  }
}

TEST(Scan, FirstWindowWithoutUsableLength) {
  struct Case {
    std::vector<float> EventTimes;
    int32_t iTwindow, iTshift;
    WindowFault Fault;
    int32_t iWindowEnd;
  };
  const Case cases[] = {
      // Equal neighbours inside a window are fine.
      {{0, 1, 1, 2}, 3, 1, WINDOW_USABLE, 0},
      // Events 3 to 5 carry one time: the window ending at event 5, found whatever the shift.
      {{0, 1, 2, 2, 2, 5, 6}, 3, 1, WINDOW_ZERO_LENGTH, 5},
      {{0, 1, 2, 2, 2, 5, 6}, 3, 2, WINDOW_ZERO_LENGTH, 5},
      // Equal times after the last window take part in no window.
      {{0, 1, 2, 3, 4, 4, 4}, 3, 3, WINDOW_USABLE, 0},
      // 2 / 1.0E-39 exceeds the float range; 2 / 1.0E-37 does not.
      {{0, 1.0E-39f, 1}, 2, 1, WINDOW_OUT_OF_RANGE, 2},
      {{0, 1.0E-37f, 1}, 2, 1, WINDOW_USABLE, 0},
      // A length beyond the float range.
      {{-3.0E38f, 3.0E38f}, 2, 1, WINDOW_OUT_OF_RANGE, 2},
  };
  for (const Case& c : cases) {
    const int32_t nWindows = WINDOW_COUNT(static_cast<int32_t>(c.EventTimes.size()), c.iTwindow, c.iTshift);
    int32_t iWindowEnd = -1;
    EXPECT_EQ(FIND_WINDOW_FAULT(c.EventTimes, nWindows, c.iTwindow, c.iTshift, iWindowEnd), c.Fault)
        << c.EventTimes.size() << " events, window " << c.iTwindow << ", shift " << c.iTshift;
    if (c.Fault != WINDOW_USABLE) {
      EXPECT_EQ(iWindowEnd, c.iWindowEnd);
    }
  }
}

TEST(Scan, StorageThatCannotBeObtainedEndsAbnormally) {
  const auto allocate = [](int32_t n) {
    std::vector<float> WindowTimes, DeltaLogLik, StretchCoeff, WindowLength, WindowEndTime, Omega;
    ALLOCATE_SCAN_STORAGE(n, n, 2, WindowTimes, DeltaLogLik, StretchCoeff, WindowLength, WindowEndTime, Omega);
  };
  // Beyond what a vector can hold, and beyond the address space.
  for (const int32_t n : {2147483647, 1073741824}) {
    EXPECT_EXIT(allocate(n), ::testing::ExitedWithCode(2), "memory cannot be obtained") << n;
  }
}
