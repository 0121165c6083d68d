// Guarded elementary arithmetic: each function checks its domain and throws
// DomainAbort outside it, so the export in progress is abandoned silently.
#include "stats/guarded.h"

#include <cmath>

namespace ztq {

// Division; a zero divisor is a domain error.
double g_div(double a, double b) {
  if (b == 0.0) throw DomainAbort{};
  return a / b;
}

// Power; a negative base with a fractional exponent has no real value.
double g_pow(double x, double y) {
  if (x < 0.0 && std::trunc(y) != y) throw DomainAbort{};
  return std::pow(x, y);
}

// Square root; negative arguments are a domain error.
double g_sqrt(double x) {
  if (x < 0.0) throw DomainAbort{};
  return std::sqrt(x);
}

// Exponential; above 200 the result is treated as overflow, below -200 as 0.
double g_exp(double x) {
  if (x > 200.0) throw DomainAbort{};
  if (x < -200.0) return 0.0;
  return std::exp(x);
}

// Natural logarithm; defined for positive arguments only.
double g_ln(double x) {
  if (x <= 0.0) throw DomainAbort{};
  return std::log(x);
}

// Decimal logarithm; defined for positive arguments only.
double g_log10(double x) {
  if (x <= 0.0) throw DomainAbort{};
  return std::log10(x);
}

}  // namespace ztq
