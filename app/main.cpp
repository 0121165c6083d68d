// qualty: the command-line host of the quality module.
//
//   qualty --version
//   qualty describe [PROCEDURE]
//   qualty dist                  lines "NAME ARG..." on standard input
//   qualty run PROCEDURE [options] DATA.csv
//   qualty reopen ANALYSIS DATA.csv [options]
//   qualty report OUT.html|OUT.pdf ANALYSIS DATA.csv... [--title TEXT]
//   qualty demo [--out DIR]
//
// Exit status: 0 computed without an error state; 1 the analysis holds an
// error state; 2 bad usage or an unreadable file.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/describe_table.h"
#include "app/guards.h"
#include "app/module_loader.h"
#include "app/report.h"
#include "app/run.h"
#include "app/session.h"

namespace {

// Reads lines of the distribution calculator and prints one result a line.
int dist(qualty::Session& session, std::istream& in, std::ostream& out) {
  const auto evaluate = session.module().exports().dist;
  std::string line;
  char result[64];
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    evaluate(line.c_str(), result, static_cast<int32_t>(sizeof result));
    out << result << "\n";
  }
  return 0;
}

// The main job on bundled data: every procedure of the demo that the module
// offers runs on its data set, prints its text panes and writes its graphs.
int demo(qualty::Session& session, const std::string& out_dir, std::ostream& out) {
  const std::string data = qualty::install_folder() + "/data/";
  struct Job {
    const char* title;
    const char* procedure;
    int variant;
    std::vector<std::string> vars;
    const char* file;
    const char* folder;
    std::vector<int> panes;  // empty: the panes the analysis shows first
  };
  const Job jobs[] = {
      {"X-bar and R chart of piston-ring diameters",
       "vchart",
       0,
       {"data=Diameter", "subgroup=Sample"},
       "diameters.csv",
       "xbar-r",
       {}},
      {"Capability analysis of piston-ring diameters (LSL 25.37, nominal 25.40, USL 25.43)",
       "capable",
       0,
       {"data=Diameter", "usl=25.43", "nominal=25.40", "lsl=25.37"},
       "diameters.csv",
       "capability",
       {1, 2, 6}},
      {"Pareto analysis of assembly defects",
       "pareto",
       0,
       {"raw=Defect"},
       "defects.csv",
       "pareto",
       {}},
  };
  int status = 0;
  int ran = 0;
  qualty::Report report = qualty::start_report(session, "");
  for (const Job& job : jobs) {
    if (session.description(job.procedure).empty()) continue;
    qualty::RunOptions o;
    o.procedure = job.procedure;
    o.variant = job.variant;
    o.vars = job.vars;
    o.data = data + job.file;
    o.out_dir = out_dir + "/" + job.folder;
    o.format = "png";
    o.panes = job.panes;
    out << "==== " << job.title << " (" << job.file << ") ====\n\n";
    const int s = qualty::add_to_report(session, o, report, &out);
    report.analyses.back().title = job.title;  // bundled data: named by title and file name
    report.analyses.back().data = job.file;
    status = std::max(status, s);
    ++ran;
  }
  if (ran == 0) {
    std::fprintf(stderr, "qualty: the module offers none of the demo's procedures\n");
    return 2;
  }
  status = std::max(status, qualty::write_report(report, out_dir + "/report.html"));
  out << "Panes, graphs and report.html written under " << out_dir << "/\n";
  return status;
}

