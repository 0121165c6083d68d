// The F distribution function of the gage study's ANOVA table: a 32-point
// Gauss-Legendre integral of the density, so that the table's P-values are
// the same on every platform that runs this module.
#pragma once

namespace ztq {

// P(F <= x) for F with d1 and d2 degrees of freedom; 0 when x, d1 or d2 is not
// above 0; clamped to 0..1.
double gage_f_cdf(double x, double d1, double d2);

}  // namespace ztq
