// The range-method gage study: each part read twice (two columns, usually two
// appraisers); the measurement-system sigma from the average absolute
// difference of the pairs, R-bar / d2*(2, n).
#pragma once

#include <cstdint>
#include <vector>

namespace ztq {

struct RangeMethodResults {
  int32_t error = 0;     // 0, 3 (no rows), 1007 (fewer than 2 pairs), 1097 (more than 500)
  int32_t n = 0;         // used pairs: both readings present
  int32_t last_row = 0;  // 1-based row of the last used pair
  double rbar = -32768.0, d2star = -32768.0, nu = -32768.0;
  double sigma_grr = -32768.0;
  double k = 5.15;
  double ucl = -32768.0;     // range chart: R-bar + 3 d3(2) R-bar / d2(2)
  int32_t beyond = 0;        // used rows whose difference is above the limit
  std::vector<double> diff;  // |first - second| per row; missing where a reading is

  double variance() const { return sigma_grr == -32768.0 ? -32768.0 : sigma_grr * sigma_grr; }
  double study_variation() const { return sigma_grr == -32768.0 ? -32768.0 : k * sigma_grr; }
  // 100 k sigma / tolerance; missing without a tolerance above 0.
  double percent_tolerance(double tolerance) const;
};

RangeMethodResults compute_range_method(const std::vector<double>& first,
                                        const std::vector<double>& second, double k);

}  // namespace ztq
