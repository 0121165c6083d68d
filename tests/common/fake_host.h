// A host application backed by maps, for tests of the module's settings and
// messages without the stand-in host.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ztqualty.h"

namespace ztq::testing {

struct FakeHost {
  std::map<std::string, std::string> profile;  // "SECTION/key" -> value
  std::map<std::string, std::string> system;   // "Intl/key" -> value
  std::vector<std::string> boxes;              // caption + "|" + text
  int32_t answer = ZTQ_IDYES;
  HostApplication app{};

  FakeHost() {
    app.host = this;
    app.get_profile_int = [](HostApplication* a, const char* s, const char* k, int32_t d) {
      return lookup_int(self(a).profile, s, k, d);
    };
    app.get_profile_string = [](HostApplication* a, const char* s, const char* k, const char* d,
                                char* out, int32_t size) {
      return lookup_string(self(a).profile, s, k, d, out, size);
    };
    app.write_profile_int = [](HostApplication* a, const char* s, const char* k, int32_t v) {
      self(a).profile[std::string(s) + "/" + k] = std::to_string(v);
      return 1;
    };
    app.write_profile_string = [](HostApplication* a, const char* s, const char* k, const char* v) {
      self(a).profile[std::string(s) + "/" + k] = v;
      return 1;
    };
    app.get_system_profile_int = [](HostApplication* a, const char* s, const char* k, int32_t d) {
      return lookup_int(self(a).system, s, k, d);
    };
    app.get_system_profile_string = [](HostApplication* a, const char* s, const char* k,
                                       const char* d, char* out, int32_t size) {
      return lookup_string(self(a).system, s, k, d, out, size);
    };
    app.message_box = [](HostApplication* a, const char* c, const char* t, int32_t style) {
      self(a).boxes.push_back(std::string(c) + "|" + t);
      return style >= ZTQ_BOX_YES_NO ? self(a).answer : 1;
    };
  }
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  static FakeHost& self(HostApplication* a) { return *static_cast<FakeHost*>(a->host); }
  static int32_t lookup_int(const std::map<std::string, std::string>& m, const char* s,
                            const char* k, int32_t d) {
    const auto it = m.find(std::string(s) + "/" + k);
    return it == m.end() ? d : std::atoi(it->second.c_str());
  }
  static int32_t lookup_string(const std::map<std::string, std::string>& m, const char* s,
                               const char* k, const char* d, char* out, int32_t size) {
    const auto it = m.find(std::string(s) + "/" + k);
    const std::string v = it == m.end() ? d : it->second;
    const size_t n = std::min(v.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, v.data(), n);
    out[n] = '\0';
    return static_cast<int32_t>(n);
  }
};

}  // namespace ztq::testing
