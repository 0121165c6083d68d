// Snedecor's F distribution. Density from its closed form with ln Gamma;
// cumulative probability by 32-point Gauss-Legendre quadrature of the density
// over [0, x] (x <= 1, the other side by F(nu1, nu2) = 1/F(nu2, nu1)), and by
// the t distribution when a degree of freedom is 1 (F(1, nu) = T(nu)^2); the
// quantile through the t, chi-square, normal or inverse incomplete beta
// relations (Abramowitz and Stegun 1964, 26.6).
#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/detail/gauss_legendre.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr double kFloor = 1e-14;    // smallest density and argument used
constexpr double kLargeDf = 500.0;  // beyond this a side is taken as chi-square/normal
constexpr double kLnFloor = -32.236191301916641;  // ln(1e-14)

bool bad_df(double nu1, double nu2) { return !(nu1 > 0.0) || !(nu2 > 0.0); }

// P(F(1, nu) <= x) = P(|T(nu)| <= sqrt(x)) = 2 (T(sqrt(x)) - 1/2).
double f1_cdf(double x, double nu) { return 2.0 * (t_cdf(std::sqrt(x), nu) - 0.5); }

}  // namespace

// The F density in logarithms, floored at 1e-14.
double f_density(double x, double nu1, double nu2) {
  if (std::isnan(x) || std::isnan(nu1) || std::isnan(nu2)) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (x <= 0.0 || bad_df(nu1, nu2)) return 0.0;
  const double xp = std::max(x, kFloor);
  const double v = std::max(nu1 * xp + nu2, kFloor);
  const double l = (nu1 / 2.0) * std::log(nu1) + (nu2 / 2.0) * std::log(nu2) -
                   (log_gamma(nu1 / 2.0) + log_gamma(nu2 / 2.0) - log_gamma((nu1 + nu2) / 2.0)) +
                   ((nu1 - 2.0) / 2.0) * std::log(xp) - ((nu1 + nu2) / 2.0) * std::log(v);
  if (l < kLnFloor) return kFloor;
  return std::exp(l);
}

// Gauss-Legendre quadrature of the density on [0, min(x, 1/x)].
double f_cdf(double x, double nu1, double nu2) {
  if (std::isnan(x) || std::isnan(nu1) || std::isnan(nu2)) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (x <= 0.0 || bad_df(nu1, nu2)) return 0.0;
  if (nu1 == 1.0) return std::clamp(f1_cdf(x, nu2), 0.0, 1.0);
  if (x > 1.0) {
    // exchange: P(F(nu1, nu2) <= x) = 1 - P(F(nu2, nu1) <= 1/x); a first
    // degree of freedom of 1 then has a singular density at 0, so use T there too
    const double r = nu2 == 1.0 ? f1_cdf(1.0 / x, nu1) : f_cdf(1.0 / x, nu2, nu1);
    return std::clamp(1.0 - r, 0.0, 1.0);
  }
  const double p = detail::gauss32_from_zero([&](double u) { return f_density(u, nu1, nu2); }, x);
  return std::clamp(p, 0.0, 1.0);
}

// Through t (a degree of freedom of 1), chi-square and normal (large degrees of
// freedom) or the inverse incomplete beta.
double f_quantile(double p, double nu1, double nu2) {
  if (std::isnan(p) || std::isnan(nu1) || std::isnan(nu2)) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  if (bad_df(nu1, nu2)) return kMissing;
  if (p <= 0.0) return 0.0;
  if (p >= 1.0) return 1e200;  // as z(1): every branch below divides by zero here
  if (nu1 == 1.0) {
    const double t = t_quantile((1.0 - p) / 2.0, nu2);
    return is_missing(t) ? t : t * t;
  }
  if (nu2 == 1.0) {
    const double t = t_quantile(p / 2.0, nu1);
    return is_missing(t) ? t : 1.0 / (t * t);
  }
  if (nu1 > kLargeDf && nu2 > kLargeDf) {
    // normal approximation with the F mean d = nu2/(nu2 - 2) and its standard deviation
    const double d = nu2 / (nu2 - 2.0);
    return d + norm_quantile(p) * d * std::sqrt(2.0 * (nu1 + nu2 - 2.0) / ((nu2 - 4.0) * nu1));
  }
  if (nu2 > kLargeDf) return chisq_quantile(p, nu1) / nu1;  // nu1 F -> chi-square(nu1)
  if (nu1 > kLargeDf) {
    const double c = chisq_quantile(1.0 - p, nu2);
    return c > 0.0 ? nu2 / c : 1e200;
  }
  // F = nu2 q / (nu1 (1 - q)) with q beta(nu1/2, nu2/2)
  if (p < 0.5) {
    const double q = ibeta_inv(1.0 - p, nu2 / 2.0, nu1 / 2.0);
    return (1.0 - q) * nu2 / (nu1 * q);
  }
  const double q = ibeta_inv(p, nu1 / 2.0, nu2 / 2.0);
  if (q >= 1.0) return 1e200;
  return nu2 * q / ((1.0 - q) * nu1);
}

}  // namespace ztq
