// Steps of the capability computation after the fit: the tests and limits of
// the analysis's panes, the capability charts of the two chart variants.
#pragma once

#include <vector>

#include "capability/capable_family.h"

namespace ztq {

// The present observations in ascending order.
std::vector<double> sorted_present(const std::vector<double>& data);

// Panes 3, 4, 5 and 7, computed once with the analysis. The histogram classes
// are kept (option 19, doubles 10 and 11) while the data's range and the class
// options are unchanged, or always with option 35.
void capable_tests_and_limits(AnalysisRecord& r, const CapableState& previous, CapableState& state);

void capable_chart_step(const AnalysisRecord& r, CapableState& state);

}  // namespace ztq
