// The long comparison of the fast engine with the plain one, outside the normal suite:
// at least 10^5 searches (default), every supported vector kind, both on all threads,
// against SEARCH_REFERENCE, float bit for float bit. Prints what it compared and how many
// terms the certificate sent back to std::cos and std::log; exits non-zero on any
// difference.
//
//   engine_long_run [nSearches]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "engine.h"
#include "lanes.h"
#include "search.h"

int main(int argc, char** argv) {
  const int64_t nWanted = argc > 1 ? std::atoll(argv[1]) : 100000;
  std::mt19937_64 rng(31415);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::exponential_distribution<double> gap(1.0);
  int64_t nSearches = 0, nDifferent = 0, nScans = 0;
  EngineCounts counts[3];
  double eventPasses[3] = {0, 0, 0};
  while (nSearches < nWanted) {
    // Mostly small windows; every 20th scan a window of a few hundred to 5,000 events.
    const int32_t iTwindow = nScans % 20 == 19 ? 200 + static_cast<int32_t>(rng() % 4801)
                                               : 2 + static_cast<int32_t>(rng() % 60);
    const int32_t nPeriods = 2 + static_cast<int32_t>(rng() % 39);
    const int32_t iTshift = 1 + static_cast<int32_t>(rng() % iTwindow);
    const int32_t nWindows = iTwindow > 1000 ? 1 : 1 + static_cast<int32_t>(rng() % 12);
    const int32_t nMoments = (nWindows - 1) * iTshift + iTwindow;
    // Poisson, strongly modulated (thinning), or far from zero with ties.
    const int kind = static_cast<int>(nScans % 3);
    const double period = 2.0 + 30.0 * unit(rng);
    const double depth = 0.5 + 0.49 * unit(rng);
    std::vector<float> EventTimes;
    double now = kind == 2 ? 1.0e6 * (1.0 + unit(rng)) : 0.0;
    while (static_cast<int32_t>(EventTimes.size()) < nMoments) {
      now += gap(rng) * (kind == 1 ? 0.5 : 1.0);
      if (kind == 1 && unit(rng) * 2.0 > 1.0 + depth * std::cos(6.283185307179586 * now / period)) continue;
      EventTimes.push_back(static_cast<float>(now));
    }
    if (EventTimes.back() == EventTimes.front()) continue;
    const float Log10Window = static_cast<float>(std::log10(static_cast<double>(static_cast<float>(iTwindow))));
    const float LogPeriodStep = static_cast<float>(static_cast<double>(Log10Window) / (nPeriods - 1));
    std::vector<float> Omega;
    for (int32_t p = 1; p <= nPeriods; ++p) Omega.push_back(PERIOD_OMEGA(LogPeriodStep, p));
    const SearchPlan plan{EventTimes.data(), iTwindow, iTshift, nWindows, nPeriods, Omega.data()};
    const size_t nValues = static_cast<size_t>(nWindows) * nPeriods;
    std::vector<float> Reference(nValues), Got(nValues), WindowTimes(iTwindow);
    SEARCH_REFERENCE(plan, Reference.data(), WindowTimes.data(), nullptr);
    for (EngineKind k : {ENGINE_PORTABLE, ENGINE_AVX2, ENGINE_AVX512}) {
      if (!ENGINE_SUPPORTED(k) || (k == ENGINE_PORTABLE && nScans % 10 != 0)) continue;
      EngineCounts c;
      SEARCH_FAST_COUNTED(plan, Got.data(), nullptr, k, ENGINE_THREADS(), &c);
      counts[k].nEvaluations += c.nEvaluations;
      counts[k].nRecomputed += c.nRecomputed;
      counts[k].nPlainEvaluations += c.nPlainEvaluations;
      eventPasses[k] += static_cast<double>(c.nEvaluations) * iTwindow;
      for (size_t g = 0; g < nValues; ++g) {
        if (std::memcmp(&Got[g], &Reference[g], sizeof(float)) != 0) {
          ++nDifferent;
          std::printf("DIFFERENT: kind %d window %zu node %zu of a scan with window %d: %.9g vs %.9g\n", k,
                      g / nPeriods + 1, g % nPeriods + 1, iTwindow, Got[g], Reference[g]);
        }
      }
    }
    nSearches += static_cast<int64_t>(nValues);
    ++nScans;
  }
  std::printf("%lld searches in %lld scans compared; %lld different\n", static_cast<long long>(nSearches),
              static_cast<long long>(nScans), static_cast<long long>(nDifferent));
  for (EngineKind k : {ENGINE_PORTABLE, ENGINE_AVX2, ENGINE_AVX512}) {
    if (!ENGINE_SUPPORTED(k)) continue;
    std::printf("kind %d: %lld evaluations (%lld plain), %.4g event-passes, %lld terms recomputed (1 in %.3g)\n", k,
                static_cast<long long>(counts[k].nEvaluations), static_cast<long long>(counts[k].nPlainEvaluations),
                eventPasses[k], static_cast<long long>(counts[k].nRecomputed),
                counts[k].nRecomputed ? eventPasses[k] / counts[k].nRecomputed : 0.0);
  }
  return nDifferent == 0 ? 0 : 1;
}
