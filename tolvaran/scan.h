// The moving-window scan: the window layout, the check that every window has a usable
// real length, the scan storage, the per-window stretch quantities, the period grid, the
// progress records, and the preparation of DeltaLogLik for the grid (its extremes and
// the floor of tiny values).
//
// The searches themselves are asked of a search engine passed in by the caller, so the
// same stage runs with the plain engine (SEARCH_REFERENCE) or a faster one.
//
// Arrays are indexed from 0 here: element 0 is window 1, event 1 or period node 1.
// DeltaLogLik holds period node p of window m at (m - 1) * nPeriods + (p - 1).
#pragma once

#include <cstdint>
#include <vector>

#include "search.h"

// Fills DeltaLogLik for every (window, period node) pair of the plan and calls progress
// after each pair, in scan order; WindowTimes is work storage of iTwindow floats.
typedef void (*SearchEngine)(const SearchPlan& plan, float* DeltaLogLik, float* WindowTimes, ProgressFn progress);

// Values at or below this are raised to the smallest value above it before the grid is
// written (a value the grid's readers can take a logarithm of).
constexpr float DELTA_LOGLIK_FLOOR = 1.0E-35f;

// Number of window positions: (nMoments - iTwindow) div iTshift + 1. Events after the
// last window take part in none.
int32_t WINDOW_COUNT(int32_t nMoments, int32_t iTwindow, int32_t iTshift);

// Real length of the window whose first event has the 0-based index i0: its last time
// less its first, rounded to float.
float WINDOW_LENGTH(const float* EventTimes, int32_t i0, int32_t iTwindow);

// Step of the log10-period grid: Log10Window / (nPeriods - 1), rounded to float.
float LOG_PERIOD_STEP(float Log10Window, int32_t nPeriods);

// Why a window cannot be scanned.
enum WindowFault {
  WINDOW_USABLE = 0,
  WINDOW_ZERO_LENGTH = 1,    // all its events carry one time
  WINDOW_OUT_OF_RANGE = 2,   // its stretch coefficient iTwindow / length is no finite float
};

// The first window that cannot be scanned, in window order, with its end in cumulative
// number of events; WINDOW_USABLE when every window can.
WindowFault FIND_WINDOW_FAULT(const std::vector<float>& EventTimes, int32_t nWindows, int32_t iTwindow,
                              int32_t iTshift, int32_t& iWindowEnd);

// Runs before any scan storage is taken and before any output file is touched: a window
// without a usable real length would put an infinite stretch coefficient and
// not-a-number increments into every output. Such a window is reported as a wrong
// input, and the program ends with the pause.
void CHECK_WINDOW_LENGTHS(const std::vector<float>& EventTimes, int32_t nWindows, int32_t iTwindow,
                          int32_t iTshift);

// Takes the scan storage once, before the first window: WindowTimes (iTwindow),
// DeltaLogLik (nPeriods x nWindows), StretchCoeff, WindowLength, WindowEndTime
// (nWindows each) and Omega (nPeriods, the angular frequency of each period node).
// Storage that cannot be obtained is the abnormal end.
void ALLOCATE_SCAN_STORAGE(int32_t nWindows, int32_t nPeriods, int32_t iTwindow, std::vector<float>& WindowTimes,
                           std::vector<float>& DeltaLogLik, std::vector<float>& StretchCoeff,
                           std::vector<float>& WindowLength, std::vector<float>& WindowEndTime,
                           std::vector<float>& Omega);

// The scan proper: writes the blank line that the progress records overwrite, computes
// Log10Window, the per-window StretchCoeff, WindowLength and WindowEndTime, and the
// period nodes' Omega, then asks the engine for every DeltaLogLik, writing one progress
// record ("+", windows left, period nodes left) after each search. An engine that
// cannot obtain its work storage (std::bad_alloc) ends the program abnormally.
void SCAN_WINDOWS(SearchEngine engine, const std::vector<float>& EventTimes, int32_t nPeriods, int32_t iTwindow,
                  int32_t iTshift, int32_t nWindows, std::vector<float>& WindowTimes,
                  std::vector<float>& DeltaLogLik, std::vector<float>& StretchCoeff,
                  std::vector<float>& WindowLength, std::vector<float>& WindowEndTime, std::vector<float>& Omega,
                  float& Log10Window);

// The z range of the grid and the floor: DeltaLogLikMax is the largest element (windows
// outer, period nodes inner; only a strictly greater value replaces the current one);
// DeltaLogLikMin the smallest element above DELTA_LOGLIK_FLOOR (period nodes outer), or
// DeltaLogLikMax when none is; then every element at or below the floor becomes
// DeltaLogLikMin.
void PREPARE_DELTA_LOGLIK(std::vector<float>& DeltaLogLik, int32_t nPeriods, int32_t nWindows,
                          float& DeltaLogLikMin, float& DeltaLogLikMax);
