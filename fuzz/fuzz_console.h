// The console as the fuzz targets see it. The targets link console_stub.cpp in place of
// common/console.cpp: nothing is shown, the name answer is set by the target, and every
// end of the program (the pause, the abnormal end, the normal end) throws a ProgramEnd
// back to the target instead of ending the process, so that one process can try
// millions of inputs.
//
// The targets write the file they read into the working directory; run_fuzz.sh runs them
// in a scratch directory of their own.
#pragma once

#include <string>
#include <vector>

enum ProgramEndKind { END_BY_PAUSE, END_ABNORMAL, END_NORMAL };

struct ProgramEnd {
  ProgramEndKind iKind;
  std::string Report;  // the condition of an abnormal end
};

// Starts a run: no console lines yet, and READ_NAME answers Name once (end of input
// after that).
void FUZZ_CONSOLE_RESET(const std::string& Name);

// The message lines written since the reset, without their control character.
const std::vector<std::string>& FUZZ_CONSOLE_LINES();

// The lowest file descriptor not open now. A reader opens its file at this number, so a
// target can close a file that an end thrown past the reader left open.
int FUZZ_LOWEST_FREE_FD();
// Closes fd when it is open on the file at path.
void FUZZ_CLOSE_IF_OPEN_ON(int fd, const std::string& path);

// Writes bytes to path, replacing what it held; aborts when that fails.
void FUZZ_WRITE_FILE(const std::string& path, const unsigned char* data, size_t size);
