// The per-point series of the decision-interval sums (codes 14, 15), formed
// where they are read from what the chart kept: z and W by point, the sums
// in one pass over the phases. Each is formed by the same functions, in the
// same order, as the chart's own statistic, so every digit agrees with it.
#pragma once

#include "charts/marks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "charts/chart_results.h"
#include "charts/tabular_cusum.h"

namespace ztq {

enum class TabularSeries { sh1, sl1, sh2, sl2, z, w };

// Whether the results form series S (a side that the options leave out, the
// scale series of code 14 or an error state forms none).
bool has_tabular(const ChartResults& r, TabularSeries s);

// z of point I (kMissing where it has none).
double tabular_z(const ChartResults& r, std::size_t i);

// All points of series S; empty when the results form no such series.
std::vector<double> tabular_values(const ChartResults& r, TabularSeries s);

// The upper and lower sums of one chart at its first COUNT points (all by
// default); a side that is not formed is empty.
struct SumPair {
  std::vector<double> sh;
  std::vector<double> sl;
};
SumPair tabular_sums(const ChartResults& r, int chart, std::size_t count = SIZE_MAX);

// SH and SL of chart CHART (1: the points, or z when standardized; 2: code
// 15's W) at every point of the PHASES in order before point STOP: F(i, sh,
// sl), both missing where the point has none.
template <class F>
void tabular_pass(const TabularResult& t, const std::vector<PhaseResult>& phases,
                  const Marks& excluded, int chart, F f, std::size_t stop = SIZE_MAX) {
  const std::size_t n = std::min(t.x.size(), stop);
  for (std::size_t k = 0; k < phases.size() && k < t.target.size(); ++k) {
    const std::size_t end = std::min(static_cast<std::size_t>(std::max(phases[k].last, 0)), n);
    const double mu0 = t.target[k];
    PageSums sums(chart == 1 ? t.chart1 : t.chart2);
    for (std::size_t i = static_cast<std::size_t>(std::max(phases[k].first - 1, 0)); i < end;) {
      const std::size_t run = std::clamp(t.s.run_end(i), i + 1, end);
      const double si = i < t.s.size() ? t.s[i] : kMissing;
      for (; i < run; ++i) {
        const bool out = i < excluded.size() && excluded[i] != 0;
        double sh = kMissing, sl = kMissing;
        if (chart != 1) {
          sums.next(scale_value(standard_value(t.x[i], si, mu0)), 1.0, 0.0, out, &sh, &sl);
        } else if (t.standardized) {  // sigma 0: z is missing and so are the sums
          sums.next(standard_value(t.x[i], si, mu0), 1.0, 0.0, out, &sh, &sl);
        } else {
          sums.next(t.x[i], si, mu0, out, &sh, &sl);
        }
        f(i, sh, sl);
      }
    }
  }
}

template <class F>
void for_each_sums(const ChartResults& r, int chart, F f, std::size_t stop = SIZE_MAX) {
  tabular_pass(r.tabular, r.phases, r.series.excluded, chart, f, stop);
}

}  // namespace ztq
