// Box-and-whisker statistics of one group of readings (Tukey, 1977): the
// quartiles, the inner fences at 1.5 and the outer fences at 3 interquartile
// ranges, the whisker ends and the outlying readings on each side.
#pragma once

#include <vector>

namespace ztq {

struct BoxStats {
  int n = 0;  // non-missing readings
  double q1 = -32768.0, median = -32768.0, q3 = -32768.0, mean = -32768.0;
  double inner_low = -32768.0, inner_high = -32768.0, outer_low = -32768.0, outer_high = -32768.0;
  double whisker_low = -32768.0, whisker_high = -32768.0;
  std::vector<double> outside;      // between the inner and outer fences
  std::vector<double> far_outside;  // beyond the outer fences
  int outside_low = 0, outside_high = 0, far_low = 0, far_high = 0;
};

// Missing values (-32768.0) are skipped. With fences off the whiskers run to
// the smallest and largest readings and nothing counts as outlying.
BoxStats box_stats(std::vector<double> values, bool fences);

// The quantile of sorted values at probability p by Hyndman and Fan (1996),
// definition 6: position (n + 1) p, linear between order statistics.
double quantile_sorted(const std::vector<double>& sorted, double p);

}  // namespace ztq
