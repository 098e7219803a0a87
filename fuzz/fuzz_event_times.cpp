// The scanner's loading of event times: the input is the event-time file. It is loaded
// as the program loads it (the name answer, the counting pass, the count line, the
// reading pass) and then checked.
//
// A load may end only by returning or by the pause of a wrong structure; any abnormal
// end is a finding, as the file does not change while it is read. The count and the
// times must be what one-real reads of the same bytes held in memory give.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "events.h"
#include "freeform.h"
#include "fuzz_console.h"

namespace {

const char* const FILE_NAME = "events.txt";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FUZZ_WRITE_FILE(FILE_NAME, data, size);
  FUZZ_CONSOLE_RESET(FILE_NAME);
  const int fd = FUZZ_LOWEST_FREE_FD();
  char program[] = "tolvaran";
  char* argv[] = {program, nullptr};
  std::vector<float> EventTimes;
  int32_t nMoments = -1;
  bool bPaused = false;
  try {
    LOAD_EVENT_TIMES(1, argv, EventTimes, nMoments);
    CHECK_EVENT_TIMES(EventTimes, nMoments);
  } catch (const ProgramEnd& end) {
    if (end.iKind != END_BY_PAUSE) std::abort();
    bPaused = true;
  }
  FUZZ_CLOSE_IF_OPEN_ON(fd, FILE_NAME);
  if (nMoments < 0 || EventTimes.size() != static_cast<size_t>(nMoments)) std::abort();

  // The same reads over the bytes in memory.
  LineSource memory;
  OPEN_TEXT(memory, std::string(reinterpret_cast<const char*>(data), size));
  float Time = 0.0f;
  const FreeVar v = FREE_REAL(Time);
  for (int32_t i = 0; i < nMoments; ++i) {
    if (READ_FREE(memory, &v, 1) != FREE_OK) std::abort();
    if (std::memcmp(&Time, &EventTimes[i], sizeof Time) != 0) std::abort();
  }
  if (READ_FREE(memory, &v, 1) == FREE_OK) std::abort();

  // The count line follows the file-name question; a wrong structure adds two lines.
  const std::vector<std::string>& lines = FUZZ_CONSOLE_LINES();
  char count[16];
  std::snprintf(count, sizeof count, "%12d", static_cast<int>(nMoments));
  const size_t nAfter = bPaused ? 2 : 0;
  if (lines.size() != 2 + nAfter) std::abort();
  if (lines[0] != "Input filename= ?" || lines[1] != std::string("Number of time moments=") + count) std::abort();
  bool bDecreasing = false;
  for (int32_t i = 0; i + 1 < nMoments; ++i) bDecreasing = bDecreasing || EventTimes[i] > EventTimes[i + 1];
  if (bPaused != (bDecreasing || nMoments == 0 || EventTimes[nMoments - 1] <= EventTimes[0])) std::abort();
  return 0;
}
