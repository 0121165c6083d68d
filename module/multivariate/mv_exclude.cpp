// Automatic exclusion for the T-squared chart: the worst point beyond the
// limit leaves the estimation, one at a time.
//
// With the mean vector and the covariance both estimated, removing one point
// changes them by a rank-one downdate, so every T-squared follows in O(p)
// rather than O(p^2) and the sums are not rebuilt (Sherman and Morrison 1950,
// the inverse of a rank-one change). A fresh computation every kRefresh steps
// bounds the rounding drift. With standard means or covariance each step
// recomputes in full.
#include <algorithm>
#include <cmath>

#include "multivariate/mv_compute.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

constexpr int32_t kRefresh = 64;  // steps between fresh computations

struct Downdate {
  const MvInput& in;
  int32_t p;
  int32_t n = 0;
  std::vector<uint8_t> used = {};
  std::vector<double> mean = {};   // p
  std::vector<double> cross = {};  // p x p sums of cross products about mean
  std::vector<double> cross_inverse = {};
  std::vector<double> a = {};  // per point: e^T cross^-1 e, e = x - mean (used points)
  std::vector<double> b = {};  // per point: e^T g of the current removal

  // Recomputes mean, cross products and a from the data; false when singular.
  bool refresh() {
    const auto pp = static_cast<size_t>(p);
    const auto points = used.size();
    n = 0;
    for (uint8_t u : used) n += u;
    if (n < p + 1) return false;
    mean.assign(pp, 0.0);
    for (size_t j = 0; j < pp; ++j) {
      double s = 0.0;
      for (size_t i = 0; i < points; ++i)
        if (used[i]) s += in.columns[j][i];
      mean[j] = s / n;
    }
    cross.assign(pp * pp, 0.0);
    std::vector<double> e(pp);
    for (size_t i = 0; i < points; ++i) {
      if (!used[i]) continue;
      for (size_t j = 0; j < pp; ++j) e[j] = in.columns[j][i] - mean[j];
      for (size_t j = 0; j < pp; ++j)
        for (size_t k = j; k < pp; ++k) cross[j * pp + k] += e[j] * e[k];
    }
    for (size_t j = 0; j < pp; ++j)
      for (size_t k = 0; k < j; ++k) cross[j * pp + k] = cross[k * pp + j];
    if (!lu_inverse(cross, p, cross_inverse)) return false;
    a.assign(points, 0.0);
    std::vector<double> w(pp);
    for (size_t i = 0; i < points; ++i) {
      if (!used[i]) continue;
      for (size_t j = 0; j < pp; ++j) e[j] = in.columns[j][i] - mean[j];
      double s = 0.0;
      for (size_t j = 0; j < pp; ++j) {
        double inner = 0.0;
        for (size_t k = 0; k < pp; ++k) inner += cross_inverse[j * pp + k] * e[k];
        s += e[j] * inner;
      }
      a[i] = s;
    }
    return true;
  }

  // Removes point r. With delta = x_r - mean, c = n / (n - 1), g = C^-1 delta,
  // q = delta' g: mean' = mean - delta / (n - 1), C' = C - c delta delta',
  // C'^-1 = C^-1 + c g g' / (1 - c q), and for y = e + delta / (n - 1):
  // y' C'^-1 y = a + 2 b / (n - 1) + q / (n - 1)^2 + c (b + q / (n - 1))^2 / (1 - c q)
  // with b = e' g. False when the downdate would be singular.
  bool remove(size_t r) {
    const auto pp = static_cast<size_t>(p);
    std::vector<double> delta(pp), g(pp, 0.0);
    for (size_t j = 0; j < pp; ++j) delta[j] = in.columns[j][r] - mean[j];
    double q = 0.0;
    for (size_t j = 0; j < pp; ++j) {
      for (size_t k = 0; k < pp; ++k) g[j] += cross_inverse[j * pp + k] * delta[k];
      q += delta[j] * g[j];
    }
    const double nm1 = n - 1.0;
    const double c = n / nm1;
    const double denominator = 1.0 - c * q;
    used[r] = 0;
    if (!(denominator > 1e-10)) return refresh();
    // b = e' g for every point, a column at a time (contiguous reads).
    b.assign(used.size(), 0.0);
    for (size_t j = 0; j < pp; ++j) {
      const double* x = in.columns[j].data();
      const double m = mean[j], gj = g[j];
      for (size_t i = 0; i < used.size(); ++i) b[i] += (x[i] - m) * gj;
    }
    for (size_t i = 0; i < used.size(); ++i) {
      if (!used[i]) continue;
      const double t = b[i] + q / nm1;
      a[i] += 2.0 * b[i] / nm1 + q / (nm1 * nm1) + c * t * t / denominator;
    }
    for (size_t j = 0; j < pp; ++j) mean[j] -= delta[j] / nm1;
    for (size_t j = 0; j < pp; ++j)
      for (size_t k = 0; k < pp; ++k) {
        cross[j * pp + k] -= c * delta[j] * delta[k];
        cross_inverse[j * pp + k] += c * g[j] * g[k] / denominator;
      }
    --n;
    return true;
  }
};

}  // namespace

int32_t mv_exclude_automatically(const MvInput& in, const MvOptions& o,
                                 std::vector<int32_t>& flags) {
  const int32_t p = in.p();
  const auto points = static_cast<size_t>(in.points());
  flags.resize(points, 0);
  int32_t excluded = 0;
  if (!in.means_given && !in.covariance_given) {
    Downdate dd{in, p};
    dd.used.assign(points, 0);
    const MvResults first = compute_mv(in, o, flags);
    if (first.error != 0) return 0;
    for (size_t i = 0; i < points; ++i) dd.used[i] = first.complete[i] && !flags[i] ? 1 : 0;
    if (!dd.refresh()) return 0;
    for (int32_t step = 1;; ++step) {
      const double ucl = mv_ucl(dd.n, p, o.alpha_percent, false, 0);
      if (is_missing(ucl)) break;
      int32_t within = 0;
      size_t worst = points;
      double worst_excess = 0.0;
      const double scale = dd.n - 1.0;  // T-squared = (n - 1) a
      for (size_t i = 0; i < points; ++i) {
        if (!dd.used[i]) continue;
        const double excess = scale * dd.a[i] - ucl;
        if (excess > 0.0) {
          if (worst == points || excess > worst_excess) worst = i, worst_excess = excess;
        } else {
          ++within;
        }
      }
      if (worst == points || within < 3 || dd.n - 1 < p + 1) break;
      flags[worst] = 1;
      ++excluded;
      if (!(step % kRefresh == 0 ? (dd.used[worst] = 0, dd.refresh()) : dd.remove(worst))) break;
    }
    return excluded;
  }
  for (;;) {
    const MvResults r = compute_mv(in, o, flags);
    if (r.error != 0) break;
    int32_t within = 0;
    size_t worst = points;
    for (size_t i = 0; i < points; ++i) {
      if (!r.complete[i] || r.excluded[i]) continue;
      if (r.beyond[i]) {
        if (worst == points || r.t2[i] > r.t2[worst]) worst = i;
      } else {
        ++within;
      }
    }
    if (worst == points || within < 3 || r.n - 1 < p + 1) break;
    flags[worst] = 1;
    ++excluded;
  }
  return excluded;
}

}  // namespace ztq
