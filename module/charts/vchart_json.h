// The results of a control chart as the members of a JSON object (missing
// values null; every series one entry per point).
#pragma once

#include <string>
#include <vector>

#include "charts/chart_results.h"

namespace ztq {

// labels: one per point (series.label); none when empty.
std::string vchart_results_json(const ChartResults& r, const std::vector<std::string>& labels = {});

// The flagged points in point order, each chart on which a point is flagged
// once: [{"point" (1-based), "label", "chart" (1 or 2), "beyond" (outside that
// chart's limits), "rules" (the letters A to F of the runs rules that fired
// on that chart)}].
std::string vchart_violations_json(const ChartResults& r, const std::vector<std::string>& labels);

}  // namespace ztq
