// References: Montgomery (2009), Introduction to Statistical Quality Control,
// 6th ed., section 5.3 (the chance of points beyond the limits); the binomial
// terms through ln Gamma as in Abramowitz and Stegun (1964), 26.1.20.
#include "interpret/chart_verdict.h"

#include <algorithm>
#include <cmath>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {

namespace {
bool present(double v) { return !is_missing(v) && std::isfinite(v); }
}  // namespace

// Two-sided normal tail beyond kU and kL: (1 - Phi(kU)) + Phi(kL).
double expected_fraction(double k_upper, double k_lower) {
  double q = 0;
  if (present(k_upper)) q += 1.0 - norm_cdf(k_upper);
  if (present(k_lower)) q += norm_cdf(k_lower);
  return std::clamp(q, 0.0, 1.0);
}

// Upper binomial tail by the complement of the lower terms, each term
// exp(lnG(n+1) - lnG(i+1) - lnG(n-i+1) + i ln q + (n-i) ln(1-q)).
double binomial_upper_tail(int c, int n, double q) {
  if (c <= 0) return 1.0;  // every count is at least 0
  if (n <= 0 || c > n || !present(q)) return 0.0;
  if (q <= 0) return 0.0;  // no point can fall beyond
  if (q >= 1) return 1.0;  // every point falls beyond
  const double ln_n = std::lgamma(n + 1.0);
  const double ln_q = std::log(q), ln_1q = std::log1p(-q);
  double below = 0;
  for (int i = 0; i < c; ++i)
    below += std::exp(ln_n - std::lgamma(i + 1.0) - std::lgamma(n - i + 1.0) + i * ln_q +
                      (n - i) * ln_1q);
  return std::clamp(1.0 - below, 0.0, 1.0);
}

int32_t verdict_sentence(double p) {
  if (p < 0.01) return 6088;
  if (p < 0.05) return 6089;
  if (p < 0.1) return 6110;
  return 6090;
}

ChartTest chart_test(const ChartCounts& k) {
  ChartTest t;
  if (k.code < 0 || k.code >= 8) return t;
  const bool second = k.code < 4 && k.c2 > k.c1;
  t.chart = second ? 2 : 1;
  t.count = std::max(0, second ? k.c2 : k.c1);
  t.n = std::max(0, second ? k.n2 : k.n1);
  t.q = second ? k.q2 : k.q1;
  if (!(t.q > 0)) {  // limits that leave nothing beyond: no probability
    t.chart = 0;
    return t;
  }
  t.p = binomial_upper_tail(t.count, t.n, t.q);
  return t;
}

int32_t cp_band_sentence(double cp) {
  if (cp < 1.0) return 8094;
  if (cp < 1.33) return 8095;
  if (cp < 2.0) return 8096;
  return 8097;
}

}  // namespace ztq
