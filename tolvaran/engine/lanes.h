// The lane interface between the search scheduler (engine.cpp) and the vector kernels
// (kernel_*.cpp): one pass of FUNCTI's event sum for up to LANES_MAX searches at once.
#pragma once

#include <cstdint>

#include "engine.h"

constexpr int LANES_MAX = 16;

struct PassLanes {
  // Per event i a row of 3 nLanes doubles: for lane l, y = fl((Times(i) - T0) * Omega) at
  // Rows[i * 3 nLanes + l], cos y nLanes further on, sin y 2 nLanes further on (PREPARE).
  const double* Rows;
  int32_t nTimes;
  uint32_t Active;  // bit l set: lane l's sum is wanted (others are computed and ignored)
  double A[LANES_MAX], FI[LANES_MAX];
  double CosFI[LANES_MAX], SinFI[LANES_MAX];  // std::cos and std::sin of FI
  double Bound[LANES_MAX];  // TERM_BOUND of the lane's amplitude
  float F[LANES_MAX];       // in: the value before the sum (FUNCTI_HEAD); out: FUNCTI
  int64_t nRecomputed;      // terms the pass took again with std::cos and std::log
};

struct KernelInfo {
  int nLanes;                      // lanes per pass; 1 for the portable kind
  void (*Pass)(PassLanes& lanes);  // null for the portable kind: every lane is plain
  // Fills one lane's slots of the rows for a search of angular frequency Omega, from the
  // nTimes values Td = Times(i) - T0; Work holds 3 (nTimes + 8) doubles.
  void (*Prepare)(const double* Td, int32_t nTimes, double Omega, double* Rows, int W, int lane, double* Work);
};

// The kernels, each in its own translation unit built for its instruction set; call
// one only where ENGINE_SUPPORTED says its kind runs.
constexpr int PASS_AVX512_LANES = 16;
constexpr int PASS_AVX2_LANES = 8;
void PASS_AVX512(PassLanes& lanes);
void PASS_AVX2(PassLanes& lanes);
void PREPARE_AVX512(const double* Td, int32_t nTimes, double Omega, double* Rows, int W, int lane, double* Work);
void PREPARE_AVX2(const double* Td, int32_t nTimes, double Omega, double* Rows, int W, int lane, double* Work);

// The kernels' cosine c of x = fl(y + FI) (from cos y and sin y of their own, and cFI,
// sFI) and term t = LOG(fma(A, c, 1)) for nValues arguments (a multiple of 8), for
// measuring their errors; x receives the argument.
void TERMS_AVX512(const double* y, const double* FI, const double* cFI, const double* sFI, const double* A,
                  int32_t nValues, double* x, double* c, double* t);
void TERMS_AVX2(const double* y, const double* FI, const double* cFI, const double* sFI, const double* A,
                int32_t nValues, double* x, double* c, double* t);

// The kernel of a kind; the kind must be supported.
KernelInfo KERNEL_OF(EngineKind kind);

// Whether a lane with these arguments may take the vector kernel: amplitude in
// [0, 1 - 2^-23] (so that 1 + A cos stays above 2^-24), every argument
// (Times(i) - T0) * Omega + FI within 2^24 given TdMax = max |Times(i) - T0| (not a
// number if any time is not finite).
bool LANE_FAST(double A, double FI, double Omega, double TdMax);

// The bound B' of the vector kernel's check for a lane of amplitude A: the fast term
// minus FUNCTI's term, widened for the rounding of t -+ B' (derivation in
// kernel_body.h and beside the definition).
double TERM_BOUND(double A);

// What a scan cost: FUNCTI evaluations (one per lane and pass), those of them made the
// plain way, and the terms the kernels recomputed.
struct EngineCounts {
  int64_t nEvaluations = 0;
  int64_t nPlainEvaluations = 0;
  int64_t nRecomputed = 0;
};

// SEARCH_FAST, adding what it cost to counts (which may be null).
void SEARCH_FAST_COUNTED(const SearchPlan& plan, float* DeltaLogLik, ProgressFn progress, EngineKind kind,
                         int nThreads, EngineCounts* counts);

// FUNCTI for nCases (A, FI, Omega) triples over one set of times, through the kernel of
// the given kind, lanes filled side by side; the same floats FUNCTI gives. Returns the
// number of terms that were recomputed with std::cos and std::log. For tests and
// measurements.
int64_t FUNCTI_CASES(EngineKind kind, int32_t nCases, const float* A, const float* FI,
                     const float* Omega, int32_t nTimes, const float* Times, float T0, float* F);
