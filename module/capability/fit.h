// Fitting the capability distributions to the data: moments for the
// exponential, extreme-value, lognormal, normal and Laplace laws, Newton steps
// on the Weibull likelihood, Greenwood and Durand's gamma shape and a downhill
// simplex on the logistic likelihood.
#pragma once

#include <vector>

namespace ztq {

// What a fit needs of the data: the non-missing observations and their
// descriptive statistics.
struct FitData {
  std::vector<double> x;  // non-missing observations
  double mean = 0, sd = 0, median = 0;
};

struct FitResult {
  double param[4];
  double dist_mean;
  int evaluations = 0;  // objective evaluations (simplex) or Newton rounds (Weibull)
};

// Fits distribution code `code` (0, 1, 2, 3, 4, 12, 13, 14).
FitResult fit_distribution(int code, const FitData& d);

// Parameters 3 and 4 and the distribution mean from parameters 1 and 2
// (used for entered parameters as for fitted ones).
void derive_parameters(int code, double param[4], double& dist_mean);

// Greenwood and Durand's shape from y = ln(mean / geometric mean): the
// small-y formula up to 0.5772, the other above.
double greenwood_durand_shape(double y);

// The logistic negative log-likelihood minimised by the simplex (exposed for tests).
double logistic_neg_log_likelihood(const std::vector<double>& x, double mean, double sd);

}  // namespace ztq
