// Dispatch, the lane bound, and the scheduler that runs many searches side by side:
// every lane of a worker keeps its own amplitude and phase search records (the same
// GoldenSearch steps as FIND_AFI and FIND_FI), all lanes of a worker make one FUNCTI
// pass together, and a lane whose search ends takes the next search in scan order.
#include "engine.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "lanes.h"
#include "likelihood.h"

namespace {

// Own errors of the kernels' cosine and logarithm, as derived in kernel_body.h, with
// margin; glibc's documented 1 ulp counted twice.
constexpr double COS_ERROR = 4.0e-15;
constexpr double GLIBC_COS_ERROR = 0x1p-51;
constexpr double LOG_ERROR_ABS_K0 = 1.2e-16;
constexpr double LOG_ERROR_REL_K0 = 2.3e-16;
constexpr double LOG_ERROR_ABS = 3.0e-16;
constexpr double LOG_ERROR_REL = 5.2e-16;
constexpr double GLIBC_LOG_REL = 0x1p-51;
constexpr double LOG_Z0 = 0.703125;

// The kernels' domain: 1 + A cos stays above 2^-24, arguments within 2^24.
constexpr double AMPLITUDE_FAST_MAX = 1.0 - 0x1p-23;
constexpr double ARGUMENT_FAST_MAX = 0x1p24;
constexpr double MARGIN = 1.0 + 0x1p-40;

// cos FI for the kernel's angle sum, in a function of its own: next to the sin FI that
// the head uses, the compiler would merge the two into one sincos call, and the head's
// sine must come from std::sin itself, as FUNCTI's does.
__attribute__((noinline)) double COSINE_OF_PHASE(float FI) { return std::cos(static_cast<double>(FI)); }

}  // namespace

bool LANE_FAST(double A, double FI, double Omega, double TdMax) {
  if (!(A >= 0.0 && A <= AMPLITUDE_FAST_MAX)) return false;
  if (!std::isfinite(FI) || !std::isfinite(Omega) || !std::isfinite(TdMax)) return false;
  return (TdMax * std::fabs(Omega) * MARGIN + std::fabs(FI)) * MARGIN <= ARGUMENT_FAST_MAX;
}

// The bound B' of kernel_body.h for a lane of amplitude A in [0, AMPLITUDE_FAST_MAX].
// With c_f the kernel's cosine and c_g glibc's, u_f = fl(1 + A c_f) (one fused rounding)
// and u_ref = fl(1 + fl(A c_g)), both lie in [uMin, uMax] (|c| <= 1 + 1e-15; MARGIN's
// 2^-40 exceeds every rounding of these few operations by far). Then
//   |t_f - t_ref| <= |LOG(u_f) - log u_f|            own logarithm
//                  + |log u_f - log u_ref|           <= D / uMin
//                  + |log u_ref - glibc log u_ref|   <= 2^-51 Lmax
// with Lmax >= |log u| on [uMin, uMax] and
//   D = A (COS_ERROR + GLIBC_COS_ERROR)              the two cosines
//     + 2^-53 A (1 + 2^-52)                          FUNCTI's rounding of A cos
//     + 2^-53 uMax + 2^-53 uMax                      FUNCTI's 1 + ..., the fused step
// That is E; the kernel needs B' = E + 2^-53 (|t_f|max + E), |t_f| <= Lmax + own error.
// A = 0 gives u = 1 exactly on both sides and both logarithms 0: B' = 0.
double TERM_BOUND(double A) {
  if (A == 0.0) return 0.0;
  const double uMax = (1.0 + A * MARGIN) * MARGIN;
  const double uMin = (1.0 - A * MARGIN) / MARGIN;
  const double Lmax = std::max(-std::log(uMin), std::log(uMax)) * MARGIN;
  const bool bExponentZero = uMin >= LOG_Z0 * MARGIN && uMax * MARGIN <= 2.0 * LOG_Z0;
  const double ownLog = bExponentZero ? LOG_ERROR_ABS_K0 + LOG_ERROR_REL_K0 * Lmax
                                      : LOG_ERROR_ABS + LOG_ERROR_REL * Lmax;
  const double D = (A * (COS_ERROR + GLIBC_COS_ERROR) + 0x1p-53 * A * (1.0 + 0x1p-52) + 0x1p-52 * uMax) * MARGIN;
  const double E = (ownLog + GLIBC_LOG_REL * Lmax + D / uMin) * MARGIN;
  return (E + 0x1p-53 * (Lmax + ownLog + E)) * MARGIN;
}

