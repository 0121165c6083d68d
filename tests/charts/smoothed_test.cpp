// Moving-average and EWMA charts (codes 8, 9, 11, 12) and the smoother lines:
// start rules, early limits, missing and excluded points, worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart_test_util.h"
#include "charts/chart_messages.h"
#include "charts/ewma_arl.h"
#include "charts/smoothers.h"

namespace ztq {
namespace {

using testing::kM;

// x = 10 12 11 13 9 10 12 11 10 12: centre 110 / 10 = 11; moving ranges
// 2 1 2 4 1 2 1 1 2 sum 16 over 9, sigma = (16 / 9) / 1.128.
const std::vector<double> kX = {10, 12, 11, 13, 9, 10, 12, 11, 10, 12};
const double kSigma = (16.0 / 9.0) / 1.128;

ChartResults chart(int code, const std::vector<double>& x, const ChartOptions& o,
                   const std::vector<int>& excl = {}) {
  ChartInput in = chart_input_from_raw(code, x, {});
  in.excluded = excl;
  return compute_chart(in, o);
}

TEST(MovingAverageChart, StartRulesOfSpanNine) {
  // Span 9: n-eff 9, full limits 11 +- 3 sigma / 3 = 11 +- sigma.
  struct Row {
    int rule;
    double first, ucl_first, second, ucl_second;
    const char* source;
  };
  const Row rows[] = {
      {0, (8 * 11.0 + 10) / 9, 11 + kSigma, (7 * 11.0 + 10 + 12) / 9, 11 + kSigma,
       "rule 0: (8 x centre + x1) / 9, full limits"},
      {1, (8 * 11.0 + 10) / 9, 11 + kSigma * std::sqrt(1.0 / 9), (7 * 11.0 + 22) / 9,
       11 + kSigma * std::sqrt(2.0 / 9), "rule 1: limits at sqrt(c / 9) of the distance"},
      {2, 10.0, 11 + 3 * kSigma, 11.0, 11 + kSigma * std::sqrt(9.0 / 2),
       "rule 2: x1 alone, limits three times as far; then (10 + 12) / 2"},
  };
  for (const Row& row : rows) {
    ChartOptions o = default_chart_options();
    o.option[73] = row.rule;
    const ChartResults r = chart(8, kX, o);
    ASSERT_EQ(r.error, 0) << row.source;
    EXPECT_NEAR(r.series.stat1[0], row.first, 1e-12) << row.source;
    EXPECT_NEAR(r.series.ucl1[0], row.ucl_first, 1e-12) << row.source;
    EXPECT_NEAR(r.series.lcl1[0], 22 - row.ucl_first, 1e-12) << row.source;  // symmetric
    EXPECT_NEAR(r.series.stat1[1], row.second, 1e-12) << row.source;
    EXPECT_NEAR(r.series.ucl1[1], row.ucl_second, 1e-12) << row.source;
    // Point 10: the window x2..x10 = 100 in every rule, full limits.
    EXPECT_NEAR(r.series.stat1[9], 100.0 / 9, 1e-12) << row.source;
    EXPECT_NEAR(r.series.ucl1[9], 11 + kSigma, 1e-12) << row.source;
    EXPECT_EQ(r.smoothers.ma1, kX) << "the unsmoothed values stay in the smoother slot";
  }
}

TEST(EwmaChart, StartsAtTheCentreWithNarrowLimits) {
  // lambda 0.2: n-eff (2 - 0.2) / 0.2 = 9, asymptotic distance 3 sigma / 3 = sigma.
  const ChartResults r = chart(9, kX, default_chart_options());
  ASSERT_EQ(r.error, 0);
  EXPECT_NEAR(r.series.stat1[0], 0.2 * 10 + 0.8 * 11, 1e-12);    // 10.8
  EXPECT_NEAR(r.series.stat1[1], 0.2 * 12 + 0.8 * 10.8, 1e-12);  // 11.04
  EXPECT_NEAR(r.series.ucl1[0], 11 + 0.6 * kSigma, 1e-12);       // sqrt(1 - 0.8^2) = 0.6
  EXPECT_NEAR(r.series.lcl1[1], 11 - std::sqrt(1 - std::pow(0.8, 4)) * kSigma, 1e-12);
  EXPECT_NEAR(r.limits.ucl1, 11 + kSigma, 1e-12);  // the summary at the asymptote
  EXPECT_EQ(r.smoothers.ewma1, kX);
}

TEST(EwmaChart, MissingValueLeavesTheEwmaUnchanged) {
  std::vector<double> x = kX;
  x[1] = kM;  // centre (110 - 12) / 9 = 98 / 9
  const ChartResults r = chart(9, x, default_chart_options());
  const double c = 98.0 / 9, z1 = 0.2 * 10 + 0.8 * c;
  EXPECT_NEAR(r.series.stat1[0], z1, 1e-12);
  EXPECT_EQ(r.series.stat1[1], kM);
  EXPECT_NEAR(r.series.stat1[2], 0.2 * 11 + 0.8 * z1, 1e-12);
  // Point 3 is the second usable one: its limits at sqrt(1 - 0.8^4) of the distance.
  const double d = r.limits.ucl1 - c;
  EXPECT_NEAR(r.series.ucl1[2] - c, std::sqrt(1 - std::pow(0.8, 4)) * d, 1e-12);
}

TEST(EwmaChart, ExcludedPointIsSkippedLikeAMissingOne) {
  // Excluding x1 = 10: centre 100 / 9; the EWMA starts again from that centre.
  std::vector<int> excl(kX.size(), 0);
  excl[0] = 1;
  const ChartResults r = chart(9, kX, default_chart_options(), excl);
  EXPECT_EQ(r.series.stat1[0], kM);
  EXPECT_NEAR(r.series.stat1[1], 0.2 * 12 + 0.8 * (100.0 / 9), 1e-12);
  EXPECT_NEAR(r.series.ucl1[1] - 100.0 / 9, 0.6 * (r.limits.ucl1 - 100.0 / 9), 1e-12);
}

TEST(EwmaChart, SubgroupMeansUseNTimesTheEffectiveSize) {
  // (9, 11) mean 10 R 2; (10, 14) mean 12 R 4; (11, 11) mean 11 R 0: centre 11,
  // R-bar 2, sigma 2 / 1.128; n-eff = 2 x 9 = 18.
  const std::vector<double> x = {9, 11, 10, 14, 11, 11};
  const ChartResults r = testing::raw_chart(12, x, {2}, default_chart_options());
  ASSERT_EQ(r.error, 0);
  const double sigma = 2 / 1.128;
  EXPECT_NEAR(r.series.stat1[0], 10.8, 1e-12);
  EXPECT_NEAR(r.series.ucl1[0], 11 + 0.6 * 3 * sigma / std::sqrt(18.0), 1e-12);
  // The in-control run length follows the multiples 3 and -3 back from the limits.
  EXPECT_NEAR(r.arl, ewma_arl(0.2, 3.0, 3.0, 0.0), 1e-6 * r.arl);
}

TEST(SmootherLines, FirstOutputIsTheFirstValue) {
  ChartOptions o = default_chart_options();
  o.option[33] = o.option[35] = o.option[43] = o.option[45] = 1;
  o.option[34] = 3;
  std::vector<double> x = kX;
  x[3] = kM;
  const ChartResults r = chart(3, x, o);
  const SmootherLines& s = r.smoothers;
  EXPECT_EQ(s.ewma1[0], 10.0);
  EXPECT_NEAR(s.ewma1[1], 0.2 * 12 + 0.8 * 10, 1e-12);  // 10.4
  EXPECT_NEAR(s.ewma1[2], 0.2 * 11 + 0.8 * 10.4, 1e-12);
  EXPECT_EQ(s.ewma1[3], kM);                                   // missing value
  EXPECT_NEAR(s.ewma1[4], 0.2 * 9 + 0.8 * s.ewma1[2], 1e-12);  // unchanged over it
  EXPECT_EQ(s.ma1[0], 10.0);                                   // positions before: absent
  EXPECT_NEAR(s.ma1[1], 11.0, 1e-12);
  EXPECT_NEAR(s.ma1[4], (11 + 9) / 2.0, 1e-12);  // positions 3..5 hold 11, (missing), 9
  // Chart 2: moving ranges -, 2, 1, -, 2 (11 to 9 bridges the gap), ...
  EXPECT_EQ(s.ewma2[0], kM);
  EXPECT_EQ(s.ewma2[1], 2.0);
  EXPECT_NEAR(s.ewma2[2], 0.2 * 1 + 0.8 * 2, 1e-12);
  EXPECT_NEAR(s.ma2[2], 1.5, 1e-12);
  EXPECT_TRUE(chart(3, kX, default_chart_options()).smoothers.ma1.empty());  // off by default
}

TEST(SmootherLines, ExcludedPointIsMissingAndSkipped) {
  ChartOptions o = default_chart_options();
  o.option[33] = o.option[35] = 1;
  o.option[34] = 3;
  std::vector<int> excl(kX.size(), 0);
  excl[1] = 1;
  const ChartResults r = chart(3, kX, o, excl);
  EXPECT_EQ(r.smoothers.ma1[1], kM);
  EXPECT_NEAR(r.smoothers.ma1[2], (10 + 11) / 2.0, 1e-12);  // the window skips x2
  EXPECT_EQ(r.smoothers.ewma1[1], kM);
  EXPECT_NEAR(r.smoothers.ewma1[2], 0.2 * 11 + 0.8 * 10, 1e-12);
}

TEST(SmoothedCharts, BadParametersGiveAnErrorState) {
  struct Case {
    int code, option_index;
    double doption21;
    int want;
  };
  const Case cases[] = {{8, 0, 0.2, kMsgSpan},    {9, -1, 0.0, kMsgWeight},
                        {9, -1, 1.5, kMsgWeight}, {9, -1, -0.2, kMsgWeight},
                        {9, -1, 1.0, 0},          {8, 500, 0.2, 0}};
  for (const Case& c : cases) {
    ChartOptions o = default_chart_options();
    if (c.option_index >= 0) o.option[34] = c.option_index;
    o.doption[21] = c.doption21;
    const ChartResults r = chart(c.code, kX, o);
    EXPECT_EQ(r.error, c.want) << c.code << " " << c.option_index << " " << c.doption21;
    testing::expect_all_finite(r);
  }
  // A span of 500 over 10 points: every average holds all values so far and pads.
  ChartOptions o = default_chart_options();
  o.option[34] = 500;
  EXPECT_NEAR(chart(8, kX, o).series.stat1[9], (490 * 11.0 + 110) / 500, 1e-12);
}

}  // namespace
}  // namespace ztq
