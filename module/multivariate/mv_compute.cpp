#include "multivariate/mv_compute.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

// (d)^T A d for a symmetric row-major p x p matrix A.
double quadratic(const std::vector<double>& a, const double* d, int32_t p) {
  double sum = 0.0;
  for (int32_t j = 0; j < p; ++j) {
    const double* row = &a[static_cast<size_t>(j) * static_cast<size_t>(p)];
    double inner = 0.0;
    for (int32_t k = 0; k < p; ++k) inner += row[k] * d[k];
    sum += d[j] * inner;
  }
  return sum;
}

void gather(const MvInput& in, int32_t i, const std::vector<double>& mu, double* d) {
  const auto p = static_cast<size_t>(in.p());
  for (size_t j = 0; j < p; ++j) d[j] = in.columns[j][static_cast<size_t>(i)] - mu[j];
}

// Average and sum of cross products of deviations over the used points, by
// two passes (Chan, Golub and LeVeque 1983: the two-pass form keeps its accuracy).
void sums(const MvInput& in, const std::vector<uint8_t>& used, int32_t n, std::vector<double>& mean,
          std::vector<double>& cross) {
  const int32_t p = in.p();
  const auto pp = static_cast<size_t>(p);
  mean.assign(pp, 0.0);
  cross.assign(pp * pp, 0.0);
  for (size_t j = 0; j < pp; ++j) {
    double s = 0.0;
    const std::vector<double>& c = in.columns[j];
    for (size_t i = 0; i < c.size(); ++i)
      if (used[i]) s += c[i];
    mean[j] = s / n;
  }
  std::vector<double> d(pp);
  for (int32_t i = 0; i < in.points(); ++i) {
    if (!used[static_cast<size_t>(i)]) continue;
    gather(in, i, mean, d.data());
    for (size_t j = 0; j < pp; ++j)  // the upper triangle, mirrored below
      for (size_t k = j; k < pp; ++k) cross[j * pp + k] += d[j] * d[k];
  }
  for (size_t j = 0; j < pp; ++j)
    for (size_t k = 0; k < j; ++k) cross[j * pp + k] = cross[k * pp + j];
}

// Cholesky decomposition (Golub and Van Loan 1996, algorithm 4.2.1): every
// pivot positive exactly when the symmetric matrix is positive definite.
bool positive_definite(const std::vector<double>& a, int32_t p) {
  const auto n = static_cast<size_t>(p);
  std::vector<double> l(n * n, 0.0);
  for (size_t j = 0; j < n; ++j) {
    double d = a[j * n + j];
    for (size_t k = 0; k < j; ++k) d -= l[j * n + k] * l[j * n + k];
    if (!(d > 0.0)) return false;
    l[j * n + j] = std::sqrt(d);
    for (size_t i = j + 1; i < n; ++i) {
      double s = a[i * n + j];
      for (size_t k = 0; k < j; ++k) s -= l[i * n + k] * l[j * n + k];
      l[i * n + j] = s / l[j * n + j];
    }
  }
  return true;
}

}  // namespace

std::span<const double> MvResults::contributions_of(int32_t i) const {
  const auto it = std::lower_bound(signal_points.begin(), signal_points.end(), i);
  if (it == signal_points.end() || *it != i) return {};
  const auto k = static_cast<size_t>(it - signal_points.begin());
  return {contributions.data() + k * static_cast<size_t>(p), static_cast<size_t>(p)};
}

