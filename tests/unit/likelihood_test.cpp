// The likelihood and its searches against the numbers worked out by hand for small
// cases, to the float bit where nine digits are known.
#include <gtest/gtest.h>

#include <cmath>

#include "likelihood.h"

TEST(Functi, FourEventExample) {
  const float Times[4] = {0.0f, 1.0f, 2.0f, 3.0f};
  const float Omega = static_cast<float>(6.2831855 / 4.0);
  EXPECT_NEAR(FUNCTI(0.5f, 0.0f, Omega, 4, Times, 0.0f), 0.16098, 5e-6);
  EXPECT_NEAR(FUNCTI(0.5f, 3.14159274f, Omega, 4, Times, 0.0f), -0.69106, 5e-6);
}

TEST(Functi, ZeroAmplitudeDoesNotDependOnPhase) {
  const float Times[5] = {0.0f, 0.7f, 1.9f, 2.2f, 4.0f};
  for (float FI : {0.0f, 1.0f, 3.0f, 6.0f}) {
    for (float Omega : {0.1f, 1.0f, 6.0f}) {
      EXPECT_EQ(FUNCTI(0.0f, FI, Omega, 5, Times, 0.0f), 0.0f);
    }
  }
}

// Runs one golden-section search on a synthetic objective and reports its end.
struct SearchEnd {
  float a, b, m;
  int nEvaluations;
};
template <class Objective>
static SearchEnd RunSearch(float upper, Objective objective) {
  GoldenSearch s;
  GOLDEN_START(s, upper);
  int n = 1;
  while (GOLDEN_FEED(s, objective(s.Trial))) ++n;
  return SearchEnd{s.a, s.b, s.Trial, n};
}

TEST(GoldenSearch, ClosesOnTheUpperEndWhenValuesTieOrRise) {
  for (auto objective : {+[](float) { return 0.0f; }, +[](float x) { return x; }}) {
    const SearchEnd amp = RunSearch(1.0f, objective);
    EXPECT_EQ(amp.a, 0.999999106f);
    EXPECT_EQ(amp.b, 1.0f);
    EXPECT_EQ(amp.m, 0.999999523f);
    EXPECT_EQ(amp.nEvaluations, 32);
    const SearchEnd phase = RunSearch(6.2831855f, objective);
    EXPECT_EQ(phase.a, 6.28318453f);
    EXPECT_EQ(phase.b, 6.28318548f);
    EXPECT_EQ(phase.m, 6.28318501f);
    EXPECT_EQ(phase.nEvaluations, 36);
  }
}

TEST(GoldenSearch, ClosesOnTheLowerEndWhenValuesFall) {
  const auto falling = [](float x) { return -x; };
  const SearchEnd amp = RunSearch(1.0f, falling);
  EXPECT_EQ(amp.a, 0.0f);
  EXPECT_EQ(amp.b, 8.69677422e-07f);
  EXPECT_EQ(amp.m, 4.34838711e-07f);
  EXPECT_EQ(amp.nEvaluations, 32);
  const SearchEnd phase = RunSearch(6.2831855f, falling);
  EXPECT_EQ(phase.a, 0.0f);
  EXPECT_EQ(phase.b, 7.97237135e-07f);
  EXPECT_EQ(phase.m, 3.98618567e-07f);
  EXPECT_EQ(phase.nEvaluations, 36);
}

TEST(GoldenSearch, NotANumberTakesTheUpperSide) {
  const SearchEnd end = RunSearch(1.0f, [](float) { return std::nanf(""); });
  EXPECT_EQ(end.m, 0.999999523f);
}

TEST(FindAfi, EvaluatesFuncti1120To1152Times) {
  // Count FUNCTI calls through the search structure: 32 amplitudes, each 35 or 36
  // phases.
  int nTotal = 0;
  GoldenSearch outer;
  GOLDEN_START(outer, 1.0f);
  do {
    const float A = outer.Trial;
    GoldenSearch inner;
    GOLDEN_START(inner, 6.2831855f);
    int n = 1;
    while (GOLDEN_FEED(inner, -std::fabs(inner.Trial - 2.0f * A))) ++n;
    EXPECT_TRUE(n == 35 || n == 36) << n;
    nTotal += n;
  } while (GOLDEN_FEED(outer, -std::fabs(outer.Trial - 0.3f)));
  EXPECT_GE(nTotal, 1120);
  EXPECT_LE(nTotal, 1152);
}
