// The series of the decision-interval sums read by the panes, the graphs,
// the JSON and the sentences (see tabular_series.h).
#include "charts/tabular_series.h"

#include <algorithm>

namespace ztq {

bool has_tabular(const ChartResults& r, TabularSeries s) {
  const TabularResult& t = r.tabular;
  if (t.x.empty()) return false;
  switch (s) {
    case TabularSeries::sh1:
      return t.chart1.upper;
    case TabularSeries::sl1:
      return t.chart1.lower;
    case TabularSeries::sh2:
      return t.scale && t.chart2.upper;
    case TabularSeries::sl2:
      return t.scale && t.chart2.lower;
    case TabularSeries::z:
      return true;
    case TabularSeries::w:
      return t.scale;
  }
  return false;
}

double tabular_z(const ChartResults& r, std::size_t i) {
  const TabularResult& t = r.tabular;
  const std::size_t k = static_cast<std::size_t>(r.phase_of(i));
  if (i >= t.x.size() || k >= t.target.size()) return kMissing;
  return standard_value(t.x[i], i < t.s.size() ? t.s[i] : kMissing, t.target[k]);
}

SumPair tabular_sums(const ChartResults& r, int chart, std::size_t count) {
  SumPair p;
  const bool upper = has_tabular(r, chart == 1 ? TabularSeries::sh1 : TabularSeries::sh2);
  const bool lower = has_tabular(r, chart == 1 ? TabularSeries::sl1 : TabularSeries::sl2);
  const std::size_t n = std::min(r.tabular.x.size(), count);
  if (upper) p.sh.assign(n, kMissing);
  if (lower) p.sl.assign(n, kMissing);
  if (!upper && !lower) return p;
  for_each_sums(
      r, chart,
      [&](std::size_t i, double sh, double sl) {
        if (upper) p.sh[i] = sh;
        if (lower) p.sl[i] = sl;
      },
      n);
  return p;
}

std::vector<double> tabular_values(const ChartResults& r, TabularSeries s) {
  if (!has_tabular(r, s)) return {};
  switch (s) {
    case TabularSeries::sh1:
      return tabular_sums(r, 1).sh;
    case TabularSeries::sl1:
      return tabular_sums(r, 1).sl;
    case TabularSeries::sh2:
      return tabular_sums(r, 2).sh;
    case TabularSeries::sl2:
      return tabular_sums(r, 2).sl;
    case TabularSeries::z:
    case TabularSeries::w:
      break;
  }
  std::vector<double> v(r.tabular.x.size(), kMissing);
  for (std::size_t i = 0; i < v.size(); ++i) {
    const double z = tabular_z(r, i);
    v[i] = s == TabularSeries::w ? scale_value(z) : z;
  }
  return v;
}

}  // namespace ztq
