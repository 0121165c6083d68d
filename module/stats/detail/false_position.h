// Regula falsi (false position) for the quantile routines: f is p minus a
// cumulative probability, x0 and x1 the two starting points.
#pragma once

#include <cmath>

namespace ztq::detail {

struct FalsePositionStop {
  int max_iter;     // iteration bound
  double f_tol;     // stop when |f| at the new point is at most this
  double move_tol;  // stop when the new point moves less than this from the one it replaces
  // Illinois variant (Dowell and Jarratt 1971, BIT 11, 168-174): an end kept
  // twice in a row has its f halved, so a bracket with one fixed end still
  // shrinks instead of creeping.
  bool illinois = false;
  double lo = -HUGE_VAL;  // new points are kept inside [lo, hi]
  double hi = HUGE_VAL;
};

// Returns the last point formed (x1 when no step is possible). The new point
// replaces the end whose f has the same sign, so a bracketing pair stays a
// bracket; equal f at both ends (a flat pair) ends the search, since the next
// point would divide by zero.
template <class F>
double false_position(F&& f, double x0, double x1, const FalsePositionStop& stop) {
  double f0 = f(x0);
  double f1 = f(x1);
  double x = x1;
  int kept = 0;  // +1 while x0 is replaced in a row (x1 kept), -1 for x1
  for (int it = 0; it < stop.max_iter; ++it) {
    if (f0 == f1 || !std::isfinite(f0) || !std::isfinite(f1)) break;
    double xn = x1 - f1 * (x0 - x1) / (f0 - f1);
    if (!std::isfinite(xn)) break;
    xn = std::fmin(std::fmax(xn, stop.lo), stop.hi);
    const double fn = f(xn);
    double moved;
    if ((fn < 0.0) == (f0 < 0.0)) {
      moved = std::fabs(xn - x0);
      x0 = xn;
      f0 = fn;
      kept = kept > 0 ? kept + 1 : 1;
      if (stop.illinois && kept > 1) f1 *= 0.5;
    } else {
      moved = std::fabs(xn - x1);
      x1 = xn;
      f1 = fn;
      kept = kept < 0 ? kept - 1 : -1;
      if (stop.illinois && kept < -1) f0 *= 0.5;
    }
    x = xn;
    if (std::fabs(fn) <= stop.f_tol || moved < stop.move_tol) break;
  }
  return x;
}

}  // namespace ztq::detail
