// The vector kernel for AVX2 with FMA: 4 double lanes per register, two registers per
// event, so that the float chains of 8 searches overlap.
#include <immintrin.h>

#include "kernel_body.h"

#ifndef PASS_EVENTS
#define PASS_EVENTS 3
#endif

namespace {

struct V256 {
  typedef __m256d D;
  static constexpr int N = 4;
  static D set1(double a) { return _mm256_set1_pd(a); }
  static D load(const double* p) { return _mm256_loadu_pd(p); }
  static void store(double* p, D a) { _mm256_storeu_pd(p, a); }
  static D add(D a, D b) { return _mm256_add_pd(a, b); }
  static D sub(D a, D b) { return _mm256_sub_pd(a, b); }
  static D mul(D a, D b) { return _mm256_mul_pd(a, b); }
  static D fmadd(D a, D b, D c) { return _mm256_fmadd_pd(a, b, c); }
  static D fmsub(D a, D b, D c) { return _mm256_fmsub_pd(a, b, c); }
  static D fnmadd(D a, D b, D c) { return _mm256_fnmadd_pd(a, b, c); }
  static D xor_low_bit_as_sign(D c, D kd) {
    const __m256i sign = _mm256_slli_epi64(_mm256_castpd_si256(kd), 63);
    return _mm256_castsi256_pd(_mm256_xor_si256(_mm256_castpd_si256(c), sign));
  }
  static void log_split(D u, D& z, D& kd, D& inv, D& L) {
    const __m256i ix = _mm256_castpd_si256(u);
    const __m256i tmp = _mm256_sub_epi64(ix, _mm256_set1_epi64x(static_cast<long long>(LOG_Z0_BITS)));
    const __m256i top = _mm256_and_si256(tmp, _mm256_set1_epi64x(static_cast<long long>(LOG_EXPONENT_MASK)));
    z = _mm256_castsi256_pd(_mm256_sub_epi64(ix, top));
    // No arithmetic 64-bit shift here: bias k by 1024 to keep it positive, then read it
    // as the double 2^52 + k + 1024.
    const __m256i biased = _mm256_srli_epi64(_mm256_add_epi64(tmp, _mm256_set1_epi64x(1024ll << 52)), 52);
    const __m256d big = _mm256_castsi256_pd(_mm256_or_si256(biased, _mm256_set1_epi64x(0x4330000000000000ll)));
    kd = _mm256_sub_pd(big, _mm256_set1_pd(0x1p52 + 1024.0));
    const __m256i cell = _mm256_and_si256(_mm256_srli_epi64(tmp, 48), _mm256_set1_epi64x(15));
    inv = _mm256_i64gather_pd(LOG_INV, cell, 8);
    L = _mm256_i64gather_pd(LOG_L, cell, 8);
  }
  static unsigned round_check(D lo, D hi, D& Fnext) {
    const __m128 flo = _mm256_cvtpd_ps(lo);
    const __m128 fhi = _mm256_cvtpd_ps(hi);
    Fnext = _mm256_cvtps_pd(fhi);
    const __m128i same = _mm_cmpeq_epi32(_mm_castps_si128(flo), _mm_castps_si128(fhi));
    return static_cast<unsigned>(~_mm_movemask_ps(_mm_castsi128_ps(same))) & 0xFu;
  }
  static D widen_floats(const float* p) { return _mm256_cvtps_pd(_mm_loadu_ps(p)); }
  static void narrow_store(float* p, D a) { _mm_storeu_ps(p, _mm256_cvtpd_ps(a)); }
};

}  // namespace

// The only external names of this unit.
void PASS_AVX2(PassLanes& lanes) { PASS_BODY<V256, PASS_AVX2_LANES / V256::N, PASS_EVENTS>(lanes); }
void PREPARE_AVX2(const double* Td, int32_t nTimes, double Omega, double* Rows, int W, int lane, double* Work) {
  PREPARE_BODY<V256>(Td, nTimes, Omega, Rows, W, lane, Work);
}

void TERMS_AVX2(const double* y, const double* FI, const double* cFI, const double* sFI, const double* A,
                  int32_t nValues, double* x, double* c, double* t) {
  TERMS_BODY<V256>(y, FI, cFI, sFI, A, nValues, x, c, t);
}
