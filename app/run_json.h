// Members of qualty's --json outcome that the host adds to the module's own:
// the options in force.
#pragma once

#include <nlohmann/json.hpp>

#include "app/option_names.h"
#include "app/session.h"
#include "ztqualty.h"

namespace qualty {

// Every analysis option of the record by its readable name (the alias, else
// the numbered name): its value, null when missing. The input mode as "mode"
// when the procedure has several.
nlohmann::json options_in_force(const OptionCatalog& catalog, const AnalysisRecord& record);

// The module's outcome text of the analysis: {"error", "error_text",
// "results", "violations"}.
std::string results_text(Session& session, AnalysisRecord* record);

// For a Pareto analysis with more classes than its chart shows: a one-line
// warning that suggests how many to fold; "" otherwise.
std::string pareto_chart_warning(const std::string& outcome);

}  // namespace qualty
