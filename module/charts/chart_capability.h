// Capability indices shown on a variables control chart.
#pragma once

#include <span>
#include <vector>

#include "charts/chart_options.h"
#include "stats/guarded.h"

namespace ztq {

struct ChartCapability {
  double cp = kMissing;
  double cpk = kMissing;
  double cpu = kMissing;
  double cpl = kMissing;
  double cr = kMissing;
  double cpm = kMissing;
  double k = kMissing;
};

// Indices from the chart's CENTRE and SIGMA and the specification limits of
// OPTIONS (`doption16` USL, `doption17` target, `doption18` LSL). Cpm needs
// the raw OBSERVATIONS (not entered statistics). An index that cannot be
// formed (a specification limit missing, sigma 0, USL = LSL) is missing.
ChartCapability chart_capability(double centre, double sigma, const ChartOptions& options,
                                 std::span<const double> observations);

}  // namespace ztq
