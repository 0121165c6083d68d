// The sweep operator after Goodnight (1979), A tutorial on the SWEEP
// operator, Am. Stat. 33(3), 149-158, with the tolerance test of its
// section 4 (a pivot small against its original diagonal marks a variable
// that is a linear combination of those swept before it).
#include "charts/sweep.h"

#include <cmath>
#include <cstddef>

namespace ztq {

namespace {
constexpr double kTolerance = 1e-10;  // relative pivot tolerance (Goodnight, section 4)
}

// Goodnight (1979), steps 1-4: D = a_kk; row k /= D; row i -= a_ik row k with
// a_ik = -a_ik / D; a_kk = 1 / D.
int sweep(std::vector<double>* m, int n, int pivots, std::vector<char>* swept) {
  std::vector<double>& a = *m;
  const std::size_t un = static_cast<std::size_t>(n);
  auto at = [&](int i, int j) -> double& {
    return a[static_cast<std::size_t>(i) * un + static_cast<std::size_t>(j)];
  };
  swept->assign(static_cast<std::size_t>(n), 0);
  if (n <= 0 || a.size() < un * un) return 0;
  std::vector<double> diagonal(un);
  for (int i = 0; i < n; ++i) diagonal[static_cast<std::size_t>(i)] = at(i, i);
  int refused = 0;
  for (int k = 0; k < pivots && k < n; ++k) {
    const double d = at(k, k);
    const bool bad = !std::isfinite(d) || d == 0.0 ||
                     (k > 0 && !(d > kTolerance * diagonal[static_cast<std::size_t>(k)]));
    if (bad) {
      ++refused;
      continue;
    }
    for (int j = 0; j < n; ++j) at(k, j) /= d;
    for (int i = 0; i < n; ++i) {
      if (i == k) continue;
      const double b = at(i, k);
      if (b == 0.0) continue;
      for (int j = 0; j < n; ++j) at(i, j) -= b * at(k, j);
      at(i, k) = -b / d;
    }
    at(k, k) = 1.0 / d;
    (*swept)[static_cast<std::size_t>(k)] = 1;
  }
  return refused;
}

}  // namespace ztq
