// Fitting the capability distributions.
//
// References: Cohen (1965), maximum-likelihood estimation of the Weibull shape,
// Technometrics 7(4), 579-588; Greenwood and Durand (1960), aids for fitting
// the gamma distribution by maximum likelihood, Technometrics 2(1), 55-65;
// Nelder and Mead (1965), a simplex method for function minimization, Computer
// Journal 7(4), 308-313, in the form of Press et al., Numerical Recipes (amoeba).
#include "capability/fit.h"

#include <algorithm>
#include <cmath>

#include "capability/capability.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kEuler = 0.57721;  // Euler's constant as the extreme-value mean uses it
constexpr double kLogisticScale = 1.7320508075689 / kPi;  // sd to the logistic scale: sqrt(3)/pi
constexpr double kOutside = 999999999.9;  // per-observation score of an impossible parameter set

struct LogMoments {
  double mean = 0, variance = 0;  // of ln x, divisor n - 1
};

LogMoments log_moments(const std::vector<double>& x) {
  LogMoments m;
  const double n = static_cast<double>(x.size());
  double sum = 0;
  for (double v : x) sum += g_ln(v);
  m.mean = sum / n;
  double ss = 0;
  for (double v : x) {
    const double d = std::log(v) - m.mean;
    ss += d * d;
  }
  m.variance = n > 1 ? ss / (n - 1) : 0.0;
  return m;
}

// Cohen (1965): Newton steps on the profile likelihood equation of the shape
// b, 1/b + mean(ln x) - S1/S0 = 0, from the moment start
// b = pi / sqrt(6 var(ln x)). Powers are taken relative to the largest value,
// which leaves S1/S0 and S2/S0 unchanged and keeps x^b finite.
FitResult fit_weibull(const FitData& d) {
  FitResult f{{kMissing, kMissing, 0.0, kMissing}, kMissing, 0};
  const LogMoments lm = log_moments(d.x);
  const double n = static_cast<double>(d.x.size());
  double b = g_div(1.0, g_sqrt(6.0 * lm.variance / 9.869604401089358));  // pi^2
  double scale;
  if (b >= 50.0) {
    scale = d.mean * b / gamma_fn(1.0 / b);  // nearly constant data: the mean fixes the scale
  } else {
    const double top = *std::max_element(d.x.begin(), d.x.end());
    const double ln_top = std::log(top);
    double s0 = 0;
    for (int round = 0; round < 25; ++round) {
      ++f.evaluations;
      double s1 = 0, s2 = 0;
      s0 = 0;
      for (double v : d.x) {
        const double lx = std::log(v);
        const double w = std::exp(b * (lx - ln_top));  // (x / max)^b
        s0 += w;
        s1 += w * lx;
        s2 += w * lx * lx;
      }
      const double step =
          (1.0 / b + lm.mean - s1 / s0) / ((s0 * s2 - s1 * s1) / (s0 * s0) + 1.0 / (b * b));
      if (std::fabs(step) <= 0.0001 || !std::isfinite(step)) break;
      b += step;
      if (!(b > 0)) throw DomainAbort{};
    }
    scale = top * std::pow(s0 / n, 1.0 / b);  // (S0 / n)^(1/b), S0 taken relative to max^b
  }
  f.param[0] = b;
  f.param[1] = scale;
  return f;
}

// Greenwood and Durand (1960): the shape, and the rate that matches the mean.
FitResult fit_gamma(const FitData& d) {
  FitResult f{{kMissing, kMissing, kMissing, kMissing}, kMissing, 0};
  const double a = greenwood_durand_shape(g_ln(d.mean) - log_moments(d.x).mean);
  if (!(a > 0) || !std::isfinite(a)) throw DomainAbort{};
  f.param[0] = a;
  f.param[1] = a / d.mean;
  return f;
}

// Press et al., Numerical Recipes (1992), 10.4: one trial move of the worst
// point through the centroid of the others by the factor fac.
struct Simplex {
  const std::vector<double>& x;
  double p[3][2];
  double y[3];
  int evaluations = 0;

