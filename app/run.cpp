#include "app/run.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <set>

#include "app/advice.h"
#include "app/analysis_file.h"
#include "app/families.h"
#include "app/guards.h"
#include "app/json_outcome.h"
#include "app/option_names.h"
#include "app/run_checks.h"
#include "app/run_json.h"
#include "host/files/atomic_file.h"
#include "host/graph/graph_backend.h"
#include "host/graph/graph_file.h"
#include "host/graph/graph_stack.h"
#include "host/sheet/csv.h"

namespace qualty {

namespace {

using nlohmann::json;

constexpr int32_t kIndex = 0;  // qualty keeps one analysis, index 0

int usage(const std::string& message) {
  std::fprintf(stderr, "qualty: %s\n", cut_quoted_texts(message).c_str());
  return 2;
}

// NAME=VALUE pairs; false for an item without '=' or with an empty name.
bool split_pairs(const std::vector<std::string>& items, std::map<std::string, std::string>& out,
                 std::string& bad) {
  for (const std::string& item : items) {
    const size_t eq = item.find('=');
    if (eq == std::string::npos || eq == 0) {
      bad = item;
      return false;
    }
    out[item.substr(0, eq)] = item.substr(eq + 1);
  }
  return true;
}

// A role given more than once: its k-th occurrence names role ROLEk (data,
// data2, data3, ...), so procedures with several columns of one kind take
// them in the order given.
std::vector<std::string> number_repeated_roles(const std::vector<std::string>& items) {
  std::map<std::string, int> seen;
  std::vector<std::string> out;
  for (const std::string& item : items) {
    const size_t eq = item.find('=');
    if (eq == std::string::npos || eq == 0) {
      out.push_back(item);
      continue;
    }
    const std::string role = item.substr(0, eq);
    const int k = ++seen[role];
    out.push_back(k == 1 ? item : role + std::to_string(k) + item.substr(eq));
  }
  return out;
}

template <size_t N>
void copy_text(char (&dst)[N], const std::string& src) {
  const size_t n = std::min(src.size(), N - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

struct Pane {
  std::string text;
  PaneWindow window{};
};

std::string crlf_to_lf(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out.push_back(s[i]);
  return out;
}

struct Records {
  AnalysisRecord* record = nullptr;
  decltype(&QualReleaseRecord) release = nullptr;
  ~Records() {
    if (record != nullptr && release != nullptr) release(record);
    std::free(record);
  }
};

// The roles without their numbered repeats (data, not data2 ... data25).
std::vector<std::string> first_roles(const std::set<std::string>& roles) {
  std::vector<std::string> out;
  for (const std::string& r : roles) {
    const size_t digits = r.find_last_not_of("0123456789") + 1;
    if (digits == r.size() || !roles.count(r.substr(0, digits))) out.push_back(r);
  }
  return out;
}

}  // namespace

int run_analysis(Session& session, const RunOptions& o, std::ostream& out) {
  std::map<std::string, std::string> vars;
  std::map<std::string, std::string> sets;  // by numbered name
  std::string bad;
  std::string why_not;
  if (!split_pairs(o.vars, vars, bad)) return usage("--var takes ROLE=EXPR, not '" + bad + "'");
  const auto format = parse_graph_format(o.format);
  if (!format) return usage("--format takes svg, png or pdf, not '" + o.format + "'");
  if (!o.size.empty()) {
    int w = 0, h = 0;
    if (!parse_canvas_size(o.size, &w, &h))
      return usage("--size takes WIDTHxHEIGHT from 64 to " + std::to_string(kMaxCanvasSide) +
                   " each, not '" + o.size + "'");
    session.graphs().set_canvas(w, h);
  }
  if (const std::string clash = output_naming_input(o, session.profile().path()); !clash.empty())
    return usage(clash);

  // A saved analysis names its procedure, variant, variables and options.
  AnalysisFile saved;
  std::string procedure = o.procedure;
  int variant = o.variant;
  if (!o.reopen.empty()) {
    std::string why;
    if (!read_analysis_file(o.reopen, saved, why)) return usage(why);
    procedure = saved.procedure;
    variant = saved.variant;
  }

  const std::string description = session.description(procedure);
  if (description.empty()) return usage("unknown procedure '" + procedure + "'");
  const json describe = json::parse(description, nullptr, false);
  std::set<std::string> roles;
  std::set<std::string> analysis_options;
  std::map<int, std::set<std::string>> pane_options;
  for (const auto& r : describe.value("roles", json::array())) roles.insert(r.value("role", ""));
  // A role given more than once fills the procedure's numbered slots of that
  // role in order when it has them (data, data2, ...: the capability
  // analysis's columns); otherwise its expressions are listed separated by
  // ';', in the order given (the T-squared chart's variables).
  {
    std::map<std::string, std::string> numbered;
    split_pairs(number_repeated_roles(o.vars), numbered, bad);
    std::map<std::string, std::string> joined;
    for (const auto& [role, expr] : vars) {
      if (roles.count(role + "2") > 0) continue;
      std::string all;
      for (const std::string& item : o.vars)
        if (item.compare(0, role.size() + 1, role + "=") == 0)
          all += (all.empty() ? "" : ";") + item.substr(role.size() + 1);
      joined[role] = all;
    }
    for (const auto& [role, expr] : numbered) {
      std::string base = role;
      while (!base.empty() && std::isdigit(static_cast<unsigned char>(base.back())))
        base.pop_back();
      if (roles.count(base + "2") > 0) joined[role] = expr;
    }
    vars = std::move(joined);
  }
  for (const auto& f : describe.value("options", json::array()))
    analysis_options.insert(f.value("name", ""));
  std::set<std::string> input_fields;  // answered in the procedure's own input form
  for (const auto& n : describe.value("inputs", json::array())) input_fields.insert(n);
  for (const auto& p : describe.value("panes", json::array()))
    for (const auto& n : p.value("options", json::array()))
      pane_options[p.value("pane", 0)].insert(n.get<std::string>());
  for (const auto& [name, value] : vars)
    if (!roles.count(name))
      return usage("procedure " + procedure + " has no role '" + name + "'" +
                   did_you_mean(name, first_roles(roles)));
  // Fields of the procedure's own input form pass as they are; options by
  // name, alias, group or numbered name.
  std::vector<std::string> option_items;
  for (const std::string& item : o.sets) {
    const size_t eq = item.find('=');
    if (eq != std::string::npos && input_fields.count(item.substr(0, eq)))
      sets[item.substr(0, eq)] = item.substr(eq + 1);
    else
      option_items.push_back(item);
  }
  const OptionCatalog catalog(describe);
  if (!catalog.resolve(option_items, sets, why_not)) return usage(why_not);
  if (!o.chart.empty() && !catalog.resolve_variant(o.chart, variant, why_not))
    return usage(why_not);
  if (procedure == "gagelong" && (variant < 2 || variant > 4))
    return usage("gagelong takes --variant 2, 3 or 4, not " + std::to_string(variant));
  if (procedure == "gagerr" && (variant < 0 || variant > 2))
    return usage("gagerr takes --variant 0, 1 or 2, not " + std::to_string(variant));
  if (procedure == "vchart" && (variant < 0 || variant > 21))
    return usage("--chart takes a chart-type code from 0 to 21 or a name, not " +
                 std::to_string(variant));
  if (const int variants = describe.value("variant_count", 1); variant < 0 || variant >= variants)
    return usage(
        "procedure " + procedure + " has " +
        (variants == 1 ? "only variant 0" : "variants 0 to " + std::to_string(variants - 1)) +
        ", not " + std::to_string(variant));
  if (o.save && o.sheet_out.empty())
    return usage("--save without --sheet-out: the saved columns would be lost");
  if (o.resave && !o.save) return usage("--resave needs --save");
  std::set<std::string> extras;
  if (!o.save_extra.empty()) {
    if (!o.save) return usage("--save-extra needs --save");
    std::string item;
    for (size_t i = 0; i <= o.save_extra.size(); ++i) {
      if (i < o.save_extra.size() && o.save_extra[i] != ',') {
        item += o.save_extra[i];
        continue;
      }
      if (item != "limits" && item != "flags")
        return usage("--save-extra takes limits and flags, not '" + item + "'");
      extras.insert(item);
      item.clear();
    }
  }

  FamilyCalls calls;
  std::string why;
  if (!bind_family(session.module(), procedure, variant, calls, why)) return usage(why);

  try {
    CsvLoad load = read_data_file(o.data, o.file, session.profile());
    for (const std::string& w : load.warnings)
      std::fprintf(stderr, "qualty: %s\n", cut_quoted_texts(w).c_str());
    session.attach_sheet(std::move(load.sheet));
  } catch (const SheetError& e) {
    return usage(e.what());
  } catch (const std::invalid_argument& e) {
    return usage(e.what());
  }
  {
    // Every role but the selection must name columns or evaluate; an invalid
    // selection is ignored with a warning.
    std::map<std::string, std::string> given = vars;
    given.erase("select");
    if (!check_variables(session.sheet(), given, why_not)) return usage(why_not);
  }
  if (std::string warning, wrong = check_expressions(session.sheet(), vars, warning);
      !wrong.empty())
    return usage(wrong);
  else if (!warning.empty())
    std::fprintf(stderr, "qualty: %s\n", cut_quoted_texts(warning).c_str());
  session.set_advice(o.advice);
  MessageReport report(session.ui());
  {
    std::vector<std::string> ordered;
    for (const auto& r : describe.value("roles", json::array()))
      ordered.push_back(r.value("role", ""));
    report.set_roles(std::move(ordered));
  }
  // The options of --set hold for this run; only --remember writes them
  // into the profile, as the options dialog's OK would.
  HostApplication* app = session.app();
  const auto write_int = app->write_profile_int;
  const auto write_string = app->write_profile_string;
  if (!o.remember) {
    app->write_profile_int = nullptr;
    app->write_profile_string = nullptr;
  }

  HostContext ctx{};
  ctx.row_count = static_cast<int32_t>(session.sheet().row_count());
  ctx.save_digits = session.profile().get_int("Snap", "SignificantDigits", 6);
  ctx.sort_variable_names = session.profile().get_int("Page Setup", "Sortvarnames", 0);
  ctx.next_analysis_index = kIndex;
  ctx.change_notification = [](HostContext*, int32_t) {};

  // Every form of the module is answered from --var and --set.
  std::string refusal;
  // Options that the input dialog itself asks for (the gage plan's counts)
  // are in force once it is answered; the options form need not see them.
  bool in_dialog = false;
  std::set<std::string> dialog_taken;
  session.ui().answer_form = [&](ZtForm& form) -> int32_t {
    if (form.refusal[0] != '\0') refusal = form.refusal;
    for (int32_t i = 0; i < form.field_count; ++i) {
      ZtFormField& f = form.fields[i];
      if (auto it = vars.find(f.name); it != vars.end()) copy_text(f.value, it->second);
      if (auto it = sets.find(f.name); it != sets.end()) {
        copy_text(f.value, it->second);
        if (in_dialog) dialog_taken.insert(it->first);
      }
    }
    return 1;
  };

  Records owned;
  owned.release = session.module().exports().release_record;
  owned.record = static_cast<AnalysisRecord*>(std::calloc(1, sizeof(AnalysisRecord)));
  if (owned.record == nullptr) return usage("not enough memory for the analysis record");
  AnalysisRecord* rec = owned.record;
  AnalysisWindow window{};
  SheetState sheet_state{};
  SheetWindow sheet_window{};
  if (o.reopen.empty()) {
    in_dialog = true;
    const int32_t accepted = calls.dialog(kIndex, &ctx, 0);
    in_dialog = false;
    if (accepted == 0)
      return usage("the input form was refused" + (refusal.empty() ? "" : ": " + refusal));
    std::vector<char> text((ZTQ_MAX_VARIABLES_PER_ANALYSIS + 4) * ZTQ_EXPRESSION_SIZE, '\0');
    calls.setup(kIndex, rec, &window, text.data(), 0);
    calls.begin(kIndex);
  } else {
    // A reopened analysis: the record as it was saved, then BeginAgain.
    if (!apply_analysis_file(saved, *rec, why)) return usage(why);
    calls.begin_again(kIndex, rec, &window, &ctx, &sheet_state, &sheet_window);
    if (sheet_state.changed != 0 && o.sheet_out.empty())
      std::fprintf(stderr,
                   "qualty: warning: the analysis saved its results into the data sheet again "
                   "when it was remade; give --sheet-out to keep them\n");
    // The saved options pass the options form's checks, as --set values do.
    PaneWindow check{};
    refusal.clear();
    // (The gage plan has no options form: its options came through its dialog.)
    if (!analysis_options.empty() && procedure != "gageset" &&
        calls.opts(&check, kIndex, 1, nullptr) == 0)
      return usage("the analysis file " + user_text(o.reopen) + " holds an option that is refused" +
                   (refusal.empty() ? "" : ": " + refusal));
  }

  // Options: the analysis options through pane 1, pane options through their pane.
  bool any_analysis_option = sets.count("mode") == 0 ? false : false;
  for (const auto& [name, value] : sets)
    any_analysis_option |= analysis_options.count(name) > 0 && dialog_taken.count(name) == 0;
  std::map<int, ZtGraphDescriptor> descriptors;
  PaneWindow quiet{};
  // The T-squared chart applies its exclusions first: the options dialog's
  // actions (exclude automatically, include all) then act on them.
  const bool excludes_first = procedure == "mvchart";
  auto run_excludes = [&]() -> bool {
    for (int point : o.excludes) {
      if (!calls.exclude) return false;
      if (!excludes_first && (point < 1 || point > rec->point_count))
        std::fprintf(stderr, "qualty: warning: --exclude %d: the chart has points 1 to %d\n", point,
                     rec->point_count);
      calls.exclude(kIndex, point);
    }
    return true;
  };
  if (excludes_first && !run_excludes())
    return usage("procedure " + procedure + " has no point exclusion");
  if (any_analysis_option) {
    refusal.clear();
    if (calls.opts(&quiet, kIndex, 1, nullptr) == 0)
      return usage("the options were refused" + (refusal.empty() ? "" : ": " + refusal));
  }
  for (const auto& [pane, names] : pane_options) {
    bool wanted = false;
    for (const auto& [name, value] : sets) wanted |= names.count(name) > 0;
    if (!wanted) continue;
    ZtGraphDescriptor& d = descriptors[pane];
    d.size = static_cast<int32_t>(sizeof d);
    if (calls.opts(&quiet, kIndex, pane, &d) == 0 && rec->error_state == 0)
      return usage("the options of pane " + std::to_string(pane) + " were refused" +
                   (refusal.empty() ? "" : ": " + refusal));
  }
  app->write_profile_int = write_int;
  app->write_profile_string = write_string;
  if (!excludes_first && !run_excludes())
    return usage("procedure " + procedure + " has no point exclusion");

  // Panes: those asked for, else those the masks show.
  std::vector<int> shown;
  for (int k = 0; k < 7; ++k)
    if ((rec->masks[0] >> k) & 1) shown.push_back(k + 1);
  for (int k = 0; k < 7; ++k)
    if ((rec->masks[1] >> k) & 1) shown.push_back(k + 8);
  std::vector<int> panes = o.panes;
  if (panes.empty()) {
    for (int k = 0; k < 7; ++k)
      if ((rec->masks[0] >> k) & 1) panes.push_back(k + 1);
    // Writing files: every graph the procedure offers, not only the default ones.
    for (int k = 0; k < 7; ++k)
      if (((rec->masks[1] >> k) & 1) || !o.out_dir.empty()) panes.push_back(k + 8);
  }
  std::map<int, std::string> texts;
  std::map<int, int32_t> graphs;
  for (int pane : panes) {
    if (pane < 1 || pane > ZTQ_PANES) return usage("there is no pane " + std::to_string(pane));
    if (pane <= ZTQ_TEXT_PANES) {
      Pane p;
      p.window.host = &p;
      p.window.set_text = [](PaneWindow* w, const char* t) {
        static_cast<Pane*>(w->host)->text = t != nullptr ? t : "";
      };
      if (calls.item(&p.window, kIndex, pane, nullptr) != 0) texts[pane] = p.text;
    } else {
      ZtGraphDescriptor& d = descriptors[pane];
      d.size = static_cast<int32_t>(sizeof d);
      if (calls.item(&quiet, kIndex, pane, &d) != 0 && d.handle != 0) graphs[pane] = d.handle;
    }
  }

  // A pane asked for that the analysis does not build would do nothing.
  for (int pane : o.panes)
    if (!texts.count(pane) && !graphs.count(pane)) {
      std::string list;
      for (int k : shown) list += (list.empty() ? "" : ", ") + std::to_string(k);
      return usage("--pane " + std::to_string(pane) +
                   ": this analysis does not build it (it shows panes " +
                   (list.empty() ? "none" : list) + ")");
    }
  if (o.graphs_out != nullptr)  // the report draws them after the record is gone
    for (const auto& [pane, handle] : graphs)
      if (const Graph* g = session.graphs().find(handle)) (*o.graphs_out)[pane] = *g;

  // Graphs to draw need the drawing plugin: loaded before anything is
  // written, so that a plugin that cannot be loaded (PluginError) stops the
  // run with nothing written.
  if (!graphs.empty() && (!o.out_dir.empty() || o.graphs_out != nullptr)) graph_backend();

  if (o.save) {
    if (!calls.vsave) return usage("procedure " + procedure + " saves no results");
    if (extras.empty() && !o.resave) {
      calls.vsave(kIndex, 1);
    } else {
      // The save dialog, answered: the series saved by default keep their
      // names, the extra series of the groups asked for take theirs, and the
      // re-save box is ticked when asked for.
      bool resave_offered = false;
      session.ui().answer_form = [&](ZtForm& form) -> int32_t {
        for (int32_t i = 0; i < form.field_count; ++i) {
          ZtFormField& f = form.fields[i];
          const std::string help = f.help;
          if (help.rfind("extra:", 0) == 0 && extras.count(help.substr(6)))
            copy_text(f.value, f.label);
          if (o.resave && std::string(f.name) == "resave") {
            copy_text(f.value, "1");
            resave_offered = true;
          }
        }
        return 1;
      };
      calls.vsave(kIndex, 0);
      if (o.resave && !resave_offered)
        return usage("--resave: procedure " + procedure + " does not save again when remade");
    }
  }
  if (!o.sheet_out.empty()) {
    try {
      write_csv_file(session.sheet(), o.sheet_out);
    } catch (const SheetError& e) {
      return usage(e.what());
    }
  }
  if (!o.analysis_out.empty() &&
      !write_analysis_file(o.analysis_out, procedure, variant, *rec, why))
    return usage(why);

  if (!o.out_dir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(o.out_dir, ec);
    for (const auto& [pane, text] : texts) {
      const std::string path = o.out_dir + "/pane" + std::to_string(pane) + ".txt";
      if (!write_file_atomically(path, text, why)) return usage(why);
    }
    for (const auto& [pane, handle] : graphs) {
      const std::string path =
          o.out_dir + "/pane" + std::to_string(pane) + "." + graph_extension(*format);
      if (!session.graphs().write(handle, *format, path, &why)) return usage(why);
    }
    // Chart 1 and chart 2 of a control chart together on one page.
    if (graphs.count(8) != 0 && graphs.count(9) != 0 &&
        is_chart_pair(session.graphs(), graphs[8], graphs[9])) {
      const std::string path = o.out_dir + "/chart." + graph_extension(*format);
      if (!session.graphs().write_stacked(graphs[8], graphs[9], *format, path, &why))
        return usage(why);
    }
  }

  // A Pareto chart shows at most 20 classes; its graph then says so, and so do we.
  if (procedure == "pareto" && !graphs.empty() && rec->error_state == 0) {
    const std::string warning = pareto_chart_warning(results_text(session, rec));
    if (!warning.empty()) std::fprintf(stderr, "qualty: warning: %s\n", warning.c_str());
  }

  // The outcome as the module reports it: the whole results only for --json.
  const int error = session.module().exports().error_message(rec);
  const char* message = error > 0 ? session.module().exports().string(error) : "";
  const std::string error_text = message != nullptr ? message : "";
  if (o.json) {
    json doc;
    doc["procedure"] = procedure;
    doc["variant"] = variant;
    doc["error"] = error;
    doc["error_text"] = error_text;
    json pane_texts = json::object();
    for (const auto& [pane, text] : texts) pane_texts[std::to_string(pane)] = text;
    doc["panes"] = pane_texts;
    doc["options"] = options_in_force(catalog, *rec);
    // The interpretation of every pane built, with the numbers of its sentences.
    json advice = json::object();
    for (int pane : panes)
      if (texts.count(pane) || graphs.count(pane)) {
        const PaneAdvice a = pane_advice(session.module().exports(), rec, pane);
        advice[std::to_string(pane)] = {{"text", a.text}, {"sentences", a.sentences}};
      }
    doc["advice"] = advice;
    // A report without --json shows no results: they are not written.
    print_json_outcome(out, std::move(doc), session.module().exports(), rec,
                       o.skip_results ? JsonResults::none
                       : o.no_series  ? JsonResults::summary
                                      : JsonResults::all);
  } else {
    for (const auto& [pane, text] : texts) out << crlf_to_lf(text) << "\n\n";
    for (const auto& [pane, handle] : graphs) {
      if (!o.out_dir.empty())
        out << "pane " << pane << ": " << o.out_dir << "/pane" << pane << "."
            << graph_extension(*format) << "\n";
      if (o.advice) {  // a graph has no text of its own: its interpretation follows
        if (o.out_dir.empty()) out << "pane " << pane << ":\n";
        out << crlf_to_lf(pane_advice(session.module().exports(), rec, pane).text) << "\n";
      }
    }
  }
  if (rec->error_state != 0) {
    report.error(error_text.empty() ? "error state " + std::to_string(rec->error_state)
                                    : error_text);
    return 1;
  }
  return 0;
}

}  // namespace qualty
