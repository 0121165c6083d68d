// Charts about a fitted model (codes 16, 17): gap filling, the sweep, the
// ARIMA fit on simulated series and the integration back over differences.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "chart_test_util.h"
#include "charts/arima.h"
#include "charts/chart_messages.h"
#include "charts/gap_fill.h"
#include "charts/sweep.h"

namespace ztq {
namespace {

using testing::kM;

TEST(GapFill, LagrangeWeightsOfEveryRow) {
  const double a = 3, b = 5, c = 11, d = 7;
  struct Row {
    double a, b, c, d, want;
    const char* row;
  };
  const Row rows[] = {
      {a, b, c, d, -a / 6 + 2 * b / 3 + 2 * c / 3 - d / 6, "a b c d: 54 / 6 = 9"},
      {a, b, c, kM, -a / 3 + b + c / 3, "a b c: 23 / 3"},
      {a, b, kM, d, -a / 2 + 4 * b / 3 + d / 6, "a b d: 19 / 3"},
      {a, kM, c, d, a / 6 + 4 * c / 3 - d / 2, "a c d: 35 / 3"},
      {kM, b, c, d, b / 3 + c - d / 3, "b c d: 31 / 3"},
      {a, b, kM, kM, -a + 2 * b, "a b: 7"},
      {a, kM, c, kM, a / 3 + 2 * c / 3, "a c: 25 / 3"},
      {a, kM, kM, d, a / 2 + d / 2, "a d: 5"},
      {kM, b, c, kM, b / 2 + c / 2, "b c: 8"},
      {kM, b, kM, d, 2 * b / 3 + d / 3, "b d: 17 / 3"},
      {kM, kM, c, d, 2 * c - d, "c d: 15"},
      {kM, b, kM, kM, kM, "one neighbour: none"},
  };
  for (const Row& r : rows) EXPECT_NEAR(gap_value(r.a, r.b, r.c, r.d), r.want, 1e-12) << r.row;
  EXPECT_NEAR(gap_value(a, b, c, d), 9.0, 1e-12);
}

TEST(GapFill, Code17FillsInteriorGapsOnly) {
  // Gap at point 3 between 10, 12 and 11, 13: (-10 + 48 + 44 - 13) / 6 = 11.5.
  // Point 7 (after the last value) stays missing.
  ChartOptions o = default_chart_options();
  const ChartResults r =
      compute_chart(chart_input_from_raw(17, {10, 12, kM, 11, 13, 12, kM}, {}), o);
  ASSERT_EQ(r.error, 0);
  EXPECT_NEAR(r.series.stat1[2], 11.5, 1e-12);
  EXPECT_EQ(r.series.stat1[6], kM);
  // Two gaps in a row: the first from 10, 12 | 13 (a b d: -5 + 16 + 13 / 6), the
  // second then counts it as present.
  std::vector<double> x = {10, 12, kM, kM, 13, 12};
  ASSERT_EQ(fill_gaps(&x), 0);
  const double g1 = -10.0 / 2 + 4 * 12.0 / 3 + 13.0 / 6;
  EXPECT_NEAR(x[2], g1, 1e-12);
  EXPECT_NEAR(x[3], -12.0 / 6 + 2 * g1 / 3 + 2 * 13.0 / 3 - 12.0 / 6, 1e-12);
  // 10 | gap | gap | gap | 12: the first gap has only b = 10: message 1092.
  EXPECT_EQ(compute_chart(chart_input_from_raw(17, {10, kM, kM, kM, 12}, {}), o).error,
            kMsgGapNeighbours);
}

TEST(Sweep, SolvesAndInvertsTheNormalEquations) {
  // y = 1 3 5 8 on x = 0 1 2 3: X'X = [4 6; 6 14], X'y = [17 37], y'y = 99; det 20,
  // b0 = (14 x 17 - 6 x 37) / 20 = 0.8, b1 = (-6 x 17 + 4 x 37) / 20 = 2.3,
  // RSS = 99 - (0.8 x 17 + 2.3 x 37) = 0.3, (X'X)^-1 diagonal 14 / 20 and 4 / 20.
  std::vector<double> a = {4, 6, 17, 6, 14, 37, 17, 37, 99};
  std::vector<char> swept;
  EXPECT_EQ(sweep(&a, 3, 2, &swept), 0);
  EXPECT_NEAR(a[2], 0.8, 1e-12);
  EXPECT_NEAR(a[5], 2.3, 1e-12);
  EXPECT_NEAR(a[8], 0.3, 1e-12);
  EXPECT_NEAR(a[0], 0.7, 1e-12);
  EXPECT_NEAR(a[4], 0.2, 1e-12);
}

TEST(Sweep, PivotRules) {
  // Second column = 2 x first: the second pivot 8 - 4 x 4 / 2 ... is 0 after the sweep.
  std::vector<double> a = {2, 4, 4, 8};
  std::vector<char> swept;
  EXPECT_EQ(sweep(&a, 2, 2, &swept), 1);
  EXPECT_EQ(swept, (std::vector<char>{1, 0}));
  // Nearly collinear: 1 + 1e-12 - 1 = 1e-12 is not above 1e-10 x (1 + 1e-12): refused.
  a = {1, 1, 1, 1 + 1e-12};
  EXPECT_EQ(sweep(&a, 2, 2, &swept), 1);
  // A small variable on its own scale is kept: 1e-11 against its own diagonal 1e-11.
  a = {1, 0, 0, 1e-11};
  EXPECT_EQ(sweep(&a, 2, 2, &swept), 0);
  // The first pivot is refused only when it is 0.
  a = {1e-300};
  EXPECT_EQ(sweep(&a, 1, 1, &swept), 0);
  a = {0, 0, 0, 1};
  EXPECT_EQ(sweep(&a, 2, 2, &swept), 1);
  EXPECT_EQ(swept, (std::vector<char>{0, 1}));
}

// Seeded normal deviates: a 64-bit LCG (Knuth's MMIX constants) and Box-Muller.
class Normal {
 public:
  explicit Normal(std::uint64_t seed) : s_(seed) {}
  double operator()() {
    const double u1 = uniform(), u2 = uniform();
    return std::sqrt(-2 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

 private:
  double uniform() {
    s_ = s_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return (static_cast<double>(s_ >> 11) + 0.5) / 9007199254740992.0;
  }
  std::uint64_t s_;
};

TEST(Model, RecoversAnAr1Coefficient) {
  // x_t = 2 + 0.6 x_(t-1) + e_t, e ~ N(0, 1), 500 points after a burn-in of 100.
  Normal e(20240611);
  std::vector<double> x;
  double v = 5;
  for (int t = 0; t < 600; ++t) {
    v = 2 + 0.6 * v + e();
    if (t >= 100) x.push_back(v);
  }
  const ChartResults r = compute_chart(chart_input_from_raw(17, x, {}), default_chart_options());
  ASSERT_EQ(r.error, 0);
  const ModelResult& m = r.model;
  ASSERT_EQ(m.coefficients.size(), 2u);
  const double phi = m.coefficients[1], se = m.standard_errors[1];
  // The estimate is a normal deviate about 0.6 with this spread: one standard error
  // holds for two seeds in three, two for 95%. This seed gives 0.5526 +- 0.0374
  // (1.27 se); the test asks for two.
  EXPECT_LT(std::fabs(phi - 0.6), 2 * se) << phi << " +- " << se;
  // Asymptotic standard error sqrt((1 - phi^2) / n) (Box, Jenkins and Reinsel, 7.3).
  EXPECT_NEAR(se, std::sqrt((1 - phi * phi) / 499), 0.1 * se);
  // Second method: conditional least squares of an AR(1) is ordinary least squares
  // of x_t on x_(t-1) with a constant.
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  const double n = 499;
  for (std::size_t t = 1; t < x.size(); ++t) {
    sx += x[t - 1], sy += x[t], sxx += x[t - 1] * x[t - 1], sxy += x[t - 1] * x[t];
  }
  const double b = (sxy - sx * sy / n) / (sxx - sx * sx / n);
  EXPECT_NEAR(phi, b, 1e-9);
  EXPECT_NEAR(m.coefficients[0], (sy - b * sx) / n, 1e-8);
  EXPECT_TRUE(m.converged);
  EXPECT_LE(m.iterations, kMaxModelIterations);
  // The centre line is the one-step prediction; point 1 has none.
  EXPECT_EQ(r.series.cl1[0], kM);
  EXPECT_NEAR(r.series.cl1[5], m.coefficients[0] + phi * x[4], 1e-9);
  EXPECT_NEAR(r.series.ucl1[5] - r.series.cl1[5], 3 * r.sigma, 1e-9);
}

TEST(Model, RecoversAnMa1Coefficient) {
  // x_t = 10 + e_t + 0.5 e_(t-1), 800 points: Gauss-Newton with p = 0, q = 1.
  Normal e(77);
  std::vector<double> x;
  double prev = e();
  for (int t = 0; t < 800; ++t) {
    const double now = e();
    x.push_back(10 + now + 0.5 * prev);
    prev = now;
  }
  ChartOptions o = default_chart_options();
  o.option[55] = 0;
  o.option[56] = 1;
  const ChartResults r = compute_chart(chart_input_from_raw(17, x, {}), o);
  ASSERT_EQ(r.error, 0);
  EXPECT_LT(std::fabs(r.model.coefficients[1] - 0.5), 2 * r.model.standard_errors[1]);
  EXPECT_NEAR(r.model.residual_sd, 1.0, 0.1);
}

TEST(Model, IntegrationPutsBackTheRemovedValues) {
  // y = 1 3 6 10 15 21: first differences - 2 3 4 5 6, second - - 1 1 1 1.
  // d = 2, constant only: c = 1, fitted second differences - - 1 1 1 1. Back to the
  // first level: put back 2 before position 3, then 2+1, 3+1, ... = - 2 3 4 5 6;
  // back to y: put back 1, then 1+2, 3+3, ... = 1 3 6 10 15 21.
  ModelResult m;
  const std::vector<double> y = {1, 3, 6, 10, 15, 21};
  ASSERT_EQ(fit_model(y, {0, 0, true, 2}, &m), 0);
  EXPECT_NEAR(m.coefficients[0], 1.0, 1e-12);
  for (std::size_t i = 0; i < y.size(); ++i) EXPECT_NEAR(m.fitted[i], y[i], 1e-12) << i;
  // d = 1 on 1 3 6 10 15: c = (2 + 3 + 4 + 5) / 4 = 3.5; the fitted path is
  // 1, 1 + 3.5, 4.5 + 3.5, ... = 1 4.5 8 11.5 15 (a sum of fitted steps).
  ASSERT_EQ(fit_model({1, 3, 6, 10, 15}, {0, 0, true, 1}, &m), 0);
  const std::vector<double> want = {1, 4.5, 8, 11.5, 15};
  for (std::size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(m.fitted[i], want[i], 1e-12) << i;
  // A missing value stays missing and is bridged.
  EXPECT_EQ(integrate_once({kM, 2, kM, 3}, {5, 6, 7, 8}), (std::vector<double>{5, 7, kM, 10}));
}

TEST(Model, BadInputGivesAnErrorStateOrASoundResult) {
  ChartOptions o = default_chart_options();
  // A constant series: phi is aliased with the constant, its pivot refused.
  const ChartResults flat =
      compute_chart(chart_input_from_raw(17, std::vector<double>(20, 5.0), {}), o);
  ASSERT_EQ(flat.error, 0);
  EXPECT_EQ(flat.model.refused_pivots, 1);
  EXPECT_NEAR(flat.series.cl1[10], 5.0, 1e-12);
  EXPECT_EQ(flat.sigma, 0.0);
  testing::expect_all_finite(flat);
  // More coefficients than usable points.
  o.option[55] = 4;
  EXPECT_EQ(compute_chart(chart_input_from_raw(17, {1, 2, 3, 4, 5}, {}), o).error,
            kMsgModelTooShort);
  o.option[55] = 11;  // orders out of range
  EXPECT_EQ(validate_chart_options(o, 17), kMsgModelOrders);
  EXPECT_EQ(compute_chart(chart_input_from_raw(17, {1, 2, 3, 4, 5}, {}), o).error, kMsgModelOrders);
  // A series that explodes under differencing: its differences overflow.
  o = default_chart_options();
  o.option[58] = 2;
  std::vector<double> wild;
  for (int i = 0; i < 12; ++i) wild.push_back(i % 2 ? 1.5e308 : -1.5e308);
  const ChartResults w = compute_chart(chart_input_from_raw(17, wild, {}), o);
  EXPECT_EQ(w.error, kMsgModelTooShort);
  testing::expect_all_finite(w);
  // Subgroup means (code 16): the range sigma stays; the model is fitted to the means.
  const ChartResults s =
      testing::raw_chart(16, {9, 11, 10, 14, 11, 11, 12, 10, 13, 13}, {2}, default_chart_options());
  ASSERT_EQ(s.error, 0);
  EXPECT_NEAR(s.sigma, (2 + 4 + 0 + 2 + 0) / 5.0 / 1.128, 1e-12);
  testing::expect_all_finite(s);
}

}  // namespace
}  // namespace ztq
