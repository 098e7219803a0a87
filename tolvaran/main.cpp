// tolvaran: moving-window period scanner. Runs its stages in sequence; main owns
// every array.
#include <cstdint>
#include <vector>

#include "console.h"
#include "dialogue.h"
#include "events.h"

int main(int argc, char** argv) {
  CONSOLE_START("tolvaran");
  WRITE_BANNER();
  std::vector<float> EventTimes;
  int32_t nMoments = 0;
  LOAD_EVENT_TIMES(argc, argv, EventTimes, nMoments);
  CHECK_EVENT_TIMES(EventTimes, nMoments);

  int32_t nPeriods = 0, iTwindow = 0, iTshift = 0;
  ASK_SCAN_PARAMETERS(nMoments, nPeriods, iTwindow, iTshift);

  NORMAL_END();
}
