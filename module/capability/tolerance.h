// Tolerance limits of the capability data: normal-theory factors (two-sided
// and one-sided) and distribution-free limits from order statistics.
#pragma once

#include <cstdint>
#include <vector>

#include "stats/guarded.h"

namespace ztq {

// Two-sided normal tolerance factor for coverage p and confidence g (0..1).
double tolerance_factor_two_sided(int64_t n, double p, double g);
// One-sided normal tolerance factor.
double tolerance_factor_one_sided(int64_t n, double p, double g);
// P(T <= t) for the noncentral t with df degrees of freedom and noncentrality delta.
double noncentral_t_cdf(double t, double df, double delta);

struct NormalTolerance {
  double coverage = kMissing, confidence = kMissing;  // percent
  bool two_sided = false;
  double k = kMissing, upper = kMissing, lower = kMissing;
};
NormalTolerance normal_tolerance(int64_t n, double centre, double spread, bool usl, bool lsl,
                                 double coverage_pct, double confidence_pct);

struct NonparametricTolerance {
  double coverage = kMissing, confidence = kMissing;  // percent
  int32_t m = 0;
  int32_t r = 0;  // 0 when m is outside 1..n
  double upper = kMissing, lower = kMissing;
};
// mode 0: confidence given (percent), coverage computed; mode 1 the reverse.
NonparametricTolerance nonparametric_tolerance(const std::vector<double>& x, int32_t m, bool both,
                                               int mode, double given_pct);

}  // namespace ztq
