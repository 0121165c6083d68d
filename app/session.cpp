#include "app/session.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

namespace qualty {

Session::Session(const std::string& profile_path) : profile_(profile_path), app_(profile_, ui_) {
  // A missing, unreadable or malformed profile is no reason to stop: the
  // module then works with its defaults.
  if (!profile_.error().empty()) std::fprintf(stderr, "qualty: %s\n", profile_.error().c_str());
}

bool Session::start() {
  if (!module_.load(Module::default_path())) {
    error_ = module_.error();
    return false;
  }
  module_.exports().is_quality_loaded(app_.c_object(), advice_.data(), 0);
  return true;
}

int Session::describe(const std::string& procedure, std::ostream& out) {
  const auto describe = module_.exports().describe;
  const int32_t need = describe(procedure.c_str(), nullptr, 0);
  if (need < 0) {
    std::fprintf(stderr, "qualty: unknown procedure '%s'\n", procedure.c_str());
    return 2;
  }
  std::vector<char> buf(static_cast<size_t>(need) + 1);
  describe(procedure.c_str(), buf.data(), static_cast<int32_t>(buf.size()));
  const auto json = nlohmann::json::parse(buf.data(), nullptr, false);
  if (json.is_discarded()) {
    std::fprintf(stderr, "qualty: the module's description is not valid JSON\n");
    return 2;
  }
  if (!procedure.empty()) {
    out << json.dump(2) << "\n";
    return 0;
  }
  out << json.value("banner", "") << " " << json.value("version", "") << "\n";
  out << "title: " << json.value("title", "") << "\n";
  out << "strings: " << json.value("strings", 0) << "\n";
  out << "procedures:";
  if (json["procedures"].empty()) out << " none yet";
  out << "\n";
  for (const auto& p : json["procedures"])
    out << "  " << p.value("name", "") << "  " << p.value("summary", "") << "\n";
  out << "commands: describe [PROCEDURE]\n";
  return 0;
}

}  // namespace qualty
