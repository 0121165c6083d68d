// Cumulative-sum chart and V-mask: Barnard (1959), Control charts and
// stochastic processes, J. R. Stat. Soc. B 21(2), 239-271; lead distance
// d = (2 / delta^2) ln((1 - beta) / (alpha / 2)) in units of sigma^2 / n-bar,
// Johnson (1961), A simple theoretical approach to cumulative sum control
// charts, J. Am. Stat. Assoc. 56, 835-840.
#include "charts/cusum.h"

#include <cmath>

#include "stats/guarded.h"

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

bool is_excluded(const Marks& excluded, std::size_t i) {
  return i < excluded.size() && excluded[i] != 0;
}

}  // namespace

void cumulative_sum(std::span<const double> x, const Marks& excluded, std::size_t first,
                    std::size_t end, double target, std::vector<double>* s, double* deviation_sum) {
  s->resize(x.size(), kMissing);
  if (end > x.size()) end = x.size();
  double sum = kMissing;
  for (std::size_t i = first; i < end; ++i) {
    if (is_excluded(excluded, i)) {
      (*s)[i] = 0.0;  // plotted at 0, the sum goes on from its last value
      continue;
    }
    if (!present(x[i]) || !present(target)) {
      (*s)[i] = kMissing;
      continue;
    }
    const double dev = x[i] - target;
    sum = is_missing(sum) ? dev : sum + dev;
    if (!std::isfinite(sum)) sum = kMissing;  // overflow: the sum cannot go on
    (*s)[i] = sum;
    *deviation_sum += dev;
  }
}

// Johnson (1961): d = (2 sigma^2 / (n D^2)) ln(2 (1 - beta) / alpha).
double vmask_lead_distance(double alpha, double beta, double delta, double sigma, double nbar) {
  if (!present(alpha) || !present(beta) || !present(delta) || !present(sigma) || !present(nbar)) {
    return kMissing;
  }
  if (!(alpha > 0.0 && alpha < 1.0) || !(beta >= 0.0 && beta < 1.0)) return kMissing;
  if (!(sigma > 0.0) || !(nbar > 0.0) || !(delta > 0.0)) return kMissing;
  const double shift = delta * sigma;
  const double d =
      2.0 * sigma * sigma / (nbar * shift * shift) * std::log(2.0 * (1.0 - beta) / alpha);
  return std::isfinite(d) ? d : kMissing;
}

void vmask_arms(std::span<const double> s, std::span<const double> x, const Marks& excluded,
                std::size_t first, std::size_t r, double shift, double lead,
                std::vector<double>* upper, std::vector<double>* lower) {
  upper->assign(s.size(), kMissing);
  lower->assign(s.size(), kMissing);
  if (r >= s.size() || !present(shift) || !present(lead) || !present(s[r])) return;
  const double half = shift / 2.0;
  double m = 0.0;
  for (std::size_t j = r + 1; j-- > first;) {
    if (is_excluded(excluded, j) || !present(x[j]) || !present(s[j])) continue;
    const double arm = half * (lead + m);
    (*upper)[j] = std::isfinite(s[r] + arm) ? s[r] + arm : kMissing;
    (*lower)[j] = std::isfinite(s[r] - arm) ? s[r] - arm : kMissing;
    m += 1.0;
  }
}

}  // namespace ztq
