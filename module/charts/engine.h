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

}  // namespace ztq
