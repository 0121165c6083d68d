// Quantiles of the coded distribution family: closed-form inverses of the
// continuous codes, the library's quantile routines (the Erlang and gamma codes
// through the chi-square quantile, chi2(2 shape)/(2 rate)), and for the
// discrete codes the smallest support point whose cumulative probability
// reaches p.
#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/detail/codes.h"
#include "stats/detail/discrete_sum.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

using namespace detail;

constexpr double kPi = 3.141592653589793;

// The value at p >= 1: the top of a bounded support, else missing.
double upper_end(int code, const double* p) {
  switch (code) {
    case kBernoulli:
      return 1.0;
    case kBinomial:
    case kDiscreteUniform:
    case kUniform:
      return p[1];
    case kTriangular:
      return p[2];
    default:
      return kMissing;
  }
}

// The value at p = 0 (and below).
double lower_end(int code, const double* p) {
  switch (code) {
    case kExponential:
    case kSmallestExtremeValue:
    case kLognormal:
    case kPareto:
      return 0.0;
    case kWeibull:
      return p[2];  // the threshold
    case kTriangular:
    case kUniform:
      return p[0];
    default:
      return kMissing;
  }
}

// Smallest k >= 0 with 1 - (1 - P0)^(k + 1) >= prob: the closed form, checked
// against the cumulative probability on both sides so rounding cannot shift it.
double geometric_quantile(const double* p, double prob) {
  if (p[0] >= 1.0) return 0.0;
  if (!(p[0] > 0.0)) return kMissing;  // the cumulative probability never grows
  double k = std::max(0.0, std::ceil(std::log1p(-prob) / std::log1p(-p[0])) - 1.0);
  if (!std::isfinite(k)) return kMissing;
  if (k > 0.0 && coded_cdf(kGeometric, p, k - 1.0) >= prob) k -= 1.0;
  if (coded_cdf(kGeometric, p, k) < prob) k += 1.0;
  return k;
}

// Smallest support point P0 + j - 1 with j / (P1 - P0 + 1) >= prob.
double discrete_uniform_quantile(const double* p, double prob) {
  const double count = p[1] - p[0] + 1.0;
  if (!(count >= 1.0)) return kMissing;
  double j = std::max(1.0, std::ceil(prob * count));
  if (j > 1.0 && (j - 1.0) / count >= prob) j -= 1.0;
  return std::min(p[0] + j - 1.0, p[1]);
}

double triangular_quantile(const double* p, double prob) {
  const double width = p[2] - p[0];
  const double left = g_div(p[1] - p[0], width);  // cumulative probability at the mode
  if (prob <= left) return p[0] + std::sqrt(prob * (p[1] - p[0]) * width);
  return p[2] - std::sqrt((1.0 - prob) * (p[2] - p[1]) * width);
}

}  // namespace

// Closed-form inverses, the library's quantile routines, or a walk over the support.
double coded_quantile(int code, const double* p, double prob) {
  if (std::isnan(prob)) return kMissing;
  if (prob >= 1.0) return upper_end(code, p);
  if (prob <= 0.0) return lower_end(code, p);
  switch (code) {
    case kExponential:
      return -p[0] * std::log1p(-prob);
    case kSmallestExtremeValue:
      return p[0] + p[1] * std::log(-std::log1p(-prob));  // ln(ln(1/(1-p)))
    case kLognormal:
      return std::exp(norm_quantile_of(prob, p[2], p[3]));
    case kNormal:
      return norm_quantile_of(prob, p[0], p[1]);
    case kWeibull:
      return p[2] + p[1] * std::pow(-std::log1p(-prob), g_div(1.0, p[0]));
    case kBeta:
      return ibeta_inv(prob, p[0], p[1]);
    case kChiSquare:
      return chisq_quantile(prob, p[0]);
    case kErlang:
    case kGamma: {
      const double c = chisq_quantile(prob, 2.0 * p[0]);
      return is_missing(c) ? c : g_div(c * 0.5, p[1]);
    }
    case kBernoulli:
      return prob <= 1.0 - p[0] ? 0.0 : 1.0;
    case kF:
      return f_quantile(prob, p[0], p[1]);
    case kLaplace:
      if (prob <= 0.5) return p[0] + g_div(std::log(2.0 * prob), p[1]);
      return p[0] - g_div(std::log(2.0 * (1.0 - prob)), p[1]);
    case kLogistic:
      return p[0] + p[1] * kLogisticScale * std::log(prob / (1.0 - prob));
    case kDiscreteUniform:
      return discrete_uniform_quantile(p, prob);
    case kGeometric:
      return geometric_quantile(p, prob);
    case kStudentT:
      return t_quantile(prob, p[0]);
    case kPareto:
      return std::pow(1.0 / (1.0 - prob), g_div(1.0, p[0]));
    case kTriangular:
      return triangular_quantile(p, prob);
    case kUniform:
      return p[0] + prob * (p[1] - p[0]);
    case kPoisson:
    case kBinomial:
    case kNegativeBinomial:
    case kHypergeometric:
      return discrete_sum(code, p, std::numeric_limits<double>::infinity(), prob).x;
    case kCauchy:  // closed form; false position has no bracket for the heavy tails
      return p[0] + p[1] * std::tan(kPi * (prob - 0.5));
    default:
      return kMissing;
  }
}

}  // namespace ztq
