// One run of qualty: the profile, the UI service, the host application object
// and the loaded module, started as the real host starts them.
#pragma once

#include <array>
#include <iosfwd>
#include <string>

#include "app/module_loader.h"
#include "host/profile/host_application.h"
#include "host/profile/ini_profile.h"
#include "host/ui/ui_service.h"

namespace qualty {

class Session {
 public:
  explicit Session(const std::string& profile_path);

  // Loads the module and hands it the host application. False with error().
  bool start();
  const std::string& error() const { return error_; }

  int describe(const std::string& procedure, std::ostream& out);

  Module& module() { return module_; }
  UiService& ui() { return ui_; }
  IniProfile& profile() { return profile_; }

 private:
  IniProfile profile_;
  UiService ui_;
  HostApp app_;
  Module module_;
  std::array<char, 8192> advice_{};
  std::string error_;
};

}  // namespace qualty
