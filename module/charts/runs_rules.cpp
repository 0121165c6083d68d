// Runs rules for Shewhart charts: Western Electric Company (1956), Statistical
// Quality Control Handbook, and Nelson (1984), The Shewhart control chart -
// tests for special causes, J. Qual. Technol. 16(4), 237-239. All rules run in
// one pass over the points; windowed rules keep running counts of their marks
// over a ring of the last W positions, so every rule costs O(points) time and
// O(window) memory whatever its window. Runs of 64 usable points under one
// set of lines are tested as one block of bit words (rule_blocks.h), with the
// same marks and the same state after them as point by point.
#include "charts/runs_rules.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "charts/rule_blocks.h"
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include "stats/guarded.h"

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

// Count of 0/1 marks over the positions (i - w, i], pushed one position at a
// time. Positions before the first count as unmarked; a window longer than
// the series keeps every mark.
class RunningCount {
 public:
  RunningCount(long long w, std::size_t n)
      : size_(w >= 1 && static_cast<unsigned long long>(w) <= n ? static_cast<std::size_t>(w) : 0),
        bits_((size_ + 63) / 64, 0) {}

  // The marks live as bits of 64-bit words, a ring of SIZE positions: a byte
  // ring would alias every other variable of the loop.
  int push(bool mark) {
    const std::uint64_t m = mark ? 1 : 0;
    count_ += static_cast<int>(m);
    if (size_ == 0) return count_;
    std::uint64_t& word = bits_[next_ >> 6];
    const unsigned shift = static_cast<unsigned>(next_ & 63);
    count_ -= static_cast<int>((word >> shift) & 1);  // the mark that leaves the window
    word = (word & ~(std::uint64_t{1} << shift)) | (m << shift);
    if (++next_ == size_) next_ = 0;
    return count_;
  }

 private:
  std::size_t size_;
  std::vector<std::uint64_t> bits_;
  std::size_t next_ = 0;
  int count_ = 0;
};

// RunningCount for windows of up to 64 positions (or none, keeping every
// mark): one word, bit k the mark k positions back, in plain values the
// compiler can hold in registers. RunningCount serves when a window is longer.
struct ShortWindow {
  ShortWindow() = default;
  ShortWindow(long long w, std::size_t n)
      : size(w >= 1 && w <= 64 && static_cast<unsigned long long>(w) <= n ? static_cast<unsigned>(w)
                                                                          : 0) {}
  int push(bool mark) {
    const std::uint64_t m = mark ? 1 : 0;
    count += static_cast<int>(m);
    if (size == 0) return count;
    count -= static_cast<int>((word >> (size - 1)) & 1);
    word = (word << 1) | m;
    return count;
  }
  std::uint64_t word = 0;
  int count = 0;
  unsigned size = 0;
};

// A rule on zone boundaries at Z sigmas measured on the unclipped limits:
// CL + (UCLu - CL) z / kU and CL - (CL - LCLu) z / (-kL). Rules 3 and 4
// (M of the last W beyond the zone, one side) count each side; rules 5
// (INSIDE) and 6 (outside, either side) need all W positions marked.
template <class Window>
struct ZoneRule {
  bool on = false;
  bool all = false;
  bool inside = false;
  double z = 0.0;
  int w = 0;
  int m = 0;
  int bit = 0;
  Window upper{0, 0};  // rules 3, 4: beyond the upper boundary; 5, 6: marked
  Window lower{0, 0};
  bool has_hi = false, has_lo = false;  // the boundaries at the current lines
  double hi = 0.0, lo = 0.0;

  void place(const RulesChart& c, double cl, double ucl, double lcl, bool has_u, bool has_l) {
    const bool zone = present(z);
    hi = has_u && zone ? cl + (ucl - cl) * z / c.k_upper : kMissing;
    lo = has_l && zone ? cl - (cl - lcl) * z / (-c.k_lower) : kMissing;
    has_hi = present(hi);
    has_lo = present(lo);
  }
};

// Rule 1: LENGTH points in a row on one side of the centre line; a point on
// the line continues both runs.
struct SideRun {
  long long above = 0, below = 0;
  // Branch-free (a product, not a choice): on random data each comparison
  // goes either way, and a mispredicted branch costs more than the rule.
  bool step(double x, double cl, int length) {
    above = (above + 1) * static_cast<long long>(!(x < cl));
    below = (below + 1) * static_cast<long long>(!(x > cl));
    return (above >= length) | (below >= length);
  }
};

// Rule 2: LENGTH points in a row rising or falling; an equal pair keeps both
// runs going.
struct TrendRun {
  long long up = 0, down = 0;
  bool first = true;
  double previous = 0.0;
  bool step(double d, int length) {
    bool hit = false;
    if (!first) {
      up = (up + 1) * static_cast<long long>(!(d < previous));  // branch-free, as above
      down = (down + 1) * static_cast<long long>(!(d > previous));
      hit = (up + 1 >= length) | (down + 1 >= length);
    }
    previous = d;
    first = false;
    return hit;
  }
};

