// Gap filling by Lagrange interpolation on the positions -2, -1, +1, +2 about
// the gap (Abramowitz and Stegun, Handbook of Mathematical Functions, 25.2.2):
// the weight of the node at t_j is prod over the other nodes t_k of
// (0 - t_k) / (t_j - t_k). With all four present this gives
// -a/6 + 2b/3 + 2c/3 - d/6; with two, the line through them.
#include "charts/gap_fill.h"

#include <cmath>
#include <cstddef>

#include "charts/chart_messages.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

}  // namespace

// Abramowitz and Stegun 25.2.2 on the nodes -2, -1, +1, +2 that are present.
double gap_value(double a, double b, double c, double d) {
  const double t[4] = {-2.0, -1.0, 1.0, 2.0};
  const double y[4] = {a, b, c, d};
  int idx[4], m = 0;
  for (int j = 0; j < 4; ++j) {
    if (present(y[j])) idx[m++] = j;
  }
  if (m < 2) return kMissing;
  double value = 0.0;
  for (int j = 0; j < m; ++j) {
    double weight = 1.0;
    for (int k = 0; k < m; ++k) {
      if (k != j) weight *= (0.0 - t[idx[k]]) / (t[idx[j]] - t[idx[k]]);
    }
    value += weight * y[idx[j]];
  }
  return std::isfinite(value) ? value : kMissing;
}

int fill_gaps(std::vector<double>* x) {
  std::vector<double>& v = *x;
  const long long n = static_cast<long long>(v.size());
  long long first = -1, last = -1;
  for (long long i = 0; i < n; ++i) {
    if (!present(v[static_cast<std::size_t>(i)])) continue;
    if (first < 0) first = i;
    last = i;
  }
  if (first < 0) return 0;  // nothing present: no interior gap
  for (long long i = first + 1; i < last; ++i) {
    if (present(v[static_cast<std::size_t>(i)])) continue;
    auto value_at = [&](long long j) {
      return j >= 0 && j < n ? v[static_cast<std::size_t>(j)] : kMissing;
    };
    const double value =
        gap_value(value_at(i - 2), value_at(i - 1), value_at(i + 1), value_at(i + 2));
    if (is_missing(value)) return kMsgGapNeighbours;  // fewer than two neighbours
    v[static_cast<std::size_t>(i)] = value;
  }
  return 0;
}

}  // namespace ztq
