#include "inputs.h"

#include <sys/stat.h>

#include <cmath>
#include <limits>
#include <string>

#include "console.h"
#include "freeform.h"
#include "notice.h"
#include "storage.h"

namespace {

const char* const BANNER[] = {
    "This is the program for calculating periods in real time units",
    "for output files of the program tolvaran.",
    "Two input files must be prepared preliminary within current directory:",
    "1) file \"StretchCoeff.dat\";",
    "2) file \"KTX_out.grd\".",
    "The program creates output file \"KTX_Skeleton.dat\" with 3 columns:",
    "1-st - cumulative number of events for right-hand end of windows,",
    "2-nd - log10 of dimensionless periods, correspond. to local",
    "       maximums of Log-Likelihood function increments which exceed",
    "       a given threshold;",
    "3-rd - period values in real time units.",
    " ",
};

const char* const STRETCH_FILE = "StretchCoeff.dat";
const char* const GRID_FILE = "KTX_out.grd";

// The longest prefix of line 6 that is measured.
constexpr size_t LINE_BUF_SIZE = 2000;
constexpr int32_t MAX_PER_LINE = 99;

[[noreturn]] void FILE_FAULT(const char* message) {
  WRITE_LINE(message);
  PAUSE_AND_STOP();
}

// A grid read has no recovery: a file that does not hold what its header promises is
// not a grid this program can use.
[[noreturn]] void GRID_READ_FAILED(FreeStatus iStatus, const std::string& where) {
  std::string report = "cannot read the grid \"";
  report += GRID_FILE;
  report += iStatus == FREE_END_OF_FILE ? "\": the file ends before " : "\": a value that is not a number in ";
  report += where;
  ABNORMAL_END(report);
}

void READ_GRID(LineSource& src, const FreeVar* vars, int nVars, const char* where) {
  const FreeStatus iStatus = READ_FREE(src, vars, nVars);
  if (iStatus != FREE_OK) GRID_READ_FAILED(iStatus, where);
}

// One record of the stretch table: four reals, the fourth kept.
bool READ_STRETCH_RECORD(LineSource& src, float& Coeff) {
  float Ignored[3] = {0.0f, 0.0f, 0.0f};
  const FreeVar vars[4] = {FREE_REAL(Ignored[0]), FREE_REAL(Ignored[1]), FREE_REAL(Ignored[2]), FREE_REAL(Coeff)};
  return READ_FREE(src, vars, 4) == FREE_OK;
}

}  // namespace

void WRITE_SKELETON_BANNER() {
  for (const char* line : BANNER) WRITE_LINE(line);
  AU();
  WRITE_LINE("--------------------------------------------------------");
}

void LOAD_STRETCH_TABLE(std::vector<float>& StretchCoeff, int32_t& nWindows) {
  LineSource src;
  if (!OPEN_INPUT(src, STRETCH_FILE)) FILE_FAULT("File \"StretchCoeff.dat\" is absent.");

  // Counting pass: the table ends at the first record that does not read as four
  // numbers, whatever follows it.
  nWindows = 0;
  float Coeff = 0.0f;
  while (READ_STRETCH_RECORD(src, Coeff)) {
    if (nWindows == std::numeric_limits<int32_t>::max()) ABNORMAL_END("too many records in \"StretchCoeff.dat\"");
    ++nWindows;
  }

  StretchCoeff.assign(static_cast<size_t>(nWindows), 0.0f);
  REWIND_INPUT(src);
  Coeff = 0.0f;
  for (int32_t i = 0; i < nWindows; ++i) {
    // These reads have succeeded once; a failure means the file changed meanwhile.
    if (!READ_STRETCH_RECORD(src, Coeff)) ABNORMAL_END("\"StretchCoeff.dat\" changed while it was read");
    StretchCoeff[i] = Coeff;
  }
  CLOSE_INPUT(src);
}

void ASK_THRESHOLD(float& Threshold) {
  Threshold = 0.0f;
  for (;;) {
    WRITE_LINE("DeltaLogLik threshold= ?");
    if (!READ_REAL(Threshold)) continue;
    // NaN would let every maximum through, as no comparison with it holds.
    if (Threshold < 0.0f || std::isnan(Threshold)) continue;
    return;
  }
}

