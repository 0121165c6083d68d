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
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

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
  const std::string data = qualty::executable_folder() + "/data/";
  struct Job {
    const char* title;
    const char* procedure;
    int variant;
    std::vector<std::string> vars;
    const char* file;
    const char* folder;
  };
  const Job jobs[] = {
      {"X-bar and R chart of piston-ring diameters",
       "vchart",
       0,
       {"data=Diameter", "subgroup=Sample"},
       "diameters.csv",
       "xbar-r"},
      {"Pareto analysis of assembly defects", "pareto", 0, {"raw=Defect"}, "defects.csv", "pareto"},
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
  cmd->add_option("--out", o.out_dir, "write paneN.txt and paneN.FORMAT into this folder");
  cmd->add_option("--format", o.format, "graph format: svg, png or pdf")->default_val("svg");
  cmd->add_flag("--save", o.save, "save the result series into the data sheet");
  cmd->add_option("--sheet-out", o.sheet_out, "write the data sheet to this CSV file afterwards");
  cmd->add_option("--analysis-out", o.analysis_out, "save the analysis to reopen it later");
  cmd->add_flag("--advice", o.advice, "append the interpretation to each pane (and list it in --json)");
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
  describe->add_option("procedure", describe_what, "a procedure name");
  describe->fallthrough();  // --profile and --yes may follow the command

  CLI::App* dist_cmd = cli.add_subcommand("dist", "evaluate distribution routines, one line each");
  dist_cmd->fallthrough();

  std::string demo_out = "qualty-demo";
  CLI::App* demo_cmd = cli.add_subcommand(
      "demo", "the main example: an X-bar and R chart and a Pareto analysis of bundled data");
  demo_cmd->add_option("--out", demo_out, "folder for the panes and graphs (PNG)")
      ->capture_default_str();
  demo_cmd->fallthrough();

  qualty::RunOptions run;
  CLI::App* run_cmd = cli.add_subcommand("run", "run one analysis of a CSV data sheet");
  run_cmd
      ->add_option("procedure", run.procedure,
                   "vchart, capable, gagelong, gagerr, gageset, mvchart, pareto or custom")
      ->required();
  run_cmd->add_option("data", run.data, "the data sheet (CSV)")->required();
  auto* variant = run_cmd->add_option("--variant", run.variant, "the procedure's variant");
  run_cmd->add_option("--chart", run.variant, "the chart-type code (vchart)")->excludes(variant);
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
    const int code = cli.exit(e);
    return code == 0 ? 0 : 2;
  }

  qualty::Session session(qualty::default_profile_path(profile_path));
  session.ui().assume_yes = yes;
  if (!session.start()) {
    std::fprintf(stderr, "qualty: %s\n", session.error().c_str());
    return 2;
  }
  if (*describe) return session.describe(describe_what, std::cout);
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
  std::cout << cli.help();
  return 0;
}
