// Tabular (decision-interval) cumulative sums: Page (1954), Continuous
// inspection schemes, Biometrika 41, 100-115; headstart after Lucas and
// Crosier (1982), Technometrics 24(3), 199-205. The scale series of code 15
// after Hawkins (1981), A CUSUM for a scale parameter, J. Qual. Technol.
// 13(4), 228-231: sqrt(|z|) of a standard normal z has mean 0.822 and
// standard deviation 0.349.
#include "charts/tabular_cusum.h"

#include <algorithm>
#include <cmath>

#include "stats/guarded.h"

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

constexpr double kRootMean = 0.822;  // E sqrt(|Z|) = 2^(1/4) Gamma(3/4) / sqrt(pi)
constexpr double kRootSd = 0.349;    // sd of sqrt(|Z|): sqrt(sqrt(2/pi) - 0.822^2)

}  // namespace

// Page (1954): one-sided sums with reference value k s and reflecting barrier 0.
void PageSums::next(double x, double s, double mu0, bool excluded, double* sh, double* sl) {
  *sh = *sl = kMissing;
  if (!present(x) || !present(s) || !(s >= 0.0) || !present(mu0) || excluded) return;
  if (is_missing(up_)) up_ = down_ = p_.headstart * s;
  up_ = std::max(0.0, up_ + x - (mu0 + p_.k * s));
  down_ = std::max(0.0, down_ + (mu0 - p_.k * s) - x);
  if (!std::isfinite(up_) || !std::isfinite(down_)) {  // overflow: restart at the next point
    up_ = down_ = kMissing;
    return;
  }
  *sh = up_;
  *sl = down_;
}

double standard_value(double x, double s, double mu0) {
  // s 0: no standardized value rather than a division by 0
  if (!present(x) || !present(s) || !(s > 0.0) || !present(mu0)) return kMissing;
  const double v = (x - mu0) / s;
  return std::isfinite(v) ? v : kMissing;
}

double scale_value(double z) {
  return present(z) ? (std::sqrt(std::fabs(z)) - kRootMean) / kRootSd : kMissing;
}

double dominant_sum(double sh, double sl) {
  if (is_missing(sh)) return is_missing(sl) ? kMissing : -sl;
  if (is_missing(sl)) return sh;
  return sl > sh ? -sl : sh;
}

}  // namespace ztq
