// The panes of the long-form gage study: text tables, graphs and the one-page
// report. Each reads a GageView: the results, the labels and the options.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bridge/graph_builder.h"
#include "gage/gage_compute.h"

namespace ztq {

struct GageView {
  const GageResults* r = nullptr;  // null or in error: the panes show the message
  int32_t error = 0;               // the record's error state
  int variant = 2;
  std::string appraisers, parts, trials;  // factor labels (profile "Snap")
  std::string columns[4];                 // the four variables' expressions
  int digits = 6;                         // significant digits
  double tolerance = -32768.0, reference = -32768.0, confidence = 95.0;
  bool average_mark = true, average_line = true;  // option slots 2 and 3
  bool box_readings = true, box_medians = false, box_fences = true, box_mean = true;  // 22-25

  bool ok() const { return r != nullptr && error == 0; }
  bool anova() const { return r != nullptr && r->method == GageMethod::anova; }
  bool shows_int() const { return variant == 3 && r != nullptr && r->interaction; }
};

// Outlying readings of the box plots by appraiser, summed over both sides and
// every appraiser: between the fences, and beyond the outer fences.
struct BoxCounts {
  int outside = 0, far_outside = 0;
};
BoxCounts gage_box_counts(const GageResults& r, bool fences);

std::string gage_error_text(int32_t error_state);
std::string gage_summary_text(const GageView& v);
std::string gage_rr_text(const GageView& v);
std::string gage_anova_text(const GageView& v);
std::string gage_report_text(const GageView& v);

enum class GageGraph {
  appraiser_part,
  range_by_appraiser,
  range_by_part,
  box,
  deviation,
  measurement
};
void gage_graph(const GageView& v, GageGraph which, GraphBuilder& g);
void gage_report_graph(const GageView& v, GraphBuilder& g);

// The box plots of both gage studies: one box per group of readings.
struct BoxLook {
  bool readings = true, medians = false, fences = true, mean = true;  // slots 22 to 25
};
void gage_box_graph(const std::vector<std::vector<double>>& groups,
                    const std::vector<std::string>& labels, const std::string& axis,
                    const BoxLook& look, GraphBuilder& g);

}  // namespace ztq
