// The derived constants P2 and P3 of the coded family: logarithms of the
// normalising constants of each density, so that evaluating a density costs
// no gamma function. ln Gamma is taken by Lanczos' form where it is defined
// (0 < x < 170, about 2e-10), else by Stirling's series.
#include <cmath>

#include "stats/detail/codes.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

using namespace detail;

constexpr double kPi = 3.141592653589793;

double ln_gamma(double x) { return x > 0.0 && x < 170.0 ? log_gamma2(x) : log_gamma(x); }

}  // namespace

// Logarithms of each density's normalising constant, from its parameters.
void fill_derived(int code, double* p) {
  switch (code) {
    case kLognormal: {
      // mean and sd of ln x from the mean and sd of x
      const double m2 = p[0] * p[0];
      const double sigma2 = g_ln(g_div(m2 + p[1] * p[1], m2));
      p[2] = g_ln(g_div(m2, std::sqrt(m2 + p[1] * p[1])));
      p[3] = std::sqrt(sigma2);
      break;
    }
    case kWeibull:
      if (is_missing(p[2])) p[2] = 0.0;  // no threshold given: 0
      break;
    case kPoisson:
      p[2] = std::exp(-p[0]);
      break;
    case kBeta:  // B(a, b)
      p[2] = std::exp(ln_gamma(p[0]) + ln_gamma(p[1]) - ln_gamma(p[0] + p[1]));
      break;
    case kChiSquare:
      p[2] = ln_gamma(p[0] / 2.0);
      break;
    case kErlang:  // ln(rate / (shape - 1)!)
      p[2] = g_ln(p[1]) - ln_gamma(p[0]);
      break;
    case kBinomial:
      p[2] = ln_gamma(p[1] + 1.0);
      p[3] = g_ln(1.0 - p[0]);
      break;
    case kF:
      p[2] = ln_gamma((p[0] + p[1]) / 2.0) - ln_gamma(p[0] / 2.0) - ln_gamma(p[1] / 2.0);
      p[3] = (p[0] / 2.0) * g_ln(g_div(p[0], p[1]));
      break;
    case kGamma:  // shape ln(rate) - ln Gamma(shape)
      p[2] = p[0] * g_ln(p[1]) - ln_gamma(p[0]);
      break;
    case kStudentT:
      p[2] = ln_gamma((p[0] + 1.0) / 2.0) - ln_gamma(p[0] / 2.0) - 0.5 * g_ln(p[0] * kPi);
      break;
    case kNegativeBinomial:  // k ln p - ln Gamma(k), ln(1 - p)
      p[2] = p[1] * g_ln(p[0]) - ln_gamma(p[1]);
      p[3] = g_ln(1.0 - p[0]);
      break;
    default:
      break;  // no derived constants: P2 and P3 are parameters or unused
  }
}

}  // namespace ztq
