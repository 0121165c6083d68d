// Attribute charts p, np, u, c (codes 4 to 7): hand-computed limits and the
// input checks.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart_test_util.h"
#include "charts/chart_messages.h"

namespace ztq {
namespace {

using testing::kM;

ChartResults attribute(int code, std::vector<double> stat, std::vector<double> size,
                       const ChartOptions& o = default_chart_options()) {
  return compute_chart(chart_input_from_statistics(code, std::move(stat), std::move(size), {}), o);
}

TEST(PChart, UpperLimitClippedAtOneZonesFromUnclipped) {
  // 1, 2, 2, 1, 2 of 4 each: p-bar 8/20 = 0.4; 0.4 + 3 sqrt(0.4 x 0.6 / 4) = 1.1348
  const ChartResults r = attribute(4, {0.25, 0.5, 0.5, 0.25, 0.5}, {4, 4, 4, 4, 4});
  ASSERT_EQ(r.error, 0);
  const double ucl = 0.4 + 3 * std::sqrt(0.06);
  EXPECT_NEAR(r.centre, 0.4, 1e-12);
  EXPECT_NEAR(r.sigma, std::sqrt(0.06), 1e-12);
  EXPECT_EQ(r.limits.ucl1, 1.0);
  EXPECT_NEAR(r.limits_unclipped.ucl1, ucl, 1e-12);
  EXPECT_NEAR(r.series.ucl1_unclipped[0], 1.1348, 1e-4);
  EXPECT_EQ(r.limits.lcl1, 0.0);
  EXPECT_EQ(r.limits.ucl2, kM);  // no chart 2
  EXPECT_EQ(r.series.stat2_at(0), kM);
}

TEST(PChart, RuleFourMeasuredFromTheUnclippedLimit) {
  // Standard p0 0.4, n 4: the 2-sigma boundary is 0.4 + (1.1348 - 0.4) 2/3 =
  // 0.8899 (from the clipped 1.0 it would be 0.8). Two of three at 0.85 are
  // inside it; two of three at 0.9 are beyond.
  ChartOptions o = default_chart_options();
  o.option[1] = 1;
  o.doption[4] = 0.4;
  for (int r = 1; r <= 6; ++r) o.option[9 + r] = r == 4;
  const std::vector<double> n(3, 4.0);
  EXPECT_EQ(attribute(4, {0.85, 0.3, 0.85}, n, o).series.flags[2], 0);
  EXPECT_EQ(attribute(4, {0.9, 0.3, 0.9}, n, o).series.flags[2], 8);
}

TEST(PChart, NegativeLowerLimitShownAsZeroOrKeptWithOption2) {
  // p-bar (0.02 + 0.04 + 0 + 0.02) / 4 = 0.02 at n 50: 0.02 - 3 sqrt(0.02 x 0.98 / 50)
  const double lcl = 0.02 - 3 * std::sqrt(0.02 * 0.98 / 50);
  const std::vector<double> p = {0.02, 0.04, 0.0, 0.02}, n = {50, 50, 50, 50};
  ChartResults r = attribute(4, p, n);
  EXPECT_EQ(r.limits.lcl1, 0.0);
  EXPECT_EQ(r.series.lcl1[1], 0.0);
  ChartOptions o = default_chart_options();
  o.option[2] = 1;
  r = attribute(4, p, n, o);
  EXPECT_NEAR(r.limits.lcl1, lcl, 1e-12);
  EXPECT_NEAR(r.series.lcl1[1], lcl, 1e-12);
}

TEST(NpChart, CentreStaysAtTheMeanCountWithUnequalSizes) {
  // counts 2 4 3 5, sizes 50 100 50 100: np-bar 3.5, n-bar 75
  const ChartResults r = attribute(5, {2, 4, 3, 5}, {50, 100, 50, 100});
  ASSERT_EQ(r.error, 0);
  const double q = 3.5 / 75;
  EXPECT_NEAR(r.centre, 3.5, 1e-12);
  EXPECT_NEAR(r.nbar, 75, 1e-12);
  EXPECT_NEAR(r.sigma, std::sqrt(3.5 * (1 - q)), 1e-12);
  EXPECT_NEAR(r.series.cl1[1], 3.5, 1e-12);
  EXPECT_NEAR(r.series.ucl1[0], 3.5 + 3 * std::sqrt(50 * q * (1 - q)), 1e-12);
  EXPECT_NEAR(r.series.ucl1[1], 3.5 + 3 * std::sqrt(100 * q * (1 - q)), 1e-12);
}

TEST(UChart, SizeWeightedRate) {
  // u 0.5 1.0 0.2 over 2 3 5 units: (1 + 3 + 1) / 10 = 0.5; at n 2: 0.5 + 3 sqrt(0.25) = 2
  const ChartResults r = attribute(6, {0.5, 1.0, 0.2}, {2, 3, 5});
  EXPECT_NEAR(r.centre, 0.5, 1e-12);
  EXPECT_NEAR(r.nbar, 10.0 / 3, 1e-12);
  EXPECT_NEAR(r.series.ucl1[0], 2.0, 1e-12);
  EXPECT_NEAR(r.sigma, std::sqrt(0.5 / (10.0 / 3)), 1e-12);
}

TEST(CChart, FourPlusMinusSix) {
  const ChartResults r = attribute(7, {3, 5, 4, 2, 6}, {});
  EXPECT_NEAR(r.centre, 4.0, 1e-12);
  EXPECT_NEAR(r.limits.ucl1, 10.0, 1e-12);
  EXPECT_EQ(r.limits.lcl1, 0.0);
  EXPECT_NEAR(r.limits_unclipped.lcl1, -2.0, 1e-12);
  EXPECT_EQ(r.nbar, kM);  // not computed for the c chart
  EXPECT_NEAR(r.series.ucl1[4], 10.0, 1e-12);
}

TEST(AttributeChecks, MessagesStopTheChart) {
  struct Case {
    int code;
    std::vector<double> stat, size;
    int want;
    const char* why;
  };
  const Case cases[] = {
      {5, {2, 2.5, 1}, {10, 10, 10}, kMsgCountNotWhole, "np count 2.5"},
      {7, {1, 1.5}, {}, kMsgCountNotWhole, "c count 1.5"},
      {6, {0.5, -0.1}, {2, 2}, kMsgNegativeStatistic, "negative u"},
      {4, {0.2, 1.2}, {5, 5}, kMsgProportionAboveOne, "p above 1"},
      {5, {6, 1}, {5, 5}, kMsgCountAboveSize, "6 nonconforming of 5"},
      {6, {1.5, 2.5}, {1, 1}, 0, "u may exceed 1 and need not be whole"},
  };
  for (const Case& c : cases) {
    const ChartResults r = attribute(c.code, c.stat, c.size);
    EXPECT_EQ(r.error, c.want) << c.why;
    EXPECT_EQ(r.computed, c.want == 0) << c.why;
  }
}

TEST(AttributeChecks, BadSizesNeverCrash) {
  // Negative and zero sizes leave their points out of the sums.
  ChartResults r = attribute(4, {0.1, 0.2, 0.3}, {-5, 0, 10});
  EXPECT_NEAR(r.centre, 0.3, 1e-12);
  EXPECT_EQ(r.series.ucl1[0], kM);
  testing::expect_all_finite(r);
  r = attribute(4, {0.0, 0.0}, {10, 10});  // p-bar 0: sigma 0, limits on the centre
  EXPECT_EQ(r.limits.ucl1, 0.0);
  testing::expect_all_finite(r);
  r = attribute(5, {kM, kM}, {kM, kM});
  EXPECT_EQ(r.centre, kM);
  testing::expect_all_finite(r);
}

}  // namespace
}  // namespace ztq
