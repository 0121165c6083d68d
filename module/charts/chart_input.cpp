// Building the per-point input of a chart from raw data or entered statistics.
#include "charts/chart_input.h"

#include "charts/chart_kind.h"
#include "stats/guarded.h"

namespace ztq {

Dispersion dispersion_of(int code) {
  if (code == 1 || code == 20) return Dispersion::standard_deviation;
  if (code == 2) return Dispersion::variance;
  return Dispersion::range;
}

ChartInput chart_input_from_raw(int code, std::span<const double> x,
                                const std::vector<Subgroup>& groups) {
  ChartInput in;
  in.code = code;
  in.observations = x;
  ChartTraits t;
  const bool known = chart_traits(code, &t);
  if (known && t.family == ChartFamily::subgrouped) {
    SubgroupStatistics s = subgroup_statistics(x, groups, dispersion_of(code));
    in.size = std::move(s.size);
    in.stat = std::move(s.mean);
    in.dispersion = std::move(s.dispersion);
  } else if (known && t.family == ChartFamily::individuals) {
    in.stat_is_observations = true;  // size 1 each, which the engine supplies
  } else {
    in.stat.assign(x.begin(), x.end());
    in.size.assign(x.size(), 1.0);
  }
  return in;
}

ChartInput chart_input_from_statistics(int code, std::vector<double> stat, std::vector<double> size,
                                       std::vector<double> dispersion) {
  ChartInput in;
  in.code = code;
  in.stat = std::move(stat);
  in.size = std::move(size);
  in.dispersion = std::move(dispersion);
  return in;
}

}  // namespace ztq
