// The three questions that set up the moving-window scan.
#pragma once

#include <cstdint>

// Asks, each until its answer is acceptable: the number of period values (2 or more),
// the window length in events (2 to nMoments) and the shift (1 to iTwindow).
void ASK_SCAN_PARAMETERS(int32_t nMoments, int32_t& nPeriods, int32_t& iTwindow, int32_t& iTshift);
