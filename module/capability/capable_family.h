// The capability procedure as the common lifecycle drives it, and the state
// it keeps per analysis.
//
// Record layout of the procedure's own options:
//   variables[0] data, [1] USL, [2] nominal, [3] LSL, [4] subgroup codes or
//   size, [5..7] further data columns (gathered row by row with [0])
//   option[0]  distribution code            doption[0]  sigma multiple k
//   option[1]  USL given                    doption[1]  USL value
//   option[2]  LSL given                    doption[2]  LSL value
//   option[3..9] rows Cp Cpk CPU CPL CR Cpm K   doption[3]  nominal value
//   option[10] use the sigma multiple       doption[4..7] tolerance limits (later panes)
//   option[11], [12] tolerance limits       doption[12] confidence of the intervals
//   option[13] n kept for the panes         doption[13], [14] parameters 1 and 2
//   option[38] keep the entered parameters
//   option[40] label set of the index names
//   option[61] significant digits
#pragma once

#include "bridge/procedure.h"
#include "capability/cap_chart.h"
#include "capability/capability.h"
#include "capability/goodness.h"
#include "capability/normality.h"
#include "capability/pearson.h"
#include "capability/tolerance.h"

namespace ztq {

struct CapableState {
  CapabilityResults results;
  PearsonResults pearson;  // variant 0: the percentile method at compute time
  // Variant 0: the tests and limits of panes 3, 4, 5 and 7.
  NormalityResults normality;
  GofResults fit;
  NormalTolerance tolerance_normal;
  NonparametricTolerance tolerance_free;
  CapChartResults chart;                   // variants 1 and 2
  std::vector<double> sorted;              // the present observations, ascending, for the panes
  int class_rule = -1, class_option = -1;  // options 48 and 49 the classes were chosen by
  bool computed = false;
};

const Procedure& capable_procedure();

}  // namespace ztq
