// merrowin: skeleton extractor. Reads the scanner's stretch table and grid, asks for a
// threshold and writes the skeleton; main owns every array.
#include <cstdint>
#include <vector>

#include "console.h"
#include "freeform.h"
#include "inputs.h"
#include "skeleton.h"

int main() {
  CONSOLE_START("merrowin");
  // The scanner writes NaN and infinities as words; they read back as such.
  FREE_ACCEPT_SPECIAL_WORDS(true);
  WRITE_SKELETON_BANNER();

  std::vector<float> StretchCoeff;
  int32_t nWindows = 0;
  LOAD_STRETCH_TABLE(StretchCoeff, nWindows);

  float Threshold = 0.0f;
  ASK_THRESHOLD(Threshold);

  int32_t nX = 0, nY = 0;
  float xLo = 0.0f, xHi = 0.0f, yLo = 0.0f, yHi = 0.0f;
  std::vector<float> GridZ;
  LOAD_GRID(nWindows, nX, nY, xLo, xHi, yLo, yHi, GridZ);

  WRITE_SKELETON(nX, nY, xLo, xHi, yLo, yHi, GridZ, StretchCoeff, Threshold);
  NORMAL_END();
}