bool ENGINE_SUPPORTED(EngineKind kind) {
  switch (kind) {
    case ENGINE_PORTABLE:
      return true;
#if defined(TOLVARAN_ENGINE_X86)
    case ENGINE_AVX2:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case ENGINE_AVX512:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
             __builtin_cpu_supports("avx512vl");
#endif
    default:
      return false;
  }
}

EngineKind ENGINE_BEST() {
  static const EngineKind best = ENGINE_SUPPORTED(ENGINE_AVX512) ? ENGINE_AVX512
                                 : ENGINE_SUPPORTED(ENGINE_AVX2) ? ENGINE_AVX2
                                                                 : ENGINE_PORTABLE;
  return best;
}

int ENGINE_THREADS() {
  const unsigned n = std::thread::hardware_concurrency();
  return n < 1 ? 1 : static_cast<int>(std::min(n, 1024u));
}

KernelInfo KERNEL_OF(EngineKind kind) {
  switch (kind) {
#if defined(TOLVARAN_ENGINE_X86)
    case ENGINE_AVX512:
      return KernelInfo{PASS_AVX512_LANES, PASS_AVX512, PREPARE_AVX512};
    case ENGINE_AVX2:
      return KernelInfo{PASS_AVX2_LANES, PASS_AVX2, PREPARE_AVX2};
#endif
    default:
      return KernelInfo{1, nullptr, nullptr};
  }
}

