// The two programs in turn on one event train whose intensity is modulated with a known
// period: the skeleton finds that period, in real time units, window by window.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#ifndef TOLVARAN_PATH
#error "TOLVARAN_PATH must name the tolvaran executable"
#endif
#ifndef MERROWIN_PATH
#error "MERROWIN_PATH must name the merrowin executable"
#endif

namespace {

// Runs a program in dir with the answers as its standard input; returns its exit status,
// or -1 when it did not exit.
int RUN_IN(const std::string& dir, const char* path, const std::string& answers) {
  const std::string answerFile = dir + "/.answers";
  std::ofstream(answerFile) << answers;
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) ::_exit(101);
    const int in = ::open(answerFile.c_str(), O_RDONLY);
    const int out = ::open("/dev/null", O_WRONLY);
    if (in < 0 || out < 0) ::_exit(102);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::execl(path, path, static_cast<char*>(nullptr));
    ::_exit(103);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// A Poisson train of nEvents events with intensity Rate * (1 + Depth * cos(2 pi t / Period)),
// by thinning; the generator's sequence is fixed by the language, so the train is too.
std::vector<double> MODULATED_TRAIN(int nEvents, double Rate, double Depth, double Period) {
  std::mt19937 gen(20261211u);
  const auto U = [&gen] { return (static_cast<double>(gen()) + 0.5) / 4294967296.0; };
  const double RateMax = Rate * (1.0 + Depth);
  const double TwoPi = 6.283185307179586;
  std::vector<double> Times;
  double t = 0.0;
  while (static_cast<int>(Times.size()) < nEvents) {
    t += -std::log(U()) / RateMax;
    if (U() * RateMax < Rate * (1.0 + Depth * std::cos(TwoPi * t / Period))) Times.push_back(t);
  }
  return Times;
}

std::vector<std::string> CRLF_LINES(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  const std::string text = all.str();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << path << " ends in a line without CR LF";
  return lines;
}

}  // namespace

TEST(Pipeline, SkeletonFindsTheModulationPeriodInRealTime) {
  char dirTemplate[] = "/tmp/merrowin_pipeline_XXXXXX";
  ASSERT_NE(::mkdtemp(dirTemplate), nullptr);
  const std::string dir = dirTemplate;

  // 2000 events at about one per time unit, modulated with depth 0.5 and a period of
  // 20 time units: a window of 400 events spans some 20 periods.
  const double Period = 20.0;
  {
    std::ofstream events(dir + "/events.txt");
    char buf[32];
    for (double t : MODULATED_TRAIN(2000, 1.0, 0.5, Period)) {
      std::snprintf(buf, sizeof buf, "%.4f\n", t);
      events << buf;
    }
  }
  // 131 period nodes put the nodes 0.02 apart in log10, less than 5 % apart.
  ASSERT_EQ(RUN_IN(dir, TOLVARAN_PATH, "events.txt\n131\n400\n400\n"), 0);
  ASSERT_EQ(RUN_IN(dir, MERROWIN_PATH, "10\n"), 0);

  // Window m (1-based) ends at event 400 m; its stretch coefficient is the fourth
  // number of line m of the stretch table.
  std::map<int, float> StretchOfWindow;
  for (const std::string& line : CRLF_LINES(dir + "/StretchCoeff.dat")) {
    std::istringstream fields(line);
    int iWindowEnd = 0;
    float EndTime = 0, Length = 0, Stretch = 0;
    fields >> iWindowEnd >> EndTime >> Length >> Stretch;
    StretchOfWindow[iWindowEnd] = Stretch;
  }
  ASSERT_EQ(StretchOfWindow.size(), 5u);

  std::map<int, int> nNearPeriod;
  for (const std::string& line : CRLF_LINES(dir + "/KTX_Skeleton.dat")) {
    ASSERT_EQ(line.size(), 40u) << line;
    const int iLabel = std::atoi(line.substr(0, 10).c_str());
    const double LogPeriod = std::atof(line.substr(10, 15).c_str());
    const double RealPeriod = std::atof(line.substr(25, 15).c_str());
    ASSERT_EQ(StretchOfWindow.count(iLabel), 1u) << "no window ends at " << iLabel;
    // The real period is the window's own period over that window's coefficient.
    EXPECT_NEAR(RealPeriod, std::pow(10.0, LogPeriod) / StretchOfWindow[iLabel], 2e-5 * RealPeriod) << line;
    if (std::fabs(RealPeriod - Period) < 0.05 * Period) ++nNearPeriod[iLabel];
  }
  // Every window but at most one shows the period, within the spacing of the nodes.
  EXPECT_GE(nNearPeriod.size(), 4u);
  std::filesystem::remove_all(dir);
}
