// Cumulative-sum charts with the V-mask (codes 10, 13) and the
// decision-interval sums (codes 14, 15), worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart_test_util.h"
#include "charts/chart_messages.h"
#include "charts/cusum.h"
#include "charts/tabular_series.h"
#include "interpret/chart_advice.h"

namespace ztq {
namespace {

using testing::kM;
using S = TabularSeries;

ChartOptions to_standard(double mu0, double sigma0) {
  ChartOptions o = default_chart_options();
  o.option[1] = 1;
  o.doption[4] = mu0;
  o.doption[5] = sigma0;
  return o;
}

ChartResults chart(int code, const std::vector<double>& x, const ChartOptions& o,
                   const std::vector<int>& excl = {}) {
  ChartInput in = chart_input_from_raw(code, x, {});
  in.excluded = excl;
  return compute_chart(in, o);
}

// 12, 10, (30 excluded), 11, 9 about the standard 10 with sigma 1.
const std::vector<double> kX = {12, 10, 30, 11, 9};
const std::vector<int> kExcl = {0, 0, 1, 0, 0};

TEST(Cusum, ExcludedPointPlotsZeroAndTheSumContinues) {
  const ChartResults r = chart(10, kX, to_standard(10, 1), kExcl);
  ASSERT_EQ(r.error, 0);
  // S: 2, 2 + 0 = 2, [excluded: 0.0], 2 + 1 = 3, 3 - 1 = 2.
  EXPECT_EQ(r.series.stat1, (std::vector<double>{2, 2, 0, 3, 2}));
  // Mean deviation: (2 + 0 + 1 - 1) / 5 points, the excluded one counted.
  EXPECT_NEAR(r.cusum.mean_deviation, 0.4, 1e-12);
  // Estimated centre 42 / 4 = 10.5: S = 1.5, 1.0, [0.0], 1.5, 0.0.
  const ChartResults e = chart(10, kX, default_chart_options(), kExcl);
  EXPECT_EQ(e.series.stat1, (std::vector<double>{1.5, 1.0, 0.0, 1.5, 0.0}));
  EXPECT_NEAR(e.cusum.mean_deviation, 0.0, 1e-12);
}

TEST(Cusum, VMaskLeadDistanceAndArms) {
  // alpha = beta = 0.01, delta 1, n-bar 1: d = 2 ln(2 x 0.99 / 0.01) = 2 ln 198 = 10.576
  const double d = 2 * std::log(198.0);
  EXPECT_NEAR(d, 10.576, 1e-3);  // quoted to three decimals: 2 ln 198 = 10.57653
  EXPECT_NEAR(vmask_lead_distance(0.01, 0.01, 1.0, 1.0, 1.0), d, 1e-12);
  EXPECT_NEAR(vmask_lead_distance(0.01, 0.01, 1.0, 2.5, 1.0), d, 1e-12);       // sigma cancels
  EXPECT_NEAR(vmask_lead_distance(0.01, 0.01, 2.0, 1.0, 4.0), d / 16, 1e-12);  // / (n delta^2)

  const ChartResults r = chart(10, kX, to_standard(10, 1), kExcl);
  const CusumResult& c = r.cusum;
  EXPECT_EQ(c.reference_point, 5);  // the last point by default
  EXPECT_NEAR(c.lead_distance, d, 1e-12);
  // Vertex S_5 = 2, D = 1: arm = 2 +- (d + m) / 2, m = 0, 1, (excluded), 2, 3 walking back.
  const double m_at[5] = {3, 2, 0, 1, 0};
  for (int j : {0, 1, 3, 4}) {
    EXPECT_NEAR(c.upper_arm[j], 2 + (d + m_at[j]) / 2, 1e-12) << j;
    EXPECT_NEAR(c.lower_arm[j], 2 - (d + m_at[j]) / 2, 1e-12) << j;
    EXPECT_EQ(r.series.ucl1[j], c.upper_arm[j]) << "the arms are chart 1's limits";
  }
  EXPECT_EQ(c.upper_arm[2], kM);  // excluded
  EXPECT_EQ(r.series.cl1[0], 0.0);

  ChartOptions o = to_standard(10, 1);
  o.option[51] = 4;  // vertex at point 4 (S = 3): point 5 has no arms
  const ChartResults at4 = chart(10, kX, o, kExcl);
  EXPECT_NEAR(at4.cusum.upper_arm[3], 3 + d / 2, 1e-12);
  EXPECT_EQ(at4.cusum.upper_arm[4], kM);
  o.option[51] = 3;  // the excluded point: the mask sits on the last usable one before it
  EXPECT_EQ(chart(10, kX, o, kExcl).cusum.reference_point, 2);
  o.option[51] = 6;  // outside the series
  EXPECT_EQ(chart(10, kX, o, kExcl).error, kMsgReferencePoint);
}

TEST(Cusum, SigmaZeroGivesMissingArms) {
  const ChartResults r = chart(10, kX, to_standard(10, 0), kExcl);
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.cusum.lead_distance, kM);
  for (double v : r.cusum.upper_arm) EXPECT_EQ(v, kM);
  const ChartResults flat = chart(10, {5, 5, 5, 5}, default_chart_options());  // MR-bar 0
  EXPECT_EQ(flat.cusum.lead_distance, kM);
  testing::expect_all_finite(flat);
}

TEST(Cusum, RisksThatMakeTheLeadDistanceInfiniteAreRefused) {
  struct Case {
    int index;
    double value;
    int want;
    const char* why;
  };
  const Case cases[] = {{37, 0.0, kMsgWeight, "alpha 0: ln of infinity"},
                        {38, 1.0, kMsgWeight, "beta 1: ln 0"},
                        {39, 0.0, kMsgSigmaMultiple, "shift 0: D = 0"},
                        {38, 0.0, 0, "beta 0 is allowed"}};
  for (const Case& c : cases) {
    ChartOptions o = default_chart_options();
    o.doption[c.index] = c.value;
    EXPECT_EQ(validate_chart_options(o, 10), c.want) << c.why;
    EXPECT_NO_FATAL_FAILURE(testing::expect_all_finite(chart(10, kX, o)));
  }
  EXPECT_EQ(vmask_lead_distance(0.0, 0.01, 1, 1, 1), kM);
  EXPECT_EQ(vmask_lead_distance(0.01, 1.0, 1, 1, 1), kM);
}

TEST(Cusum, SubgroupMeansTakeNBarInTheLeadDistance) {
  // Subgroups of 2: means 10, 12, 11; ranges 2, 4, 0; sigma 2 / 1.128; n-bar 2.
  const ChartResults r =
      testing::raw_chart(13, {9, 11, 10, 14, 11, 11}, {2}, default_chart_options());
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.series.stat1, (std::vector<double>{-1, 0, 0}));
  EXPECT_NEAR(r.cusum.lead_distance, 2 * std::log(198.0) / 2, 1e-12);
}

