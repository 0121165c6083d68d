// The module's access to the host's profile (settings by section and key),
// through the host application's profile operations. Without a host, reads
// give their defaults and writes are dropped.
#pragma once

#include <cstdint>
#include <string>

#include "ztqualty.h"

namespace ztq {

class Profile {
 public:
  explicit Profile(HostApplication* app) : app_(app) {}
  int32_t get_int(const char* section, const char* key, int32_t fallback) const;
  std::string get_string(const char* section, const char* key, const std::string& fallback) const;
  void write_int(const char* section, const char* key, int32_t value) const;
  void write_string(const char* section, const char* key, const std::string& value) const;

 private:
  HostApplication* app_;
};

// The profile of the host that loaded the module.
Profile host_profile();

}  // namespace ztq
