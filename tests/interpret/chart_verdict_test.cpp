// The verdict on the points beyond a chart's limits. Expected tails are the
// binomial terms written out, 1 - (1-q)^n for one point and
// 1 - (1-q)^n - n q (1-q)^(n-1) for two, with q from the normal table
// (Abramowitz and Stegun 1964, table 26.1): 1 - Phi(3) = 0.00134989803163,
// 1 - Phi(2.5) = 0.00620966532578, 1 - Phi(2) = 0.0227501319482.
#include <gtest/gtest.h>

#include <cmath>

#include "interpret/chart_verdict.h"
#include "ztqualty.h"

namespace ztq {
namespace {

constexpr double kQ3 = 2 * 0.00134989803163;   // both tails beyond 3 sigma
constexpr double kQ25 = 2 * 0.00620966532578;  // beyond 2.5 sigma
constexpr double kQ2 = 2 * 0.0227501319482;    // beyond 2 sigma

double one_or_more(int n, double q) { return 1 - std::pow(1 - q, n); }
double two_or_more(int n, double q) {
  return 1 - std::pow(1 - q, n) - n * q * std::pow(1 - q, n - 1);
}

// Phi is the module's Abramowitz-Stegun 26.2.17; its tails are off the table
// by up to 1.4e-7 each (at z = 2), so two tails agree to 3e-7.
TEST(ChartVerdict, ExpectedFractionFromTheSigmaMultiples) {
  EXPECT_NEAR(expected_fraction(3, -3), kQ3, 3e-7);
  EXPECT_NEAR(expected_fraction(2, -2), kQ2, 3e-7);
  EXPECT_NEAR(expected_fraction(3, ZTQ_MISSING), kQ3 / 2, 1.5e-7) << "no lower limit";
  EXPECT_EQ(expected_fraction(ZTQ_MISSING, ZTQ_MISSING), 0.0);
}

// One point beyond 3-sigma limits among n points: the bands at their edges.
TEST(ChartVerdict, OnePointBeyondByNumberOfPoints) {
  struct Row {
    int n;
    double p;  // 1 - (1 - 0.0026997961)^n, to six places
    int32_t verdict;
  };
  const Row rows[] = {
      {3, 0.008078, 6088},   // below 0.01
      {4, 0.010756, 6089},   // just past 0.01
      {18, 0.047497, 6089},  // just below 0.05
      {19, 0.050069, 6110},  // just past 0.05
      {38, 0.097630, 6110},  // just below 0.1
      {40, 0.102496, 6090},  // just past 0.1
  };
  for (const Row& r : rows) {
    const double p = binomial_upper_tail(1, r.n, kQ3);
    EXPECT_NEAR(p, one_or_more(r.n, kQ3), 1e-12) << r.n;
    EXPECT_NEAR(p, r.p, 5e-6) << r.n;
    EXPECT_EQ(verdict_sentence(p), r.verdict) << r.n;
  }
}

TEST(ChartVerdict, BandEdgesBelongToTheUpperBand) {
  EXPECT_EQ(verdict_sentence(0.0), 6088);
  EXPECT_EQ(verdict_sentence(0.01), 6089);
  EXPECT_EQ(verdict_sentence(0.05), 6110);
  EXPECT_EQ(verdict_sentence(0.1), 6090);
  EXPECT_EQ(verdict_sentence(1.0), 6090);
}

TEST(ChartVerdict, NoPointBeyondIsCertain) {
  ChartCounts k{.code = 0, .n1 = 25, .c1 = 0, .n2 = 25, .c2 = 0, .q1 = kQ3, .q2 = kQ3};
  const ChartTest t = chart_test(k);
  EXPECT_EQ(t.p, 1.0);
  EXPECT_EQ(verdict_sentence(t.p), 6090);
}

TEST(ChartVerdict, TwoPointsBeyond) {
  // 25 points: 1 - 0.934647 - 25 x 0.0026998 x 0.937178 = 0.002098
  const double p = binomial_upper_tail(2, 25, kQ3);
  EXPECT_NEAR(p, two_or_more(25, kQ3), 1e-12);
  EXPECT_NEAR(p, 0.002098, 5e-6);
  EXPECT_EQ(verdict_sentence(p), 6088);
}

// The fault of reading q as a percent (q / 100): one point among 25 then got
// P = 0.00067, "highly significant"; as the fraction it is, P = 0.0653.
TEST(ChartVerdict, ExpectedFractionIsNotAPercentage) {
  const double p = binomial_upper_tail(1, 25, kQ3);
  EXPECT_NEAR(p, 0.065353, 5e-6);  // 1 - 0.9973002^25
  EXPECT_EQ(verdict_sentence(p), 6110);
  EXPECT_NEAR(binomial_upper_tail(1, 25, kQ3 / 100), 0.000675, 5e-6) << "what the fault gave";
}

TEST(ChartVerdict, RangeChartWithMorePointsAndItsOwnMultiple) {
  // chart 1: one point beyond 3 sigma; chart 2 (limits at 2.5 sigma): two.
  ChartCounts k{.code = 0, .n1 = 25, .c1 = 1, .n2 = 24, .c2 = 2, .q1 = kQ3, .q2 = kQ25};
  const ChartTest t = chart_test(k);
  EXPECT_EQ(t.chart, 2);
  EXPECT_EQ(t.count, 2);
  EXPECT_EQ(t.n, 24);
  EXPECT_NEAR(t.p, two_or_more(24, kQ25), 1e-12);  // 0.035527
  EXPECT_EQ(verdict_sentence(t.p), 6089);
  k.c2 = 1;  // a tie goes to chart 1
  EXPECT_EQ(chart_test(k).chart, 1);
}

TEST(ChartVerdict, TwoSigmaLimits) {
  // 1 - (1 - 0.0455003)^4 = 0.169952: one point beyond 2-sigma limits is common
  ChartCounts k{.code = 3, .n1 = 4, .c1 = 1, .q1 = kQ2};
  const ChartTest t = chart_test(k);
  EXPECT_NEAR(t.p, 0.169952, 5e-6);
  EXPECT_EQ(verdict_sentence(t.p), 6090);
}

TEST(ChartVerdict, WhichCodesFormAProbability) {
  // attribute codes have one chart: chart 2's count never enters
  ChartCounts k{.code = 4, .n1 = 30, .c1 = 0, .n2 = 30, .c2 = 3, .q1 = kQ3, .q2 = kQ3};
  EXPECT_EQ(chart_test(k).chart, 1);
  EXPECT_EQ(chart_test(k).p, 1.0);
  for (int code : {8, 9, 10, 14, 16, 18, 20, 21}) {
    k.code = code;
    EXPECT_EQ(chart_test(k).chart, 0) << code;
  }
  k.code = 0;
  k.q1 = 0;  // limits so wide nothing is expected beyond them
  k.c2 = 0;
  EXPECT_EQ(chart_test(k).chart, 0);
}

TEST(ChartVerdict, BadCountsAndFractions) {
  EXPECT_EQ(binomial_upper_tail(5, 4, kQ3), 0.0) << "more points beyond than points";
  EXPECT_EQ(binomial_upper_tail(-1, 4, kQ3), 1.0);
  EXPECT_EQ(binomial_upper_tail(1, 0, kQ3), 0.0);
  EXPECT_EQ(binomial_upper_tail(1, 4, 0.0), 0.0);
  EXPECT_EQ(binomial_upper_tail(1, 4, 1.0), 1.0);
  EXPECT_EQ(binomial_upper_tail(1, 4, ZTQ_MISSING), 0.0);
  const double big = binomial_upper_tail(3, 1000000, kQ3);  // 10^6 points: still a probability
  EXPECT_GE(big, 0.0);
  EXPECT_LE(big, 1.0);
  EXPECT_EQ(big, 1.0);
}

TEST(ChartVerdict, CpBands) {
  struct Row {
    double cp;
    int32_t band;
  };
  const Row rows[] = {{0.99, 8094}, {1.0, 8095}, {1.3299, 8095}, {1.33, 8096},
                      {1.99, 8096}, {2.0, 8097}, {-1, 8094}};
  for (const Row& r : rows) EXPECT_EQ(cp_band_sentence(r.cp), r.band) << r.cp;
}

}  // namespace
}  // namespace ztq
