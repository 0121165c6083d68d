// The six runs rules on hand-made series about a centre of 0 with limits at
// +-3 (one sigma = 1).
#include <gtest/gtest.h>

#include <vector>

#include "charts/runs_rules.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr double M = kMissing;

// Only rule RULE enabled, default lengths and zones.
ChartOptions only(int rule) {
  ChartOptions o = default_chart_options();
  for (int r = 1; r <= 6; ++r) o.option[9 + r] = r == rule;
  return o;
}

std::vector<int> flags_of(const std::vector<double>& x, const ChartOptions& o, Marks excluded = {},
                          int shift = 0, double k_lower = -3.0) {
  const std::size_t n = x.size();
  excluded.resize(n, 0);
  const PointLine cl(std::vector<double>(n, 0.0)), ucl(std::vector<double>(n, 3.0)),
      lcl(std::vector<double>(n, -3.0));
  RulesChart c{x, &cl, &ucl, &lcl, 3.0, k_lower, false};
  std::vector<std::uint16_t> flags(n, 0);
  apply_runs_rules(c, excluded, o, shift, &flags);
  return {flags.begin(), flags.end()};
}

// Points (0-based) that carry BIT.
std::vector<int> flagged(const std::vector<int>& flags, int bit) {
  std::vector<int> out;
  for (std::size_t i = 0; i < flags.size(); ++i) {
    if (flags[i] & bit) out.push_back(static_cast<int>(i));
  }
  return out;
}

using Points = std::vector<int>;

TEST(RunsRules, Table) {
  struct Case {
    int rule;
    std::vector<double> x;
    Marks excluded;
    Points want;
    const char* why;
  };
  const std::vector<double> above9 = {1, 1, 1, 1, M, 1, 1, 1, 1};
  const Case cases[] = {
      {1, {0, 0, 0, 0, 0, 0, 0, 0}, {}, {7}, "eight on the centre line: both sides count"},
      {1, {1, 1, 1, 1, 1, 1, 1, -1}, {}, {}, "seven above, then below"},
      {1, above9, {}, {8}, "a missing point neither breaks nor extends the run"},
      {1, {1, 1, 1, 1, -5, 1, 1, 1, 1}, {0, 0, 0, 0, 1}, {8}, "an excluded point likewise"},
      {2, {.1, .2, .3, .4, .5, .6, .7, .8}, {}, {7}, "seven rising steps"},
      {2, {.1, .2, .2, .3, .4, .5, .6, .7}, {}, {7}, "an equal pair keeps the run"},
      {2, {.1, .2, .3, M, .4, .5, .6, .7, .8}, {}, {8}, "a gap inside a rising run"},
      {2, {.8, .7, .6, .5, .4, .3, .2, .1, .0}, {}, {7, 8}, "falling"},
      {3, {1.5, 1.5, 0, 1.5, 1.5}, {}, {4}, "4 of 5 beyond 1 sigma"},
      {3, {1.5, -1.5, 1.5, -1.5, 1.5}, {}, {}, "sides are counted apart"},
      {4, {2.5, M, 2.5}, {}, {2}, "2 of 3 beyond 2 sigma, gap inside the window"},
      {4, {2.5, M, M, 2.5}, {}, {}, "missing points occupy window positions"},
      {4, {-2.5, 0, -2.5}, {}, {2}, "lower side"},
      {5, std::vector<double>(15, 0.5), {}, {14}, "15 in a row inside 1 sigma"},
      {5,
       {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, M, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5},
       {},
       {},
       "a missing position breaks rule 5"},
      {6, {2.5, -2.5, 2.5, -2.5, 2.5, -2.5, 2.5, -2.5}, {}, {7}, "8 beyond 2 sigma, mixed sides"},
      {6, {2.5, -2.5, 2.5, -2.5, 2.5, -2.5, 1.0, -2.5}, {}, {}, "one inside"},
  };
  for (const Case& c : cases) {
    const int bit = 1 << (c.rule - 1);
    EXPECT_EQ(flagged(flags_of(c.x, only(c.rule), c.excluded), bit), c.want) << c.why;
  }
}

TEST(RunsRules, ChartTwoBitsAndMissingMultiple) {
  const std::vector<double> x = {2.5, 0, 2.5};
  EXPECT_EQ(flags_of(x, only(4), {}, 6)[2], 512);  // chart 2, rule 4
  // kL missing: no lower boundary, so low points never count.
  EXPECT_EQ(flags_of({-2.5, 0, -2.5}, only(4), {}, 0, kMissing)[2], 0);
  EXPECT_EQ(flags_of({2.5, 0, 2.5}, only(4), {}, 0, kMissing)[2], 8);
}

TEST(RunsRules, AbsurdLengthsNeverReadOutOfBounds) {
  ChartOptions o = default_chart_options();
  for (int r = 1; r <= 6; ++r) o.option[9 + r] = 1;
  for (int len : {0, -5, 1000000000}) {
    for (int i = 16; i <= 23; ++i) o.option[i] = len;
    const std::vector<int> f = flags_of({1, 2, 3, 2.5, -2.5, 0}, o);
    EXPECT_EQ(f.size(), 6u);
    if (len > 1000) {
      for (int v : f) EXPECT_EQ(v, 0);
    }
  }
}

}  // namespace
}  // namespace ztq
