// Pieces of the chart graphs C1 and C2: the number format of their labels,
// the centre line and limits (flat, stepped per point, per phase), the phase
// dividers, the zone lines and the marks of flagged and excluded points with
// their legend.
#pragma once

#include <string>
#include <vector>

#include "bridge/graph_builder.h"
#include "charts/chart_results.h"
#include "charts/point_labels.h"
#include "format/label_format.h"

namespace ztq::vchart_detail {

using ztq::LabelFormat;

// The lines of one chart, point by point as a graph draws them: its centre
// and limits, the phases' lines at n-bar, and what the margin labels of the
// last phase show.
struct ChartLineSet {
  std::vector<double> ucl;
  std::vector<double> cl;
  std::vector<double> lcl;
  std::vector<double> ucl_unclipped;
  std::vector<double> lcl_unclipped;
  double ucl_nbar, cl_nbar, lcl_nbar;  // last phase, at n-bar
  bool trend = false;                  // codes 18, 19: the lines are straight and sloped
};

// Draws the centre line and the limits of LINES (labels in FORMAT), per-phase
// labels and the phase dividers.
void draw_chart_lines(GraphBuilder& g, const ChartResults& r, const ChartLineSet& lines, bool first,
                      const std::vector<double>& xs, const PointLabels& point_labels,
                      const LabelFormat& format);

// The 1- and 2-sigma zone lines (from the unclipped limits), light and unlabelled.
void draw_zones(GraphBuilder& g, const ChartLineSet& lines, const std::vector<double>& xs);

// The letters of the rules set in FLAGS (rule r: bit r - 1 + SHIFT).
std::string rule_letters_of(int flags, int shift);

// The values a chart's label format takes into account.
std::vector<double> label_values(const ChartResults& r, const ChartLineSet& lines, bool first);

// The lines of chart 1 (FIRST) or chart 2 of R for chart-type CODE.
ChartLineSet chart_line_set(const ChartResults& r, int code, bool first);

// The label format of chart 1 or 2: the curves label their centre with it.
LabelFormat chart_label_format(const ChartResults& r, int code, bool first, int digits);

}  // namespace ztq::vchart_detail
