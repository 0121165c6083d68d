// One run of qualty: the profile, the UI service, the host application object
// with its three components, and the loaded module, started as the real host
// starts them.
#pragma once

#include <array>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/module_loader.h"
#include "host/advise/advisor.h"
#include "host/graph/graph_component.h"
#include "host/profile/host_application.h"
#include "host/profile/ini_profile.h"
#include "host/sheet/data_sheet.h"
#include "host/sheet/spread_ops.h"
#include "host/ui/ui_service.h"

namespace qualty {

class Session {
 public:
  explicit Session(const std::string& profile_path);
  // Writes the profile's pending changes (a failure is reported, not fatal).
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Loads the module and hands it the host application. False with error().
  bool start();
  const std::string& error() const { return error_; }

  // Puts a data sheet behind the ZTSPREAD component.
  void attach_sheet(DataSheet sheet);
  DataSheet& sheet() { return sheet_; }
  // Tells the module again about the application, with the advice flag.
  void set_advice(bool on);

  int describe(const std::string& procedure, std::ostream& out);
  // The module's description as JSON text ("" for an unknown procedure).
  std::string description(const std::string& procedure);

  Module& module() { return module_; }
  UiService& ui() { return ui_; }
  IniProfile& profile() { return profile_; }
  GraphComponent& graphs() { return *graphs_; }
  HostApplication* app() { return app_.c_object(); }

 private:
  IniProfile profile_;
  UiService ui_;
  HostApp app_;
  Module module_;
  DataSheet sheet_;
  std::unique_ptr<SpreadState> spread_state_;
  ZtSpread spread_{};
  std::unique_ptr<GraphComponent> graphs_;
  std::unique_ptr<Advisor> advisor_;
  std::array<char, 8192> advice_{};
  std::string error_;
};

}  // namespace qualty
