// Guarded elementary arithmetic. A domain error (division by zero, logarithm of
// a non-positive number, square root of a negative number, exponential above
// 200) throws DomainAbort, which abandons the current call: every export catches
// it and returns its failure value without a message.
#pragma once

namespace ztq {

inline constexpr double kMissing = -32768.0;  // the missing value of every data block

inline bool is_missing(double v) { return v == kMissing; }

// The one exception type of guarded arithmetic; carries nothing.
struct DomainAbort {};

double g_div(double a, double b);
double g_pow(double x, double y);
double g_sqrt(double x);
double g_exp(double x);
double g_ln(double x);
double g_log10(double x);

}  // namespace ztq
