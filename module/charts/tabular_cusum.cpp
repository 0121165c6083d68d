// Tabular (decision-interval) cumulative sums: Page (1954), Continuous
// inspection schemes, Biometrika 41, 100-115; headstart after Lucas and
// Crosier (1982), Technometrics 24(3), 199-205. The scale series of code 15
// after Hawkins (1981), A CUSUM for a scale parameter, J. Qual. Technol.
// 13(4), 228-231: sqrt(|z|) of a standard normal z has mean 0.822 and
// standard deviation 0.349.
#include "charts/tabular_cusum.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "stats/guarded.h"

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

double at(const std::vector<double>& v, std::size_t i) { return i < v.size() ? v[i] : kMissing; }
double at(const PointLine& v, std::size_t i) { return i < v.size() ? v[i] : kMissing; }

constexpr double kRootMean = 0.822;  // E sqrt(|Z|) = 2^(1/4) Gamma(3/4) / sqrt(pi)
constexpr double kRootSd = 0.349;    // sd of sqrt(|Z|): sqrt(sqrt(2/pi) - 0.822^2)

}  // namespace

// Page (1954): one-sided sums with reference value k s and reflecting barrier 0.
void decision_sums(std::span<const double> x, const std::vector<char>& excluded, const PointLine& s,
                   std::size_t first, std::size_t end, double mu0, const DecisionParameters& p,
                   std::vector<double>* sh, std::vector<double>* sl) {
  if (end > x.size()) end = x.size();
  if (p.upper) sh->resize(x.size(), kMissing);
  if (p.lower) sl->resize(x.size(), kMissing);
  double up = kMissing, down = kMissing;
  for (std::size_t i = first; i < end; ++i) {
    const double si = at(s, i);
    const bool use = present(x[i]) && present(si) && si >= 0.0 && present(mu0) &&
                     !(i < excluded.size() && excluded[i]);
    if (!use) {
      if (p.upper) (*sh)[i] = kMissing;
      if (p.lower) (*sl)[i] = kMissing;
      continue;
    }
    if (is_missing(up)) up = down = p.headstart * si;
    up = std::max(0.0, up + x[i] - (mu0 + p.k * si));
    down = std::max(0.0, down + (mu0 - p.k * si) - x[i]);
    if (!std::isfinite(up)) up = kMissing;
    if (!std::isfinite(down)) down = kMissing;
    if (is_missing(up) || is_missing(down)) {  // overflow: restart at the next point
      up = down = kMissing;
      if (p.upper) (*sh)[i] = kMissing;
      if (p.lower) (*sl)[i] = kMissing;
      continue;
    }
    if (p.upper) (*sh)[i] = up;
    if (p.lower) (*sl)[i] = down;
  }
}

void standardize(std::span<const double> x, const PointLine& s, std::size_t first, std::size_t end,
                 double mu0, std::vector<double>* z) {
  z->resize(x.size(), kMissing);
  if (end > x.size()) end = x.size();
  for (std::size_t i = first; i < end; ++i) {
    const double si = at(s, i);
    if (!present(x[i]) || !present(si) || !(si > 0.0) || !present(mu0)) {
      (*z)[i] = kMissing;  // sigma 0: no standardized value rather than a division by 0
      continue;
    }
    const double v = (x[i] - mu0) / si;
    (*z)[i] = std::isfinite(v) ? v : kMissing;
  }
}

std::vector<double> scale_series(const std::vector<double>& z) {
  std::vector<double> w(z.size(), kMissing);
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (present(z[i])) w[i] = (std::sqrt(std::fabs(z[i])) - kRootMean) / kRootSd;
  }
  return w;
}

double dominant_sum(const std::vector<double>& sh, const std::vector<double>& sl, std::size_t i) {
  const double up = at(sh, i), down = at(sl, i);
  if (is_missing(up)) return is_missing(down) ? kMissing : -down;
  if (is_missing(down)) return up;
  return down > up ? -down : up;
}

}  // namespace ztq
