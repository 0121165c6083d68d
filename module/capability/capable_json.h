// The capability results as JSON members, and the option fields of the
// analysis form.
#pragma once

#include <string>
#include <vector>

#include "bridge/procedure.h"
#include "capability/capability.h"
#include "capability/pearson.h"

namespace ztq {

std::string capable_results_json(const CapabilityResults& r, const PearsonResults& p, int variant);

std::vector<OptionField> capable_options();

}  // namespace ztq
