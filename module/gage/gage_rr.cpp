// The range method of Montgomery, D. C. (2009), Introduction to Statistical
// Quality Control, 6th ed., 8.7.1 (sigma_gauge = R-bar / d2), with d2* for
// the average of n ranges of 2 (Duncan 1986, Table D3; Patnaik 1950).
#include "gage/gage_rr.h"

#include <algorithm>
#include <cmath>

#include "charts/factors.h"
#include "gage/d2star.h"
#include "stats/guarded.h"

namespace ztq {

double RangeMethodResults::percent_tolerance(double tolerance) const {
  if (is_missing(tolerance) || !(tolerance > 0) || is_missing(sigma_grr)) return kMissing;
  return 100.0 * k * sigma_grr / tolerance;
}

// R-bar = sum |x1 - x2| / n over the complete pairs; sigma = R-bar / d2*(2, n).
RangeMethodResults compute_range_method(const std::vector<double>& first,
                                        const std::vector<double>& second, double k) {
  RangeMethodResults r;
  r.k = k;
  const size_t rows = std::max(first.size(), second.size());
  if (rows == 0) {
    r.error = 3;
    return r;
  }
  r.diff.assign(rows, kMissing);
  double sum = 0;
  for (size_t i = 0; i < rows; ++i) {
    const double a = i < first.size() ? first[i] : kMissing;
    const double b = i < second.size() ? second[i] : kMissing;
    if (is_missing(a) || is_missing(b) || !std::isfinite(a) || !std::isfinite(b)) continue;
    r.diff[i] = std::fabs(a - b);
    sum += r.diff[i];
    ++r.n;
    r.last_row = static_cast<int32_t>(std::min<size_t>(i + 1, INT32_MAX));
  }
  if (r.n < 2)
    r.error = 1007;
  else if (r.n > 500)
    r.error = 1097;
  if (r.error != 0) return r;
  r.rbar = sum / r.n;
  const D2Star d = d2_star(2, r.n);
  r.d2star = d.value;
  r.nu = d.nu;
  r.sigma_grr = r.rbar / d.value;
  // Shewhart range chart for pairs: D4(2) = 1 + 3 d3(2) / d2(2) = 3.2686.
  r.ucl = r.rbar + 3.0 * factor(Factor::d3, 2) * r.rbar / factor(Factor::d2, 2);
  for (double v : r.diff) r.beyond += !is_missing(v) && v > r.ucl ? 1 : 0;
  return r;
}

}  // namespace ztq
