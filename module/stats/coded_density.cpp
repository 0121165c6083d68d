// Densities (probabilities, for the discrete codes) of the coded distribution
// family, each from its textbook closed form (Johnson, Kotz and Balakrishnan,
// Continuous Univariate Distributions, and Johnson, Kemp and Kotz, Univariate
// Discrete Distributions), with the normalising constants in P2 and P3 as
// fill_derived leaves them. A zero scale or an empty range is a domain error.
#include <algorithm>
#include <cmath>

#include "stats/detail/codes.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

using namespace detail;

constexpr double kPi = 3.141592653589793;
constexpr double kLn2 = 0.6931471805599;  // ln 2 to the digits the chi-square density uses
constexpr double kTinyArgument = 1e-100;  // stands in for x = 0 where ln x is taken

// ln C(n, k) through ln Gamma; the caller keeps 0 <= k <= n.
double ln_choose(double n, double k) {
  return log_gamma(n + 1.0) - log_gamma(k + 1.0) - log_gamma(n - k + 1.0);
}

// The hypergeometric probability; a combination that cannot occur has probability 0.
double hypergeometric(const double* p, double x) {
  const double n = p[1], big_n = p[2];
  const double m = std::floor(p[0] * big_n + 0.5);  // successes in the population, a count
  if (x < 0.0) return kMissing;
  if (!(big_n >= 0.0) || !(n >= 0.0) || n > big_n || m < 0.0 || m > big_n) return kMissing;
  if (x > m || x > n || n - x > big_n - m) return 0.0;
  return std::exp(ln_choose(m, x) + ln_choose(big_n - m, n - x) - ln_choose(big_n, n));
}

double weibull(const double* p, double x) {
  const double u = x - p[2];
  if (u > 0.0) {
    return std::exp(g_ln(p[0]) - p[0] * g_ln(p[1]) + (p[0] - 1.0) * std::log(u) -
                    std::pow(u / p[1], p[0]));
  }
  if (u == 0.0) {
    if (p[0] > 1.0) return 0.0;
    if (p[0] == 1.0) return g_div(1.0, p[1]);
    return kMissing;
  }
  return kMissing;
}

double triangular(const double* p, double x) {
  if (x >= p[0] && x <= p[1]) return g_div(2.0 * (x - p[0]), (p[1] - p[0]) * (p[2] - p[0]));
  if (x > p[1] && x <= p[2]) return g_div(2.0 * (p[2] - x), (p[2] - p[1]) * (p[2] - p[0]));
  return kMissing;
}

}  // namespace

// Closed-form density or probability of each code.
double coded_density(int code, const double* p, double x) {
  switch (code) {
    case kExponential:  // e^(-x/mean)/mean
      if (x < 0.0) return kMissing;
      return std::exp(-g_div(x, p[0])) / p[0];
    case kSmallestExtremeValue: {  // e^z exp(-e^z)/scale
      const double z = g_div(x - p[0], p[1]);
      if (!(z >= -200.0 && z <= 200.0)) return 0.0;
      const double ez = std::exp(z);
      if (ez > 200.0) return 0.0;
      return ez * std::exp(-ez) / p[1];
    }
    case kLognormal: {  // normal density of ln x, over x
      if (x < 0.0) return kMissing;
      if (x == 0.0) return 0.0;
      const double d = std::log(x) - p[2];
      return std::exp(-g_div(d * d, 2.0 * p[3] * p[3])) / (p[3] * x * kSqrt2Pi);
    }
    case kNormal: {
      const double d = x - p[0];
      return std::exp(-g_div(d * d, 2.0 * p[1] * p[1])) / (p[1] * kSqrt2Pi);
    }
    case kWeibull:
      return weibull(p, x);
    case kPoisson:  // mean^x e^-mean / x!
      return std::exp(x * g_ln(p[0]) - p[0] - log_gamma(x + 1.0));
    case kBeta:  // x^(a-1) (1-x)^(b-1) / B(a, b)
      if (x < 0.0 || x > 1.0) return kMissing;
      return g_div(std::pow(x, p[0] - 1.0) * std::pow(1.0 - x, p[1] - 1.0), p[2]);
    case kChiSquare: {
      if (x < 0.0) return kMissing;
      const double xx = std::max(x, kTinyArgument);
      return std::exp(((p[0] - 2.0) / 2.0) * std::log(xx) - xx / 2.0 - (p[0] / 2.0) * kLn2 - p[2]);
    }
    case kErlang:
      if (x < 0.0) return kMissing;
      if (x == 0.0) return p[0] == 1.0 ? p[1] : 0.0;
      return std::exp((p[0] - 1.0) * g_ln(x * p[1]) - x * p[1] + p[2]);
    case kBernoulli:
      if (x == 0.0) return 1.0 - p[0];
      if (x == 1.0) return p[0];
      return kMissing;
    case kBinomial:  // C(n, x) p^x (1-p)^(n-x), with ln n! in P2 and ln(1-p) in P3
      if (x < 0.0 || x > p[1]) return kMissing;
      return std::exp(p[2] - log_gamma(x + 1.0) - log_gamma(p[1] - x + 1.0) + x * g_ln(p[0]) +
                      (p[1] - x) * p[3]);
    case kF: {
      if (x < 0.0) return kMissing;
      const double xx = x == 0.0 ? kTinyArgument : x;
      return std::exp(p[2] + p[3] + (p[0] / 2.0 - 1.0) * std::log(xx) -
                      ((p[0] + p[1]) / 2.0) * std::log(g_div(xx * p[0], p[1]) + 1.0));
    }
    case kGamma:
      if (x < 0.0) return kMissing;
      if (x == 0.0) {
        if (p[0] < 1.0) return kMissing;  // the density is unbounded at 0
        return p[0] == 1.0 ? p[1] : 0.0;
      }
      return std::exp((p[0] - 1.0) * std::log(x) + p[2] - x * p[1]);
    case kLaplace:
      return 0.5 * p[1] * std::exp(-std::fabs(x - p[0]) * p[1]);
    case kLogistic: {
      // symmetric in x - mean: e^-|u| keeps the far tails at 0 instead of inf/inf
      const double s = p[1] * kLogisticScale;
      const double e = std::exp(-std::fabs(g_div(x - p[0], s)));
      return e / ((1.0 + e) * (1.0 + e) * s);
    }
    case kDiscreteUniform:
      if (x < p[0] || x > p[1]) return kMissing;
      return g_div(1.0, p[1] - p[0] + 1.0);
    case kGeometric:
      return p[0] * std::pow(1.0 - p[0], x);
    case kStudentT:
      return std::exp(p[2] - ((p[0] + 1.0) / 2.0) * std::log1p(g_div(x * x, p[0])));
    case kPareto:
      if (x < 1.0) return kMissing;
      return p[0] * std::pow(x, -p[0] - 1.0);
    case kTriangular:
      return triangular(p, x);
    case kUniform:
      if (x < p[0] || x > p[1]) return kMissing;
      return g_div(1.0, p[1] - p[0]);
    case kNegativeBinomial:  // C(x-1, k-1) p^k (1-p)^(x-k), x trials for k successes
      if (!(x >= p[1])) return kMissing;
      return std::exp(log_gamma(x) + p[2] - log_gamma(x - p[1] + 1.0) + (x - p[1]) * p[3]);
    case kHypergeometric:
      return hypergeometric(p, x);
    case kCauchy: {
      const double z = g_div(x - p[0], p[1]);
      return 1.0 / ((z * z + 1.0) * kPi * p[1]);
    }
    default:
      return kMissing;
  }
}

}  // namespace ztq
