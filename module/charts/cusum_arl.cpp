// Run length of a one-sided cumulative sum by the integral equation of Page
// (1954) and Goel and Wu (1971), Technometrics 13(2), 221-230:
//   L(u) = 1 + L(0) Phi(k - u - delta) + int_0^h L(y) phi(y + k - u - delta) dy,
// discretised by the Nystrom method (Press et al., Numerical Recipes, 3rd ed.,
// 19.1) on 33 points, the value 0 (the atom of the sum at 0) and the 32
// Gauss-Legendre nodes on [0, h]; the 33 linear equations are solved by
// Gaussian elimination with partial pivoting. The two sides are combined as
// in Lucas and Crosier (1982), Technometrics 24(3), 199-205.
#include "charts/cusum_arl.h"

#include <array>
#include <cmath>
#include <utility>

#include "charts/ewma_arl.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr int kHalf = 16;
constexpr int kGauss = 2 * kHalf;
constexpr int kSize = kGauss + 1;   // the point 0, then the nodes
constexpr double kLargestH = 50.0;  // beyond this the run lengths overflow any use
// The normal cdf is good to 7.5e-8, so row sums of the kernel are known to
// about 1e-7 and run lengths beyond about 1e6 are not resolved.
constexpr double kLongest = 1e6;
constexpr double kPi = 3.14159265358979323846;

using Matrix = std::array<std::array<double, kSize>, kSize>;
using Vector = std::array<double, kSize>;

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

double density(double x) { return std::exp(-0.5 * x * x) / std::sqrt(2.0 * kPi); }

// Gaussian elimination with partial pivoting; B becomes the solution.
bool solve(Matrix& a, Vector& b) {
  for (int col = 0; col < kSize; ++col) {
    int best = col;
    for (int r = col + 1; r < kSize; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[best][col])) best = r;
    if (!(std::fabs(a[best][col]) > 1e-300)) return false;
    std::swap(a[best], a[col]);
    std::swap(b[best], b[col]);
    for (int r = col + 1; r < kSize; ++r) {
      const double f = a[r][col] / a[col][col];
      if (f == 0.0) continue;
      for (int c = col; c < kSize; ++c) a[r][c] -= f * a[col][c];
      b[r] -= f * b[col];
    }
  }
  for (int r = kSize - 1; r >= 0; --r) {
    double v = b[r];
    for (int c = r + 1; c < kSize; ++c) v -= a[r][c] * b[c];
    b[r] = v / a[r][r];
    if (!std::isfinite(b[r])) return false;
  }
  return true;
}

}  // namespace

// Goel and Wu (1971): Nystrom solution of the cusum run-length equation.
double cusum_arl_one_sided(double h, double k, double headstart, double delta) {
  if (!present(h) || !present(k) || !present(headstart) || !present(delta)) return kMissing;
  if (!(h > 0.0) || h > kLargestH || std::fabs(k) > kLargestH || std::fabs(delta) > kLargestH)
    return kMissing;
  if (headstart < 0.0 || headstart >= h) return kMissing;

  double gn[kHalf], gw[kHalf];
  gauss_legendre32(gn, gw);
  std::array<double, kSize> x{}, w{};  // x[0] = 0 carries no weight of its own
  for (int i = 0; i < kHalf; ++i) {    // [-1, 1] mapped onto [0, h]
    x[1 + i] = 0.5 * h * (1.0 + gn[i]);
    w[1 + i] = 0.5 * h * gw[i];
    x[kGauss - i] = 0.5 * h * (1.0 - gn[i]);
    w[kGauss - i] = 0.5 * h * gw[i];
  }
  const auto row = [&](double u, std::array<double, kSize>& coef) {
    coef[0] = norm_cdf(k - u - delta);  // the sum falls back to 0
    for (int j = 1; j < kSize; ++j) coef[j] = w[j] * density(x[j] + k - u - delta);
  };
  Matrix a{};
  Vector b{};
  for (int i = 0; i < kSize; ++i) {
    row(x[i], a[i]);
    for (int j = 0; j < kSize; ++j) a[i][j] = -a[i][j];
    a[i][i] += 1.0;  // identity minus kernel
    b[i] = 1.0;
  }
  // 1 - Phi(k - delta) as the upper tail itself: the difference loses every
  // digit when the sum rarely leaves 0.
  a[0][0] = norm_cdf(delta - k);
  if (!solve(a, b)) return kMissing;
  std::array<double, kSize> coef{};
  row(headstart, coef);  // the Nystrom interpolant at the start
  double arl = 1.0;
  for (int j = 0; j < kSize; ++j) arl += coef[j] * b[j];
  if (!std::isfinite(arl) || arl < 1.0 || arl > kLongest) return kMissing;
  return arl;
}

// Lucas and Crosier (1982): 1/L = 1/L+ + 1/L-.
double cusum_arl_combined(double upper, double lower) {
  const bool u = present(upper) && upper > 0.0, l = present(lower) && lower > 0.0;
  if (!u && !l) return kMissing;
  if (!u) return lower;
  if (!l) return upper;
  return 1.0 / (1.0 / upper + 1.0 / lower);
}

double cusum_arl(double h, double k, double headstart, double delta, int sides) {
  const double upper = sides != 2 ? cusum_arl_one_sided(h, k, headstart, delta) : kMissing;
  const double lower = sides != 1 ? cusum_arl_one_sided(h, k, headstart, -delta) : kMissing;
  // A side whose run length is beyond what the system resolves (a long way
  // from its signal) adds nothing to 1/L; only both missing is missing.
  return cusum_arl_combined(upper, lower);
}

}  // namespace ztq
