// EWMA run length by the integral equation of Crowder (1987), A simple method
// for studying run-length distributions of exponentially weighted moving
// average charts, Technometrics 29(4), 401-407, discretised by the 32-point
// Gauss-Legendre rule (nodes by Newton's method on P_32, Press et al.,
// Numerical Recipes, 3rd ed., 4.6.1) and solved by Gaussian elimination with
// partial pivoting (Golub and Van Loan, Matrix Computations, 3.4).
#include "charts/ewma_arl.h"

#include <array>
#include <cmath>
#include <utility>

#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr int kHalf = 16;
constexpr int kNodes = 2 * kHalf;
constexpr double kMissingLimit = 9.0;  // a missing limit stands 9 sigma away
constexpr double kPi = 3.14159265358979323846;

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

double phi(double x) { return std::exp(-0.5 * x * x) / std::sqrt(2.0 * kPi); }

// Solves A x = b in place (b becomes x); false when a pivot vanishes.
bool solve(std::array<std::array<double, kNodes>, kNodes>& a, std::array<double, kNodes>& b) {
  for (int col = 0; col < kNodes; ++col) {
    int best = col;
    for (int r = col + 1; r < kNodes; ++r) {
      if (std::fabs(a[r][col]) > std::fabs(a[best][col])) best = r;
    }
    if (!(std::fabs(a[best][col]) > 1e-300)) return false;
    std::swap(a[best], a[col]);
    std::swap(b[best], b[col]);
    for (int r = col + 1; r < kNodes; ++r) {
      const double f = a[r][col] / a[col][col];
      if (f == 0.0) continue;
      for (int c = col; c < kNodes; ++c) a[r][c] -= f * a[col][c];
      b[r] -= f * b[col];
    }
  }
  for (int r = kNodes - 1; r >= 0; --r) {
    double v = b[r];
    for (int c = r + 1; c < kNodes; ++c) v -= a[r][c] * b[c];
    b[r] = v / a[r][r];
    if (!std::isfinite(b[r])) return false;
  }
  return true;
}

}  // namespace

// Press et al. (gauleg): roots of P_32 from cos(pi (i - 1/4) / (n + 1/2)).
void gauss_legendre32(double nodes[16], double weights[16]) {
  for (int i = 0; i < kHalf; ++i) {
    double x = std::cos(kPi * (i + 0.75) / (kNodes + 0.5));
    double dp = 1.0;
    for (int iter = 0; iter < 100; ++iter) {
      double p0 = 1.0, p1 = x;  // P_0, P_1; recurrence k P_k = (2k - 1) x P_(k-1) - (k - 1) P_(k-2)
      for (int k = 2; k <= kNodes; ++k) {
        const double pk = ((2.0 * k - 1.0) * x * p1 - (k - 1.0) * p0) / k;
        p0 = p1;
        p1 = pk;
      }
      dp = kNodes * (x * p1 - p0) / (x * x - 1.0);
      const double step = p1 / dp;
      x -= step;
      if (std::fabs(step) < 1e-16) break;
    }
    nodes[i] = x;
    weights[i] = 2.0 / ((1.0 - x * x) * dp * dp);
  }
}

// Crowder (1987): L(u) = 1 + (1/lambda) int L(v) phi((v - (1 - lambda) u) / lambda - delta) dv.
double ewma_arl(double lambda, double h_upper, double h_lower, double delta) {
  if (!present(lambda) || !(lambda > 0.0 && lambda <= 1.0) || !present(delta)) return kMissing;
  const double hu = present(h_upper) ? h_upper : kMissingLimit;
  const double hl = present(h_lower) ? h_lower : kMissingLimit;
  if (!(hu > 0.0) || !(hl > 0.0) || hu > 1e3 || hl > 1e3) return kMissing;
  const double c = std::sqrt(lambda / (2.0 - lambda));

  double gn[kHalf], gw[kHalf];
  gauss_legendre32(gn, gw);
  std::array<double, kNodes> x{}, w{};
  for (int i = 0; i < kHalf; ++i) {  // positive half scaled by c hU, mirrored half by c hL
    x[i] = c * hu * gn[i];
    w[i] = c * hu * gw[i];
    x[kNodes - 1 - i] = -c * hl * gn[i];
    w[kNodes - 1 - i] = c * hl * gw[i];
  }
  std::array<std::array<double, kNodes>, kNodes> a{};
  std::array<double, kNodes> b{};
  for (int i = 0; i < kNodes; ++i) {
    for (int j = 0; j < kNodes; ++j) {
      a[i][j] = w[j] / lambda * phi((x[j] - (1.0 - lambda) * x[i]) / lambda - delta);
    }
    a[i][i] -= 1.0;  // kernel minus identity
    b[i] = -1.0;
  }
  if (!solve(a, b)) return kMissing;
  double arl = 1.0;  // from the start z = 0
  for (int j = 0; j < kNodes; ++j) arl += w[j] / lambda * phi(x[j] / lambda - delta) * b[j];
  if (!std::isfinite(arl) || arl < 1.0) return kMissing;
  return arl;
}

}  // namespace ztq