namespace {

// Doubles on a 64-byte boundary, so that a row of lanes is one or two aligned lines.
struct AlignedDoubles {
  std::unique_ptr<double[]> Store;
  double* Data = nullptr;
  void ALLOCATE(size_t n) {
    Store.reset(new double[n + 8]);
    const uintptr_t p = reinterpret_cast<uintptr_t>(Store.get());
    Data = reinterpret_cast<double*>((p + 63) & ~uintptr_t(63));
  }
};

struct Lane {
  int64_t g = -1;        // search index in scan order; -1 while idle
  int32_t iWindow = -1;  // window (0-based) of the lane's search
  float Omega = 0.0f;
  float TLast = 0.0f;    // the window's last normalised time
  double TdMax = 0.0;    // largest |time| of the window; not a number if any is not finite
  GoldenSearch Amp, Phase;
  float BoundA = -1.0f;  // the amplitude whose TERM_BOUND Bound holds
  double Bound = 0.0;
};

struct Worker {
  int nLanes = 1;       // the kernel's lanes
  int nLanesUsed = 1;   // of which this worker fills at most so many
  AlignedDoubles Rows;               // nTimes rows of 3 nLanes doubles (vector kinds only)
  std::unique_ptr<double[]> Td;      // one lane's times, and the preparation's work
  std::unique_ptr<float[]> Scratch;  // one normalised window
  int32_t iScratchWindow = -1;
  Lane Lanes[LANES_MAX];
  EngineCounts Counts;
};

struct Shared {
  const SearchPlan* Plan = nullptr;
  float* DeltaLogLik = nullptr;
  KernelInfo Kernel{1, nullptr, nullptr};
  int64_t nSearches = 0;
  std::atomic<int64_t> Next{0};
  std::unique_ptr<std::atomic<uint8_t>[]> Done;
  std::atomic<bool> bStop{false};
  std::mutex Mutex;
  std::condition_variable Changed;
};

const float* WINDOW_FLOATS(const Shared& S, Worker& W, int32_t iWindow) {
  if (W.iScratchWindow != iWindow) {
    const SearchPlan& plan = *S.Plan;
    NORMALISE_WINDOW(plan.EventTimes, static_cast<int32_t>(static_cast<int64_t>(iWindow) * plan.iTshift),
                     plan.iTwindow, W.Scratch.get());
    W.iScratchWindow = iWindow;
  }
  return W.Scratch.get();
}

void START_SEARCH(const Shared& S, Worker& W, int l, int64_t g) {
  const SearchPlan& plan = *S.Plan;
  Lane& a = W.Lanes[l];
  a.g = g;
  const int32_t iWindow = static_cast<int32_t>(g / plan.nPeriods);
  a.Omega = plan.Omega[g % plan.nPeriods];
  GOLDEN_START(a.Amp, AMPLITUDE_UPPER);
  GOLDEN_START(a.Phase, PHASE_UPPER);
  const int32_t n = plan.iTwindow;
  const bool bNewWindow = a.iWindow != iWindow;
  if (!bNewWindow && S.Kernel.Prepare == nullptr) return;
  const float* Times = WINDOW_FLOATS(S, W, iWindow);
  a.iWindow = iWindow;
  a.TLast = Times[n - 1];
  if (S.Kernel.Prepare == nullptr) return;
  // The scan's T0 is 0: the kernel's y is fl((Times(i) - 0.0) * Omega), as FUNCTI forms it.
  const double dT0 = 0.0;
  double TdMax = 0.0;
  bool bFinite = true;
  double* Td = W.Td.get();
  for (int32_t i = 0; i < n; ++i) {
    Td[i] = static_cast<double>(Times[i]) - dT0;
    bFinite = bFinite && std::isfinite(Td[i]);
    TdMax = std::max(TdMax, std::fabs(Td[i]));
  }
  a.TdMax = bFinite ? TdMax : std::nan("");
  if (LANE_FAST(0.0, 0.0, a.Omega, a.TdMax)) {
    S.Kernel.Prepare(Td, n, a.Omega, W.Rows.Data, W.nLanes, l, Td + n);
  }
}

void FINISH_SEARCH(Shared& S, Lane& a, float value) {
  S.DeltaLogLik[a.g] = value;
  S.Done[a.g].store(1, std::memory_order_release);
  a.g = -1;
  { std::lock_guard<std::mutex> lock(S.Mutex); }
  S.Changed.notify_all();
}

// Reports, in scan order, every search done since the last report.
void REPORT(Shared& S, ProgressFn progress, int64_t& nReported) {
  const int32_t nPeriods = S.Plan->nPeriods;
  while (nReported < S.nSearches && S.Done[nReported].load(std::memory_order_acquire)) {
    const int32_t m = static_cast<int32_t>(nReported / nPeriods) + 1;
    const int32_t p = static_cast<int32_t>(nReported % nPeriods) + 1;
    ++nReported;
    if (progress) progress(m, p);
  }
}

// One worker's share: lanes take searches in scan order until none is left. The calling
// thread passes progress and reports between its passes.
void WORK(Shared& S, Worker& W, ProgressFn progress, int64_t* nReported) {
  const SearchPlan& plan = *S.Plan;
  const int32_t n = plan.iTwindow;
  bool bDrained = false;
  PassLanes P;
  P.Rows = W.Rows.Data;
  P.nTimes = n;
  float value[LANES_MAX];
  bool bPlain[LANES_MAX];
  while (!S.bStop.load(std::memory_order_relaxed)) {
    int nBusy = 0;
    for (int l = 0; l < W.nLanesUsed; ++l) {
      Lane& a = W.Lanes[l];
      if (a.g < 0 && !bDrained) {
        const int64_t g = S.Next.fetch_add(1, std::memory_order_relaxed);
        if (g < S.nSearches) {
          START_SEARCH(S, W, l, g);
        } else {
          bDrained = true;
        }
      }
      if (a.g >= 0) ++nBusy;
    }
    if (nBusy == 0) break;

    P.Active = 0;
    P.nRecomputed = 0;
    for (int l = 0; l < W.nLanes; ++l) {
      Lane& a = W.Lanes[l];
      const float A = a.Amp.Trial;
      const float FI = a.Phase.Trial;
      bPlain[l] = false;
      P.A[l] = P.FI[l] = P.SinFI[l] = P.Bound[l] = 0.0;
      P.CosFI[l] = 1.0;
      P.F[l] = 0.0f;
      if (a.g < 0) continue;
      if (S.Kernel.Pass != nullptr && LANE_FAST(A, FI, a.Omega, a.TdMax)) {
        P.Active |= 1u << l;
        P.A[l] = A;
        P.FI[l] = FI;
        P.CosFI[l] = COSINE_OF_PHASE(FI);
        P.SinFI[l] = std::sin(static_cast<double>(FI));
        // The amplitude stays for a whole phase search.
        if (a.BoundA != A) {
          a.BoundA = A;
          a.Bound = TERM_BOUND(A);
        }
        P.Bound[l] = a.Bound;
        P.F[l] = FUNCTI_HEAD(A, FI, a.Omega, n, a.TLast, 0.0f, P.SinFI[l]);
      } else {
        bPlain[l] = true;
      }
    }
    if (P.Active != 0) S.Kernel.Pass(P);
    W.Counts.nRecomputed += P.nRecomputed;
    for (int l = 0; l < W.nLanes; ++l) {
      const Lane& a = W.Lanes[l];
      if (a.g < 0) continue;
      ++W.Counts.nEvaluations;
      if (bPlain[l]) {
        ++W.Counts.nPlainEvaluations;
        value[l] = FUNCTI(a.Amp.Trial, a.Phase.Trial, a.Omega, n, WINDOW_FLOATS(S, W, a.iWindow), 0.0f);
      } else {
        value[l] = P.F[l];
      }
    }
    // The steps of FIND_FI's and FIND_AFI's loops, per lane.
    for (int l = 0; l < W.nLanes; ++l) {
      Lane& a = W.Lanes[l];
      if (a.g < 0) continue;
      if (GOLDEN_FEED(a.Phase, value[l])) continue;
      if (GOLDEN_FEED(a.Amp, value[l])) {
        GOLDEN_START(a.Phase, PHASE_UPPER);
      } else {
        FINISH_SEARCH(S, a, value[l]);
      }
    }
    if (nReported != nullptr) REPORT(S, progress, *nReported);
  }
}

}  // namespace

