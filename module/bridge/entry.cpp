// The module's start-up and shut-down and its module-level exports.
#include <cstring>

#include "bridge/export_guard.h"
#include "bridge/module_state.h"
#include "ztqualty.h"

namespace {

// Start-up runs when the host loads the module, shut-down when it unloads it.
__attribute__((constructor)) void on_load() {
  ztq::guarded_void([] { ztq::module_startup(); });
}

__attribute__((destructor)) void on_unload() {
  ztq::guarded_void([] { ztq::module_shutdown(); });
}

}  // namespace

ZTQ_EXPORT int32_t IsQualityLoaded(HostApplication* app, char* advice_buffer, int32_t advice_flag) {
  return ztq::guarded_export(
      [&] {
        ztq::ModuleState& s = ztq::module_state();
        s.app = app;
        s.advice_buffer = advice_buffer;
        s.advice_flag = advice_flag;
        if (app != nullptr) app->sheet_dialog_state = 0;
        // The regional settings come from the host's system profile, which the
        // module can reach only once the host has handed over its application.
        ztq::read_regional_settings(app);
        return 1;
      },
      1);
}

ZTQ_EXPORT void QualSetAddedText(const char* text, int32_t attribute) {
  ztq::guarded_void([&] {
    ztq::ModuleState& s = ztq::module_state();
    s.added_text = text == nullptr ? "" : text;
    s.added_attribute = attribute;
    s.added_text_pending = !s.added_text.empty();
  });
}

ZTQ_EXPORT int32_t FilterDllMsg(void* message) {
  return ztq::guarded_export([&] {
    if (message == nullptr) return 0;
    return ztq::module_state().pre_translate(message) ? 1 : 0;
  });
}

ZTQ_EXPORT int32_t ProcessDllIdle(void) {
  ztq::guarded_void([] {
    const auto& idle = ztq::module_state().on_idle;
    // Bounded: a handler that never tires would otherwise hold the host's loop.
    for (int count = 0; count < 1000000 && idle(count); ++count) {
    }
  });
  return 0;
}

ZTQ_EXPORT const char* QualVersion(void) { return QUALTY_VERSION; }

ZTQ_EXPORT const char* QualString(int32_t id) {
  return ztq::guarded_export([&] { return ztq::module_state().strings.get(id).c_str(); }, "");
}