// The marks over 64 points of A > B (above), A < B (below), or not below, not
// above: two points a vector compare where the target has them (the same
// comparisons, NaN compares false), one at a time elsewhere. B is one value
// for all 64 (a line) or, with kPaired, a value per point.
enum class Mark { above, below, not_below, not_above };

template <Mark kMark, bool kPaired = false>
std::uint64_t marks_of(const double* a, const double* b) {
  std::uint64_t m = 0;
#if defined(__SSE2__)
  const __m128d line = _mm_set1_pd(*b);
  for (unsigned j = 0; j < 64; j += 2) {
    const __m128d x = _mm_loadu_pd(a + j), y = kPaired ? _mm_loadu_pd(b + j) : line;
    __m128d hit;
    if constexpr (kMark == Mark::above) hit = _mm_cmpgt_pd(x, y);
    if constexpr (kMark == Mark::below) hit = _mm_cmplt_pd(x, y);
    if constexpr (kMark == Mark::not_below) hit = _mm_cmpnlt_pd(x, y);
    if constexpr (kMark == Mark::not_above) hit = _mm_cmpngt_pd(x, y);
    // In at the top, shifted down as the next two come: points j, j + 1 end at bits j, j + 1.
    m = (m >> 2) | (static_cast<std::uint64_t>(_mm_movemask_pd(hit)) << 62);
  }
#else
  for (unsigned j = 0; j < 64; ++j) {
    const double x = a[j], y = kPaired ? b[j] : *b;
    bool hit = false;
    if constexpr (kMark == Mark::above) hit = x > y;
    if constexpr (kMark == Mark::below) hit = x < y;
    if constexpr (kMark == Mark::not_below) hit = !(x < y);
    if constexpr (kMark == Mark::not_above) hit = !(x > y);
    m |= static_cast<std::uint64_t>(hit) << j;
  }
#endif
  return m;
}

// Whether the 64 points from X are all present (not missing, finite).
bool all_present(const double* x) {
#if defined(__SSE2__)
  const __m128d missing = _mm_set1_pd(kMissing), zero = _mm_setzero_pd();
  int all = 3;
  for (unsigned j = 0; j < 64; j += 2) {
    const __m128d two = _mm_loadu_pd(x + j);
    // x - x is 0 for a finite x, NaN for an infinite or NaN one.
    all &= _mm_movemask_pd(
        _mm_and_pd(_mm_cmpneq_pd(two, missing), _mm_cmpeq_pd(_mm_sub_pd(two, two), zero)));
  }
  return all == 3;
#else
  bool all = true;
  for (unsigned j = 0; j < 64; ++j) all &= present(x[j]);
  return all;
#endif
}

// A window's word and count after a block of MARKS (bit 63 the latest).
void window_after(ShortWindow& w, std::uint64_t marks) {
  w.word = rule_blocks::reversed(marks);  // bit k: the mark k positions back
  const std::uint64_t kept = w.size >= 64 ? rule_blocks::kAll : (std::uint64_t{1} << w.size) - 1;
  w.count = std::popcount(w.word & kept);
}

// Zone rule ZR over a block of 64 usable points: the points it marks.
std::uint64_t zone_block(ZoneRule<ShortWindow>& zr, const double* x) {
  namespace rb = rule_blocks;
  if (!zr.on) return 0;
  const double hi = zr.hi, lo = zr.lo;
  const std::uint64_t above = zr.has_hi ? marks_of<Mark::above>(x, &hi) : 0;
  const std::uint64_t below = zr.has_lo ? marks_of<Mark::below>(x, &lo) : 0;
  const unsigned w = static_cast<unsigned>(zr.w);
  if (zr.all) {
    const std::uint64_t marks = zr.inside ? ~(above | below) : above | below;
    const std::uint64_t hit = rb::all_of_last(marks, rb::reversed(zr.upper.word), w);
    window_after(zr.upper, marks);
    return hit;
  }
  const std::uint64_t hit = rb::at_least_of_last(above, rb::reversed(zr.upper.word), w, zr.m) |
                            rb::at_least_of_last(below, rb::reversed(zr.lower.word), w, zr.m);
  window_after(zr.upper, above);
  window_after(zr.lower, below);
  return hit;
}

// The settings a block of 64 points runs under.
struct BlockLines {
  double cl = 0.0;
  bool side = false, trend = false, detrend = false;
  int run_length = 0, trend_length = 0;
  int shift = 0;
};

// The state of every rule, carried from point to point.
struct RuleState {
  SideRun side;
  TrendRun trend;
  ZoneRule<ShortWindow> zones[4];
};

