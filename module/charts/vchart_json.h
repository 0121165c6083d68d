// The results of a control chart as the members of a JSON object (missing
// values null; every series one entry per point).
#pragma once

#include <string>
#include <vector>

#include "bridge/json.h"
#include "charts/chart_results.h"
#include "charts/point_labels.h"

namespace ztq {

// labels: one per point (series.label); none when empty.
std::string vchart_results_json(const ChartResults& r, const PointLabels& labels = {});
// The same members written to OUT as they are formed; the per-point series
// (and the per-point arrays of the chart kinds) only when OUT.series().
void write_vchart_results_json(const ChartResults& r, const PointLabels& labels, JsonObject& out);

// The flagged points in point order, each chart on which a point is flagged
// once: [{"point" (1-based), "label", "chart" (1 or 2), "beyond" (outside that
// chart's limits), "rules" (the letters A to F of the runs rules that fired
// on that chart)}].
std::string vchart_violations_json(const ChartResults& r, const PointLabels& labels);
// The same array written to SINK as it is formed.
void write_vchart_violations_json(const ChartResults& r, const PointLabels& labels, JsonSink& sink);

}  // namespace ztq
