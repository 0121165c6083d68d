// The JSON members of the capability analysis's tests and limits:
// normality, fit, tolerance_normal, tolerance_nonparametric.
#pragma once

#include <string>

#include "capability/capable_family.h"

namespace ztq {

// All four null when the analysis holds an error state.
std::string capable_tests_json(const CapableState& s);
// Variants 1 and 2: within_sigma, location, dispersion.
std::string capable_chart_json(const CapableState& s, int variant);

}  // namespace ztq
