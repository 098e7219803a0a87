#include "scan.h"

#include <cmath>
#include <new>
#include <stdexcept>
#include <string>

#include "console.h"
#include "storage.h"
#include "render.h"

namespace {

// The progress record needs the two counts; the engine calls it with (m, p) only.
int32_t gnWindowsInScan = 0;
int32_t gnPeriodsInScan = 0;

// One record over the line written last: windows left, period nodes left.
void WRITE_PROGRESS(int32_t m, int32_t p) {
  WRITE_RECORD('+', FORMAT_RECORD("(2I10)", {gnWindowsInScan - m, gnPeriodsInScan - p}));
}

void TAKE_STORAGE(std::vector<float>& Array, int64_t nElements) {
  if (nElements < 0 || static_cast<uint64_t>(nElements) > Array.max_size()) {
    ABNORMAL_END("memory cannot be obtained for the scan storage");
  }
  try {
    Array.assign(static_cast<size_t>(nElements), 0.0f);
  } catch (const std::bad_alloc&) {
    ABNORMAL_END("memory cannot be obtained for the scan storage");
  } catch (const std::length_error&) {
    ABNORMAL_END("memory cannot be obtained for the scan storage");
  }
}

}  // namespace

int32_t WINDOW_COUNT(int32_t nMoments, int32_t iTwindow, int32_t iTshift) {
  return (nMoments - iTwindow) / iTshift + 1;
}

float WINDOW_LENGTH(const float* EventTimes, int32_t i0, int32_t iTwindow) {
  return static_cast<float>(static_cast<double>(EventTimes[i0 + iTwindow - 1]) - static_cast<double>(EventTimes[i0]));
}

float LOG_PERIOD_STEP(float Log10Window, int32_t nPeriods) {
  return static_cast<float>(static_cast<double>(Log10Window) / static_cast<double>(nPeriods - 1));
}

WindowFault FIND_WINDOW_FAULT(const std::vector<float>& EventTimes, int32_t nWindows, int32_t iTwindow,
                              int32_t iTshift, int32_t& iWindowEnd) {
  for (int32_t m = 1; m <= nWindows; ++m) {
    const int32_t i0 = (m - 1) * iTshift;
    iWindowEnd = i0 + iTwindow;
    const float Length = WINDOW_LENGTH(EventTimes.data(), i0, iTwindow);
    if (Length == 0.0f) return WINDOW_ZERO_LENGTH;
    // The same quotient the normalisation forms. A length below about iTwindow / 3.4E38
    // (times near zero) overflows the float stretch coefficient; a length that itself
    // overflows (times of both signs near the float limit) gives a zero coefficient and
    // not-a-number normalised times.
    const double c = static_cast<double>(iTwindow) / static_cast<double>(Length);
    if (!std::isfinite(Length) || !std::isfinite(static_cast<float>(c))) return WINDOW_OUT_OF_RANGE;
  }
  iWindowEnd = 0;
  return WINDOW_USABLE;
}

void CHECK_WINDOW_LENGTHS(const std::vector<float>& EventTimes, int32_t nWindows, int32_t iTwindow,
                          int32_t iTshift) {
  int32_t iWindowEnd = 0;
  const WindowFault fault = FIND_WINDOW_FAULT(EventTimes, nWindows, iTwindow, iTshift, iWindowEnd);
  if (fault == WINDOW_USABLE) return;
  WRITE_LINE("Wrong structure of the input file !");
  if (fault == WINDOW_ZERO_LENGTH) {
    WRITE_LINE("Zero duration of the time window ending at event", iWindowEnd);
  } else {
    WRITE_LINE("Duration out of range for the time window ending at event", iWindowEnd);
  }
  PAUSE_AND_STOP();
}

