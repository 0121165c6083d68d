// The panes of a Pareto analysis: the summary (pane 1), the frequency table
// (pane 2), the Pareto chart (pane 8) and the cumulative chart (pane 9).
// Texts have CR LF line ends and no advice; the lifecycle appends it.
#pragma once

#include <cstdint>
#include <string>

#include "bridge/graph_builder.h"
#include "pareto/pareto_compute.h"

namespace ztq {

// The frequency table stops adding rows once its text is longer than this,
// and never grows beyond kTableLimit characters.
inline constexpr size_t kTableCut = 59952;
inline constexpr size_t kTableLimit = 62000;
inline constexpr int kMaxChartClasses = 20;  // more classes than this are not charted

// Bar labels of the charts (the bar-label option).
enum class BarLabel : int32_t { cumulative_percent = 0, cumulative_value = 1, none = 2 };

// What the summary shows besides the results.
struct ParetoSummaryInfo {
  std::string main_expression;       // raw data (mode 0) or counts (mode 1)
  std::string weights_expression;    // shown only when weighted
  std::string selection_expression;  // shown only when not empty
  bool weighted = false;
  int32_t error_state = 0;
};

// The message of an error state: 1, 2 and 3 stand for 1005, 1004 and 1007;
// any other state is itself a message number.
int32_t pareto_error_message(int32_t error_state);

std::string pareto_summary_text(const ParetoResults& r, const ParetoSummaryInfo& info);
// The frequency table; string 1101 alone for an analysis in error state.
std::string pareto_table_text(const ParetoResults& r, int32_t error_state);
// Pane 8 or 9 into the builder (reset here). r may be null when nothing was computed.
// The bar-label option labels the bars of both. Pane 8 writes each bar's count
// (score when weighted) inside it and draws the cumulative percentage on a
// right-hand axis from 0 to 100 %, with an 80 % reference line when
// REFERENCE; pane 9 stacks the bars as a cumulative chart.
void pareto_chart(const ParetoResults* r, int32_t error_state, int pane, int32_t bar_label,
                  GraphBuilder& g, const std::string& subtitle = {}, bool reference = false);

}  // namespace ztq
