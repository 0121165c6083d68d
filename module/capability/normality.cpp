#include "capability/normality.h"

#include <algorithm>
#include <cmath>

#include "stats/distributions.h"

namespace ztq {

namespace {

// Polynomial c[0] + c[1] x + ... (Horner's rule).
double poly(const double* c, int n, double x) {
  double r = 0;
  for (int i = n - 1; i >= 0; --i) r = r * x + c[i];
  return r;
}

double two_sided_p(double z) { return 2.0 * (1.0 - norm_cdf(std::fabs(z))); }

// Shapiro-Wilk coefficients a_1..a_{n/2} (a_1 for the largest spread).
// n 3 to 6: the exact coefficients tabled by Shapiro and Wilk (1965, Table 5);
// above: Royston's normalised approximations to the Blom scores (Royston 1992,
// as in algorithm AS R94, the revision of AS 181).
std::vector<double> sw_coefficients(int64_t n) {
  switch (n) {
    case 3:
      return {0.7071067811865476};
    case 4:
      return {0.6872, 0.1677};
    case 5:
      return {0.6646, 0.2413};
    case 6:
      return {0.6431, 0.2806, 0.0875};
    default:
      break;
  }
  static constexpr double c1[6] = {0.0, 0.221157, -0.147981, -2.07119, 4.434685, -2.706056};
  static constexpr double c2[6] = {0.0, 0.042981, -0.293762, -1.752461, 5.682633, -3.582633};
  const int64_t half = n / 2;
  const double an = static_cast<double>(n);
  std::vector<double> m(static_cast<size_t>(half));
  double summ2 = 0;
  for (int64_t i = 0; i < half; ++i) {
    m[i] = norm_quantile((static_cast<double>(i + 1) - 0.375) / (an + 0.25));
    summ2 += m[i] * m[i];
  }
  summ2 *= 2.0;
  const double ssumm2 = std::sqrt(summ2);
  const double rsn = 1.0 / std::sqrt(an);
  std::vector<double> a(static_cast<size_t>(half));
  a[0] = poly(c1, 6, rsn) - m[0] / ssumm2;
  a[1] = poly(c2, 6, rsn) - m[1] / ssumm2;
  const double fac = std::sqrt((summ2 - 2 * m[0] * m[0] - 2 * m[1] * m[1]) /
                               (1 - 2 * a[0] * a[0] - 2 * a[1] * a[1]));
  for (int64_t i = 2; i < half; ++i) a[i] = -m[i] / fac;
  return a;
}

}  // namespace

int32_t equiprobable_classes(int64_t n) {
  const double k = std::ceil(3.7653 * std::pow(static_cast<double>(n - 1), 0.4));
  return static_cast<int32_t>(std::min(k, 100.0));
}

// W = (sum a_i (x(n+1-i) - x(i)))^2 / sum (x - mean)^2 (Shapiro and Wilk 1965);
// its P-value by Royston's normalising transformations (Royston 1995, AS R94):
// exact for n = 3, ln(gamma - ln(1 - W)) for n up to 11, ln(1 - W) above.
bool shapiro_wilk(const std::vector<double>& x, double& w, double& p) {
  const int64_t n = static_cast<int64_t>(x.size());
  if (n < 3 || n > 2000) return false;
  const double range = x.back() - x.front();
  if (!(range > 1e-19 * std::max(1.0, std::fabs(x.back())))) return false;
  const std::vector<double> a = sw_coefficients(n);
  double mean = 0;
  for (double v : x) mean += (v - x.front()) / range;
  mean /= static_cast<double>(n);
  double ss = 0, b = 0;
  for (double v : x) {
    const double d = (v - x.front()) / range - mean;
    ss += d * d;
  }
  for (size_t i = 0; i < a.size(); ++i) b += a[i] * (x[n - 1 - i] - x[i]) / range;
  if (!(ss > 0)) return false;
  w = std::min(1.0, b * b / ss);
  const double an = static_cast<double>(n);
  if (n == 3) {  // exact: P = (6/pi)(asin(sqrt W) - asin(sqrt 0.75))
    p = std::max(0.0, 1.90985931710274 * (std::asin(std::sqrt(w)) - 1.04719755119660));
    return true;
  }
  const double w1 = 1.0 - w;
  if (!(w1 > 0)) {
    p = 1.0;
    return true;
  }
  double y = std::log(w1), mu, sigma;
  if (n <= 11) {
    static constexpr double g[2] = {-2.273, 0.459};
    static constexpr double c3[4] = {0.544, -0.39978, 0.025054, -6.714e-4};
    static constexpr double c4[4] = {1.3822, -0.77857, 0.062767, -0.0020322};
    const double gamma = poly(g, 2, an);
    if (y >= gamma) {
      p = 1e-99;
      return true;
    }
    y = -std::log(gamma - y);
    mu = poly(c3, 4, an);
    sigma = std::exp(poly(c4, 4, an));
  } else {
    static constexpr double c5[4] = {-1.5861, -0.31082, -0.083751, 0.0038915};
    static constexpr double c6[3] = {-0.4803, -0.082676, 0.0030302};
    const double ln = std::log(an);
    mu = poly(c5, 4, ln);
    sigma = std::exp(poly(c6, 3, ln));
  }
  p = 1.0 - norm_cdf((y - mu) / sigma);
  return std::isfinite(w) && std::isfinite(p);
}

NormalityResults normality_tests(const std::vector<double>& data) {
  NormalityResults r;
  std::vector<double> x;
  x.reserve(data.size());
  for (double v : data)
    if (!is_missing(v) && std::isfinite(v)) x.push_back(v);
  const int64_t n = static_cast<int64_t>(x.size());
  if (n < 3) return r;
  // Data handed over sorted (the procedure sorts once for all panes) stay as they are.
  if (!std::is_sorted(x.begin(), x.end())) std::sort(x.begin(), x.end());
  const double an = static_cast<double>(n);
  double mean = 0;
  for (double v : x) mean += v;
  mean /= an;
  double m2 = 0, m3 = 0, m4 = 0;  // central moments, divisor n
  for (double v : x) {
    const double d = v - mean, d2 = d * d;
    m2 += d2;
    m3 += d2 * d;
    m4 += d2 * d2;
  }
  const double s = std::sqrt(m2 / (an - 1));
  m2 /= an;
  m3 /= an;
  m4 /= an;

  // Chi-square over k classes of equal normal probability (Mann and Wald 1942;
  // k = 3.7653 (n - 1)^0.4 after Schorr 1974), df = k - 3.
  if (n >= 30 && s > 0) {
    const int32_t k = equiprobable_classes(n);
    std::vector<int64_t> count(static_cast<size_t>(k), 0);
    int32_t j = 0;
    double bound = mean + s * norm_quantile(1.0 / k);
    for (double v : x) {  // x sorted: the class pointer only moves upward
      while (j < k - 1 && v > bound) {
        ++j;
        bound = j < k - 1 ? mean + s * norm_quantile(static_cast<double>(j + 1) / k) : 0;
      }
      ++count[static_cast<size_t>(j)];
    }
    const double e = an / k;
    double c = 0;
    for (int64_t o : count) c += (static_cast<double>(o) - e) * (static_cast<double>(o) - e) / e;
    r.chi2_done = true;
    r.chi2 = c;
    r.chi2_classes = k;
    r.chi2_df = k - 3;
    r.chi2_p = 1.0 - chisq_cdf(c, k - 3);
  }

  double w = 0, p = 0;
  if (n > 2000) {
    r.sw_state = 1;
  } else if (shapiro_wilk(x, w, p)) {
    r.sw_state = 0;
    r.w = w;
    r.w_p = p;
  }

  if (!(m2 > 0)) return r;
  // Skewness z: D'Agostino (1970) transformation of sqrt(b1) to a normal deviate.
  if (n >= 8) {
    const double rb1 = std::sqrt(m3 * m3 / (m2 * m2 * m2));
    const double y = rb1 * std::sqrt((an + 1) * (an + 3) / (6 * (an - 2)));
    const double beta2 = 3 * (an * an + 27 * an - 70) * (an + 1) * (an + 3) /
                         ((an - 2) * (an + 5) * (an + 7) * (an + 9));
    const double w2 = -1 + std::sqrt(2 * (beta2 - 1));
    const double delta = 1 / std::sqrt(std::log(std::sqrt(w2)));
    const double alpha = std::sqrt(2 / (w2 - 1));
    const double ya = y / alpha;
    r.skew_done = true;
    r.skew_z = delta * std::log(ya + std::sqrt(ya * ya + 1));
    r.skew_p = two_sided_p(r.skew_z);
  }
  // Kurtosis z: Anscombe and Glynn (1983) transformation of b2.
  if (n >= 20) {
    const double b2 = m4 / (m2 * m2);
    const double e = 3 * (an - 1) / (an + 1);
    const double v = 24 * an * (an - 2) * (an - 3) / ((an + 1) * (an + 1) * (an + 3) * (an + 5));
    const double xs = (b2 - e) / std::sqrt(v);
    const double bb = 6 * (an * an - 5 * an + 2) / ((an + 7) * (an + 9)) *
                      std::sqrt(6 * (an + 3) * (an + 5) / (an * (an - 2) * (an - 3)));
    const double a = 6 + (8 / bb) * (2 / bb + std::sqrt(1 + 4 / (bb * bb)));
    const double t = (1 - 2 / a) / (1 + xs * std::sqrt(2 / (a - 4)));
    r.kurt_done = true;
    r.kurt_z = ((1 - 2 / (9 * a)) - std::cbrt(t)) / std::sqrt(2 / (9 * a));
    r.kurt_p = two_sided_p(r.kurt_z);
  }
  return r;
}

}  // namespace ztq
