// The text and graph panes of the control charts, built from the engine's
// results: the summary S, the point listing T2, the runs-rules pane T3, the
// capability pane T4 and the two stacked charts C1 and C2. Texts have CR LF
// line ends, numbers pass through the shared formats, labels come from the
// string table. No host calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bridge/graph_builder.h"
#include "charts/chart_options.h"
#include "charts/chart_results.h"

namespace ztq {

// What the panes need beside the results.
struct VchartView {
  int code = 0;
  int32_t error_state = 0;  // 0, or the error code of the analysis
  const ChartOptions* options = nullptr;
  std::string data_name;  // the expressions of the input variables
  std::string subgroup_name;
  std::string size_name;
  std::vector<std::string> labels;  // one per point
  int32_t listing = 0;              // `option9`: which points the listing shows
};

// The builders of the routing table.
enum class VchartPane { none, S, T2, T2z, T3, T4, C1, C2, G, R0, R1, Rc, M1, M2 };
VchartPane vchart_pane_of(int code, int pane);
// The two pane masks of a chart-type code (text, graph).
void vchart_masks(int code, int32_t out[2]);

// Beyond the clipped per-point limits of chart 1 or 2 (a present value, not
// excluded, past a present limit).
bool beyond_chart1(const ChartResults& r, std::size_t i);
bool beyond_chart2(const ChartResults& r, std::size_t i);

struct VchartCounts {
  int marked1 = 0;
  int marked2 = 0;
  int excluded = 0;
};
VchartCounts vchart_counts(const ChartResults& r);

std::string vchart_summary_text(const ChartResults& r, const VchartView& v);
std::string vchart_listing_text(const ChartResults& r, const VchartView& v);
std::string vchart_rules_text(const ChartResults& r, const VchartView& v);
std::string vchart_capability_text(const ChartResults& r, const VchartView& v);

// Chart 1 (FIRST true) or chart 2 of the results into G. False when the code
// has no such chart.
bool vchart_chart_graph(const ChartResults& r, const VchartView& v, bool first, GraphBuilder& g);

// Helpers shared by the pane files.
namespace vchart_detail {
inline constexpr const char* kCrLf = "\r\n";
std::string pad(std::string s, std::size_t w);  // cut or pad with blanks to w
std::string chart_title(int code);
// The message that the summary shows for an error state.
int32_t error_message_of(int32_t error_state);
bool individuals_wording(int code);
}  // namespace vchart_detail

}  // namespace ztq