// Golub and Van Loan (1996), Matrix Computations, 3rd ed., algorithm 3.4.1:
// LU decomposition with partial pivoting, then one column of the identity
// solved at a time.
bool lu_inverse(std::span<const double> a, int32_t p, std::vector<double>& inverse) {
  const auto n = static_cast<size_t>(p);
  if (p < 1 || a.size() < n * n) return false;
  std::vector<double> lu(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(n * n));
  std::vector<size_t> perm(n);
  for (size_t i = 0; i < n; ++i) perm[i] = i;
  double scale = 0.0;
  for (double v : lu) scale = std::max(scale, std::fabs(v));
  // A pivot at rounding level of the largest element is a zero pivot: the
  // matrix is singular to working precision (identical or dependent columns).
  const double tiny = scale * static_cast<double>(n) * 8.0 * std::numeric_limits<double>::epsilon();
  for (size_t k = 0; k < n; ++k) {
    size_t piv = k;
    for (size_t i = k + 1; i < n; ++i)
      if (std::fabs(lu[i * n + k]) > std::fabs(lu[piv * n + k])) piv = i;
    if (!(std::fabs(lu[piv * n + k]) > tiny)) return false;
    if (piv != k) {
      for (size_t j = 0; j < n; ++j) std::swap(lu[k * n + j], lu[piv * n + j]);
      std::swap(perm[k], perm[piv]);
    }
    for (size_t i = k + 1; i < n; ++i) {
      const double f = lu[i * n + k] / lu[k * n + k];
      lu[i * n + k] = f;
      for (size_t j = k + 1; j < n; ++j) lu[i * n + j] -= f * lu[k * n + j];
    }
  }
  inverse.assign(n * n, 0.0);
  std::vector<double> y(n);
  for (size_t col = 0; col < n; ++col) {
    for (size_t i = 0; i < n; ++i) {  // forward: L y = P e_col
      double s = perm[i] == col ? 1.0 : 0.0;
      for (size_t j = 0; j < i; ++j) s -= lu[i * n + j] * y[j];
      y[i] = s;
    }
    for (size_t i = n; i-- > 0;) {  // back: U x = y
      double s = y[i];
      for (size_t j = i + 1; j < n; ++j) s -= lu[i * n + j] * y[j];
      y[i] = s / lu[i * n + i];
    }
    for (size_t i = 0; i < n; ++i) inverse[i * n + col] = y[i];
  }
  return true;
}

// Tracy, Young and Mason (1992), eq. (6): estimated covariance; Montgomery
// (2009), eq. (11.19) and (11.20): the chi-square and F limits.
double mv_ucl(int32_t n, int32_t p, double alpha_percent, bool covariance_given, int32_t known_n) {
  const double a = alpha_percent / 100.0;
  if (!(a > 0.0 && a < 1.0) || p < 1) return kMissing;
  if (!covariance_given) {
    if (n < p + 1) return kMissing;
    const double nn = n;
    const double scale = (nn - 1.0) * (nn - 1.0) / nn;
    // n = p + 1: Beta(p/2, b) tends to a point mass at 1 as b tends to 0, and
    // every T-squared then equals (n - 1)^2 / n.
    if (n == p + 1) return scale;
    return scale * beta_upper_quantile(a, p / 2.0, (nn - p - 1.0) / 2.0);
  }
  if (known_n == 0) return chisq_quantile(1.0 - a, p);
  if (known_n <= p) return kMissing;  // N - p degrees of freedom must be positive
  const double big_n = known_n;
  return p * (big_n - 1.0) * (big_n + 1.0) / (big_n * (big_n - p)) *
         f_quantile(1.0 - a, p, big_n - p);
}

