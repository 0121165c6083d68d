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
