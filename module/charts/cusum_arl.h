// Average run length of a decision-interval (tabular) cumulative sum on
// normal observations, by its integral equation.
#pragma once

namespace ztq {

// Run length of the one-sided upper sum S_i = max(0, S_(i-1) + z_i - k),
// signalling when S_i > h, for z_i normal with mean DELTA and variance 1,
// starting at HEADSTART (0 <= headstart < h). Everything in units of the
// standard error s. Missing when the arguments are out of range, the
// system is singular or the run length exceeds 1e6 (beyond what the normal
// cdf's accuracy resolves: far from the signal). The lower sum with shift delta has the run length
// of the upper sum with shift -delta.
double cusum_arl_one_sided(double h, double k, double headstart, double delta);

// The two-sided run length from the two one-sided ones, 1/L = 1/L+ + 1/L-
// (missing stays missing; a side left out is passed as missing and ignored).
double cusum_arl_combined(double upper, double lower);

// Upper and lower sums together, SIDES as `option53`: 0 both, 1 the upper
// sum only, 2 the lower sum only.
double cusum_arl(double h, double k, double headstart, double delta, int sides);

}  // namespace ztq
