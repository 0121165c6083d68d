#include "app/run.h"

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
#include "host/graph/graph_file.h"
#include "host/sheet/csv.h"

namespace qualty {

namespace {

using nlohmann::json;

constexpr int32_t kIndex = 0;  // qualty keeps one analysis, index 0

int usage(const std::string& message) {
  std::fprintf(stderr, "qualty: %s\n", message.c_str());
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

}  // namespace

int run_analysis(Session& session, const RunOptions& o, std::ostream& out) {
  std::map<std::string, std::string> vars;
  std::map<std::string, std::string> sets;
  std::string bad;
  if (!split_pairs(o.vars, vars, bad)) return usage("--var takes ROLE=EXPR, not '" + bad + "'");
  if (!split_pairs(o.sets, sets, bad)) return usage("--set takes NAME=VALUE, not '" + bad + "'");
  const auto format = parse_graph_format(o.format);
  if (!format) return usage("--format takes svg, png or pdf, not '" + o.format + "'");

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
  for (const auto& f : describe.value("options", json::array()))
    analysis_options.insert(f.value("name", ""));
  std::set<std::string> input_fields;  // answered in the procedure's own input form
  for (const auto& n : describe.value("inputs", json::array())) input_fields.insert(n);
  for (const auto& p : describe.value("panes", json::array()))
    for (const auto& n : p.value("options", json::array()))
      pane_options[p.value("pane", 0)].insert(n.get<std::string>());
  for (const auto& [name, value] : vars)
    if (!roles.count(name)) return usage("procedure " + procedure + " has no role '" + name + "'");
  for (const auto& [name, value] : sets) {
    bool known = analysis_options.count(name) || input_fields.count(name) || name == "mode";
    for (const auto& [pane, names] : pane_options) known = known || names.count(name);
    if (!known) return usage("procedure " + procedure + " has no option '" + name + "'");
  }

  if (procedure == "gagelong" && (variant < 2 || variant > 4))
    return usage("gagelong takes --variant 2, 3 or 4, not " + std::to_string(variant));
  if (procedure == "gagerr" && (variant < 0 || variant > 2))
    return usage("gagerr takes --variant 0, 1 or 2, not " + std::to_string(variant));
  if (procedure == "vchart" && (variant < 0 || variant > 21))
    return usage("--chart takes a chart-type code from 0 to 21, not " + std::to_string(variant));

  FamilyCalls calls;
  std::string why;
  if (!bind_family(session.module(), procedure, variant, calls, why)) return usage(why);

  try {
    CsvLoad load = read_csv_file(o.data);
    for (const std::string& w : load.warnings) std::fprintf(stderr, "qualty: %s\n", w.c_str());
    session.attach_sheet(std::move(load.sheet));
  } catch (const SheetError& e) {
    return usage(e.what());
  }
  session.set_advice(o.advice);

  HostContext ctx{};
  ctx.row_count = static_cast<int32_t>(session.sheet().row_count());
  ctx.save_digits = session.profile().get_int("Snap", "SignificantDigits", 6);
  ctx.sort_variable_names = session.profile().get_int("Page Setup", "Sortvarnames", 0);
  ctx.next_analysis_index = kIndex;
  ctx.change_notification = [](HostContext*, int32_t) {};

  // Every form of the module is answered from --var and --set.
  std::string refusal;
  session.ui().answer_form = [&](ZtForm& form) -> int32_t {
    if (form.refusal[0] != '\0') refusal = form.refusal;
    for (int32_t i = 0; i < form.field_count; ++i) {
      ZtFormField& f = form.fields[i];
      if (auto it = vars.find(f.name); it != vars.end()) copy_text(f.value, it->second);
      if (auto it = sets.find(f.name); it != sets.end()) copy_text(f.value, it->second);
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
    if (calls.dialog(kIndex, &ctx, 0) == 0)
      return usage("the input form was refused" + (refusal.empty() ? "" : ": " + refusal));
    std::vector<char> text(8 * 1024 + 16 * 512, '\0');
    calls.setup(kIndex, rec, &window, text.data(), 0);
    calls.begin(kIndex);
  } else {
    // A reopened analysis: the record as it was saved, then BeginAgain.
    if (!apply_analysis_file(saved, *rec, why)) return usage(why);
    calls.begin_again(kIndex, rec, &window, &ctx, &sheet_state, &sheet_window);
  }

  // Options: the analysis options through pane 1, pane options through their pane.
  bool any_analysis_option = sets.count("mode") == 0 ? false : false;
  for (const auto& [name, value] : sets) any_analysis_option |= analysis_options.count(name) > 0;
  std::map<int, ZtGraphDescriptor> descriptors;
  PaneWindow quiet{};
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
  for (int point : o.excludes) {
    if (!calls.exclude) return usage("procedure " + procedure + " has no point exclusion");
    calls.exclude(kIndex, point);
  }

  // Panes: those asked for, else those the masks show.
  std::vector<int> panes = o.panes;
  if (panes.empty()) {
    for (int k = 0; k < 7; ++k)
      if ((rec->masks[0] >> k) & 1) panes.push_back(k + 1);
    for (int k = 0; k < 7; ++k)
      if ((rec->masks[1] >> k) & 1) panes.push_back(k + 8);
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

  if (o.graphs_out != nullptr)  // the report draws them after the record is gone
    for (const auto& [pane, handle] : graphs)
      if (const Graph* g = session.graphs().find(handle)) (*o.graphs_out)[pane] = *g;

  if (o.save) {
    if (!calls.vsave) return usage("procedure " + procedure + " saves no results");
    calls.vsave(kIndex, 1);
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
      std::ofstream f(path, std::ios::binary);
      f << text;
      if (!f) return usage("cannot write " + path);
    }
    for (const auto& [pane, handle] : graphs) {
      const std::string path =
          o.out_dir + "/pane" + std::to_string(pane) + "." + graph_extension(*format);
      if (!session.graphs().write(handle, *format, path, &why)) return usage(why);
    }
  }

  // The outcome as the module reports it: the whole results only for --json.
  const int error = session.module().exports().error_message(rec);
  const char* message = error > 0 ? session.module().exports().string(error) : "";
  const std::string error_text = message != nullptr ? message : "";
  if (o.json) {
    // The module's outcome text: {"error", "error_text", "results"}. A small
    // one is printed indented; a large one (a chart of 10^6 points) is spliced
    // in as the module wrote it, since building a tree of it costs seconds.
    const auto results_export = session.module().exports().results_json;
    std::string buf(1 << 20, '\0');
    int32_t need =  // a report without --json shows no results: not written
        o.skip_results ? std::snprintf(buf.data(), buf.size(), "{\"results\":{}}")
                       : results_export(rec, buf.data(), static_cast<int32_t>(buf.size()));
    if (need >= static_cast<int32_t>(buf.size())) {
      buf.assign(static_cast<size_t>(need) + 1, '\0');
      need = results_export(rec, buf.data(), static_cast<int32_t>(buf.size()));
    }
    buf.resize(static_cast<size_t>(std::max(need, 0)));
    json doc;
    doc["procedure"] = procedure;
    doc["variant"] = variant;
    doc["error"] = error;
    doc["error_text"] = error_text;
    json pane_texts = json::object();
    for (const auto& [pane, text] : texts) pane_texts[std::to_string(pane)] = text;
    doc["panes"] = pane_texts;
    // The interpretation of every pane built, with the numbers of its sentences.
    json advice = json::object();
    for (int pane : panes)
      if (texts.count(pane) || graphs.count(pane)) {
        const PaneAdvice a = pane_advice(session.module().exports(), rec, pane);
        advice[std::to_string(pane)] = {{"text", a.text}, {"sentences", a.sentences}};
      }
    doc["advice"] = advice;
    constexpr size_t kIndentedAtMost = 4 << 20;
    const json outcome = buf.size() <= kIndentedAtMost ? json::parse(buf, nullptr, false) : json();
    if (outcome.is_object()) {
      doc["results"] = outcome.value("results", json::object());
      out << doc.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
    } else {
      // The results member of the module's text, as it stands.
      const size_t at = buf.find("\"results\":");
      std::string results = at == std::string::npos ? "{}" : buf.substr(at + 10);
      if (!results.empty() && results.back() == '}') results.pop_back();  // the outer brace
      std::string head = doc.dump(-1, ' ', false, json::error_handler_t::replace);
      head.pop_back();  // reopen the object for one more member
      out << head << ",\"results\":" << results << "}\n";
    }
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
    std::fprintf(stderr, "qualty: %s\n",
                 error_text.empty() ? ("error state " + std::to_string(rec->error_state)).c_str()
                                    : error_text.c_str());
    return 1;
  }
  return 0;
}

}  // namespace qualty
