// Normal and Student t routines against published tables and closed forms
// (the sweeps against the reference methods are in test_accuracy.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

struct Row {
  double x;
  double want;
  double tol;
  const char* source;
};

TEST(NormCdf, ExactValuesAtTheCentreAndTheEnds) {
  EXPECT_EQ(norm_cdf(0.0), 0.5);
  EXPECT_EQ(norm_quantile(0.5), 0.0);
  EXPECT_EQ(norm_quantile(1.0), 1e200);
  EXPECT_EQ(norm_quantile(0.0), -1e200);
  EXPECT_EQ(norm_quantile(1.5), 1e200);
  EXPECT_EQ(norm_quantile(-0.2), -1e200);
  EXPECT_EQ(norm_cdf(-1e300), 0.0);
  EXPECT_EQ(norm_cdf(INFINITY), 1.0);
}

TEST(NormCdf, AbramowitzStegunTable26_1) {
  // The folded 26.2.17 coefficients are good to about 3e-6 (docs/accuracy.md).
  const Row rows[] = {
      {1.0, 0.8413447461, 3e-6, "A&S Table 26.1, x = 1"},
      {1.96, 0.9750021049, 3e-6, "A&S Table 26.1, x = 1.96"},
      {-1.645, 0.0499849055, 3e-6, "A&S Table 26.1, x = 1.645, lower tail"},
      {3.0, 0.9986501020, 3e-6, "A&S Table 26.1, x = 3"},
      {-0.5, 0.3085375387, 3e-6, "A&S Table 26.1, x = 0.5, lower tail"},
  };
  for (const Row& r : rows) EXPECT_NEAR(norm_cdf(r.x), r.want, r.tol) << r.source;
}

TEST(NormCdf, OfAValue) {
  // (13 - 10) / 2 = 1.5: Phi(1.5) = 0.9331927987 (A&S Table 26.1)
  EXPECT_NEAR(norm_cdf_of(13.0, 10.0, 2.0), 0.9331927987, 3e-6);
  // A zero standard deviation is the point mass at the mean.
  EXPECT_EQ(norm_cdf_of(9.9, 10.0, 0.0), 0.0);
  EXPECT_EQ(norm_cdf_of(10.0, 10.0, 0.0), 1.0);
}

TEST(NormQuantile, PublishedPercentagePoints) {
  // The six-digit coefficients (0.342241 in the numerator) leave up to 6e-6 in z
  // (docs/accuracy.md).
  const Row rows[] = {
      {0.975, 1.959963985, 1e-5, "A&S Table 26.5: z(0.025 upper) = 1.959964"},
      {0.95, 1.644853627, 1e-5, "A&S Table 26.5"},
      {0.995, 2.575829304, 1e-5, "A&S Table 26.5"},
      {0.001, -3.090232306, 1e-5, "A&S Table 26.5, lower tail"},
      {0.8413447461, 1.0, 1e-5, "Phi(1) inverted"},
  };
  for (const Row& r : rows) EXPECT_NEAR(norm_quantile(r.x), r.want, r.tol) << r.source;
  EXPECT_NEAR(norm_quantile_of(0.975, 100.0, 15.0), 100.0 + 15.0 * 1.959963985, 15.0 * 1e-5);
}

TEST(TQuantile, StatedValues) {
  EXPECT_NEAR(t_quantile(0.975, 1.0), 12.7062, 1e-4);  // cot(0.05 pi/2) = 12.70620
  EXPECT_NEAR(t_quantile(0.975, 2.0), 4.3027, 1e-4);   // sqrt(2/(0.05 x 1.95) - 2) = 4.30265
  EXPECT_NEAR(t_quantile(0.025, 1.0), -12.7062, 1e-4);
  EXPECT_NEAR(t_quantile(0.025, 2.0), -4.3027, 1e-4);
  EXPECT_EQ(t_quantile(0.975, 700.0), norm_quantile(0.975));
  EXPECT_EQ(t_quantile(0.025, 700.0), norm_quantile(0.025));
  EXPECT_EQ(t_quantile(0.975, 0.0), kMissing);
}

TEST(TQuantile, NoDivisionByZero) {
  EXPECT_EQ(t_quantile(0.9, 0.5), kMissing);  // a = 1/(nu - 0.5) divides by zero
  EXPECT_EQ(t_quantile(0.9, 0.7), kMissing);
  EXPECT_EQ(t_quantile(1.0, 5.0), 1e200);
  EXPECT_EQ(t_quantile(0.0, 1.0), -1e200);
}

TEST(TQuantile, StudentTableTwoSided5Percent) {
  // Fisher and Yates, Statistical Tables, Table III (P = 0.05, two-sided).
  const Row rows[] = {{3, 3.182, 1e-3, "nu = 3"},   {5, 2.571, 1e-3, "nu = 5"},
                      {10, 2.228, 1e-3, "nu = 10"}, {20, 2.086, 1e-3, "nu = 20"},
                      {30, 2.042, 1e-3, "nu = 30"}, {120, 1.980, 1e-3, "nu = 120"}};
  for (const Row& r : rows) {
    EXPECT_NEAR(t_quantile(0.975, r.x), r.want, r.tol) << r.source;
    EXPECT_NEAR(t_quantile(0.025, r.x), -r.want, r.tol) << r.source;
  }
}

TEST(TCdf, ClosedFormsForSmallDegreesOfFreedom) {
  // nu = 1: 1/2 + atan(t)/pi; nu = 2: 1/2 + t/(2 sqrt(2 + t^2)) (A&S 26.7.3).
  for (double t : {-30.0, -3.0, -0.4, 0.0, 0.7, 2.0, 12.0}) {
    EXPECT_NEAR(t_cdf(t, 1.0), 0.5 + std::atan(t) / std::numbers::pi, 1e-6) << t;
    EXPECT_NEAR(t_cdf(t, 2.0), 0.5 + t / (2.0 * std::sqrt(2.0 + t * t)), 1e-6) << t;
  }
}

}  // namespace
}  // namespace ztq
