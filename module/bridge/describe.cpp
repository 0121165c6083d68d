// QualDescribe and QualResultsJson: what the module offers and what an
// analysis computed, as JSON for the host.
#include <algorithm>
#include <cstring>
#include <string>

#include "bridge/export_guard.h"
#include "bridge/json.h"
#include "bridge/lifecycle.h"
#include "bridge/module_state.h"
#include "bridge/procedures.h"
#include "ztqualty.h"

namespace ztq {

namespace {

std::string describe_module() {
  const ModuleState& s = module_state();
  JsonObject out;
  out.add_string("module", "ZTQUALTY");
  out.add_string("banner", "DIZIDA QUALITY MODULE");
  out.add_string("version", QUALTY_VERSION);
  out.add_string("title", s.title);
  out.add_raw("strings", std::to_string(s.strings.size()));
  std::string list = "[";
  for (const Procedure* p : procedures()) {
    JsonObject o;
    o.add_string("name", p->name());
    o.add_string("summary", p->summary());
    list += (list.size() > 1 ? "," : "") + o.str();
  }
  out.add_raw("procedures", list + "]");
  return out.str();
}

// Copies text into out (size bytes with the NUL) and returns its full length.
int32_t copy_out(const std::string& text, char* out, int32_t size) {
  if (out != nullptr && size > 0) {
    const size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
  }
  return static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
}

}  // namespace

}  // namespace ztq

ZTQ_EXPORT int32_t QualDescribe(const char* procedure, char* out, int32_t size) {
  return ztq::guarded_export(
      [&]() -> int32_t {
        if (procedure == nullptr || procedure[0] == '\0')
          return ztq::copy_out(ztq::describe_module(), out, size);
        const ztq::Procedure* p = ztq::find_procedure(procedure);
        if (p == nullptr) return -1;
        return ztq::copy_out(ztq::describe_procedure(*p), out, size);
      },
      -1);
}

ZTQ_EXPORT int32_t QualResultsJson(AnalysisRecord* record, char* out, int32_t size) {
  return ztq::guarded_export(
      [&]() -> int32_t {
        if (record == nullptr) return -1;
        const ztq::Procedure* p = ztq::procedure_of(*record);
        if (p == nullptr) return -1;
        return ztq::copy_out(ztq::lifecycle_results_json(*p, *record), out, size);
      },
      -1);
}

ZTQ_EXPORT int32_t QualResultsJsonWrite(AnalysisRecord* record, int32_t flags,
                                        QualJsonWriteFn write, void* context) {
  return ztq::guarded_export(
      [&]() -> int32_t {
        if (record == nullptr || write == nullptr) return -1;
        const ztq::Procedure* p = ztq::procedure_of(*record);
        if (p == nullptr) return -1;
        // Chunks of 1 MiB: a host that writes them out makes few system calls.
        ztq::JsonSink sink(write, context, std::size_t{1} << 20);
        sink.series = (flags & ZTQ_JSON_NO_SERIES) == 0;
        ztq::lifecycle_write_results_json(*p, *record, (flags & ZTQ_JSON_VIOLATIONS) != 0, sink);
        return sink.flush() ? 1 : 0;
      },
      0);
}

ZTQ_EXPORT int32_t QualErrorMessage(AnalysisRecord* record) {
  return ztq::guarded_export(
      [&]() -> int32_t {
        if (record == nullptr) return -1;
        const ztq::Procedure* p = ztq::procedure_of(*record);
        if (p == nullptr) return -1;
        return record->error_state != 0 ? p->error_message(*record) : 0;
      },
      -1);
}
