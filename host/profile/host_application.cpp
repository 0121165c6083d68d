#include "host/profile/host_application.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace qualty {

namespace {

HostApp& self(HostApplication* app) { return *static_cast<HostApp*>(app->host); }

std::string str(const char* s) { return s == nullptr ? std::string() : std::string(s); }

int32_t copy_out(const std::string& value, char* out, int32_t size) {
  if (out == nullptr || size <= 0) return 0;
  const size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
  return static_cast<int32_t>(n);
}

int32_t get_int(HostApplication* app, const char* section, const char* key, int32_t def) {
  return self(app).profile().get_int(str(section), str(key), def);
}

int32_t get_string(HostApplication* app, const char* section, const char* key, const char* def,
                   char* out, int32_t size) {
  return copy_out(self(app).profile().get_string(str(section), str(key), str(def)), out, size);
}

int32_t write_int(HostApplication* app, const char* section, const char* key, int32_t value) {
  return self(app).profile().set(str(section), str(key), std::to_string(value)) ? 1 : 0;
}

int32_t write_string(HostApplication* app, const char* section, const char* key,
                     const char* value) {
  return self(app).profile().set(str(section), str(key), str(value)) ? 1 : 0;
}

int32_t message_box(HostApplication* app, const char* caption, const char* text, int32_t style) {
  return self(app).ui().message_box(caption, text, style);
}

void wait_cursor(HostApplication* app, int32_t show) { self(app).ui().wait_cursor(show); }

int32_t run_form(HostApplication* app, ZtForm* form) { return self(app).ui().run_form(form); }

}  // namespace

HostApp::HostApp(IniProfile& profile, UiService& ui) : profile_(profile), ui_(ui) {
  app_.host = this;
  app_.get_profile_int = get_int;
  app_.get_profile_string = get_string;
  app_.write_profile_int = write_int;
  app_.write_profile_string = write_string;
  // The system profile's "Intl" section lives in the same file.
  app_.get_system_profile_int = get_int;
  app_.get_system_profile_string = get_string;
  app_.message_box = message_box;
  app_.wait_cursor = wait_cursor;
  app_.run_form = run_form;
  app_.platform_id = 2;  // a 32-bit-hosted platform: panes are window texts
}

}  // namespace qualty
