// Cumulative probabilities of the coded distribution family: the library's
// normal, t, chi-square, F and incomplete beta routines where they apply, the
// closed forms of the continuous codes, and term-by-term sums for the discrete
// ones. The gamma code uses P(X <= x) = P(chi2(2 shape) <= 2 rate x)
// (Abramowitz and Stegun 1964, 26.4.19) and the Cauchy code its closed form.
#include <algorithm>
#include <cmath>

#include "stats/detail/codes.h"
#include "stats/detail/discrete_sum.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

using namespace detail;

constexpr double kPi = 3.141592653589793;

// 1 - e^-y sum_{k<n} y^k/k!, the exponential carried in each term so no term overflows.
double erlang_cdf(const double* p, double x) {
  if (!(x > 0.0)) return 0.0;
  const double y = std::max(x, 1e-100) * p[1];
  const double n = std::trunc(p[0]);
  double term = std::exp(-y);
  double sum = 0.0;
  for (double k = 0.0; k < n && k < kMaxDiscreteTerms; k += 1.0) {
    sum += term;
    term *= y / (k + 1.0);
    if (k > y && term < 1e-17 * sum) break;  // the remaining terms cannot change the sum
  }
  return std::clamp(1.0 - sum, 0.0, 1.0);
}

double triangular_cdf(const double* p, double x) {
  if (x <= p[0]) return 0.0;
  if (x >= p[2]) return 1.0;
  if (x <= p[1]) return g_div((x - p[0]) * (x - p[0]), (p[1] - p[0]) * (p[2] - p[0]));
  return 1.0 - g_div((p[2] - x) * (p[2] - x), (p[2] - p[1]) * (p[2] - p[0]));
}

// (number of support points <= x) / (number of support points)
double discrete_uniform_cdf(const double* p, double x) {
  const double count = g_div(1.0, p[1] - p[0] + 1.0);
  const double xf = std::floor(x + 1e-20);
  if (xf < p[0]) return 0.0;
  if (xf >= p[1]) return 1.0;
  return std::min((std::floor(xf - p[0]) + 1.0) * count, 1.0);
}

}  // namespace

// Closed forms, the library's cdf routines, or term-by-term sums, by code.
double coded_cdf(int code, const double* p, double x) {
  if (std::isnan(x)) return x;
  switch (code) {
    case kExponential:
      if (x < 0.0) return 0.0;
      return 1.0 - std::exp(-g_div(x, p[0]));
    case kSmallestExtremeValue: {
      const double z = g_div(x - p[0], p[1]);
      if (z < -200.0) return 0.0;
      if (z > 200.0) return 1.0;
      const double ez = std::exp(z);
      if (ez > 200.0) return 1.0;
      return 1.0 - std::exp(-ez);
    }
    case kLognormal:
      if (x <= 0.0) return 0.0;
      return norm_cdf_of(std::log(x), p[2], p[3]);
    case kNormal:
      return norm_cdf_of(x, p[0], p[1]);
    case kWeibull: {
      const double u = x - p[2];
      if (!(u > 0.0)) return 0.0;
      return 1.0 - std::exp(-std::pow(g_div(u, p[1]), p[0]));
    }
    case kBeta:
      return ibeta(x, p[0], p[1]);
    case kChiSquare:
      return chisq_cdf(x, p[0]);
    case kErlang:
      return erlang_cdf(p, x);
    case kBernoulli: {
      const double k = std::floor(x);
      if (k < 0.0) return 0.0;
      return k == 0.0 ? 1.0 - p[0] : 1.0;
    }
    case kF:
      return f_cdf(x, p[0], p[1]);
    case kGamma:
      return chisq_cdf(2.0 * p[1] * x, 2.0 * p[0]);
    case kLaplace:
      if (x > p[0]) return 1.0 - 0.5 * std::exp(-(x - p[0]) * p[1]);
      return 0.5 * std::exp(-(p[0] - x) * p[1]);
    case kLogistic: {
      const double e = std::exp(g_div(x - p[0], p[1] * kLogisticScale));
      return 1.0 - 1.0 / (1.0 + e);
    }
    case kDiscreteUniform:
      return discrete_uniform_cdf(p, x);
    case kGeometric:
      if (x < 0.0) return 0.0;  // no failures can be negative
      return 1.0 - std::pow(1.0 - p[0], std::floor(x) + 1.0);
    case kStudentT:
      return t_cdf(x, p[0]);
    case kPareto:
      if (x < 1.0) return 0.0;
      return 1.0 - std::pow(x, -p[0]);
    case kTriangular:
      return triangular_cdf(p, x);
    case kUniform:
      if (x <= p[0]) return 0.0;
      if (x >= p[1]) return 1.0;
      return g_div(x - p[0], p[1] - p[0]);
    case kPoisson:
    case kBinomial:
    case kNegativeBinomial:
    case kHypergeometric:
      return discrete_sum(code, p, std::floor(x + 1e-20), 2.0).cum;
    case kCauchy:  // closed form: the integral from 0 would be negative below 0
      return 0.5 + std::atan(g_div(x - p[0], p[1])) / kPi;
    default:
      return kMissing;
  }
}

}  // namespace ztq
