#include "console.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "freeform.h"
#include "render.h"

namespace {

const char* gProgramName = "program";
bool gbTerminal = false;       // stdout is a terminal: control characters are interpreted
bool gbLineFeedHeld = false;   // a shown line still waits for its line feed
LineSource gConsole;           // standard input, for every answer
std::string gOut;              // console output not yet written

void WRITE_STDOUT(const char* data, size_t n) {
  while (n > 0) {
    const ssize_t k = ::write(STDOUT_FILENO, data, n);
    if (k < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      gOut.clear();
      std::string report = "cannot write to standard output: ";
      report += std::strerror(err);
      ABNORMAL_END(report);
    }
    data += k;
    n -= static_cast<size_t>(k);
  }
}

void FLUSH_CONSOLE() {
  if (gOut.empty()) return;
  std::string pending;
  pending.swap(gOut);
  WRITE_STDOUT(pending.data(), pending.size());
}

void SIGNAL_END(int sig) {
  // Only async-signal-safe calls here: one line on stderr, then the exit.
  const char* what = sig == SIGINT ? "interrupted from the console (SIGINT)"
                     : sig == SIGTERM ? "terminated (SIGTERM)"
                     : sig == SIGHUP ? "console closed (SIGHUP)"
                                     : "stopped by a signal";
  char line[160];
  size_t n = 0;
  if (gbTerminal && gbLineFeedHeld) line[n++] = '\n';
  for (const char* p = gProgramName; *p && n < 60; ++p) line[n++] = *p;
  line[n++] = ':';
  line[n++] = ' ';
  for (const char* p = what; *p && n < 150; ++p) line[n++] = *p;
  line[n++] = '\n';
  ssize_t ignored = ::write(STDERR_FILENO, line, n);
  (void)ignored;
  ::_exit(128 + sig);
}

void OUT_OF_MEMORY() { ABNORMAL_END("memory cannot be obtained"); }

}  // namespace

void CONSOLE_START(const char* programName) {
  gProgramName = programName;
  // A standard stream that was closed at start-up would be taken by the next file
  // opened, and reports meant for stderr would land in an output file. Such a stream
  // reads as an empty input and writes nowhere.
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF && ::open("/dev/null", O_RDWR) != fd) std::_Exit(2);
  }
  gbTerminal = ::isatty(STDOUT_FILENO) == 1;
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = SIGNAL_END;
  sigemptyset(&sa.sa_mask);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
    // A signal ignored by whoever started the program stays ignored: "nohup tolvaran"
    // must survive the closing of its terminal.
    struct sigaction old;
    if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    sigaction(sig, &sa, nullptr);
  }
  // A closed pipe on stdout is reported by the write itself, and a file grown past the
  // size limit by the write that fails with EFBIG.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  std::set_new_handler(OUT_OF_MEMORY);
  OPEN_CONSOLE(gConsole);
}

void NORMAL_END() {
  if (gbTerminal && gbLineFeedHeld) gOut += '\n';
  gbLineFeedHeld = false;
  FLUSH_CONSOLE();
  std::_Exit(0);
}

void WRITE_RECORD(char cControl, std::string_view text) {
  if (gbTerminal) {
    if (cControl == '+') {
      gOut += '\r';
    } else if (gbLineFeedHeld) {
      gOut += '\n';
    }
    gOut.append(text.data(), text.size());
    gbLineFeedHeld = true;
    // On a terminal the user watches the line as it is written.
    FLUSH_CONSOLE();
  } else {
    gOut += cControl;
    gOut.append(text.data(), text.size());
    gOut += "\r\n";
    if (gOut.size() >= (1 << 16)) FLUSH_CONSOLE();
  }
}

void WRITE_LINE(std::string_view text) { WRITE_RECORD(' ', text); }

void WRITE_LINE(std::string_view text, int32_t iValue) {
  std::string line(text);
  line += FORMAT_INTEGER(iValue, 12);
  WRITE_RECORD(' ', line);
}

void CONSOLE_BEFORE_READ() {
  if (gbTerminal && gbLineFeedHeld) gOut += '\n';
  gbLineFeedHeld = false;
  FLUSH_CONSOLE();
}

std::string READ_CONSOLE_LINE() {
  std::string_view line;
  if (!NEXT_LINE(gConsole, line)) ABNORMAL_END("end of standard input while an answer is awaited");
  return std::string(line);
}

void READ_NAME(std::string& Name, int32_t& nLength) {
  const std::string line = READ_CONSOLE_LINE();
  std::string field = line.substr(0, 64);
  field.resize(64, ' ');
  const size_t first = field.find_first_not_of(' ');
  if (first == std::string::npos) {
    Name = field;
    nLength = 0;
    return;
  }
  Name = field.substr(first) + std::string(first, ' ');
  nLength = static_cast<int32_t>(Name.find_last_not_of(' ') + 1);
}

bool READ_INTEGER(int32_t& iValue) {
  const FreeVar v = FREE_INTEGER(iValue);
  return READ_FREE(gConsole, &v, 1) == FREE_OK;
}

bool READ_REAL(float& rValue) {
  const FreeVar v = FREE_REAL(rValue);
  return READ_FREE(gConsole, &v, 1) == FREE_OK;
}

void PAUSE_AND_STOP() {
  // Lines already written to an output file stay in it, also when the input ends or a
  // signal comes while the pause waits.
  FLUSH_OPEN_OUTPUTS();
  WRITE_LINE("Press <Enter> to terminate...");
  READ_CONSOLE_LINE();
  gOut += "Stop - Program terminated.";
  gOut += gbTerminal ? "\n" : "\r\n";
  FLUSH_CONSOLE();
  std::_Exit(0);
}

void ABNORMAL_END(std::string_view condition) {
  // Console lines already shown stay complete, and the report starts in column 1.
  // Nothing here allocates: this also reports memory that cannot be obtained.
  if (gbTerminal && gbLineFeedHeld) gOut += '\n';
  gbLineFeedHeld = false;
  size_t n = 0;
  while (n < gOut.size()) {
    const ssize_t k = ::write(STDOUT_FILENO, gOut.data() + n, gOut.size() - n);
    if (k <= 0) {
      if (k < 0 && errno == EINTR) continue;
      break;
    }
    n += static_cast<size_t>(k);
  }
  char report[512];
  size_t nReport = 0;
  for (const char* p = gProgramName; *p && nReport < 64; ++p) report[nReport++] = *p;
  report[nReport++] = ':';
  report[nReport++] = ' ';
  for (size_t i = 0; i < condition.size() && nReport < sizeof report - 1; ++i) {
    // One line: a line end inside a name would split the report.
    const char c = condition[i];
    report[nReport++] = c == '\n' || c == '\r' ? ' ' : c;
  }
  report[nReport++] = '\n';
  ssize_t ignored = ::write(STDERR_FILENO, report, nReport);
  (void)ignored;
  std::_Exit(2);
}
