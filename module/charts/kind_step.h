// The steps of the chart kinds that transform chart 1: moving averages and
// EWMA with their early-point limits (codes 8, 9, 11, 12), the cumulative sum
// and its V-mask (10, 13), the decision-interval sums (14, 15) and the fitted
// model (16, 17). Each phase is transformed with its own target and sigma.
#pragma once

#include <vector>

#include "charts/chart_options.h"
#include "charts/chart_results.h"
#include "charts/estimates.h"

namespace ztq {

// Options of the kind of chart TRAITS that would stop its computation:
// 1271 for a span below 1, 1272 for lambda outside (0, 1], 1279 for h, k or
// a headstart negative or not finite, 1277 for model orders out of range.
int check_kind_options(const ChartTraits& traits, const ChartOptions& options);

// Codes 16 and 17, before the estimates: code 17 fills the interior gaps of
// POINTS (1092 when it cannot); both fit the model to the usable points and
// code 17 takes its chart 2 from the moving ranges of the residuals within
// each phase. Returns 0 or the message number of the error state.
int prepare_model(const ChartTraits& traits, const ChartOptions& options,
                  const std::vector<Phase>& phases, ChartPoints* points, ModelResult* model);

// Code 17: MR-bar and sigma of a phase from the residuals' moving ranges.
void model_estimates(const ChartPoints& points, Phase phase, ChartEstimates* estimates);

// The centre a chart kind works about: the standard centre under control to a
// standard, else the phase's estimated centre.
double kind_target(const ChartOptions& options, const ChartEstimates& estimates);

// After the per-point limits: replaces chart 1's statistic (and, for the
// cumulative sums, its per-point lines) by the kind's, and fills the kind's
// results. Returns 0 or the message number of the error state.
int apply_chart_kind(const ChartTraits& traits, const ChartOptions& options,
                     const ChartPoints& points, const std::vector<Phase>& phases,
                     ChartResults* results);

// The in-control run length of an EWMA chart from its summary lines.
double ewma_in_control_arl(const ChartOptions& options, const ChartResults& results);

}  // namespace ztq
