// The Capable family's exports: CapableDialog .. CapableOpts, through the
// common lifecycle. The variant (0 analysis, 1 individuals capability chart,
// 2 subgrouped capability chart) is the trailing argument of Dialog, Setup
// and BeginAgain.
#include "bridge/export_guard.h"
#include "bridge/lifecycle.h"
#include "capability/capable_family.h"
#include "ztqualty_procedures.h"

ZTQ_EXPORT int32_t CapableDialog(int32_t index, HostContext* context, int32_t reuse,
                                 int32_t /*variant*/) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_dialog(ztq::capable_procedure(), index, context, reuse); });
}

ZTQ_EXPORT void CapableSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                             char* out_text, int32_t reuse, int32_t variant) {
  ztq::guarded_void([&] {
    ztq::lifecycle_setup(ztq::capable_procedure(), index, record, window, out_text, reuse,
                         variant == 1 || variant == 2 ? variant : 0);
  });
}

ZTQ_EXPORT int32_t CapableBegin(int32_t index) {
  return ztq::guarded_export([&] { return ztq::lifecycle_begin(ztq::capable_procedure(), index); });
}

ZTQ_EXPORT int32_t CapableBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                     HostContext* context, SheetState* sheet_state,
                                     SheetWindow* sheet_window, int32_t variant) {
  return ztq::guarded_export([&] {
    return ztq::lifecycle_begin_again(ztq::capable_procedure(), index, record, window, context,
                                      sheet_state, sheet_window,
                                      variant == 1 || variant == 2 ? variant : 0);
  });
}

ZTQ_EXPORT int32_t CapableItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                               ZtGraphDescriptor* descriptor) {
  return ztq::guarded_export([&] {
    return ztq::lifecycle_item(ztq::capable_procedure(), pane_window, index, pane, descriptor);
  });
}

ZTQ_EXPORT int32_t CapableOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                               ZtGraphDescriptor* descriptor) {
  return ztq::guarded_export([&] {
    return ztq::lifecycle_opts(ztq::capable_procedure(), pane_window, index, pane, descriptor);
  });
}
