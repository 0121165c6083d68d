// The engine on an input it may release: the same results as on an input it
// only reads, for a subgrouped, an individuals and a decision-interval chart,
// with the observations kept and the per-point arrays gone.
#include <gtest/gtest.h>

#include <vector>

#include "charts/engine.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

void expect_same(const ChartResults& a, const ChartResults& b) {
  EXPECT_EQ(a.points, b.points);
  EXPECT_EQ(a.centre, b.centre);
  EXPECT_EQ(a.sigma, b.sigma);
  EXPECT_EQ(a.limits.ucl1, b.limits.ucl1);
  EXPECT_EQ(a.series.stat1, b.series.stat1);
  EXPECT_EQ(a.series.stat2, b.series.stat2);
  EXPECT_EQ(a.series.ucl1, b.series.ucl1);
  EXPECT_EQ(a.series.flags, b.series.flags);
  EXPECT_EQ(a.series.excluded, b.series.excluded);
  EXPECT_EQ(a.tabular.sh1, b.tabular.sh1);
  EXPECT_EQ(a.capability.cp, b.capability.cp);
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
    in.excluded.assign(in.stat.size(), 0);
    in.excluded[2] = 1;
    const ChartResults read = compute_chart(in, o);
    const ChartResults released = compute_chart(std::move(in), o);
    expect_same(read, released);
    EXPECT_EQ(in.observations, x) << code;                        // NOLINT: kept on purpose
    EXPECT_TRUE(in.stat.empty() && in.excluded.empty()) << code;  // NOLINT
  }
}

}  // namespace
}  // namespace ztq
