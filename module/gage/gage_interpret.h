// The interpretation of the gage studies' panes (titles 2266, 2346, 12208).
#pragma once

#include <cstdint>

#include "interpret/interpret.h"

namespace ztq {

// record: an AnalysisRecord of the long-form study; pane 1 to 14.
Interpretation interpret_gagelong(const void* record, int pane);

// The verdict sentence on a percent of the tolerance x: 8185 at most 10,
// 8186 above 10 up to 25, 8187 above 25.
int32_t gage_tolerance_verdict(double x);
// The verdict on the interaction's P-value: 8195 from 0.1, 8196 from 0.05,
// 8197 from 0.01, 8198 below.
int32_t gage_interaction_verdict(double p);

}  // namespace ztq
