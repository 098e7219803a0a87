// The three outputs of the scan, each file written and closed before the next is
// opened. An existing file is replaced: nothing of its old contents remains once its
// first line is written. A file that cannot be opened or written is the abnormal end;
// the files finished before it stay complete.
//
// Arrays as in scan.h: element 0 is window 1; DeltaLogLik holds period node p of window
// m at (m - 1) * nPeriods + (p - 1).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// "KTX_out.grd", a Surfer ASCII grid: "DSAA"; the column and row counts; the first and
// last window end in events; 0 and Log10Window; the z range; then one free-form row per
// period node, smallest period first, each row holding the nWindows increments in window
// order, four to a line.
void WRITE_GRID(int32_t nWindows, int32_t nPeriods, int32_t iTwindow, int32_t iTshift, float Log10Window,
                float DeltaLogLikMin, float DeltaLogLikMax, const std::vector<float>& DeltaLogLik);

// "StretchCoeff.dat": one line per window of window end in events (I10), and the end
// time, the length in real time and the stretch coefficient (G15.6 each).
void WRITE_STRETCH_TABLE(int32_t nWindows, int32_t iTwindow, int32_t iTshift,
                         const std::vector<float>& WindowEndTime, const std::vector<float>& WindowLength,
                         const std::vector<float>& StretchCoeff);

// The name of the curve file of the window that ends at event iWindowEnd: CurrentDir,
// "/DeltaLogLik_for_each_Window/", the window end in ten digits with leading zeros, ".dat".
std::string WINDOW_CURVE_NAME(const std::string& CurrentDir, int32_t iWindowEnd);

// The directory "DeltaLogLik_for_each_Window" (created if it can be; an existing one is
// written into) and in it one file per window: for every period node the period in the
// time unit of the event times, 10^x / StretchCoeff, and the increment (2G15.6 per line).
void WRITE_WINDOW_CURVES(int32_t nWindows, int32_t nPeriods, int32_t iTwindow, int32_t iTshift,
                         float Log10Window, const std::vector<float>& StretchCoeff,
                         const std::vector<float>& DeltaLogLik);
