// gen_events: writes a synthetic catalogue of event times for trying out tolvaran.
//
// The events come from a Poisson process whose intensity is modulated by a cosine,
//   rate * (1 + depth * cos(phase(t))),  d phase / dt = 2 pi / period,
// drawn by thinning a homogeneous process of rate * (1 + depth). The period may change
// along the catalogue: a list of periods splits it into parts of equal numbers of
// events, and a drift stretches the period steadily from the first event to the last.
// The phase runs on continuously across such changes.
//
// The same seed gives the same bytes on every platform: the random generator
// (xoshiro256**, seeded by splitmix64), the uniform and exponential variates, the
// logarithm and the cosine are all computed here from IEEE additions, multiplications
// and divisions alone, never from the library's distributions or its mathematics
// routines, whose last bits differ between implementations.
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

constexpr double PI = 3.141592653589793;
constexpr double TWO_PI = 6.283185307179586;
constexpr double HALF_PI = 1.5707963267948966;
constexpr double LN2 = 0.6931471805599453;
constexpr double SQRT_HALF = 0.7071067811865476;

// --- random numbers ----------------------------------------------------------------

struct RandomState {
  uint64_t s[4];
};

uint64_t SPLITMIX64(uint64_t& x) {
  x += 0x9E3779B97F4A7C15ULL;
  uint64_t z = x;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

void SEED_RANDOM(RandomState& r, uint64_t iSeed) {
  uint64_t x = iSeed;
  for (uint64_t& w : r.s) w = SPLITMIX64(x);
}

uint64_t ROTL(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

uint64_t NEXT_RANDOM(RandomState& r) {
  uint64_t* s = r.s;
  const uint64_t result = ROTL(s[1] * 5, 7) * 9;
  const uint64_t t = s[1] << 17;
  s[2] ^= s[0];
  s[3] ^= s[1];
  s[1] ^= s[2];
  s[0] ^= s[3];
  s[2] ^= t;
  s[3] = ROTL(s[3], 45);
  return result;
}

// Uniform on [0, 1): the top 53 bits as a binary fraction (exact).
double UNIFORM(RandomState& r) { return static_cast<double>(NEXT_RANDOM(r) >> 11) * 0x1.0p-53; }

// --- portable logarithm and cosine ----------------------------------------------------

// Natural logarithm of u > 0: u = m * 2^e with m in [sqrt(1/2), sqrt(2)), then
// ln m = 2 atanh s, s = (m - 1) / (m + 1), |s| < 0.172, from its odd series.
double LOG_PORTABLE(double u) {
  int e = 0;
  double m = std::frexp(u, &e);  // exact: m in [0.5, 1)
  if (m < SQRT_HALF) {
    m *= 2.0;
    e -= 1;
  }
  const double s = (m - 1.0) / (m + 1.0);
  const double s2 = s * s;
  double series = 0.0;
  for (int k = 25; k >= 1; k -= 2) series = series * s2 + 1.0 / k;
  return 2.0 * s * series + e * LN2;
}

// Cosine of x in [0, 2 pi): folded onto [0, pi/2] by symmetry, then its Taylor series
// (the first omitted term is below 1e-17 there).
double COS_PORTABLE(double x) {
  double z = x > PI ? TWO_PI - x : x;  // cos(x) = cos(2 pi - x), z in [0, pi]
  double sign = 1.0;
  if (z > HALF_PI) {
    z = PI - z;
    sign = -1.0;
  }
  const double z2 = z * z;
  double term = 1.0, sum = 1.0;
  for (int k = 1; k <= 10; ++k) {
    term = -term * z2 / ((2.0 * k - 1.0) * (2.0 * k));
    sum += term;
  }
  return sign * sum;
}

// --- options ----------------------------------------------------------------------------

struct Options {
  int64_t nEvents = 5000;
  std::vector<double> Periods{40.0};
  double Depth = 0.6;
  double Drift = 0.0;
  double Rate = 1.0;
  uint64_t iSeed = 1;
  std::string OutputName;  // empty: standard output
};

const char* const USAGE =
    "Usage: gen_events [OPTIONS]\n"
    "Writes a synthetic catalogue of event times, one per line, non-decreasing, drawn from\n"
    "a Poisson process whose intensity is rate * (1 + depth * cos(2 pi t / period)).\n"
    "\n"
    "  --events N       number of events (default 5000)\n"
    "  --period P[,P2..] period of the modulation in time units (default 40); with several\n"
    "                   values the catalogue is cut into that many parts of equal numbers\n"
    "                   of events, part k using period Pk (e.g. --period 40,80)\n"
    "  --depth A        modulation depth, 0 to 1 (default 0.6; 0 gives a plain Poisson\n"
    "                   process)\n"
    "  --drift D        the period grows steadily by the fraction D from the first event to\n"
    "                   the last (default 0; 0.5 ends 1.5 times as long, -0.5 half as long);\n"
    "                   D > -1\n"
    "  --rate R         mean number of events per time unit (default 1)\n"
    "  --seed S         seed of the random numbers, 0 to 2^64-1 (default 1); the same seed\n"
    "                   and options give the same file on every platform\n"
    "  --output FILE    write to FILE instead of standard output\n"
    "  --help           show this text\n";

bool PARSE_REAL(std::string_view text, double& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;  // from_chars takes no plus sign
  const auto res = std::from_chars(first, last, value);
  return res.ec == std::errc() && res.ptr == last && std::isfinite(value);
}

template <class Int>
bool PARSE_WHOLE(std::string_view text, Int& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  const auto res = std::from_chars(first, last, value);
  return res.ec == std::errc() && res.ptr == last && first != last;
}

bool PARSE_PERIODS(std::string_view text, std::vector<double>& periods) {
  periods.clear();
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    const std::string_view item =
        text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    double p = 0.0;
    if (!PARSE_REAL(item, p) || !(p > 0.0)) return false;
    periods.push_back(p);
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
  }
}

// Returns 0 to go on, 1 after --help, 2 after a fault (reported on standard error).
int PARSE_OPTIONS(int argc, char** argv, Options& opt) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--help" || name == "-h") {
      std::fputs(USAGE, stdout);
      return 1;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "gen_events: %s needs a value (see --help)\n", argv[i]);
      return 2;
    }
    const std::string_view value = argv[++i];
    bool bGood = true;
    if (name == "--events") {
      bGood = PARSE_WHOLE(value, opt.nEvents) && opt.nEvents >= 1 && opt.nEvents <= 100000000;
    } else if (name == "--period") {
      bGood = PARSE_PERIODS(value, opt.Periods);
    } else if (name == "--depth") {
      bGood = PARSE_REAL(value, opt.Depth) && opt.Depth >= 0.0 && opt.Depth <= 1.0;
    } else if (name == "--drift") {
      bGood = PARSE_REAL(value, opt.Drift) && opt.Drift > -1.0;
    } else if (name == "--rate") {
      bGood = PARSE_REAL(value, opt.Rate) && opt.Rate > 0.0;
    } else if (name == "--seed") {
      bGood = PARSE_WHOLE(value, opt.iSeed);
    } else if (name == "--output" || name == "-o") {
      opt.OutputName = std::string(value);
      bGood = !opt.OutputName.empty();
    } else {
      std::fprintf(stderr, "gen_events: unknown option %s (see --help)\n", argv[i - 1]);
      return 2;
    }
    if (!bGood) {
      std::fprintf(stderr, "gen_events: bad value for %s: %s (see --help)\n", argv[i - 1], argv[i]);
      return 2;
    }
  }
  return 0;
}

