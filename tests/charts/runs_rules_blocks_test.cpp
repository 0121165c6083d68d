// The runs rules over long stretches of usable points, which run 64 points a
// word at a time, against the rules by definition point by point: runs, trends
// and windows that cross block edges, gaps and changes of the lines, and
// lengths at and past one word. The word helpers against bit-by-bit counts.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "charts/rule_blocks.h"
#include "charts/runs_rules.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

struct Lcg {  // Knuth's MMIX constants
  std::uint64_t state;
  std::uint64_t bits() { return state = state * 6364136223846793005ULL + 1442695040888963407ULL; }
  double uniform() { return static_cast<double>(bits() >> 11) / 9007199254740992.0; }
};

TEST(RuleBlocks, WordsMatchBitByBitCounts) {
  namespace rb = rule_blocks;
  Lcg g{7};
  auto bit = [](std::uint64_t m, std::uint64_t p, int pos) {  // position pos (-64 to 63)
    return pos >= 0 ? (m >> pos) & 1 : (p >> (64 + pos)) & 1;
  };
  for (int trial = 0; trial < 400; ++trial) {
    // Dense and sparse words, so that long runs and rare marks both occur.
    std::uint64_t m = g.bits(), p = g.bits();
    if (trial % 3 == 1) m |= g.bits() | g.bits(), p |= g.bits() | g.bits();
    if (trial % 3 == 2) m &= g.bits() & g.bits(), p &= g.bits();
    const unsigned w = 1 + static_cast<unsigned>(g.bits() % 64);
    const int count = static_cast<int>(g.bits() % (w + 1));
    std::uint64_t all = 0, least = 0, rev = 0;
    for (int j = 0; j < 64; ++j) {
      int marked = 0;
      for (int s = 0; s < static_cast<int>(w); ++s) marked += static_cast<int>(bit(m, p, j - s));
      all |= static_cast<std::uint64_t>(marked == static_cast<int>(w)) << j;
      least |= static_cast<std::uint64_t>(marked >= count) << j;
      rev |= ((m >> j) & 1) << (63 - j);
    }
    ASSERT_EQ(rb::all_of_last(m, p, w), all) << trial;
    ASSERT_EQ(rb::at_least_of_last(m, p, w, count), least) << trial;
    ASSERT_EQ(rb::reversed(m), rev) << trial;
    // A run of r marks before the block, then the block: the run at its end.
    const long long r = static_cast<long long>(g.bits() % 100);
    long long run = r;
    for (int j = 0; j < 64; ++j) run = (m >> j) & 1 ? run + 1 : 0;
    ASSERT_EQ(rb::run_after(m, r), run) << trial;
    const std::uint64_t h = rb::history_of_run(r);
    for (int k = 1; k <= 64; ++k)  // k positions back
      ASSERT_EQ((h >> (64 - k)) & 1, static_cast<std::uint64_t>(k <= r)) << trial << " " << k;
  }
}

// Stretches of 100 points of one shape each (scatter, one side of the centre,
// rising, falling, hugging the centre, outside the inner zone, between two
// and three sigmas above), about one
// point in 400 missing and one in 500 excluded.
struct Data {
  std::vector<double> x;
  Marks excluded;
};

Data data(std::size_t n, std::uint64_t seed) {
  Lcg g{seed};
  Data d{std::vector<double>(n), Marks(n, 0)};
  int shape = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (i % 100 == 0) shape = static_cast<int>(g.bits() % 7);
    const double u = g.uniform(), t = static_cast<double>(i % 100);
    switch (shape) {
      case 0:
        d.x[i] = 7.0 * u - 3.5;
        break;
      case 1:
        d.x[i] = 0.6 + 2.0 * u;
        break;
      case 2:
        d.x[i] = -3.0 + 0.05 * t + (u < 0.1 ? 0.0 : 0.01 * u);
        break;
      case 3:
        d.x[i] = 3.0 - 0.05 * t;
        break;  // with ties where the product rounds alike
      case 4:
        d.x[i] = 0.9 * u - 0.45;
        break;
      case 5:
        d.x[i] = (u < 0.5 ? -1.0 : 1.0) * (1.2 + u);
        break;
      default:
        d.x[i] = 2.1 + 0.8 * u;
        break;
    }
    if (g.uniform() < 1.0 / 400) d.x[i] = kMissing;
    d.excluded[i] = g.uniform() < 1.0 / 500;
  }
  return d;
}