void SEARCH_FAST(const SearchPlan& plan, float* DeltaLogLik, ProgressFn progress, EngineKind kind,
                 int nThreads) {
  SEARCH_FAST_COUNTED(plan, DeltaLogLik, progress, kind, nThreads, nullptr);
}

void SEARCH_FAST_COUNTED(const SearchPlan& plan, float* DeltaLogLik, ProgressFn progress, EngineKind kind,
                         int nThreads, EngineCounts* counts) {
  Shared S;
  S.Plan = &plan;
  S.DeltaLogLik = DeltaLogLik;
  S.Kernel = KERNEL_OF(ENGINE_SUPPORTED(kind) ? kind : ENGINE_PORTABLE);
  S.nSearches = static_cast<int64_t>(plan.nWindows) * plan.nPeriods;
  if (S.nSearches <= 0) return;

  // All storage first, so that a shortage is reported before any search starts.
  // A scan of fewer searches than all workers' lanes is spread evenly over the workers:
  // a pass costs the same however many of its lanes are busy.
  const int nWorkers = static_cast<int>(std::min<int64_t>(std::max(nThreads, 1), S.nSearches));
  const int64_t nShare = (S.nSearches + nWorkers - 1) / nWorkers;
  S.Done.reset(new std::atomic<uint8_t>[S.nSearches]);
  for (int64_t g = 0; g < S.nSearches; ++g) S.Done[g].store(0, std::memory_order_relaxed);
  std::vector<Worker> workers(nWorkers);
  for (Worker& W : workers) {
    W.nLanes = S.Kernel.nLanes;
    W.nLanesUsed = static_cast<int>(std::min<int64_t>(W.nLanes, nShare));
    W.Scratch.reset(new float[plan.iTwindow]);
    if (S.Kernel.Pass != nullptr) {
      W.Rows.ALLOCATE(static_cast<size_t>(plan.iTwindow) * 3 * W.nLanes);
      W.Td.reset(new double[static_cast<size_t>(plan.iTwindow) * 4 + 32]);
    }
  }
  std::vector<std::thread> threads;
  threads.reserve(nWorkers - 1);

  const auto JOIN = [&threads]() {
    for (std::thread& t : threads) t.join();
    threads.clear();
  };
  int64_t nReported = 0;
  try {
    for (int t = 1; t < nWorkers; ++t) {
      try {
        threads.emplace_back(WORK, std::ref(S), std::ref(workers[t]), nullptr, nullptr);
      } catch (const std::exception&) {
        break;  // fewer threads: the calling thread and those started share the work
      }
    }
    WORK(S, workers[0], progress, &nReported);
    while (true) {
      REPORT(S, progress, nReported);
      if (nReported >= S.nSearches) break;
      std::unique_lock<std::mutex> lock(S.Mutex);
      S.Changed.wait_for(lock, std::chrono::milliseconds(100),
                         [&] { return S.Done[nReported].load(std::memory_order_acquire) != 0; });
    }
  } catch (...) {
    S.bStop.store(true);
    JOIN();
    throw;
  }
  JOIN();
  if (counts != nullptr) {
    for (const Worker& W : workers) {
      counts->nEvaluations += W.Counts.nEvaluations;
      counts->nPlainEvaluations += W.Counts.nPlainEvaluations;
      counts->nRecomputed += W.Counts.nRecomputed;
    }
  }
}

