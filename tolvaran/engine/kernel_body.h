// One source for the vector kernels, written over a thin vector layer V (kernel_avx512.cpp,
// kernel_avx2.cpp) and compiled once per instruction set. Everything here has internal
// linkage: the translation units are built with different instruction-set flags, and no
// function compiled for one set may be picked by the linker for another.
//
// What a pass computes, per lane and event i. At the start of each search the lane's
// table holds y = fl((Times(i) - T0) * Omega), exactly as FUNCTI forms it, with
// COS(y) and SIN(y) (PREPARE_BODY: once per search, while a search makes over a
// thousand passes). Per pass, with cos FI and sin FI from std::cos and std::sin:
//   x    = fl(y + FI)                           FUNCTI's argument, bit for bit
//   c    = ROTATED_COS                          cos x by the angle sum (see there)
//   u    = fma(A, c, 1)                         fast 1 + A cos
//   t    = LOG(u)                               fast logarithm
//   F    = float(t + F)                         FUNCTI's float chain
// FUNCTI itself takes the same steps with glibc's cos and log and an unfused multiply and
// add. The fast term t differs from FUNCTI's term t_ref = log(fl(1 + fl(A cos_glibc x)))
// by at most the lane's Bound B (TERM_BOUND, engine.cpp). The pass then forms
//   lo = fl(fl(t - B') + F),  hi = fl(fl(t + B') + F),  B' = B + 2^-53 (|t|max + B)
// so that fl(t - B') <= t_ref <= fl(t + B') holds as real numbers (B' absorbs the
// rounding of t -+ B'). Rounding to nearest is monotone, so FUNCTI's sum fl(t_ref + F)
// lies in [lo, hi], and its float in [float(lo), float(hi)]. When those two floats are
// the same, that float is FUNCTI's result for this event, bit for bit. Otherwise that one
// term is taken again exactly as FUNCTI takes it (std::cos, std::log, the same
// operations) before the next event, so every lane's chain stays FUNCTI's chain.
//
// COS(y) and SIN(y), |y| <= 2^24 (LANE_FAST keeps every lane inside):
//   k  = RN(y * INV_PI)          one fused multiply-add of 1.5 * 2^52, which rounds the
//                                exact product to an integer (|k| < 2^23)
//   r1 = y - k * PI1             one fused rounding; exact: for k != 0, |y| > 1 so y is a
//                                multiple of 2^-52, k * PI1 a multiple of 2^-51, and the
//                                difference is below 2 in magnitude, so it has at most 53
//                                significant bits; for k = 0 it is y itself
//   r  = r1 - k * PI2            one fused rounding: error <= 2^-53 |r|
//   cos y = (-1)^k cos(r_true), sin y = (-1)^k sin(r_true), r_true = y - k pi;
//   |k - y/pi| <= 1/2 + |y| |INV_PI - 1/pi| <= 1/2 + |y| 2^-53 / pi, so
//   |r_true| <= pi/2 + |y| 2^-53 <= pi/2 + 2^-29, inside the polynomials' range pi/2 + 2^-20.
//   Errors of |COS(y) - cos y|:
//     reduction   2^-53 (pi/2 + 2^-20) + 2^23 |pi - PI1 - PI2|           <= 1.75e-16
//     polynomial  cos r ~ 1 + s P(s), s = r^2, degree 16 minimax for absolute error
//                 with the coefficients as doubles, measured on a dense grid in
//                 60-digit arithmetic (tests/tools/kernel_coefficients.py)   <= 3.4e-17
//     evaluation  s = fl(r*r) off by <= 2^-53 s <= 2.74e-16, |d cos(sqrt s)/ds| <= 1/2:
//                 <= 1.37e-16; Horner by fused steps: P(s) in [-0.5, -0.40] is off by
//                 <= 2^-53 (0.5 + 0.1 + 0.01) 1.01 <= 6.9e-17, times s <= 2.47: 1.70e-16;
//                 last rounding 2^-53 |c| <= 1.11e-16                        <= 4.2e-16
//     sum                                                                    <= 6.3e-16
//   Errors of |SIN(y) - sin y|, sin r ~ r + r s P(s), degree 17:
//     reduction 1.75e-16; polynomial 4.0e-17; s's rounding through r s P: 7.2e-17;
//     Horner (P in [-1/6, -0.10]) times r s <= 3.9: 8.2e-17; r s's rounding 7.2e-17;
//     last rounding 1.11e-16                                                 <= 5.5e-16
//
// ROTATED_COS: with theta = y + FI as a real number, x = theta - e, and e is exact (the
// two-sum of y and FI), |e| <= 2^-29 for |x| <= 2^24.
//   cT = fl(C cos FI - fl(S sin FI)) against cos theta = cos y cos FI - sin y sin FI:
//     C and S off by 6.3e-16 and 5.5e-16, glibc's cos FI and sin FI by 2 ulp (4.4e-16
//     each), two roundings of 1.11e-16                                       <= 2.28e-15
//   c = fl(e sT + cT) against cos x = cos theta cos e + sin theta sin e: sT's own error
//     times |e| (< 1e-23), 1 - cos e <= e^2/2 < 1.8e-18, last rounding 1.11e-16
//   Sum <= 2.4e-15; COS_ERROR (engine.cpp) takes 4.0e-15.
//
// LOG(u), u in [2^-25, 2.1] (amplitudes up to AMPLITUDE_FAST_MAX keep u there):
//   bits(u) - bits(Z0), Z0 = 0.703125, gives k (its top bits, arithmetic) and
//   z = u 2^-k in [Z0, 2 Z0), exactly. Its next four bits pick one of 16 cells; the cell
//   holding 1 spans [0.984375, 1.03125) and has INV = 1, L = 0, so that near u = 1 the
//   result is log1p(z - 1) with no cancellation. Per cell INV ~ 1/centre and
//   L = RN(-log INV):
//   r  = fl(z * INV - 1)         one fused rounding: |r| <= 0.0313, error <= 2^-53 |r|
//   p  = r + r^2 Q(r) ~ log1p r  degree 8 minimax for absolute error: <= 1.4e-17
//                                (relative to log1p r: <= 1.3e-15)
//   hi = fl(k * LN2 + L)         exact when k = 0 (hi = L)
//   t  = fl(hi + p)
//   Errors of |LOG(u) - log u|, from r (3.6e-18), the polynomial (1.4e-17), its evaluation
//   (3.5e-18), L (2^-53 |L| <= 3.7e-17), LN2 (|k| 2.32e-17), hi and t (2^-53 each),
//   with |k| ln2 <= |log u| + 0.352 and |hi| <= |k| ln2 + 0.331:
//     k = 0 for every u of the lane:  <= 5.8e-17 + 1.12e-16 |log u|
//     otherwise:                      <= 1.46e-16 + 2.56e-16 |log u|
//   LOG_ERROR_* (engine.cpp) double these.
//
// glibc's cos, sin and log (2.36) are documented to be within 1 ulp on x86-64; the bounds
// count 2 ulp of the result for each, that is 2^-51 absolute for cos and sin (|value| <= 1)
// and 2^-51 |log u| for log. The certificate needs no more of glibc than this bound: the
// terms it cannot certify are taken with glibc's own functions. How the pieces add up to
// the lane bound is in TERM_BOUND.
//
// Measured over 10^7 arguments of the scan's ranges (tests/tools/kernel_bounds.cpp):
// the cosine within 3.7e-16 of the exact value, the logarithm within 2.2e-15 absolute
// (at u = 2e-6) and 1.3e-15 relative, glibc within 0.52 ulp, and the fast term never
// further from FUNCTI's than 0.65 of the lane bound.
#pragma once

