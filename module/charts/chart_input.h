// The data of one control chart, point by point, as the engine reads it.
// Vectors are indexed by point; a shorter vector reads as missing (excluded
// as 0). Values that are NaN or infinite read as missing.
#pragma once

#include <span>
#include <vector>

#include "charts/subgroups.h"

namespace ztq {

struct ChartInput {
  int code = 0;                          // chart-type code 0..21
  std::vector<double> size;              // subgroup or sample size per point (ignored for
                                         // individuals and c charts: 1 each)
  std::vector<double> stat;              // subgroup mean, observation or attribute statistic
  std::vector<double> dispersion;        // subgroup range, SD or variance (subgrouped codes);
                                         // individuals charts form their moving ranges
  std::span<const double> observations;  // raw observations (Cpm), not owned: the caller keeps
                                         // them for the computation; empty with entered statistics
  std::vector<int> excluded;             // 1 = excluded from every sum
  bool stat_is_observations = false;     // individuals: STAT left empty, the observations are it
  bool observations_outlive_results = false;  // the results may read them in place

  std::span<const double> statistic() const {
    return stat_is_observations ? observations : std::span<const double>(stat);
  }
};

// The dispersion each subgrouped code keeps per subgroup: ranges, standard
// deviations (codes 1, 20) or variances (code 2).
Dispersion dispersion_of(int code);

// Input of chart CODE from raw observations X, which the input reads in place
// (X outlives it). Subgrouped codes summarise the GROUPS; individuals codes
// take one point per observation and ignore GROUPS.
ChartInput chart_input_from_raw(int code, std::span<const double> x,
                                const std::vector<Subgroup>& groups);
inline ChartInput chart_input_from_raw(int code, const std::vector<double>& x,
                                       const std::vector<Subgroup>& groups) {
  return chart_input_from_raw(code, std::span<const double>(x), groups);
}

// Input from entered statistics (`option0`, and always for attribute charts):
// per-point STAT, SIZE and, for subgrouped codes, DISPERSION.
ChartInput chart_input_from_statistics(int code, std::vector<double> stat, std::vector<double> size,
                                       std::vector<double> dispersion);

}  // namespace ztq