void SEARCH_FAST_SCAN(const SearchPlan& plan, float* DeltaLogLik, float*, ProgressFn progress) {
  SEARCH_FAST(plan, DeltaLogLik, progress, ENGINE_BEST(), ENGINE_THREADS());
}

int64_t FUNCTI_CASES(EngineKind kind, int32_t nCases, const float* A, const float* FI,
                     const float* Omega, int32_t nTimes, const float* Times, float T0, float* F) {
  const KernelInfo kernel = KERNEL_OF(ENGINE_SUPPORTED(kind) ? kind : ENGINE_PORTABLE);
  if (kernel.Pass == nullptr) {
    for (int32_t c = 0; c < nCases; ++c) F[c] = FUNCTI(A[c], FI[c], Omega[c], nTimes, Times, T0);
    return 0;
  }
  const int L = kernel.nLanes;
  AlignedDoubles rows;
  rows.ALLOCATE(static_cast<size_t>(nTimes) * 3 * L);
  std::vector<double> Td(static_cast<size_t>(nTimes) * 4 + 32);
  const double dT0 = T0;
  double TdMax = 0.0;
  bool bFinite = true;
  for (int32_t i = 0; i < nTimes; ++i) {
    Td[i] = static_cast<double>(Times[i]) - dT0;
    bFinite = bFinite && std::isfinite(Td[i]);
    TdMax = std::max(TdMax, std::fabs(Td[i]));
  }
  if (!bFinite) TdMax = std::nan("");
  PassLanes P;
  P.Rows = rows.Data;
  P.nTimes = nTimes;
  P.nRecomputed = 0;
  for (int32_t c0 = 0; c0 < nCases; c0 += L) {
    P.Active = 0;
    for (int l = 0; l < L; ++l) {
      const int32_t c = c0 + l;
      P.A[l] = P.FI[l] = P.SinFI[l] = P.Bound[l] = 0.0;
      P.CosFI[l] = 1.0;
      P.F[l] = 0.0f;
      if (c >= nCases) continue;
      if (LANE_FAST(A[c], FI[c], Omega[c], TdMax)) {
        kernel.Prepare(Td.data(), nTimes, Omega[c], rows.Data, L, l, Td.data() + nTimes);
        P.Active |= 1u << l;
        P.A[l] = A[c];
        P.FI[l] = FI[c];
        P.CosFI[l] = COSINE_OF_PHASE(FI[c]);
        P.SinFI[l] = std::sin(static_cast<double>(FI[c]));
        P.Bound[l] = TERM_BOUND(A[c]);
        P.F[l] = FUNCTI_HEAD(A[c], FI[c], Omega[c], nTimes, Times[nTimes - 1], T0);
      } else {
        F[c] = FUNCTI(A[c], FI[c], Omega[c], nTimes, Times, T0);
      }
    }
    if (P.Active != 0) kernel.Pass(P);
    for (int l = 0; l < L && c0 + l < nCases; ++l) {
      if ((P.Active >> l) & 1u) F[c0 + l] = P.F[l];
    }
  }
  return P.nRecomputed;
}
