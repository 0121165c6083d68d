// Interior gaps of an individuals series filled by Lagrange interpolation
// (code 17).
#pragma once

#include <vector>

namespace ztq {

// Replaces, left to right, every missing value of X between its first and
// last present value by the Lagrange interpolation at the gap's position of
// the present values among the two before it (a at -2, b at -1) and the two
// after it (c at +1, d at +2); values already filled count as present.
// Returns 0, or message 1092 when a gap has fewer than two present
// neighbours (X is then left partly filled).
int fill_gaps(std::vector<double>* x);

// The interpolated value at a gap from its neighbours A (two before), B (one
// before), C (one after) and D (two after), any of them missing; missing
// when fewer than two are present.
double gap_value(double a, double b, double c, double d);

}  // namespace ztq
