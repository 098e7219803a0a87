// Console stand-in for the fuzz targets (see fuzz_console.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console.h"
#include "freeform.h"
#include "fuzz_console.h"

namespace {

std::vector<std::string> gLines;
std::string gName;
bool gbNameTaken = true;

// Many inputs make a reader write a report; the lines of one run stay few, and a run
// that would write unboundedly many is cut short here rather than growing memory.
constexpr size_t MAX_LINES = 64;

}  // namespace

void FUZZ_CONSOLE_RESET(const std::string& Name) {
  gLines.clear();
  gName = Name;
  gbNameTaken = false;
}

const std::vector<std::string>& FUZZ_CONSOLE_LINES() { return gLines; }

int FUZZ_LOWEST_FREE_FD() {
  const int fd = ::dup(0);
  if (fd < 0) std::abort();
  ::close(fd);
  return fd;
}

void FUZZ_CLOSE_IF_OPEN_ON(int fd, const std::string& path) {
  struct stat atFd, atPath;
  if (::fstat(fd, &atFd) != 0 || ::stat(path.c_str(), &atPath) != 0) return;
  if (atFd.st_dev == atPath.st_dev && atFd.st_ino == atPath.st_ino) ::close(fd);
}

void FUZZ_WRITE_FILE(const std::string& path, const unsigned char* data, size_t size) {
  // A fresh file each time: ext4 writes a file emptied by truncation out to the disk when
  // it is closed, which would make every input wait on the disk.
  ::unlink(path.c_str());
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) std::abort();
  while (size > 0) {
    const ssize_t k = ::write(fd, data, size);
    if (k <= 0) std::abort();
    data += k;
    size -= static_cast<size_t>(k);
  }
  ::close(fd);
}

// ---- The console routines ----------------------------------------------------------

void CONSOLE_START(const char*) {}

void NORMAL_END() { throw ProgramEnd{END_NORMAL, std::string()}; }

void WRITE_RECORD(char, std::string_view text) {
  if (gLines.size() >= MAX_LINES) throw ProgramEnd{END_ABNORMAL, "too many console lines"};
  gLines.emplace_back(text);
}

void WRITE_LINE(std::string_view text) { WRITE_RECORD(' ', text); }

void WRITE_LINE(std::string_view text, int32_t iValue) {
  char field[16];
  std::snprintf(field, sizeof field, "%12d", static_cast<int>(iValue));
  WRITE_RECORD(' ', std::string(text) + field);
}

void CONSOLE_BEFORE_READ() {}

std::string READ_CONSOLE_LINE() { ABNORMAL_END("end of standard input while an answer is awaited"); }

void READ_NAME(std::string& Name, int32_t& nLength) {
  if (gbNameTaken) ABNORMAL_END("end of standard input while an answer is awaited");
  gbNameTaken = true;
  Name = gName.substr(0, 64);
  nLength = static_cast<int32_t>(Name.size());
  Name.resize(64, ' ');
}

bool READ_INTEGER(int32_t&) { ABNORMAL_END("end of standard input while an answer is awaited"); }
bool READ_REAL(float&) { ABNORMAL_END("end of standard input while an answer is awaited"); }

void PAUSE_AND_STOP() { throw ProgramEnd{END_BY_PAUSE, std::string()}; }

void ABNORMAL_END(std::string_view condition) { throw ProgramEnd{END_ABNORMAL, std::string(condition)}; }
