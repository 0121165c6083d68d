#include "capability/goodness.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "stats/distributions.h"

namespace ztq {

namespace {

constexpr double kMinExpected = 5.0;

// Interquartile range by the (n + 1) p order-statistic interpolation.
double iqr_of(const std::vector<double>& s) {
  const auto q = [&](double p) {
    const double h = p * static_cast<double>(s.size() + 1) - 1;
    if (h <= 0) return s.front();
    if (h >= static_cast<double>(s.size() - 1)) return s.back();
    const size_t i = static_cast<size_t>(h);
    return s[i] + (h - static_cast<double>(i)) * (s[i + 1] - s[i]);
  };
  return q(0.75) - q(0.25);
}

// The class count of each rule: Sturges (1926), 10 log10 n, Scott (1979),
// Freedman and Diaconis (1981), or the given count; at least 2, at most 1000.
int32_t class_count(int rule, int32_t given, double n, double range, double sd, double iqr,
                    bool& fallback) {
  double k = 0;
  const double cube = std::cbrt(n);
  switch (rule) {
    case 1:
      k = std::ceil(10 * std::log10(n));
      break;
    case 2:
      k = sd > 0 ? std::ceil(range / (3.5 * sd / cube)) : 0;
      break;
    case 3:
      if (iqr > 0) {
        k = std::ceil(range / (2 * iqr / cube));
      } else {
        fallback = true;
        k = std::ceil(3.322 * std::log10(n) + 1);
      }
      break;
    case 4:
      k = given > 0 ? given : 20;
      break;
    default:
      k = std::ceil(3.322 * std::log10(n) + 1);
      break;
  }
  if (!std::isfinite(k)) k = 2;
  return static_cast<int32_t>(std::clamp(k, 2.0, 1000.0));
}

double contribution(int64_t o, double e) {
  const double d = static_cast<double>(o) - e;
  if (e > 0) return d * d / e;
  return o == 0 ? 0.0 : std::numeric_limits<double>::infinity();
}

}  // namespace

// Round limits: the division is 1, 2, 2.5 or 5 times a power of ten; of
// the divisions giving 4 to 6 classes of axis the one enclosing [lo, hi] most
// tightly wins, else the count nearest 5.
void round_axis_limits(double lo, double hi, double& lower, double& upper) {
  const double span = hi - lo;
  if (!(span > 0) || !std::isfinite(span)) {
    lower = lo - 1;
    upper = hi + 1;
    return;
  }
  const double e = std::floor(std::log10(span));
  static constexpr double kMantissa[] = {1, 2, 2.5, 5};
  double best_width = 0, best_score = std::numeric_limits<double>::infinity();
  for (int p = -2; p <= 1; ++p)
    for (double m : kMantissa) {
      const double step = m * std::pow(10.0, e + p);
      const double d = std::ceil(hi / step - 1e-9) - std::floor(lo / step + 1e-9);
      // In 4..6: the enclosed range (at most 6 steps, below 1e6 spans); else a penalty.
      const double score = d >= 4 && d <= 6 ? d * step / span : 1e6 + std::fabs(d - 5);
      if (score < best_score) {
        best_score = score;
        best_width = step;
      }
    }
  lower = std::floor(lo / best_width + 1e-9) * best_width;
  upper = std::ceil(hi / best_width - 1e-9) * best_width;
}

double kolmogorov_k(double lambda) {
  if (lambda < 0.22) return 0.0;
  if (lambda <= 0.8) {
    const double l2 = lambda * lambda;
    return std::sqrt(2 * M_PI) / lambda * std::exp(-M_PI * M_PI / (8 * l2));
  }
  if (lambda <= 3.15) {
    const double l2 = lambda * lambda;
    return 1 - 2 * std::exp(-2 * l2) + 2 * std::exp(-8 * l2) - 2 * std::exp(-18 * l2);
  }
  return 1.0;
}

// Pearson's chi-square over classes pooled to expected frequencies of 5
// (Cochran 1954), and Kolmogorov's D with the limiting distribution K.
GofResults goodness_of_fit(const std::vector<double>& data, int code, const double* param,
                           double sd, const GofInput& in) {
  GofResults r;
  std::vector<double> x;
  x.reserve(data.size());
  for (double v : data)
    if (!is_missing(v) && std::isfinite(v)) x.push_back(v);
  if (x.size() < 2) return r;
  // Data handed over sorted (the procedure sorts once for all panes) stay as they are.
  if (!std::is_sorted(x.begin(), x.end())) std::sort(x.begin(), x.end());
  const double n = static_cast<double>(x.size());

  if (in.keep && in.kept_count >= 2 && in.kept_count <= 1000 && in.kept_lower < in.kept_upper) {
    r.classes = in.kept_count;
    r.lower = in.kept_lower;
    r.upper = in.kept_upper;
  } else {
    const double widen = 0.05 * (x.back() - x.front());
    round_axis_limits(x.front() - widen, x.back() + widen, r.lower, r.upper);
    const double iqr = in.rule == 3 ? iqr_of(x) : 0.0;
    r.classes = class_count(in.rule, in.classes, n, r.upper - r.lower, sd, iqr, r.iqr_fallback);
  }
  const int32_t k = r.classes;
  const double width = (r.upper - r.lower) / k;
  const auto bound = [&](int32_t j) { return j == k ? r.upper : r.lower + width * j; };

  // Class j (1..k) holds (bound(j-1), bound(j)]; slot 0 below, k + 1 above.
  std::vector<int64_t> obs(static_cast<size_t>(k) + 2, 0);
  std::vector<double> expct(static_cast<size_t>(k) + 2, 0);
  size_t i = 0;
  while (i < x.size() && x[i] <= r.lower) ++obs[0], ++i;
  for (int32_t j = 1; j <= k; ++j)
    while (i < x.size() && x[i] <= bound(j)) ++obs[static_cast<size_t>(j)], ++i;
  obs[static_cast<size_t>(k) + 1] = static_cast<int64_t>(x.size() - i);
  r.class_observed.assign(obs.begin() + 1, obs.end() - 1);
  double f_prev = coded_cdf(code, param, r.lower);
  expct[0] = n * f_prev;
  for (int32_t j = 1; j <= k; ++j) {
    const double f = coded_cdf(code, param, bound(j));
    expct[static_cast<size_t>(j)] = n * (f - f_prev);
    f_prev = f;
  }
  expct[static_cast<size_t>(k) + 1] = n * (1 - f_prev);

  // Pooling: the below group takes classes while short of 5; then groups of
  // 5 or more; when what remains falls short of 5 it closes the last group.
  std::vector<double> tail(static_cast<size_t>(k) + 3, 0);
  for (int32_t j = k + 1; j >= 0; --j)
    tail[static_cast<size_t>(j)] = tail[static_cast<size_t>(j) + 1] + expct[static_cast<size_t>(j)];
  GofGroup g;
  g.lower = kMissing;
  int32_t j = 0;
  g.observed = obs[0];
  g.expected = expct[0];
  j = 1;
  while (j <= k + 1) {
    if (g.expected >= kMinExpected && tail[static_cast<size_t>(j)] >= kMinExpected) {
      g.upper = bound(j - 1);
      r.groups.push_back(g);
      g = GofGroup{};
      g.lower = bound(j - 1);
    }
    g.observed += obs[static_cast<size_t>(j)];
    g.expected += expct[static_cast<size_t>(j)];
    ++j;
  }
  g.upper = kMissing;
  r.groups.push_back(g);
  double c = 0;
  for (GofGroup& gr : r.groups) {
    gr.contribution = contribution(gr.observed, gr.expected);
    c += gr.contribution;
  }
  const int32_t df = static_cast<int32_t>(r.groups.size()) - (code == 0 ? 2 : 3);
  if (df >= 1) {
    r.chi2_done = true;
    r.chi2 = c;
    r.chi2_df = df;
    r.chi2_p = std::isfinite(c) ? std::max(0.0, 1.0 - chisq_cdf(c, df)) : 0.0;
  }

  double dp = 0, dm = 0;
  for (size_t m = 0; m < x.size(); ++m) {
    const double f = coded_cdf(code, param, x[m]);
    dp = std::max(dp, static_cast<double>(m + 1) / n - f);
    dm = std::max(dm, f - static_cast<double>(m) / n);
  }
  r.d_plus = dp;
  r.d_minus = dm;
  r.d = std::max(dp, dm);
  r.lambda = std::sqrt(n) * r.d;
  r.ks_p = 1.0 - kolmogorov_k(r.lambda);
  return r;
}

}  // namespace ztq
