// Checks of a chart's data before any estimate is formed. Each returns 0 or
// the message number of the error state.
#pragma once

#include <span>
#include <vector>

#include "charts/chart_kind.h"
#include "charts/point_line.h"

namespace ztq {

// Subgrouped variables charts: every non-missing size, rounded, at least 2
// (1171); above 25 only for the S-based and variance codes 1, 2, 20 (1172).
int check_subgroup_sizes(const ChartTraits& traits, const PointLine& size);

// Attribute charts: a negative statistic (1063), a proportion above 1
// (1174), a count that is not whole (np, c: 1091), an np count above its
// sample size (1176).
int check_attribute_values(const ChartTraits& traits, std::span<const double> stat,
                           const PointLine& size);

}  // namespace ztq
