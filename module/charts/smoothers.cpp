// Moving averages over a window of positions and the exponentially weighted
// moving average, Roberts (1959), Control chart tests based on geometric
// moving averages, Technometrics 1(3), 239-250. Early EWMA limits from the
// exact variance lambda/(2 - lambda) (1 - (1 - lambda)^(2c)) sigma^2, Lucas and
// Saccucci (1990), Technometrics 32(1), 1-12. Both run in one pass.
#include "charts/smoothers.h"

#include <cmath>
#include <span>

#include "charts/chart_kind_results.h"

namespace ztq {
namespace {

bool usable(std::span<const double> x, const Marks& excluded, std::size_t i) {
  return !is_missing(x[i]) && std::isfinite(x[i]) && !(i < excluded.size() && excluded[i]);
}

double finite_or_missing(double v) { return std::isfinite(v) ? v : kMissing; }

}  // namespace

// Running sum and count over the window (i - w, i] of positions.
void moving_average(std::span<const double> x, const Marks& excluded, std::size_t first,
                    std::size_t end, int w, double pad, std::vector<double>* out) {
  out->resize(x.size(), kMissing);
  if (end > x.size()) end = x.size();
  if (w < 1 || first >= end) return;
  const std::size_t span = static_cast<std::size_t>(w);
  const bool padded = !is_missing(pad) && std::isfinite(pad);
  double sum = 0.0;
  long long count = 0;
  for (std::size_t i = first; i < end; ++i) {
    if (usable(x, excluded, i)) {
      sum += x[i];
      ++count;
    }
    if (i - first >= span && usable(x, excluded, i - span)) {  // leaves the window
      sum -= x[i - span];
      --count;
    }
    if (!usable(x, excluded, i)) {
      (*out)[i] = kMissing;
      continue;
    }
    const std::size_t seen = i - first + 1;  // positions of the window inside the phase
    const double pads = padded && seen < span ? static_cast<double>(span - seen) : 0.0;
    const double values = static_cast<double>(count) + pads;
    (*out)[i] = finite_or_missing((sum + pads * (padded ? pad : 0.0)) / values);
  }
}

// Roberts (1959): z_i = lambda x_i + (1 - lambda) z_(i-1).
void ewma(std::span<const double> x, const Marks& excluded, std::size_t first, std::size_t end,
          double lambda, double start, std::vector<double>* out) {
  out->resize(x.size(), kMissing);
  if (end > x.size()) end = x.size();
  if (!(lambda > 0.0 && lambda <= 1.0)) {  // lambda outside (0, 1]: no line
    for (std::size_t i = first; i < end; ++i) (*out)[i] = kMissing;
    return;
  }
  double z = std::isfinite(start) ? start : kMissing;
  for (std::size_t i = first; i < end; ++i) {
    if (!usable(x, excluded, i)) {
      (*out)[i] = kMissing;
      continue;
    }
    z = is_missing(z) ? x[i] : lambda * x[i] + (1.0 - lambda) * z;
    z = finite_or_missing(z);
    (*out)[i] = z;
  }
}

double moving_average_limit_factor(int rule, long long c, int w) {
  if (c < 1 || w < 1 || c >= w) return 1.0;  // full window from the w-th point
  const double ratio = static_cast<double>(c) / static_cast<double>(w);
  if (rule == 1) return std::sqrt(ratio);        // c values and w - c pads: sd sqrt(c) / w
  if (rule == 2) return std::sqrt(1.0 / ratio);  // c values only: sd 1 / sqrt(c)
  return 1.0;
}

double ewma_limit_factor(double lambda, long long c) {
  if (!(lambda > 0.0 && lambda <= 1.0) || c < 1) return 1.0;
  const double q = 1.0 - lambda;
  return std::sqrt(1.0 - std::pow(q, 2.0 * static_cast<double>(c)));
}

void smoother_lines1(const ChartOptions& o, std::span<const double> stat1, const Marks& excluded,
                     SmootherLines* out) {
  const std::size_t n1 = stat1.size();
  if (o.ma_line1()) moving_average(stat1, excluded, 0, n1, o.span(), kMissing, &out->ma1.values());
  if (o.ewma_line1()) ewma(stat1, excluded, 0, n1, o.lambda(), kMissing, &out->ewma1.values());
}

void smoother_lines2(const ChartOptions& o, std::span<const double> stat2, const Marks& excluded,
                     SmootherLines* out) {
  const std::size_t n2 = stat2.size();
  if (o.ma_line2()) moving_average(stat2, excluded, 0, n2, o.span2(), kMissing, &out->ma2);
  if (o.ewma_line2()) ewma(stat2, excluded, 0, n2, o.lambda2(), kMissing, &out->ewma2);
}

}  // namespace ztq
