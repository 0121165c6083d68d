// Subgroup formation from a subgroup column and the per-subgroup statistics.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "charts/subgroups.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

std::vector<std::size_t> sizes(const std::vector<Subgroup>& g) {
  std::vector<std::size_t> out;
  for (const Subgroup& s : g) out.push_back(s.rows);
  return out;
}

using Sizes = std::vector<std::size_t>;

TEST(Subgroups, FromCodes) {
  struct Case {
    std::size_t rows;
    std::vector<double> codes;
    Sizes want;
    const char* why;
  };
  const Case cases[] = {
      {6, {1, 1, 1, 2, 2, 3}, {3, 2, 1}, "consecutive equal codes"},
      {6, {1, 1, 2, 2, 1, 1}, {2, 2, 2}, "a code that returns starts a new subgroup"},
      {12, {5}, {5, 5, 2}, "a single value s: fixed subgroups of s rows"},
      {6, {3, 3, 3, 3, 3, 3}, {3, 3}, "every row the same whole value s"},
      {5, {1, 1, kMissing, 1, 1}, {2, 2}, "a row without a code joins no subgroup"},
      {4, {2.5}, {3, 1}, "s rounded: 2.5 + 0.5 truncated"},
      {4, {1e300}, {4}, "a huge s: one subgroup of every row"},
      {3, {std::nan("")}, {1, 1, 1}, "an unusable s reads as 1 (the size check refuses it)"},
      {3, {}, {1, 1, 1}, "no column"},
      // Read as codes, this column gave one subgroup of one row (message 1171).
      {12,
       {5, kMissing, kMissing, kMissing, kMissing, kMissing, kMissing, kMissing, kMissing, kMissing,
        kMissing, kMissing},
       {5, 5, 2},
       "one value s, the rest empty: fixed subgroups of s rows"},
      {4, {kMissing, 2, kMissing, kMissing}, {2, 2}, "the one value need not be in row 1"},
      {3, {kMissing, 2.5, kMissing}, {1}, "one value that is no whole size is a code"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(sizes(subgroups_from_codes(c.rows, c.codes)), c.want) << c.why;
}

TEST(Subgroups, FromTextLabels) {
  const std::vector<std::string> labels = {"Mon", "Mon", "Tue", "Tue", "Tue", "Mon"};
  EXPECT_EQ(sizes(subgroups_from_labels(6, labels)), (Sizes{2, 3, 1}));
}

TEST(SubgroupStatistics, RangeMeanAndMissingObservations) {
  const std::vector<double> x = {1, kMissing, 3, 4, 4, kMissing, kMissing, 7};
  const std::vector<Subgroup> g = {{0, 3}, {3, 2}, {5, 2}, {7, 1}};
  const SubgroupStatistics s = subgroup_statistics(x, g, Dispersion::range);
  // {1, 3}: n 2, mean 2, range 2; {4, 4}: range 0; {}: missing; {7}: dispersion 0
  EXPECT_EQ(s.size, (std::vector<double>{2, 2, kMissing, 1}));
  EXPECT_EQ(s.mean, (std::vector<double>{2, 4, kMissing, 7}));
  EXPECT_EQ(s.dispersion, (std::vector<double>{2, 0, kMissing, 0}));
}

// The one-pass form gives -1.7e-18 for three readings of 0.1 and the square
// root then abandoned the chart.
TEST(SubgroupStatistics, EqualReadingsHaveZeroDeviation) {
  const std::vector<double> x = {0.1, 0.1, 0.1};
  const std::vector<Subgroup> g = {{0, 3}};
  EXPECT_EQ(subgroup_statistics(x, g, Dispersion::standard_deviation).dispersion[0], 0.0);
  EXPECT_EQ(subgroup_statistics(x, g, Dispersion::variance).dispersion[0], 0.0);
}

TEST(SubgroupStatistics, StandardDeviationAndVariance) {
  // 10, 12, 11, 13, 9: mean 11, squared deviations 1 + 1 + 0 + 4 + 4 = 10, var 10/4
  const std::vector<double> x = {10, 12, 11, 13, 9};
  const std::vector<Subgroup> g = {{0, 5}};
  EXPECT_NEAR(subgroup_statistics(x, g, Dispersion::standard_deviation).dispersion[0],
              std::sqrt(2.5), 1e-14);
  EXPECT_NEAR(subgroup_statistics(x, g, Dispersion::variance).dispersion[0], 2.5, 1e-14);
}

TEST(SubgroupStatistics, GroupsBeyondTheDataAreMissing) {
  const std::vector<double> x = {1, 2};
  const std::vector<Subgroup> g = {{0, 5}, {9, 3}};
  const SubgroupStatistics s = subgroup_statistics(x, g, Dispersion::range);
  EXPECT_EQ(s.size[0], 2.0);
  EXPECT_EQ(s.size[1], kMissing);
}

}  // namespace
}  // namespace ztq
