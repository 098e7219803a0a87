#include "likelihood.h"

#include <cmath>

float FUNCTI_HEAD(float A, float FI, float Omega, int32_t nTimes, float TLast, float T0, double SinFI) {
  const double dA = A;
  const double dFI = FI;
  const double dOmega = Omega;
  const float T = static_cast<float>(static_cast<double>(TLast) - static_cast<double>(T0));
  const float S = static_cast<float>(std::sin(static_cast<double>(T) * dOmega + dFI));
  // Integral of the modulation over the interval: subtract, times A, over Omega, plus T.
  const double Lambda = static_cast<double>(T) + ((static_cast<double>(S) - SinFI) * dA) / dOmega;
  const float r = static_cast<float>(nTimes);
  const double dr = r;
  return static_cast<float>(dr * std::log(((dr / Lambda) * static_cast<double>(T)) / dr));
}

float FUNCTI_HEAD(float A, float FI, float Omega, int32_t nTimes, float TLast, float T0) {
  return FUNCTI_HEAD(A, FI, Omega, nTimes, TLast, T0, std::sin(static_cast<double>(FI)));
}

float FUNCTI(float A, float FI, float Omega, int32_t nTimes, const float* Times, float T0) {
  const double dA = A;
  const double dFI = FI;
  const double dOmega = Omega;
  const double dT0 = T0;
  float F = FUNCTI_HEAD(A, FI, Omega, nTimes, Times[nTimes - 1], T0);
  // The sum is accumulated in float, one term at a time, in ascending order.
  for (int32_t i = 0; i < nTimes; ++i) {
    const double term = std::log(1.0 + dA * std::cos((static_cast<double>(Times[i]) - dT0) * dOmega + dFI));
    F = static_cast<float>(term + static_cast<double>(F));
  }
  return F;
}

// Places the interior point(s) of the current bracket that are not carried over.
static void GOLDEN_NEXT_POINT(GoldenSearch& s) {
  s.L = static_cast<float>(static_cast<double>(s.b) - static_cast<double>(s.a));
  if (!s.bKeep1) {
    s.x1 = static_cast<float>(static_cast<double>(s.L) * static_cast<double>(GOLDEN_LEFT) + static_cast<double>(s.a));
    s.Trial = s.x1;
    s.iPending = 1;
  } else {
    s.x2 = static_cast<float>(static_cast<double>(s.L) * static_cast<double>(GOLDEN_RIGHT) + static_cast<double>(s.a));
    s.Trial = s.x2;
    s.iPending = 2;
  }
}

void GOLDEN_START(GoldenSearch& s, float upper) {
  s.a = 0.0f;
  s.b = upper;
  s.x1 = s.x2 = s.f1 = s.f2 = 0.0f;
  s.bKeep1 = false;
  s.bKeep2 = false;
  GOLDEN_NEXT_POINT(s);
}

bool GOLDEN_FEED(GoldenSearch& s, float value) {
  if (s.iPending == 3) return false;
  if (s.iPending == 1) {
    s.f1 = value;
    if (!s.bKeep2) {
      s.x2 = static_cast<float>(static_cast<double>(s.L) * static_cast<double>(GOLDEN_RIGHT) + static_cast<double>(s.a));
      s.Trial = s.x2;
      s.iPending = 2;
      return true;
    }
  } else {
    s.f2 = value;
  }
  // Both interior values of this pass are known.
  if (s.L < GOLDEN_TOLERANCE) {
    s.Trial = static_cast<float>((static_cast<double>(s.a) + static_cast<double>(s.b)) * 0.5);
    s.iPending = 3;
    return true;
  }
  if (s.f1 > s.f2) {
    s.b = s.x2;
    s.x2 = s.x1;
    s.f2 = s.f1;
    s.bKeep2 = true;
    s.bKeep1 = false;
  } else {
    // Also taken when the comparison is unordered because a value is not a number.
    s.a = s.x1;
    s.x1 = s.x2;
    s.f1 = s.f2;
    s.bKeep1 = true;
    s.bKeep2 = false;
  }
  GOLDEN_NEXT_POINT(s);
  return true;
}

void FIND_FI(float Omega, float A, float& FI, float& F, int32_t nTimes, const float* Times,
             float T0) {
  GoldenSearch s;
  GOLDEN_START(s, PHASE_UPPER);
  float value;
  do {
    FI = s.Trial;
    value = FUNCTI(A, FI, Omega, nTimes, Times, T0);
  } while (GOLDEN_FEED(s, value));
  F = value;
}

void FIND_AFI(float Omega, float& A, float& FI, float& F, int32_t nTimes, const float* Times,
              float T0) {
  GoldenSearch s;
  GOLDEN_START(s, AMPLITUDE_UPPER);
  float value;
  do {
    A = s.Trial;
    FIND_FI(Omega, A, FI, value, nTimes, Times, T0);
  } while (GOLDEN_FEED(s, value));
  F = value;
}
