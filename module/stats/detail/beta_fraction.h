// The continued fraction of the incomplete beta function.
#pragma once

#include <cmath>

namespace ztq::detail {

// Press et al. (2007), Numerical Recipes 3rd ed., 6.4 (Abramowitz and Stegun
// 1964, 26.5.8): the continued fraction h with I_x(a, b) = x^a (1 - x)^b h /
// (a B(a, b)), by the modified Lentz method. It converges fast for
// x < (a + 1) / (a + b + 2), in O(sqrt(max(a, b))) terms.
inline double beta_fraction(double a, double b, double x) {
  constexpr double kTiny = 1e-300, kEps = 1e-16;
  const double qab = a + b, qap = a + 1.0, qam = a - 1.0;
  double c = 1.0, d = 1.0 - qab * x / qap;
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1.0 / d;
  double h = d;
  for (int m = 1; m <= 100000; ++m) {
    const double m2 = 2.0 * m;
    for (const double aa : {m * (b - m) * x / ((qam + m2) * (a + m2)),
                            -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2))}) {
      d = 1.0 + aa * d;
      if (std::fabs(d) < kTiny) d = kTiny;
      c = 1.0 + aa / c;
      if (std::fabs(c) < kTiny) c = kTiny;
      d = 1.0 / d;
      h *= d * c;
    }
    if (std::fabs(d * c - 1.0) < kEps) break;
  }
  return h;
}

}  // namespace ztq::detail
