// The fast engine against the plain one: every supported kind, bit for bit, on single
// FUNCTI calls and on whole searches and scans.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <new>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine.h"
#include "lanes.h"
#include "likelihood.h"
#include "search.h"

namespace {

std::vector<EngineKind> SUPPORTED_KINDS() {
  std::vector<EngineKind> kinds;
  for (EngineKind k : {ENGINE_PORTABLE, ENGINE_AVX2, ENGINE_AVX512}) {
    if (ENGINE_SUPPORTED(k)) kinds.push_back(k);
  }
  return kinds;
}

uint32_t BITS(float f) {
  uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

// Event times of the kinds the scan meets: a plain Poisson stream, one strongly
// modulated at a period of a few events, and one far from zero with ties.
enum Catalogue { POISSON, MODULATED, FAR_WITH_TIES };

std::vector<float> CATALOGUE(Catalogue kind, int32_t n, std::mt19937_64& rng) {
  std::exponential_distribution<double> gap(1.0);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<float> t;
  double now = kind == FAR_WITH_TIES ? 1.0e6 : 0.0;
  const double period = 2.0 + 20.0 * unit(rng);
  while (static_cast<int32_t>(t.size()) < n) {
    if (kind == MODULATED) {
      // thinning of rate 2 down to 1 + 0.97 cos(2 pi t / period)
      now += gap(rng) / 2.0;
      if (unit(rng) * 2.0 > 1.0 + 0.97 * std::cos(6.283185307179586 * now / period)) continue;
    } else {
      now += gap(rng);
    }
    t.push_back(static_cast<float>(now));
  }
  return t;
}

// Amplitudes as the searches visit them, and the hard ends: tiny, and next to 1.
float AMPLITUDE(std::mt19937_64& rng) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  switch (rng() % 5) {
    case 0: return static_cast<float>(std::pow(10.0, -7.0 + 6.0 * unit(rng)));
    case 1: return static_cast<float>(1.0 - std::pow(10.0, -6.4 + 5.0 * unit(rng)));
    case 2: return 0.999999523f;  // the amplitude search's last point at the upper end
    default: return static_cast<float>(unit(rng));
  }
}

TEST(EngineFuncti, EveryKindGivesFunctisFloats) {
  // Many (A, FI, Omega) triples over each of many windows: normalised windows as the
  // scan forms them (T0 = 0), and raw times with T0 at the first time or before it.
  std::mt19937_64 rng(20240611);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const std::vector<EngineKind> kinds = SUPPORTED_KINDS();
  int64_t nCases = 0, nRecomputed = 0, nTerms = 0;
  for (int w = 0; w < 3000; ++w) {
    const int32_t n = w % 50 == 0 ? 200 + static_cast<int32_t>(rng() % 2000) : 2 + static_cast<int32_t>(rng() % 40);
    const Catalogue kind = static_cast<Catalogue>(w % 3);
    const std::vector<float> raw = CATALOGUE(kind, n, rng);
    std::vector<float> Times(n);
    float T0 = 0.0f;
    if (w % 4 == 3) {
      Times = raw;
      T0 = w % 8 == 3 ? raw[0] : static_cast<float>(raw[0] - 10.0 * unit(rng));
    } else {
      NORMALISE_WINDOW(raw.data(), 0, n, Times.data());
    }
    const int32_t nTrials = n > 100 ? 64 : 700;
    std::vector<float> A(nTrials), FI(nTrials), Omega(nTrials), Expected(nTrials), Got(nTrials);
    const float step = static_cast<float>(std::log10(static_cast<float>(n)) / 39.0f);
    for (int32_t c = 0; c < nTrials; ++c) {
      A[c] = AMPLITUDE(rng);
      FI[c] = static_cast<float>(6.2831855 * unit(rng));
      Omega[c] = rng() % 2 ? PERIOD_OMEGA(step, 1 + static_cast<int32_t>(rng() % 40))
                           : static_cast<float>(std::pow(10.0, -4.0 + 5.0 * unit(rng)));
      Expected[c] = FUNCTI(A[c], FI[c], Omega[c], n, Times.data(), T0);
    }
    for (EngineKind k : kinds) {
      nRecomputed += FUNCTI_CASES(k, nTrials, A.data(), FI.data(), Omega.data(), n, Times.data(), T0, Got.data());
      for (int32_t c = 0; c < nTrials; ++c) {
        ASSERT_EQ(BITS(Got[c]), BITS(Expected[c]))
            << "kind " << k << " n " << n << " A " << A[c] << " FI " << FI[c] << " Omega " << Omega[c]
            << " T0 " << T0 << ": " << Got[c] << " vs " << Expected[c];
      }
      if (k != ENGINE_PORTABLE) nTerms += static_cast<int64_t>(nTrials) * n;
    }
    nCases += nTrials;
  }
  RecordProperty("cases", std::to_string(nCases));
  std::printf("%lld cases per kind; %lld of %lld fast terms recomputed\n", static_cast<long long>(nCases),
              static_cast<long long>(nRecomputed), static_cast<long long>(nTerms));
}

TEST(EngineFuncti, ArgumentsOutsideTheKernelsRangeStillMatch) {
  // Zero amplitude, an amplitude of 1, times so far out that the argument passes the kernels' range,
  // and times that are not numbers: the lanes that the kernel cannot take go the plain way.
  const float Times[6] = {0.0f, 1.0f, 2.5f, 3.0f, 4.5f, 6.0f};
  const float Far[3] = {1.0e9f, 2.0e9f, 3.0e9f};
  const float Nan[3] = {0.0f, std::nanf(""), 2.0f};
  struct Case { float A, FI, Omega; const float* Times; int32_t n; float T0; };
  const Case cases[] = {
      {0.0f, 1.0f, 1.0f, Times, 6, 0.0f}, {1.0f, 0.5f, 1.0f, Times, 6, 0.0f},
      {0.5f, 0.5f, 3.0f, Far, 3, 0.0f},   {0.5f, 0.5f, 3.0f, Nan, 3, 0.0f},
      {0.3f, 2.0f, 6.2831855f, Times, 1, 0.0f}};
  for (EngineKind k : SUPPORTED_KINDS()) {
    for (const Case& c : cases) {
      float got;
      FUNCTI_CASES(k, 1, &c.A, &c.FI, &c.Omega, c.n, c.Times, c.T0, &got);
      EXPECT_EQ(BITS(got), BITS(FUNCTI(c.A, c.FI, c.Omega, c.n, c.Times, c.T0))) << "kind " << k << " A " << c.A;
    }
  }
}

struct Scan {
  std::vector<float> EventTimes;
  std::vector<float> Omega;
  SearchPlan Plan;
};

Scan MAKE_SCAN(Catalogue kind, int32_t nMoments, int32_t iTwindow, int32_t iTshift, int32_t nPeriods,
               std::mt19937_64& rng) {
  Scan s;
  s.EventTimes = CATALOGUE(kind, nMoments, rng);
  const float LogPeriodStep = static_cast<float>(static_cast<float>(std::log10(static_cast<float>(iTwindow))) /
                                                 static_cast<double>(nPeriods - 1));
  for (int32_t p = 1; p <= nPeriods; ++p) s.Omega.push_back(PERIOD_OMEGA(LogPeriodStep, p));
  s.Plan = SearchPlan{s.EventTimes.data(), iTwindow, iTshift, (nMoments - iTwindow) / iTshift + 1, nPeriods,
                      s.Omega.data()};
  return s;
}

// Progress as seen by a caller: the records in order and the thread they came from.
std::vector<std::pair<int32_t, int32_t>> gRecords;
std::thread::id gCaller;
bool gForeignThread = false;
void RECORD(int32_t m, int32_t p) {
  gRecords.emplace_back(m, p);
  if (std::this_thread::get_id() != gCaller) gForeignThread = true;
}

TEST(EngineSearch, EveryKindAndThreadCountGivesTheReferenceScan) {
  // Scans of small windows (many searches, cheap to check against the plain engine) and a
  // few large ones; Poisson, strongly modulated and far-out times with ties.
  struct Shape { Catalogue kind; int32_t nMoments, iTwindow, iTshift, nPeriods; };
  const Shape shapes[] = {
      {POISSON, 120, 2, 1, 3},        {MODULATED, 400, 10, 3, 11},  {FAR_WITH_TIES, 300, 25, 7, 9},
      {POISSON, 600, 60, 20, 17},     {MODULATED, 900, 120, 80, 20}, {POISSON, 2000, 2000, 1, 2},
      {MODULATED, 5000, 5000, 5000, 3}};
  std::mt19937_64 rng(77);
  int64_t nSearches = 0;
  for (const Shape& shape : shapes) {
    Scan s = MAKE_SCAN(shape.kind, shape.nMoments, shape.iTwindow, shape.iTshift, shape.nPeriods, rng);
    const size_t nValues = static_cast<size_t>(s.Plan.nWindows) * s.Plan.nPeriods;
    std::vector<float> Expected(nValues), WindowTimes(shape.iTwindow);
    gRecords.clear();
    SEARCH_REFERENCE(s.Plan, Expected.data(), WindowTimes.data(), RECORD);
    const std::vector<std::pair<int32_t, int32_t>> ExpectedRecords = gRecords;
    nSearches += static_cast<int64_t>(nValues);
    for (EngineKind k : SUPPORTED_KINDS()) {
      for (int nThreads : {1, 3}) {
        std::vector<float> Got(nValues, -1.0f);
        gRecords.clear();
        gCaller = std::this_thread::get_id();
        gForeignThread = false;
        SEARCH_FAST(s.Plan, Got.data(), RECORD, k, nThreads);
        EXPECT_EQ(gRecords, ExpectedRecords) << "kind " << k << " threads " << nThreads;
        EXPECT_FALSE(gForeignThread);
        for (size_t g = 0; g < nValues; ++g) {
          ASSERT_EQ(BITS(Got[g]), BITS(Expected[g]))
              << "kind " << k << " threads " << nThreads << " window " << g / s.Plan.nPeriods + 1 << " node "
              << g % s.Plan.nPeriods + 1 << " n " << shape.iTwindow;
        }
      }
    }
  }
  std::printf("%lld searches per kind and thread count\n", static_cast<long long>(nSearches));
}

TEST(EngineSearch, WindowOfEqualTimesGivesTheSameNotANumbers) {
  // A window whose times are all equal normalises to not-a-number times; the increments
  // must still be the reference's, bit for bit.
  std::vector<float> EventTimes = {1.0f, 2.0f, 2.0f, 2.0f, 2.0f, 3.0f, 4.5f, 5.0f};
  const float Omega[3] = {PERIOD_OMEGA(0.3f, 1), PERIOD_OMEGA(0.3f, 2), PERIOD_OMEGA(0.3f, 3)};
  const SearchPlan plan{EventTimes.data(), 4, 1, 5, 3, Omega};
  std::vector<float> Expected(15), Got(15), WindowTimes(4);
  SEARCH_REFERENCE(plan, Expected.data(), WindowTimes.data(), nullptr);
  ASSERT_TRUE(std::isnan(Expected[3]));
  for (EngineKind k : SUPPORTED_KINDS()) {
    SEARCH_FAST(plan, Got.data(), nullptr, k, 2);
    for (int g = 0; g < 15; ++g) EXPECT_EQ(BITS(Got[g]), BITS(Expected[g])) << "kind " << k << " slot " << g;
  }
}

int gCallsBeforeFailure = 0;
void FAILING_PROGRESS(int32_t, int32_t) {
  if (--gCallsBeforeFailure == 0) throw std::runtime_error("console gone");
}

TEST(EngineSearch, ProgressFailureAndStorageShortageReachTheCaller) {
  std::mt19937_64 rng(5);
  Scan s = MAKE_SCAN(POISSON, 400, 40, 10, 8, rng);
  std::vector<float> Got(static_cast<size_t>(s.Plan.nWindows) * s.Plan.nPeriods);
  gCallsBeforeFailure = 5;
  EXPECT_THROW(SEARCH_FAST(s.Plan, Got.data(), FAILING_PROGRESS, ENGINE_BEST(), 3), std::runtime_error);

#ifndef TM_SANITIZE_BUILD
  // So many searches that their bookkeeping cannot be had: nothing starts. (Under
  // AddressSanitizer an operator new that cannot be served ends the process instead
  // of throwing, so this half runs in the plain builds only.)
  SearchPlan huge = s.Plan;
  huge.nWindows = 1 << 30;
  huge.nPeriods = 1 << 14;
  gRecords.clear();
  float untouched = 7.0f;
  EXPECT_THROW(SEARCH_FAST(huge, &untouched, RECORD, ENGINE_BEST(), 2), std::bad_alloc);
  EXPECT_TRUE(gRecords.empty());
  EXPECT_EQ(untouched, 7.0f);
#endif
}

}  // namespace