#include <cmath>
#include <cstdint>

#include "lanes.h"

namespace {

// Reduction and cosine.
constexpr double INV_PI = 0x1.45f306dc9c883p-2;
constexpr double PI1 = 0x1.921fb54442d18p+1;
constexpr double PI2 = 0x1.1a62633145c07p-53;
constexpr double ROUNDING_MAGIC = 0x1.8p52;
constexpr double COS_C2 = -0x1.ffffffffffffdp-2;
constexpr double COS_C4 = 0x1.555555555540ap-5;
constexpr double COS_C6 = -0x1.6c16c16c0b21dp-10;
constexpr double COS_C8 = 0x1.a01a0199c9263p-16;
constexpr double COS_C10 = -0x1.27e4f9915f2ccp-22;
constexpr double COS_C12 = 0x1.1eece48a0fd86p-29;
constexpr double COS_C14 = -0x1.9351e12807cc0p-37;
constexpr double COS_C16 = 0x1.9f4224383f7e6p-45;

constexpr double SIN_C3 = -0x1.5555555555555p-3;
constexpr double SIN_C5 = 0x1.1111111111093p-7;
constexpr double SIN_C7 = -0x1.a01a01a012738p-13;
constexpr double SIN_C9 = 0x1.71de3a51c6a46p-19;
constexpr double SIN_C11 = -0x1.ae64547e9f711p-26;
constexpr double SIN_C13 = 0x1.6123ba0ddde80p-33;
constexpr double SIN_C15 = -0x1.ae3f19dbca78ep-41;
constexpr double SIN_C17 = 0x1.87c6cfa108847p-49;

// Logarithm.
constexpr uint64_t LOG_Z0_BITS = 0x3FE6800000000000ull;  // 0.703125
constexpr uint64_t LOG_EXPONENT_MASK = 0xFFF0000000000000ull;
constexpr double LN2 = 0x1.62e42fefa39efp-1;
constexpr double LOG_C2 = -0x1.00000000001e0p-1;
constexpr double LOG_C3 = 0x1.55555555b1e27p-2;
constexpr double LOG_C4 = -0x1.ffffffeeef5eap-3;
constexpr double LOG_C5 = 0x1.9999897dd8436p-3;
constexpr double LOG_C6 = -0x1.5555eebacd377p-3;
constexpr double LOG_C7 = 0x1.24feb54fdcd6bp-3;
constexpr double LOG_C8 = -0x1.fd39363c27a2bp-4;
alignas(64) constexpr double LOG_INV[16] = {
    0x1.642c8590b2164p+0, 0x1.5555555555555p+0, 0x1.47ae147ae147bp+0, 0x1.3b13b13b13b14p+0,
    0x1.2f684bda12f68p+0, 0x1.2492492492492p+0, 0x1.1a7b9611a7b96p+0, 0x1.1111111111111p+0,
    0x1.0842108421084p+0, 0x1.0000000000000p+0, 0x1.e1e1e1e1e1e1ep-1, 0x1.c71c71c71c71cp-1,
    0x1.af286bca1af28p-1, 0x1.999999999999ap-1, 0x1.8618618618618p-1, 0x1.745d1745d1746p-1};
alignas(64) constexpr double LOG_L[16] = {
    -0x1.522ae0738a3d7p-2, -0x1.269621134db91p-2, -0x1.f991c6cb3b37ap-3, -0x1.a93ed3c8ad9e5p-3,
    -0x1.5bf406b543db0p-3, -0x1.1178e8227e47ap-3, -0x1.9335e5d594988p-4, -0x1.08598b59e3a06p-4,
    -0x1.0415d89e74440p-5, 0x0.0p+0,              0x1.f0a30c01162a8p-5,  0x1.e27076e2af2eap-4,
    0x1.5ff3070a793d6p-3,  0x1.c8ff7c79a9a20p-3,  0x1.1675cababa60fp-2,  0x1.4618bc21c5ec2p-2};

// The steps of the kernels are written for K independent vectors at a time, step by
// step, so that the processor always has K independent operations at hand: each
// vector's own chain of dependent steps is long (a hundred cycles and more), far longer
// than what the out-of-order window can cover for one vector alone.
#define FOR_K _Pragma("GCC unroll 16") for (int k = 0; k < K; ++k)

template <class V, int K>
inline void COS(const typename V::D* x, typename V::D* c) {
  using D = typename V::D;
  D kd[K], r[K], s[K], p[K];
  FOR_K kd[k] = V::fmadd(x[k], V::set1(INV_PI), V::set1(ROUNDING_MAGIC));
  FOR_K r[k] = V::sub(kd[k], V::set1(ROUNDING_MAGIC));  // k as a double
  FOR_K p[k] = V::fnmadd(r[k], V::set1(PI1), x[k]);
  FOR_K r[k] = V::fnmadd(r[k], V::set1(PI2), p[k]);
  FOR_K s[k] = V::mul(r[k], r[k]);
  FOR_K p[k] = V::fmadd(V::set1(COS_C16), s[k], V::set1(COS_C14));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(COS_C12));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(COS_C10));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(COS_C8));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(COS_C6));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(COS_C4));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(COS_C2));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(1.0));
  // The low bit of kd's significand is the parity of k: odd k flips the sign.
  FOR_K c[k] = V::xor_low_bit_as_sign(p[k], kd[k]);
}

