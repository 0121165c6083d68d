// Average run length of an EWMA chart by its integral equation.
#pragma once

namespace ztq {

// The 16 positive nodes and weights of the 32-point Gauss-Legendre rule on
// [-1, 1], largest node first.
void gauss_legendre32(double nodes[16], double weights[16]);

// Run length of an EWMA chart with weight LAMBDA whose limits lie H_UPPER and
// H_LOWER asymptotic standard deviations above and below the centre (the
// sigma multiples; 9.0 stands for a missing limit), when the mean has shifted
// by DELTA standard deviations of a point. Missing when the arguments are out
// of range, the system is singular or the result is below 1.
double ewma_arl(double lambda, double h_upper, double h_lower, double delta);

}  // namespace ztq
