// tolvaran with a choice of search engine, for the end-to-end equality tests: the same
// run as tolvaran's (RUN_TOLVARAN), with the scan's searches made by the engine named on the
// command line. Options are taken out before the remaining arguments serve, as in
// tolvaran, as file names for an empty answer.
//
//   tolvaran_engines --engine=reference|best|portable|avx2|avx512 [--threads=N] [file ...]
// "best" is SEARCH_FAST_SCAN, the engine tolvaran itself is meant to use.
#include <cstring>
#include <cstdlib>
#include <vector>

#include "engine.h"
#include "program.h"

namespace {

EngineKind gKind = ENGINE_PORTABLE;
int gnThreads = 1;

void SEARCH_CHOSEN(const SearchPlan& plan, float* DeltaLogLik, float*, ProgressFn progress) {
  SEARCH_FAST(plan, DeltaLogLik, progress, gKind, gnThreads);
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

  RUN_TOLVARAN(argc, argv, engine);
}