// The same reduction; sin y = (-1)^k sin(r_true), sin r ~ r + r s P(s).
template <class V, int K>
inline void SIN(const typename V::D* x, typename V::D* sn) {
  using D = typename V::D;
  D kd[K], r[K], s[K], p[K];
  FOR_K kd[k] = V::fmadd(x[k], V::set1(INV_PI), V::set1(ROUNDING_MAGIC));
  FOR_K r[k] = V::sub(kd[k], V::set1(ROUNDING_MAGIC));
  FOR_K p[k] = V::fnmadd(r[k], V::set1(PI1), x[k]);
  FOR_K r[k] = V::fnmadd(r[k], V::set1(PI2), p[k]);
  FOR_K s[k] = V::mul(r[k], r[k]);
  FOR_K p[k] = V::fmadd(V::set1(SIN_C17), s[k], V::set1(SIN_C15));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(SIN_C13));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(SIN_C11));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(SIN_C9));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(SIN_C7));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(SIN_C5));
  FOR_K p[k] = V::fmadd(p[k], s[k], V::set1(SIN_C3));
  FOR_K s[k] = V::mul(r[k], s[k]);
  FOR_K p[k] = V::fmadd(s[k], p[k], r[k]);
  FOR_K sn[k] = V::xor_low_bit_as_sign(p[k], kd[k]);
}

