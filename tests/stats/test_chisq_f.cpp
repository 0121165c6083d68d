// Chi-square and F routines against published tables, hand calculations and the
// reference methods of reference.h.
#include <gtest/gtest.h>

#include <cmath>

#include "reference.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

struct Row2 {
  double a;
  double b;
  double want;
  double tol;
  const char* source;
};

TEST(ChisqCdf, ZeroAndBelowAreZero) {
  EXPECT_EQ(chisq_cdf(0.0, 3.0), 0.0);
  EXPECT_EQ(chisq_cdf(-4.0, 3.0), 0.0);
  EXPECT_EQ(chisq_cdf(0.0, 150.0), 0.0);
  // Far in the lower tail the asymptotic sums must not go negative.
  for (double nu : {0.5, 1.0, 2.0, 3.0, 7.5, 40.0, 99.0, 100.0, 300.0}) {
    for (double x : {1e-300, 1e-12, 1e-3, 0.5}) EXPECT_GE(chisq_cdf(x, nu), 0.0) << nu << " " << x;
  }
}

TEST(ChisqCdf, ClosedForms) {
  // nu = 2: 1 - e^(-x/2); nu = 1: 2 Phi(sqrt x) - 1 = erf(sqrt(x/2)); nu = 4: 1 - e^(-x/2)(1 + x/2)
  for (double x : {0.01, 0.3, 1.0, 3.84, 9.0, 20.0, 60.0}) {
    EXPECT_NEAR(chisq_cdf(x, 2.0), -std::expm1(-x / 2.0), 1e-6) << x;
    EXPECT_NEAR(chisq_cdf(x, 1.0), std::erf(std::sqrt(x / 2.0)), 1e-5) << x;
    EXPECT_NEAR(chisq_cdf(x, 4.0), 1.0 - std::exp(-x / 2.0) * (1.0 + x / 2.0), 1e-6) << x;
  }
}

TEST(ChisqCdf, HugeArgumentIsOne) {
  // The finite sums with exp(-y) floored at exp(-500) overflowed to a negative
  // probability (then 0) for y^(a-1) beyond e^500.
  EXPECT_EQ(chisq_cdf(2e6, 98.0), 1.0);
  EXPECT_EQ(chisq_cdf(1e300, 5.0), 1.0);
  EXPECT_EQ(chisq_cdf(INFINITY, 9.0), 1.0);
}

TEST(ChisqQuantile, PublishedPercentagePoints) {
  // A&S Table 26.8 (upper 5 % and lower 5 % points).
  const Row2 rows[] = {
      {0.95, 1, 3.841459, 1e-3, "A&S 26.8"},   {0.95, 2, 5.991465, 1e-3, "A&S 26.8"},
      {0.95, 5, 11.070498, 1e-3, "A&S 26.8"},  {0.95, 10, 18.307038, 1e-3, "A&S 26.8"},
      {0.95, 20, 31.410433, 1e-3, "A&S 26.8"}, {0.95, 50, 67.504807, 2e-3, "A&S 26.8"},
      {0.05, 3, 0.351846, 1e-4, "A&S 26.8"},   {0.01, 1, 0.000157088, 1e-7, "A&S 26.8"},
      {0.99, 30, 50.892181, 2e-3, "A&S 26.8"},
  };
  for (const Row2& r : rows) EXPECT_NEAR(chisq_quantile(r.a, r.b), r.want, r.tol) << r.source;
}

TEST(ChisqQuantile, WilsonHilfertyFrom100On) {
  // nu = 150, p = 0.975: c = 2/1350, 150 (1 - c + 1.959963985 sqrt(c))^3 = 185.80296;
  // the normal quantile's 4e-6 error in z moves x by about 20 times that.
  const double c = 2.0 / 1350.0;
  const double r = 1.0 - c + 1.959963985 * std::sqrt(c);
  EXPECT_NEAR(chisq_quantile(0.975, 150.0), 150.0 * r * r * r, 2e-4);
  // Wilson-Hilferty itself is 0.003 from the exact 185.8004 (reference bisection).
  EXPECT_NEAR(chisq_quantile(0.975, 150.0), 185.8004, 5e-3);
}

TEST(ChisqQuantile, BoundaryValues) {
  EXPECT_EQ(chisq_quantile(0.0, 4.0), 0.0);
  EXPECT_EQ(chisq_quantile(-1.0, 4.0), 0.0);
  EXPECT_EQ(chisq_quantile(1.0, 4.0), 1e200);  // divided by zero before
  EXPECT_EQ(chisq_quantile(1.0, 400.0), 1e200);
  EXPECT_EQ(chisq_quantile(0.5, 0.0), kMissing);
}

