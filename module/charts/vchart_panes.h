// The text and graph panes of the control charts, built from the engine's
// results: the summary S, the point listings T2 and T2z, the runs-rules pane
// T3, the capability pane T4, the charts C1 and C2 (with the V-mask and the
// decision-interval sums of the cumulative-sum codes), the capability
// histogram G, the curves R0, R1 and Rc and the model graphs M1 and M2. Texts have CR LF
// line ends, numbers pass through the shared formats, labels come from the
// string table. No host calls.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "bridge/graph_builder.h"
#include "bridge/strings.h"
#include "charts/chart_options.h"
#include "charts/chart_results.h"
#include "charts/point_labels.h"

namespace ztq {

// The points of a chart counted: beyond its limits, left out, present.
struct VchartCounts {
  int marked1 = 0;   // usable points beyond the limits of chart 1
  int marked2 = 0;   // and of chart 2
  int excluded = 0;  // points left out
  int present1 = 0;  // points not left out whose statistic is present (finite)
  int present2 = 0;  // and whose chart-2 statistic is
};

// What the panes need beside the results.
struct VchartView {
  int code = 0;
  int32_t error_state = 0;  // 0, or the error code of the analysis
  const ChartOptions* options = nullptr;
  std::string data_name;  // the expressions of the input variables
  std::string subgroup_name;
  std::string size_name;
  PointLabels labels;                    // one per point
  int32_t listing = 0;                   // `option9`: which points the listing shows
  std::span<const double> observations;  // raw observations (G), the analysis's own; empty
                                         // with entered statistics
  std::array<int32_t, 8> pane_option{};  // the options of the pane being built (0: default)
  int digits = 6;                        // significant digits of graph labels
  const VchartCounts* counts = nullptr;  // the points counted already, or null: counted here
};

// Whether the chart graphs of V draw the 1- and 2-sigma zone lines: pane
// option 0 is 1 (on), 2 (off) or 0 (on when a zone rule, 3 to 6, is on).
bool zones_shown(const VchartView& v);

// The builders of the routing table.
enum class VchartPane { none, S, T2, T2z, T3, T4, C1, C2, G, R0, R1, Rc, M1, M2 };
VchartPane vchart_pane_of(int code, int pane);
// The two pane masks of a chart-type code (text, graph).
void vchart_masks(int code, int32_t out[2]);

// Beyond the clipped per-point limits of chart 1 or 2 (a present value, not
// excluded, past a present limit).
bool beyond_chart1(const ChartResults& r, std::size_t i);
bool beyond_chart2(const ChartResults& r, std::size_t i);
// MARK(i, beyond1, beyond2) for every point beyond the limits of chart 1 or
// 2 or with a runs-rule flag, as beyond_chart1 and beyond_chart2 give them,
// the limits read once a run of points.
void each_flagged(const ChartResults& r, const std::function<void(std::size_t, bool, bool)>& mark);

VchartCounts vchart_counts(const ChartResults& r);

std::string vchart_summary_text(const ChartResults& r, const VchartView& v);
std::string vchart_listing_text(const ChartResults& r, const VchartView& v);
std::string vchart_rules_text(const ChartResults& r, const VchartView& v);
// The "Rules in force" block of T3 (heading and one line per enabled rule);
// the summary of a code without T3 ends with it.
std::string vchart_rules_in_force(const VchartView& v);
std::string vchart_capability_text(const ChartResults& r, const VchartView& v);

// Chart 1 (FIRST true) or chart 2 of the results into G. False when the code
// has no such chart.
bool vchart_chart_graph(const ChartResults& r, const VchartView& v, bool first, GraphBuilder& g);

// The listing T2z of the decision-interval sums (codes 14, 15).
std::string vchart_sums_text(const ChartResults& r, const VchartView& v);

// The cumulative-sum codes' own charts: the V-mask on chart 1 of codes 10
// and 13; the decision-interval sums with their decision lines on chart 1 of
// codes 14 and 15 (FIRST true) and on chart 2 of code 15. False otherwise.
bool vchart_vmask_graph(const ChartResults& r, const VchartView& v, GraphBuilder& g);
bool vchart_sums_graph(const ChartResults& r, const VchartView& v, bool first, GraphBuilder& g);

// The capability histogram G: classes by `pane_option[0]` (0: automatic).
bool vchart_histogram_graph(const ChartResults& r, const VchartView& v, GraphBuilder& g);
// R0 (RUN_LENGTH false: the operating-characteristic curve) and R1 (the
// average-run-length curve); `pane_option[0]` the half range in units of s,
// `pane_option[1]` the number of curve points.
bool vchart_curve_graph(const ChartResults& r, const VchartView& v, bool run_length,
                        GraphBuilder& g);
// Rc: the run length of the cumulative-sum codes against the mean shift.
bool vchart_cusum_arl_graph(const ChartResults& r, const VchartView& v, GraphBuilder& g);
// M1 (FIRST true: residuals of the fit against the point) and M2 (their
// autocorrelations, `pane_option[0]` lags, 0: automatic) of codes 16, 17.
bool vchart_model_graph(const ChartResults& r, const VchartView& v, bool first, GraphBuilder& g);

// The computations behind the curves and the histogram (pure, tested alone).
// The standard deviation s of chart 1's plotted statistic at n-bar; missing
// when it cannot be formed.
double vchart_point_sd(const ChartResults& r, const VchartView& v);
// The probability that a point falls inside chart 1's limits when the true
// value of the plotted statistic is MU (S as above).
double vchart_inside_probability(const ChartResults& r, const VchartView& v, double mu, double s);
// The average run length at MU: 1 / (1 - beta), times the span for the
// moving-average codes, the integral equation for the EWMA codes.
double vchart_run_length(const ChartResults& r, const VchartView& v, double mu, double s);

struct HistogramClasses {
  double first = 0.0;  // lower edge of the first class
  double width = 1.0;
  std::vector<double> counts;
  long long n = 0;  // values counted
};
// Equal classes over the range of the present values of X: CLASSES of them,
// or by Sturges' rule between 5 and 30 when CLASSES is 0.
HistogramClasses histogram_classes(std::span<const double> x, int classes);
// Autocorrelations r_1..r_LAGS of the present values of E.
std::vector<double> autocorrelations(const std::vector<double>& e, int lags);

// Helpers shared by the pane files.
namespace vchart_detail {
inline constexpr const char* kCrLf = "\r\n";
std::string pad(std::string s, std::size_t w);  // cut or pad with blanks to w
std::string chart_title(int code);
// The message that the summary shows for an error state.
int32_t error_message_of(int32_t error_state);
bool individuals_wording(int code);
// The graph of an analysis in error state: its title and its message only.
void error_graph(const VchartView& v, GraphBuilder& g, int32_t message);
// The statistic of chart 1 (FIRST true) or chart 2 of CODE, as its value axis names it.
Str statistic_name(int code, bool first);
}  // namespace vchart_detail

}  // namespace ztq
