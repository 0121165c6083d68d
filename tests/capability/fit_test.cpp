// The eight fits against their equations written out here: closed forms by
// hand, the Weibull and logistic maximum-likelihood conditions at the fitted
// point, Greenwood and Durand's two branches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "capability/capability.h"
#include "capability/fit.h"
#include "stats/distributions.h"

namespace ztq {
namespace {

constexpr double kPi = 3.141592653589793;

FitData data_of(std::vector<double> x) {
  FitData d;
  d.x = std::move(x);
  const double n = static_cast<double>(d.x.size());
  d.mean = std::accumulate(d.x.begin(), d.x.end(), 0.0) / n;
  double ss = 0;
  for (double v : d.x) ss += (v - d.mean) * (v - d.mean);
  d.sd = std::sqrt(ss / (n - 1));
  std::vector<double> s = d.x;
  std::sort(s.begin(), s.end());
  const size_t m = s.size() / 2;
  d.median = s.size() % 2 ? s[m] : 0.5 * (s[m - 1] + s[m]);
  return d;
}

// 2 3 5 7 11 13: mean 6.8333, s 4.40076, median 6
const FitData kSix = data_of({2, 3, 5, 7, 11, 13});

double log_mean(const FitData& d) {
  double s = 0;
  for (double v : d.x) s += std::log(v);
  return s / static_cast<double>(d.x.size());
}
double log_var(const FitData& d) {
  const double m = log_mean(d);
  double s = 0;
  for (double v : d.x) s += (std::log(v) - m) * (std::log(v) - m);
  return s / static_cast<double>(d.x.size() - 1);
}

TEST(CapabilityFit, ClosedForms) {
  const double s = kSix.sd, m = kSix.mean;
  // Exponential: the mean.
  FitResult f = fit_distribution(0, kSix);
  EXPECT_EQ(f.param[0], m);
  EXPECT_EQ(f.dist_mean, m);
  // Smallest extreme value: scale sqrt(6) s / pi = 3.43123, location mean + 0.57721 scale.
  f = fit_distribution(1, kSix);
  EXPECT_NEAR(f.param[1], std::sqrt(6.0) * s / kPi, 1e-12);
  EXPECT_NEAR(f.param[0], m + 0.57721 * std::sqrt(6.0) * s / kPi, 1e-12);
  EXPECT_NEAR(f.dist_mean, m, 1e-12);
  // Normal: mean and sd.
  f = fit_distribution(3, kSix);
  EXPECT_EQ(f.param[0], m);
  EXPECT_EQ(f.param[1], s);
  // Laplace: |x - 6| = 4 3 1 1 5 7, mean 21 / 6 = 3.5: rate 1 / 3.5.
  f = fit_distribution(13, kSix);
  EXPECT_EQ(f.param[0], 6);
  EXPECT_NEAR(f.param[1], 1 / 3.5, 1e-15);
}

TEST(CapabilityFit, LognormalMomentsAndDerivedParameters) {
  const double lm = log_mean(kSix), lv = log_var(kSix);
  const FitResult f = fit_distribution(2, kSix);
  EXPECT_NEAR(f.param[0], std::exp(lm + lv / 2), 1e-12);
  EXPECT_NEAR(f.param[1], std::sqrt((std::exp(lv) - 1) * std::exp(2 * lm + lv)), 1e-12);
  // Derived back from p1, p2 they are the log-mean and log-sd again.
  EXPECT_NEAR(f.param[2], lm, 1e-12);
  EXPECT_NEAR(f.param[3], std::sqrt(lv), 1e-12);
  // Entered parameters derive the same way: mean 10, sd 5 gives
  // sigma^2 = ln(125 / 100) = 0.22314, mu = ln(100 / sqrt(125)) = 2.19101.
  double p[4] = {10, 5, kMissing, kMissing}, mean = 0;
  derive_parameters(2, p, mean);
  EXPECT_NEAR(p[2], std::log(100 / std::sqrt(125.0)), 1e-12);
  EXPECT_NEAR(p[3], std::sqrt(std::log(1.25)), 1e-12);
  EXPECT_EQ(mean, 10);
}

TEST(CapabilityFit, WeibullNewtonStepsReachTheLikelihoodEquation) {
  const FitResult f = fit_distribution(4, kSix);
  const double b = f.param[0];
  ASSERT_GT(f.evaluations, 0);  // iterated (the start pi / sqrt(6 var ln x) is below 50)
  ASSERT_LT(f.evaluations, 25);
  // At the maximum: 1/b + mean(ln x) - S1/S0 = 0 (Cohen 1965), scale = (S0/n)^(1/b).
  double s0 = 0, s1 = 0;
  for (double v : kSix.x) {
    s0 += std::pow(v, b);
    s1 += std::pow(v, b) * std::log(v);
  }
  EXPECT_NEAR(1 / b + log_mean(kSix) - s1 / s0, 0, 1e-4);
  EXPECT_NEAR(f.param[1], std::pow(s0 / 6, 1 / b), 1e-3 * f.param[1]);
  EXPECT_EQ(f.param[2], 0);
  // The library's Gamma function is good to about 1e-6 relative.
  EXPECT_NEAR(f.dist_mean, f.param[1] * std::tgamma(1 / b) / b, 1e-6 * f.dist_mean);
}

TEST(CapabilityFit, WeibullStartOfFiftySkipsTheSteps) {
  // Values within 1 % of each other: var(ln x) is tiny, the start is above 50.
  const FitData d = data_of({100, 100.5, 101, 99.5, 99, 100.2});
  const double start = 1 / std::sqrt(6 * log_var(d) / (kPi * kPi));
  ASSERT_GE(start, 50);
  const FitResult f = fit_distribution(4, d);
  EXPECT_EQ(f.evaluations, 0);
  EXPECT_NEAR(f.param[0], start, 1e-9 * start);
  EXPECT_NEAR(f.param[1], d.mean * start / std::tgamma(1 / start), 1e-6 * d.mean);
  EXPECT_NEAR(f.dist_mean, d.mean, 1e-9 * d.mean);  // the same Gamma both ways
}

TEST(CapabilityFit, GammaGreenwoodDurandBranches) {
  // y at exactly 0.5772 takes the small-y formula:
  // (0.5000876 + 0.1648852 y - 0.0544274 y^2) / y = 0.999873.
  const double y = 0.5772;
  EXPECT_NEAR(greenwood_durand_shape(y), (0.5000876 + 0.1648852 * y - 0.0544274 * y * y) / y,
              1e-15);
  const double y2 = 0.6;  // above: the other rational function
  EXPECT_NEAR(greenwood_durand_shape(y2),
              (8.898919 + 9.05995 * y2 + 0.9775373 * y2 * y2) /
                  (y2 * (17.79728 + 11.968477 * y2 + y2 * y2)),
              1e-15);
  // The fit: y = ln(mean) - mean(ln x), rate = shape / mean,
  // parameter 3 = shape ln(rate) - lnGamma(shape).
  const FitResult f = fit_distribution(12, kSix);
  const double yy = std::log(kSix.mean) - log_mean(kSix);
  const double a = greenwood_durand_shape(yy);
  EXPECT_NEAR(f.param[0], a, 1e-12);
  EXPECT_NEAR(f.param[1], a / kSix.mean, 1e-12);
  // The library's lnGamma (Stirling's series) is good to about 1e-5.
  EXPECT_NEAR(f.param[2], a * std::log(a / kSix.mean) - std::lgamma(a), 1e-4);
  EXPECT_NEAR(f.dist_mean, kSix.mean, 1e-12);
}

TEST(CapabilityFit, LogisticSimplexFindsTheMaximum) {
  const FitResult f = fit_distribution(14, kSix);
  ASSERT_LT(f.evaluations, 5000);
  const double best = logistic_neg_log_likelihood(kSix.x, f.param[0], f.param[1]);
  // Every neighbour 0.5 % away scores no better (up to the stopping tolerance).
  for (double dm : {-1.0, 0.0, 1.0})
    for (double ds : {-1.0, 0.0, 1.0}) {
      const double v = logistic_neg_log_likelihood(kSix.x, f.param[0] + 0.005 * dm * kSix.sd,
                                                   f.param[1] * (1 + 0.005 * ds));
      EXPECT_GE(v, best - 1e-5 * std::fabs(best));
    }
  // Location equation of the maximum: sum (1 - 2 F(x)) = 0 (the score in the mean).
  double score = 0;
  const double p[4] = {f.param[0], f.param[1], kMissing, kMissing};
  for (double v : kSix.x) score += 1 - 2 * coded_cdf(14, p, v);
  EXPECT_NEAR(score, 0, 0.02);
  // An impossible parameter set scores n x 999999999.9.
  EXPECT_EQ(logistic_neg_log_likelihood(kSix.x, 1, -1), 6 * 999999999.9);
}

}  // namespace
}  // namespace ztq
