// The vector kernel for AVX-512 (F, DQ, VL): 8 double lanes per register, two registers
// per event, so that the float chains of 16 searches overlap.
#include <immintrin.h>

#include "kernel_body.h"

#ifndef PASS_EVENTS
#define PASS_EVENTS 3
#endif

namespace {

struct V512 {
  typedef __m512d D;
  static constexpr int N = 8;
  static D set1(double a) { return _mm512_set1_pd(a); }
  static D load(const double* p) { return _mm512_loadu_pd(p); }
  static void store(double* p, D a) { _mm512_storeu_pd(p, a); }
  static D add(D a, D b) { return _mm512_add_pd(a, b); }
  static D sub(D a, D b) { return _mm512_sub_pd(a, b); }
  static D mul(D a, D b) { return _mm512_mul_pd(a, b); }
  static D fmadd(D a, D b, D c) { return _mm512_fmadd_pd(a, b, c); }
  static D fmsub(D a, D b, D c) { return _mm512_fmsub_pd(a, b, c); }
  static D fnmadd(D a, D b, D c) { return _mm512_fnmadd_pd(a, b, c); }
  static D xor_low_bit_as_sign(D c, D kd) {
    const __m512i sign = _mm512_slli_epi64(_mm512_castpd_si512(kd), 63);
    return _mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(c), sign));
  }
  static void log_split(D u, D& z, D& kd, D& inv, D& L) {
    const __m512i ix = _mm512_castpd_si512(u);
    const __m512i tmp = _mm512_sub_epi64(ix, _mm512_set1_epi64(static_cast<long long>(LOG_Z0_BITS)));
    const __m512i top = _mm512_and_si512(tmp, _mm512_set1_epi64(static_cast<long long>(LOG_EXPONENT_MASK)));
    z = _mm512_castsi512_pd(_mm512_sub_epi64(ix, top));
    kd = _mm512_cvtepi64_pd(_mm512_srai_epi64(tmp, 52));
    // The permutes read the low four bits of each index.
    const __m512i cell = _mm512_srli_epi64(tmp, 48);
    inv = _mm512_permutex2var_pd(_mm512_load_pd(LOG_INV), cell, _mm512_load_pd(LOG_INV + 8));
    L = _mm512_permutex2var_pd(_mm512_load_pd(LOG_L), cell, _mm512_load_pd(LOG_L + 8));
  }
  // Lanes whose lo and hi round to different floats (compared as bit patterns, so that
  // a zero's sign counts); Fnext = float(hi) widened.
  static unsigned round_check(D lo, D hi, D& Fnext) {
    const __m256 flo = _mm512_cvtpd_ps(lo);
    const __m256 fhi = _mm512_cvtpd_ps(hi);
    Fnext = _mm512_cvtps_pd(fhi);
    return _mm256_cmpneq_epi32_mask(_mm256_castps_si256(flo), _mm256_castps_si256(fhi));
  }
  static D widen_floats(const float* p) { return _mm512_cvtps_pd(_mm256_loadu_ps(p)); }
  static void narrow_store(float* p, D a) { _mm256_storeu_ps(p, _mm512_cvtpd_ps(a)); }
};

}  // namespace

// The only external names of this unit.
void PASS_AVX512(PassLanes& lanes) { PASS_BODY<V512, PASS_AVX512_LANES / V512::N, PASS_EVENTS>(lanes); }
void PREPARE_AVX512(const double* Td, int32_t nTimes, double Omega, double* Rows, int W, int lane, double* Work) {
  PREPARE_BODY<V512>(Td, nTimes, Omega, Rows, W, lane, Work);
}

void TERMS_AVX512(const double* y, const double* FI, const double* cFI, const double* sFI, const double* A,
                  int32_t nValues, double* x, double* c, double* t) {
  TERMS_BODY<V512>(y, FI, cFI, sFI, A, nValues, x, c, t);
}
