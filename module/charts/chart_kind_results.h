// Results of the chart kinds that transform chart 1 (moving averages, EWMA,
// cumulative sums, decision-interval sums, fitted models) and of the smoother
// lines. Per-point vectors have one entry per point or are empty when the
// result does not apply; missing entries are kMissing, never NaN.
#pragma once

#include <vector>

#include "charts/point_line.h"
#include "charts/series.h"
#include "stats/guarded.h"

namespace ztq {

// Smoother lines over chart 1 (`option33`, `option35`) and chart 2 (`option43`,
// `option45`). The moving-average charts (codes 8, 11) keep their unsmoothed
// values in ma1 and the EWMA charts (codes 9, 12) in ewma1.
struct SmootherLines {
  Series ma1;
  Series ewma1;
  std::vector<double> ma2;
  std::vector<double> ewma2;
};

// The V-mask of the cumulative-sum charts (codes 10, 13).
struct CusumResult {
  std::vector<double> upper_arm;
  std::vector<double> lower_arm;
  double lead_distance = kMissing;   // d, in points
  double mean_deviation = kMissing;  // sum of (x - T) over usable points / all points
  int reference_point = 0;           // 1-based point at the mask's vertex; 0 = none
};

// The parameters of a pair of decision-interval sums (codes 14, 15).
struct DecisionParameters {
  double h = 5.0;          // decision interval, in units of s
  double k = 0.5;          // reference value, in units of s
  double headstart = 0.0;  // starting value of both sums, in units of s
  bool upper = true;       // form the upper sums
  bool lower = true;       // form the lower sums
};

// The decision-interval sums of codes 14 and 15: chart 1 plots SH or -SL,
// whichever lies farther from 0, as its statistic. What the sums are formed
// from is kept (the points, their standard errors, the target per phase, the
// parameters); `tabular_series.h` forms z and W by point and the sums SH, SL
// and the scale sums of code 15 in one pass where they are read, with the
// same arithmetic as the chart. The lower sums are the non-negative SL; the
// chart shows -SL.
struct TabularResult {
  DecisionParameters chart1;   // the sums of the points (or of z)
  DecisionParameters chart2;   // code 15: the sums of the scale series W
  bool standardized = false;   // `option2`: chart 1 sums z, its decision lines are +-h
  bool scale = false;          // code 15: the scale series W and its sums
  Series x;                    // the points the sums are formed from; empty: no sums
  PointLine s;                 // their standard errors
  std::vector<double> target;  // mu0 per phase
  PointLine decision1;  // h x s per point (h on the standardized scale): a run a phase when s is
                        // constant
  double decision2 = kMissing;  // h, the decision line of the scale sums
};

// The model of codes 16 and 17 (ARIMA(p, d, q) by conditional least squares).
struct ModelResult {
  int ar_order = 0;
  int ma_order = 0;
  int differences = 0;
  bool constant = false;
  // Constant (when fitted), then phi_1..phi_p, then theta_1..theta_q.
  std::vector<double> coefficients;
  std::vector<double> standard_errors;  // missing for a coefficient whose pivot was refused
  double residual_sd = kMissing;
  int iterations = 0;             // Gauss-Newton steps taken (at most 10)
  bool converged = false;         // the sum of squares settled before the last step
  int refused_pivots = 0;         // coefficients held at their start (a singular sweep)
  std::vector<double> fitted;     // per-point centre line of chart 1 (integrated back)
  std::vector<double> residuals;  // per-point residuals of the fit (differenced scale)
};

}  // namespace ztq
