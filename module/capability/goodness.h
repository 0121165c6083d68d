// Goodness of fit of the fitted capability distribution: a chi-square over
// histogram classes pooled to expected frequencies of 5, and Kolmogorov-Smirnov.
#pragma once

#include <cstdint>
#include <vector>

#include "stats/guarded.h"

namespace ztq {

struct GofInput {
  int rule = 0;          // class rule 0..4
  int32_t classes = 20;  // the count of rule 4 (0 means 20)
  bool keep = false;     // use kept_count, kept_lower, kept_upper
  int32_t kept_count = 0;
  double kept_lower = 0, kept_upper = 0;
};

struct GofGroup {
  double lower = kMissing, upper = kMissing;  // missing: open below / above
  int64_t observed = 0;
  double expected = 0, contribution = 0;  // contribution may be +inf (E = 0, O > 0)
};

struct GofResults {
  int32_t classes = 0;
  double lower = kMissing, upper = kMissing;
  bool iqr_fallback = false;            // rule 3 with an interquartile range of 0: rule 0 used
  std::vector<int64_t> class_observed;  // observed count of each class 1..k
  std::vector<GofGroup> groups;
  bool chi2_done = false;  // degrees of freedom of 1 or more
  double chi2 = kMissing, chi2_p = kMissing;
  int32_t chi2_df = 0;
  double d_plus = kMissing, d_minus = kMissing, d = kMissing, lambda = kMissing, ks_p = kMissing;
};

// Round axis limits enclosing [lo, hi] with 4 to 6 divisions where possible.
void round_axis_limits(double lo, double hi, double& lower, double& upper);

// The Kolmogorov distribution K(lambda) in its four stated pieces.
double kolmogorov_k(double lambda);

// Goodness of fit of distribution `code` with parameters `param` to the
// non-missing values of x; sd is the sample standard deviation.
GofResults goodness_of_fit(const std::vector<double>& x, int code, const double* param, double sd,
                           const GofInput& in);

}  // namespace ztq
