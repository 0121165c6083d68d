#include "bridge/module_state.h"

#include <dlfcn.h>

#include <cstdio>

#include "bridge/strings.h"
#include "format/regional.h"

namespace ztq {

ModuleState& module_state() {
  // Never destroyed: the unload hook still uses it after static destructors ran.
  static ModuleState* state = new ModuleState;
  return *state;
}

std::string module_folder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&module_folder), &info) == 0 || info.dli_fname == nullptr)
    return {};
  std::string path = info.dli_fname;
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

void module_startup(const std::string& folder) {
  ModuleState& s = module_state();
  const std::string dir = folder.empty() ? module_folder() : folder;
  s.strings_loaded = !dir.empty() && s.strings.load_file(dir + "/qualres.txt");
  s.title = text(Str::kAppTitle);
  set_regional(Regional{});
}

namespace {

std::string system_string(HostApplication* app, const char* key, const char* fallback,
                          size_t max_len) {
  if (app == nullptr || app->get_system_profile_string == nullptr) return fallback;
  char buf[256] = {};
  app->get_system_profile_string(app, "Intl", key, fallback, buf, static_cast<int32_t>(sizeof buf));
  buf[sizeof buf - 1] = '\0';
  std::string v = buf;
  if (v.size() > max_len) v.resize(max_len);
  return v;
}

int system_int(HostApplication* app, const char* key, int fallback) {
  if (app == nullptr || app->get_system_profile_int == nullptr) return fallback;
  return app->get_system_profile_int(app, "Intl", key, fallback);
}

char first_or(const std::string& s, char fallback) { return s.empty() ? fallback : s[0]; }

}  // namespace

void read_regional_settings(HostApplication* app) {
  Regional r;
  r.lzero = system_int(app, "iLzero", 1) != 0 ? 1 : 0;
  const char dec = first_or(system_string(app, "sDecimal", ".", 1), '.');
  r.decimal = usable_decimal_separator(dec) ? dec : '.';
  const char list = first_or(system_string(app, "sList", ",", 1), ',');
  r.list = usable_decimal_separator(list) ? list : ',';
  r.short_date = system_string(app, "sShortdate", "M/D/YY", 20);  // at most 20 characters
  if (r.short_date.empty()) r.short_date = "M/D/YY";
  r.tlzero = system_int(app, "iTLZero", 0) != 0 ? 1 : 0;
  r.time_format = system_int(app, "iTime", 0) != 0 ? 1 : 0;
  const char tsep = first_or(system_string(app, "sTime", ":", 1), ':');
  r.time_sep = usable_decimal_separator(tsep) ? tsep : ':';
  r.am = system_string(app, "s1159", "AM", 8);
  r.pm = system_string(app, "s2359", "PM", 8);
  derive_date_order(r.short_date, r);
  set_regional(r);
}

void module_shutdown() {
  ModuleState& s = module_state();
  s.strings.clear();
  s.strings_loaded = false;
  s.title.clear();
  s.added_text.clear();
  s.app = nullptr;
  s.advice_buffer = nullptr;
}

int32_t message_of_error_state(int32_t error_state) {
  switch (error_state) {
    case 1:
      return static_cast<int32_t>(Str::kErrReserved);
    case 2:
      return static_cast<int32_t>(Str::kErrNoDataBlock);
    case 3:
      return static_cast<int32_t>(Str::kErrNoValidData);
    default:
      return error_state;
  }
}

const std::string& text(Str id) { return module_state().strings.get(static_cast<int32_t>(id)); }

std::string text_with(Str id, int value) {
  const std::string& format = text(id);
  std::string out;
  const size_t at = format.find("%d");
  if (at == std::string::npos) return format;
  out = format.substr(0, at) + std::to_string(value) + format.substr(at + 2);
  return out;
}

std::string text_with(Str id, const std::string& value) {
  const std::string& format = text(id);
  const size_t at = format.find("%s");
  if (at == std::string::npos) return format;
  return format.substr(0, at) + value + format.substr(at + 2);
}

}  // namespace ztq