void ALLOCATE_SCAN_STORAGE(int32_t nWindows, int32_t nPeriods, int32_t iTwindow, std::vector<float>& WindowTimes,
                           std::vector<float>& DeltaLogLik, std::vector<float>& StretchCoeff,
                           std::vector<float>& WindowLength, std::vector<float>& WindowEndTime,
                           std::vector<float>& Omega) {
  const uint64_t nElements = static_cast<uint64_t>(iTwindow) + static_cast<uint64_t>(nPeriods) * nWindows +
                             3 * static_cast<uint64_t>(nWindows) + static_cast<uint64_t>(nPeriods);
  CHECK_STORAGE(nElements * sizeof(float), "the scan storage");
  TAKE_STORAGE(WindowTimes, iTwindow);
  TAKE_STORAGE(DeltaLogLik, static_cast<int64_t>(nPeriods) * nWindows);
  TAKE_STORAGE(StretchCoeff, nWindows);
  TAKE_STORAGE(WindowLength, nWindows);
  TAKE_STORAGE(WindowEndTime, nWindows);
  TAKE_STORAGE(Omega, nPeriods);
}

void SCAN_WINDOWS(SearchEngine engine, const std::vector<float>& EventTimes, int32_t nPeriods, int32_t iTwindow,
                  int32_t iTshift, int32_t nWindows, std::vector<float>& WindowTimes,
                  std::vector<float>& DeltaLogLik, std::vector<float>& StretchCoeff,
                  std::vector<float>& WindowLength, std::vector<float>& WindowEndTime, std::vector<float>& Omega,
                  float& Log10Window) {
  // Shows as an empty line on a console; the first progress record overwrites it.
  WRITE_LINE(" ");

  Log10Window = static_cast<float>(std::log10(static_cast<double>(static_cast<float>(iTwindow))));
  const float LogPeriodStep = LOG_PERIOD_STEP(Log10Window, nPeriods);
  for (int32_t p = 1; p <= nPeriods; ++p) Omega[p - 1] = PERIOD_OMEGA(LogPeriodStep, p);

  for (int32_t m = 1; m <= nWindows; ++m) {
    const int32_t i0 = (m - 1) * iTshift;
    StretchCoeff[m - 1] = static_cast<float>(NORMALISE_WINDOW(EventTimes.data(), i0, iTwindow, WindowTimes.data()));
    WindowLength[m - 1] = WINDOW_LENGTH(EventTimes.data(), i0, iTwindow);
    WindowEndTime[m - 1] = EventTimes[i0 + iTwindow - 1];
  }

  SearchPlan plan;
  plan.EventTimes = EventTimes.data();
  plan.iTwindow = iTwindow;
  plan.iTshift = iTshift;
  plan.nWindows = nWindows;
  plan.nPeriods = nPeriods;
  plan.Omega = Omega.data();
  gnWindowsInScan = nWindows;
  gnPeriodsInScan = nPeriods;
  try {
    engine(plan, DeltaLogLik.data(), WindowTimes.data(), WRITE_PROGRESS);
  } catch (const std::bad_alloc&) {
    // An engine takes its own work storage before its first search.
    ABNORMAL_END("memory cannot be obtained for the scan storage");
  }
}

void PREPARE_DELTA_LOGLIK(std::vector<float>& DeltaLogLik, int32_t nPeriods, int32_t nWindows,
                          float& DeltaLogLikMin, float& DeltaLogLikMax) {
  const auto at = [&](int32_t p, int32_t m) -> float& {
    return DeltaLogLik[static_cast<size_t>(m - 1) * static_cast<size_t>(nPeriods) + static_cast<size_t>(p - 1)];
  };
  DeltaLogLikMax = at(1, 1);
  for (int32_t m = 1; m <= nWindows; ++m) {
    for (int32_t p = 1; p <= nPeriods; ++p) {
      if (at(p, m) > DeltaLogLikMax) DeltaLogLikMax = at(p, m);
    }
  }
  DeltaLogLikMin = DeltaLogLikMax;
  for (int32_t p = 1; p <= nPeriods; ++p) {
    for (int32_t m = 1; m <= nWindows; ++m) {
      const float v = at(p, m);
      if (v > DELTA_LOGLIK_FLOOR && v < DeltaLogLikMin) DeltaLogLikMin = v;
    }
  }
  for (int32_t p = 1; p <= nPeriods; ++p) {
    for (int32_t m = 1; m <= nWindows; ++m) {
      if (at(p, m) <= DELTA_LOGLIK_FLOOR) at(p, m) = DeltaLogLikMin;
    }
  }
}
