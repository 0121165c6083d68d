// Reports: qualty run ... --report FILE, qualty report OUT ANALYSIS DATA...,
// and the demo's report. An analysis runs as qualty run runs it; its outcome
// JSON, pane texts and graphs become one section of the report.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/report_model.h"
#include "app/run.h"
#include "app/session.h"

namespace qualty {

// A report with its title, date, version and words, and no analysis yet.
Report start_report(Session& session, const std::string& title);

// Runs one analysis and adds its section; prints to out what qualty run would
// print (null: nothing). Returns the run's exit status.
int add_to_report(Session& session, RunOptions options, Report& report, std::ostream* out);

// Writes the report as HTML or PDF by the path's ending. 0, or 2 with a
// message on standard error.
int write_report(const Report& report, const std::string& path);

// qualty run/reopen with --report.
int run_with_report(Session& session, const RunOptions& options, std::ostream& out);

// qualty report: items are analysis files each followed by its data sheet.
int report_command(Session& session, const std::string& path, const std::vector<std::string>& items,
                   const std::string& title);

}  // namespace qualty
