// Long series and stepped lines of the graph builder.
#include <algorithm>
#include <cmath>

#include "bridge/graph_builder.h"

namespace ztq {
namespace {

bool usable(double v) { return std::isfinite(v) && v != ZTG_MISSING; }

}  // namespace

// Column reduction after Jugel, Jerzak, Hackenbroich & Markl (2014), "M4: a
// visualization-oriented time series data aggregation": the first, minimum,
// maximum and last value per pixel column draw the same picture as all values.
std::vector<ZtgCoord> column_envelope(std::span<const double> xs, std::span<const double> ys,
                                      int columns) {
  const std::size_t n = std::min(xs.size(), ys.size());
  std::vector<ZtgCoord> out;
  double lo = INFINITY, hi = -INFINITY;
  for (std::size_t i = 0; i < n; ++i)
    if (usable(xs[i])) lo = std::min(lo, xs[i]), hi = std::max(hi, xs[i]);
  if (!(lo <= hi) || columns < 1) return out;
  const double width = hi > lo ? (hi - lo) / columns : 1.0;
  out.reserve(static_cast<std::size_t>(columns) * 4 + 16);
  long column = -1;
  std::size_t first = 0, low = 0, high = 0, last = 0;
  bool open = false, gap = false;
  const auto flush = [&] {
    if (!open) return;
    std::size_t idx[4] = {first, low, high, last};
    std::sort(idx, idx + 4);
    for (int k = 0; k < 4; ++k)
      if (k == 0 || idx[k] != idx[k - 1]) out.push_back({xs[idx[k]], ys[idx[k]]});
    open = false;
  };
  for (std::size_t i = 0; i < n; ++i) {
    if (!usable(xs[i])) continue;
    const long c = std::min<long>(static_cast<long>((xs[i] - lo) / width), columns - 1);
    if (c != column) flush(), column = c, gap = false;
    if (!usable(ys[i])) {
      // One break per column at most: a gap narrower than a column is not visible.
      if (!gap) flush(), out.push_back({ZTG_MISSING, ZTG_MISSING}), gap = true;
      continue;
    }
    if (!open) {
      first = low = high = last = i, open = true;
      continue;
    }
    if (ys[i] < ys[low]) low = i;
    if (ys[i] > ys[high]) high = i;
    last = i;
  }
  flush();
  return out;
}

void GraphBuilder::series(std::span<const double> xs, std::span<const double> ys, int attr,
                          int panel, const std::string& label) {
  const std::size_t n = std::min(xs.size(), ys.size());
  if (n <= kDenseAbove) {
    polyline(xs, ys, attr, panel, ZTG_COORDS_DATA, label);
    return;
  }
  const std::vector<ZtgCoord> v = column_envelope(xs, ys, kColumns);
  std::vector<double> vx(v.size()), vy(v.size());
  for (std::size_t k = 0; k < v.size(); ++k) vx[k] = v[k].x, vy[k] = v[k].y;
  polyline(vx, vy, attr, panel, ZTG_COORDS_DATA, label);
}

void GraphBuilder::steps(std::span<const double> xs, std::span<const double> ys, int attr,
                         int panel, const std::string& label) {
  const std::size_t n = std::min(xs.size(), ys.size());
  if (n == 0) return;
  if (n > kDenseAbove) {
    series(xs, ys, attr, panel, label);
    return;
  }
  std::vector<double> vx, vy;
  vx.reserve(2 * n + 2), vy.reserve(2 * n + 2);
  const auto half = [&](std::size_t i, std::size_t j) {
    return usable(xs[i]) && usable(xs[j]) ? std::fabs(xs[j] - xs[i]) / 2 : 0.5;
  };
  for (std::size_t i = 0; i < n; ++i) {
    if (!usable(xs[i]) || !usable(ys[i])) {
      if (!vx.empty() && vx.back() != ZTG_MISSING)
        vx.push_back(ZTG_MISSING), vy.push_back(ZTG_MISSING);
      continue;
    }
    const double left = i > 0 ? half(i - 1, i) : (n > 1 ? half(0, 1) : 0.5);
    const double right = i + 1 < n ? half(i, i + 1) : left;
    vx.push_back(xs[i] - left), vy.push_back(ys[i]);
    vx.push_back(xs[i] + right), vy.push_back(ys[i]);
  }
  polyline(vx, vy, attr, panel, ZTG_COORDS_DATA, label);
}

void GraphBuilder::mark_text(double x, double y, const std::string& s, int attr, int panel) {
  if (s.empty() || !usable(x) || !usable(y)) return;
  texts_.push_back(
      {x, y, panel, attr, ZTG_COORDS_DATA, ZTG_ANCHOR_CENTRE, ZTG_TEXT_MARK, 0, keep(s)});
}

void GraphBuilder::shared_x(bool on) {
  options_ = on ? (options_ | ZTG_OPTION_SHARED_X) : (options_ & ~ZTG_OPTION_SHARED_X);
}

}  // namespace ztq
