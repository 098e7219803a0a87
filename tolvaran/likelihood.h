// The periodic-intensity log-likelihood and its amplitude/phase searches, in their
// plain form. This is the reference: any faster path must reproduce it bit for bit.
//
// Arithmetic: every stored real is a float; each expression between two stores is
// evaluated in double and rounded to float when stored; sin, cos and log are taken
// in double. Arrays are passed as plain pointers with element 0 holding event 1.
#pragma once

#include <cstdint>

// Relative positions of the interior points, the stopping length and the phase
// bracket, all as the float values the search stores.
constexpr float GOLDEN_LEFT = 0.381966f;
constexpr float GOLDEN_RIGHT = 0.618034f;
constexpr float GOLDEN_TOLERANCE = 1.0E-6f;
constexpr float PHASE_UPPER = 6.2831855f;
constexpr float AMPLITUDE_UPPER = 1.0f;

// Log-likelihood increment of the cosine-modulated Poisson intensity with amplitude A,
// phase FI and angular frequency Omega over the constant intensity, on the interval
// from T0 to the last of the nTimes event times.
float FUNCTI(float A, float FI, float Omega, int32_t nTimes, const float* Times, float T0);

// The part of FUNCTI before its sum over the events: T, S, Lambda and the term
// n ln(T / Lambda). TLast is the last event time; SinFI is sin(FI) taken in double.
float FUNCTI_HEAD(float A, float FI, float Omega, int32_t nTimes, float TLast, float T0, double SinFI);
float FUNCTI_HEAD(float A, float FI, float Omega, int32_t nTimes, float TLast, float T0);

// State of one golden-section maximisation over [0, upper]. Both the plain searches
// below and the fast engine drive their searches through this one record, so the
// bracket rules exist once.
struct GoldenSearch {
  float a, b, L;        // bracket ends and length
  float x1, x2, f1, f2;  // interior points and their objective values
  bool bKeep1, bKeep2;   // whether x1/f1 or x2/f2 carry over from the previous pass
  int iPending;          // which point the trial value is: 1 = x1, 2 = x2, 3 = final midpoint
  float Trial;           // the argument whose objective value is wanted next
};

// Starts a search over [0, upper]; s.Trial is the first argument to evaluate.
void GOLDEN_START(GoldenSearch& s, float upper);

// Takes the objective value at s.Trial. Returns true when a further evaluation is
// wanted (at the new s.Trial); false when this value was the one at the final
// midpoint, which is the search's result.
bool GOLDEN_FEED(GoldenSearch& s, float value);

// Maximum over the phase in [0, 6.2831855] for the fixed amplitude A. On return FI
// holds the final midpoint and F the objective there.
void FIND_FI(float Omega, float A, float& FI, float& F, int32_t nTimes, const float* Times,
             float T0);

// Maximum over the amplitude in [0, 1], each trial amplitude scored by FIND_FI. On
// return A holds the final amplitude and F the objective there.
void FIND_AFI(float Omega, float& A, float& FI, float& F, int32_t nTimes, const float* Times,
              float T0);
