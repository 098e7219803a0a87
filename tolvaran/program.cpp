#include "program.h"

#include <cstdint>
#include <vector>

#include "console.h"
#include "dialogue.h"
#include "events.h"
#include "writers.h"

void RUN_TOLVARAN(int argc, char** argv, SearchEngine engine) {
  CONSOLE_START("tolvaran");
  WRITE_BANNER();
  // The run owns every array; each is sized once its count is known.
  std::vector<float> EventTimes;
  int32_t nMoments = 0;
  LOAD_EVENT_TIMES(argc, argv, EventTimes, nMoments);
  CHECK_EVENT_TIMES(EventTimes, nMoments);

  int32_t nPeriods = 0, iTwindow = 0, iTshift = 0;
  ASK_SCAN_PARAMETERS(nMoments, nPeriods, iTwindow, iTshift);

  const int32_t nWindows = WINDOW_COUNT(nMoments, iTwindow, iTshift);
  CHECK_WINDOW_LENGTHS(EventTimes, nWindows, iTwindow, iTshift);

  std::vector<float> WindowTimes, DeltaLogLik, StretchCoeff, WindowLength, WindowEndTime, Omega;
  ALLOCATE_SCAN_STORAGE(nWindows, nPeriods, iTwindow, WindowTimes, DeltaLogLik, StretchCoeff, WindowLength,
                        WindowEndTime, Omega);
  float Log10Window = 0.0f;
  SCAN_WINDOWS(engine, EventTimes, nPeriods, iTwindow, iTshift, nWindows, WindowTimes, DeltaLogLik, StretchCoeff,
               WindowLength, WindowEndTime, Omega, Log10Window);
  float DeltaLogLikMin = 0.0f, DeltaLogLikMax = 0.0f;
  PREPARE_DELTA_LOGLIK(DeltaLogLik, nPeriods, nWindows, DeltaLogLikMin, DeltaLogLikMax);

  WRITE_GRID(nWindows, nPeriods, iTwindow, iTshift, Log10Window, DeltaLogLikMin, DeltaLogLikMax, DeltaLogLik);
  WRITE_STRETCH_TABLE(nWindows, iTwindow, iTshift, WindowEndTime, WindowLength, StretchCoeff);
  WRITE_WINDOW_CURVES(nWindows, nPeriods, iTwindow, iTshift, Log10Window, StretchCoeff, DeltaLogLik);

  NORMAL_END();
}