  double score(const double q[2]) {
    ++evaluations;
    return logistic_neg_log_likelihood(x, q[0], q[1]);
  }
  double move(int worst, double fac, double sum[2]) {
    const double fac1 = (1.0 - fac) / 2.0, fac2 = fac1 - fac;
    double trial[2];
    for (int j = 0; j < 2; ++j) trial[j] = sum[j] * fac1 - p[worst][j] * fac2;
    const double yt = score(trial);
    if (yt < y[worst]) {
      y[worst] = yt;
      for (int j = 0; j < 2; ++j) {
        sum[j] += trial[j] - p[worst][j];
        p[worst][j] = trial[j];
      }
    }
    return yt;
  }
};

FitResult fit_logistic(const FitData& d) {
  FitResult f{{kMissing, kMissing, kMissing, kMissing}, kMissing, 0};
  Simplex s{d.x, {}, {}, 0};
  const double start[2] = {d.mean, d.sd * kPi / 1.7320508075689};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j) s.p[i][j] = start[j] * (i == j + 1 ? 1.1 : 1.0);
  for (int i = 0; i < 3; ++i) s.y[i] = s.score(s.p[i]);
  double sum[2] = {0, 0};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j) sum[j] += s.p[i][j];
  constexpr double kTol = 1e-6;
  constexpr int kMaxEvaluations = 5000;
  int best = 0;
  for (;;) {
    best = 0;
    int worst = s.y[0] > s.y[1] ? 0 : 1;
    int next = worst == 0 ? 1 : 0;
    for (int i = 0; i < 3; ++i) {
      if (s.y[i] <= s.y[best]) best = i;
      if (s.y[i] > s.y[worst]) {
        next = worst;
        worst = i;
      } else if (s.y[i] > s.y[next] && i != worst) {
        next = i;
      }
    }
    const double denominator = std::fabs(s.y[worst]) + std::fabs(s.y[best]);
    if (denominator == 0 || 2.0 * std::fabs(s.y[worst] - s.y[best]) / denominator < kTol) break;
    bool positive = true, close = true;
    for (int j = 0; j < 2; ++j) {
      positive = positive && s.p[best][j] > 0 && s.p[worst][j] > 0;
      close = close && std::fabs(s.p[worst][j] - s.p[best][j]) <= kTol * std::fabs(s.p[best][j]);
    }
    if (positive && close) break;
    if (s.evaluations >= kMaxEvaluations) break;
    const double yt = s.move(worst, -1.0, sum);  // reflection
    if (yt <= s.y[best]) {
      s.move(worst, 2.0, sum);  // expansion beyond the reflected point
    } else if (yt >= s.y[next]) {
      const double saved = s.y[worst];
      const double yc = s.move(worst, 0.5, sum);  // contraction
      if (yc >= saved) {                          // shrink every point halfway towards the best
        for (int i = 0; i < 3; ++i) {
          if (i == best) continue;
          for (int j = 0; j < 2; ++j) s.p[i][j] = 0.5 * (s.p[i][j] + s.p[best][j]);
          s.y[i] = s.score(s.p[i]);
        }
        for (int j = 0; j < 2; ++j) sum[j] = s.p[0][j] + s.p[1][j] + s.p[2][j];
      }
    }
  }
  f.param[0] = s.p[best][0];
  f.param[1] = s.p[best][1];
  f.evaluations = s.evaluations;
  return f;
}

}  // namespace

// Greenwood and Durand (1960): rational approximations of the shape in
// y = ln(mean / geometric mean), one for y up to 0.5772 and one above.
double greenwood_durand_shape(double y) {
  if (y > 0.5772)
    return (8.898919 + 9.05995 * y + 0.9775373 * y * y) / (y * (17.79728 + 11.968477 * y + y * y));
  return g_div(0.5000876 + 0.1648852 * y - 0.0544274 * y * y, y);
}

