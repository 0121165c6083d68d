// Runs rules for Shewhart charts: Western Electric Company (1956), Statistical
// Quality Control Handbook, and Nelson (1984), The Shewhart control chart -
// tests for special causes, J. Qual. Technol. 16(4), 237-239. Windowed rules
// count marks with prefix sums, so every rule costs O(points) whatever its
// window.
#include "charts/runs_rules.h"

#include <cmath>
#include <cstddef>

#include "stats/guarded.h"

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

struct Zones {
  std::vector<double> upper;  // kMissing: no upper boundary at that point
  std::vector<double> lower;
};

// Boundaries at z sigmas measured on the unclipped limits:
// CL + (UCLu - CL) z / kU and CL - (CL - LCLu) z / (-kL).
Zones zones_at(const RulesChart& c, double z) {
  const std::size_t n = c.x->size();
  Zones out{std::vector<double>(n, kMissing), std::vector<double>(n, kMissing)};
  const bool up = present(c.k_upper) && c.k_upper != 0.0 && present(z);
  const bool down = present(c.k_lower) && c.k_lower != 0.0 && present(z);
  for (std::size_t i = 0; i < n; ++i) {
    const double cl = (*c.cl)[i];
    if (!present(cl)) continue;
    if (up && present((*c.ucl)[i])) out.upper[i] = cl + ((*c.ucl)[i] - cl) * z / c.k_upper;
    if (down && present((*c.lcl)[i])) out.lower[i] = cl - (cl - (*c.lcl)[i]) * z / (-c.k_lower);
  }
  return out;
}

// Prefix sums of 0/1 marks: the count over positions (i - w, i] is
// sum[i + 1] - sum[max(0, i + 1 - w)].
struct Window {
  std::vector<int> sum;
  explicit Window(std::size_t n) : sum(n + 1, 0) {}
  void build(const std::vector<char>& marks) {
    for (std::size_t i = 0; i < marks.size(); ++i) sum[i + 1] = sum[i] + marks[i];
  }
  int count(std::size_t i, long long w) const {
    if (w < 1) return 0;
    const long long lo = static_cast<long long>(i) + 1 - w;
    return sum[i + 1] - sum[lo > 0 ? static_cast<std::size_t>(lo) : 0];
  }
};

void rule1(const RulesChart& c, const std::vector<char>& usable, int length, int bit,
           std::vector<int>* flags) {
  long long above = 0, below = 0;
  for (std::size_t i = 0; i < usable.size(); ++i) {
    if (!usable[i] || !present((*c.cl)[i])) continue;
    const double x = (*c.x)[i], cl = (*c.cl)[i];
    if (x > cl) {
      ++above;
      below = 0;
    } else if (x < cl) {
      ++below;
      above = 0;
    } else {  // on the centre line: both runs go on
      ++above;
      ++below;
    }
    if (above >= length || below >= length) (*flags)[i] |= bit;
  }
}

void rule2(const RulesChart& c, const std::vector<char>& usable, int length, int bit,
           std::vector<int>* flags) {
  long long up = 0, down = 0;
  bool first = true;
  double previous = 0.0;
  for (std::size_t i = 0; i < usable.size(); ++i) {
    if (!usable[i]) continue;
    double d = (*c.x)[i];
    if (c.detrend) {
      if (!present((*c.cl)[i])) continue;
      d -= (*c.cl)[i];
    }
    if (!first) {
      if (d > previous) {
        ++up;
        down = 0;
      } else if (d < previous) {
        ++down;
        up = 0;
      } else {  // an equal pair keeps both runs going
        ++up;
        ++down;
      }
      if (up + 1 >= length || down + 1 >= length) (*flags)[i] |= bit;
    }
    previous = d;
    first = false;
  }
}

// Rules 3 and 4: M of the last W positions beyond the zone, one side.
void rule_m_of_w(const Zones& z, const RulesChart& c, const std::vector<char>& usable, int w, int m,
                 int bit, std::vector<int>* flags) {
  const std::size_t n = usable.size();
  std::vector<char> hi(n, 0), lo(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    if (!usable[i]) continue;
    const double x = (*c.x)[i];
    hi[i] = present(z.upper[i]) && x > z.upper[i];
    lo[i] = present(z.lower[i]) && x < z.lower[i];
  }
  Window whi(n), wlo(n);
  whi.build(hi);
  wlo.build(lo);
  for (std::size_t i = 0; i < n; ++i) {
    if (usable[i] && (whi.count(i, w) >= m || wlo.count(i, w) >= m)) (*flags)[i] |= bit;
  }
}

// Rules 5 (INSIDE) and 6 (outside, either side): all of the last W positions.
void rule_all_of_w(const Zones& z, const RulesChart& c, const std::vector<char>& usable, int w,
                   bool inside, int bit, std::vector<int>* flags) {
  const std::size_t n = usable.size();
  std::vector<char> mark(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    if (!usable[i]) continue;
    const double x = (*c.x)[i];
    const bool out =
        (present(z.upper[i]) && x > z.upper[i]) || (present(z.lower[i]) && x < z.lower[i]);
    mark[i] = inside ? !out : out;
  }
  Window win(n);
  win.build(mark);
  for (std::size_t i = 0; i < n; ++i) {
    if (usable[i] && win.count(i, w) >= w) (*flags)[i] |= bit;
  }
}

}  // namespace

void apply_runs_rules(const RulesChart& c, const std::vector<char>& excluded, const ChartOptions& o,
                      int shift, std::vector<int>* flags) {
  const std::size_t n = c.x->size();
  std::vector<char> usable(n, 0);
  for (std::size_t i = 0; i < n; ++i) usable[i] = present((*c.x)[i]) && !excluded[i];
  auto bit = [shift](int rule) { return 1 << (rule - 1 + shift); };
  // A length or window below 1 (refused by the options check) switches its rule off.
  auto on = [&o](int rule, int length) { return o.rule_enabled(rule) && length >= 1; };

  if (on(1, o.run_length())) rule1(c, usable, o.run_length(), bit(1), flags);
  if (on(2, o.trend_length())) rule2(c, usable, o.trend_length(), bit(2), flags);
  if (on(3, o.rule3_window())) {
    rule_m_of_w(zones_at(c, o.zone_width(3)), c, usable, o.rule3_window(), o.rule3_count(), bit(3),
                flags);
  }
  if (on(4, o.rule4_window())) {
    rule_m_of_w(zones_at(c, o.zone_width(4)), c, usable, o.rule4_window(), o.rule4_count(), bit(4),
                flags);
  }
  if (on(5, o.rule5_window())) {
    rule_all_of_w(zones_at(c, o.zone_width(5)), c, usable, o.rule5_window(), true, bit(5), flags);
  }
  if (on(6, o.rule6_window())) {
    rule_all_of_w(zones_at(c, o.zone_width(6)), c, usable, o.rule6_window(), false, bit(6), flags);
  }
}

}  // namespace ztq
