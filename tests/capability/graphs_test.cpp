// The capability graphs' display options, read from the graph descriptions:
// the plot in percent and its bar width, the probability plot's axes and
// reference line, the charts' most recent points.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "bridge/module_state.h"
#include "capability/capable_graphs.h"

namespace ztq {
namespace {

struct Drawn {
  GraphBuilder g;
  ZtGraphDescriptor d{};
  void finish() { g.finish(d); }
};

class CapabilityGraphs : public ::testing::Test {
 protected:
  void SetUp() override {
    module_startup(QUALTY_BIN);
    CapabilityInput in;
    in.columns = {{9.1, 9.8, 10.0, 10.2, 10.4, 9.6, 10.9, 10.1, 9.9, 10.3}};
    in.usl = {true, 12};
    in.lsl = {true, 8};
    r = compute_capability(in);
    fit = goodness_of_fit(r.data, r.distribution, r.param, r.sd, {});
    info.pane.data_name = "x";
  }
  CapabilityResults r;
  GofResults fit;
  CapGraphInfo info;
};

TEST_F(CapabilityGraphs, PercentAndBarWidth) {
  ASSERT_GE(fit.classes, 2);
  info.percent = true;
  info.bar_width = 50;
  Drawn p;
  capability_plot(r, fit, info, p.g);
  p.finish();
  ASSERT_EQ(p.d.bar_count, fit.classes);
  // Every observation lies inside the classes: the heights add up to 100 percent.
  double sum = 0;
  const double width = (fit.upper - fit.lower) / fit.classes;
  for (int i = 0; i < p.d.bar_count; ++i) {
    const ZtgBar& b = p.d.bars[i];
    sum += b.y1;
    EXPECT_NEAR(b.x1 - b.x0, width / 2, 1e-12) << i;                            // half a class
    EXPECT_NEAR((b.x0 + b.x1) / 2, fit.lower + width * (i + 0.5), 1e-12) << i;  // centred
  }
  EXPECT_NEAR(sum, 100.0, 1e-9);
}

TEST_F(CapabilityGraphs, ProbabilityPlotAxesAndLine) {
  std::vector<double> sorted = r.data;
  std::sort(sorted.begin(), sorted.end());
  for (bool swap : {false, true}) {
    info.swap_axes = swap;
    info.reference = !swap;
    Drawn p;
    probability_plot(r, info, p.g);
    p.finish();
    ASSERT_EQ(p.d.point_count, 10);
    // The ordered observations on Y, or on X when swapped.
    for (int i = 0; i < 10; ++i)
      EXPECT_EQ(swap ? p.d.points[i].x : p.d.points[i].y, sorted[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(p.d.line_count, swap ? 0 : 1);
  }
}

TEST_F(CapabilityGraphs, ChartsShowTheMostRecentPoints) {
  CapChartOptions o;
  o.show_runs = false;
  const CapChartResults chart = capability_chart(r, 1, o);
  for (int recent : {0, 4, 50}) {
    info.recent = recent;
    Drawn p;
    capability_composite(r, fit, chart, info, p.g);
    p.finish();
    // The location chart (panel 0) and the observations (panel 4) begin at
    // point 7 of 10 with the last 4; at point 1 with all, or more than there are.
    for (int panel : {0, 4}) {
      double first = 1e9;
      for (int i = 0; i < p.d.point_count; ++i)
        if (p.d.points[i].panel == panel) first = std::min(first, p.d.points[i].x);
      EXPECT_EQ(first, recent == 4 ? 7.0 : 1.0) << recent << " panel " << panel;
    }
  }
}

TEST_F(CapabilityGraphs, CompositePlotCoversThreeSigmaAndTheNaturalLimits) {
  // Limits far outside the data would hide the rule; without them the classes
  // alone end near the data, inside mean +/- 3 s.
  r.usl_given = r.lsl_given = false;
  r.usl = r.lsl = kMissing;
  CapChartOptions o;
  const CapChartResults chart = capability_chart(r, 1, o);
  info.pane.sigma_multiple = 8;  // natural limits mu +/- 4 sigma, the widest of all
  Drawn p;
  capability_composite(r, fit, chart, info, p.g);
  p.finish();
  double lo = 1e9, hi = -1e9;
  for (int i = 0; i < p.d.line_count; ++i) {
    const ZtgLine& l = p.d.lines[i];
    if (l.panel != 1) continue;  // the fitted density of the capability plot
    for (int j = l.first; j < l.first + l.count; ++j)
      lo = std::min(lo, p.d.coords[j].x), hi = std::max(hi, p.d.coords[j].x);
  }
  EXPECT_NEAR(lo, r.param[0] - 4 * r.param[1], 1e-9);
  EXPECT_NEAR(hi, r.param[0] + 4 * r.param[1], 1e-9);
}

}  // namespace
}  // namespace ztq
