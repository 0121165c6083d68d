// The capability-chart variants' control charts: the within sigma, the
// location chart (individuals or subgroup means) and the dispersion chart
// (moving ranges, ranges or standard deviations) with their limits, warning
// lines, smoothers and run marks.
#pragma once

#include <cstdint>
#include <vector>

#include "capability/capability.h"

namespace ztq {

struct CapChartOptions {
  bool outer_warning = false, inner_warning = false;  // options 41, 42
  int smoother = 0;                                   // option 43: 0 none, 1 moving average, 2 EWMA
  int span = 9;                                       // option 44
  bool dispersion_sd = false;                         // option 45
  bool show_runs = true;                              // option 15
  int run_length = 8;                                 // option 16
  double weight = 0.2;                                // the EWMA weight
};

struct CapChartSide {
  double centre = kMissing, sigma = kMissing, ucl = kMissing, lcl = kMissing;
  bool has_outer = false, has_inner = false;
  double outer_upper = kMissing, outer_lower = kMissing;
  double inner_upper = kMissing, inner_lower = kMissing;
  std::vector<double> series, smoother;  // smoother empty: none
  std::vector<int32_t> runs;             // empty: not shown
  // Points beyond the warning lines by the zone rules of the control charts:
  // 4 four of the last five beyond one sigma (inner lines), 8 two of the last
  // three beyond two sigma (outer lines), on one side; empty: not shown.
  std::vector<int32_t> zone_marks;
};

struct CapChartResults {
  bool computed = false;
  double within_sigma = kMissing;
  int statistic = 0;  // dispersion: 0 (moving) ranges, 1 standard deviations
  CapChartSide location, dispersion;
  CapChartOptions options;  // as computed with
};

CapChartResults capability_chart(const CapabilityResults& r, int variant, const CapChartOptions& o);

// The smoother of a series (missing points stay missing).
std::vector<double> chart_smoother(const std::vector<double>& x, int kind, int span, double w);
// The run marks: 1 a run of L points on one side of the centre, 2 a run of
// L rising or falling steps, 3 both; missing points 0.
std::vector<int32_t> run_marks(const std::vector<double>& x, double centre, int length);
// The zone marks of a chart with centre CENTRE and sigma of a point SIGMA:
// bit 4 with the inner warning lines, bit 8 with the outer ones.
std::vector<int32_t> zone_marks(const std::vector<double>& x, double centre, double sigma,
                                bool inner, bool outer);

}  // namespace ztq
