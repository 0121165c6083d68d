// The windowed runs rules (3 to 6) over long pseudo-random series with gaps and
// exclusions, for windows shorter than, equal to and longer than 64 positions
// and longer than the series, against a direct count over each window.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "charts/runs_rules.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

struct Series {
  std::vector<double> x;
  Marks excluded;
};

// Values in [-3, 3) from a 64-bit linear congruential generator (Knuth's MMIX
// constants); about one point in 25 missing and one in 30 excluded.
Series series(std::size_t n) {
  Series s{std::vector<double>(n), Marks(n, 0)};
  std::uint64_t state = 2024;
  auto next = [&state] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
  };
  for (std::size_t i = 0; i < n; ++i) {
    s.x[i] = next() < 0.04 ? kMissing : 6.0 * next() - 3.0;
    s.excluded[i] = next() < 1.0 / 30.0;
  }
  return s;
}

// Rule RULE by definition: over the positions (i - w, i] that exist, count the
// usable points beyond the boundaries at +-Z (centre 0, limits +-3 at k = 3).
bool direct(const Series& s, std::size_t i, int rule, int w, int m, double z) {
  auto usable = [&s](std::size_t j) { return !is_missing(s.x[j]) && !s.excluded[j]; };
  if (!usable(i)) return false;
  int above = 0, below = 0, outside = 0, inside = 0;
  for (long long j = static_cast<long long>(i); j > static_cast<long long>(i) - w && j >= 0; --j) {
    const std::size_t u = static_cast<std::size_t>(j);
    if (!usable(u)) continue;
    above += s.x[u] > z;
    below += s.x[u] < -z;
    outside += s.x[u] > z || s.x[u] < -z;
    inside += !(s.x[u] > z || s.x[u] < -z);
  }
  if (rule == 3 || rule == 4) return above >= m || below >= m;
  return (rule == 5 ? inside : outside) >= w;
}

TEST(RunsRulesWindows, MatchDirectCountForShortAndLongWindows) {
  const std::size_t n = 3000;
  const Series s = series(n);
  const PointLine cl(std::vector<double>(n, 0.0)), ucl(std::vector<double>(n, 3.0)),
      lcl(std::vector<double>(n, -3.0));
  const RulesChart chart{s.x, &cl, &ucl, &lcl, 3.0, -3.0, false};
  struct Case {
    int rule, w, m;
    double z;
    bool beside_long = false;  // rule 4 on too, over 130: every window on the long path
  };
  // Rules 5 and 6 need windows short enough to fire on random data: all
  // inside 2.9 sigma or all outside 0.05 sigma.
  const Case cases[] = {{3, 3, 2, 1.0},    {3, 64, 30, 1.0},     {3, 65, 30, 1.0},
                        {4, 130, 30, 1.5}, {4, 2999, 200, 1.0},  {4, 5000, 300, 1.0},
                        {5, 40, 40, 2.9},  {5, 70, 70, 2.95},    {6, 64, 64, 0.05},
                        {6, 66, 66, 0.02}, {3, 3, 2, 1.0, true}, {6, 8, 8, 0.05, true}};
  for (const Case& c : cases) {
    ChartOptions o = default_chart_options();
    for (int r = 1; r <= 6; ++r) o.option[9 + r] = r == c.rule;
    const int window_option[7] = {0, 0, 0, 18, 20, 22, 23};
    o.option[window_option[c.rule]] = c.w;
    if (c.rule == 3) o.option[19] = c.m;
    if (c.rule == 4) o.option[21] = c.m;
    o.doption[9 + c.rule] = c.z;  // zone width in sigmas
    if (c.beside_long) o.option[13] = 1, o.option[20] = 130, o.option[21] = 30;
    std::vector<std::uint16_t> flags(n, 0);
    apply_runs_rules(chart, s.excluded, o, 0, &flags);
    int fired = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const bool want = direct(s, i, c.rule, c.w, c.m, c.z);
      ASSERT_EQ((flags[i] & (1 << (c.rule - 1))) != 0, want)
          << "rule " << c.rule << " window " << c.w << " point " << i;
      fired += want;
    }
    EXPECT_GT(fired, 0) << "rule " << c.rule << " window " << c.w;  // the case tests something
  }
}

}  // namespace
}  // namespace ztq
