// The text panes of the capability analysis that show tests and limits:
// 3 tests for normality, 4 goodness of fit, 5 normal and 7 nonparametric
// tolerance limits.
#pragma once

#include <string>

#include "capability/capable_panes.h"
#include "capability/goodness.h"
#include "capability/normality.h"
#include "capability/tolerance.h"

namespace ztq {

std::string capability_normality_text(const NormalityResults& t, const CapPaneInfo& info);
std::string capability_fit_text(const GofResults& g, const CapPaneInfo& info);
std::string capability_normal_tolerance_text(const CapabilityResults& r, const NormalTolerance& t,
                                             const CapPaneInfo& info);
std::string capability_free_tolerance_text(const CapabilityResults& r,
                                           const NonparametricTolerance& t,
                                           const CapPaneInfo& info);

}  // namespace ztq