// x = 11, 12, 9, 10.5 about mu0 = 10, sigma 1, h = 5, k = 0.5 (s = 1):
// SH: 0.5, 0.5 + 1.5 = 2, 2 - 1.5 = 0.5, 0.5 + 0 = 0.5
// SL: 0, 0, 0 + 9.5 - 9 = 0.5, max(0, 0.5 - 1) = 0
const std::vector<double> kT = {11, 12, 9, 10.5};

TEST(DecisionSums, UpperAndLowerSums) {
  const ChartResults r = chart(15, kT, to_standard(10, 1));
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(tabular_values(r, S::sh1), (std::vector<double>{0.5, 2, 0.5, 0.5}));
  EXPECT_EQ(tabular_values(r, S::sl1), (std::vector<double>{0, 0, 0.5, 0}));
  EXPECT_EQ(r.series.stat1, (std::vector<double>{0.5, 2, 0.5, 0.5}));  // SH wins the tie
  EXPECT_EQ(r.series.ucl1[0], 5.0);
  EXPECT_EQ(r.series.lcl1[0], -5.0);
  // The scale series W = (sqrt|z| - 0.822) / 0.349 with z = 1, 2, -1, 0.5 and its
  // sums SH2 = max(0, SH2 + W - 0.5), SL2 = max(0, SL2 - 0.5 - W).
  auto w = [](double z) { return (std::sqrt(std::fabs(z)) - 0.822) / 0.349; };
  double sh = 0, sl = 0;
  const double z[4] = {1, 2, -1, 0.5};
  for (int i = 0; i < 4; ++i) {
    sh = std::max(0.0, sh + w(z[i]) - 0.5);
    sl = std::max(0.0, sl - 0.5 - w(z[i]));
    EXPECT_NEAR(tabular_values(r, S::w)[i], w(z[i]), 1e-12) << i;
    EXPECT_NEAR(tabular_values(r, S::sh2)[i], sh, 1e-12) << i;
    EXPECT_NEAR(tabular_values(r, S::sl2)[i], sl, 1e-12) << i;
  }
  EXPECT_NEAR(tabular_values(r, S::sh2)[1], (w(1) - 0.5) + (w(2) - 0.5), 1e-12);  // 0.0100 + 1.1969
  EXPECT_EQ(r.tabular.decision2, 5.0);
}

