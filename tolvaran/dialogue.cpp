#include "dialogue.h"

#include "console.h"

void ASK_SCAN_PARAMETERS(int32_t nMoments, int32_t& nPeriods, int32_t& iTwindow, int32_t& iTshift) {
  nPeriods = 0;
  iTwindow = 0;
  iTshift = 0;
  for (;;) {
    WRITE_LINE("What is the number of period values = ?");
    if (!READ_INTEGER(nPeriods)) continue;
    if (nPeriods <= 1) continue;
    break;
  }
  for (;;) {
    WRITE_LINE("What is the length of time window");
    WRITE_LINE("in number of events ?");
    if (!READ_INTEGER(iTwindow)) continue;
    if (iTwindow <= 1) continue;
    if (iTwindow > nMoments) {
      WRITE_LINE("Moving time window is too long !");
      continue;
    }
    break;
  }
  for (;;) {
    WRITE_LINE("What is the shift of moving time window");
    WRITE_LINE("in number of events ?");
    if (!READ_INTEGER(iTshift)) continue;
    if (iTshift <= 0) continue;
    if (iTshift > iTwindow) {
      WRITE_LINE("Moving time window shift should be 1 <= iTshift <=", iTwindow);
      continue;
    }
    break;
  }
}
