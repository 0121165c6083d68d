// The sweep operator on a symmetric matrix: solves normal equations and
// inverts their matrix in one pass.
#pragma once

#include <vector>

namespace ztq {

// Sweeps the N x N row-major matrix A on the pivots 0..PIVOTS-1 in order.
// A pivot is refused (its row and column are left unswept) when it is zero,
// and from the second pivot on when it is not above 1e-10 times that
// variable's diagonal entry before the sweep. SWEPT[i] is 1 for each pivot
// swept. Returns the number of refused pivots.
//
// With A = [[X'X, X'y], [y'X, y'y]] and PIVOTS the columns of X, the swept
// block holds (X'X)^-1, the last column the coefficients and the corner the
// residual sum of squares, restricted to the swept variables.
int sweep(std::vector<double>* a, int n, int pivots, std::vector<char>* swept);

}  // namespace ztq
