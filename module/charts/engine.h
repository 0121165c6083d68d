// The control-chart engine: one pure computation for every chart-type code.
// Input and options in, results out; no host calls, no globals, no
// formatting. Error states are message numbers in the results; the only
// exception that can leave is DomainAbort from guarded arithmetic of the
// statistical library.
#pragma once

#include "charts/chart_input.h"
#include "charts/chart_options.h"
#include "charts/chart_results.h"

namespace ztq {

ChartResults compute_chart(const ChartInput& input, const ChartOptions& options);
// The same, releasing the per-point arrays of INPUT (stat, size, dispersion,
// excluded) once they are read, before the series are allocated, so that the
// peak holds one copy of them; INPUT's observations are kept.
ChartResults compute_chart(ChartInput&& input, const ChartOptions& options);

}  // namespace ztq
