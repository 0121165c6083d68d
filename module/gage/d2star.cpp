// Duncan, A. J. (1986), Quality Control and Industrial Statistics, 5th ed.,
// Table D3: d2* and nu for the average of g ranges; the approximation below is
// Patnaik, P. B. (1950), "The use of mean range as an estimator of variance in
// statistical tests", Biometrika 37, 78-87.
#include "gage/d2star.h"

#include <cmath>

#include "charts/factors.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

// The tabulated values that replace the approximation where it is poorest
// (g 1 or 2, m 2 to 4): {d2*, nu}, rows g = 1, 2, columns m = 2, 3, 4.
constexpr double kTable[2][3][2] = {{{1.41, 1.0}, {1.91, 2.0}, {2.24, 2.9}},
                                    {{1.28, 1.9}, {1.81, 3.8}, {2.15, 5.7}}};

}  // namespace

// Patnaik (1950): nu = 1 / (2 sqrt(1 + 2 r^2 / g) - 2), d2* = d2 (1 + 1 / (4 nu)), r = d3 / d2.
D2Star d2_star(int m, int g) {
  D2Star out;
  if (m < 2 || m > 25 || g < 1) return out;  // outside the d2 and d3 tables
  if (g <= 2 && m <= 4) {
    out.value = kTable[g - 1][m - 2][0];
    out.nu = kTable[g - 1][m - 2][1];
    return out;
  }
  const double d2 = factor(Factor::d2, m);
  const double d3 = factor(Factor::d3, m);
  const double r = d3 / d2;
  const double nu = 1.0 / (2.0 * std::sqrt(1.0 + 2.0 * r * r / g) - 2.0);
  out.nu = nu;
  out.value = d2 * (1.0 + 1.0 / (4.0 * nu));
  return out;
}

}  // namespace ztq
