// The exports of the control-chart family. Each runs through guarded_export
// and the common lifecycle; the chart-type code travels as the record's
// variant. IndividDialog and AchartDialog open the same input form as
// VchartDialog; for codes 18 to 21 a second form asks for the upper and
// lower specification limit, which Setup stores in `doption16` and `doption18`
// after the defaults of a new analysis.
#include <cstdint>

#include "bridge/analysis.h"
#include "bridge/export_guard.h"
#include "bridge/forms.h"
#include "bridge/lifecycle.h"
#include "charts/vchart_family.h"
#include "format/numfmt.h"
#include "stats/guarded.h"
#include "ztqualty_procedures.h"

namespace ztq {
namespace {

struct PendingSpecification {
  bool given = false;
  double usl = kMissing;
  double lsl = kMissing;
};
PendingSpecification g_specification;

// The form of the specification limits of codes 18 to 21 (-32768: none).
bool ask_specification(int32_t index, int32_t reuse) {
  const AnalysisRecord* r = reuse != 0 ? record_at(index) : nullptr;
  const double usl = r != nullptr ? r->doption[16] : kMissing;
  const double lsl = r != nullptr ? r->doption[18] : kMissing;
  Form form(2, vchart().name());
  form.add("doption16", text(Str::kVcDopt16), ZTQ_FIELD_REAL, format_sig(usl, 32, 15));
  form.add("doption18", text(Str::kVcDopt18), ZTQ_FIELD_REAL, format_sig(lsl, 32, 15));
  if (!form.ask()) return false;
  PendingSpecification p;
  p.given = true;
  if (!parse_form_number(form.value("doption16"), p.usl)) p.usl = kMissing;
  if (!parse_form_number(form.value("doption18"), p.lsl)) p.lsl = kMissing;
  g_specification = p;
  return true;
}

int32_t chart_dialog(int32_t index, HostContext* context, int32_t reuse, int32_t code) {
  g_specification = PendingSpecification{};
  const int32_t accepted = lifecycle_dialog(vchart(), index, context, reuse);
  if (accepted == 0 || index < 0) return accepted;
  if (code >= 18 && code <= 21 && !ask_specification(index, reuse)) return 0;
  return 1;
}

void chart_setup(int32_t index, AnalysisRecord* record, AnalysisWindow* window, char* out_text,
                 int32_t reuse, int32_t code) {
  lifecycle_setup(vchart(), index, record, window, out_text, reuse, code);
  if (record != nullptr && g_specification.given) {
    record->doption[16] = g_specification.usl;
    record->doption[18] = g_specification.lsl;
  }
  g_specification = PendingSpecification{};
}

int32_t chart_begin(int32_t index, int32_t code, int32_t reset) {
  AnalysisRecord* r = record_at(index);
  if (r == nullptr) return 0;
  r->variant = code;
  if (reset != 0 && r->excluded != nullptr)
    for (int32_t i = 0; i < r->point_count; ++i) r->excluded[i] = 0;
  return lifecycle_begin(vchart(), index);
}

}  // namespace
}  // namespace ztq

ZTQ_EXPORT int32_t VchartDialog(int32_t index, HostContext* context, int32_t reuse, int32_t code,
                                int32_t, int32_t) {
  return ztq::guarded_export([&] { return ztq::chart_dialog(index, context, reuse, code); });
}

ZTQ_EXPORT int32_t IndividDialog(int32_t index, HostContext* context, int32_t reuse, int32_t code,
                                 int32_t, int32_t) {
  return ztq::guarded_export([&] { return ztq::chart_dialog(index, context, reuse, code); });
}

ZTQ_EXPORT int32_t AchartDialog(int32_t index, HostContext* context, int32_t reuse, int32_t code,
                                int32_t, int32_t) {
  return ztq::guarded_export([&] { return ztq::chart_dialog(index, context, reuse, code); });
}

ZTQ_EXPORT void VchartSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                            char* out_text, int32_t reuse, int32_t code) {
  ztq::guarded_void([&] { ztq::chart_setup(index, record, window, out_text, reuse, code); });
}

ZTQ_EXPORT int32_t VchartBegin(int32_t index, int32_t code, int32_t reset) {
  return ztq::guarded_export([&] { return ztq::chart_begin(index, code, reset); });
}

ZTQ_EXPORT int32_t VchartBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                    HostContext* context, SheetState* sheet_state,
                                    SheetWindow* sheet_window, int32_t code) {
  return ztq::guarded_export([&] {
    return ztq::lifecycle_begin_again(ztq::vchart(), index, record, window, context, sheet_state,
                                      sheet_window, code);
  });
}

ZTQ_EXPORT int32_t VchartItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor, int32_t) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_item(ztq::vchart(), pane_window, index, pane, descriptor); });
}

ZTQ_EXPORT int32_t VchartOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor, int32_t) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_opts(ztq::vchart(), pane_window, index, pane, descriptor); });
}

ZTQ_EXPORT int32_t AchartOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor, int32_t) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_opts(ztq::vchart(), pane_window, index, pane, descriptor); });
}

ZTQ_EXPORT void VchartVsave(int32_t index, int32_t automatic) {
  ztq::guarded_void([&] { ztq::lifecycle_vsave(ztq::vchart(), index, automatic); });
}

ZTQ_EXPORT int32_t VchartExclude(int32_t index, int32_t point) {
  return ztq::guarded_export([&] { return ztq::lifecycle_exclude(ztq::vchart(), index, point); });
}
