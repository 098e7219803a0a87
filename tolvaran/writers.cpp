#include "writers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "console.h"
#include "render.h"
#include "scan.h"

namespace {

const char* const CURVE_DIRECTORY = "DeltaLogLik_for_each_Window";

// The current directory as an absolute path, however long it is.
std::string CURRENT_DIRECTORY() {
  std::vector<char> buffer(256);
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) return std::string(buffer.data());
    if (errno != ERANGE) {
      std::string report = "the current directory cannot be obtained: ";
      report += std::strerror(errno);
      ABNORMAL_END(report);
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Window end in events of window m; never above the number of event times.
int32_t WINDOW_END(int32_t iTwindow, int32_t iTshift, int32_t m) { return iTwindow + (m - 1) * iTshift; }

}  // namespace

void WRITE_GRID(int32_t nWindows, int32_t nPeriods, int32_t iTwindow, int32_t iTshift, float Log10Window,
                float DeltaLogLikMin, float DeltaLogLikMax, const std::vector<float>& DeltaLogLik) {
  OutputFile file;
  OPEN_OUTPUT(file, "KTX_out.grd");
  WRITE_FORMATTED(file, "(A4)", {"DSAA"});
  WRITE_FREE(file, {nWindows, nPeriods});
  WRITE_FREE(file, {iTwindow, WINDOW_END(iTwindow, iTshift, nWindows)});
  WRITE_FREE(file, {0.0f, Log10Window});
  WRITE_FREE(file, {DeltaLogLikMin, DeltaLogLikMax});
  // A row is one period node across all windows; in memory the nodes of one window
  // are adjacent, so the row is gathered first.
  std::vector<float> Row(static_cast<size_t>(nWindows));
  for (int32_t p = 1; p <= nPeriods; ++p) {
    for (int32_t m = 1; m <= nWindows; ++m) {
      Row[m - 1] = DeltaLogLik[static_cast<size_t>(m - 1) * static_cast<size_t>(nPeriods) + static_cast<size_t>(p - 1)];
    }
    WRITE_FREE(file, Row.data(), Row.size());
  }
  CLOSE_OUTPUT(file);
}

void WRITE_STRETCH_TABLE(int32_t nWindows, int32_t iTwindow, int32_t iTshift,
                         const std::vector<float>& WindowEndTime, const std::vector<float>& WindowLength,
                         const std::vector<float>& StretchCoeff) {
  OutputFile file;
  OPEN_OUTPUT(file, "StretchCoeff.dat");
  for (int32_t m = 1; m <= nWindows; ++m) {
    WRITE_FORMATTED(file, "(I10,3G15.6)",
                    {WINDOW_END(iTwindow, iTshift, m), WindowEndTime[m - 1], WindowLength[m - 1], StretchCoeff[m - 1]});
  }
  CLOSE_OUTPUT(file);
}

std::string WINDOW_CURVE_NAME(const std::string& CurrentDir, int32_t iWindowEnd) {
  std::string WindowNumber = FORMAT_INTEGER(iWindowEnd, 10);
  for (char& c : WindowNumber) {
    if (c == ' ') c = '0';
  }
  return CurrentDir + "/" + CURVE_DIRECTORY + "/" + WindowNumber + ".dat";
}

void WRITE_WINDOW_CURVES(int32_t nWindows, int32_t nPeriods, int32_t iTwindow, int32_t iTshift,
                         float Log10Window, const std::vector<float>& StretchCoeff,
                         const std::vector<float>& DeltaLogLik) {
  const std::string CurrentDir = CURRENT_DIRECTORY();
  // An existing directory is written into; one that cannot be made shows up as the
  // failed opening of the first curve file.
  (void)::mkdir(CURVE_DIRECTORY, 0777);
  const float LogPeriodStep = LOG_PERIOD_STEP(Log10Window, nPeriods);
  for (int32_t m = 1; m <= nWindows; ++m) {
    OutputFile file;
    OPEN_OUTPUT(file, WINDOW_CURVE_NAME(CurrentDir, WINDOW_END(iTwindow, iTshift, m)));
    for (int32_t p = 1; p <= nPeriods; ++p) {
      const double x = static_cast<double>(p - 1) * static_cast<double>(LogPeriodStep);
      const float RealPeriod = static_cast<float>(std::pow(10.0, x) / static_cast<double>(StretchCoeff[m - 1]));
      WRITE_FORMATTED(file, "(2G15.6)",
                      {RealPeriod, DeltaLogLik[static_cast<size_t>(m - 1) * static_cast<size_t>(nPeriods) +
                                               static_cast<size_t>(p - 1)]});
    }
    CLOSE_OUTPUT(file);
  }
}
