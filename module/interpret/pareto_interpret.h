// The interpretation of the Pareto panes: the ranking, the leading classes
// and their cumulative percent, the folded class. Pure: results in, sentences out.
#pragma once

#include <string>

#include "interpret/interpret.h"
#include "pareto/pareto_compute.h"

namespace ztq {

// The classes, in Pareto order, that first reach kVitalShare percent of the
// total score (the folded class never counts among them); 0 when none do.
inline constexpr double kVitalShare = 80.0;  // Juran's "vital few": about 80 percent
int vital_few(const ParetoResults& r);

Interpretation pareto_sentences(const ParetoResults& r, const std::string& variable, int pane);

}  // namespace ztq