// Points I0 to I0 + 63 of X, all usable and under one set of lines, as one
// block: the same marks and the same state after it as point by point.
void run_block(const double* x, std::size_t i0, const BlockLines& b, RuleState& state,
               std::vector<std::uint16_t>* flags) {
  namespace rb = rule_blocks;
  SideRun& side = state.side;
  TrendRun& trend = state.trend;
  std::uint64_t hits[6] = {};
  if (b.side) {
    const std::uint64_t above = marks_of<Mark::not_below>(x, &b.cl);
    const std::uint64_t below = marks_of<Mark::not_above>(x, &b.cl);
    const unsigned length = static_cast<unsigned>(b.run_length);
    hits[0] = rb::all_of_last(above, rb::history_of_run(side.above), length) |
              rb::all_of_last(below, rb::history_of_run(side.below), length);
    side.above = rb::run_after(above, side.above);
    side.below = rb::run_after(below, side.below);
  }
  if (b.trend) {  // steps of the 64 points from the point before them
    double d[65];
    d[0] = trend.previous;
    if (b.detrend) {
      for (unsigned j = 0; j < 64; ++j) d[j + 1] = x[j] - b.cl;
    } else {
      std::copy(x, x + 64, d + 1);
    }
    const std::uint64_t up = marks_of<Mark::not_below, true>(d + 1, d);
    const std::uint64_t down = marks_of<Mark::not_above, true>(d + 1, d);
    const unsigned steps = static_cast<unsigned>(b.trend_length - 1);
    hits[1] = rb::all_of_last(up, rb::history_of_run(trend.up), steps) |
              rb::all_of_last(down, rb::history_of_run(trend.down), steps);
    trend.up = rb::run_after(up, trend.up);
    trend.down = rb::run_after(down, trend.down);
    trend.previous = d[64];
  }
  for (int k = 0; k < 4; ++k) hits[k + 2] = zone_block(state.zones[k], x);
  std::uint64_t any = 0;
  for (const std::uint64_t h : hits) any |= h;
  for (; any != 0; any &= any - 1) {  // flagged points are few: only they are written
    const int j = std::countr_zero(any);
    int bits = 0;
    for (int r = 0; r < 6; ++r) bits |= static_cast<int>((hits[r] >> j) & 1) << (r + b.shift);
    std::uint16_t& f = (*flags)[i0 + static_cast<std::size_t>(j)];
    f = static_cast<std::uint16_t>(f | bits);
  }
}

