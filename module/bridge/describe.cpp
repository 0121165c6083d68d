// QualDescribe: what the module offers, as JSON, for the host's "describe".
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bridge/export_guard.h"
#include "bridge/module_state.h"
#include "bridge/procedures.h"
#include "ztqualty.h"

namespace ztq {

namespace {

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out.push_back(c);
        }
    }
  }
  return out + "\"";
}

std::string describe_module() {
  const ModuleState& s = module_state();
  std::string out = "{\"module\":\"ZTQUALTY\",\"banner\":\"DIZIDA QUALITY MODULE\",\"version\":";
  out += quoted(QUALTY_VERSION);
  out += ",\"title\":" + quoted(s.title);
  out += ",\"strings\":" + std::to_string(s.strings.size());
  out += ",\"procedures\":[";
  bool first = true;
  for (const ProcedureInfo& p : procedures()) {
    if (!first) out += ',';
    first = false;
    out += "{\"name\":" + quoted(p.name) + ",\"summary\":" + quoted(p.summary) + "}";
  }
  return out + "]}";
}

}  // namespace

}  // namespace ztq

ZTQ_EXPORT int32_t QualDescribe(const char* procedure, char* out, int32_t size) {
  return ztq::guarded_export(
      [&]() -> int32_t {
        std::string json;
        if (procedure == nullptr || procedure[0] == '\0') {
          json = ztq::describe_module();
        } else {
          const ztq::ProcedureInfo* p = ztq::find_procedure(procedure);
          if (p == nullptr) return -1;
          json = p->describe();
        }
        if (out != nullptr && size > 0) {
          const size_t n = std::min(json.size(), static_cast<size_t>(size - 1));
          std::memcpy(out, json.data(), n);
          out[n] = '\0';
        }
        return static_cast<int32_t>(json.size());
      },
      -1);
}