MvResults compute_mv(const MvInput& in, const MvOptions& o, std::span<const int32_t> excluded) {
  MvResults r;
  r.p = in.p();
  r.points = in.points();
  r.means_given = in.means_given;
  r.covariance_given = in.covariance_given;
  const int32_t p = r.p;
  const auto pp = static_cast<size_t>(p);
  const auto points = static_cast<size_t>(r.points);
  r.complete.assign(points, 0);
  r.excluded.assign(points, 0);
  r.beyond.assign(points, 0);
  r.t2.assign(points, kMissing);
  std::vector<uint8_t> used(points, 0);
  for (size_t i = 0; i < points; ++i) {
    bool all = p > 0;
    for (size_t j = 0; j < pp && all; ++j) all = present(in.columns[j][i]);
    r.complete[i] = all ? 1 : 0;
    r.excluded[i] = i < excluded.size() && excluded[i] != 0 ? 1 : 0;
    used[i] = all && !r.excluded[i] ? 1 : 0;
    r.n += used[i];
    r.excluded_count += all && r.excluded[i] ? 1 : 0;
  }
  if (!(o.alpha_percent >= kMvAlphaMin && o.alpha_percent <= kMvAlphaMax)) {
    r.error = kMvBadAlpha;
    return r;
  }
  if (p < 1 || r.n < p + 1) {
    r.error = kMvTooFewPoints;
    return r;
  }
  if (in.means_given) {
    bool ok = in.std_means.size() >= pp;
    for (size_t j = 0; j < pp && ok; ++j) ok = present(in.std_means[j]);
    if (!ok) {
      r.error = kMvMeansIncomplete;
      return r;
    }
  }
  if (in.covariance_given) {
    bool ok = in.std_covariance.size() >= pp * pp;
    for (size_t k = 0; k < pp * pp && ok; ++k) ok = present(in.std_covariance[k]);
    for (size_t j = 0; j < pp && ok; ++j)
      for (size_t k = 0; k < j && ok; ++k)
        ok = in.std_covariance[j + k * pp] == in.std_covariance[k + j * pp];
    if (!ok) {
      r.error = kMvCovarianceBad;
      return r;
    }
    if (o.known_n != 0 && o.known_n <= p) {
      r.error = kMvBadKnownN;
      return r;
    }
  }
  std::vector<double> cross;
  sums(in, used, r.n, r.estimated_means, cross);
  r.means = in.means_given
                ? std::vector<double>(in.std_means.begin(),
                                      in.std_means.begin() + static_cast<std::ptrdiff_t>(pp))
                : r.estimated_means;
  if (in.covariance_given) {
    // Column order and row-major agree: the matrix is symmetric.
    r.covariance.assign(in.std_covariance.begin(),
                        in.std_covariance.begin() + static_cast<std::ptrdiff_t>(pp * pp));
  } else {
    r.covariance = cross;
    for (double& v : r.covariance) v /= r.n - 1.0;
  }
  if (!lu_inverse(r.covariance, p, r.inverse)) {
    r.error = kMvSingular;
    return r;
  }
  if (in.covariance_given && !positive_definite(r.covariance, p)) {
    r.error = kMvCovarianceBad;  // not a covariance matrix: T-squared could be negative
    return r;
  }
  r.ucl = mv_ucl(r.n, p, o.alpha_percent, in.covariance_given, o.known_n);
  if (is_missing(r.ucl) || !std::isfinite(r.ucl)) {
    r.error = kMvTooFewPoints;
    return r;
  }
  // With n = p + 1 and both estimated, every used T-squared equals the limit
  // exactly; rounding must not push one of them beyond it.
  const bool point_mass = !in.means_given && !in.covariance_given && r.n == p + 1;
  const double limit = point_mass ? r.ucl * (1.0 + 1e-9) : r.ucl;
  std::vector<double> d(pp);
  for (size_t i = 0; i < points; ++i) {
    if (!r.complete[i]) continue;
    gather(in, static_cast<int32_t>(i), r.means, d.data());
    r.t2[i] = quadratic(r.inverse, d.data(), p);
    if (used[i] && r.t2[i] > limit) {
      r.beyond[i] = 1;
      ++r.beyond_count;
      r.signal_points.push_back(static_cast<int32_t>(i));
      for (size_t j = 0; j < pp; ++j) {
        const double s = r.covariance[j * pp + j];
        r.contributions.push_back(s > 0.0 ? d[j] * d[j] / s : kMissing);
      }
    }
  }
  return r;
}

}  // namespace ztq
