#include "bridge/profile.h"

#include <vector>

#include "bridge/module_state.h"

namespace ztq {

int32_t Profile::get_int(const char* section, const char* key, int32_t fallback) const {
  if (app_ == nullptr || app_->get_profile_int == nullptr) return fallback;
  return app_->get_profile_int(app_, section, key, fallback);
}

std::string Profile::get_string(const char* section, const char* key,
                                const std::string& fallback) const {
  if (app_ == nullptr || app_->get_profile_string == nullptr) return fallback;
  std::vector<char> buf(1024, '\0');
  app_->get_profile_string(app_, section, key, fallback.c_str(), buf.data(),
                           static_cast<int32_t>(buf.size()));
  buf.back() = '\0';
  return buf.data();
}

void Profile::write_int(const char* section, const char* key, int32_t value) const {
  if (app_ != nullptr && app_->write_profile_int != nullptr)
    app_->write_profile_int(app_, section, key, value);
}

void Profile::write_string(const char* section, const char* key, const std::string& value) const {
  if (app_ != nullptr && app_->write_profile_string != nullptr)
    app_->write_profile_string(app_, section, key, value.c_str());
}

Profile host_profile() { return Profile(module_state().app); }

}  // namespace ztq
