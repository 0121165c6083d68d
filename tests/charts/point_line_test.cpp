// Per-point lines kept once per phase where they are constant: reads and
// writes of a line, and the lines of a phased individuals chart (kept as runs)
// and of a p chart of unequal sample sizes (kept per point) against hand values.
// Also the engine on an input it may release: the same results as on one it
// only reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "chart_test_util.h"
#include "charts/tabular_series.h"

namespace ztq {
namespace {

TEST(PointLine, RunsReadLikeValuesAndAWriteMakesValues) {
  PointLine l;
  l.assign(6, kMissing);
  l.fill(0, 3, 1.5);
  l.fill(3, 6, 2.5);
  EXPECT_FALSE(l.per_point());
  EXPECT_EQ(l.values(), (std::vector<double>{1.5, 1.5, 1.5, 2.5, 2.5, 2.5}));
  l.fill(1, 2, 9);  // one point inside a run: the run resumes after it
  EXPECT_EQ(l.values(), (std::vector<double>{1.5, 9, 1.5, 2.5, 2.5, 2.5}));
  l.set(5, 2.5);  // the value it has: nothing changes
  l.set(0, 4);    // a changed point: still runs
  EXPECT_FALSE(l.per_point());
  EXPECT_EQ(l.values(), (std::vector<double>{4, 9, 1.5, 2.5, 2.5, 2.5}));
  const PointLine before = l;
  l[4] = 7;  // a write: one value per point from now on
  EXPECT_TRUE(l.per_point());
  EXPECT_EQ(l.values(), (std::vector<double>{4, 9, 1.5, 2.5, 7, 2.5}));
  EXPECT_FALSE(l == before);
  l.fill(0, 2, 0);
  EXPECT_EQ(l.values(), (std::vector<double>{0, 0, 1.5, 2.5, 7, 2.5}));

  PointLine decision;  // every point written in order with one value: one run
  decision.assign(10000, 3.0);
  for (std::size_t i = 0; i < 10000; ++i) decision.set(i, 5.0);
  EXPECT_FALSE(decision.per_point());
  EXPECT_EQ(decision[9999], 5.0);

  PointLine many;  // a point changed at every other point: runs until there are too many
  many.assign(20000, 1.0);
  for (std::size_t i = 0; i < 20000; i += 2) many.set(i, static_cast<double>(i));
  EXPECT_TRUE(many.per_point());
  EXPECT_EQ(many[9998], 9998.0);
  EXPECT_EQ(many[9999], 1.0);
}

TEST(PointLine, CompactKeepsOneValueAsOneRun) {
  const struct {
    std::vector<double> v;
    bool runs;
  } cases[] = {{{5, 5, 5, 5}, true},
               {{5, 5, 4, 5}, false},
               {{0.0, -0.0}, false},  // a -0 is not the same value as 0
               {{kMissing, kMissing}, true},
               {{}, false}};
  for (const auto& c : cases) {
    const PointLine l = PointLine::compact(c.v);
    EXPECT_EQ(!l.per_point() && !l.empty(), c.runs) << c.v.size();
    EXPECT_EQ(l.values(), c.v);
  }
}

// A statistic that reads the observations in place: the same reads, and a
// write copies them first, leaving the observations as they were.
TEST(Series, AViewIsCopiedBeforeItIsWritten) {
  const std::vector<double> x = {3, 1, 4, 1, 5};
  Series s = Series::view_of(x);
  EXPECT_TRUE(s.is_view());
  EXPECT_EQ(s.data(), x.data());
  const Series copy = s;  // a copy of a view reads the same storage
  EXPECT_EQ(copy.data(), x.data());
  s.values()[1] = 9;
  EXPECT_FALSE(s.is_view());
  EXPECT_EQ(s, (std::vector<double>{3, 9, 4, 1, 5}));
  EXPECT_EQ(x, (std::vector<double>{3, 1, 4, 1, 5}));
  EXPECT_EQ(copy, x);
  s = std::vector<double>{2, 7};
  EXPECT_EQ(s.size(), 2u);
  EXPECT_FALSE(s == copy);
}

// Individuals observations read in place only when every value is finite and
// they outlive the results; the results are the same as from a copy.
TEST(Series, InPlaceStatisticOnlyForFiniteLastingObservations) {
  const std::vector<double> clean = {10, 12, 11, 13, 12, 14, 13, 15};
  std::vector<double> inf = clean;
  inf[2] = std::numeric_limits<double>::infinity();  // read as missing: a cleaned copy
  for (const auto& [x, outlive, view] :
       {std::tuple{&clean, true, true}, {&clean, false, false}, {&inf, true, false}}) {
    ChartInput in = chart_input_from_raw(3, *x, {});
    in.observations_outlive_results = outlive;
    const ChartResults r = compute_chart(std::move(in), default_chart_options());
    EXPECT_EQ(r.series.stat1.is_view(), view);
    EXPECT_EQ(r.series.stat1.data() == x->data(), view);
    const ChartResults copied =
        compute_chart(chart_input_from_raw(3, *x, {}), default_chart_options());
    EXPECT_EQ(r.series.stat1, copied.series.stat1);
    EXPECT_EQ(r.limits.ucl1, copied.limits.ucl1);
  }
  const ChartResults r = compute_chart(chart_input_from_raw(3, inf, {}), default_chart_options());
  EXPECT_EQ(r.series.stat1[2], kMissing);
}

TEST(SeriesLines, PhasedIndividualsKeptOncePerPhase) {
  // Phase 1: 1, 2, 3 (mean 2, moving ranges 1, 1); phase 2 from point 4:
  // 10, 12, 14 (mean 12, moving ranges 2, 2). UCL = mean + 3 MR-bar / 1.128.
  ChartOptions o = default_chart_options();
  o.option[67] = 4;
  const ChartResults r = compute_chart(chart_input_from_raw(3, {1, 2, 3, 10, 12, 14}, {}), o);
  ASSERT_EQ(r.error, 0);
  const PointLine& ucl = r.series.ucl1;
  EXPECT_FALSE(ucl.per_point()) << "constant within each phase";
  EXPECT_EQ(ucl.size(), 6u);
  EXPECT_NEAR(ucl[2], 2 + 3 * 1 / 1.128, 1e-12);
  EXPECT_NEAR(ucl[3], 12 + 3 * 2 / 1.128, 1e-12);
  EXPECT_NEAR(ucl[5], 12 + 3 * 2 / 1.128, 1e-12);
  EXPECT_EQ(r.series.cl1.values(), (std::vector<double>{2, 2, 2, 12, 12, 12}));
  // Chart 2: MR-bar (1 + 3 d3 / d2), d2 = 1.128, d3 = 0.853.
  EXPECT_NEAR(r.series.ucl2[0], 1 * (1 + 3 * 0.853 / 1.128), 1e-12);
  EXPECT_NEAR(r.series.ucl2[4], 2 * (1 + 3 * 0.853 / 1.128), 1e-12);
}

TEST(SeriesLines, PChartOfUnequalSizesPerPoint) {
  // 2 of 100, 6 of 200, 4 of 100: p-bar = 12 / 400 = 0.03;
  // UCL_i = 0.03 + 3 sqrt(0.03 x 0.97 / n_i): 0.0811762 at 100, 0.0661870 at 200.
  const ChartResults r =
      compute_chart(chart_input_from_statistics(4, {0.02, 0.03, 0.04}, {100, 200, 100}, {}),
                    default_chart_options());
  ASSERT_EQ(r.error, 0);
  EXPECT_TRUE(r.series.ucl1.per_point());
  const double n[3] = {100, 200, 100};
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_NEAR(r.series.ucl1[i], 0.03 + 3 * std::sqrt(0.03 * 0.97 / n[i]), 1e-15) << i;
  EXPECT_NEAR(r.series.ucl1[1], 0.0661870, 1e-7);
  EXPECT_NEAR(r.series.cl1[1], 0.03, 1e-15);
}

TEST(ReleasedInput, SameResultsAndTheObservationsKept) {
  std::vector<double> x;
  for (int i = 0; i < 60; ++i) x.push_back(10.0 + (i % 7) * 0.3 - (i % 3) * 0.2);
  x[17] = kMissing;
  ChartOptions o = default_chart_options();
  o.doption[16] = 13, o.doption[18] = 8;  // specification limits: capability computed
  for (int code : {0, 3, 15}) {
    const std::vector<Subgroup> groups =
        code == 0 ? fixed_subgroups(x.size(), 5) : std::vector<Subgroup>{};
    ChartInput in = chart_input_from_raw(code, x, groups);
    in.excluded.assign(in.statistic().size(), 0);
    in.excluded[2] = 1;
    const ChartResults read = compute_chart(in, o);
    const ChartResults released = compute_chart(std::move(in), o);
    EXPECT_EQ(read.centre, released.centre) << code;
    EXPECT_EQ(read.series.stat1, released.series.stat1) << code;
    EXPECT_EQ(read.series.ucl1, released.series.ucl1) << code;
    EXPECT_EQ(read.series.flags, released.series.flags) << code;
    EXPECT_EQ(tabular_values(read, TabularSeries::sl1),
              tabular_values(released, TabularSeries::sl1))
        << code;
    EXPECT_EQ(read.capability.cp, released.capability.cp) << code;
    EXPECT_TRUE(std::ranges::equal(in.observations, x)) << code;  // NOLINT: kept on purpose
    EXPECT_TRUE(in.stat.empty() && in.excluded.empty()) << code;  // NOLINT
  }
}

}  // namespace
}  // namespace ztq
