// What each chart-type code (0 to 21) is: the family of its data, the basis of
// its sigma, the kind of its chart-1 statistic and whether it has a chart 2.
// The engine dispatches on these traits, so a new kind of chart is one row of
// the table plus its step in the engine.
#pragma once

namespace ztq {

inline constexpr int kChartCodeCount = 22;  // codes 0 to 21

enum class ChartFamily {
  subgrouped,   // subgroup means, one point per subgroup
  individuals,  // one observation per point, moving ranges on chart 2
  attribute,    // p, np, u, c: a single chart
};

enum class SigmaBasis {
  range,                // R-bar / d2(n-bar)
  standard_deviation,   // S-bar / c4(n-bar)
  pooled_variance,      // sqrt of the pooled variance
  moving_range,         // MR-bar / d2(2)
  binomial_proportion,  // p chart
  binomial_count,       // np chart
  poisson_rate,         // u chart
  poisson_count,        // c chart
};

enum class ChartKind {
  plain,           // the statistic as it stands (codes 0 to 7)
  moving_average,  // codes 8, 11
  ewma,            // codes 9, 12
  cusum,           // codes 10, 13 (V-mask)
  decision_cusum,  // codes 14, 15 (tabular)
  model,           // codes 16, 17 (fitted model)
  trend,           // codes 18, 19 (straight trend line)
  acceptance,      // codes 20, 21
};

struct ChartTraits {
  int code = -1;
  ChartFamily family = ChartFamily::subgrouped;
  SigmaBasis basis = SigmaBasis::range;
  ChartKind kind = ChartKind::plain;
  bool has_chart2 = true;
  bool implemented = false;  // the engine computes this code
};

// False for codes outside 0..21 (such codes compute nothing).
bool chart_traits(int code, ChartTraits* out);

inline bool is_attribute_code(int code) { return code >= 4 && code <= 7; }

}  // namespace ztq
