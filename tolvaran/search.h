// The question the scan asks of a search engine: DeltaLogLik for every window and
// period node. The plain engine here calls FIND_AFI once per pair in scan order; the
// fast engine (engine/) answers the same question and must give the same floats.
#pragma once

#include <cstdint>

struct SearchPlan {
  const float* EventTimes;  // all event times; element 0 is event 1
  int32_t iTwindow;         // events per window
  int32_t iTshift;          // events between the starts of consecutive windows
  int32_t nWindows;
  int32_t nPeriods;
  const float* Omega;       // angular frequency of each period node, nPeriods values
};

// Told, from the calling thread and in scan order (window m ascending, period node p
// ascending within it, both 1-based), that the search (m, p) and all before it are done.
typedef void (*ProgressFn)(int32_t m, int32_t p);

// Fills WindowTimes with the normalised times of the window whose first event has the
// 0-based index i0: the times less the first one, rounded to float, then scaled by
// c = iTwindow / (last less first) and rounded again. Returns c, unrounded.
double NORMALISE_WINDOW(const float* EventTimes, int32_t i0, int32_t iTwindow, float* WindowTimes);

// Angular frequency of period node p (1-based): 6.2831855 / 10^((p - 1) * LogPeriodStep).
float PERIOD_OMEGA(float LogPeriodStep, int32_t p);

// The plain engine: one FIND_AFI per (window, period node) in scan order.
// DeltaLogLik[(m - 1) * nPeriods + (p - 1)] receives the increment; WindowTimes is work
// storage of iTwindow floats.
void SEARCH_REFERENCE(const SearchPlan& plan, float* DeltaLogLik, float* WindowTimes, ProgressFn progress);
