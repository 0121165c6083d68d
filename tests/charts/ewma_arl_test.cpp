// EWMA run lengths by the 32-point integral equation: against the published
// table of Lucas and Saccucci and against a fine Markov chain written here.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "charts/ewma_arl.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

TEST(GaussLegendre32, IntegratesPolynomialsOfDegree63) {
  double x[16], w[16];
  gauss_legendre32(x, w);
  // Abramowitz and Stegun, Table 25.4, n = 32: the largest node and its weight.
  EXPECT_NEAR(x[0], 0.997263861849481563544981128665, 1e-14);
  EXPECT_NEAR(w[0], 0.007018610009470096600407063739, 1e-14);
  // The rule is exact for x^k, k <= 63: the integral of x^k over [-1, 1] is 2 / (k + 1).
  for (int k : {0, 2, 10, 30, 62}) {
    double sum = 0;
    for (int i = 0; i < 16; ++i) sum += 2 * w[i] * std::pow(x[i], k);
    EXPECT_NEAR(sum, 2.0 / (k + 1), 1e-13) << k;
  }
}

// Brook and Evans (1972) Markov chain with M states on [-h c, h c]: transition
// from midpoint z_i into cell j is Phi((upper_j - (1 - l) z_i) / l - delta) -
// Phi((lower_j - (1 - l) z_i) / l - delta); ARL = (I - P)^-1 1 at the middle
// state. A second method, independent of the quadrature.
double markov_arl(double lambda, double h, double delta, int m) {
  const double c = std::sqrt(lambda / (2 - lambda)), top = h * c, width = 2 * top / m;
  auto phi = [](double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); };
  std::vector<std::vector<double>> a(m, std::vector<double>(m + 1));
  for (int i = 0; i < m; ++i) {
    const double zi = -top + (i + 0.5) * width;
    for (int j = 0; j < m; ++j) {
      const double lo = -top + j * width, hi = lo + width;
      const double p = phi((hi - (1 - lambda) * zi) / lambda - delta) -
                       phi((lo - (1 - lambda) * zi) / lambda - delta);
      a[i][j] = (i == j ? 1.0 : 0.0) - p;
    }
    a[i][m] = 1.0;
  }
  for (int col = 0; col < m; ++col) {  // Gaussian elimination, partial pivoting
    int best = col;
    for (int r = col + 1; r < m; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[best][col])) best = r;
    std::swap(a[col], a[best]);
    for (int r = col + 1; r < m; ++r) {
      const double f = a[r][col] / a[col][col];
      for (int k = col; k <= m; ++k) a[r][k] -= f * a[col][k];
    }
  }
  std::vector<double> l(m);
  for (int r = m - 1; r >= 0; --r) {
    double v = a[r][m];
    for (int k = r + 1; k < m; ++k) v -= a[r][k] * l[k];
    l[r] = v / a[r][r];
  }
  return l[m / 2];
}

TEST(EwmaArl, PublishedTable) {
  // Lucas and Saccucci (1990), Technometrics 32(1), 1-12, Table 3, as reproduced in
  // Montgomery, Introduction to Statistical Quality Control, 6th ed., Table 9.11:
  // lambda 0.20, L = 2.962 (two-sided, asymptotic limits). The table rounds to three
  // figures; the 32-point rule on a kernel of width lambda agrees to about 1%.
  struct Row {
    double delta, want, tol;
  };
  const Row rows[] = {
      {0.0, 500, 6.0}, {0.5, 41.8, 0.5}, {1.0, 10.5, 0.1}, {2.0, 3.7, 0.05}, {3.0, 2.4, 0.05}};
  for (const Row& r : rows) {
    EXPECT_NEAR(ewma_arl(0.2, 2.962, 2.962, r.delta), r.want, r.tol) << r.delta;
  }
  // Crowder's (1987) integral-equation value for lambda 0.25, L = 3, a one-sigma
  // shift, as printed in a vendor's QC manual: 11.154267016 (to 1e-6 here).
  EXPECT_NEAR(ewma_arl(0.25, 3.0, 3.0, 1.0), 11.154267016, 1e-5);
}

TEST(EwmaArl, AgreesWithAFineMarkovChain) {
  struct Row {
    double lambda, h, delta;
  };
  const Row rows[] = {{0.2, 2.962, 0.0}, {0.1, 2.814, 0.5}, {0.5, 3.0, 1.0}, {1.0, 3.0, 0.0}};
  for (const Row& r : rows) {
    const double mc = markov_arl(r.lambda, r.h, r.delta, 401);
    EXPECT_NEAR(ewma_arl(r.lambda, r.h, r.h, r.delta), mc, 0.01 * mc)
        << r.lambda << " " << r.h << " " << r.delta;
  }
  // lambda 1 is the Shewhart chart: ARL0 = 1 / (2 Phi(-3)) = 370.4.
  EXPECT_NEAR(ewma_arl(1.0, 3.0, 3.0, 0.0), 1 / (std::erfc(3 / std::sqrt(2.0))), 2.0);
}

TEST(EwmaArl, SymmetryMissingLimitsAndBadInput) {
  // A shift up with the limits swapped is a shift down.
  EXPECT_NEAR(ewma_arl(0.2, 2.5, 3.5, 0.7), ewma_arl(0.2, 3.5, 2.5, -0.7), 1e-9);
  // A missing lower limit stands at 9 sigma. For lambda 1 that is the one-sided
  // Shewhart chart: 1 / (1 - Phi(3)) = 740.80.
  EXPECT_NEAR(ewma_arl(1.0, 3.0, kMissing, 0.0), 740.80, 0.05);
  EXPECT_GT(ewma_arl(0.2, 3.0, 4.0, 0.0), ewma_arl(0.2, 3.0, 3.0, 0.0));
  // At lambda 0.2, 16 nodes over [-9c, 0] cannot follow a kernel of width 0.2: the
  // solution is unsound and reported missing rather than printed.
  EXPECT_EQ(ewma_arl(0.2, 3.0, kMissing, 0.0), ewma_arl(0.2, 3.0, 9.0, 0.0));
  const double nan = std::nan("");
  for (double lam : {0.0, -0.2, 1.5, nan}) EXPECT_EQ(ewma_arl(lam, 3, 3, 0), kMissing) << lam;
  for (double h : {0.0, -1.0, 1e300}) EXPECT_EQ(ewma_arl(0.2, h, 3, 0), kMissing) << h;
  EXPECT_EQ(ewma_arl(0.2, 3, 3, nan), kMissing);
}

}  // namespace
}  // namespace ztq
