// The cumulative-sum steps of the chart kinds (internal to the engine).
#pragma once

#include <vector>

#include "charts/chart_options.h"
#include "charts/chart_results.h"
#include "charts/estimates.h"

namespace ztq {

// Codes 10, 13: the cumulative sum per phase, its mean deviation and the
// V-mask, whose arms become chart 1's per-point limits about a centre of 0.
// Returns 0, or 1276 when `option51` names a point outside the series.
int cusum_chart(const ChartOptions& options, const ChartPoints& points,
                const std::vector<Phase>& phases, ChartResults* results);

// Codes 14, 15: the decision-interval sums per phase; chart 1 plots the sum
// farther from 0 against the decision lines +-h s; code 15 adds the sums of
// its scale series.
void decision_chart(const ChartTraits& traits, const ChartOptions& options,
                    const ChartPoints& points, const std::vector<Phase>& phases,
                    ChartResults* results);

}  // namespace ztq
