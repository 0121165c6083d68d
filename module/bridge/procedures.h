// The registry of the procedures the module offers: for QualDescribe, for
// QualResultsJson and for finding the procedure of a record.
#pragma once

#include <string>
#include <vector>

#include "bridge/procedure.h"

namespace ztq {

const std::vector<const Procedure*>& procedures();
const Procedure* find_procedure(const std::string& name);
// The procedure whose title string number the record carries.
const Procedure* procedure_of(const AnalysisRecord& record);

// A procedure registers itself once, from a static object in its family file.
struct RegisterProcedure {
  explicit RegisterProcedure(const Procedure* p);
};

// JSON of one procedure: roles, options with their defaults and ranges, panes.
std::string describe_procedure(const Procedure& p);

}  // namespace ztq
