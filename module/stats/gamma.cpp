// The gamma function and its logarithm. Gamma on [1, 2] by the eight-term
// polynomial of Abramowitz and Stegun (1964), formula 6.1.36 (|error| <= 3e-7),
// moved there by the recursion Gamma(x + 1) = x Gamma(x); ln Gamma above 2 by
// Stirling's series to the term in z^-7 (off by up to 3e-4 just above 2); the
// second form is Lanczos' approximation with six terms (Lanczos 1964, SIAM J.
// Numer. Anal. B1, 86-96; coefficients as in Press et al., Numerical Recipes,
// 2nd ed., section 6.1), accurate to about 2e-10.
#include <cmath>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

// Below this Gamma(x) is smaller than 1e-300 in magnitude: the recursion's
// product overflows and the quotient is 0.
constexpr double kGammaNegativeLimit = -200.0;

// Abramowitz-Stegun 6.1.36: Gamma(1 + t) for 0 <= t <= 1.
double gamma_1_2(double t) {
  return 1.0 +
         t * (-0.577191652 +
              t * (0.988205891 +
                   t * (-0.897056937 +
                        t * (0.918206857 +
                             t * (-0.756704078 +
                                  t * (0.482199394 + t * (-0.193527818 + t * 0.035868343)))))));
}

}  // namespace

// Recursion to [1, 2] plus Abramowitz-Stegun 6.1.36; exp(ln Gamma) above 2.
double gamma_fn(double x) {
  if (std::isnan(x)) return x;
  if (x == 0.0) return kMissing;  // a pole
  if (x < 0.0) {
    if (std::floor(x) == x) return kMissing;  // every negative integer is a pole, as 0
    if (x < kGammaNegativeLimit) return 0.0;
    const double n = std::fabs(std::floor(x));
    double product = 1.0;
    for (double k = 0.0; k < n; k += 1.0) product *= x + k;
    return gamma_fn(x + n) / product;
  }
  if (x < 1.0) return gamma_fn(x + 1.0) / x;
  if (x <= 2.0) return gamma_1_2(x - 1.0);
  return std::exp(log_gamma(x));  // overflows to +inf beyond about 171, the limit
}

// Stirling's series in z = x - 1 above 2; ln of the polynomial form below.
double log_gamma(double x) {
  if (std::isnan(x)) return x;
  if (x > 2.0) {
    const double z = x - 1.0;
    const double z2 = z * z;
    return (z + 0.5) * std::log(z) - z + 0.91893854 + 1.0 / (12.0 * z) - 1.0 / (360.0 * z * z2) +
           1.0 / (1260.0 * z * z2 * z2) - 1.0 / (1680.0 * z * z2 * z2 * z2);
  }
  return g_ln(gamma_fn(x));  // Gamma(x) <= 0 (x <= 0) is a domain error
}

// Lanczos (1964), six terms, gamma = 5.
double log_gamma2(double x) {
  if (!(x > 0.0) || x >= 170.0) return kMissing;  // NaN included
  static constexpr double kC[6] = {76.18009173,  -86.50532033,  24.01409822,
                                   -1.231739516, 0.00120858003, -0.00000536382};
  const double y = x - 1.0;
  double s = 1.0;
  for (int j = 0; j < 6; ++j) s += kC[j] / (y + (j + 1));
  return std::log(2.50662827465 * s) - ((y + 5.5) - (y + 0.5) * std::log(y + 5.5));
}

}  // namespace ztq
