// Tukey, J. W. (1977), Exploratory Data Analysis, ch. 2 (box plots, fences);
// Hyndman, R. J. and Fan, Y. (1996), "Sample quantiles in statistical
// packages", The American Statistician 50(4), 361-365 (definition 6).
#include "gage/boxplot.h"

#include <algorithm>
#include <cmath>

#include "stats/guarded.h"

namespace ztq {

// Hyndman and Fan (1996), definition 6: h = (n + 1) p, clamped to 1..n.
double quantile_sorted(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return kMissing;
  const double n = static_cast<double>(sorted.size());
  const double h = std::clamp((n + 1.0) * p, 1.0, n);
  const size_t lo = static_cast<size_t>(std::floor(h)) - 1;
  const size_t hi = std::min(lo + 1, sorted.size() - 1);
  return sorted[lo] + (h - std::floor(h)) * (sorted[hi] - sorted[lo]);
}

BoxStats box_stats(std::vector<double> values, bool fences) {
  BoxStats b;
  std::erase_if(values, [](double v) { return is_missing(v) || !std::isfinite(v); });
  if (values.empty()) return b;
  std::sort(values.begin(), values.end());
  b.n = static_cast<int>(values.size());
  b.q1 = quantile_sorted(values, 0.25);
  b.median = quantile_sorted(values, 0.5);
  b.q3 = quantile_sorted(values, 0.75);
  double sum = 0;
  for (double v : values) sum += v;
  b.mean = sum / b.n;
  if (!fences) {
    b.whisker_low = values.front();
    b.whisker_high = values.back();
    return b;
  }
  const double iqr = b.q3 - b.q1;
  b.inner_low = b.q1 - 1.5 * iqr;
  b.inner_high = b.q3 + 1.5 * iqr;
  b.outer_low = b.q1 - 3.0 * iqr;
  b.outer_high = b.q3 + 3.0 * iqr;
  b.whisker_low = b.q1;
  b.whisker_high = b.q3;
  for (double v : values) {
    if (v >= b.inner_low && v <= b.inner_high) {
      b.whisker_low = std::min(b.whisker_low, v);
      b.whisker_high = std::max(b.whisker_high, v);
    } else if (v < b.outer_low || v > b.outer_high) {
      b.far_outside.push_back(v);
      (v < b.outer_low ? b.far_low : b.far_high) += 1;
    } else {
      b.outside.push_back(v);
      (v < b.inner_low ? b.outside_low : b.outside_high) += 1;
    }
  }
  return b;
}

}  // namespace ztq