// Logistic density with scale b = sd sqrt(3) / pi: -ln f = |z| + ln b + 2 ln(1 + e^-|z|).
double logistic_neg_log_likelihood(const std::vector<double>& x, double mean, double sd) {
  const double n = static_cast<double>(x.size());
  if (!(sd > 0) || !std::isfinite(sd) || !std::isfinite(mean)) return n * kOutside;
  const double b = sd * kLogisticScale;
  const double inv = 1.0 / b;
  double sum = 0;
  for (double v : x) {
    const double z = std::fabs((v - mean) * inv);
    sum += z + 2.0 * std::log1p(std::exp(-z));
  }
  return sum + n * std::log(b);
}

void derive_parameters(int code, double p[4], double& dist_mean) {
  switch (static_cast<CapDist>(code)) {
    case CapDist::exponential:
      p[1] = p[2] = p[3] = kMissing;
      dist_mean = p[0];
      break;
    case CapDist::smallest_extreme:
      p[2] = p[3] = kMissing;
      dist_mean = p[0] - kEuler * p[1];
      break;
    case CapDist::lognormal: {
      // Moments of ln x from the mean and sd of x (Aitchison and Brown 1957).
      const double m2 = p[0] * p[0];
      const double sigma2 = g_ln(g_div(m2 + p[1] * p[1], m2));
      p[2] = g_ln(g_div(m2, g_sqrt(m2 + p[1] * p[1])));
      p[3] = g_sqrt(sigma2);
      dist_mean = p[0];
      break;
    }
    case CapDist::weibull:
      p[2] = 0.0;  // no threshold
      p[3] = kMissing;
      dist_mean = p[1] * gamma_fn(g_div(1.0, p[0])) / p[0];
      break;
    case CapDist::gamma:
      // the log of the density's constant, rate^shape / Gamma(shape)
      p[2] = p[0] * g_ln(p[1]) - log_gamma(p[0]);
      p[3] = kMissing;
      dist_mean = g_div(p[0], p[1]);
      break;
    default:  // normal, Laplace, logistic: location and spread only
      p[2] = p[3] = kMissing;
      dist_mean = p[0];
      break;
  }
}

FitResult fit_distribution(int code, const FitData& d) {
  FitResult f{{kMissing, kMissing, kMissing, kMissing}, kMissing, 0};
  switch (static_cast<CapDist>(code)) {
    case CapDist::exponential:
      f.param[0] = d.mean;
      break;
    case CapDist::smallest_extreme:
      // Moment estimates: sd = pi scale / sqrt(6), mean = location - 0.57721 scale.
      f.param[1] = 2.449489742783178 * d.sd / kPi;  // sqrt(6)
      f.param[0] = d.mean + kEuler * f.param[1];
      break;
    case CapDist::lognormal: {
      // Moments of x from the mean m and variance v of ln x.
      const LogMoments lm = log_moments(d.x);
      f.param[0] = g_exp(lm.mean + lm.variance / 2.0);
      f.param[1] = g_sqrt((std::exp(lm.variance) - 1.0) * g_exp(2.0 * lm.mean + lm.variance));
      break;
    }
    case CapDist::weibull:
      f = fit_weibull(d);
      break;
    case CapDist::gamma:
      f = fit_gamma(d);
      break;
    case CapDist::laplace: {
      // Maximum likelihood: the median, and the rate 1 / mean absolute deviation from it.
      double sum = 0;
      for (double v : d.x) sum += std::fabs(v - d.median);
      f.param[0] = d.median;
      f.param[1] = g_div(1.0, sum / static_cast<double>(d.x.size()));
      break;
    }
    case CapDist::logistic:
      f = fit_logistic(d);
      break;
    default:  // normal
      f.param[0] = d.mean;
      f.param[1] = d.sd;
      break;
  }
  derive_parameters(code, f.param, f.dist_mean);
  return f;
}

}  // namespace ztq
