// Decision-interval (tabular) cumulative sums of codes 14 and 15, the
// standardized values and the scale series of code 15.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "charts/point_line.h"

namespace ztq {

struct DecisionParameters {
  double h = 5.0;          // decision interval, in units of s
  double k = 0.5;          // reference value, in units of s
  double headstart = 0.0;  // starting value of both sums, in units of s
  bool upper = true;       // form the upper sums
  bool lower = true;       // form the lower sums
};

// Upper and lower sums over FIRST..END-1 of X with target MU0 and standard
// error S[i] per point: SH_i = max(0, SH_(i-1) + x_i - (mu0 + k s_i)),
// SL_i = max(0, SL_(i-1) + (mu0 - k s_i) - x_i), both starting at headstart x
// s of the first usable point. An unusable point (missing, excluded, or s
// missing) has missing sums and leaves them unchanged. A side that is not
// formed stays empty.
void decision_sums(std::span<const double> x, const std::vector<char>& excluded, const PointLine& s,
                   std::size_t first, std::size_t end, double mu0, const DecisionParameters& p,
                   std::vector<double>* sh, std::vector<double>* sl);

// z_i = (x_i - mu0) / s_i over FIRST..END-1; missing where x_i or s_i is
// missing or s_i is not positive.
void standardize(std::span<const double> x, const PointLine& s, std::size_t first, std::size_t end,
                 double mu0, std::vector<double>* z);

// W_i = (sqrt(|z_i|) - 0.822) / 0.349, missing where z_i is missing.
std::vector<double> scale_series(const std::vector<double>& z);

// The plotted value of a pair of sums: SH or -SL, whichever lies farther from
// 0 (SH on a tie), so a point beyond either decision line lies beyond the
// chart's limits. Missing when both are missing.
double dominant_sum(const std::vector<double>& sh, const std::vector<double>& sl, std::size_t i);

}  // namespace ztq