template <class V, int K>
inline void LOG(const typename V::D* u, typename V::D* t) {
  using D = typename V::D;
  D z[K], kd[K], inv[K], L[K], r[K], s[K], q[K];
  FOR_K V::log_split(u[k], z[k], kd[k], inv[k], L[k]);
  FOR_K r[k] = V::fmsub(z[k], inv[k], V::set1(1.0));
  FOR_K s[k] = V::mul(r[k], r[k]);
  FOR_K q[k] = V::fmadd(V::set1(LOG_C8), r[k], V::set1(LOG_C7));
  FOR_K q[k] = V::fmadd(q[k], r[k], V::set1(LOG_C6));
  FOR_K q[k] = V::fmadd(q[k], r[k], V::set1(LOG_C5));
  FOR_K q[k] = V::fmadd(q[k], r[k], V::set1(LOG_C4));
  FOR_K q[k] = V::fmadd(q[k], r[k], V::set1(LOG_C3));
  FOR_K q[k] = V::fmadd(q[k], r[k], V::set1(LOG_C2));
  FOR_K q[k] = V::fmadd(s[k], q[k], r[k]);                      // log1p r
  FOR_K t[k] = V::add(V::fmadd(kd[k], V::set1(LN2), L[k]), q[k]);
}

// FUNCTI's own step for one event, for a term the check did not accept.
inline float PLAIN_STEP(double x, double dA, float F) {
  const double term = std::log(1.0 + dA * std::cos(x));
  return static_cast<float>(term + static_cast<double>(F));
}

// The chain step of one vector: F = float(t + F) where the check accepts it, FUNCTI's
// own step for the lanes where it does not.
template <class V>
inline void CHAIN(typename V::D t, typename V::D x, typename V::D A, typename V::D B, unsigned Active,
                  typename V::D& F, int64_t& nRecomputed) {
  using D = typename V::D;
  constexpr int N = V::N;
  const D lo = V::add(V::sub(t, B), F);
  const D hi = V::add(V::add(t, B), F);
  D Fnext;
  const unsigned bad = V::round_check(lo, hi, Fnext) & Active;
  if (bad != 0) {
    alignas(64) double xs[N], As[N], Fs[N], Fn[N];
    V::store(xs, x);
    V::store(As, A);
    V::store(Fs, F);
    V::store(Fn, Fnext);
    for (int l = 0; l < N; ++l) {
      if ((bad >> l) & 1u) {
        Fn[l] = static_cast<double>(PLAIN_STEP(xs[l], As[l], static_cast<float>(Fs[l])));
        ++nRecomputed;
      }
    }
    Fnext = V::load(Fn);
  }
  F = Fnext;
}

