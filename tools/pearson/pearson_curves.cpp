// Pearson curves by type: I and II as beta laws between the two roots of
// the quadratic, III as the gamma law, V as the inverse gamma law, VI as the
// beta law of the second kind beyond the nearer root, IV and VII by numerical
// integration of the density (10-point Gauss-Legendre on 1000 panels of the
// variable phi, x = tan phi, which maps the whole line onto a finite range).
// Incomplete beta and gamma functions: Press et al., Numerical Recipes (1992),
// 6.2 and 6.4 (Lentz's continued fractions); quantiles by bisection.
#include "pearson_curves.h"

#include "stats/detail/beta_fraction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

namespace pearson {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.141592653589793;
constexpr double kEps = 1e-16;
constexpr int kMaxTerms = 100000;

double log_beta(double a, double b) { return std::lgamma(a) + std::lgamma(b) - std::lgamma(a + b); }

using ztq::detail::beta_fraction;  // Numerical Recipes 6.4, shared with the module

// I_x(a, b) for x below the mean-ish split, where the fraction converges fast.
double beta_lower(double x, double a, double b) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  const double front = std::exp(a * std::log(x) + b * std::log1p(-x) - log_beta(a, b));
  if (x < (a + 1) / (a + b + 2)) return front * beta_fraction(a, b, x) / a;
  return 1 - front * beta_fraction(b, a, 1 - x) / b;
}

// The p-quantile t of Beta(a, b) with 1 - t, each accurate: the tail that
// holds p is solved directly.
void beta_quantile(double p, double a, double b, double& t, double& one_minus_t) {
  if (p > 0.5) {
    beta_quantile(1 - p, b, a, one_minus_t, t);
    return;
  }
  double lo = 0, hi = 1;
  for (int i = 0; i < 200 && hi - lo > 1e-300; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (mid == lo || mid == hi) break;
    (beta_lower(mid, a, b) < p ? lo : hi) = mid;
    if (hi < 1e-300) break;
  }
  t = 0.5 * (lo + hi);
  one_minus_t = 1 - t;
}

// Regularized lower and upper incomplete gamma functions (Numerical Recipes 6.2).
void gamma_pq(double a, double x, double& p, double& q) {
  if (x <= 0) {
    p = 0;
    q = 1;
    return;
  }
  const double front = std::exp(-x + a * std::log(x) - std::lgamma(a));
  if (x < a + 1) {
    double ap = a, del = 1 / a, sum = del;
    for (int n = 0; n < kMaxTerms; ++n) {
      ap += 1;
      del *= x / ap;
      sum += del;
      if (std::fabs(del) < std::fabs(sum) * kEps) break;
    }
    p = sum * front;
    q = 1 - p;
    return;
  }
  const double tiny = 1e-300;
  double b = x + 1 - a, c = 1 / tiny, d = 1 / b, h = d;
  for (int i = 1; i <= kMaxTerms; ++i) {
    const double an = -i * (i - a);
    b += 2;
    d = an * d + b;
    if (std::fabs(d) < tiny) d = tiny;
    c = b + an / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1 / d;
    const double del = d * c;
    h *= del;
    if (std::fabs(del - 1) < kEps) break;
  }
  q = front * h;
  p = 1 - q;
}