TEST(DecisionSums, HeadstartSidesAndStandardizedScale) {
  ChartOptions o = to_standard(10, 1);
  o.doption[42] = 2.5;  // headstart: SH = 2.5 + 11 - 10.5 = 3
  o.option[53] = 1;     // upper sums only
  const ChartResults h = chart(15, kT, o);
  EXPECT_NEAR(tabular_values(h, S::sh1)[0], 3.0, 1e-12);
  EXPECT_TRUE(tabular_values(h, S::sl1).empty());
  EXPECT_EQ(h.series.lcl1[0], kM);

  ChartOptions s = to_standard(10, 2);
  s.option[2] = 1;  // z = (x - 10) / 2 = 0.5, 1, -0.5, 0.25; SH = max(0, SH + z - 0.5)
  const ChartResults z = chart(15, kT, s);
  EXPECT_EQ(tabular_values(z, S::sh1), (std::vector<double>{0, 0.5, 0, 0}));
  EXPECT_EQ(z.series.ucl1[3], 5.0);  // constant decision lines

  s.doption[5] = 0;  // sigma 0: the standardized sums are missing, not divided by 0
  const ChartResults zero = chart(15, kT, s);
  ASSERT_EQ(zero.error, 0);
  for (double v : tabular_values(zero, S::sh1)) EXPECT_EQ(v, kM);
  for (double v : tabular_values(zero, S::sh2)) EXPECT_EQ(v, kM);
  for (double v : zero.series.stat1) EXPECT_EQ(v, kM);
  testing::expect_all_finite(zero);
}

TEST(DecisionSums, SumsFormedWhereReadAgreeWithTheStatistic) {
  // Chart 1 plots SH or -SL and keeps only the points; the sums, formed again
  // where they are read, and the count of points past h must agree with it
  // for every side setting. Standard mu0, sigma 1: k = 0.5, s = 1.
  struct Case {
    const char* why;
    double mu0, headstart, h;
    int sides;   // `option53`: 0 both, 1 upper, 2 lower
    int phase2;  // 1-based first point of a second phase; 0 = one phase
    std::vector<double> x, sh, sl, stat;
    int beyond;  // points with a sum above h
  };
  const Case cases[] = {
      // mu0 10: a tie at 0, 0; SH 11 - 10.5 = 0.5; SL 9.5 - 8 = 1.5, then
      // 1.5 + 9.5 - 9 = 2 (past h 1.6); a gap; SH 12 - 10.5 = 1.5, SL
      // max(0, 2 + 9.5 - 12) = 0.
      {"lower sums win",
       10,
       0,
       1.6,
       0,
       0,
       {10, 11, 8, 9, kM, 12},
       {0, 0.5, 0, 0, kM, 1.5},
       {0, 0, 1.5, 2, kM, 0},
       {0, 0.5, -1.5, -2, kM, 1.5},
       1},
      // Headstart 2.5: SH 2.5 + 10 - 10.5 = 2 ties SL 2.5 + 9.5 - 10 = 2; then
      // SH 2 + 9.5 - 10.5 = 1 and SL 2 + 9.5 - 9.5 = 2, both above 0; h 1.9.
      {"both above 0", 10, 2.5, 1.9, 0, 0, {10, 9.5}, {2, 1}, {2, 2}, {2, -2}, 2},
      // The sums start again at point 2: SH 0.5 | 12 - 10.5 = 1.5, 1.5 + 0.5 = 2
      // (not 0.5, 2, 2.5 as one phase would give).
      {"a second phase",
       10,
       0,
       1.8,
       0,
       2,
       {11, 12, 11},
       {0.5, 1.5, 2},
       {0, 0, 0},
       {0.5, 1.5, 2},
       1},
      // SL = 0 - 0.5 + 32768.5 = 32768: the statistic -32768 reads as missing,
      // the sums do not, and the point is past h.
      {"SL of 32768", 0, 0, 5, 0, 0, {-32768.5}, {0}, {32768}, {kM}, 1},
      // Lower side only: then SL = 32768 - 0.5 - 1 = 32766.5.
      {"lower side only", 0, 0, 5, 2, 0, {-32768.5, 1}, {}, {32768, 32766.5}, {kM, -32766.5}, 2},
      // Upper side only, h 0.4: SH 0.5 is past h; SL 9.5 - 8 = 1.5 is not formed.
      {"upper side only", 10, 0, 0.4, 1, 0, {11, 8, kM}, {0.5, 0, kM}, {}, {0.5, 0, kM}, 1},
  };
  for (const Case& c : cases) {
    ChartOptions o = to_standard(c.mu0, 1);
    o.doption[40] = c.h;
    o.doption[42] = c.headstart;
    o.option[53] = c.sides;
    o.option[67] = c.phase2;
    const ChartResults r = chart(15, c.x, o);
    ASSERT_EQ(r.error, 0) << c.why;
    EXPECT_EQ(r.series.stat1, c.stat) << c.why;
    EXPECT_EQ(tabular_values(r, S::sh1), c.sh) << c.why;
    EXPECT_EQ(tabular_values(r, S::sl1), c.sl) << c.why;
    EXPECT_EQ(chart_advice::past_decision(r), c.beyond) << c.why;
  }
}