// The cosine of each lane's argument from the search's table of y = fl(td * Omega),
// cos y and sin y (PREPARE_BODY) and the pass's cos FI and sin FI:
//   x  = fl(y + FI)                          FUNCTI's argument, bit for bit
//   e  = (y + FI) - x                        exactly, by the two-sum of y and FI
//   cT = cos y cos FI - sin y sin FI         = cos(y + FI) up to the tables' errors
//   sT = sin y cos FI + cos y sin FI
//   c  = cT + e sT                           = cos(x) to first order in e
// The argument bound 2^24 (LANE_FAST) keeps |e| <= 2^-29, so e^2/2 < 2e-18.
template <class V, int K>
inline void ROTATED_COS(const double* const* rows, int W, const typename V::D* FI,
                        const typename V::D* cFI, const typename V::D* sFI, typename V::D* x,
                        typename V::D* c) {
  using D = typename V::D;
  D y[K], C[K], S[K], e[K], t[K];
  FOR_K y[k] = V::load(rows[k]);
  FOR_K x[k] = V::add(y[k], FI[k]);
  FOR_K e[k] = V::sub(x[k], y[k]);                                           // b'
  FOR_K e[k] = V::add(V::sub(y[k], V::sub(x[k], e[k])), V::sub(FI[k], e[k]));  // two-sum error
  FOR_K C[k] = V::load(rows[k] + W);
  FOR_K S[k] = V::load(rows[k] + 2 * W);
  FOR_K t[k] = V::mul(C[k], sFI[k]);
  FOR_K t[k] = V::fmadd(S[k], cFI[k], t[k]);                                 // sT
  FOR_K c[k] = V::mul(S[k], sFI[k]);
  FOR_K c[k] = V::fmsub(C[k], cFI[k], c[k]);                                 // cT
  FOR_K c[k] = V::fmadd(e[k], t[k], c[k]);
}

// The terms of E consecutive events for U vectors of lanes, then their chain steps in
// event order. A row holds, for each of the W lanes, y, then cos y, then sin y.
template <class V, int U, int E>
inline void EVENTS(const double* row, const typename V::D* A, const typename V::D* FI,
                   const typename V::D* cFI, const typename V::D* sFI, const typename V::D* B,
                   const unsigned* Active, typename V::D* F, int64_t& nRecomputed) {
  using D = typename V::D;
  constexpr int N = V::N;
  constexpr int W = N * U;
  constexpr int K = U * E;
  const double* rows[K];
  D FIk[K], cFIk[K], sFIk[K], x[K], c[K], t[K];
  FOR_K {
    rows[k] = row + (k / U) * 3 * W + (k % U) * N;
    FIk[k] = FI[k % U];
    cFIk[k] = cFI[k % U];
    sFIk[k] = sFI[k % U];
  }
  ROTATED_COS<V, K>(rows, W, FIk, cFIk, sFIk, x, c);
  FOR_K c[k] = V::fmadd(A[k % U], c[k], V::set1(1.0));
  LOG<V, K>(c, t);
  // The chain steps of all E events, with one test at the end; should any check fail,
  // the steps are taken again one by one from the values before them (CHAIN).
  D Fstart[U];
  for (int v = 0; v < U; ++v) Fstart[v] = F[v];
  unsigned bad = 0;
  FOR_K {
    D Fnext;
    const D lo = V::add(V::sub(t[k], B[k % U]), F[k % U]);
    const D hi = V::add(V::add(t[k], B[k % U]), F[k % U]);
    bad |= V::round_check(lo, hi, Fnext) & Active[k % U];
    F[k % U] = Fnext;
  }
  if (bad != 0) {
    for (int v = 0; v < U; ++v) F[v] = Fstart[v];
    FOR_K CHAIN<V>(t[k], x[k], A[k % U], B[k % U], Active[k % U], F[k % U], nRecomputed);
  }
}

