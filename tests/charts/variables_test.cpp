// Worked cases of the subgrouped variables charts (codes 0, 1, 2): expected
// values computed here by hand from the published factor table.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "chart_test_util.h"
#include "charts/chart_messages.h"

namespace ztq {
namespace {

using testing::kM;
using testing::raw_chart;

// Subgroups of sizes 5, 5, 4:
//   10 12 11 13 9   mean 11,   R 4, squared deviations 10,  var 2.5
//   11 11 14 10 12  mean 11.6, R 4, squared deviations 9.2, var 2.3
//   12 10 13 11     mean 11.5, R 3, squared deviations 5,   var 5/3
const std::vector<double> kX = {10, 12, 11, 13, 9, 11, 11, 14, 10, 12, 12, 10, 13, 11};
const std::vector<double> kCodes = {1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3};
const double kCentre = (55.0 + 58.0 + 46.0) / 14.0;  // size-weighted: 159 / 14
const double kNbar = 14.0 / 3.0;

TEST(XbarR, UnequalSubgroupsInterpolateD2) {
  const ChartResults r = raw_chart(0, kX, kCodes, default_chart_options());
  ASSERT_EQ(r.error, 0);
  const double rbar = 11.0 / 3.0;
  const double d2 = 2.059 + (2.0 / 3.0) * (2.326 - 2.059);  // n-bar 14/3
  const double d3 = 0.880 + (2.0 / 3.0) * (0.864 - 0.880);
  const double sigma = rbar / d2;
  EXPECT_EQ(r.points, 3);
  EXPECT_NEAR(r.nbar, kNbar, 1e-12);
  EXPECT_NEAR(r.centre, kCentre, 1e-12);
  EXPECT_NEAR(r.dispersion, rbar, 1e-12);
  EXPECT_NEAR(r.sigma, sigma, 1e-12);
  EXPECT_NEAR(r.limits.ucl1, kCentre + 3 * sigma / std::sqrt(kNbar), 1e-12);
  EXPECT_NEAR(r.limits.lcl1, kCentre - 3 * sigma / std::sqrt(kNbar), 1e-12);
  EXPECT_NEAR(r.limits.ucl2, rbar + 3 * d3 * sigma, 1e-12);
  // rbar - 3 d3 sigma = 3.667 - 4.27 < 0: reported 0, kept unclipped
  EXPECT_EQ(r.limits.lcl2, 0.0);
  EXPECT_NEAR(r.limits_unclipped.lcl2, rbar - 3 * d3 * sigma, 1e-12);
  // Stepped per-point limits: the third subgroup has n = 4; centres stay put.
  EXPECT_NEAR(r.series.ucl1[2], kCentre + 3 * sigma / 2.0, 1e-12);
  EXPECT_NEAR(r.series.ucl1[0], kCentre + 3 * sigma / std::sqrt(5.0), 1e-12);
  EXPECT_NEAR(r.series.ucl2[2], rbar + 3 * 0.880 * sigma, 1e-12);
  EXPECT_NEAR(r.series.ucl2[0], rbar + 3 * 0.864 * sigma, 1e-12);
  EXPECT_EQ(r.series.cl1[2], r.series.cl1[0]);
  EXPECT_NEAR(r.series.cl2[2], rbar, 1e-12);
}

TEST(XbarS, UsesC4AtNbar) {
  const ChartResults r = raw_chart(1, kX, kCodes, default_chart_options());
  ASSERT_EQ(r.error, 0);
  const double sbar = (std::sqrt(2.5) + std::sqrt(2.3) + std::sqrt(5.0 / 3.0)) / 3.0;
  const double n = kNbar;  // c4(14/3) through the gamma function directly
  const double c4 = std::sqrt(2.0 / (n - 1)) * std::tgamma(n / 2) / std::tgamma((n - 1) / 2);
  EXPECT_NEAR(r.dispersion, sbar, 1e-12);
  EXPECT_NEAR(r.sigma, sbar / c4, 1e-9);
  EXPECT_NEAR(r.limits.ucl2, sbar + 3 * (sbar / c4) * std::sqrt(1 - c4 * c4), 1e-9);
}

TEST(XbarVariance, ChiSquareLimitsWithTwoDegreesOfFreedom) {
  // Subgroups of 3: {1,2,3} var 1, {2,4,6} var 4, {5,5,8} var 3; pooled 16/6.
  const std::vector<double> x = {1, 2, 3, 2, 4, 6, 5, 5, 8};
  const ChartResults r = raw_chart(2, x, {3}, default_chart_options());
  ASSERT_EQ(r.error, 0);
  const double pooled = 16.0 / 6.0;
  // Chi-square with 2 df: x(p) = -2 ln(1 - p); Phi(-3) = 0.00134989803163.
  const double q3 = 0.00134989803163;
  const double ucl = -2 * std::log(q3) * pooled / 2;
  const double lcl = -2 * std::log(1 - q3) * pooled / 2;
  EXPECT_NEAR(r.dispersion, pooled, 1e-12);
  EXPECT_NEAR(r.sigma, std::sqrt(pooled), 1e-12);
  EXPECT_NEAR(r.limits.ucl2, ucl, 1e-4 * ucl);
  EXPECT_NEAR(r.limits.lcl2, lcl, 1e-4 * lcl);
}

// Eight subgroups of two: (1,3) (2,4) (3,5) | (5,9) (6,8) | (7,7) (9,11) (8,8).
const std::vector<double> kPairs = {1, 3, 2, 4, 3, 5, 5, 9, 6, 8, 7, 7, 9, 11, 8, 8};

TEST(Phases, ThreePhasesEstimatedApart) {
  ChartOptions o = default_chart_options();
  o.option[67] = 4;
  o.option[68] = 6;
  const ChartResults r = raw_chart(0, kPairs, {2}, o);
  ASSERT_EQ(r.error, 0);
  ASSERT_EQ(r.phases.size(), 3u);
  // Phase 1: means 2, 3, 4 -> 3; ranges 2, 2, 2 -> 2; sigma 2 / 1.128.
  EXPECT_EQ(r.phases[0].first, 1);
  EXPECT_EQ(r.phases[0].last, 3);
  EXPECT_NEAR(r.phases[0].estimates.centre, 3.0, 1e-12);
  EXPECT_NEAR(r.phases[0].lines.ucl1, 3 + 3 * (2 / 1.128) / std::sqrt(2.0), 1e-12);
  // Phase 2: means 7, 7; ranges 4, 2 -> 3.
  EXPECT_NEAR(r.phases[1].estimates.centre, 7.0, 1e-12);
  EXPECT_NEAR(r.phases[1].estimates.dispersion, 3.0, 1e-12);
  // Phase 3 (the summary): means 7, 10, 8 -> 25/3; ranges 0, 2, 0 -> 2/3.
  EXPECT_EQ(r.phases[2].first, 6);
  EXPECT_EQ(r.phases[2].last, 8);
  EXPECT_NEAR(r.centre, 25.0 / 3.0, 1e-12);
  EXPECT_NEAR(r.dispersion, 2.0 / 3.0, 1e-12);
  EXPECT_NEAR(r.limits.ucl2, 2.0 / 3.0 + 3 * 0.853 * (2.0 / 3.0) / 1.128, 1e-12);
  // Per-point lines use their own phase.
  EXPECT_NEAR(r.series.cl1[3], 7.0, 1e-12);
  EXPECT_EQ(r.phase_of(7), 2);  // point 8: the third phase (points 6 to 8)
  EXPECT_EQ(r.phase_of(4), 1);  // point 5: the second
}

TEST(Phases, TwoPhasesAndBadBreakPoints) {
  ChartOptions o = default_chart_options();
  o.option[67] = 4;
  ChartResults r = raw_chart(0, kPairs, {2}, o);
  ASSERT_EQ(r.phases.size(), 2u);
  EXPECT_NEAR(r.centre, (7 + 7 + 7 + 10 + 8) / 5.0, 1e-12);
  struct Case {
    int b67, b68;
    const char* why;
  };
  for (const Case c : {Case{5, 3, "descending"}, Case{4, 4, "repeated"},
                       Case{9, 0, "beyond the last point"}, Case{1, 0, "an empty first phase"}}) {
    o.option[67] = c.b67;
    o.option[68] = c.b68;
    r = raw_chart(0, kPairs, {2}, o);
    EXPECT_EQ(r.error, kMsgPhaseBreaks) << c.why;
    EXPECT_FALSE(r.computed);
  }
}

TEST(Phases, PhaseWithEveryPointExcludedHasMissingEstimates) {
  ChartOptions o = default_chart_options();
  o.option[67] = 7;
  ChartInput in = chart_input_from_raw(0, kPairs, fixed_subgroups(kPairs.size(), 2));
  in.excluded = {0, 0, 0, 0, 0, 0, 1, 1};
  const ChartResults r = compute_chart(in, o);
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.centre, kM);
  EXPECT_EQ(r.sigma, kM);
  EXPECT_EQ(r.limits.ucl1, kM);
  EXPECT_EQ(r.series.ucl1[7], kM);
  testing::expect_all_finite(r);
}

TEST(ControlToStandard, EstimatedFormulasWithMu0AndSigma0) {
  ChartOptions o = default_chart_options();
  o.option[1] = 1;
  o.doption[4] = 10.0;  // mu0
  o.doption[5] = 2.0;   // sigma0
  const std::vector<double> x = {9, 11, 10, 12, 8, 10, 10, 11, 9, 10};
  const ChartResults r = raw_chart(0, x, {5}, o);
  ASSERT_EQ(r.error, 0);
  // n = 5: 10 +- 3 x 2 / sqrt 5; R chart: d2 sigma0 = 4.652, 4.652 + 3 x 0.864 x 2
  EXPECT_NEAR(r.limits.ucl1, 10 + 6 / std::sqrt(5.0), 1e-12);
  EXPECT_EQ(r.limits.cl1, 10.0);
  EXPECT_NEAR(r.limits.cl2, 2.326 * 2, 1e-12);
  EXPECT_NEAR(r.limits.ucl2, 4.652 + 3 * 0.864 * 2, 1e-12);
  EXPECT_EQ(r.limits.lcl2, 0.0);  // 4.652 - 5.184 < 0
  EXPECT_EQ(r.standard.centre, 10.0);
  EXPECT_EQ(r.standard.sigma, 2.0);
  EXPECT_NEAR(r.centre, 10.0, 1e-12);  // the estimate from the data stays
}

TEST(ControlToStandard, EnteredLimitsStandAsGiven) {
  ChartOptions o = default_chart_options();
  o.option[1] = 1;
  o.option[4] = 1;
  const double entered[6] = {13, 10, 7, 5, 2, -1};
  for (int i = 0; i < 6; ++i) o.doption[6 + i] = entered[i];
  const std::vector<double> x = {9, 11, 10, 12, 8, 10, 10, 11, 9, 10};
  const ChartResults r = raw_chart(0, x, {5}, o);
  EXPECT_EQ(r.limits.ucl1, 13.0);
  EXPECT_EQ(r.limits.lcl2, -1.0);  // taken directly, not clipped
  EXPECT_EQ(r.series.ucl2[1], 5.0);
  EXPECT_EQ(r.series.lcl1_unclipped[0], 7.0);
}

TEST(Multiples, MissingLowerMultipleRemovesTheLimit) {
  ChartOptions o = default_chart_options();
  o.doption[1] = kM;
  const ChartResults r = raw_chart(0, kX, kCodes, o);
  EXPECT_EQ(r.limits.lcl1, kM);
  EXPECT_EQ(r.series.lcl1[0], kM);
  EXPECT_NE(r.limits.ucl1, kM);
}

TEST(Multiples, Option2KeepsNegativeLowerLimits) {
  ChartOptions o = default_chart_options();
  o.option[2] = 1;
  const ChartResults r = raw_chart(0, kX, kCodes, o);
  EXPECT_LT(r.limits.lcl2, 0.0);
  EXPECT_EQ(r.limits.lcl2, r.limits_unclipped.lcl2);
  EXPECT_LT(r.series.lcl2[0], 0.0);
}

TEST(SubgroupSizes, OneAndTwentySixAreRefused) {
  std::vector<double> x(26, 1.0);
  for (int i = 0; i < 26; ++i) x[i] = i % 3;
  EXPECT_EQ(raw_chart(0, x, {26}, default_chart_options()).error, kMsgSizeAboveTable);
  EXPECT_EQ(raw_chart(1, x, {26}, default_chart_options()).error, 0);  // S-based: accepted
  EXPECT_EQ(raw_chart(0, x, {1}, default_chart_options()).error, kMsgSizeBelowTwo);
  // Entered statistics with negative or fractional sizes.
  const ChartOptions o = default_chart_options();
  EXPECT_EQ(compute_chart(chart_input_from_statistics(0, {1, 2}, {5, -3}, {1, 1}), o).error,
            kMsgSizeBelowTwo);
  const ChartResults r = compute_chart(chart_input_from_statistics(0, {1, 2}, {4.5, 5}, {1, 1}), o);
  EXPECT_EQ(r.error, 0);
  EXPECT_NEAR(r.nbar, 4.75, 1e-12);
}

TEST(BadInput, EveryValueMissingSinglePointAndEqualValues) {
  const ChartOptions o = default_chart_options();
  ChartResults r = raw_chart(0, std::vector<double>(10, kM), {5}, o);
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(r.centre, kM);
  testing::expect_all_finite(r);

  r = raw_chart(0, {1, 2, 3}, {3}, o);  // a single point
  EXPECT_NEAR(r.centre, 2.0, 1e-12);
  testing::expect_all_finite(r);

  r = raw_chart(1, std::vector<double>(10, 4.2), {5}, o);  // sigma 0
  EXPECT_EQ(r.sigma, 0.0);
  EXPECT_EQ(r.limits.ucl1, 4.2);
  EXPECT_EQ(r.limits.lcl1, 4.2);
  testing::expect_all_finite(r);

  r = raw_chart(0, {1, std::nan(""), 3, INFINITY, 5, 6}, {3}, o);
  EXPECT_EQ(r.series.size[1], 2.0);  // NaN and infinity read as missing
  testing::expect_all_finite(r);

  ChartOptions huge = o;
  huge.doption[0] = 1e300;
  huge.doption[2] = 1e300;
  r = raw_chart(0, {1, 2e10, 3, -4e10, 5, 6}, {3}, huge);
  testing::expect_all_finite(r);
}

}  // namespace
}  // namespace ztq
