// The beta quantile behind the limit of the estimated-covariance T-squared
// chart. The limit is needed at every step of automatic exclusion with n up
// to 10^6, where the second shape parameter (n - p - 1) / 2 is large; the
// continued fraction of the incomplete beta converges in O(sqrt(max(a, b)))
// terms there.
#include <cmath>

#include "multivariate/mv_compute.h"
#include "stats/detail/beta_fraction.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

using detail::beta_fraction;

// ln of x^a (1 - x)^b / B(a, b).
double log_front(double x, double a, double b) {
  return std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) +
         b * std::log1p(-x);
}

// The upper tail 1 - I_x(a, b), computed without cancellation on either side
// of (a + 1) / (a + b + 2), where the fraction converges fastest.
double beta_upper(double x, double a, double b) {
  if (x <= 0.0) return 1.0;
  if (x >= 1.0) return 0.0;
  const double front = std::exp(log_front(x, a, b));
  if (x < (a + 1.0) / (a + b + 2.0)) return 1.0 - front * beta_fraction(a, b, x) / a;
  return front * beta_fraction(b, a, 1.0 - x) / b;
}

}  // namespace

// Solves 1 - I_x(a, b) = upper by Newton steps on the tail with the beta
// density, kept inside a bisection bracket (Press et al. 2007, 9.4).
double beta_upper_quantile(double upper, double a, double b) {
  if (!(upper > 0.0 && upper < 1.0) || !(a > 0.0) || !(b > 0.0)) return kMissing;
  double lo = 0.0, hi = 1.0, x = a / (a + b);
  for (int step = 0; step < 400; ++step) {
    const double tail = beta_upper(x, a, b);
    if (tail > upper)
      lo = x;  // the tail falls as x grows: the root lies to the right
    else
      hi = x;
    const double density = std::exp(log_front(x, a, b)) / (x * (1.0 - x));
    double next = density > 0.0 && std::isfinite(density) ? x + (tail - upper) / density : -1.0;
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    if (std::fabs(next - x) <= 1e-15 * x || hi - lo <= 1e-16 * hi) return next;
    x = next;
  }
  return x;
}

}  // namespace ztq
