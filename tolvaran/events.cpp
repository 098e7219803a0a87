#include "events.h"

#include <limits>
#include <string>

#include "console.h"
#include "freeform.h"
#include "notice.h"

namespace {

const char* const BANNER[] = {
    "This is the program for estimating periodic components of point process",
    "intensity within moving time window of fixed events capacity.",
    "Input file: the sequence of time moments (\"long column\" of numbers).",
    "Output file \"KTX_out.grd\" is a GRD-file for further using in Surfer",
    "for plotting 2D or 3D diagrams of evolution of difference between maximum",
    "values of logarithmic likelihood functions in dependence on right-hand end",
    "of moving events window in cumulative number of events and log10 of",
    "dimensionless periods. Correspondence with real time could be established",
    "using the output file \"StretchCoeff.dat\", which is a table with 4 columns:",
    "1-st - cumulative number of events for right-hand end of windows,",
    "2-nd - real time for right-hand end of windows,",
    "3-rd - length of window in real time (not in number of events),",
    "4-th - ratio of events window capacity to real time window length",
    "       or time stretching coefficient.",
    " ",
};

std::string TRIM_BLANKS(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The name to open for one answer. A blank answer takes the next command-line argument
// not yet taken; when none is left, or it is blank, the name is asked once more.
std::string NAME_FOR_ANSWER(int argc, char** argv, int& iNextArg) {
  std::string InputFileName;
  int32_t nLength = 0;
  READ_NAME(InputFileName, nLength);
  if (nLength > 0) return InputFileName.substr(0, nLength);
  std::string name;
  if (iNextArg < argc) name = TRIM_BLANKS(argv[iNextArg++]);
  if (name.empty()) {
    WRITE_LINE("File name missing or blank - please enter file name");
    WRITE_LINE("UNIT 1? ");
    name = TRIM_BLANKS(READ_CONSOLE_LINE());
  }
  return name;
}

// One event time by the file's rule: the first value of the next line with content.
// A line that starts with a comma or a slash repeats the value already in Time.
bool READ_EVENT_TIME(LineSource& src, float& Time) {
  const FreeVar v = FREE_REAL(Time);
  return READ_FREE(src, &v, 1) == FREE_OK;
}

[[noreturn]] void WRONG_STRUCTURE(const char* reason) {
  WRITE_LINE("Wrong structure of the input file !");
  WRITE_LINE(reason);
  PAUSE_AND_STOP();
}

}  // namespace

void WRITE_BANNER() {
  for (const char* line : BANNER) WRITE_LINE(line);
  AU();
  WRITE_LINE("--------------------------------------------------------");
}

void LOAD_EVENT_TIMES(int argc, char** argv, std::vector<float>& EventTimes, int32_t& nMoments) {
  LineSource src;
  int iNextArg = 1;
  for (;;) {
    WRITE_LINE("Input filename= ?");
    const std::string name = NAME_FOR_ANSWER(argc, argv, iNextArg);
    if (!name.empty() && OPEN_INPUT(src, name)) break;
    WRITE_LINE("No such file within current directory !");
  }

  // Counting pass: the data end at the end of the file or at the first line whose
  // first value is not a real number.
  nMoments = 0;
  float Time = 0.0f;
  while (READ_EVENT_TIME(src, Time)) {
    if (nMoments == std::numeric_limits<int32_t>::max()) ABNORMAL_END("too many event times in the input file");
    ++nMoments;
  }
  WRITE_LINE("Number of time moments=", nMoments);

  EventTimes.assign(static_cast<size_t>(nMoments), 0.0f);
  REWIND_INPUT(src);
  Time = 0.0f;
  for (int32_t i = 0; i < nMoments; ++i) {
    // The second pass repeats reads that have already succeeded; a file changed in
    // between is reported rather than read half.
    if (!READ_EVENT_TIME(src, Time)) ABNORMAL_END("the input file changed while it was read");
    EventTimes[i] = Time;
  }
  CLOSE_INPUT(src);
}

void CHECK_EVENT_TIMES(const std::vector<float>& EventTimes, int32_t nMoments) {
  for (int32_t i = 0; i + 1 < nMoments; ++i) {
    if (EventTimes[i] > EventTimes[i + 1]) {
      WRONG_STRUCTURE("The sequence of time moments must be with non-decreasing values.");
    }
  }
  // Also taken by an empty file or one whose first line is not a number.
  if (nMoments == 0 || EventTimes[nMoments - 1] <= EventTimes[0]) {
    WRONG_STRUCTURE("The process must have non-zero duration.");
  }
}
