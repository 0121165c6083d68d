// The host application object that qualty hands to the module: its profile
// operations read and write the INI profile; the system profile is the same
// file's "Intl" section; the UI service answers message boxes.
#pragma once

#include "host/profile/ini_profile.h"
#include "host/ui/ui_service.h"
#include "ztqualty.h"

namespace qualty {

class HostApp {
 public:
  HostApp(IniProfile& profile, UiService& ui);
  HostApp(const HostApp&) = delete;
  HostApp& operator=(const HostApp&) = delete;

  HostApplication* c_object() { return &app_; }
  IniProfile& profile() { return profile_; }
  UiService& ui() { return ui_; }

 private:
  HostApplication app_{};
  IniProfile& profile_;
  UiService& ui_;
};

}  // namespace qualty
