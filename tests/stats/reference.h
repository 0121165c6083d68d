// Independent reference values for the distribution tests, computed in long
// double by methods other than the library's: erfc for the normal, the
// continued fraction of the incomplete beta (Abramowitz and Stegun 26.5.8,
// evaluated by the modified Lentz method), the series and continued fraction of
// the incomplete gamma (6.5.29, 6.5.31), lgammal for the normalisers, and
// bisection for quantiles.
#pragma once

#include <cmath>

namespace ref {

using ld = long double;

inline ld norm_cdf(ld z) { return 0.5L * std::erfc(-z / std::sqrt(2.0L)); }

// Continued fraction for I_x(a, b), valid for x < (a + 1)/(a + b + 2).
inline ld beta_cf(ld x, ld a, ld b) {
  const ld tiny = 1e-4000L;
  ld c = 1.0L, d = 1.0L - (a + b) * x / (a + 1.0L);
  if (std::fabs(d) < tiny) d = tiny;
  d = 1.0L / d;
  ld h = d;
  for (int m = 1; m < 100000; ++m) {
    const ld m2 = 2.0L * m;
    ld aa = m * (b - m) * x / ((a - 1.0L + m2) * (a + m2));
    d = 1.0L + aa * d;
    if (std::fabs(d) < tiny) d = tiny;
    c = 1.0L + aa / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0L / d;
    h *= d * c;
    aa = -(a + m) * (a + b + m) * x / ((a + m2) * (a + 1.0L + m2));
    d = 1.0L + aa * d;
    if (std::fabs(d) < tiny) d = tiny;
    c = 1.0L + aa / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0L / d;
    const ld del = d * c;
    h *= del;
    if (std::fabs(del - 1.0L) < 1e-19L) break;
  }
  return h;
}

inline ld ibeta(ld x, ld a, ld b) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  const ld front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) +
                            b * std::log1p(-x));
  if (x < (a + 1.0L) / (a + b + 2.0L)) return front * beta_cf(x, a, b) / a;
  return 1.0L - front * beta_cf(1.0L - x, b, a) / b;
}

// Regularized lower incomplete gamma P(a, y).
inline ld gamma_p(ld a, ld y) {
  if (y <= 0) return 0;
  const ld front = std::exp(a * std::log(y) - y - std::lgamma(a));
  if (y < a + 1.0L) {  // series 6.5.29
    ld term = 1.0L / a, sum = term;
    for (int n = 1; n < 100000; ++n) {
      term *= y / (a + n);
      sum += term;
      if (term < sum * 1e-21L) break;
    }
    return front * sum;
  }
  // continued fraction for Q (6.5.31), modified Lentz
  const ld tiny = 1e-4000L;
  ld b = y + 1.0L - a, c = 1.0L / tiny, d = 1.0L / b, h = d;
  for (int i = 1; i < 100000; ++i) {
    const ld an = -i * (i - a);
    b += 2.0L;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0L / d;
    const ld del = d * c;
    h *= del;
    if (std::fabs(del - 1.0L) < 1e-19L) break;
  }
  return 1.0L - front * h;
}

inline ld t_cdf(ld t, ld nu) {
  const ld tail = 0.5L * ibeta(nu / (nu + t * t), nu / 2.0L, 0.5L);
  return t >= 0 ? 1.0L - tail : tail;
}
inline ld chisq_cdf(ld x, ld nu) { return gamma_p(nu / 2.0L, x / 2.0L); }
inline ld f_cdf(ld x, ld n1, ld n2) {
  return x <= 0 ? 0.0L : ibeta(n1 * x / (n1 * x + n2), n1 / 2.0L, n2 / 2.0L);
}

// Root of the increasing function cdf(x) = p on [lo, hi] by bisection.
template <class F>
ld bisect(F cdf, ld p, ld lo, ld hi) {
  for (int i = 0; i < 200; ++i) {
    const ld mid = 0.5L * (lo + hi);
    (cdf(mid) < p ? lo : hi) = mid;
  }
  return 0.5L * (lo + hi);
}

inline ld norm_quantile(ld p) {
  return bisect([](ld z) { return norm_cdf(z); }, p, -40.0L, 40.0L);
}

// Adaptive Simpson on [a, b] in long double.
template <class F>
ld simpson_step(F& f, ld a, ld b, ld fa, ld fm, ld fb, ld whole, ld eps, int depth) {
  const ld m = 0.5L * (a + b), lm = 0.5L * (a + m), rm = 0.5L * (m + b);
  const ld flm = f(lm), frm = f(rm);
  const ld left = (m - a) / 6.0L * (fa + 4.0L * flm + fm);
  const ld right = (b - m) / 6.0L * (fm + 4.0L * frm + fb);
  if (depth <= 0 || std::fabs(left + right - whole) <= 15.0L * eps) {
    return left + right + (left + right - whole) / 15.0L;
  }
  return simpson_step(f, a, m, fa, flm, fm, left, eps / 2.0L, depth - 1) +
         simpson_step(f, m, b, fm, frm, fb, right, eps / 2.0L, depth - 1);
}
template <class F>
ld integrate(F f, ld a, ld b, ld eps = 1e-15L) {
  const ld fa = f(a), fb = f(b), fm = f(0.5L * (a + b));
  return simpson_step(f, a, b, fa, fm, fb, (b - a) / 6.0L * (fa + 4.0L * fm + fb), eps, 40);
}

}  // namespace ref
