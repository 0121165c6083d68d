// Decision-interval (tabular) cumulative sums of codes 14 and 15, the
// standardized values and the scale series of code 15.
#pragma once

#include "charts/chart_kind_results.h"

namespace ztq {

// The two one-sided sums of one phase, a point at a time, with target MU0 and
// standard error S of the point: SH_i = max(0, SH_(i-1) + x_i - (mu0 + k s_i)),
// SL_i = max(0, SL_(i-1) + (mu0 - k s_i) - x_i), both starting at headstart x
// s of the first usable point. An unusable point (missing, excluded, or s
// missing) has missing sums and leaves them unchanged; an overflow makes the
// point's sums missing and restarts them at the next usable point.
class PageSums {
 public:
  explicit PageSums(const DecisionParameters& p) : p_(p) {}
  // The sums at a point of value X; both missing, or both non-negative.
  void next(double x, double s, double mu0, bool excluded, double* sh, double* sl);

 private:
  DecisionParameters p_;
  double up_ = kMissing, down_ = kMissing;  // no usable point yet
};

// z = (x - mu0) / s; missing where x or s is missing or s is not positive.
double standard_value(double x, double s, double mu0);

// W = (sqrt(|z|) - 0.822) / 0.349, missing where z is missing.
double scale_value(double z);

// The plotted value of a pair of sums: SH or -SL, whichever lies farther from
// 0 (SH on a tie), so a point beyond either decision line lies beyond the
// chart's limits. Missing when both are missing.
double dominant_sum(double sh, double sl);

}  // namespace ztq
