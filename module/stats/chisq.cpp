// The chi-square distribution. Cumulative probability P(nu/2, x/2) of the
// incomplete gamma function: the Wilson-Hilferty normal approximation for
// nu >= 100 (Wilson and Hilferty 1931, PNAS 17, 684-688), otherwise the finite
// Poisson sum for whole nu/2, the power series (Abramowitz and Stegun 1964,
// 6.5.29) for small x and the asymptotic expansion (6.5.32) for large x. The
// quantile refines Wilson-Hilferty starts by false position.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "stats/detail/false_position.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr double kWilsonHilfertyDf = 100.0;  // from here on the approximation is used alone
constexpr double kSeriesSwitch = 7.107;      // x/2 below: power series; above: expansion
// Beyond x/2 = 500 the upper tail of any nu < 100 is below 1e-130: P is 1.
constexpr double kUpperTailNegligible = 500.0;

// nu (1 - c + z sqrt(c))^3 with c = 2/(9 nu): the Wilson-Hilferty quantile.
double wilson_hilferty(double z, double nu) {
  const double c = 2.0 / (9.0 * nu);
  const double r = 1.0 - c + z * std::sqrt(c);
  return nu * r * r * r;
}

// Gamma(k + a), Gamma(k) or Gamma(a - k + 1) of the series below for one a,
// kept from the last call: a fit's goodness-of-fit test asks for 10^6
// probabilities of one shape. Each thread keeps its own.
struct GammaTerms {
  double a = std::numeric_limits<double>::quiet_NaN();
  int kind = -1;
  std::vector<double> g;
  const std::vector<double>& of(double a_now, int kind_now, double n) {
    if (a_now != a || kind_now != kind) {
      a = a_now;
      kind = kind_now;
      g.clear();
      for (double k = 1.0; k <= n; k += 1.0)
        g.push_back(gamma_fn(kind == 0 ? k : kind == 1 ? k + a : a - k + 1.0));
    }
    return g;
  }
};
thread_local GammaTerms g_terms;

}  // namespace

// Incomplete gamma P(nu/2, x/2) by the three series named above.
double chisq_cdf(double x, double nu) {
  if (std::isnan(x) || std::isnan(nu)) return std::numeric_limits<double>::quiet_NaN();
  if (!(nu > 0.0)) return 0.0;  // no distribution, as the F routine's rule
  if (x <= 0.0) return 0.0;
  if (nu >= kWilsonHilfertyDf) {
    // cube root of chi2/nu is nearly normal with mean 1 - 2/(9 nu), variance 2/(9 nu)
    const double w = (std::cbrt(x / nu) - (1.0 - 1.0 / (4.5 * nu))) * std::sqrt(4.5 * nu);
    return std::max(norm_cdf(w), 0.0);
  }
  const double a = nu / 2.0;
  const double y = x / 2.0;
  // The sums below run with exp(-y) floored at exp(-500) and would overflow
  // for huge y; the probability there is 1 to double precision.
  if (y > kUpperTailNegligible) return 1.0;
  const double e = std::exp(-y);

  double p;
  if (std::ceil(a) == a) {
    // whole a: Q = e^-y sum_{k=1..a} y^(k-1)/Gamma(k)
    const std::vector<double>& g = g_terms.of(a, 0, a);
    double s = 0.0;
    for (double k = 1.0; k <= a; k += 1.0)
      s += std::pow(y, k - 1.0) / g[static_cast<size_t>(k) - 1];
    p = 1.0 - e * s;
  } else if (y < kSeriesSwitch) {
    // P = e^-y sum_{k>=1} y^(k+a-1)/Gamma(k+a), tail of the last term summed geometrically
    const double n = std::max(1.0, std::ceil(24.75 - a));
    const std::vector<double>& g = g_terms.of(a, 1, n);
    double s = 0.0;
    for (double k = 1.0; k <= n; k += 1.0) {
      double term = std::pow(y, k + a - 1.0) / g[static_cast<size_t>(k) - 1];
      if (k == n) term *= 1.0 + 1.0 / (2.0 * ((a + n) / y - 1.0));
      s += term;
    }
    p = e * s;
  } else {
    // Q = e^-y sum_{k>=1} y^(a-k)/Gamma(a-k+1), the last term halved
    const double n = std::ceil(a + kSeriesSwitch);
    const std::vector<double>& g = g_terms.of(a, 2, n);
    double s = 0.0;
    for (double k = 1.0; k <= n; k += 1.0) {
      double term = std::pow(y, a - k) / g[static_cast<size_t>(k) - 1];
      if (k == n) term *= 0.5;
      s += term;
    }
    p = 1.0 - e * s;
  }
  return std::max(p, 0.0);
}

// Wilson-Hilferty for nu >= 100; below, false position between the starts for nu and nu + 1.
double chisq_quantile(double p, double nu) {
  if (std::isnan(p) || std::isnan(nu)) return std::numeric_limits<double>::quiet_NaN();
  if (!(nu > 0.0) || std::isinf(nu)) return kMissing;
  if (p <= 0.0) return 0.0;
  if (p >= 1.0) return 1e200;  // as z(1): the start would be infinite
  const double z = norm_quantile(p);
  double x0 = wilson_hilferty(z, nu);
  if (nu >= kWilsonHilfertyDf) return x0;

  double x1 = wilson_hilferty(z, nu + 1.0);
  for (double j = 2.0; x1 <= 0.0 && j <= 31.0; j += 1.0) x1 = wilson_hilferty(z, nu + j);
  x0 = std::max(x0, 0.0);

  const double eps = (nu <= 3.0 && p <= 0.1) ? 1e-10 : 1e-6;
  const double x = detail::false_position([&](double v) { return p - chisq_cdf(v, nu); }, x0, x1,
                                          {60, 1e-30, eps * p});
  return std::max(x, 0.0);
}

}  // namespace ztq
