// tolvaran on a terminal: control characters are interpreted, the line feed of a shown
// line waits for the next record or read, and the progress record overwrites its line.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#ifndef TOLVARAN_PATH
#error "TOLVARAN_PATH must name the tolvaran executable"
#endif

namespace {

// Reads from fd into out until out ends with what, or the program closes the terminal,
// or ten seconds pass. Returns whether out ends with what.
bool READ_UNTIL(int fd, std::string& out, const std::string& what) {
  for (int waited = 0; waited < 10000;) {
    if (out.size() >= what.size() && out.compare(out.size() - what.size(), what.size(), what) == 0) return true;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) {
      waited += 100;
      continue;
    }
    char buf[4096];
    const ssize_t k = ::read(fd, buf, sizeof buf);
    if (k <= 0) break;  // the terminal's other side is closed
    out.append(buf, static_cast<size_t>(k));
  }
  return out.size() >= what.size() && out.compare(out.size() - what.size(), what.size(), what) == 0;
}

}  // namespace

TEST(Terminal, HeldLineFeedAndOverwritingProgress) {
  char dirTemplate[] = "/tmp/terminal_test_XXXXXX";
  ASSERT_NE(::mkdtemp(dirTemplate), nullptr);
  const std::string dir = dirTemplate;
  {
    std::ofstream events(dir + "/events.txt");
    for (int i = 0; i < 10; ++i) events << i << "\n";
  }
  int master = -1, slave = -1;
  ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  int answers[2];
  ASSERT_EQ(::pipe(answers), 0);
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(101);
    ::dup2(answers[0], 0);
    ::dup2(slave, 1);
    ::close(answers[0]);
    ::close(answers[1]);
    ::close(master);
    ::close(slave);
    ::execl(TOLVARAN_PATH, "tolvaran", static_cast<char*>(nullptr));
    ::_exit(102);
  }
  ::close(slave);
  ::close(answers[0]);

  std::string out;
  // While the program waits for the name, the question's line feed is already shown
  // (the terminal turns it into CR LF), so the answer goes on the next line.
  EXPECT_TRUE(READ_UNTIL(master, out, "Input filename= ?\r\n")) << out;
  const std::string typed = "events.txt\n3\n10\n10\n";
  ASSERT_EQ(::write(answers[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  ::close(answers[1]);
  READ_UNTIL(master, out, "\x01never");
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ::close(master);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  // No control character is shown: the first line starts with the banner's text.
  EXPECT_EQ(out.rfind("This is the program", 0), 0u) << out.substr(0, 40);
  EXPECT_NE(out.find("\r\nNumber of time moments=          10\r\n"), std::string::npos);
  // The blank line, then three progress records each returning to the start of that
  // line, and at the end the held line feed so the shell prompt starts in column 1.
  const std::string tail =
      "in number of events ?\r\n \r         0         2\r         0         1\r         0         0\r\n";
  ASSERT_GE(out.size(), tail.size());
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
  std::system(("rm -rf " + dir).c_str());
}
