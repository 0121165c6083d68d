// Incomplete beta and gamma-function routines against closed forms and
// published values (the sweeps against the reference methods are in
// test_accuracy.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

TEST(Ibeta, ClosedForms) {
  for (double x : {0.01, 0.2, 0.5, 0.77, 0.99}) {
    // I_x(a, 1) = x^a; I_x(1, b) = 1 - (1 - x)^b; I_x(1/2, 1/2) = (2/pi) asin(sqrt x)
    EXPECT_NEAR(ibeta(x, 3.5, 1.0), std::pow(x, 3.5), 1e-6) << x;
    EXPECT_NEAR(ibeta(x, 1.0, 4.0), 1.0 - std::pow(1.0 - x, 4.0), 1e-6) << x;
    EXPECT_NEAR(ibeta(x, 0.5, 0.5), 2.0 / std::numbers::pi * std::asin(std::sqrt(x)), 1e-6) << x;
  }
  // I_0.3(2, 3) = P(Bin(4, 0.3) >= 2) = 6(.09)(.49) + 4(.027)(.7) + .0081 = 0.3483
  EXPECT_NEAR(ibeta(0.3, 2.0, 3.0), 0.3483, 1e-6);
  EXPECT_EQ(ibeta(0.0, 2.0, 3.0), 0.0);
  EXPECT_EQ(ibeta(1.0, 2.0, 3.0), 1.0);
  EXPECT_EQ(ibeta(-0.5, 2.0, 3.0), 0.0);
}

// Shapes far beyond the b recurrence (the T-squared chart's beta limits at
// 10^6 points): reference values by 40-digit quadrature of the beta density
// (mpmath 1.3), quantiles by bisection on it; I_1/2(a, a) = 1/2 by symmetry.
TEST(Ibeta, LargeShapes) {
  struct Row {
    double x, a, b, want, tol;
  } rows[] = {{1e-5, 5, 499994.5, 0.55950496025143914, 1e-8},
              {2e-5, 5, 499994.5, 0.97074787942701624, 1e-8},
              {0.5, 3e5, 3e5, 0.5, 1e-7},
              {0.99998, 499994.5, 5, 1.0 - 0.97074787942701624, 1e-8}};
  for (const Row& r : rows) EXPECT_NEAR(ibeta(r.x, r.a, r.b), r.want, r.tol) << r.x << " " << r.b;
  struct Inv {
    double p, a, b, want;
  } inv[] = {{0.9973, 5, 499994.5, 2.6900738265314963e-5},
             {0.5, 5, 499994.5, 9.3418395235859393e-6}};
  for (const Inv& r : inv) EXPECT_NEAR(ibeta_inv(r.p, r.a, r.b), r.want, 1e-8 * r.want) << r.p;
}

TEST(IbetaInv, ClosedFormsAndEnds) {
  EXPECT_EQ(ibeta_inv(1.0, 2.0, 3.0), 1.0);
  EXPECT_EQ(ibeta_inv(0.0, 2.0, 3.0), 0.0);
  EXPECT_EQ(ibeta_inv(0.5, 0.0, 3.0), kMissing);
  // Median of beta(2, 2) is 0.5 by symmetry; I_x(1, 4) = p gives x = 1 - (1 - p)^(1/4).
  EXPECT_NEAR(ibeta_inv(0.5, 2.0, 2.0), 0.5, 1e-6);
  EXPECT_NEAR(ibeta_inv(0.3, 1.0, 4.0), 1.0 - std::pow(0.7, 0.25), 1e-6);
}

TEST(IbetaInv, ConvergesFromAStartInTheFlatTail) {
  // Beta(1, 12) at p = 0.99: both 26.5.22 starts lie in the flat upper tail;
  // plain false position crept for its 30 steps and stopped at I = 0.9911.
  // I_x(1, 12) = 1 - (1 - x)^12, so x = 1 - 0.01^(1/12) = 0.31871.
  EXPECT_NEAR(ibeta_inv(0.99, 1.0, 12.0), 1.0 - std::pow(0.01, 1.0 / 12.0), 1e-6);
  // F(0.999; 2, 24) = 9.3394 (reference bisection; the creeping search gave 12.07)
  EXPECT_NEAR(f_quantile(0.999, 2.0, 24.0), 9.3394, 2e-3);
}

TEST(Gamma, StatedValues) {
  EXPECT_EQ(gamma_fn(0.0), kMissing);
  EXPECT_NEAR(gamma_fn(0.5), 1.7724538509, 1e-6);    // sqrt(pi) = Gamma(1.5)/0.5
  EXPECT_NEAR(gamma_fn(-0.5), -3.5449077018, 2e-6);  // -2 sqrt(pi)
  EXPECT_NEAR(gamma_fn(1.5), 0.8862269255, 3e-7);    // sqrt(pi)/2, A&S 6.1.36 error bound
  EXPECT_NEAR(gamma_fn(5.0), 24.0, 1e-4);
  EXPECT_NEAR(gamma_fn(-2.5), -0.9453087205, 1e-6);  // sqrt(pi)/((-2.5)(-1.5)(-0.5))
}

TEST(Gamma, NegativeIntegersArePoles) {
  // The recursion divided Gamma(0) = -32768 by -1 and gave 32768 at -1.
  for (double x : {-1.0, -2.0, -7.0, -150.0, -1e300}) EXPECT_EQ(gamma_fn(x), kMissing) << x;
}

TEST(Gamma, OverflowIsTheLimitNotAnAbort) {
  EXPECT_NO_THROW(gamma_fn(100.0));
  EXPECT_EQ(gamma_fn(200.0), INFINITY);
  EXPECT_EQ(gamma_fn(-300.5), 0.0);       // |Gamma| far below 1e-300
  EXPECT_EQ(gamma_fn(-1e300), kMissing);  // every double this large is a whole number
}

TEST(LogGamma, SeriesAndItsKnownErrorJustAbove2) {
  for (double x : {0.1, 0.5, 1.0, 1.9, 3.0, 10.0, 55.5, 1000.0}) {
    EXPECT_NEAR(log_gamma(x), std::lgamma(x), 2e-6 * std::max(1.0, std::fabs(std::lgamma(x)))) << x;
  }
  // Stirling's series in z = x - 1 is short for z near 1: at x = 2 + 1e-9,
  // ln Gamma is 4.2e-10, the series gives 0.91893854 - 1 + 1/12 - 1/360 +
  // 1/1260 - 1/1680 = -3.077e-4.
  EXPECT_NEAR(log_gamma(2.0 + 1e-9), -3.077e-4, 1e-6);
  EXPECT_THROW(log_gamma(0.0), DomainAbort);   // ln of Gamma(0) = -32768
  EXPECT_THROW(log_gamma(-0.5), DomainAbort);  // ln of a negative Gamma
}

TEST(LogGamma2, EndsOfTheRange) {
  // The accuracy sweep compares it with lgamma on (0, 170); here the ends.
  EXPECT_NEAR(log_gamma2(1e-3), std::lgamma(1e-3), 1e-9 * std::lgamma(1e-3));
  EXPECT_EQ(log_gamma2(0.0), kMissing);
  EXPECT_EQ(log_gamma2(-3.0), kMissing);
  EXPECT_EQ(log_gamma2(170.0), kMissing);
}

}  // namespace
}  // namespace ztq
