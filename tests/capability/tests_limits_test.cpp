// The tests and limits of the capability analysis against published values
// and hand calculations: Shapiro-Wilk, D'Agostino's skewness and kurtosis z,
// the equiprobable chi-square, goodness of fit, and the tolerance factors.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "capability/goodness.h"
#include "capability/normality.h"
#include "capability/tolerance.h"

namespace ztq {
namespace {

std::vector<double> squares(int n) {
  std::vector<double> x;
  for (int i = 1; i <= n; ++i) x.push_back(static_cast<double>(i) * i);
  return x;
}

TEST(ShapiroWilk, ExactCoefficientsAndPublishedExample) {
  struct Case {
    std::vector<double> x;
    double w, w_tol, p_lo, p_hi;
  };
  const Case cases[] = {
      // n 3: a1 = 1/sqrt 2, b = 3/sqrt 2, b^2 = 4.5, SS = 42/9: W = 0.9642857;
      // P = (6/pi)(asin(sqrt W) - pi/3) = 0.6368868 (exact for n 3).
      {{1, 2, 4}, 0.9642857, 1e-6, 0.636886, 0.636888},
      // n 5 with Shapiro and Wilk's (1965) a = 0.6646, 0.2413:
      // b = 0.6646 x 9 + 0.2413 x 2 = 6.4640, SS = 50: W = 0.8356659.
      {{1, 2, 3, 4, 10}, 0.8356659, 1e-6, 0.0, 1.0},
      // Shapiro and Wilk's (1965) weights of 11 men: b = 70.0808 with the
      // tabled a, SS = 6226, W = 0.7888; they report significance below 0.01.
      {{148, 154, 158, 160, 161, 162, 166, 170, 182, 195, 236}, 0.7888, 0.003, 0.001, 0.01},
  };
  for (const Case& c : cases) {
    double w = 0, p = 0;
    ASSERT_TRUE(shapiro_wilk(c.x, w, p)) << c.x.size();
    EXPECT_NEAR(w, c.w, c.w_tol) << c.x.size();
    EXPECT_GE(p, c.p_lo) << c.x.size();
    EXPECT_LE(p, c.p_hi) << c.x.size();
  }
}

TEST(ShapiroWilk, SizeBoundsAndNoRange) {
  std::vector<double> x(2000);
  for (size_t i = 0; i < x.size(); ++i) x[i] = std::sin(0.37 * static_cast<double>(i));
  EXPECT_EQ(normality_tests(x).sw_state, 0);
  x.push_back(0.5);
  EXPECT_EQ(normality_tests(x).sw_state, 1);  // above 2000: not computed
  double w = 0, p = 0;
  EXPECT_FALSE(shapiro_wilk({2, 2, 2, 2}, w, p));
}

// Squares 1..400 (n 20): m2 = 15541.05, m3 = 1177380.6, m4 = 507028187.6625.
// Skewness (D'Agostino 1970): sqrt(b1) = 0.6077099, Y = 1.2851624, beta2 = 3.5777778,
// W^2 = 1.2705848, delta = 2.8899000, alpha = 2.7187124, z = delta asinh(Y / alpha) = 1.3197326.
// Kurtosis (Anscombe and Glynn 1983): b2 = 2.0992849, E = 2.7142857, V = 0.5792369,
// x = -0.8080673, B = 1.7375218, A = 18.3202749, t = 1.2762371, z = -0.8792061.
TEST(Normality, SkewnessAndKurtosisWorkedOut) {
  const NormalityResults r = normality_tests(squares(20));
  ASSERT_TRUE(r.skew_done);
  ASSERT_TRUE(r.kurt_done);
  EXPECT_NEAR(r.skew_z, 1.3197326, 1e-6);
  EXPECT_NEAR(r.skew_p, 0.1869243, 5e-6);
  EXPECT_NEAR(r.kurt_z, -0.8792061, 1e-6);
  EXPECT_NEAR(r.kurt_p, 0.3792895, 5e-6);  // Phi to about 1e-6
}

TEST(Normality, SizeThresholds) {
  struct Case {
    int n;
    bool chi2, skew, kurt;
    int classes;
  };
  // k = ceil(3.7653 (n - 1)^0.4): 28^0.4 = 3.7908 and 29^0.4 = 3.8438, so 15 at n 30.
  const Case cases[] = {{7, false, false, false, 0}, {8, false, true, false, 0},
                        {19, false, true, false, 0}, {20, false, true, true, 0},
                        {29, false, true, true, 0},  {30, true, true, true, 15}};
  for (const Case& c : cases) {
    const NormalityResults r = normality_tests(squares(c.n));
    EXPECT_EQ(r.chi2_done, c.chi2) << c.n;
    EXPECT_EQ(r.skew_done, c.skew) << c.n;
    EXPECT_EQ(r.kurt_done, c.kurt) << c.n;
    if (c.chi2) {
      EXPECT_EQ(r.chi2_classes, c.classes);
      EXPECT_EQ(r.chi2_df, c.classes - 3);
      EXPECT_TRUE(std::isfinite(r.chi2) && r.chi2_p >= 0 && r.chi2_p <= 1);
    }
  }
  EXPECT_EQ(equiprobable_classes(1000000), 100);  // capped
}

TEST(Normality, HeavyTiesStillGiveNumbers) {
  std::vector<double> x(40, 5.0);
  x[0] = 6;
  const NormalityResults r = normality_tests(x);
  ASSERT_TRUE(r.chi2_done);
  EXPECT_TRUE(std::isfinite(r.chi2));
  EXPECT_TRUE(r.sw_state == 0 || r.sw_state == 2);
  if (r.sw_state == 0) {
    EXPECT_TRUE(std::isfinite(r.w) && std::isfinite(r.w_p));
  }
  EXPECT_TRUE(std::isfinite(r.skew_z) && std::isfinite(r.kurt_z));
}

TEST(GoodnessOfFit, KolmogorovPieces) {
  EXPECT_EQ(1.0 - kolmogorov_k(0.2), 1.0);
  EXPECT_EQ(1.0 - kolmogorov_k(4.0), 0.0);
  // lambda 1: 1 - 2e^-2 + 2e^-8 - 2e^-18 = 0.7300003.
  EXPECT_NEAR(kolmogorov_k(1.0), 0.7300003, 1e-7);
}

TEST(GoodnessOfFit, KolmogorovSmirnovOfTwoPoints) {
  // Data -1, 1 against N(0, 1): F = 0.1586553, 0.8413447; D+ = D- = 0.3413447,
  // lambda = sqrt 2 D = 0.4827344, K = sqrt(2 pi) / lambda exp(-pi^2 / (8 lambda^2)),
  // p = 1 - K = 0.9739278.
  const double param[4] = {0, 1, 0, 0};
  const GofResults g = goodness_of_fit({-1, 1}, 3, param, std::sqrt(2.0), {});
  EXPECT_NEAR(g.d_plus, 0.3413447, 3e-6);
  EXPECT_NEAR(g.d_minus, 0.3413447, 3e-6);
  EXPECT_NEAR(g.lambda, 0.4827344, 3e-6);
  EXPECT_NEAR(g.ks_p, 0.9739278, 1e-6);
}

TEST(GoodnessOfFit, RoundAxisLimits) {
  struct Case {
    double lo, hi, lower, upper;
  };
  // [-0.45, 10.45]: steps 2.5 give -2.5..12.5 (6 classes), tighter than 5 (-5..15).
  // [0.95, 2.05]: 0.25 gives 0.75..2.25 (6), 0.2 would need 7.
  const Case cases[] = {
      {-0.45, 10.45, -2.5, 12.5}, {0.95, 2.05, 0.75, 2.25}, {73.9, 74.1, 73.9, 74.1}};
  for (const Case& c : cases) {
    double l = 0, u = 0;
    round_axis_limits(c.lo, c.hi, l, u);
    EXPECT_NEAR(l, c.lower, 1e-9) << c.lo;
    EXPECT_NEAR(u, c.upper, 1e-9) << c.hi;
  }
}

TEST(GoodnessOfFit, PoolingKeepsTotalsAndMinimumExpected) {
  std::vector<double> x;
  for (int i = 1; i <= 200; ++i) x.push_back(std::sqrt(-2 * std::log(i / 201.0)) * std::cos(i));
  const double param[4] = {0, 1, 0, 0};
  GofInput in;
  in.rule = 1;  // ceil(10 log10 200) = 24 classes
  const GofResults g = goodness_of_fit(x, 3, param, 1.0, in);
  EXPECT_EQ(g.classes, 24);
  int64_t o = 0;
  double e = 0;
  for (size_t i = 0; i < g.groups.size(); ++i) {
    o += g.groups[i].observed;
    e += g.groups[i].expected;
    if (i + 1 < g.groups.size()) {
      EXPECT_GE(g.groups[i].expected, 5.0) << i;
    }
  }
  EXPECT_EQ(o, 200);
  EXPECT_NEAR(e, 200.0, 1e-9);
  EXPECT_TRUE(g.chi2_done);
  EXPECT_EQ(g.chi2_df, static_cast<int32_t>(g.groups.size()) - 3);
}

TEST(GoodnessOfFit, ZeroExpectedAndTiedQuartiles) {
  // A value 40 sd out beyond kept classes -3..3: the above-range count joins
  // the last group; every contribution is a number or +inf, never NaN.
  std::vector<double> x(60);
  for (size_t i = 0; i < x.size(); ++i) x[i] = -1.5 + 3.0 * static_cast<double>(i) / 59;
  x.back() = 40;
  const double param[4] = {0, 1, 0, 0};
  GofInput kept;
  kept.keep = true;
  kept.kept_count = 12;
  kept.kept_lower = -3;
  kept.kept_upper = 3;
  const GofResults far = goodness_of_fit(x, 3, param, 1.0, kept);
  EXPECT_EQ(far.classes, 12);
  EXPECT_EQ(far.groups.back().observed >= 1, true);
  for (const GofGroup& gr : far.groups) EXPECT_FALSE(std::isnan(gr.contribution));
  ASSERT_TRUE(far.chi2_done);
  EXPECT_TRUE(far.chi2_p >= 0 && far.chi2_p <= 1);
  // Rule 3 with more than half the values tied: IQR 0, rule 0 instead:
  // ceil(3.322 log10 20 + 1) = ceil(5.322) = 6.
  std::vector<double> tied(20, 3.0);
  tied[0] = 1;
  tied[19] = 5;
  GofInput in;
  in.rule = 3;
  const double centred[4] = {3, 1, 0, 0};
  const GofResults t = goodness_of_fit(tied, 3, centred, 1.0, in);
  EXPECT_TRUE(t.iqr_fallback);
  EXPECT_EQ(t.classes, 6);
}

TEST(Tolerance, NormalFactorsAgainstPublishedTables) {
  struct Case {
    bool two_sided;
    int n;
    double p, g, k, tol;
  };
  const Case cases[] = {
      // NIST/SEMATECH e-Handbook 7.2.6.3: n 43, coverage 0.90, confidence 0.99.
      {true, 43, 0.90, 0.99, 2.2173, 0.002},
      // Two-sided 95 % / 95 % (Howe 1969 tables): n 5 (the starts coincide), n 10, n 30.
      {true, 5, 0.95, 0.95, 5.079, 0.02},
      {true, 10, 0.95, 0.95, 3.379, 0.01},
      {true, 30, 0.95, 0.95, 2.549, 0.01},
      // Two-sided, 99 % coverage at 95 % confidence (Natrella 1963, Table A-6): n 10, 20, 30.
      {true, 10, 0.99, 0.95, 4.433, 0.002},
      {true, 20, 0.99, 0.95, 3.615, 0.002},
      {true, 30, 0.99, 0.95, 3.350, 0.002},
      // One-sided 95 % / 95 % (Natrella 1963, Table A-7): noncentral t.
      {false, 5, 0.95, 0.95, 4.203, 0.002},
      {false, 10, 0.95, 0.95, 2.911, 0.002},
      {false, 20, 0.95, 0.95, 2.396, 0.002},
      // n 200, closed form: a = 1 - zg^2/398 = 0.9932022, b = zp^2 - zg^2/200 = 2.6920154,
      // K = (zp + sqrt(zp^2 - ab)) / a = 1.8357357.
      {false, 200, 0.95, 0.95, 1.8357357, 1e-5},
  };
  for (const Case& c : cases) {
    const double k = c.two_sided ? tolerance_factor_two_sided(c.n, c.p, c.g)
                                 : tolerance_factor_one_sided(c.n, c.p, c.g);
    EXPECT_NEAR(k, c.k, c.tol) << c.two_sided << " n " << c.n;
  }
}

TEST(Tolerance, NormalLimitsAndRefusedPercentages) {
  const NormalTolerance t = normal_tolerance(10, 100, 2, true, false, 95, 95);
  EXPECT_FALSE(t.two_sided);
  EXPECT_NEAR(t.upper, 100 + 2 * 2.911, 0.004);
  EXPECT_EQ(t.lower, kMissing);
  for (double bad : {0.0, 100.0, 150.0})
    EXPECT_EQ(normal_tolerance(10, 0, 1, true, true, bad, 95).k, kMissing) << bad;
}

TEST(Tolerance, Nonparametric) {
  std::vector<double> x(93);
  for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>((i * 37) % 93);
  // Extremes of 93 as two-sided 95 % coverage limits: exact confidence
  // 1 - 0.95^93 - 93 (0.95^92)(0.05) = 0.9500242 (Wilks 1941).
  const NonparametricTolerance c = nonparametric_tolerance(x, 1, true, 1, 95);
  EXPECT_EQ(c.r, 2);
  EXPECT_EQ(c.lower, 0);
  EXPECT_EQ(c.upper, 92);
  EXPECT_NEAR(c.confidence, 95.00242, 0.3);
  const NonparametricTolerance back = nonparametric_tolerance(x, 1, true, 0, c.confidence);
  EXPECT_NEAR(back.coverage, 95.0, 1e-6);  // the two modes invert each other
  const NonparametricTolerance beyond = nonparametric_tolerance(x, 94, true, 0, 95);
  EXPECT_EQ(beyond.r, 0);
  EXPECT_EQ(beyond.upper, kMissing);
  EXPECT_EQ(beyond.coverage, kMissing);
  const NonparametricTolerance swapped = nonparametric_tolerance(x, 60, false, 0, 95);
  EXPECT_LE(swapped.lower, swapped.upper);
  EXPECT_EQ(swapped.r, 60);
}

}  // namespace
}  // namespace ztq
