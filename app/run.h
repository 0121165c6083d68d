// qualty run and qualty reopen: one analysis through the module's exports.
#pragma once

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "app/data_file.h"
#include "app/session.h"
#include "host/graph/graph_model.h"

namespace qualty {

struct RunOptions {
  std::string procedure;
  int variant = 0;
  std::vector<std::string> vars;  // ROLE=EXPR
  std::vector<std::string> sets;  // NAME=VALUE
  std::vector<int> excludes;
  std::vector<int> panes;
  bool json = false;
  bool no_series = false;  // --json without the per-point series
  bool save = false;
  bool advice = false;
  std::string out_dir;
  std::string format = "svg";
  std::string size;  // --size WxH: the graphs' canvas
  std::string sheet_out;
  std::string analysis_out;
  std::string data;
  std::string reopen;      // an analysis file to reopen instead of a new analysis
  std::string chart;       // --chart: a chart-type code or name (vchart)
  bool remember = false;   // write the options of --set into the profile
  std::string save_extra;  // --save-extra: limits, flags (comma-separated)
  bool resave = false;     // --resave: tick the save form's re-save box (gageset)
  // --sep, --decimal, --sheet, --max-size
  DataFileOptions file;
  std::string report;                          // a report file (.html or .pdf) to write
  std::map<int, Graph>* graphs_out = nullptr;  // receives a copy of each graph pane's graph
  bool skip_results = false;                   // --json without the results member
};

// Runs the analysis and returns the exit status (0 fine, 1 error state, 2 bad
// usage or an unreadable file).
int run_analysis(Session& session, const RunOptions& options, std::ostream& out);

}  // namespace qualty
