// Cumulative sums of the discrete codes (Poisson, binomial, negative binomial,
// hypergeometric), shared by their cumulative probability and quantile.
#pragma once

namespace ztq::detail {

// Sums stop after this many terms; every code's terms have shrunk long before
// for any parameters a fit produces.
inline constexpr double kMaxDiscreteTerms = 1e6;

struct DiscreteSum {
  double x;    // the last value whose probability was added (or the lower end)
  double cum;  // P(X <= x), capped at 1
};

// Adds P(X = k) for k = lower end of the support, +1, ... and stops at the first
// k that is last (k >= last), at the first cumulative probability >= target, at
// the upper end of the support, or once the sum stops growing (past the mode the
// terms no longer change it). A missing probability counts as 0.
DiscreteSum discrete_sum(int code, const double* p, double last, double target);

// True for the codes discrete_sum handles.
bool is_summed_code(int code);

}  // namespace ztq::detail
