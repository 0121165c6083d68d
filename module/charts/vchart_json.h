// The results of a control chart as the members of a JSON object (missing
// values null; every series one entry per point).
#pragma once

#include <string>

#include "charts/chart_results.h"

namespace ztq {

std::string vchart_results_json(const ChartResults& r);

}  // namespace ztq
