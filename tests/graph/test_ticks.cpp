// Round ticks: hand-worked ranges against the scale the renderer picks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/graph/ticks.h"

namespace qualty {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct NiceRow {
  double lo, hi;
  double min, max, step;
  const char* source;
};

// Each row: candidate steps 1, 2, 5 x 10^k, divisions = (ceil(hi/s) - floor(lo/s)).
const NiceRow kNice[] = {
    {0, 1, 0, 1, 0.2, "s=0.1 gives 10, s=0.2 gives 5"},
    {0, 7, 0, 8, 2, "s=1 gives 7, s=2 gives 0..8 = 4"},
    {0, 100, 0, 100, 20, "s=20 gives 5"},
    {3.2, 7.9, 3, 8, 1, "s=1 gives 3..8 = 5; s=0.5 gives 10"},
    {-0.37, 0.52, -0.4, 0.6, 0.2, "s=0.2 gives -0.4..0.6 = 5"},
    {9.5, 10.5, 9.4, 10.6, 0.2, "s=0.2 gives 9.4..10.6 = 6; s=0.5 gives 2"},
    {0, 13, 0, 14, 2, "s=2 gives 7, s=5 gives 3: both one from the band, 0..14 is tighter"},
    {1e6, 5e6, 1e6, 5e6, 1e6, "s=1e6 gives 4"},
    {10, 2, 2, 10, 2, "reversed ends swapped; s=2 gives 4"},
    {5, 5, 4.4, 5.6, 0.2, "equal ends widened by 10% to 4.5..5.5; s=0.2 gives 6"},
    {0, 0, -1, 1, 0.5, "zero widened to -1..1; s=0.5 gives 4"},
    {-kInf, kInf, 0, 1, 0.2, "no usable end: 0..1"},
    {7.6, 12.64, 7, 13, 1, "control chart: s=1 gives 7..13 = 6"},
};

TEST(NiceScale, HandWorkedRanges) {
  for (const NiceRow& r : kNice) {
    const AxisScale s = nice_scale(r.lo, r.hi);
    EXPECT_NEAR(s.min, r.min, 1e-9 * std::max(1.0, std::fabs(r.min))) << r.source;
    EXPECT_NEAR(s.max, r.max, 1e-9 * std::max(1.0, std::fabs(r.max))) << r.source;
    EXPECT_NEAR(s.step, r.step, 1e-12 * std::max(1.0, r.step)) << r.source;
    // The ticks are the multiples of the step from min to max.
    ASSERT_FALSE(s.ticks.empty()) << r.source;
    EXPECT_NEAR(s.ticks.front(), s.min, 1e-9 * std::max(1.0, std::fabs(s.min)));
    EXPECT_NEAR(s.ticks.back(), s.max, 1e-9 * std::max(1.0, std::fabs(s.max)));
    EXPECT_EQ(s.ticks.size(), static_cast<std::size_t>(std::lround((s.max - s.min) / s.step)) + 1);
  }
}

TEST(NiceScale, OneUsableEnd) {
  // 3 alone widens to 2.7..3.3 (10% of 3): s=0.1 gives 2.7..3.3 = 6 divisions.
  const AxisScale s = nice_scale(kNaN, 3);
  EXPECT_NEAR(s.min, 2.7, 1e-12);
  EXPECT_NEAR(s.max, 3.3, 1e-12);
  EXPECT_NEAR(s.step, 0.1, 1e-15);
}

TEST(NiceScale, DivisionsStayNearFourToSix) {
  // Over many ranges the 1-2-5 rule keeps 3 to 7 divisions (4 to 6 where it can).
  for (double hi = 0.013; hi < 1e7; hi *= 1.37) {
    const AxisScale s = nice_scale(0.01, hi);
    const double n = std::round((s.max - s.min) / s.step);
    EXPECT_GE(n, 3) << hi;
    EXPECT_LE(n, 7) << hi;
    EXPECT_LE(s.min, 0.01);
    EXPECT_GE(s.max, hi);
  }
}

struct FixedRow {
  double lo, hi, increment;
  std::vector<double> ticks;
  const char* source;
};

const FixedRow kFixed[] = {
    {-2.5,
     2.5,
     0.5,
     {-2.5, -2, -1.5, -1, -0.5, 0, 0.5, 1, 1.5, 2, 2.5},
     "10 divisions of 0.5 kept"},
    {0, 6, 1, {0, 1, 2, 3, 4, 5, 6}, "6 divisions kept"},
    {0, 1, 0.001, {0, 0.2, 0.4, 0.6, 0.8, 1}, "1000 divisions refused: s=0.2 inside 0..1"},
    {0,
     16,
     0,
     {0, 5, 10, 15},
     "no increment: s=2 gives 8 divisions (2 from the band), s=5 gives 0,5,10,15 = 3 (1 from it)"},
};

TEST(FixedScale, KeepsTheRangeAndUsableIncrements) {
  for (const FixedRow& r : kFixed) {
    const AxisScale s = fixed_scale(r.lo, r.hi, r.increment);
    EXPECT_DOUBLE_EQ(s.min, r.lo) << r.source;
    EXPECT_DOUBLE_EQ(s.max, r.hi) << r.source;
    ASSERT_EQ(s.ticks.size(), r.ticks.size()) << r.source;
    for (std::size_t i = 0; i < r.ticks.size(); ++i)
      EXPECT_NEAR(s.ticks[i], r.ticks[i], 1e-12) << r.source;
  }
}

TEST(LogScale, DecadesAndTheirMultiples) {
  const AxisScale wide = log_scale(3, 700);  // 1..1000, three decades: powers of ten only
  EXPECT_EQ(wide.ticks, (std::vector<double>{1, 10, 100, 1000}));
  const AxisScale narrow = log_scale(2, 50);  // 1..100, two decades: with 2 and 5
  EXPECT_EQ(narrow.ticks, (std::vector<double>{1, 2, 5, 10, 20, 50, 100}));
  const AxisScale bad = log_scale(-1, 0);  // no positive range: one decade 1..10
  EXPECT_DOUBLE_EQ(bad.min, 1);
  EXPECT_DOUBLE_EQ(bad.max, 10);
}

TEST(TickLabel, DecimalsFollowTheStep) {
  struct Row {
    double value, step;
    char decimal;
    const char* want;
  };
  const Row rows[] = {{0.30000000000000004, 0.1, '.', "0.3"},
                      {-0.0, 1, '.', "0"},
                      {1500, 500, '.', "1500"},
                      {0.25, 0.05, '.', "0.25"},
                      {-1e-17, 0.2, '.', "0.0"},
                      {1e8, 2e7, '.', "1e+08"},
                      {2.5e-6, 5e-7, '.', "2.5e-06"},
                      {12.5, 2.5, '.', "12.5"},
                      {12.5, 2.5, ',', "12,5"},
                      {-1e-17, 0.2, ',', "0,0"},
                      {2.5e-6, 5e-7, ',', "2,5e-06"},
                      {1500, 500, ',', "1500"}};
  for (const Row& r : rows)
    EXPECT_EQ(tick_label(r.value, r.step, r.decimal), r.want) << r.value << " " << r.decimal;
}

}  // namespace
}  // namespace qualty