int32_t COUNT_LINE_VALUES(std::string_view Line) {
  std::string LineBuf(Line.substr(0, LINE_BUF_SIZE));
  LineBuf.resize(LINE_BUF_SIZE, ' ');
  float Probe[MAX_PER_LINE];
  FreeVar vars[MAX_PER_LINE];
  for (int32_t k = 0; k < MAX_PER_LINE; ++k) {
    Probe[k] = 0.0f;
    vars[k] = FREE_REAL(Probe[k]);
  }
  // Each trial reads k values afresh from the line alone; the first k that does not
  // read tells the count.
  LineSource probe;
  for (int32_t k = 1; k <= MAX_PER_LINE; ++k) {
    OPEN_TEXT(probe, LineBuf);
    if (READ_FREE(probe, vars, k) != FREE_OK) return k - 1;
  }
  return MAX_PER_LINE;
}

void LOAD_GRID(int32_t nWindows, int32_t& nX, int32_t& nY, float& xLo, float& xHi, float& yLo, float& yHi,
               std::vector<float>& GridZ) {
  LineSource src;
  if (!OPEN_INPUT(src, GRID_FILE)) FILE_FAULT("File \"KTX_out.grd\" is absent.");

  READ_GRID(src, nullptr, 0, "its first line");
  nX = 0;
  nY = 0;
  const FreeVar counts[2] = {FREE_INTEGER(nX), FREE_INTEGER(nY)};
  READ_GRID(src, counts, 2, "the counts of its second line");
  if (nX != nWindows) FILE_FAULT("Two input files do not correspond each other!");

  // nX equals nWindows here, so it is not negative; a negative nY holds no rows.
  const int64_t nRows = nY > 0 ? nY : 0;
  const int64_t nValues = static_cast<int64_t>(nX) * nRows;
  if (nValues > 0) {
    // Every read of a row takes a line of its own and fills at most 99 values, so a
    // file smaller than the count of reads its header promises cannot hold the grid:
    // stop before sizing the matrix for it.
    const int64_t nReadsAtLeast = nRows * ((static_cast<int64_t>(nX) + MAX_PER_LINE - 1) / MAX_PER_LINE);
    struct stat st;
    if (::fstat(src.fd, &st) == 0 && nReadsAtLeast > static_cast<int64_t>(st.st_size)) {
      GRID_READ_FAILED(FREE_END_OF_FILE, "the rows that its second line promises");
    }
  }
  CHECK_STORAGE(static_cast<uint64_t>(nValues) * sizeof(float), "the grid");
  GridZ.assign(static_cast<size_t>(nValues), 0.0f);

  xLo = xHi = yLo = yHi = 0.0f;
  const FreeVar xLimits[2] = {FREE_REAL(xLo), FREE_REAL(xHi)};
  READ_GRID(src, xLimits, 2, "the x limits of its third line");
  const FreeVar yLimits[2] = {FREE_REAL(yLo), FREE_REAL(yHi)};
  READ_GRID(src, yLimits, 2, "the y limits of its fourth line");
  READ_GRID(src, nullptr, 0, "its fifth line");

  std::string_view Line6;
  if (!NEXT_LINE(src, Line6)) GRID_READ_FAILED(FREE_END_OF_FILE, "its line 6");
  const int32_t nPerLine = COUNT_LINE_VALUES(Line6);
  if (nPerLine == 0) ABNORMAL_END("line 6 of the grid \"KTX_out.grd\" holds no readable number");

  REWIND_INPUT(src);
  for (int k = 1; k <= 5; ++k) READ_GRID(src, nullptr, 0, "its first five lines, read again");

  const int32_t nFull = nX / nPerLine;
  const int32_t nRest = nX - nPerLine * nFull;
  std::vector<FreeVar> vars(static_cast<size_t>(nPerLine));
  // Rows of no columns hold nothing to read, however many the header counts.
  const int64_t nRowsToRead = nX > 0 ? nRows : 0;
  for (int64_t j = 0; j < nRowsToRead; ++j) {
    float* Row = GridZ.data() + j * nX;
    const std::string where = "row " + std::to_string(j + 1);
    for (int32_t c = 0; c < nFull; ++c) {
      for (int32_t k = 0; k < nPerLine; ++k) vars[k] = FREE_REAL(Row[c * nPerLine + k]);
      READ_GRID(src, vars.data(), nPerLine, where.c_str());
    }
    if (nRest > 0) {
      for (int32_t k = 0; k < nRest; ++k) vars[k] = FREE_REAL(Row[nFull * nPerLine + k]);
      READ_GRID(src, vars.data(), nRest, where.c_str());
    }
  }
  CLOSE_INPUT(src);
}
