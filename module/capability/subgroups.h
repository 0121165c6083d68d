// Subgroups of the subgrouped capability chart: blocks of a fixed size over
// the gathered observations, or rows grouped by ascending subgroup code.
#pragma once

#include <cstdint>
#include <vector>

#include "capability/capability.h"

namespace ztq {

// The fixed size: the floor of the subgroup column's first value, else the
// number of data columns; 1 when neither gives a size of at least 1.
int64_t fixed_subgroup_size(const CapabilityInput& in);

CapSubgroups subgroups_by_size(const std::vector<double>& data, int64_t size);
CapSubgroups subgroups_by_codes(const std::vector<double>& data, const std::vector<double>& codes);

}  // namespace ztq
