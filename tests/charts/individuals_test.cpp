// Individuals charts (code 3), the trend charts (18, 19) and the acceptance
// charts (20, 21): hand-computed cases.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart_test_util.h"

namespace ztq {
namespace {

using testing::kM;

ChartResults individuals(int code, const std::vector<double>& x, const std::vector<int>& excl,
                         const ChartOptions& o) {
  ChartInput in = chart_input_from_raw(code, x, {});
  in.excluded = excl;
  return compute_chart(in, o);
}

TEST(Individuals, ExcludedPointIsBridged) {
  // 10, 12, (30 excluded), 11: moving ranges 2 and 1, MR-bar 1.5
  const ChartResults r = individuals(3, {10, 12, 30, 11}, {0, 0, 1, 0}, default_chart_options());
  ASSERT_EQ(r.error, 0);
  const double sigma = 1.5 / 1.128;
  EXPECT_NEAR(r.dispersion, 1.5, 1e-12);
  EXPECT_NEAR(r.centre, 11.0, 1e-12);
  EXPECT_NEAR(r.sigma, sigma, 1e-12);
  EXPECT_NEAR(r.limits.ucl1, 11 + 3 * sigma, 1e-12);
  EXPECT_NEAR(r.limits.ucl2, 1.5 + 3 * 0.853 * sigma, 1e-12);
  EXPECT_EQ(r.limits.lcl2, 0.0);  // 1.5 - 2.559 sigma < 0
  EXPECT_EQ(r.series.stat2_values(), (std::vector<double>{kM, 2, kM, 1}));
  EXPECT_EQ(r.used, 3);
}

TEST(Individuals, TwentyPointsTwoExcludedDivideBySeventeen) {
  // x_i = i; points 5 and 12 excluded: 18 usable, 17 moving ranges, two of
  // them 2 (bridging 4-6 and 11-13), fifteen of them 1: sum 19.
  std::vector<double> x;
  std::vector<int> excl(20, 0);
  for (int i = 1; i <= 20; ++i) x.push_back(i);
  excl[4] = excl[11] = 1;
  const ChartResults r = individuals(3, x, excl, default_chart_options());
  EXPECT_NEAR(r.dispersion, 19.0 / 17.0, 1e-12);
  EXPECT_NEAR(r.centre, (210.0 - 5 - 12) / 18.0, 1e-12);
}

TEST(Individuals, OneUsablePointHasNoEstimates) {
  const ChartResults r = individuals(3, {5, kM, 7}, {0, 0, 1}, default_chart_options());
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(r.sigma, kM);
  EXPECT_EQ(r.limits.ucl1, kM);
  EXPECT_EQ(r.centre, kM);
  testing::expect_all_finite(r);
  // Two observations: one moving range, N - 1 = 1, valid limits.
  const ChartResults two = individuals(3, {5, 7}, {}, default_chart_options());
  EXPECT_NEAR(two.limits.ucl1, 6 + 3 * 2 / 1.128, 1e-12);
}

TEST(Individuals, EqualValuesGiveLimitsOnTheCentre) {
  ChartOptions o = default_chart_options();
  o.doption[16] = 6;
  o.doption[17] = 5;
  o.doption[18] = 4;
  const ChartResults r = individuals(3, std::vector<double>(12, 5.0), {}, o);
  EXPECT_EQ(r.sigma, 0.0);
  EXPECT_EQ(r.limits.ucl1, 5.0);
  EXPECT_EQ(r.limits.lcl2, 0.0);
  EXPECT_EQ(r.capability.cp, kM);   // sigma 0
  EXPECT_EQ(r.capability.cpm, kM);  // every observation on the target
  EXPECT_NEAR(r.capability.k, 0.0, 1e-12);
  testing::expect_all_finite(r);
}

TEST(Trend, IndividualsLimitsRunParallelToTheLine) {
  // y = 1 3 2 4 3 5 4 6 at i = 1..8: t-bar 4.5, y-bar 3.5, Stt 42, Sty 24,
  // b = 4/7, a = 3.5 - (4/7) 4.5 = 6.5/7; moving ranges 2 1 2 1 2 1 2 -> 11/7.
  const ChartResults r = individuals(19, {1, 3, 2, 4, 3, 5, 4, 6}, {}, default_chart_options());
  ASSERT_EQ(r.error, 0);
  const double a = 6.5 / 7, b = 4.0 / 7, sigma = (11.0 / 7) / 1.128;
  EXPECT_NEAR(r.trend.a, a, 1e-12);
  EXPECT_NEAR(r.trend.b, b, 1e-12);
  EXPECT_NEAR(r.series.cl1[2], a + 3 * b, 1e-12);
  EXPECT_NEAR(r.series.ucl1[2], a + 3 * b + 3 * sigma, 1e-12);
  EXPECT_NEAR(r.series.lcl1[7], a + 8 * b - 3 * sigma, 1e-12);
  EXPECT_NEAR(r.limits.ucl1, 3.5 + 3 * sigma, 1e-12);  // summary at the grand centre
  // A steady rise along the trend sets no rule: no run above a flat centre.
  for (int f : r.series.flags) EXPECT_EQ(f & 1, 0);
}

TEST(Trend, SubgroupMeansWeightedBySize) {
  // Subgroups (1,3) n 2 mean 2; (4,4,4) n 3 mean 4 (range 0); (5,7) n 2 mean 6.
  // Weights 2, 3, 2: t-bar 2, y-bar 4, Stt 2+0+2 = 4, Sty 2(-1)(-2) + 2(1)(2) = 8.
  const std::vector<double> x = {1, 3, 4, 4, 4, 5, 7};
  const ChartResults r = testing::raw_chart(18, x, {1, 1, 2, 2, 2, 3, 3}, default_chart_options());
  ASSERT_EQ(r.error, 0);
  EXPECT_NEAR(r.trend.b, 2.0, 1e-12);
  EXPECT_NEAR(r.trend.a, 0.0, 1e-12);
}

TEST(Trend, GivenLineUnderStandard) {
  ChartOptions o = default_chart_options();
  o.option[1] = 1;
  o.doption[4] = 3.0;
  o.doption[5] = 1.0;
  o.doption[53] = 1.0;
  o.doption[54] = 0.5;
  const ChartResults r = individuals(19, {1, 3, 2, 4}, {}, o);
  EXPECT_EQ(r.trend.a, 1.0);
  EXPECT_NEAR(r.series.ucl1[3], 1 + 0.5 * 4 + 3 * 1.0, 1e-12);
}

TEST(Acceptance, IndividualsLimitsFromTheSpecifications) {
  ChartOptions o = default_chart_options();
  o.doption[16] = 20;  // USL
  o.doption[18] = 0;   // LSL
  // 9 11 10 12 8: centre 10, moving ranges 2 1 2 4 -> 2.25, sigma 2.25 / 1.128
  const ChartResults r = individuals(21, {9, 11, 10, 12, 8}, {}, o);
  const double sigma = 2.25 / 1.128;
  const double z_delta = 3.7190164854;  // z(0.9999), normal table
  // n-bar 1, z_a = -3: UCL = 20 - (-3 + 3.719) sigma, LCL = 0 + (-3 + 3.719) sigma
  // The library's normal quantile (six-digit coefficients) is good to 1e-5.
  EXPECT_NEAR(r.limits.ucl1, 20 - (-3 + z_delta) * sigma, 1e-5 * sigma);
  EXPECT_NEAR(r.limits.lcl1, (-3 + z_delta) * sigma, 1e-5 * sigma);
  EXPECT_EQ(r.series.ucl1[3], r.limits.ucl1);  // the same values at every point
  // Narrow specification limits: control limits meet the centre line, never cross it.
  o.doption[16] = 10.5;
  o.doption[18] = 9.5;
  const ChartResults n = individuals(21, {9, 11, 10, 12, 8}, {}, o);
  EXPECT_EQ(n.limits.ucl1, 10.0);
  EXPECT_EQ(n.limits.lcl1, 10.0);
  o.doption[18] = kM;  // no LSL: no lower limit
  EXPECT_EQ(individuals(21, {9, 11, 10, 12, 8}, {}, o).limits.lcl1, kM);
}

TEST(Acceptance, SubgroupMeansWithAlphaFromTheOptions) {
  ChartOptions o = default_chart_options();
  o.option[66] = 1;
  o.doption[57] = 0.05;
  o.doption[16] = 30;
  o.doption[18] = -10;
  // Subgroups of 4: (9 11 10 10) S = sqrt(2/3); (8 12 10 10) S = sqrt(8/3); n-bar 4.
  const std::vector<double> x = {9, 11, 10, 10, 8, 12, 10, 10};
  const ChartResults r = testing::raw_chart(20, x, {4}, o);
  const double sbar = (std::sqrt(2.0 / 3) + std::sqrt(8.0 / 3)) / 2;
  const double c4 = std::sqrt(2.0 / 3) * std::tgamma(2.0) / std::tgamma(1.5);
  const double sigma = sbar / c4;
  const double z_a = -1.6448536270, z_delta = 3.7190164854;  // z(0.05), z(0.9999)
  EXPECT_NEAR(r.limits.ucl1, 30 - (z_a / 2 + z_delta) * sigma, 2e-5 * sigma);
  EXPECT_NEAR(r.limits.lcl1, -10 + (z_a / 2 + z_delta) * sigma, 2e-5 * sigma);
}

TEST(Capability, IndicesAndTheirMissingRules) {
  ChartOptions o = default_chart_options();
  o.doption[16] = 16;
  o.doption[17] = 10;
  o.doption[18] = 4;
  // centre 11, sigma 1.5: Cp 12/9, CR 0.75, CPU 5/4.5, CPL 7/4.5, K 1/6;
  // observations 9 11 10 12 about T = 10: sum of squares 6, s_T = sqrt(6/3).
  const std::vector<double> x = {9, 11, kM, 10, 12}, two = {9, 11};
  ChartCapability c = chart_capability(11, 1.5, o, x);
  EXPECT_NEAR(c.cp, 12.0 / 9, 1e-12);
  EXPECT_NEAR(c.cr, 0.75, 1e-12);
  EXPECT_NEAR(c.cpu, 5 / 4.5, 1e-12);
  EXPECT_NEAR(c.cpl, 7 / 4.5, 1e-12);
  EXPECT_NEAR(c.cpk, 5 / 4.5, 1e-12);
  EXPECT_NEAR(c.k, 1.0 / 6, 1e-12);
  EXPECT_NEAR(c.cpm, 12 / (6 * std::sqrt(2.0)), 1e-12);

  o.doption[18] = kM;  // USL only: Cpk is CPU
  c = chart_capability(11, 1.5, o, two);
  EXPECT_EQ(c.cp, kM);
  EXPECT_NEAR(c.cpk, 5 / 4.5, 1e-12);
  EXPECT_EQ(c.k, kM);

  o.doption[18] = 16;  // USL = LSL
  c = chart_capability(11, 1.5, o, two);
  EXPECT_EQ(c.k, kM);
  EXPECT_EQ(c.cr, kM);  // Cp 0

  o.doption[18] = 4;
  o.option[0] = 1;  // entered statistics: no Cpm
  EXPECT_EQ(chart_capability(11, 1.5, o, two).cpm, kM);
}

}  // namespace
}  // namespace ztq
