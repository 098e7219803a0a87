// Start-up of the skeleton extractor: banner, notice, the stretch table, the threshold
// and the grid that the scanner left in the working directory.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Writes the banner, the notice and the hyphen line.
void WRITE_SKELETON_BANNER();

// Reads "StretchCoeff.dat": every record of four numbers counts as a window, up to the
// first record that does not read; StretchCoeff receives the fourth numbers in file
// order. A missing file is reported and ends with the pause.
void LOAD_STRETCH_TABLE(std::vector<float>& StretchCoeff, int32_t& nWindows);

// Asks for the DeltaLogLik threshold until the answer is a number, not negative and
// not NaN. Threshold starts at 0.0, so an empty answer takes 0.0.
void ASK_THRESHOLD(float& Threshold);

// Reads "KTX_out.grd": the counts nX and nY (nX must equal nWindows), the x and y
// limits and the nY rows of nX values, as lines of as many values as line 6 holds.
// GridZ(i, j), window i and period node j (1-based), is GridZ[(j-1)*nX + (i-1)].
void LOAD_GRID(int32_t nWindows, int32_t& nX, int32_t& nY, float& xLo, float& xHi, float& yLo, float& yHi,
               std::vector<float>& GridZ);

// How many values every full line of a grid row holds, measured on the grid's line 6:
// the largest k up to 99 for which k reals read from the line's first 2000 characters.
// 0 when the line holds no readable number.
int32_t COUNT_LINE_VALUES(std::string_view Line);
