// qualty describe for people: a procedure's roles, variants, options (name,
// alias, default, range, named values), option groups and panes as tables;
// and the help texts that list what the loaded module offers.
#pragma once

#include <iosfwd>
#include <nlohmann/json_fwd.hpp>
#include <string>

namespace qualty {

void print_description_table(const nlohmann::json& description, std::ostream& out);

// "vchart, pareto": the procedures of the module beside qualty, or "" when it
// cannot be loaded.
std::string available_procedures();

// Every routine of qualty dist with its arguments, one a line.
const char* dist_routines_help();

}  // namespace qualty
