// Automatic and manual exclusion of points from the T-squared estimation.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "multivariate/mv_compute.h"

namespace ztq {
namespace {

// Forty correlated points with three shifted ones of differing size.
MvInput shifted_data() {
  MvInput in;
  in.columns.assign(2, std::vector<double>(40));
  for (int i = 0; i < 40; ++i) {
    const double u = std::sin(i * 1.7) + 0.3 * std::cos(i * 5.1);
    const double v = std::cos(i * 2.3) * 0.5;
    in.columns[0][static_cast<size_t>(i)] = 10 + u;
    in.columns[1][static_cast<size_t>(i)] = 20 + 0.8 * u + v;
  }
  in.columns[1][5] += 6.0;   // the worst: across the correlation
  in.columns[1][17] += 3.5;  // smaller
  in.columns[0][30] += 3.0;
  return in;
}

// The second method: a full computation at every step, the rule written out.
std::vector<int32_t> exclude_by_full_recomputation(const MvInput& in, const MvOptions& o) {
  std::vector<int32_t> flags(static_cast<size_t>(in.points()), 0);
  for (;;) {
    const MvResults r = compute_mv(in, o, flags);
    if (r.error != 0) break;
    int within = 0, worst = -1;
    for (int i = 0; i < r.points; ++i) {
      if (!r.complete[i] || r.excluded[i]) continue;
      if (r.t2[i] <= r.ucl)
        ++within;
      else if (worst < 0 || r.t2[i] - r.ucl > r.t2[worst] - r.ucl)
        worst = i;
    }
    if (worst < 0 || within < 3 || r.n - 1 < r.p + 1) break;
    flags[static_cast<size_t>(worst)] = 1;
  }
  return flags;
}

TEST(MvExclude, AutomaticRemovesWorstFirstAndAgreesWithFullRecomputation) {
  const MvInput in = shifted_data();
  const MvOptions o{5.0, 0};  // alpha 5 percent so that several steps are taken
  const MvResults before = compute_mv(in, o, {});
  ASSERT_EQ(before.error, 0);
  int worst = 0;
  for (int i = 1; i < before.points; ++i)
    if (before.t2[i] > before.t2[worst]) worst = i;
  EXPECT_EQ(worst, 5);
  ASSERT_GT(before.beyond_count, 0);

  std::vector<int32_t> flags;
  const int32_t count = mv_exclude_automatically(in, o, flags);
  const std::vector<int32_t> want = exclude_by_full_recomputation(in, o);
  EXPECT_EQ(flags, want);
  EXPECT_GE(count, 2);
  EXPECT_EQ(flags[5], 1);
  const MvResults after = compute_mv(in, o, flags);
  EXPECT_EQ(after.beyond_count, 0);  // stopped because none was beyond
  EXPECT_EQ(after.excluded_count, count);
}

// Past the fresh computation every 64 steps: 150 shifted points of three
// variables, the downdated path against the full one, flag for flag.
TEST(MvExclude, ManyStepsAgreeWithFullRecomputation) {
  MvInput in;
  in.columns.assign(3, std::vector<double>(1500));
  for (int i = 0; i < 1500; ++i) {
    const double u = std::sin(i * 1.7) + 0.3 * std::cos(i * 5.1);
    in.columns[0][static_cast<size_t>(i)] = u;
    in.columns[1][static_cast<size_t>(i)] = 0.7 * u + 0.5 * std::cos(i * 2.3);
    in.columns[2][static_cast<size_t>(i)] = std::sin(i * 0.37) - 0.2 * u;
  }
  for (int k = 0; k < 150; ++k) in.columns[1][static_cast<size_t>(k * 10)] += 2.0 + 0.01 * k;
  const MvOptions o{1.0, 0};
  std::vector<int32_t> flags;
  const int32_t count = mv_exclude_automatically(in, o, flags);
  EXPECT_GT(count, 128);  // two fresh computations on the way
  EXPECT_EQ(flags, exclude_by_full_recomputation(in, o));
}

// Known parameters far from the data: every point is beyond, none within,
// so nothing is excluded.
TEST(MvExclude, AutomaticStopsWithFewerThanThreeWithin) {
  MvInput in = shifted_data();
  in.means_given = true;
  in.std_means = {100, 100};
  in.covariance_given = true;
  in.std_covariance = {1, 0, 0, 1};
  std::vector<int32_t> flags;
  EXPECT_EQ(mv_exclude_automatically(in, {}, flags), 0);
  EXPECT_EQ(compute_mv(in, {}, flags).beyond_count, 40);

  // Two points within, six beyond: still fewer than 3 within.
  MvInput few;
  few.columns = {{0, 0.5, 9, 9, 9, 9, 9, 9}, {0, 0.5, 9, 8, 7, 6, 5, 9}};
  few.means_given = true;
  few.std_means = {0, 0};
  few.covariance_given = true;
  few.std_covariance = {1, 0, 0, 1};
  EXPECT_EQ(mv_exclude_automatically(few, {}, flags), 0);
  // Three within: the beyond points leave one by one, the worst first.
  few.columns[0][2] = 0.2;
  few.columns[1][2] = 0.1;
  EXPECT_EQ(mv_exclude_automatically(few, {}, flags), 5);
}

TEST(MvExclude, EveryPointExcludedIsTooFewPoints) {
  const MvInput in = shifted_data();
  const std::vector<int32_t> flags(40, 1);
  const MvResults r = compute_mv(in, {}, flags);
  EXPECT_EQ(r.error, kMvTooFewPoints);
  EXPECT_EQ(r.excluded_count, 40);
}

}  // namespace
}  // namespace ztq
