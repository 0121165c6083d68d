// The --json outcome: the document the command line built (procedure, error,
// panes, options, advice) with the module's results object and violations
// array as its last members.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

#include "app/module_loader.h"

namespace qualty {

enum class JsonResults {
  all,      // the results with their per-point series
  summary,  // the results without the per-point series
  none,     // an empty results object and no violations
};

// A small outcome is printed indented; a large one (a chart of 10^6 points)
// goes out compact, the results written as the module forms them, never held
// whole.
void print_json_outcome(std::ostream& out, nlohmann::json doc, const ModuleExports& exports,
                        AnalysisRecord* record, JsonResults results);

}  // namespace qualty