void add_run_options(CLI::App* cmd, qualty::RunOptions& o) {
  cmd->add_option("--var", o.vars, "ROLE=EXPR: an input variable");
  cmd->add_option("--set", o.sets, "NAME=VALUE: an option");
  cmd->add_option("--exclude", o.excludes, "exclude point N (toggles)");
  cmd->add_option("--pane", o.panes, "build only these panes (1-7 text, 8-14 graphs)");
  cmd->add_flag("--json", o.json, "print the outcome as one JSON object");
  cmd->add_flag("--no-series", o.no_series, "with --json: leave out the per-point series");
  cmd->add_option("--out", o.out_dir, "write paneN.txt and paneN.FORMAT into this folder");
  cmd->add_option("--format", o.format, "graph format: svg, png or pdf")->default_val("svg");
  cmd->add_option("--size", o.size, "WxH: graph size, pixels for PNG, points for SVG and PDF");
  cmd->add_flag("--save", o.save, "save the result series into the data sheet");
  cmd->add_option("--sheet-out", o.sheet_out, "write the data sheet to this CSV file afterwards");
  cmd->add_option("--analysis-out", o.analysis_out, "save the analysis to reopen it later");
  cmd->add_flag("--advice", o.advice,
                "append the interpretation to each pane (and list it in --json)");
  cmd->add_flag("--remember", o.remember,
                "keep the options of --set in the profile for later runs");
  cmd->add_option("--save-extra", o.save_extra,
                  "with --save, also the per-point limits and runs-rule flags: limits,flags");
  cmd->add_flag("--resave", o.resave,
                "with --save, save again each time the analysis is remade (reopened): gageset");
  cmd->add_option("--sep", o.file.separator, "CSV separator: ',', ';' or tab (default: found)");
  cmd->add_option("--decimal", o.file.decimal, "decimal separator: '.' or ',' (default: profile)");
  cmd->add_option("--sheet", o.file.sheet, "worksheet of an .xlsx workbook (default: the first)");
  cmd->add_option("--max-size", o.file.max_size, "largest data file read: bytes, K, M, G; 0 none")
      ->default_str("1G");
  cmd->add_option("--report", o.report, "write a report of the analysis (FILE.html or FILE.pdf)");
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App cli{"qualty: statistical quality control from the command line"};
  cli.set_version_flag("--version", std::string("qualty ") + QUALTY_VERSION);
  cli.require_subcommand(0, 1);
  std::string profile_path;
  bool yes = false;
  cli.add_option("--profile", profile_path, "settings file (INI); default $QUALTY_PROFILE")
      ->envname("QUALTY_PROFILE");
  cli.add_flag("--yes", yes, "answer Yes to every question (such as replacing columns)");

  std::string describe_what;
  CLI::App* describe = cli.add_subcommand("describe",
                                          "what the module offers: procedures, "
                                          "their roles, options and panes");
  bool describe_json = false;
  describe->add_option("procedure", describe_what, "a procedure name");
  describe->add_flag("--json", describe_json, "the description as JSON, as the module gives it");
  describe->fallthrough();  // --profile and --yes may follow the command

  CLI::App* dist_cmd = cli.add_subcommand("dist", "evaluate distribution routines, one line each");
  dist_cmd->footer(qualty::dist_routines_help());
  dist_cmd->fallthrough();

  std::string demo_out = "qualty-demo";
  CLI::App* demo_cmd = cli.add_subcommand(
      "demo",
      "the main example: an X-bar and R chart, a capability analysis and a Pareto analysis of "
      "bundled data");
  demo_cmd->add_option("--out", demo_out, "folder for the panes and graphs (PNG)")
      ->capture_default_str();
  demo_cmd->fallthrough();

  qualty::RunOptions run;
  CLI::App* run_cmd = cli.add_subcommand("run", "run one analysis of a CSV data sheet");
  const std::string offered = qualty::available_procedures();
  run_cmd
      ->add_option("procedure", run.procedure,
                   offered.empty() ? "a procedure of the module (qualty describe lists them)"
                                   : "the procedure: " + offered)
      ->required();
  run_cmd->add_option("data", run.data, "the data sheet (CSV)")->required();
  auto* variant = run_cmd->add_option("--variant", run.variant, "the procedure's variant");
  run_cmd
      ->add_option("--chart", run.chart,
                   "the chart-type code or name (vchart; `describe vchart` lists them)")
      ->excludes(variant);
  add_run_options(run_cmd, run);
  run_cmd->fallthrough();

  qualty::RunOptions reopen;
  CLI::App* reopen_cmd = cli.add_subcommand("reopen", "reopen a saved analysis on a data sheet");
  reopen_cmd->add_option("analysis", reopen.reopen, "the analysis file")->required();
  reopen_cmd->add_option("data", reopen.data, "the data sheet (CSV)")->required();
  add_run_options(reopen_cmd, reopen);
  reopen_cmd->fallthrough();

  std::string report_out, report_title;
  std::vector<std::string> report_items;
  CLI::App* report_cmd = cli.add_subcommand(
      "report", "one report (HTML or PDF) of saved analyses, each reopened on its data sheet");
  report_cmd->add_option("out", report_out, "the report file: OUT.html or OUT.pdf")->required();
  report_cmd->add_option("analyses", report_items, "ANALYSIS DATA.csv pairs")->required();
  report_cmd->add_option("--title", report_title, "the report's title");
  report_cmd->fallthrough();

  try {
    cli.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return cli.exit(e);  // --help, --version
    std::fprintf(stderr, "qualty: %s (see qualty --help)\n",
                 qualty::cut_long_words(e.what()).c_str());
    return 2;
  }

  // A file-size limit makes a write fail (and the file be left as it was)
  // rather than end the process half-way through it.
  std::signal(SIGXFSZ, SIG_IGN);
  const std::string profile = qualty::default_profile_path(profile_path);
  if (std::error_code ec; std::filesystem::is_directory(profile, ec)) {
    std::fprintf(stderr, "qualty: the profile %s is a folder, not a settings file\n",
                 qualty::user_text(profile).c_str());
    return 2;
  }
  // An allocation failure anywhere in a command (a data file too large for the
  // memory) ends it with a message before any output is written.
  try {
    qualty::Session session(profile);
    session.ui().assume_yes = yes;
    if (!session.start()) {
      std::fprintf(stderr, "qualty: %s\n", session.error().c_str());
      return 2;
    }
    if (*describe) return session.describe(describe_what, describe_json, std::cout);
    if (*dist_cmd) return dist(session, std::cin, std::cout);
    if (*demo_cmd) return demo(session, demo_out, std::cout);
    if (*run_cmd) {
      // Without --variant the gage studies open their usual flavour.
      if (variant->count() == 0 && run.procedure == "gagelong") run.variant = 2;
      if (variant->count() == 0 && run.procedure == "gagerr") run.variant = 1;
      if (!run.report.empty()) return qualty::run_with_report(session, run, std::cout);
      return qualty::run_analysis(session, run, std::cout);
    }
    if (*reopen_cmd && !reopen.report.empty())
      return qualty::run_with_report(session, reopen, std::cout);
    if (*reopen_cmd) return qualty::run_analysis(session, reopen, std::cout);
    if (*report_cmd) return qualty::report_command(session, report_out, report_items, report_title);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "qualty: not enough memory: an allocation failed (nothing was written)\n");
    return 2;
  } catch (const qualty::PluginError& e) {  // the drawing or workbook plugin is missing
    std::fprintf(stderr, "qualty: %s\n", e.what());
    return 1;
  }
  std::cerr << cli.help();  // no command: the usage, as for any bad usage
  return 2;
}
