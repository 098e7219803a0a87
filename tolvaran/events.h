// Start-up of the scanner: banner, notice, the input file's name, and the event times.
#pragma once

#include <cstdint>
#include <vector>

// Writes the banner, the notice and the hyphen line.
void WRITE_BANNER();

// Asks for the input file's name until a file opens (a blank answer takes the next
// command-line argument), counts and reads the event times, and reports the count.
// EventTimes receives the nMoments times in file order.
void LOAD_EVENT_TIMES(int argc, char** argv, std::vector<float>& EventTimes, int32_t& nMoments);

// Checks that the times never decrease and that the last exceeds the first; otherwise
// reports the fault and ends with the pause.
void CHECK_EVENT_TIMES(const std::vector<float>& EventTimes, int32_t nMoments);