// One pass over the events for U vectors of V::N lanes each, E events at a time.
template <class V, int U, int E>
void PASS_BODY(PassLanes& lanes) {
  using D = typename V::D;
  constexpr int N = V::N;
  constexpr int W = N * U;
  D A[U], FI[U], cFI[U], sFI[U], B[U], F[U];
  unsigned Active[U];
  for (int v = 0; v < U; ++v) {
    A[v] = V::load(lanes.A + v * N);
    FI[v] = V::load(lanes.FI + v * N);
    cFI[v] = V::load(lanes.CosFI + v * N);
    sFI[v] = V::load(lanes.SinFI + v * N);
    B[v] = V::load(lanes.Bound + v * N);
    F[v] = V::widen_floats(lanes.F + v * N);
    Active[v] = (lanes.Active >> (v * N)) & ((1u << N) - 1u);
  }
  int64_t nRecomputed = 0;
  const double* row = lanes.Rows;
  int32_t i = 0;
  for (; i + E <= lanes.nTimes; i += E, row += E * 3 * W) {
    EVENTS<V, U, E>(row, A, FI, cFI, sFI, B, Active, F, nRecomputed);
  }
  for (; i < lanes.nTimes; ++i, row += 3 * W) {
    EVENTS<V, U, 1>(row, A, FI, cFI, sFI, B, Active, F, nRecomputed);
  }
  for (int v = 0; v < U; ++v) V::narrow_store(lanes.F + v * N, F[v]);
  lanes.nRecomputed += nRecomputed;
}

// A search's table for one lane: y = fl(td * Omega) as FUNCTI forms it, cos y, sin y,
// written into the lane's slots of the rows (W lanes per row). Td holds nTimes values;
// Work holds room for 3 (nTimes + V::N) doubles.
template <class V>
void PREPARE_BODY(const double* Td, int32_t nTimes, double Omega, double* Rows, int W, int lane, double* Work) {
  using D = typename V::D;
  constexpr int N = V::N;
  const int32_t nPadded = (nTimes + N - 1) / N * N;
  double* y = Work;
  double* C = Work + nPadded;
  double* S = Work + 2 * nPadded;
  for (int32_t i = 0; i < nPadded; ++i) y[i] = i < nTimes ? Td[i] * Omega : 0.0;
  for (int32_t i = 0; i < nPadded; i += N) {
    D yv[1] = {V::load(y + i)}, cv[1], sv[1];
    COS<V, 1>(yv, cv);
    SIN<V, 1>(yv, sv);
    V::store(C + i, cv[0]);
    V::store(S + i, sv[0]);
  }
  double* r = Rows + lane;
  for (int32_t i = 0; i < nTimes; ++i, r += 3 * W) {
    r[0] = y[i];
    r[W] = C[i];
    r[2 * W] = S[i];
  }
}

// The kernel's cosine c of x = fl(y + FI) and term t = LOG(fma(A, c, 1)) for nValues
// arguments (a multiple of V::N), for the measurement of their errors; cFI and sFI are
// cos FI and sin FI.
template <class V>
void TERMS_BODY(const double* y, const double* FI, const double* cFI, const double* sFI, const double* A,
                int32_t nValues, double* x, double* c, double* t) {
  using D = typename V::D;
  constexpr int N = V::N;
  for (int32_t i = 0; i + N <= nValues; i += N) {
    alignas(64) double row[3 * N];
    D yv[1] = {V::load(y + i)}, cv[1], sv[1];
    COS<V, 1>(yv, cv);
    SIN<V, 1>(yv, sv);
    V::store(row, yv[0]);
    V::store(row + N, cv[0]);
    V::store(row + 2 * N, sv[0]);
    const double* rows[1] = {row};
    D FIv[1] = {V::load(FI + i)}, cv2[1] = {V::load(cFI + i)}, sv2[1] = {V::load(sFI + i)}, xv[1], ov[1], tv[1];
    ROTATED_COS<V, 1>(rows, N, FIv, cv2, sv2, xv, ov);
    V::store(x + i, xv[0]);
    V::store(c + i, ov[0]);
    ov[0] = V::fmadd(V::load(A + i), ov[0], V::set1(1.0));
    LOG<V, 1>(ov, tv);
    V::store(t + i, tv[0]);
  }
}

#undef FOR_K

}  // namespace
