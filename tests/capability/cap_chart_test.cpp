// The capability charts' computation: smoothers, run marks, the within sigma
// and the lines of both charts, against hand arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "capability/cap_chart.h"

namespace ztq {
namespace {

constexpr double M = kMissing;

TEST(CapabilityChart, Smoothers) {
  const std::vector<double> x = {1, 2, M, 4, 8};
  // Span 2: (1), (1+2)/2, missing, (4) alone (position 2 missing), (4+8)/2.
  const std::vector<double> ma = chart_smoother(x, 1, 2, 0.2);
  const std::vector<double> want_ma = {1, 1.5, M, 4, 6};
  // EWMA 0.5: 1, 1.5, missing, 2.75, 5.375.
  const std::vector<double> ew = chart_smoother(x, 2, 9, 0.5);
  const std::vector<double> want_ew = {1, 1.5, M, 2.75, 5.375};
  for (size_t i = 0; i < x.size(); ++i) {
    EXPECT_DOUBLE_EQ(ma[i], want_ma[i]) << i;
    EXPECT_DOUBLE_EQ(ew[i], want_ew[i]) << i;
  }
}

TEST(CapabilityChart, RunMarks) {
  struct Case {
    std::vector<double> x;
    int length;
    std::vector<int32_t> want;
  };
  const Case cases[] = {
      // Centre 0: three on or above (0 counts for both sides) -> 1 at the third.
      {{1, 0, 2, -1}, 3, {0, 0, 1, 0}},
      // Rising steps 1<2<3<4: the third step marks 2; all above too -> 3.
      {{1, 2, 3, 4}, 3, {0, 0, 1, 3}},
      // An equal pair breaks the rising run; a missing point is skipped.
      {{-4, -3, -3, M, -2, -1}, 2, {0, 1, 1, 0, 1, 3}},
  };
  for (const Case& c : cases) EXPECT_EQ(run_marks(c.x, 0, c.length), c.want);
}

TEST(CapabilityChart, IndividualsWithinSigmaAndLines) {
  CapabilityResults r;
  r.data = {10, 12, M, 11, 14};
  r.mean = 11.75;
  CapChartOptions o;
  o.outer_warning = true;
  o.show_runs = false;
  const CapChartResults c = capability_chart(r, 1, o);
  // Moving ranges 2, 1, 3 (the missing point skipped): MR-bar 2, sigma 2 / 1.128.
  const double s = 2 / 1.128;
  EXPECT_NEAR(c.within_sigma, s, 1e-12);
  EXPECT_NEAR(c.location.ucl, 11.75 + 3 * s, 1e-12);
  EXPECT_NEAR(c.location.outer_lower, 11.75 - 2 * s, 1e-12);
  EXPECT_EQ(c.dispersion.series, (std::vector<double>{M, 2, M, 1, 3}));
  EXPECT_NEAR(c.dispersion.ucl, 2 + 3 * 0.853 * s, 1e-12);
  EXPECT_EQ(c.dispersion.lcl, 0.0);  // 2 - 3 x 0.853 x 1.773 < 0: raised to 0
  EXPECT_TRUE(c.location.runs.empty());
}

TEST(CapabilityChart, SubgroupsRangeOrStandardDeviation) {
  CapabilityResults r;
  r.mean = 5;
  r.subgroups.count = 2;
  r.subgroups.nbar = 5;
  r.subgroups.rbar = 2.326;   // d2(5) = 2.326: within sigma 1
  r.subgroups.sbar = 0.9400;  // c4(5) = 0.9400: within sigma 1
  r.subgroups.sizes = {5, 5};
  r.subgroups.means = {4.9, 5.1};
  r.subgroups.ranges = {2, 2.652};
  r.subgroups.sds = {0.9, 0.98};
  CapChartOptions o;
  const CapChartResults by_range = capability_chart(r, 2, o);
  EXPECT_EQ(by_range.statistic, 0);
  EXPECT_NEAR(by_range.within_sigma, 1.0, 1e-9);
  EXPECT_NEAR(by_range.location.sigma, 1 / std::sqrt(5.0), 1e-9);
  EXPECT_NEAR(by_range.dispersion.ucl, 2.326 + 3 * 0.864, 1e-9);  // d3(5) = 0.864
  o.dispersion_sd = true;
  const CapChartResults by_sd = capability_chart(r, 2, o);
  EXPECT_EQ(by_sd.statistic, 1);
  EXPECT_NEAR(by_sd.within_sigma, 1.0, 1e-4);
  // c4 x sigma + 3 sqrt(1 - c4^2) sigma = 0.94 + 3 x 0.3412 = 1.9637.
  EXPECT_NEAR(by_sd.dispersion.ucl, 1.9637, 1e-3);
}

TEST(CapabilityChart, SubgroupsOfOneHaveNoLimits) {
  // Ranges of single observations are all 0: within sigma 0, so no limit or
  // warning line on either chart, and no zone marks; the runs still count.
  CapabilityResults r;
  r.mean = 2;
  r.subgroups.count = 3;
  r.subgroups.nbar = 1;
  r.subgroups.sizes = {1, 1, 1};
  r.subgroups.means = {1, 2, 3};
  r.subgroups.ranges = {0, 0, 0};
  r.subgroups.sds = {0, 0, 0};
  r.subgroups.rbar = r.subgroups.sbar = 0;
  CapChartOptions o;
  o.outer_warning = o.inner_warning = true;
  o.run_length = 2;
  const CapChartResults c = capability_chart(r, 2, o);
  EXPECT_EQ(c.within_sigma, 0.0);
  for (const CapChartSide* s : {&c.location, &c.dispersion}) {
    EXPECT_EQ(s->ucl, M);
    EXPECT_EQ(s->lcl, M);
    EXPECT_EQ(s->outer_upper, M);
    EXPECT_EQ(s->inner_lower, M);
  }
  EXPECT_TRUE(c.location.zone_marks.empty());
  // Centre 2, L 2: the 2 on the centre makes two on or below (1); the 3 two on
  // or above and two rising steps (1 + 2).
  EXPECT_EQ(c.location.runs, (std::vector<int32_t>{0, 1, 3}));
}

TEST(CapabilityChart, ZoneMarksBeyondTheWarningLines) {
  // Centre 0, sigma 1. Outer: two of the last three beyond +2 (or below -2);
  // inner: four of the last five beyond +1 (or below -1), one side each.
  struct Case {
    std::vector<double> x;
    bool inner, outer;
    std::vector<int32_t> want;
  };
  const Case cases[] = {
      // 2.5, 0, 2.1: the third point has two of three above 2 -> 8.
      {{2.5, 0, 2.1, 0}, false, true, {0, 0, 8, 0}},
      // 2.5 above, -2.5 below: one a side, no mark.
      {{2.5, -2.5, 0}, false, true, {0, 0, 0}},
      // Four of five above 1 first at the fifth point (three of four before).
      {{1.5, 0, 1.5, 1.5, 1.5}, true, false, {0, 0, 0, 0, 4}},
      // Both: two of three above 2 at the third and fourth; four above 1 at the fourth.
      {{1.5, 2.5, 2.5, 1.5}, true, true, {0, 0, 8, 12}},
      // A missing point occupies its position in the window.
      {{2.5, M, 2.5}, false, true, {0, 0, 8}},
      {{2.5, 2.5}, false, false, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(zone_marks(c.x, 0, 1, c.inner, c.outer), c.want) << c.x.size();
}

}  // namespace
}  // namespace ztq
