// The skeleton: for every window, the local maxima of DeltaLogLik over period that
// reach the threshold, with their periods in real time units, in "KTX_Skeleton.dat".
#pragma once

#include <cstdint>
#include <vector>

// Column spacing of the grid, in events. A single column has no spacing: its x is xLo.
float WINDOW_END_STEP(float xLo, float xHi, int32_t nX);
// Row spacing of the grid, in log10 of the dimensionless period.
float LOG_PERIOD_STEP(float yLo, float yHi, int32_t nY);

// x of column i (1-based), in double precision.
double WINDOW_X(float xLo, float WindowEndStep, int32_t i);
// The window-end label of x: x truncated toward zero. False when x is not within
// 1.0E-5 of that whole number or the whole number is outside the 32-bit range (NaN
// included).
bool WINDOW_LABEL(double x, int32_t& iLabel);

// log10 of the dimensionless period of row j (1-based), and that period in real time
// units for a window with the given stretch coefficient.
float LOG_PERIOD(float yLo, float LogPeriodStep, int32_t j);
float REAL_PERIOD(float LogPeriod, float StretchCoeff);

// Writes "KTX_Skeleton.dat": one (I10,2G15.6) line per local maximum, window by window
// and within a window by ascending period. A maximum whose window label is not whole
// is reported with the pause; the lines before it stay in the file.
void WRITE_SKELETON(int32_t nX, int32_t nY, float xLo, float xHi, float yLo, float yHi,
                    const std::vector<float>& GridZ, const std::vector<float>& StretchCoeff, float Threshold);
