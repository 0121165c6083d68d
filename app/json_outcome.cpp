#include "app/json_outcome.h"

#include <string>

namespace qualty {
namespace {

using nlohmann::json;

// Above this the results are not parsed into a tree (which costs seconds for
// 10^6 points) but passed through as the module writes them.
constexpr std::size_t kIndentedAtMost = 4 << 20;

struct Stream {
  std::ostream* out;
  const json* doc;
  std::string results;     // held while the whole is small
  std::string violations;  // likewise
  bool in_violations = false;
  bool passing = false;            // the held text has gone out; the rest follows it
  bool violations_opened = false;  // ,"violations": written

  // The document compact, reopened for the results member.
  void open_results() {
    std::string head = doc->dump(-1, ' ', false, json::error_handler_t::replace);
    head.pop_back();
    *out << head << ",\"results\":";
  }
  void open_violations() {
    *out << ",\"violations\":";
    violations_opened = true;
  }
};

int32_t take(void* context, const char* bytes, int32_t count) {
  auto* s = static_cast<Stream*>(context);
  const auto n = static_cast<std::size_t>(count);
  if (!s->passing) {
    if (s->results.size() + s->violations.size() + n <= kIndentedAtMost) {
      std::string& held = s->in_violations ? s->violations : s->results;
      // Room for all that may be held, once: no copies as it grows (pages
      // are only taken as they are written).
      if (held.empty()) held.reserve(kIndentedAtMost);
      held.append(bytes, n);
      return 1;
    }
    // Too large to indent: what is held goes out, then this piece after it.
    s->passing = true;
    s->open_results();
    if (s->in_violations)
      *s->out << (s->results.empty() ? std::string("{}") : s->results);
    else
      *s->out << s->results;
    std::string().swap(s->results);
    if (s->in_violations) {
      s->open_violations();
      *s->out << s->violations;
      std::string().swap(s->violations);
    }
  }
  if (s->in_violations && !s->violations_opened) s->open_violations();
  s->out->write(bytes, count);
  return s->out->good() ? 1 : 0;
}

}  // namespace

void print_json_outcome(std::ostream& out, json doc, const ModuleExports& exports,
                        AnalysisRecord* record, JsonResults results) {
  Stream s{&out, &doc, {}, {}};
  if (results != JsonResults::none) {
    const int32_t series = results == JsonResults::summary ? ZTQ_JSON_NO_SERIES : 0;
    exports.results_json_write(record, series, take, &s);
    s.in_violations = true;
    exports.results_json_write(record, series | ZTQ_JSON_VIOLATIONS, take, &s);
  }
  if (s.passing) {
    if (!s.violations_opened) out << ",\"violations\":[]";
    out << "}\n";
    return;
  }
  const json r = json::parse(s.results, nullptr, false);
  doc["results"] = r.is_object() ? r : json::object();
  const json v = json::parse(s.violations, nullptr, false);
  doc["violations"] = v.is_array() ? v : json::array();
  out << doc.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
}

}  // namespace qualty
