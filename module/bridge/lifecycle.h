// The common protocol of every procedure family, written once. A family's
// exports call these with their procedure; trailing arguments that a family
// lacks are passed as 0.
#pragma once

#include <cstdint>

#include "bridge/procedure.h"
#include "ztqualty.h"

namespace ztq {

int32_t lifecycle_dialog(const Procedure& p, int32_t index, HostContext* ctx, int32_t reuse);
void lifecycle_setup(const Procedure& p, int32_t index, AnalysisRecord* record,
                     AnalysisWindow* window, char* out_text, int32_t reuse, int32_t variant);
int32_t lifecycle_begin(const Procedure& p, int32_t index);
int32_t lifecycle_begin_again(const Procedure& p, int32_t index, AnalysisRecord* record,
                              AnalysisWindow* window, HostContext* ctx, SheetState* sheet_state,
                              SheetWindow* sheet_window, int32_t variant);
int32_t lifecycle_item(const Procedure& p, PaneWindow* pane_window, int32_t index, int32_t pane,
                       ZtGraphDescriptor* descriptor);
int32_t lifecycle_opts(const Procedure& p, PaneWindow* pane_window, int32_t index, int32_t pane,
                       ZtGraphDescriptor* descriptor);
void lifecycle_vsave(const Procedure& p, int32_t index, int32_t automatic);
int32_t lifecycle_exclude(const Procedure& p, int32_t index, int32_t point);

// The Setup output buffer holds the window title and each expression as
// consecutive NUL-terminated strings; hosts give at least this many bytes.
inline constexpr int32_t kSetupTextSize =
    (ZTQ_MAX_VARIABLES_PER_ANALYSIS + 4) * ZTQ_EXPRESSION_SIZE;

// The outcome of an analysis as one JSON object, for QualResultsJson:
// {"error": message number or 0, "error_text", "results": {...}}.
std::string lifecycle_results_json(const Procedure& p, AnalysisRecord& record);
// The "results" member's object alone (VIOLATIONS false) or the "violations"
// array alone (nothing when the procedure flags none), written to SINK as it
// is formed, for QualResultsJsonWrite; in an error state as above.
void lifecycle_write_results_json(const Procedure& p, AnalysisRecord& record, bool violations,
                                  JsonSink& sink);

// The HostContext last handed over (by Dialog or BeginAgain); a family with a
// Dialog of its own hands it over with set_host_context.
HostContext* host_context();
void set_host_context(HostContext* ctx);

}  // namespace ztq