// --- the catalogue --------------------------------------------------------------------

// Period in force while the event with the 0-based index k is awaited.
double PERIOD_AT(const Options& opt, int64_t k) {
  const int64_t nParts = static_cast<int64_t>(opt.Periods.size());
  const int64_t iPart = k * nParts / opt.nEvents;
  const double Progress = opt.nEvents > 1 ? static_cast<double>(k) / static_cast<double>(opt.nEvents - 1) : 0.0;
  return opt.Periods[static_cast<size_t>(iPart)] * (1.0 + opt.Drift * Progress);
}

// Writes the catalogue; false when the output cannot be written.
bool WRITE_CATALOGUE(const Options& opt, std::FILE* out) {
  RandomState r;
  SEED_RANDOM(r, opt.iSeed);
  const double RateMax = opt.Rate * (1.0 + opt.Depth);
  double t = 0.0;
  double Phase = 0.0;  // kept in [0, 2 pi)
  char buf[64];
  for (int64_t k = 0; k < opt.nEvents;) {
    const double dt = -LOG_PORTABLE(1.0 - UNIFORM(r)) / RateMax;
    t += dt;
    Phase += TWO_PI * dt / PERIOD_AT(opt, k);
    Phase -= TWO_PI * std::floor(Phase / TWO_PI);
    if (Phase >= TWO_PI || Phase < 0.0) Phase = 0.0;  // guards the rounding at the edge
    const double Accept = (1.0 + opt.Depth * COS_PORTABLE(Phase)) / (1.0 + opt.Depth);
    if (UNIFORM(r) >= Accept) continue;
    // tolvaran keeps single-precision times: round here, and write the shortest text that
    // reads back as exactly this float, so nothing is lost or merged by the round trip.
    const float Time = static_cast<float>(t);
    const auto res = std::to_chars(buf, buf + sizeof buf, Time, std::chars_format::fixed);
    *res.ptr = '\n';
    if (std::fwrite(buf, 1, static_cast<size_t>(res.ptr + 1 - buf), out) != static_cast<size_t>(res.ptr + 1 - buf)) {
      return false;
    }
    ++k;
  }
  return std::fflush(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  const int iParsed = PARSE_OPTIONS(argc, argv, opt);
  if (iParsed == 1) return 0;
  if (iParsed == 2) return 2;

  std::FILE* out = stdout;
  if (!opt.OutputName.empty()) {
    out = std::fopen(opt.OutputName.c_str(), "wb");
    if (!out) {
      std::fprintf(stderr, "gen_events: cannot create %s: %s\n", opt.OutputName.c_str(), std::strerror(errno));
      return 1;
    }
  }
  const bool bWritten = WRITE_CATALOGUE(opt, out);
  const bool bClosed = out == stdout || std::fclose(out) == 0;
  if (!bWritten || !bClosed) {
    std::fprintf(stderr, "gen_events: cannot write %s\n", opt.OutputName.empty() ? "standard output" : opt.OutputName.c_str());
    return 1;
  }
  return 0;
}