TEST(DecisionSums, SubgroupMeansUseTheirOwnStandardError) {
  // Subgroups (11, 13, 12, 12) n 4 mean 12 and (13, 15) n 2 mean 14; mu0 10, sigma 2:
  // s = 2 / 2 = 1: SH = 12 - 10.5 = 1.5; s = 2 / sqrt 2: SH = 1.5 + 14 - (10 + 0.5 sqrt 2).
  const std::vector<double> x = {11, 13, 12, 12, 13, 15};
  const ChartResults r = testing::raw_chart(14, x, {1, 1, 1, 1, 2, 2}, to_standard(10, 2));
  ASSERT_EQ(r.error, 0);
  EXPECT_NEAR(tabular_values(r, S::sh1)[0], 1.5, 1e-12);
  EXPECT_NEAR(tabular_values(r, S::sh1)[1], 1.5 + 14 - (10 + 0.5 * std::sqrt(2.0)), 1e-12);
  EXPECT_NEAR(r.series.ucl1[1], 5 * std::sqrt(2.0), 1e-12);
  EXPECT_TRUE(tabular_values(r, S::sh2).empty());  // no scale series for code 14
}

TEST(DecisionSums, DecisionLinesFollowEachSubgroupSize) {
  // mu0 10, sigma 2, h 5: the lines at subgroup g are +-5 x 2 / sqrt(n_g), one
  // value for equal sizes and a new value at every point when sizes alternate.
  struct Case {
    const char* why;
    std::vector<int> sizes;  // of consecutive subgroups, repeated to 200 subgroups
  };
  const Case cases[] = {{"one size", {4}},
                        {"sizes alternating: a run a point", {2, 3, 5, 9}},
                        {"runs of equal sizes", {4, 4, 4, 7, 7}}};
  for (const Case& c : cases) {
    std::vector<double> x, codes;
    std::vector<int> n;
    for (int g = 0; g < 200; ++g) {
      n.push_back(c.sizes[static_cast<std::size_t>(g) % c.sizes.size()]);
      for (int j = 0; j < n.back(); ++j) {
        x.push_back(10.0 + 0.1 * ((g + j) % 5));
        codes.push_back(g + 1);
      }
    }
    const ChartResults r = testing::raw_chart(14, x, codes, to_standard(10, 2));
    ASSERT_EQ(r.error, 0) << c.why;
    ASSERT_EQ(r.tabular.decision1.size(), n.size()) << c.why;
    for (std::size_t g = 0; g < n.size(); ++g) {
      const double h = 10.0 / std::sqrt(static_cast<double>(n[g]));
      EXPECT_NEAR(r.tabular.decision1[g], h, 1e-12) << c.why << " " << g;
      EXPECT_NEAR(r.series.ucl1[g], h, 1e-12) << c.why << " " << g;
      EXPECT_NEAR(r.series.lcl1_unclipped[g], -h, 1e-12) << c.why << " " << g;
      EXPECT_EQ(r.series.cl1[g], 0.0) << c.why << " " << g;
    }
  }
}

TEST(DecisionSums, NegativeParametersAreRefused) {
  for (int index : {40, 41, 42}) {
    ChartOptions o = to_standard(10, 1);
    o.doption[index] = -1.0;
    EXPECT_EQ(validate_chart_options(o, 15), kMsgDecisionInterval) << index;
    EXPECT_EQ(chart(15, kT, o).error, kMsgDecisionInterval) << index;
  }
}

}  // namespace
}  // namespace ztq
