// Centre lines and control limits of the two charts.
#pragma once

#include "charts/chart_options.h"
#include "charts/estimates.h"

namespace ztq {

// Line numbers of `limit`.
enum ChartLine : int { kUcl1 = 0, kCl1 = 1, kLcl1 = 2, kUcl2 = 3, kCl2 = 4, kLcl2 = 5 };

// One line of chart CODE at subgroup size N from the estimates EST of a phase
// and the OPTIONS: estimated or controlled to a standard (with or without
// entered limits); clipped at 0 and 1 unless NOCLIP or `option2`. Returns
// kMissing when the line does not exist, its multiple or a standard it needs
// is missing, or it cannot be formed (never NaN or infinity).
double limit(const ChartEstimates& est, const ChartOptions& options, int line, double n, int code,
             bool noclip);

// Effective size of chart 1 at subgroup size N: N times the span (codes 8,
// 11), N (2 - lambda) / lambda (codes 9, 12), else N.
double effective_size(const ChartOptions& options, int code, double n);

}  // namespace ztq
