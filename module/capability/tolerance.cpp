#include "capability/tolerance.h"

#include <algorithm>
#include <cmath>

#include "stats/distributions.h"

namespace ztq {

namespace {

// Wald and Wolfowitz's (1946) equation for r: Phi(1/sqrt n + r) - Phi(1/sqrt n - r) - p.
double ww(double r, double n, double p) {
  const double a = 1 / std::sqrt(n);
  return norm_cdf(a + r) - norm_cdf(a - r) - p;
}

}  // namespace

// P(T <= t) = E[Phi(t sqrt(V / df) - delta)], V chi-square with df degrees of
// freedom, by Simpson's rule over the chi-square density (mean df, sd sqrt(2 df)).
double noncentral_t_cdf(double t, double df, double delta) {
  const double sd = std::sqrt(2 * df);
  const double lo = std::max(0.0, df - 14 * sd), hi = df + 14 * sd + 30;
  constexpr int kSteps = 4000;
  const double h = (hi - lo) / kSteps;
  const double lnorm = -0.5 * df * std::log(2.0) - log_gamma2(0.5 * df);
  double sum = 0;
  for (int i = 0; i <= kSteps; ++i) {
    const double v = lo + h * i;
    if (v <= 0) continue;
    const double dens = std::exp(lnorm + (0.5 * df - 1) * std::log(v) - 0.5 * v);
    const double w = (i == 0 || i == kSteps) ? 1 : (i % 2 ? 4 : 2);
    sum += w * dens * norm_cdf(t * std::sqrt(v / df) - delta);
  }
  return std::clamp(sum * h / 3, 0.0, 1.0);
}

// Two-sided factor K = r sqrt((n - 1) / chi2(1 - g, n - 1)) (Howe 1969), r the
// root of Wald and Wolfowitz's equation by secant steps from K0 (Weissberg and
// Beatty 1960) or Phi^-1(p), and zg; the root is bracketed when the starts meet.
double tolerance_factor_two_sided(int64_t n_, double p, double g) {
  const double n = static_cast<double>(n_);
  const double zg = norm_quantile(g);
  const bool k0_start = n_ >= 11 && p <= 0.99;
  const double k0 = (1 + zg / std::sqrt(2 * n) + (5 * zg * zg + 10) / (12 * n)) *
                    std::fabs(norm_quantile((1 - p) / 2));
  if (k0_start && n_ > 200) return k0;
  double a = k0_start ? k0 : norm_quantile(p), b = zg;
  if (std::fabs(a - b) < 1e-3) b = a + 0.5;  // equal starts: a distinct second point
  a = std::max(a, 0.0);
  b = std::max(b, 0.0);
  double fa = ww(a, n, p), fb = ww(b, n, p);
  for (int it = 0; it < 100 && std::fabs(b - a) >= 1e-3 * 1e-3; ++it) {
    if (fb == fa) break;
    const double c = std::max(0.0, b - fb * (b - a) / (fb - fa));
    a = b;
    fa = fb;
    b = c;
    fb = ww(b, n, p);
    if (std::fabs(b - a) < 1e-9) break;
  }
  const double r = b;
  return r * std::sqrt((n - 1) / chisq_quantile(1 - g, n - 1));
}

// One-sided factor: n up to 100, t'/sqrt(n) with t' the g-quantile of the
// noncentral t (n - 1 df, noncentrality zp sqrt n) by secant steps (Owen 1963);
// above, the closed form of Natrella (1963).
double tolerance_factor_one_sided(int64_t n_, double p, double g) {
  const double n = static_cast<double>(n_);
  const double zp = norm_quantile(p), zg = norm_quantile(g);
  if (n_ > 100) {
    const double a = 1 - zg * zg / (2 * (n - 1));
    const double b = zp * zp - zg * zg / n;
    return (zp + std::sqrt(zp * zp - a * b)) / a;
  }
  const double df = n - 1, delta = zp * std::sqrt(n);
  const auto f = [&](double t) { return noncentral_t_cdf(t, df, delta) - g; };
  double a = delta, b = delta + zg * std::sqrt(1 + delta * delta / (2 * df)) + 0.1;
  double fa = f(a), fb = f(b);
  for (int it = 0; it < 30 && std::fabs(b - a) >= 1e-6; ++it) {
    if (fb == fa) break;
    const double c = b - fb * (b - a) / (fb - fa);
    a = b;
    fa = fb;
    b = c;
    fb = f(b);
  }
  return b / std::sqrt(n);
}

NormalTolerance normal_tolerance(int64_t n, double centre, double spread, bool usl, bool lsl,
                                 double coverage_pct, double confidence_pct) {
  NormalTolerance t;
  t.coverage = coverage_pct;
  t.confidence = confidence_pct;
  t.two_sided = usl && lsl;
  const double p = coverage_pct / 100, g = confidence_pct / 100;
  if (n < 5 || !(p > 0 && p < 1 && g > 0 && g < 1)) return t;
  t.k = t.two_sided ? tolerance_factor_two_sided(n, p, g) : tolerance_factor_one_sided(n, p, g);
  if (!std::isfinite(t.k)) {
    t.k = kMissing;
    return t;
  }
  if (usl) t.upper = centre + t.k * spread;
  if (lsl) t.lower = centre - t.k * spread;
  return t;
}

// Distribution-free limits from the m-th smallest and largest observations;
// coverage or confidence by Scheffe and Tukey's (1944) chi-square approximation.
NonparametricTolerance nonparametric_tolerance(const std::vector<double>& data, int32_t m,
                                               bool both, int mode, double given_pct) {
  NonparametricTolerance t;
  t.m = m;
  std::vector<double> x;
  for (double v : data)
    if (!is_missing(v) && std::isfinite(v)) x.push_back(v);
  const int64_t n = static_cast<int64_t>(x.size());
  if (mode == 0)
    t.confidence = given_pct;
  else
    t.coverage = given_pct;
  if (m < 1 || m > n) return t;
  // Data handed over sorted (the procedure sorts once for all panes) stay as they are.
  if (!std::is_sorted(x.begin(), x.end())) std::sort(x.begin(), x.end());
  t.lower = x[static_cast<size_t>(m - 1)];
  t.upper = x[static_cast<size_t>(n - m)];
  if (t.lower > t.upper) std::swap(t.lower, t.upper);
  t.r = both ? 2 * m : m;
  const double a = 4.0 * static_cast<double>(n) - 2.0 * (t.r - 1);
  const double g = given_pct / 100;
  if (mode == 0) {
    const double c = chisq_quantile(g, 2.0 * t.r);
    t.coverage = 100 * (a / c - 1) / (a / c + 1);
  } else {
    t.confidence = 100 * chisq_cdf((1 - g) * a / (1 + g), 2.0 * t.r);
  }
  return t;
}

}  // namespace ztq
