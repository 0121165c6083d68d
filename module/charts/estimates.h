// Phases of a chart and the pooled estimates of each phase: grand centre,
// average dispersion, average subgroup size and process sigma; the moving
// ranges of the individuals charts and the straight trend line of codes 18
// and 19.
#pragma once

#include "charts/marks.h"

#include <cstddef>
#include <span>
#include <vector>

#include "charts/chart_kind.h"
#include "charts/chart_options.h"
#include "charts/point_line.h"
#include "charts/series.h"
#include "stats/guarded.h"

namespace ztq {

// Per-point data after clean-up: equal lengths, NaN and infinities missing.
struct ChartPoints {
  PointLine size;  // one run of 1 for individuals and c charts
  Series stat;     // a view of the observations where they are the statistic, unchanged
  std::vector<double> dispersion;
  Marks excluded;
  // The statistic moves to the results once the estimates are made: count by the flags.
  std::size_t count() const { return excluded.size(); }
};

struct Phase {
  std::size_t first = 0;  // 0-based, first point
  std::size_t end = 0;    // one past the last point
};

struct ChartEstimates {
  double centre = kMissing;      // grand centre CL1 (np: mean count)
  double dispersion = kMissing;  // R-bar, S-bar, MR-bar or pooled variance
  double nbar = kMissing;        // average subgroup size (missing for the c chart)
  double sigma = kMissing;       // process sigma by the chart's basis
  int used = 0;                  // points that entered the sums
};

struct TrendLine {
  double a = kMissing;  // intercept: the line is a + b i, i the 1-based point number
  double b = kMissing;  // slope
};

// Splits POINTS points at `option67`..`option70`. Returns 0, or 1258 when the
// break points do not ascend or one lies beyond the last point.
int split_phases(const ChartOptions& options, std::size_t points, std::vector<Phase>* phases);

// The phases' first points.
std::vector<std::size_t> phase_starts(const std::vector<Phase>& phases);

// Moving ranges of span 2 within each phase, bridging missing and excluded
// points; the first usable point of a phase has none.
std::vector<double> moving_ranges(std::span<const double> x, const Marks& excluded,
                                  const std::vector<Phase>& phases);

// Pooled estimates over the usable points of one phase.
ChartEstimates pooled_estimates(const ChartTraits& traits, const ChartPoints& points, Phase phase);

// Process sigma from a centre, an average dispersion and n-bar by BASIS;
// missing when it cannot be formed.
double sigma_by_basis(SigmaBasis basis, double centre, double dispersion, double nbar);

// Weighted least-squares line through the usable points of PHASE (weights
// n_i when WEIGHTED, else 1).
TrendLine fit_trend(const ChartPoints& points, Phase phase, bool weighted);

}  // namespace ztq
