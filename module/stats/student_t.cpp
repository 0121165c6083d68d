// Student's t distribution. Cumulative probability through the incomplete beta,
// P(|T| > t) = I_{nu/(nu + t^2)}(nu/2, 1/2) (Abramowitz and Stegun 1964,
// 26.7.1), and the normal beyond 600 degrees of freedom; quantile by Hill's
// algorithm (Hill 1970, Algorithm 396: Student's t-quantiles, Comm. ACM 13(10),
// 619-620).
#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr double kNormalDf = 600.0;     // beyond this T is taken as normal
constexpr double kHalfPi = 1.57079633;  // pi/2 to the eight decimals of Hill's code

}  // namespace

// Abramowitz-Stegun 26.7.1 through the incomplete beta.
double t_cdf(double t, double nu) {
  if (std::isnan(t) || std::isnan(nu)) return std::numeric_limits<double>::quiet_NaN();
  if (!(nu > 0.0)) return 0.0;  // no distribution, as the F routine's rule
  if (nu > kNormalDf) return norm_cdf(t);
  if (std::isinf(t)) return t > 0.0 ? 1.0 : 0.0;
  const double x = nu / (t * t + nu);
  const double u = std::clamp(1.0 - ibeta(x, nu / 2.0, 0.5) / 2.0, 0.0, 1.0);
  return t >= 0.0 ? u : 1.0 - u;
}

// Hill (1970), Algorithm 396.
double t_quantile(double p, double nu) {
  if (std::isnan(p) || std::isnan(nu)) return std::numeric_limits<double>::quiet_NaN();
  if (nu < 1.0) return kMissing;  // nu = 0 as stated; below 1 the start divides by zero
  if (nu > kNormalDf) return norm_quantile(p);
  if (p >= 1.0) return 1e200;  // as z(1): the closed forms divide by zero here
  if (p <= 0.0) return -1e200;

  const bool lower = p < 0.5;
  if (lower) p = 1.0 - p;
  const double pp = 2.0 * (1.0 - p);  // two-sided tail probability
  double t;
  if (nu == 1.0) {
    t = std::cos(pp * kHalfPi) / std::sin(pp * kHalfPi);
  } else if (nu == 2.0) {
    t = std::sqrt(2.0 / (pp * (2.0 - pp)) - 2.0);
  } else {
    const double a = 1.0 / (nu - 0.5);
    const double b = 48.0 / (a * a);
    double c = ((20700.0 * a / b - 98.0) * a - 16.0) * a + 96.36;
    const double d = ((94.5 / (b + c) - 3.0) / b + 1.0) * std::sqrt(a * kHalfPi) * nu;
    double y = std::pow(d * pp, 2.0 / nu);
    if (y > a + 0.05) {
      const double x = norm_quantile(pp / 2.0);
      y = x * x;
      if (nu < 5.0) c += 0.3 * (nu - 4.5) * (x + 0.6);
      c = (((0.05 * d * x - 5.0) * x - 7.0) * x - 2.0) * x + b + c;
      y = (((((0.4 * y + 6.3) * y + 36.0) * y + 94.5) / c - y - 3.0) / b + 1.0) * x;
      y = a * y * y;
      y = y > 0.002 ? std::exp(y) - 1.0 : y + 0.5 * y * y;
    } else {
      y = ((1.0 / (((nu + 6.0) / (nu * y) - 0.089 * d - 0.822) * (nu + 2.0) * 3.0) +
            0.5 / (nu + 4.0)) *
               y -
           1.0) *
              (nu + 1.0) / (nu + 2.0) +
          1.0 / y;
    }
    t = std::sqrt(nu * y);
  }
  return lower ? -t : t;
}

}  // namespace ztq
