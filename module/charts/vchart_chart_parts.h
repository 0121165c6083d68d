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

namespace ztq::vchart_detail {

// One number format for every line label of a chart: the decimals that give
// the largest value DIGITS significant digits, trailing zeros dropped.
class LabelFormat {
 public:
  LabelFormat(const std::vector<double>& values, int digits);
  std::string operator()(double v) const;
  int decimals() const { return decimals_; }

 private:
  int decimals_ = 0;
  int digits_ = 6;
};

// The lines of one chart: its per-point centre and limits, the phases' lines
// at n-bar, and what the margin labels of the last phase show.
struct ChartLineSet {
  const std::vector<double>* ucl;
  const std::vector<double>* cl;
  const std::vector<double>* lcl;
  const std::vector<double>* ucl_unclipped;
  const std::vector<double>* lcl_unclipped;
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

}  // namespace ztq::vchart_detail
