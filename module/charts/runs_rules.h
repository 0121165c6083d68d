// The six runs rules of a chart, adding their bits to one flag word per point:
// rule r sets bit 2^(r-1) on chart 1 and 2^(r+5) on chart 2.
#pragma once

#include "charts/marks.h"

#include <cstdint>
#include <span>
#include <vector>

#include "charts/chart_options.h"
#include "charts/point_line.h"

namespace ztq {

inline constexpr int kChart1RuleShift = 0;
inline constexpr int kChart2RuleShift = 6;

struct RulesChart {
  std::span<const double> x;       // plotted values
  const PointLine* cl = nullptr;   // centre line per point
  const PointLine* ucl = nullptr;  // unclipped upper limit per point
  const PointLine* lcl = nullptr;  // unclipped lower limit per point
  double k_upper = 3.0;            // the chart's sigma multiples (kL negative)
  double k_lower = -3.0;
  bool detrend = false;  // rule 2 on x - cl (the trend charts)
};

// Tests every usable point (value present, not excluded) of CHART against
// the enabled rules of OPTIONS and ORs the bits, shifted by SHIFT, into FLAGS.
void apply_runs_rules(const RulesChart& chart, const Marks& excluded, const ChartOptions& options,
                      int shift, std::vector<std::uint16_t>* flags);

}  // namespace ztq