struct Lines {
  PointLine cl, ucl, lcl;
};

// Four phases: centred, shifted with unequal limits, no centre line, centred.
Lines lines(std::size_t n) {
  Lines l;
  l.cl.assign(n, 0.0), l.ucl.assign(n, 3.0), l.lcl.assign(n, -3.0);
  const std::size_t a = n * 3 / 8, b = n * 6 / 8, c = b + 130;
  l.cl.fill(a, b, 0.5), l.ucl.fill(a, b, 3.2), l.lcl.fill(a, b, -2.4);
  l.cl.fill(b, c, kMissing);
  return l;
}

// The six rules by definition at every point (Nelson 1984; a point on the
// centre line continues both side runs, an equal pair both trends; missing or
// excluded points are passed over by rules 1 and 2 and hold an unmarked place
// in the windows of rules 3 to 6).
std::vector<int> by_definition(const Data& d, const Lines& l, const ChartOptions& o, bool detrend) {
  const std::size_t n = d.x.size();
  auto usable = [&](std::size_t i) { return !is_missing(d.x[i]) && !d.excluded[i]; };
  std::vector<int> flags(n, 0);
  std::vector<std::size_t> sided, trended;  // the points rules 1 and 2 have stepped on
  for (std::size_t i = 0; i < n; ++i) {
    if (!usable(i)) continue;
    const double cl = l.cl[i];
    if (o.rule_enabled(1) && !is_missing(cl)) {
      sided.push_back(i);
      const std::size_t len = static_cast<std::size_t>(o.run_length());
      bool up = sided.size() >= len, down = up;
      for (std::size_t k = 0; k < len && k < sided.size(); ++k) {
        const std::size_t j = sided[sided.size() - 1 - k];
        up = up && !(d.x[j] < l.cl[j]);
        down = down && !(d.x[j] > l.cl[j]);
      }
      flags[i] |= up || down ? 1 : 0;
    }
    if (o.rule_enabled(2) && (!detrend || !is_missing(cl))) {
      trended.push_back(i);
      auto v = [&](std::size_t j) { return detrend ? d.x[j] - l.cl[j] : d.x[j]; };
      const std::size_t steps = static_cast<std::size_t>(o.trend_length() - 1);
      bool up = trended.size() >= steps + 1 && trended.size() >= 2, down = up;
      for (std::size_t k = 0; k < steps && k + 1 < trended.size(); ++k) {
        const std::size_t j = trended[trended.size() - 1 - k],
                          before = trended[trended.size() - 2 - k];
        up = up && !(v(j) < v(before));
        down = down && !(v(j) > v(before));
      }
      flags[i] |= up || down ? 2 : 0;
    }
    const int windows[4] = {o.rule3_window(), o.rule4_window(), o.rule5_window(), o.rule6_window()};
    const int counts[4] = {o.rule3_count(), o.rule4_count(), o.rule5_window(), o.rule6_window()};
    for (int rule = 3; rule <= 6; ++rule) {
      if (!o.rule_enabled(rule)) continue;
      const long long w = windows[rule - 3];
      int above = 0, below = 0, marked = 0;
      for (long long j = static_cast<long long>(i); j > static_cast<long long>(i) - w && j >= 0;
           --j) {
        const std::size_t u = static_cast<std::size_t>(j);
        const double c = l.cl[u];
        if (!usable(u) || is_missing(c)) {
          marked += rule == 5 && usable(u);  // no boundaries: inside nothing, so "not outside"
          continue;
        }
        const double z = o.zone_width(rule);
        const double hi = c + (l.ucl[u] - c) * z / 3.0, lo = c - (c - l.lcl[u]) * z / 3.0;
        const bool a = d.x[u] > hi, b = d.x[u] < lo;
        above += a, below += b;
        marked += rule == 5 ? !(a || b) : (a || b);
      }
      const bool hit =
          rule <= 4 ? above >= counts[rule - 3] || below >= counts[rule - 3] : marked >= w;
      flags[i] |= hit ? 1 << (rule - 1) : 0;
    }
  }
  return flags;
}

