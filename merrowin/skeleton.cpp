#include "skeleton.h"

#include <cmath>

#include "console.h"
#include "render.h"

float WINDOW_END_STEP(float xLo, float xHi, int32_t nX) {
  if (nX == 1) return 0.0f;
  return static_cast<float>((static_cast<double>(xHi) - xLo) / (static_cast<double>(nX) - 1.0));
}

float LOG_PERIOD_STEP(float yLo, float yHi, int32_t nY) {
  return static_cast<float>((static_cast<double>(yHi) - yLo) / (static_cast<double>(nY) - 1.0));
}

double WINDOW_X(float xLo, float WindowEndStep, int32_t i) {
  return static_cast<double>(xLo) + (static_cast<double>(i) - 1.0) * WindowEndStep;
}

bool WINDOW_LABEL(double x, int32_t& iLabel) {
  // Truncation toward zero lands in the 32-bit range exactly for these x.
  if (!(x > -2147483649.0 && x < 2147483648.0)) return false;
  iLabel = static_cast<int32_t>(x);
  // The tolerance is the float nearest 1.0E-5, compared in double.
  return !(std::fabs(x - iLabel) > static_cast<double>(1.0E-5f));
}

float LOG_PERIOD(float yLo, float LogPeriodStep, int32_t j) {
  return static_cast<float>(static_cast<double>(yLo) + (static_cast<double>(j) - 1.0) * LogPeriodStep);
}

float REAL_PERIOD(float LogPeriod, float StretchCoeff) {
  return static_cast<float>(std::pow(10.0, static_cast<double>(LogPeriod)) / StretchCoeff);
}

void WRITE_SKELETON(int32_t nX, int32_t nY, float xLo, float xHi, float yLo, float yHi,
                    const std::vector<float>& GridZ, const std::vector<float>& StretchCoeff, float Threshold) {
  // Emptied at once: an old skeleton must not pass for this run's when no maximum
  // qualifies.
  OutputFile file;
  OPEN_OUTPUT(file, "KTX_Skeleton.dat", true);
  const float WindowEndStep = WINDOW_END_STEP(xLo, xHi, nX);
  const float LogPeriodStep = LOG_PERIOD_STEP(yLo, yHi, nY);
  // GridZ(i, j): window i, period node j.
  const auto Z = [&](int32_t i, int32_t j) { return GridZ[static_cast<size_t>(j - 1) * nX + (i - 1)]; };
  for (int32_t i = 1; i <= nX; ++i) {
    for (int32_t j = 2; j < nY; ++j) {
      const float v = Z(i, j);
      // In this order and with these comparisons a NaN node passes, and a NaN
      // neighbour does not hold a node back.
      if (v < Threshold) continue;
      if (Z(i, j - 1) >= v) continue;
      if (Z(i, j + 1) >= v) continue;
      int32_t iLabel = 0;
      if (!WINDOW_LABEL(WINDOW_X(xLo, WindowEndStep, i), iLabel)) {
        WRITE_LINE("Time labels are not integer.");
        PAUSE_AND_STOP();
      }
      const float LogPeriod = LOG_PERIOD(yLo, LogPeriodStep, j);
      const float RealPeriod = REAL_PERIOD(LogPeriod, StretchCoeff[i - 1]);
      WRITE_FORMATTED(file, "(I10,2G15.6)", {iLabel, LogPeriod, RealPeriod});
    }
  }
  CLOSE_OUTPUT(file);
}