// The zone rules' windows of WINDOW: RunningCount, or ShortWindow when every
// window is at most 64 positions.
template <class Window>
void run_rules(const RulesChart& c, const Marks& excluded, const ChartOptions& o, int shift,
               std::vector<std::uint16_t>* flags) {
  const std::size_t n = c.x.size();
  const std::span<const double> xs = c.x;
  auto bit = [shift](int rule) { return 1 << (rule - 1 + shift); };
  // A length or window below 1 (refused by the options check) switches its rule off.
  auto on = [&o](int rule, int length) { return o.rule_enabled(rule) && length >= 1; };

  const bool rule1 = on(1, o.run_length()), rule2 = on(2, o.trend_length());
  const int run_length = o.run_length(), trend_length = o.trend_length();
  ZoneRule<Window> zones[4];
  const int windows[4] = {o.rule3_window(), o.rule4_window(), o.rule5_window(), o.rule6_window()};
  const int counts[4] = {o.rule3_count(), o.rule4_count(), o.rule5_window(), o.rule6_window()};
  bool any_zone = false;
  for (int k = 0; k < 4; ++k) {
    ZoneRule<Window>& zr = zones[k];
    const int rule = k + 3;
    zr.on = on(rule, windows[k]);
    if (!zr.on) continue;
    any_zone = true;
    zr.all = rule >= 5;
    zr.inside = rule == 5;
    zr.z = o.zone_width(rule);
    zr.w = windows[k];
    zr.m = counts[k];
    zr.bit = bit(rule);
    zr.upper = Window(zr.w, n);
    if (!zr.all) zr.lower = Window(zr.w, n);
  }
  const bool up = present(c.k_upper) && c.k_upper != 0.0;
  const bool down = present(c.k_lower) && c.k_lower != 0.0;

  SideRun side;
  TrendRun trend;
  // The four zone rules as four locals, each step written out: held in
  // registers rather than read and written through an array every point.
  ZoneRule<Window> z3 = zones[0], z4 = zones[1], z5 = zones[2], z6 = zones[3];
  const auto skip = [](ZoneRule<Window>& zr) {
    if (!zr.on) return;
    zr.upper.push(false);
    if (!zr.all) zr.lower.push(false);
  };
  const auto test = [](ZoneRule<Window>& zr, double x) {
    if (!zr.on) return 0;
    // Bitwise, not short-circuit: no branch on a comparison that goes either way.
    const bool above = zr.has_hi & (x > zr.hi), below = zr.has_lo & (x < zr.lo);
    if (zr.all) return zr.upper.push((above | below) != zr.inside) >= zr.w ? zr.bit : 0;
    const int hi = zr.upper.push(above), lo = zr.lower.push(below);
    return (hi >= zr.m) | (lo >= zr.m) ? zr.bit : 0;
  };
  // Blocks of 64 need every run length and window within one word of history.
  const auto fits = [](const ZoneRule<Window>& zr) {
    if constexpr (std::is_same_v<Window, ShortWindow>)
      return !zr.on || static_cast<int>(zr.upper.size) == zr.w;
    return false;
  };
  const bool blocks = std::is_same_v<Window, ShortWindow> && n >= 64 &&
                      (!rule1 || run_length <= 64) &&
                      (!rule2 || (trend_length >= 2 && trend_length <= 65)) && fits(z3) &&
                      fits(z4) && fits(z5) && fits(z6);
  const auto all_usable = [&](std::size_t first) {
    if (!all_present(xs.data() + first)) return false;
    if (excluded.size() <= first) return true;
    const std::size_t stop = std::min(excluded.size(), first + 64);
    return std::all_of(excluded.begin() + static_cast<std::ptrdiff_t>(first),
                       excluded.begin() + static_cast<std::ptrdiff_t>(stop),
                       [](char e) { return e == 0; });
  };
  // The lines are read once a run of equal values (most charts: once a phase);
  // the points of a run are tested against boundaries placed once.
  for (std::size_t i = 0; i < n;) {
    const double cl = (*c.cl)[i];
    const bool has_cl = present(cl);
    const double ucl = has_cl ? (*c.ucl)[i] : kMissing, lcl = has_cl ? (*c.lcl)[i] : kMissing;
    std::size_t end = std::min(n, c.cl->run_end(i));
    if (has_cl) end = std::min({end, c.ucl->run_end(i), c.lcl->run_end(i)});
    if (any_zone) {
      const bool has_u = up && has_cl && present(ucl), has_l = down && has_cl && present(lcl);
      for (ZoneRule<Window>* zr : {&z3, &z4, &z5, &z6})
        if (zr->on) zr->place(c, cl, ucl, lcl, has_u, has_l);
    }
    const bool side_on = rule1 && has_cl, trend_on = rule2 && (!c.detrend || has_cl);
    // One point at a time: the loop for runs shorter than a block (limits that
    // change point by point) and for blocks that have a gap.
    const auto points = [&](std::size_t stop) {
      for (; i < stop; ++i) {
        const double x = xs[i];
        const bool usable = present(x) && !(i < excluded.size() && excluded[i]);
        if (!usable) {
          skip(z3), skip(z4), skip(z5), skip(z6);
          continue;
        }
        int bits = 0;
        if (side_on) bits |= side.step(x, cl, run_length) ? bit(1) : 0;
        if (trend_on) bits |= trend.step(c.detrend ? x - cl : x, trend_length) ? bit(2) : 0;
        bits |= test(z3, x) | test(z4, x) | test(z5, x) | test(z6, x);
        (*flags)[i] = static_cast<std::uint16_t>((*flags)[i] | bits);  // 12 bits: two charts of six
      }
    };
    if (!blocks || end - i < 64) {
      points(end);
      continue;
    }
    while (i < end) {
      // Runs of 64 usable points go as one block where every window fits a word.
      if constexpr (std::is_same_v<Window, ShortWindow>) {
        if (end - i >= 64 && !(trend_on && trend.first) && all_usable(i)) {
          const BlockLines lines{cl, side_on, trend_on, c.detrend, run_length, trend_length, shift};
          RuleState state{side, trend, {z3, z4, z5, z6}};
          run_block(xs.data() + i, i, lines, state, flags);
          side = state.side, trend = state.trend;
          z3 = state.zones[0], z4 = state.zones[1], z5 = state.zones[2], z6 = state.zones[3];
          i += 64;
          continue;
        }
      }
      points(std::min(end, i + 64));
    }
  }
}

}  // namespace

void apply_runs_rules(const RulesChart& c, const Marks& excluded, const ChartOptions& o, int shift,
                      std::vector<std::uint16_t>* flags) {
  const int windows[4] = {o.rule3_window(), o.rule4_window(), o.rule5_window(), o.rule6_window()};
  bool short_windows = true;
  for (int k = 0; k < 4; ++k)
    short_windows = short_windows && (!o.rule_enabled(k + 3) || windows[k] <= 64);
  if (short_windows) {
    run_rules<ShortWindow>(c, excluded, o, shift, flags);
  } else {
    run_rules<RunningCount>(c, excluded, o, shift, flags);
  }
}

}  // namespace ztq
