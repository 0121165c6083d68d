#include "format/options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace ztq {

namespace {

std::string key(const char* prefix, int k) { return prefix + std::to_string(k); }

bool blank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

}  // namespace

void write_int_option(const Profile& profile, const char* section, int k, const int32_t* option) {
  profile.write_int(section, key("option", k).c_str(), option[k]);
}

void read_int_option(const Profile& profile, const char* section, int k, int32_t* option) {
  option[k] = profile.get_int(section, key("option", k).c_str(), option[k]);
}

void write_real_option(const Profile& profile, const char* section, int k, const double* doption) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", doption[k]);
  profile.write_string(section, key("doption", k).c_str(), buf);
}

void read_real_option(const Profile& profile, const char* section, int k, double* doption) {
  const std::string text = profile.get_string(section, key("doption", k).c_str(), "");
  if (blank(text)) return;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || !std::isfinite(v)) return;  // hand-edited garbage keeps the option
  doption[k] = v;
}

}  // namespace ztq
