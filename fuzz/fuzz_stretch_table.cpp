// The skeleton extractor's reading of "StretchCoeff.dat": the input is the table. It is
// read as the program reads it (special words on, the counting pass, the second pass).
//
// The file is there and does not change, so the reading must return: any end of the
// program is a finding. The count and the coefficients must be what reads of four
// reals over the same bytes held in memory give.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "freeform.h"
#include "fuzz_console.h"
#include "inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FREE_ACCEPT_SPECIAL_WORDS(true);
  FUZZ_WRITE_FILE("StretchCoeff.dat", data, size);
  FUZZ_CONSOLE_RESET("");
  std::vector<float> StretchCoeff;
  int32_t nWindows = -1;
  try {
    LOAD_STRETCH_TABLE(StretchCoeff, nWindows);
  } catch (const ProgramEnd&) {
    std::abort();
  }
  if (nWindows < 0 || StretchCoeff.size() != static_cast<size_t>(nWindows)) std::abort();

  LineSource memory;
  OPEN_TEXT(memory, std::string(reinterpret_cast<const char*>(data), size));
  float Record[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  const FreeVar vars[4] = {FREE_REAL(Record[0]), FREE_REAL(Record[1]), FREE_REAL(Record[2]), FREE_REAL(Record[3])};
  for (int32_t i = 0; i < nWindows; ++i) {
    if (READ_FREE(memory, vars, 4) != FREE_OK) std::abort();
    if (std::memcmp(&Record[3], &StretchCoeff[i], sizeof(float)) != 0) std::abort();
  }
  if (READ_FREE(memory, vars, 4) == FREE_OK) std::abort();
  return 0;
}
