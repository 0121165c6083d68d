// Tests for normality of the capability data: the equiprobable-class
// chi-square, Shapiro-Wilk W, and D'Agostino's skewness and kurtosis z.
#pragma once

#include <cstdint>
#include <vector>

#include "stats/guarded.h"

namespace ztq {

struct NormalityResults {
  // Chi-square over k equiprobable classes (n of 30 or more).
  bool chi2_done = false;
  double chi2 = kMissing, chi2_p = kMissing;
  int32_t chi2_df = 0, chi2_classes = 0;
  // Shapiro-Wilk (n 3 to 2000); sw_state 0 computed, 1 n above 2000, 2 failed.
  int sw_state = 2;
  double w = kMissing, w_p = kMissing;
  bool skew_done = false;  // n of 8 or more
  double skew_z = kMissing, skew_p = kMissing;
  bool kurt_done = false;  // n of 20 or more
  double kurt_z = kMissing, kurt_p = kMissing;
};

// Runs every test over the non-missing values of x.
NormalityResults normality_tests(const std::vector<double>& x);

// Shapiro-Wilk W and P(W this small or smaller) of sorted, non-missing data;
// false when n is below 3 or above 2000 or the data have no range.
bool shapiro_wilk(const std::vector<double>& sorted, double& w, double& p);

// The equiprobable class count ceil(3.7653 (n - 1)^0.4), at most 100.
int32_t equiprobable_classes(int64_t n);

}  // namespace ztq
