// The scan, plain and fast, on one generated catalogue in one process: time per
// event-pass (one event of one FUNCTI evaluation) for each, the speedup, and whether the
// results are the same floats.
//
//   scan_bench [nMoments iTwindow iTshift nPeriods] [--threads=N] [--no-reference]
//              [--kind=portable|avx2|avx512] [--repeat=R]
// With --repeat each timing is the shortest of R runs.
//
// The default is a 3,000-event catalogue with a window of 1,000 events, a shift of 100
// and 40 periods (21 windows, 840 searches); the plain scan of it takes some seconds.
#include <chrono>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine.h"
#include "lanes.h"
#include "search.h"

namespace {

// A Poisson stream with a weak periodic component, as a real catalogue might hold.
std::vector<float> CATALOGUE(int32_t n) {
  std::mt19937_64 rng(12345);
  std::exponential_distribution<double> gap(2.0);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<float> t;
  double now = 1000.0;
  while (static_cast<int32_t>(t.size()) < n) {
    now += gap(rng);
    if (unit(rng) * 2.0 > 1.0 + 0.2 * std::cos(6.283185307179586 * now / 37.0)) continue;
    t.push_back(static_cast<float>(now));
  }
  return t;
}

double SECONDS_SINCE(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

const char* KIND_NAME(EngineKind k) {
  return k == ENGINE_AVX512 ? "avx512" : k == ENGINE_AVX2 ? "avx2" : "portable";
}

}  // namespace

int main(int argc, char** argv) {
  int32_t shape[4] = {3000, 1000, 100, 40};
  int nShape = 0;
  int nThreadsAll = ENGINE_THREADS();
  bool bReference = true;
  int kOnly = -1;
  int nRepeat = 1;
  for (int a = 1; a < argc; ++a) {
    if (std::strncmp(argv[a], "--threads=", 10) == 0) {
      nThreadsAll = std::atoi(argv[a] + 10);
    } else if (std::strncmp(argv[a], "--kind=", 7) == 0) {
      const char* name = argv[a] + 7;
      kOnly = std::strcmp(name, "avx512") == 0 ? ENGINE_AVX512 : std::strcmp(name, "avx2") == 0 ? ENGINE_AVX2 : ENGINE_PORTABLE;
    } else if (std::strncmp(argv[a], "--repeat=", 9) == 0) {
      nRepeat = std::max(1, std::atoi(argv[a] + 9));
    } else if (std::strcmp(argv[a], "--no-reference") == 0) {
      bReference = false;
    } else if (nShape < 4) {
      shape[nShape++] = std::atoi(argv[a]);
    }
  }
  const int32_t nMoments = shape[0], iTwindow = shape[1], iTshift = shape[2], nPeriods = shape[3];
  if (iTwindow < 2 || iTwindow > nMoments || iTshift < 1 || nPeriods < 2) {
    std::fprintf(stderr, "scan_bench: need nMoments >= iTwindow >= 2, iTshift >= 1, nPeriods >= 2\n");
    return 2;
  }
  const std::vector<float> EventTimes = CATALOGUE(nMoments);
  const float LogPeriodStep = static_cast<float>(static_cast<float>(std::log10(static_cast<float>(iTwindow))) /
                                                 static_cast<double>(nPeriods - 1));
  std::vector<float> Omega;
  for (int32_t p = 1; p <= nPeriods; ++p) Omega.push_back(PERIOD_OMEGA(LogPeriodStep, p));
  const SearchPlan plan{EventTimes.data(), iTwindow, iTshift, (nMoments - iTwindow) / iTshift + 1, nPeriods,
                        Omega.data()};
  const size_t nValues = static_cast<size_t>(plan.nWindows) * nPeriods;

  std::printf("catalogue %d events, window %d, shift %d, %d periods: %d windows, %zu searches\n", nMoments,
              iTwindow, iTshift, nPeriods, plan.nWindows, nValues);
  std::printf("hardware threads %d, best kind %s\n", ENGINE_THREADS(), KIND_NAME(ENGINE_BEST()));

  // The fast scan first: its counts give the number of event-passes, the same for all.
  std::vector<float> First(nValues);
  EngineCounts counts;
  SEARCH_FAST_COUNTED(plan, First.data(), nullptr, ENGINE_BEST(), nThreadsAll, &counts);
  const double eventPasses = static_cast<double>(counts.nEvaluations) * iTwindow;
  std::printf("%lld FUNCTI evaluations, %.4g event-passes; %lld terms recomputed (1 in %.3g)\n",
              static_cast<long long>(counts.nEvaluations), eventPasses, static_cast<long long>(counts.nRecomputed),
              counts.nRecomputed ? eventPasses / counts.nRecomputed : 0.0);

  double tReference = 0.0;
  std::vector<float> Reference(nValues);
  if (bReference) {
    std::vector<float> WindowTimes(iTwindow);
    for (int r = 0; r < nRepeat; ++r) {
      const auto start = std::chrono::steady_clock::now();
      SEARCH_REFERENCE(plan, Reference.data(), WindowTimes.data(), nullptr);
      const double t = SECONDS_SINCE(start);
      tReference = r == 0 ? t : std::min(tReference, t);
    }
    std::printf("%-22s %9.3f s  %7.3f ns per event-pass\n", "reference, 1 thread", tReference,
                1e9 * tReference / eventPasses);
  }
  for (EngineKind k : {ENGINE_PORTABLE, ENGINE_AVX2, ENGINE_AVX512}) {
    if (!ENGINE_SUPPORTED(k) || (kOnly >= 0 && k != kOnly)) continue;
    for (int nThreads : {1, nThreadsAll}) {
      if (k == ENGINE_PORTABLE && !bReference) continue;
      std::vector<float> Got(nValues);
      double t = 0.0;
      for (int r = 0; r < nRepeat; ++r) {
        const auto start = std::chrono::steady_clock::now();
        SEARCH_FAST(plan, Got.data(), nullptr, k, nThreads);
        const double tr = SECONDS_SINCE(start);
        t = r == 0 ? tr : std::min(t, tr);
      }
      const bool bSame = std::memcmp(Got.data(), (bReference ? Reference : First).data(), nValues * sizeof(float)) == 0;
      const std::string name = std::string(KIND_NAME(k)) + ", " + std::to_string(nThreads) + " thread" +
                               (nThreads == 1 ? "" : "s");
      std::printf("%-22s %9.3f s  %7.3f ns per event-pass", name.c_str(), t, 1e9 * t / eventPasses);
      if (bReference) std::printf("  speedup %6.2f", tReference / t);
      std::printf("  %s\n", bSame ? (bReference ? "same floats as the reference" : "same floats") : "DIFFERENT FLOATS");
      if (nThreadsAll == 1) break;
    }
  }
  return 0;
}