// The p-quantile of Gamma(a, 1), solving the tail that holds p.
double gamma_quantile(double p, double a) {
  double lo = 0, hi = a + 60 * std::sqrt(a) + 60;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (mid == lo || mid == hi) break;
    double lower, upper;
    gamma_pq(a, mid, lower, upper);
    const bool below = p <= 0.5 ? lower < p : upper > 1 - p;
    (below ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

// Gauss-Legendre nodes and weights on [-1, 1], 10 points (Abramowitz and Stegun 25.4.30).
constexpr double kNode[5] = {0.1488743389816312, 0.4333953941292472, 0.6794095682990244,
                             0.8650633666889845, 0.9739065285171717};
constexpr double kWeight[5] = {0.2955242247147529, 0.2692667193099963, 0.2190863625159820,
                               0.1494513471920526, 0.0666713443086881};

struct Coefficients {
  double d, c0, c1, c2;
};

Coefficients coefficients(double g1, double g2) {
  const double b1 = g1 * g1, b2 = g2 + 3;
  return {10 * b2 - 12 * b1 - 18, 4 * b2 - 3 * b1, g1 * (b2 + 3), 2 * b2 - 3 * b1 - 6};
}

// Real roots r1 < r2 of c2 x^2 + c1 x + c0, computed without cancellation.
void roots(const Coefficients& k, double& r1, double& r2) {
  const double disc = std::sqrt(k.c1 * k.c1 - 4 * k.c0 * k.c2);
  const double q = -0.5 * (k.c1 + std::copysign(disc, k.c1 == 0 ? 1.0 : k.c1));
  double a = q / k.c2, b = q != 0 ? k.c0 / q : -a;
  r1 = std::min(a, b);
  r2 = std::max(a, b);
}

// Types IV and VII: ln f = -m ln(1 + y^2) - nu atan(y), y = (x - lambda) / a.
double type4_quantile(const Coefficients& k, double p) {
  const double lambda = -k.c1 / (2 * k.c2);
  const double a = std::sqrt(k.c0 / k.c2 - lambda * lambda);
  const double m = k.d / (2 * k.c2);
  const double nu = (k.d * lambda + k.c1) / (k.c2 * a);
  const auto log_f = [&](double phi) {  // of the density in phi: f(tan phi) sec^2 phi
    const double x = std::tan(phi), y = (x - lambda) / a;
    const double c = std::cos(phi);
    return -m * std::log1p(y * y) - nu * std::atan(y) - 2 * std::log(c);
  };
  constexpr int kPanels = 1000;
  const double h = kPi / kPanels, start = -kPi / 2;
  // The panel sums of one curve serve its three quantiles.
  thread_local Coefficients cached{0, 0, 0, 0};
  thread_local std::vector<double> cum;
  thread_local double top = 0;
  if (cum.empty() || cached.d != k.d || cached.c0 != k.c0 || cached.c1 != k.c1 ||
      cached.c2 != k.c2) {
    std::vector<double> logs(kPanels * 10);
    top = -std::numeric_limits<double>::infinity();
    for (int i = 0; i < kPanels; ++i)
      for (int j = 0; j < 10; ++j) {
        const double node = j < 5 ? -kNode[4 - j] : kNode[j - 5];
        const double v = log_f(start + h * (i + 0.5 + 0.5 * node));
        logs[static_cast<size_t>(i * 10 + j)] = v;
        top = std::max(top, v);
      }
    cum.assign(kPanels + 1, 0.0);
    for (int i = 0; i < kPanels; ++i) {
      double s = 0;
      for (int j = 0; j < 10; ++j) {
        const double w = j < 5 ? kWeight[4 - j] : kWeight[j - 5];
        s += w * std::exp(logs[static_cast<size_t>(i * 10 + j)] - top);
      }
      cum[static_cast<size_t>(i + 1)] = cum[static_cast<size_t>(i)] + 0.5 * h * s;
    }
    cached = k;
  }
  const double total = cum[kPanels];
  // From the nearer end, so that a tail area keeps its precision.
  const bool from_left = p <= 0.5;
  const double target = (from_left ? p : 1 - p) * total;
  const auto partial = [&](double lo, double hi) {  // integral over [lo, hi] inside one panel
    double s = 0;
    for (int j = 0; j < 10; ++j) {
      const double node = j < 5 ? -kNode[4 - j] : kNode[j - 5];
      const double w = j < 5 ? kWeight[4 - j] : kWeight[j - 5];
      s += w * std::exp(log_f(0.5 * (lo + hi) + 0.5 * (hi - lo) * node) - top);
    }
    return 0.5 * (hi - lo) * s;
  };
  int panel = 0;
  if (from_left) {
    while (panel < kPanels - 1 && cum[static_cast<size_t>(panel + 1)] < target) ++panel;
    const double need = target - cum[static_cast<size_t>(panel)];
    const double p0 = start + h * panel;
    double lo = p0, hi = p0 + h;
    for (int i = 0; i < 80; ++i) {
      const double mid = 0.5 * (lo + hi);
      (partial(p0, mid) < need ? lo : hi) = mid;
    }
    return std::tan(0.5 * (lo + hi));
  }
  panel = kPanels - 1;
  while (panel > 0 && total - cum[static_cast<size_t>(panel)] < target) --panel;
  const double need = target - (total - cum[static_cast<size_t>(panel + 1)]);
  const double p1 = start + h * (panel + 1);
  double lo = p1 - h, hi = p1;
  for (int i = 0; i < 80; ++i) {
    const double mid = 0.5 * (lo + hi);
    (partial(mid, p1) < need ? hi : lo) = mid;
  }
  return std::tan(0.5 * (lo + hi));
}

}  // namespace

const char* type_name(Type t) {
  static const char* const kNames[] = {"impossible", "normal", "I",  "II", "III",
                                       "IV",         "V",      "VI", "VII"};
  return kNames[static_cast<int>(t)];
}

Curve classify(double g1, double g2) {
  Curve c;
  c.skewness = g1;
  c.excess = g2;
  if (!(g2 > g1 * g1 - 2)) return c;  // below the two-point limit: no distribution
  const Coefficients k = coefficients(g1, g2);
  if (std::fabs(k.c2) < 1e-9) {
    c.type = g1 == 0 ? Type::normal : Type::III;
    return c;
  }
  if (k.c2 < 0) {
    c.type = g1 == 0 ? Type::II : Type::I;
    return c;
  }
  if (g1 == 0) {
    c.type = Type::VII;
    return c;
  }
  const double kappa = k.c1 * k.c1 / (4 * k.c0 * k.c2);
  c.type = std::fabs(kappa - 1) < 1e-12 ? Type::V : kappa < 1 ? Type::IV : Type::VI;
  return c;
}

double quantile(const Curve& c, double p) {
  // Negative skewness: the mirror image of the positive curve.
  if (c.skewness < 0) return -quantile(Curve{c.type, -c.skewness, c.excess}, 1 - p);
  const Coefficients k = coefficients(c.skewness, c.excess);
  switch (c.type) {
    case Type::impossible:
      return kNaN;
    case Type::normal: {
      // Bisection on the normal cdf, 0.5 erfc(-z / sqrt 2).
      double lo = -40, hi = 40;
      for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        const double f = p <= 0.5 ? 0.5 * std::erfc(-mid / std::sqrt(2.0))
                                  : 1 - 0.5 * std::erfc(mid / std::sqrt(2.0));
        (f < p ? lo : hi) = mid;
      }
      return 0.5 * (lo + hi);
    }
    case Type::III: {
      // Gamma with shape 4 / b1, standardized: (G - shape) / sqrt(shape).
      const double shape = 4 / (c.skewness * c.skewness);
      return (gamma_quantile(p, shape) - shape) / std::sqrt(shape);
    }
    case Type::I:
    case Type::II: {
      // f proportional to (x - r1)^A (r2 - x)^B between the roots.
      double r1, r2;
      roots(k, r1, r2);
      const double A = -(k.d * r1 + k.c1) / (k.c2 * (r1 - r2));
      const double B = -(k.d * r2 + k.c1) / (k.c2 * (r2 - r1));
      double t, u;
      beta_quantile(p, A + 1, B + 1, t, u);
      return t <= u ? r1 + (r2 - r1) * t : r2 - (r2 - r1) * u;
    }
    case Type::VI: {
      // Roots below 0: f proportional to (x - r1)^A (x - r2)^B beyond r2, so
      // u = (x - r2) / (r2 - r1) is beta of the second kind (B + 1, -A - B - 1).
      double r1, r2;
      roots(k, r1, r2);
      const double A = -(k.d * r1 + k.c1) / (k.c2 * (r1 - r2));
      const double B = -(k.d * r2 + k.c1) / (k.c2 * (r2 - r1));
      double t, s;
      beta_quantile(p, B + 1, -A - B - 1, t, s);
      return r2 + (r2 - r1) * t / s;
    }
    case Type::V: {
      // f proportional to w^-(alpha + 1) exp(-beta / w), w = x - lambda: 1 / w is gamma.
      const double lambda = -k.c1 / (2 * k.c2);
      const double alpha = k.d / k.c2 - 1, beta = -(k.d * lambda + k.c1) / k.c2;
      return lambda + beta / gamma_quantile(1 - p, alpha);
    }
    case Type::IV:
    case Type::VII:
      return type4_quantile(k, p);
  }
  return kNaN;
}

bool cell_filled(int row, int column) {
  // excess - (skewness^2 - 2) = (20 row + 60 - column^2) / 100, in whole numbers
  return 20 * row + 60 - column * column > 0;
}

std::array<std::string, 3> tables() {
  std::array<std::string, 3> out;
  for (int r = 0; r < 191; ++r) {
    for (int c = 0; c < 41; ++c) {
      std::array<double, 3> v = {kNaN, kNaN, kNaN};
      if (cell_filled(r, c)) {
        const Curve curve = classify(c / 10.0, (2 * r - 14) / 10.0);
        v = {quantile(curve, 0.99865), c == 0 ? 0.0 : -quantile(curve, 0.5),
             -quantile(curve, 0.00135)};
      }
      for (int t = 0; t < 3; ++t) {
        char field[32] = "      ";
        if (std::isfinite(v[t]) && v[t] > -9.9995 && v[t] < 99.9995)
          std::snprintf(field, sizeof field, "%6.3f", v[t] + 0.0);  // + 0.0: no "-0.000"
        out[t].append(field, 6);
      }
    }
    out[0] += "\r\n";
    out[1] += "\n";
    out[2] += "\r\n";
  }
  return out;
}

}  // namespace pearson
