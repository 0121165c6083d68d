// The per-point series of the decision-interval sums (codes 14, 15) read by
// point: SH and SL of chart 1 from the chart's statistic and the other sum
// kept beside it, the scale series W from z, the rest as kept.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "charts/chart_results.h"
#include "charts/tabular_cusum.h"

namespace ztq {

enum class TabularSeries { sh1, sl1, sh2, sl2, z, w };

// Whether the results form series S (a side that the options leave out, a
// scale series of code 14 or an error state forms none).
inline bool has_tabular(const ChartResults& r, TabularSeries s) {
  const TabularResult& t = r.tabular;
  switch (s) {
    case TabularSeries::sh1:
      return t.upper1;
    case TabularSeries::sl1:
      return t.lower1;
    case TabularSeries::sh2:
      return !t.sh2.empty();
    case TabularSeries::sl2:
      return !t.sl2.empty();
    case TabularSeries::z:
      return !t.z.empty();
    case TabularSeries::w:
      return t.scale && !t.z.empty();
  }
  return false;
}

// Point I of series S; kMissing where the series or the point has no value.
// Chart 1's statistic is SH, or -SL where SL lies farther from 0: both sums
// are non-negative, so a set sign bit (-0 included) marks -SL, and the other
// sum is missing exactly when both are.
inline double tabular_value(const ChartResults& r, TabularSeries s, std::size_t i) {
  const TabularResult& t = r.tabular;
  const std::vector<double>& stat = r.series.stat1;
  const auto at = [i](const std::vector<double>& v) { return i < v.size() ? v[i] : kMissing; };
  switch (s) {
    case TabularSeries::sh1:
    case TabularSeries::sl1: {
      const bool upper = s == TabularSeries::sh1;
      if (!(upper ? t.upper1 : t.lower1)) return kMissing;
      if (!t.lower1) return at(stat);      // the upper sums only: the statistic is SH
      if (!t.upper1) return at(t.other1);  // the lower sums only: all of SL kept
      const double v = at(stat), other = at(t.other1);
      if (is_missing(other)) return kMissing;
      if (std::signbit(v)) return upper ? other : -v;
      return upper ? v : other;
    }
    case TabularSeries::sh2:
      return at(t.sh2);
    case TabularSeries::sl2:
      return at(t.sl2);
    case TabularSeries::z:
      return at(t.z);
    case TabularSeries::w:
      return t.scale ? scale_value(at(t.z)) : kMissing;
  }
  return kMissing;
}

// All points of series S; empty when the results form no such series.
inline std::vector<double> tabular_values(const ChartResults& r, TabularSeries s) {
  if (!has_tabular(r, s)) return {};
  const std::size_t n = s == TabularSeries::sh2                          ? r.tabular.sh2.size()
                        : s == TabularSeries::sl2                        ? r.tabular.sl2.size()
                        : s == TabularSeries::z || s == TabularSeries::w ? r.tabular.z.size()
                                                                         : r.series.stat1.size();
  std::vector<double> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = tabular_value(r, s, i);
  return v;
}

}  // namespace ztq
