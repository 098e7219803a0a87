// tolvaran with a choice of search engine, for the end-to-end equality tests: the same
// stages as tolvaran's main, with the scan's searches made by the engine named on the
// command line. Options are taken out before the remaining arguments serve, as in
// tolvaran, as file names for an empty answer.
//
//   tolvaran_engines --engine=reference|best|portable|avx2|avx512 [--threads=N] [file ...]
// "best" is SEARCH_FAST_SCAN, the engine tolvaran itself is meant to use.
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <new>
#include <vector>

#include "console.h"
#include "dialogue.h"
#include "engine.h"
#include "events.h"
#include "scan.h"
#include "search.h"
#include "writers.h"

namespace {

EngineKind gKind = ENGINE_PORTABLE;
int gnThreads = 1;

void SEARCH_CHOSEN(const SearchPlan& plan, float* DeltaLogLik, float*, ProgressFn progress) {
  try {
    SEARCH_FAST(plan, DeltaLogLik, progress, gKind, gnThreads);
  } catch (const std::bad_alloc&) {
    ABNORMAL_END("memory cannot be obtained for the scan storage");
  }
}

}  // namespace

int main(int argc, char** argv) {
  SearchEngine engine = SEARCH_REFERENCE;
  gnThreads = ENGINE_THREADS();
  std::vector<char*> args = {argv[0]};
  for (int a = 1; a < argc; ++a) {
    const char* s = argv[a];
    if (std::strncmp(s, "--engine=", 9) == 0) {
      const char* name = s + 9;
      if (std::strcmp(name, "reference") == 0) {
        engine = SEARCH_REFERENCE;
        continue;
      }
      if (std::strcmp(name, "best") == 0) {
        engine = SEARCH_FAST_SCAN;
        continue;
      }
      engine = SEARCH_CHOSEN;
      gKind = std::strcmp(name, "avx512") == 0 ? ENGINE_AVX512
              : std::strcmp(name, "avx2") == 0 ? ENGINE_AVX2
              : std::strcmp(name, "portable") == 0 ? ENGINE_PORTABLE
                                                    : static_cast<EngineKind>(-1);
      if (gKind == static_cast<EngineKind>(-1) || !ENGINE_SUPPORTED(gKind)) return 3;  // not runnable here
    } else if (std::strncmp(s, "--threads=", 10) == 0) {
      gnThreads = std::atoi(s + 10);
    } else {
      args.push_back(argv[a]);
    }
  }
  argc = static_cast<int>(args.size());
  argv = args.data();

  // The stages of tolvaran's main.
  CONSOLE_START("tolvaran");
  WRITE_BANNER();
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
