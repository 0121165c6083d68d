// Cumulative sums of the discrete codes, term by term from the lower end of
// the support: shared by their cumulative probability and their quantile so
// that both see the same partial sums.
#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/detail/codes.h"
#include "stats/detail/discrete_sum.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq::detail {
namespace {

struct Support {
  double lo;
  double hi;
};

Support support(int code, const double* p) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  switch (code) {
    case kBinomial:
      return {0.0, p[1]};  // 0 .. n
    case kNegativeBinomial:
      return {p[1], kInf};  // k successes need at least k trials
    case kHypergeometric:
      return {0.0, std::min(p[1], std::floor(p[0] * p[2] + 0.5))};  // 0 .. min(n, M)
    default:
      return {0.0, kInf};  // Poisson
  }
}

}  // namespace

bool is_summed_code(int code) {
  return code == kPoisson || code == kBinomial || code == kNegativeBinomial ||
         code == kHypergeometric;
}

// Direct summation from the lower end of the support (Poisson terms by recurrence).
DiscreteSum discrete_sum(int code, const double* p, double last, double target) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  for (int i = 0; i < 4; ++i) {
    if (std::isnan(p[i])) return {kNaN, kNaN};
  }
  if (std::isnan(last) || std::isnan(target)) return {kNaN, kNaN};
  const Support s = support(code, p);
  if (last < s.lo || !(s.hi >= s.lo)) return {s.lo, 0.0};

  double cum = 0.0;
  double x = s.lo;
  double poisson_term = p[2];  // e^-mean mean^k / k!, starting at k = 0
  for (double n = 0.0; n < kMaxDiscreteTerms; n += 1.0, x += 1.0) {
    double term;
    if (code == kPoisson) {
      term = poisson_term;
      poisson_term *= p[0] / (x + 1.0);
    } else {
      term = coded_density(code, p, x);
      if (is_missing(term)) term = 0.0;
    }
    if (std::isnan(term)) return {x, kNaN};
    const double next = std::min(cum + term, 1.0);  // every summed total is capped at 1
    const bool grew = next > cum;
    cum = next;
    if (x >= last || cum >= target || x >= s.hi) break;
    if (cum > 0.0 && !grew) break;  // past the mode the terms no longer count
  }
  return {x, cum};
}

}  // namespace ztq::detail
