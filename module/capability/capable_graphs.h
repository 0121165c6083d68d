// The graph panes of the capability analysis: 8 the capability plot
// (histogram, fitted density, specification lines, legend of indices) and 9
// the probability plot against the fitted distribution's quantiles.
#pragma once

#include "bridge/graph_builder.h"
#include "capability/cap_chart.h"
#include "capability/capable_panes.h"
#include "capability/goodness.h"

namespace ztq {

struct CapGraphInfo {
  CapPaneInfo pane;
  int curve_points = 100;   // option 21
  bool legend = true;       // option 36
  int legend_decimals = 2;  // option 39
  bool percent = false;     // option 27: the capability plot in percent of n
  int bar_width = 100;      // option 37: bar width in percent of the class width
  bool swap_axes = false;   // option 29: observations on the X axis
  bool reference = true;    // option 30: the line of perfect fit
  int recent = 0;           // options 46, 47: the charts show the last points only (0: all)
  // The present observations in ascending order, when the caller has them.
  const std::vector<double>* sorted = nullptr;
};

void capability_plot(const CapabilityResults& r, const GofResults& classes,
                     const CapGraphInfo& info, GraphBuilder& g);
void probability_plot(const CapabilityResults& r, const CapGraphInfo& info, GraphBuilder& g);

// The capability-chart variants' composite pane: location chart, capability
// plot, dispersion chart, probability plot, observations against the limits
// and the indices.
void capability_composite(const CapabilityResults& r, const GofResults& classes,
                          const CapChartResults& chart, const CapGraphInfo& info, GraphBuilder& g);

}  // namespace ztq
