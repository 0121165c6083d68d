// A sweep of absurd arguments through every routine: each call returns (a
// value or a DomainAbort) promptly, without crashing or reading out of bounds.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const std::vector<double> kBad = {kNaN, kInf, -kInf, -1e300, -1.0, -0.5,     0.0,  1e-300,
                                  0.5,  1.0,  2.0,   1.5,    3.0,  -32768.0, 1e300};

// Runs f, accepting a result or a DomainAbort; counts both.
template <class F>
void call(F&& f, int& results, int& aborts) {
  try {
    volatile double r = f();
    (void)r;
    ++results;
  } catch (const DomainAbort&) {
    ++aborts;
  }
}

TEST(Fuzz, ScalarRoutinesTerminate) {
  const auto start = std::chrono::steady_clock::now();
  int results = 0, aborts = 0;
  for (double a : kBad) {
    call([&] { return norm_cdf(a); }, results, aborts);
    call([&] { return norm_quantile(a); }, results, aborts);
    call([&] { return gamma_fn(a); }, results, aborts);
    call([&] { return log_gamma(a); }, results, aborts);
    call([&] { return log_gamma2(a); }, results, aborts);
    for (double b : kBad) {
      call([&] { return t_cdf(a, b); }, results, aborts);
      call([&] { return t_quantile(a, b); }, results, aborts);
      call([&] { return chisq_cdf(a, b); }, results, aborts);
      call([&] { return chisq_quantile(a, b); }, results, aborts);
      for (double c : kBad) {
        call([&] { return norm_cdf_of(a, b, c); }, results, aborts);
        call([&] { return norm_quantile_of(a, b, c); }, results, aborts);
        call([&] { return f_density(a, b, c); }, results, aborts);
        call([&] { return f_cdf(a, b, c); }, results, aborts);
        call([&] { return f_quantile(a, b, c); }, results, aborts);
        call([&] { return ibeta(a, b, c); }, results, aborts);
        call([&] { return ibeta_inv(a, b, c); }, results, aborts);
      }
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(results + aborts, 5 * 15 + 4 * 15 * 15 + 7 * 15 * 15 * 15);
  EXPECT_LT(seconds, 20.0);
}

TEST(Fuzz, CodedFamilyTerminates) {
  // Parameters from a shorter list (4 parameters x 2 arguments per code).
  const std::vector<double> params = {kNaN, -kInf, -1.0, 0.0, 0.3, 1.0, 2.5, 1e300};
  const std::vector<double> args = {kNaN, -kInf, kInf, -1e300, -1.0, 0.0, 0.5, 1.0, 7.0, 1e300};
  const auto start = std::chrono::steady_clock::now();
  int results = 0, aborts = 0;
  for (int code = -1; code <= 24; ++code) {
    for (double p0 : params) {
      for (double p1 : params) {
        for (double p2 : {0.0, 1.0, kNaN, -1e300}) {
          double p[4] = {p0, p1, p2, 0.5};
          call(
              [&] {
                fill_derived(code, p);
                return p[2];
              },
              results, aborts);
          for (double x : args) {
            call([&] { return coded_density(code, p, x); }, results, aborts);
            call([&] { return coded_cdf(code, p, x); }, results, aborts);
            call([&] { return coded_quantile(code, p, x); }, results, aborts);
            call([&] { return density_integral(code, p, x); }, results, aborts);
          }
        }
      }
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GT(results, 0);
  EXPECT_LT(seconds, 60.0);
  std::printf("coded sweep: %d results, %d aborts, %.2f s\n", results, aborts, seconds);
}

TEST(Fuzz, CumulativeProbabilitiesStayInTheUnitInterval) {
  // Where a cdf returns a number for valid parameters, it is a probability.
  const double xs[] = {-1e300, -50.0, -1.0, 0.0, 0.3, 1.0, 4.0, 80.0, 1e300};
  for (double nu : {0.5, 1.0, 2.0, 3.5, 30.0, 99.0, 100.0, 1e4}) {
    for (double x : xs) {
      for (double v : {t_cdf(x, nu), chisq_cdf(x, nu), f_cdf(x, nu, 3.0), f_cdf(x, 2.0, nu)}) {
        EXPECT_GE(v, 0.0) << nu << " " << x;
        EXPECT_LE(v, 1.0) << nu << " " << x;
      }
    }
  }
}

}  // namespace
}  // namespace ztq
