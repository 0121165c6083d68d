/* ztqualty_procedures.h: the procedure families' exported entry points.
 *
 * Every family follows the common protocol of ztqualty.h (Dialog, Setup,
 * Begin, BeginAgain, Item, Opts, and Vsave and Exclude where it has them):
 * arguments are int32_t or native pointers, 1 means done or accepted, 0
 * failed or cancelled, and the host owns every object it passes in.
 */
#ifndef ZTQUALTY_PROCEDURES_H
#define ZTQUALTY_PROCEDURES_H

#include "ztqualty.h"

/* ---- Pareto analysis (procedure code 32875, title string 1946) ----------
 * Ranks defect classes by count or weighted score. Input modes: 0 raw data
 * (one defect per row), 1 counts with labels. Panes: 1 summary, 2 frequency
 * table, 8 Pareto chart, 9 cumulative chart. No Vsave and no Exclude. */
ZTQ_EXPORT int32_t ParetoDialog(int32_t index, HostContext* context, int32_t reuse);
ZTQ_EXPORT void ParetoSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                            char* out_text, int32_t reuse);
ZTQ_EXPORT int32_t ParetoBegin(int32_t index);
ZTQ_EXPORT int32_t ParetoBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                    HostContext* context, SheetState* sheet_state,
                                    SheetWindow* sheet_window);
ZTQ_EXPORT int32_t ParetoItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor);
ZTQ_EXPORT int32_t ParetoOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor);

/* ---- Custom chart (procedure code 32890, title string 2186) -------------
 * An empty chart frame: the input form answers title1..title3 (chart, X and Y
 * axis titles) and doption0..5 (X and Y minimum, maximum, increment; each
 * maximum above its minimum by 1e-10, each increment at least 1e-10). Opts
 * sets reference lines 1..8: positions doption6..13 (missing: no line) and
 * orientations option0..7 (0 horizontal, 1 vertical). Setup writes the name
 * and the three titles into out_text. Panes: 1 note, 8 chart. Reads no data. */
ZTQ_EXPORT int32_t CustomDialog(int32_t index, HostContext* context, int32_t reuse);
ZTQ_EXPORT void CustomSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                            char* out_text, int32_t reuse);
ZTQ_EXPORT int32_t CustomBegin(int32_t index);
ZTQ_EXPORT int32_t CustomBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                    HostContext* context, SheetState* sheet_state,
                                    SheetWindow* sheet_window);
ZTQ_EXPORT int32_t CustomItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor);
ZTQ_EXPORT int32_t CustomOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor);

/* ---- Control charts (procedure code 32800 + chart type, title string 5100)
 * One family for the chart-type codes 0 to 21; `code` is the chart type.
 * Roles: data, subgroup, size, dispersion, then the selection. Options are the
 * numbered option0.. and doption0..; a double option of -32768 is missing.
 * Panes by code: 1 summary, 2 point listing, 3 runs rules, 4 capability,
 * 8 and 9 the two charts. IndividDialog and AchartDialog open the same form
 * as VchartDialog; AchartOpts is VchartOpts. Begin with reset non-zero
 * includes every point again; Exclude toggles point 1..N and recomputes. */
ZTQ_EXPORT int32_t VchartDialog(int32_t index, HostContext* context, int32_t reuse, int32_t code,
                                int32_t reserved1, int32_t reserved2);
ZTQ_EXPORT int32_t IndividDialog(int32_t index, HostContext* context, int32_t reuse, int32_t code,
                                 int32_t reserved1, int32_t reserved2);
ZTQ_EXPORT int32_t AchartDialog(int32_t index, HostContext* context, int32_t reuse, int32_t code,
                                int32_t reserved1, int32_t reserved2);
ZTQ_EXPORT void VchartSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                            char* out_text, int32_t reuse, int32_t code);
ZTQ_EXPORT int32_t VchartBegin(int32_t index, int32_t code, int32_t reset);
ZTQ_EXPORT int32_t VchartBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                    HostContext* context, SheetState* sheet_state,
                                    SheetWindow* sheet_window, int32_t code);
ZTQ_EXPORT int32_t VchartItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor, int32_t code);
ZTQ_EXPORT int32_t VchartOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor, int32_t code);
ZTQ_EXPORT int32_t AchartOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor, int32_t code);
ZTQ_EXPORT void VchartVsave(int32_t index, int32_t automatic);
ZTQ_EXPORT int32_t VchartExclude(int32_t index, int32_t point);

#endif /* ZTQUALTY_PROCEDURES_H */
