// The registry of the procedures the module offers, for QualDescribe and the
// host's dispatch. Each procedure registers itself once at load.
#pragma once

#include <string>
#include <vector>

namespace ztq {

struct ProcedureInfo {
  std::string name;           // the command-line name: vchart, capable, pareto, ...
  std::string summary;        // one line
  std::string (*describe)();  // JSON: roles, options with defaults, panes
};

std::vector<ProcedureInfo>& procedures();
const ProcedureInfo* find_procedure(const std::string& name);

struct RegisterProcedure {
  explicit RegisterProcedure(ProcedureInfo info) { procedures().push_back(std::move(info)); }
};

}  // namespace ztq
