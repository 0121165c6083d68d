// The capability interpretation of panes 1 and 2: the fitted distribution,
// the band of Cp, Cpk and the process centring, K and the intervals.
#pragma once

#include "bridge/strings.h"
#include "interpret/interpret.h"

namespace ztq {

// record: the AnalysisRecord of a capability analysis (title 1962).
Interpretation capability_interpretation(const void* record, int pane);

// The sentence that names the fitted distribution of CODE (the capability codes).
Str capability_distribution_sentence(int code);

}  // namespace ztq
