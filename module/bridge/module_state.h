// Module-wide state: one instance per loaded module, set by the host's calls.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "resources/string_table.h"
#include "ztqualty.h"

namespace ztq {

struct ModuleState {
  HostApplication* app = nullptr;  // profile, system profile, UI service, components
  char* advice_buffer = nullptr;   // 8192 bytes of the host's
  int32_t advice_flag = 0;         // non-zero: advice is appended to text panes
  std::string added_text;          // consumed by the next graph pane
  int32_t added_attribute = 0;
  bool added_text_pending = false;      // a non-empty added text forces a rebuild
  SheetState* sheet_state = nullptr;    // from BeginAgain: changed is set after saving
  SheetWindow* sheet_window = nullptr;  // from BeginAgain: gets the command before saving
  std::string title;                    // application title, string 57344
  StringTable strings;
  bool strings_loaded = false;
  // Idle processing: called with 0, 1, 2, ... until it returns false. The
  // module has no modeless dialogs of its own, so by default it has nothing to do.
  std::function<bool(int)> on_idle = [](int) { return false; };
  // Pre-translation of window messages for modeless dialogs; none by default.
  std::function<bool(void*)> pre_translate = [](void*) { return false; };
};

ModuleState& module_state();

// Start-up: loads the string table from the given folder (or beside the
// module when empty), takes the application title and resets the regional
// settings to their defaults. Never fails: a missing table leaves it empty.
void module_startup(const std::string& folder = {});
// Reads the regional settings from the system profile section "Intl" through
// the host application (defaults where the host has none or they are absurd).
void read_regional_settings(HostApplication* app);
void module_shutdown();

// The folder that holds the loaded module (empty when unknown).
std::string module_folder();

}  // namespace ztq