TEST(RunsRulesBlocks, MatchTheRulesByDefinition) {
  struct Case {
    const char* what;
    int run, trend;              // rules 1 and 2
    int w3, m3, w4, m4, w5, w6;  // rules 3 to 6
    bool detrend;
  };
  const Case cases[] = {
      {"the usual lengths", 8, 8, 3, 2, 5, 4, 15, 8, false},
      {"detrended", 9, 6, 3, 2, 5, 4, 15, 8, true},
      {"one-point runs, two-point trends", 1, 2, 1, 1, 2, 2, 1, 1, false},
      {"a word of history", 64, 65, 64, 40, 64, 64, 64, 64, false},
      {"one past a word", 65, 66, 64, 3, 63, 60, 30, 12, false},
      {"windows past a word", 7, 7, 65, 20, 70, 50, 66, 65, false},
  };
  const std::size_t n = 5000;
  const Lines l = lines(n);
  for (const std::uint64_t seed : {11ULL, 12ULL}) {
    const Data d = data(n, seed);
    for (const Case& c : cases) {
      ChartOptions o = default_chart_options();
      for (int r = 10; r <= 15; ++r) o.option[r] = 1;
      const int lengths[8] = {c.run, c.trend, c.w3, c.m3, c.w4, c.m4, c.w5, c.w6};
      for (int k = 0; k < 8; ++k) o.option[16 + k] = lengths[k];
      const RulesChart chart{d.x, &l.cl, &l.ucl, &l.lcl, 3.0, -3.0, c.detrend};
      std::vector<std::uint16_t> flags(n, 0);
      apply_runs_rules(chart, d.excluded, o, kChart2RuleShift, &flags);
      const std::vector<int> want = by_definition(d, l, o, c.detrend);
      int fired[6] = {};
      for (std::size_t i = 0; i < n; ++i) {
        ASSERT_EQ(flags[i] >> kChart2RuleShift, want[i]) << c.what << ", point " << i;
        for (int r = 0; r < 6; ++r) fired[r] += (want[i] >> r) & 1;
      }
      for (int r = 0; r < 6; ++r) EXPECT_GT(fired[r], 0) << c.what << ": rule " << r + 1;
    }
  }
}

}  // namespace
}  // namespace ztq

namespace ztq {
namespace {

// A rise that starts on the last point of a block: its first step is from
// point 127 to 128, across the edge of the second and third blocks (the first
// goes point by point, there being no point before it). Eight points in a row
// rising (points 127 to 134, seven steps) flag points 134 and 135 only.
TEST(RunsRulesBlocks, TrendAcrossTheBlockEdge) {
  std::vector<double> x(192);
  for (std::size_t j = 0; j < x.size(); ++j) x[j] = j % 2 ? 1.0 : -1.0;  // no run of either way
  x[126] = 10.0, x[127] = 0.0;
  for (int k = 0; k < 8; ++k) x[128 + k] = 1.0 + k;
  x[136] = -5.0;
  const std::size_t n = x.size();
  PointLine cl, ucl, lcl;
  cl.assign(n, 0.0), ucl.assign(n, 30.0), lcl.assign(n, -30.0);
  ChartOptions o = default_chart_options();
  for (int r = 1; r <= 6; ++r) o.option[9 + r] = r == 2;
  std::vector<std::uint16_t> flags(n, 0);
  apply_runs_rules({x, &cl, &ucl, &lcl, 3.0, -3.0, false}, {}, o, 0, &flags);
  std::vector<std::size_t> flagged;
  for (std::size_t i = 0; i < n; ++i)
    if (flags[i] != 0) flagged.push_back(i);
  EXPECT_EQ(flagged, (std::vector<std::size_t>{134, 135}));
}

}  // namespace
}  // namespace ztq
