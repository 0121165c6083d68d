// The integral of a coded density from 0 to x by 32-point Gauss-Legendre
// quadrature (Abramowitz and Stegun 1964, 25.4.29); missing densities count as 0.
#include "stats/detail/gauss_legendre.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {

// Gauss-Legendre, 32 points on [0, x].
double density_integral(int code, const double* p, double x) {
  return detail::gauss32_from_zero(
      [&](double u) {
        const double f = coded_density(code, p, u);
        return is_missing(f) ? 0.0 : f;
      },
      x);
}

}  // namespace ztq
