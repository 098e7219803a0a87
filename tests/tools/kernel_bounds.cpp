// Measures the vector kernels' errors over the arguments the scan gives them and sets
// them against the bounds the certificate uses (kernel_body.h, TERM_BOUND). Not a test:
// run it by hand after a change to a kernel; it prints the largest errors seen.
//
//   kernel_bounds [nArguments]     (default 10^7)
//
// The exact values come from long double (64-bit significand): far finer than the
// errors measured here.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "engine.h"
#include "lanes.h"

namespace {

struct Worst {
  double value = 0.0;
  double at = 0.0, atA = 0.0;
  void TAKE(double v, double x, double A) {
    if (v > value) value = v, at = x, atA = A;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int32_t n = ((argc > 1 ? std::atoi(argv[1]) : 10000000) + 7) / 8 * 8;
  std::mt19937_64 rng(2718);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<double> y(n), FI(n), cFI(n), sFI(n), x(n), A(n), c(n), t(n);
  for (int32_t i = 0; i < n; ++i) {
    // Arguments as the scan forms them: y = a time up to 10^6 times an angular frequency
    // from 2 pi / 10^6 to 2 pi, then x = y + a phase; a share placed next to an odd
    // multiple of pi (cos near -1) and next to a zero of the cosine.
    const double td = static_cast<double>(static_cast<float>(std::pow(10.0, 6.0 * unit(rng))));
    const double Omega = static_cast<double>(static_cast<float>(6.2831855 / std::pow(10.0, 6.0 * unit(rng))));
    FI[i] = static_cast<double>(static_cast<float>(6.2831855 * unit(rng)));
    switch (i % 4) {
      case 1: y[i] = (2.0 * std::floor(td) + 1.0) * 3.141592653589793 + (unit(rng) - 0.5) * 1e-6 - FI[i]; break;
      case 2: y[i] = (std::floor(td) + 0.5) * 3.141592653589793 + (unit(rng) - 0.5) * 1e-6 - FI[i]; break;
      default: y[i] = td * Omega; break;
    }
    if (i % 8 == 3) FI[i] = 0.0;
    cFI[i] = std::cos(FI[i]);
    sFI[i] = std::sin(FI[i]);
    // Amplitudes near 0, near 1, the search's last point at the upper end, and between.
    switch (i % 5) {
      case 0: A[i] = static_cast<float>(std::pow(10.0, -7.0 + 6.0 * unit(rng))); break;
      case 1: A[i] = static_cast<float>(1.0 - std::pow(10.0, -6.4 + 5.0 * unit(rng))); break;
      case 2: A[i] = 0.999999523f; break;
      default: A[i] = static_cast<float>(unit(rng)); break;
    }
  }
  std::printf("%d arguments, |x| up to %.3g\n", n, 6.2831855e6 + 6.3);
  {
    Worst glibcCos, glibcLog;
    for (int32_t i = 0; i < n; ++i) x[i] = y[i] + FI[i];
    for (int32_t i = 0; i < n; ++i) {
      const long double exact = cosl(static_cast<long double>(x[i]));
      const double g = std::cos(x[i]);
      glibcCos.TAKE(std::fabs(static_cast<double>(g - exact)) / std::ldexp(1.0, std::ilogb(g) - 52), x[i], 0);
      const double u = 1.0 + A[i] * g;
      const double lg = std::log(u);
      const long double le = logl(static_cast<long double>(u));
      glibcLog.TAKE(std::fabs(static_cast<double>(lg - le)) / std::ldexp(1.0, std::ilogb(lg) - 52), u, A[i]);
    }
    std::printf("glibc cos: largest error %.3f ulp (at x = %.17g); glibc log: %.3f ulp; the bound counts 2 ulp\n",
                glibcCos.value, glibcCos.at, glibcLog.value);
  }
  for (EngineKind kind : {ENGINE_AVX2, ENGINE_AVX512}) {
    if (!ENGINE_SUPPORTED(kind)) continue;
    (kind == ENGINE_AVX512 ? TERMS_AVX512 : TERMS_AVX2)(y.data(), FI.data(), cFI.data(), sFI.data(), A.data(), n,
                                                         x.data(), c.data(), t.data());
    Worst cosExact, cosGlibc, logAbs, logRel, termRatio;
    double termWorst = 0.0;
    for (int32_t i = 0; i < n; ++i) {
      const long double exact = cosl(static_cast<long double>(x[i]));
      cosExact.TAKE(std::fabs(static_cast<double>(c[i] - exact)), x[i], A[i]);
      cosGlibc.TAKE(std::fabs(c[i] - std::cos(x[i])), x[i], A[i]);
      const double u = std::fma(A[i], c[i], 1.0);
      const long double le = logl(static_cast<long double>(u));
      const double err = std::fabs(static_cast<double>(t[i] - le));
      logAbs.TAKE(err, u, A[i]);
      if (le != 0) logRel.TAKE(err / std::fabs(static_cast<double>(le)), u, A[i]);
      const double ref = std::log(1.0 + A[i] * std::cos(x[i]));
      const double bound = TERM_BOUND(A[i]);
      const double diff = std::fabs(t[i] - ref);
      termRatio.TAKE(bound > 0 ? diff / bound : (diff > 0 ? 1e300 : 0.0), x[i], A[i]);
      termWorst = std::max(termWorst, diff);
    }
    std::printf("%s kernel:\n", kind == ENGINE_AVX512 ? "AVX-512" : "AVX2");
    std::printf("  cos - exact cos      largest %.3g (bound used 4.0e-15, derived 2.5e-15) at x = %.17g\n",
                cosExact.value, cosExact.at);
    std::printf("  cos - glibc cos      largest %.3g (bound used 4.0e-15 + 2^-51)\n", cosGlibc.value);
    std::printf("  log - exact log      largest %.3g absolute at u = %.17g; %.3g relative\n", logAbs.value,
                logAbs.at, logRel.value);
    std::printf("  term - FUNCTI's term largest %.3g; largest share of the lane bound %.3g (A = %.9g, x = %.17g)\n",
                termWorst, termRatio.value, termRatio.atA, termRatio.at);
  }
  return 0;
}
