// Checks that keep a run from harming the user's files, and the form of user
// text inside messages.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "app/run.h"
#include "host/sheet/data_sheet.h"

namespace qualty {

// A user's text for a message: cut to 80 characters with an ellipsis, so that
// a pasted file or a runaway argument never floods the terminal.
std::string user_text(std::string_view text);

// A whole message with each quoted text in it ('...' or "...") cut as user_text()
// cuts it.
std::string cut_quoted_texts(std::string_view message);

// A message with every run of non-blank characters longer than 80 cut as
// user_text() cuts it (for messages that echo an argument without quotes).
std::string cut_long_words(std::string_view message);

// Every file the run reads (the data sheet, a reopened analysis, the profile)
// is compared by identity with every file it may write (--sheet-out,
// --analysis-out, the panes and graphs under --out). The first clash as a
// message ("--sheet-out 'd.csv' is the data file 'd.csv' ..."), else "".
std::string output_naming_input(const RunOptions& options, const std::string& profile_path);

// Evaluates each --var expression (ROLE=EXPR) on the sheet before the module
// sees it, so that a syntax error keeps the parser's reason and position. A
// role's error is the returned message ("role data: position 5: unknown name
// 'Nope'"); the selection's ("select") is a warning put in warning: it is
// ignored, and the warning says how many rows that leaves in.
std::string check_expressions(const DataSheet& sheet,
                              const std::map<std::string, std::string>& vars, std::string& warning);

}  // namespace qualty
