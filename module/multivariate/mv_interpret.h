// The advisor's sentences for the T-squared chart.
#pragma once

#include "interpret/interpret.h"
#include "multivariate/mv_state.h"

namespace ztq {

// The interpretation of a computed chart (empty in an error state). P is the
// binomial tail probability of at least the observed number of points beyond
// the limit among the n used points at the rate alpha: sentence 6036 when it
// is below 0.05, else 6037.
Interpretation mv_interpretation(const MvView& v);

// P(X >= k) for X binomial with n trials and rate a.
double binomial_tail(int32_t k, int32_t n, double a);

}  // namespace ztq
