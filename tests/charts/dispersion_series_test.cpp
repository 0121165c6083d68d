// Moving ranges formed when read: against a hand table, against a plain loop
// over the definition, and through the engine against the same chart with
// its ranges held.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "chart_test_util.h"
#include "charts/dispersion_series.h"
#include "charts/estimates.h"

namespace ztq {
namespace {

using testing::kM;

// Every window [first, first + count) read, reaching past the end, against
// the slice of EXPECTED (missing past its end), and every point by at().
void expect_reads(const DispersionSeries& s, const Marks& ex, const std::vector<double>& expected) {
  const std::size_t n = expected.size();
  ASSERT_EQ(s.size(), n);
  EXPECT_EQ(s.values(ex), expected);
  for (std::size_t i = 0; i <= n + 1; ++i) EXPECT_EQ(s.at(i, ex), i < n ? expected[i] : kM) << i;
  for (std::size_t first = 0; first <= n; ++first) {
    for (std::size_t count = 1; first + count <= n + 2; ++count) {
      std::vector<double> got(count, 0.0);
      s.read(first, count, ex, got.data());
      for (std::size_t k = 0; k < count; ++k)
        EXPECT_EQ(got[k], first + k < n ? expected[first + k] : kM)
            << "from " << first << " count " << count << " at " << k;
    }
  }
}

TEST(DispersionSeries, MovingRangesByHand) {
  // 10, (missing), 12, 30 left out, 11 | new phase: 15, 9.
  // |12 - 10| = 2 across the gap, |11 - 12| = 1 across the point left out,
  // none at a phase's first usable point, |9 - 15| = 6.
  const std::vector<double> x = {10, kM, 12, 30, 11, 15, 9};
  Marks ex(x.size());
  ex[3] = 1;
  const DispersionSeries s = DispersionSeries::moving_ranges_of(x, {0, 5});
  EXPECT_TRUE(s.formed_when_read());
  expect_reads(s, ex, {kM, kM, 2, kM, 1, kM, 6});
  // Held values read back as they are, without the marks.
  const DispersionSeries held(std::vector<double>{1, kM, 3});
  EXPECT_FALSE(held.formed_when_read());
  expect_reads(held, Marks(3), {1, kM, 3});
}

// The definition as a plain loop, phase by phase: |x_i - the last usable x|.
std::vector<double> ranges_by_definition(const std::vector<double>& x, const Marks& ex,
                                         const std::vector<Phase>& phases) {
  std::vector<double> mr(x.size(), kM);
  for (const Phase& ph : phases) {
    bool have = false;
    double previous = 0.0;
    for (std::size_t i = ph.first; i < ph.end; ++i) {
      if (x[i] == kM || ex[i] != 0) continue;
      if (have) mr[i] = std::fabs(x[i] - previous);
      previous = x[i];
      have = true;
    }
  }
  return mr;
}

TEST(DispersionSeries, AgreesWithTheDefinition) {
  // Random gaps, points left out (runs of them too) and phase breaks.
  std::mt19937 rng(20261207);
  for (int trial = 0; trial < 300; ++trial) {
    const std::size_t n = 1 + rng() % 40;
    std::vector<double> x(n);
    Marks ex(n);
    const unsigned gaps = rng() % 4;
    for (std::size_t i = 0; i < n; ++i) {
      x[i] = (rng() % 2 == 0 && gaps > 0 && rng() % 4 < gaps)
                 ? kM
                 : 0.25 * static_cast<double>(rng() % 400);
      ex[i] = rng() % 5 == 0 || (i > 0 && ex[i - 1] && rng() % 2 == 0);
    }
    std::vector<Phase> phases;
    std::vector<std::size_t> starts = {0};
    for (std::size_t i = 1; i < n; ++i)
      if (rng() % 7 == 0) starts.push_back(i);
    for (std::size_t k = 0; k < starts.size(); ++k)
      phases.push_back({starts[k], k + 1 < starts.size() ? starts[k + 1] : n});
    const std::vector<double> expected = ranges_by_definition(x, ex, phases);
    SCOPED_TRACE(trial);
    expect_reads(DispersionSeries::moving_ranges_of(x, starts), ex, expected);
    EXPECT_EQ(moving_ranges(x, ex, phases), expected);
  }
}

// An individuals chart that reads its observations in place forms its moving
// ranges when read: the same ranges, runs-rule flags, chart-2 lines and
// estimates as the chart that holds them.
TEST(DispersionSeries, ChartReadInPlaceEqualsChartThatHoldsThem) {
  std::mt19937 rng(7);
  std::normal_distribution<double> z(10.0, 1.0);
  std::vector<double> x(400);
  for (double& v : x) v = z(rng);
  x[0] = x[57] = x[58] = kM;
  x[200] = 30.0;  // a moving range beyond chart 2's limit twice
  std::vector<int> excl(x.size(), 0);
  excl[3] = excl[4] = excl[100] = excl[399] = 1;
  ChartOptions o = default_chart_options();
  for (int r = 10; r <= 15; ++r) o.option[r] = 1;  // every runs rule
  o.option[43] = o.option[45] = 1;                 // both lines on chart 2
  o.option[67] = 101;                              // a second phase from point 101
  o.option[68] = 102;                              // and a third from point 102
  for (const int code : {3, 8, 9, 10, 15, 19, 21}) {
    SCOPED_TRACE(code);
    ChartInput held = chart_input_from_raw(code, x, {});
    held.excluded = excl;
    ChartInput in_place = held;
    in_place.observations_outlive_results = true;
    const ChartResults a = compute_chart(held, o);
    const ChartResults b = compute_chart(in_place, o);
    ASSERT_EQ(a.error, 0);
    ASSERT_EQ(b.error, 0);
    EXPECT_FALSE(a.series.stat2.formed_when_read());
    EXPECT_TRUE(b.series.stat2.formed_when_read());
    EXPECT_EQ(a.series.stat2_values(), b.series.stat2_values());
    EXPECT_EQ(b.series.stat2_at(200), std::fabs(30.0 - x[199]));
    EXPECT_EQ(b.series.stat2_at(201), std::fabs(x[201] - 30.0));
    EXPECT_EQ(a.series.flags, b.series.flags);
    EXPECT_EQ(a.smoothers.ma2, b.smoothers.ma2);
    EXPECT_EQ(a.smoothers.ewma2, b.smoothers.ewma2);
    EXPECT_EQ(a.dispersion, b.dispersion);
    EXPECT_EQ(a.limits.ucl2, b.limits.ucl2);
    ASSERT_EQ(a.smoothers.ma2.size(), x.size());
  }
}

}  // namespace
}  // namespace ztq
