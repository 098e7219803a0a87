#include "search.h"

#include <cmath>

#include "likelihood.h"

double NORMALISE_WINDOW(const float* EventTimes, int32_t i0, int32_t iTwindow, float* WindowTimes) {
  const double t0 = EventTimes[i0];
  for (int32_t j = 0; j < iTwindow; ++j) {
    WindowTimes[j] = static_cast<float>(static_cast<double>(EventTimes[i0 + j]) - t0);
  }
  const double c = static_cast<double>(iTwindow) / static_cast<double>(WindowTimes[iTwindow - 1]);
  for (int32_t j = 0; j < iTwindow; ++j) {
    WindowTimes[j] = static_cast<float>(c * static_cast<double>(WindowTimes[j]));
  }
  return c;
}

float PERIOD_OMEGA(float LogPeriodStep, int32_t p) {
  const double x = static_cast<double>(p - 1) * static_cast<double>(LogPeriodStep);
  const double P = std::pow(10.0, x);
  return static_cast<float>(static_cast<double>(PHASE_UPPER) / P);
}

void SEARCH_REFERENCE(const SearchPlan& plan, float* DeltaLogLik, float* WindowTimes, ProgressFn progress) {
  for (int32_t m = 1; m <= plan.nWindows; ++m) {
    NORMALISE_WINDOW(plan.EventTimes, (m - 1) * plan.iTshift, plan.iTwindow, WindowTimes);
    for (int32_t p = 1; p <= plan.nPeriods; ++p) {
      float A = 0.0f, FI = 0.0f, F = 0.0f;
      FIND_AFI(plan.Omega[p - 1], A, FI, F, plan.iTwindow, WindowTimes, 0.0f);
      DeltaLogLik[static_cast<int64_t>(m - 1) * plan.nPeriods + (p - 1)] = F;
      if (progress) progress(m, p);
    }
  }
}
