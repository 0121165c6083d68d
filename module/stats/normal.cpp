// Normal distribution. Cumulative probability by the rational approximation of
// Abramowitz and Stegun (1964), formula 26.2.17, with the density factor
// 1/sqrt(2 pi) folded into the coefficients (absolute error below 3e-6 as
// folded here); quantile by Odeh and Evans (1974), Algorithm AS 70, Applied
// Statistics 23(1), 96-97, whose six-digit coefficients give about 1.5e-8 in p.
#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {

// Abramowitz-Stegun 26.2.17, coefficients multiplied by 1/sqrt(2 pi).
double norm_cdf(double z) {
  if (std::isnan(z)) return z;
  if (z == 0.0) return 0.5;  // exactly, so that symmetric limits meet at the centre
  const double t = 1.0 / (1.0 + 0.231642 * std::fabs(z));
  const double s =
      t * (0.1274147063 +
           t * (-0.1422482683 + t * (0.7107071942 + t * (-0.7265771069 + t * 0.5307005743))));
  const double q = std::exp(std::max(-z * z / 2.0, -200.0)) * s;
  return z < 0.0 ? q : 1.0 - q;
}

// Phi((x - mean) / sd); a zero sd is the point mass at the mean.
double norm_cdf_of(double x, double mean, double sd) {
  if (sd == 0.0) {
    if (std::isnan(x) || std::isnan(mean)) return std::numeric_limits<double>::quiet_NaN();
    return x < mean ? 0.0 : 1.0;
  }
  return norm_cdf((x - mean) / sd);
}

// Odeh-Evans AS 70 rational form in y = sqrt(-2 ln r).
double norm_quantile(double p) {
  if (std::isnan(p)) return p;
  if (p >= 1.0) return 1e200;  // the stand-in for +infinity
  if (p <= 0.0) return -1e200;
  if (p == 0.5) return 0.0;
  const double r = std::min(p, 1.0 - p);
  const double y = std::sqrt(-2.0 * std::log(r));
  const double n = 0.322232 + y * (1.0 + y * (0.342241 + y * (0.020423 + y * 0.000045)));
  const double d = 0.099348 + y * (0.588582 + y * (0.531103 + y * (0.103538 + y * 0.003856)));
  const double z = y - n / d;
  return p < 0.5 ? -z : z;
}

// mean + sd z(p).
double norm_quantile_of(double p, double mean, double sd) { return mean + sd * norm_quantile(p); }

}  // namespace ztq
