// Control-chart factors. Tables of d2, d3, D1 and D2 to three decimals as
// published in ASTM STP 15D (1976), Manual on Presentation of Data and Control
// Chart Analysis, Table 49; c4 from its gamma-function definition (Montgomery,
// Introduction to Statistical Quality Control, 6th ed., Appendix VI).
#include "charts/factors.h"

#include <cmath>

#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr int kTableMax = 25;  // the last tabulated subgroup size

// Slots 0 and 1 hold 0.0; D1 is 0 up to n = 6. Values are used as stored
// (note d3 rising from n = 2 to 3 and D1(7) = 0.205).
constexpr double kD2[26] = {0,     0,     1.128, 1.693, 2.059, 2.326, 2.534, 2.704, 2.847,
                            2.970, 3.078, 3.173, 3.258, 3.336, 3.407, 3.472, 3.532, 3.588,
                            3.640, 3.689, 3.735, 3.778, 3.819, 3.858, 3.895, 3.931};
constexpr double kD3[26] = {0,     0,     0.853, 0.888, 0.880, 0.864, 0.848, 0.833, 0.820,
                            0.808, 0.797, 0.787, 0.778, 0.770, 0.762, 0.755, 0.749, 0.743,
                            0.738, 0.733, 0.730, 0.724, 0.721, 0.716, 0.711, 0.709};
constexpr double kDD1[26] = {0,     0,     0,     0,     0,     0,     0,     0.205, 0.387,
                             0.546, 0.687, 0.812, 0.924, 1.026, 1.121, 1.207, 1.285, 1.359,
                             1.426, 1.490, 1.548, 1.606, 1.659, 1.710, 1.759, 1.804};
constexpr double kDD2[26] = {0,     0,     3.686, 4.358, 4.698, 4.918, 5.078, 5.203, 5.307,
                             5.394, 5.469, 5.534, 5.592, 5.646, 5.693, 5.737, 5.779, 5.817,
                             5.854, 5.888, 5.922, 5.950, 5.979, 6.006, 6.031, 6.058};

const double* table_of(Factor kind) {
  switch (kind) {
    case Factor::d2:
      return kD2;
    case Factor::d3:
      return kD3;
    case Factor::D1:
      return kDD1;
    case Factor::D2:
      return kDD2;
    case Factor::c4:
      break;
  }
  return nullptr;
}

}  // namespace

// Gamma-function form of c4, evaluated with the accurate log-gamma of the C
// library (a short log-gamma series loses the fifth digit); the usual
// approximation 4(n - 1) / (4n - 3) above 25, where the two agree to 5e-5.
double c4(double n) {
  if (is_missing(n) || !std::isfinite(n) || n <= 1.0) return kMissing;  // c4(1) divides by 0
  if (n > kTableMax) return 4.0 * (n - 1.0) / (4.0 * n - 3.0);
  const double log_ratio = std::lgamma(n / 2.0) - std::lgamma((n - 1.0) / 2.0);
  return std::sqrt(2.0 / (n - 1.0)) * std::exp(log_ratio);
}

// Table lookup with linear interpolation between neighbouring whole sizes.
double factor(Factor kind, double n) {
  if (kind == Factor::c4) return c4(n);
  if (is_missing(n) || std::isnan(n)) return kMissing;
  const double m = n >= 2.0 ? n : 2.0;  // sizes below 2 read as 2
  if (m > kTableMax) return kMissing;   // no entries above 25: reject, never read past
  const double* table = table_of(kind);
  const int k = static_cast<int>(std::floor(m));
  const double frac = m - k;
  if (frac == 0.0) return table[k];
  return table[k] + frac * (table[k + 1] - table[k]);
}

}  // namespace ztq
