// Options remembered in the host's profile are user input like any other: they
// pass the checks of an answered options form (each field's range and whole-
// number rule, then the procedure's own validation) before they are used.
#pragma once

#include "bridge/procedure.h"
#include "ztqualty.h"

namespace ztq {

// r holds the options read from the profile over `defaults`. A remembered value
// that an options form would refuse is replaced by its default with a warning
// naming its key; a set of values that fails the procedure's validation is
// replaced whole by the defaults, with a warning.
void check_remembered_options(const Procedure& p, AnalysisRecord& r,
                              const AnalysisRecord& defaults);

}  // namespace ztq
