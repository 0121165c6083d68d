// The interpretation of the capability-chart variants: the composite pane's
// within sigma, the points beyond the control limits, the run and zone marks,
// the smoother and the capability the process could reach without shifts.
#pragma once

#include "bridge/strings.h"
#include "interpret/interpret.h"

namespace ztq {

// The within-sigma sentence: the moving range for individuals (variant 1);
// for subgroups S-bar / c4 when the average size NBAR is above 25 or
// DISPERSION_OPTION (option 45) is 1, else R-bar / d2.
Str within_sigma_sentence(int variant, double nbar, int dispersion_option);

// record: the AnalysisRecord of a capability chart (titles 12144, 12160).
// Pane 1 names the fitted distribution; pane 8, the composite, says the rest.
Interpretation capability_chart_interpretation(const void* record, int pane);

}  // namespace ztq
