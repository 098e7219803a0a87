// The skeleton extractor's reading of "KTX_out.grd", the measuring of its line 6
// included, followed by the skeleton over what was read: the input is the grid. The
// window count that the grid is checked against is the grid's own column count (when
// its second line reads and is not negative), so that most inputs get past the check.
//
// Any end of the program is allowed (a grid that does not hold what its header promises
// is the abnormal end); crashes, undefined behaviour, leaks, a single allocation of over
// 2 GB (a matrix sized from a count the file cannot back) and slow inputs are findings.
// A grid that reads must have the size its counts give.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "freeform.h"
#include "fuzz_console.h"
#include "inputs.h"
#include "skeleton.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FREE_ACCEPT_SPECIAL_WORDS(true);
  FUZZ_WRITE_FILE("KTX_out.grd", data, size);
  // The skeleton is emptied when it is opened; removed first, it does not wait on the
  // disk when it is closed.
  ::unlink("KTX_Skeleton.dat");
  FUZZ_CONSOLE_RESET("");

  int32_t nWindows = 0;
  {
    LineSource memory;
    OPEN_TEXT(memory, std::string(reinterpret_cast<const char*>(data), size));
    int32_t nX = 0, nY = 0;
    const FreeVar counts[2] = {FREE_INTEGER(nX), FREE_INTEGER(nY)};
    // A stretch table has no negative count of windows.
    if (READ_FREE(memory, nullptr, 0) == FREE_OK && READ_FREE(memory, counts, 2) == FREE_OK && nX > 0) nWindows = nX;
  }

  const int fd = FUZZ_LOWEST_FREE_FD();
  int32_t nX = 0, nY = 0;
  float xLo = 0.0f, xHi = 0.0f, yLo = 0.0f, yHi = 0.0f;
  std::vector<float> GridZ;
  try {
    LOAD_GRID(nWindows, nX, nY, xLo, xHi, yLo, yHi, GridZ);
    if (nX != nWindows || GridZ.size() != static_cast<size_t>(nX) * static_cast<size_t>(nY > 0 ? nY : 0)) {
      std::abort();
    }
    // A grid without values has no maxima; its column count may be one that only a
    // stretch table of as many records would match, and is not backed by this file.
    if (!GridZ.empty()) {
      const std::vector<float> StretchCoeff(static_cast<size_t>(nX), 1.0f);
      WRITE_SKELETON(nX, nY, xLo, xHi, yLo, yHi, GridZ, StretchCoeff, 0.0f);
    }
  } catch (const ProgramEnd&) {
  }
  // An end thrown past a reader or the writer leaves its file open.
  FUZZ_CLOSE_IF_OPEN_ON(fd, "KTX_out.grd");
  FUZZ_CLOSE_IF_OPEN_ON(fd, "KTX_Skeleton.dat");
  return 0;
}
