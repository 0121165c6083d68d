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
  profile_.set_deferred(true);
  SettingsStore store;
  store.get = [this](const std::string& section, const std::string& key,
                     const std::string& fallback) {
    return profile_.get_string(section, key, fallback);
  };
  store.set = [this](const std::string& section, const std::string& key, const std::string& value) {
    profile_.set(section, key, value);
  };
  graphs_ = std::make_unique<GraphComponent>(store);
  app_.c_object()->graph = graphs_->component();
  attach_sheet(DataSheet{});
}

Session::~Session() {
  if (!profile_.flush()) std::fprintf(stderr, "qualty: %s\n", profile_.error().c_str());
}

void Session::attach_sheet(DataSheet sheet) {
  sheet_ = std::move(sheet);
  spread_state_ = std::make_unique<SpreadState>(sheet_);
  spread_ = make_spread_ops(*spread_state_);
  app_.c_object()->spread = &spread_;
}

bool Session::start() {
  if (!module_.load(Module::default_path())) {
    error_ = module_.error();
    return false;
  }
  advisor_ = std::make_unique<Advisor>(module_.exports().interpret);
  app_.c_object()->advise = advisor_->component();
  module_.exports().is_quality_loaded(app_.c_object(), advice_.data(), 0);
  return true;
}

void Session::set_advice(bool on) {
  module_.exports().is_quality_loaded(app_.c_object(), advice_.data(), on ? 1 : 0);
}

std::string Session::description(const std::string& procedure) {
  const auto describe = module_.exports().describe;
  const int32_t need = describe(procedure.c_str(), nullptr, 0);
  if (need < 0) return {};
  std::vector<char> buf(static_cast<size_t>(need) + 1);
  describe(procedure.c_str(), buf.data(), static_cast<int32_t>(buf.size()));
  return buf.data();
}

int Session::describe(const std::string& procedure, std::ostream& out) {
  const std::string text = description(procedure);
  if (text.empty()) {
    std::fprintf(stderr, "qualty: unknown procedure '%s'\n", procedure.c_str());
    return 2;
  }
  const auto json = nlohmann::json::parse(text, nullptr, false);
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
  out << "commands: describe [PROCEDURE], dist, run PROCEDURE DATA.csv, reopen FILE DATA.csv\n";
  return 0;
}

}  // namespace qualty
