#include "app/report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <set>
#include <sstream>

#include "app/analysis_file.h"
#include "app/report_html.h"
#include "app/report_pdf.h"
#include "app/report_words.h"
#include "app/report_write.h"
#include "host/graph/graph_file.h"

namespace qualty {

namespace {

using nlohmann::json;

std::string lf(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s)
    if (c != '\r') out.push_back(c);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string intl(Session& session, const char* key, const char* fallback) {
  HostApplication* app = session.app();
  if (app == nullptr || app->get_system_profile_string == nullptr) return fallback;
  std::array<char, 64> buf{};
  app->get_system_profile_string(app, "Intl", key, fallback, buf.data(),
                                 static_cast<int32_t>(buf.size()));
  buf.back() = '\0';
  return buf[0] != '\0' ? buf.data() : fallback;
}

bool ends_with(const std::string& s, const std::string& tail) {
  if (s.size() < tail.size()) return false;
  return std::equal(tail.rbegin(), tail.rend(), s.rbegin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

// The section's title, variables and data file, before anything has run.
void describe_analysis(Session& session, const RunOptions& o, const std::string& procedure,
                       ReportAnalysis& a) {
  a.procedure = procedure;
  a.source = o.reopen;
  a.data = o.data;
  file_crc32(o.data, a.data_bytes, a.data_crc);
  const json d = json::parse(session.description(procedure), nullptr, false);
  a.title = d.is_object() && !procedure.empty() ? d.value("title", procedure) : procedure;
  if (a.title.empty()) a.title = o.reopen.empty() ? o.data : o.reopen;
  for (const std::string& v : o.vars) {
    const size_t eq = v.find('=');
    if (eq != std::string::npos) a.variables.emplace_back(v.substr(0, eq), v.substr(eq + 1));
  }
}

void print_like_run(const RunOptions& user, const std::string& captured, const json& doc,
                    const std::map<int, Graph>& graphs, std::ostream& out) {
  if (user.json) {
    out << captured;
    return;
  }
  if (!doc.is_object()) return;
  const json panes = doc.value("panes", json::object());
  const json advice = doc.value("advice", json::object());
  for (const auto& [pane, text] : panes.items())
    if (text.is_string()) out << lf(text.get<std::string>()) << "\n\n";
  for (const auto& [pane, g] : graphs) {
    if (!user.out_dir.empty())
      out << "pane " << pane << ": " << user.out_dir << "/pane" << pane << "." << user.format
          << "\n";
    if (user.advice) {
      if (user.out_dir.empty()) out << "pane " << pane << ":\n";
      const auto a = advice.find(std::to_string(pane));
      out << (a != advice.end() && a->is_object() ? lf(a->value("text", "")) : "") << "\n";
    }
  }
}

}  // namespace

Report start_report(Session& session, const std::string& title) {
  Report r;
  r.words.text = [&session](int n) -> std::string {
    const auto fn = session.module().exports().string;
    const char* s = fn != nullptr ? fn(n) : nullptr;
    return s != nullptr ? s : "";
  };
  const std::string dec = intl(session, "sDecimal", ".");
  r.words.decimal = dec.empty() ? '.' : dec[0];
  r.words.date_picture = intl(session, "sShortdate", "M/D/YY");
  r.title = title.empty() ? r.words.word(kWordReportTitle, "Quality report") : title;
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  r.created = format_date_time(r.words.date_picture, t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                               t.tm_hour, t.tm_min);
  r.version = QUALTY_VERSION;
  return r;
}

int add_to_report(Session& session, RunOptions o, Report& report, std::ostream* out) {
  const RunOptions user = o;
  std::map<int, Graph> graphs;
  o.json = true;
  o.skip_results = !user.json;
  o.graphs_out = &graphs;
  std::string procedure = o.procedure;
  AnalysisFile saved;
  std::string why;
  if (!o.reopen.empty() && read_analysis_file(o.reopen, saved, why)) procedure = saved.procedure;

  ReportAnalysis a;
  describe_analysis(session, o, procedure, a);
  if (!o.reopen.empty() && why.empty()) {
    const json d = json::parse(session.description(procedure), nullptr, false);
    const json roles = d.is_object() ? d.value("roles", json::array()) : json::array();
    for (size_t k = 0; k < saved.expressions.size(); ++k)
      if (!saved.expressions[k].empty())
        a.variables.emplace_back(
            k < roles.size() ? roles[k].value("role", "") : std::to_string(k + 1),
            saved.expressions[k]);
  }

  std::ostringstream captured;
  const int status = run_analysis(session, o, captured);
  const std::string text = captured.str();
  // The results member is not shown and may hold 10^6 points: skipped unbuilt.
  const json::parser_callback_t skip_results = [](int depth, json::parse_event_t event,
                                                  json& parsed) {
    return !(depth == 1 && event == json::parse_event_t::key && parsed == "results");
  };
  const json doc = json::parse(text, skip_results, false);
  if (out != nullptr) print_like_run(user, text, doc, graphs, *out);
  if (!doc.is_object()) {  // refused before it ran: the reason went to standard error
    a.error = report.words.word(kWordNotReopened, "This analysis could not be reopened: %s");
    const std::string reason =
        why.empty() ? (o.reopen.empty() ? o.data : o.reopen + ", " + o.data) : why;
    const size_t at = a.error.find("%s");
    if (at != std::string::npos) a.error.replace(at, 2, reason);
    report.analyses.push_back(std::move(a));
    return status;
  }
  if (doc.value("error", 0) > 0) a.error = doc.value("error_text", "");
  if (doc.contains("options")) {
    a.has_options = true;
    a.options = json_table(doc["options"]);
  }
  if (doc.contains("violations")) {
    a.has_violations = true;
    a.violations = json_table(doc["violations"]);
  }
  const json panes = doc.value("panes", json::object());
  // The analysis is named as its first pane names itself.
  const std::string first = lf(panes.value("1", ""));
  const std::string heading = first.substr(0, first.find('\n'));
  if (heading.find_first_not_of(' ') != std::string::npos) a.title = heading;
  std::set<int> numbers;
  for (const auto& [k, v] : panes.items()) numbers.insert(std::atoi(k.c_str()));
  for (const auto& [k, g] : graphs) numbers.insert(k);
  const json advice = doc.value("advice", json::object());
  for (int n : numbers) {
    ReportPane p;
    p.number = n;
    const std::string key = std::to_string(n);
    if (auto g = graphs.find(n); g != graphs.end()) {
      p.graph = true;
      p.drawn = g->second;
      p.svg = render_svg(p.drawn);
    } else {
      p.text = lf(panes.value(key, ""));
    }
    if (advice.contains(key)) p.advice = lf(advice[key].value("text", ""));
    a.panes.push_back(std::move(p));
  }
  report.analyses.push_back(std::move(a));
  return status;
}

int write_report(const Report& report, const std::string& path) {
  std::string bytes, why;
  if (ends_with(path, ".pdf")) {
    if (!report_pdf(report, bytes, why)) {
      std::fprintf(stderr, "qualty: %s\n", why.c_str());
      return 2;
    }
  } else {
    bytes = report_html(report);
  }
  if (!write_file_whole(path, bytes, why)) {
    std::fprintf(stderr, "qualty: %s\n", why.c_str());
    return 2;
  }
  return 0;
}

int run_with_report(Session& session, const RunOptions& options, std::ostream& out) {
  std::string why;
  if (!output_folder_exists(options.report, why)) {
    std::fprintf(stderr, "qualty: %s\n", why.c_str());
    return 2;
  }
  Report report = start_report(session, "");
  const int status = add_to_report(session, options, report, &out);
  if (status == 2) return 2;  // nothing ran: no report
  report.title = report.analyses.front().title;
  const int written = write_report(report, options.report);
  return written != 0 ? written : status;
}

int report_command(Session& session, const std::string& path, const std::vector<std::string>& items,
                   const std::string& title) {
  std::string why;
  if (items.empty() || items.size() % 2 != 0) {
    std::fprintf(stderr, "qualty: report takes analysis files each followed by its data sheet\n");
    return 2;
  }
  if (!output_folder_exists(path, why)) {
    std::fprintf(stderr, "qualty: %s\n", why.c_str());
    return 2;
  }
  Report report = start_report(session, title);
  int status = 0;
  for (size_t k = 0; k < items.size(); k += 2) {
    RunOptions o;
    o.reopen = items[k];
    o.data = items[k + 1];
    // An analysis that cannot be reopened is named in the report; the rest go on.
    status = std::max(status, std::min(add_to_report(session, o, report, nullptr), 1));
  }
  const int written = write_report(report, path);
  return written != 0 ? written : status;
}

}  // namespace qualty