TEST(ChisqQuantile, StopsOnFlatBracket) {
  // p so small that every Wilson-Hilferty start is negative: both ends have
  // cdf 0, and the false-position step would divide by zero.
  const double x = chisq_quantile(1e-300, 2.0);
  EXPECT_GE(x, 0.0);
  EXPECT_TRUE(std::isfinite(x));
}

TEST(FCdf, ExchangedFirstDegreeOfOne) {
  // P(F(5, 1) <= 2.5) = 1 - P(F(1, 5) <= 0.4) = 0.5549 (reference); the
  // 32-point rule on the singular F(1, 5) density gave 0.5613.
  EXPECT_NEAR(f_cdf(2.5, 5.0, 1.0), static_cast<double>(ref::f_cdf(2.5, 5, 1)), 2e-5);
  EXPECT_NEAR(f_cdf(2.5, 5.0, 1.0), 0.5549, 1e-4);
}

TEST(FCdf, HandCalculations) {
  // F(2, 2): P(F <= x) = x/(1 + x), so P(F <= 3) = 0.75 and P(F <= 0.25) = 0.2.
  EXPECT_NEAR(f_cdf(3.0, 2.0, 2.0), 0.75, 1e-6);
  EXPECT_NEAR(f_cdf(0.25, 2.0, 2.0), 0.2, 1e-6);
  EXPECT_EQ(f_cdf(0.0, 3.0, 4.0), 0.0);
  EXPECT_EQ(f_cdf(2.0, 0.0, 4.0), 0.0);
  EXPECT_EQ(f_cdf(2.0, 3.0, -1.0), 0.0);
}

TEST(FDensity, ClosedForm) {
  // F(2, 2) density 1/(1 + x)^2; F(4, 4) density 6x/(1 + x)^4.
  for (double x : {0.1, 0.5, 1.0, 3.0}) {
    EXPECT_NEAR(f_density(x, 2.0, 2.0), 1.0 / ((1.0 + x) * (1.0 + x)), 1e-6) << x;
    EXPECT_NEAR(f_density(x, 4.0, 4.0), 6.0 * x / std::pow(1.0 + x, 4.0), 1e-5) << x;
  }
  EXPECT_EQ(f_density(-1.0, 3.0, 3.0), 0.0);
  EXPECT_EQ(f_density(1e6, 3.0, 3.0), 1e-14);  // floored far in the tail
}

TEST(FQuantile, PublishedPercentagePoints) {
  // Upper 5 % points, A&S Table 26.9; F(2, 2) by hand: x/(1 + x) = 0.95 gives 19.
  const struct {
    double n1, n2, want, tol;
  } rows[] = {{5, 10, 3.3258, 1e-3},  {3, 20, 3.0984, 1e-3}, {1, 10, 4.9646, 1e-3},
              {10, 1, 241.88, 0.05},  {2, 2, 19.0, 1e-3},    {4, 30, 2.6896, 1e-3},
              {12, 60, 1.9174, 1e-3}, {1, 1, 161.45, 0.05}};
  for (const auto& r : rows) {
    EXPECT_NEAR(f_quantile(0.95, r.n1, r.n2), r.want, r.tol) << r.n1 << " " << r.n2;
  }
  // Lower tail: F(0.05; 5, 10) = 1/F(0.95; 10, 5) = 1/4.7351
  EXPECT_NEAR(f_quantile(0.05, 5.0, 10.0), 1.0 / 4.7351, 1e-4);
}

TEST(FQuantile, BoundaryValues) {
  EXPECT_EQ(f_quantile(0.0, 3.0, 4.0), 0.0);
  EXPECT_EQ(f_quantile(1.0, 3.0, 4.0), 1e200);  // divided by zero before
  EXPECT_EQ(f_quantile(1.0, 1.0, 4.0), 1e200);
  EXPECT_EQ(f_quantile(0.5, 0.0, 4.0), kMissing);
}

TEST(FQuantile, LargeDegreesOfFreedom) {
  // nu2 > 500: chi-square(nu1)/nu1; chi2(0.95; 4) = 9.487729 (A&S 26.8)
  EXPECT_NEAR(f_quantile(0.95, 4.0, 1000.0), 9.487729 / 4.0, 2e-4);
  // both > 500: d = 1000/998, z(0.95) = 1.644854, d (1 + z sqrt(2 x 1598/(996 x 600)))
  const double d = 1000.0 / 998.0;
  EXPECT_NEAR(f_quantile(0.95, 600.0, 1000.0),
              d + 1.644854 * d * std::sqrt(2.0 * 1598.0 / (996.0 * 600.0)), 1e-5);
}

}  // namespace
}  // namespace ztq
