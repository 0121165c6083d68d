// Pooled chart estimates per phase. Sigma bases: R-bar/d2, S-bar/c4, pooled
// variance, MR-bar/d2(2) (Montgomery, Introduction to Statistical Quality
// Control, 6th ed., ch. 6); binomial and Poisson sigmas of the attribute
// charts (ibid., ch. 7). Every division is guarded: what cannot be formed is
// missing, never an abort.
#include "charts/estimates.h"

#include <algorithm>
#include <cmath>

#include "charts/chart_messages.h"
#include "charts/dispersion_series.h"
#include "charts/factors.h"

namespace ztq {

int split_phases(const ChartOptions& options, std::size_t points, std::vector<Phase>* phases) {
  phases->clear();
  std::size_t start = 0;  // 0-based first point of the open phase
  for (int i = 0; i < 4; ++i) {
    const int b = options.phase_break(i);
    if (b <= 0) continue;
    const std::size_t first = static_cast<std::size_t>(b) - 1;  // 1-based break point
    if (first <= start || first >= points) return kMsgPhaseBreaks;
    phases->push_back({start, first});
    start = first;
  }
  phases->push_back({start, points});
  return 0;
}

std::vector<std::size_t> phase_starts(const std::vector<Phase>& phases) {
  std::vector<std::size_t> starts;
  for (const Phase& ph : phases) starts.push_back(ph.first);
  return starts;
}

std::vector<double> moving_ranges(std::span<const double> x, const Marks& excluded,
                                  const std::vector<Phase>& phases) {
  return DispersionSeries::moving_ranges_of(x, phase_starts(phases)).values(excluded);
}

namespace {

double quotient(double a, double b) { return b != 0.0 ? a / b : kMissing; }

}  // namespace

ChartEstimates pooled_estimates(const ChartTraits& t, const ChartPoints& p, Phase ph) {
  double total = 0.0, weighted = 0.0, disp_sum = 0.0, count_sum = 0.0;
  double var_num = 0.0, var_den = 0.0;
  int used = 0, positive = 0;
  const double* stat = p.stat.data();
  const double* disp = p.dispersion.data();
  const char* out = p.excluded.data();
  // Run by run of one size (one run for a fixed size), the sums in point order.
  for (std::size_t first = ph.first; first < ph.end;) {
    const std::size_t end = std::min(ph.end, p.size.run_end(first));
    const double n = p.size[first];
    if (is_missing(n)) {  // no point of the run is used
      first = end;
      continue;
    }
    for (std::size_t i = first; i < end; ++i) {
      if (out[i] || is_missing(stat[i])) continue;
      if (t.family == ChartFamily::subgrouped && is_missing(disp[i])) continue;
      ++used;
      total += n;
      weighted += n * stat[i];
      if (t.family == ChartFamily::individuals) {
        if (!is_missing(disp[i])) disp_sum += disp[i];
        continue;
      }
      if (n <= 0.0) continue;
      ++positive;
      count_sum += stat[i];
      if (t.family == ChartFamily::subgrouped) {
        disp_sum += disp[i];
        var_num += (n - 1.0) * disp[i];
        var_den += n - 1.0;
      }
    }
    first = end;
  }
  ChartEstimates e;
  e.used = used;
  if (used == 0) return e;  // a phase without usable points has no estimates
  if (t.family == ChartFamily::individuals && used < 2) return e;  // no moving range

  e.centre = quotient(weighted, total);
  if (t.basis == SigmaBasis::binomial_count) e.centre = quotient(count_sum, positive);
  if (t.basis != SigmaBasis::poisson_count) e.nbar = total / used;

  switch (t.family) {
    case ChartFamily::individuals:
      e.dispersion = quotient(disp_sum, total - 1.0);
      break;
    case ChartFamily::subgrouped:
      if (t.basis == SigmaBasis::pooled_variance) {
        e.dispersion = var_den > 0.0 ? var_num / var_den : 0.0;
      } else {
        e.dispersion = quotient(disp_sum, positive);
      }
      break;
    case ChartFamily::attribute:
      break;
  }
  e.sigma = sigma_by_basis(t.basis, e.centre, e.dispersion, e.nbar);
  return e;
}

double sigma_by_basis(SigmaBasis basis, double centre, double dispersion, double nbar) {
  auto root = [](double v) { return v >= 0.0 && std::isfinite(v) ? std::sqrt(v) : kMissing; };
  const bool need_dispersion =
      basis == SigmaBasis::range || basis == SigmaBasis::standard_deviation ||
      basis == SigmaBasis::pooled_variance || basis == SigmaBasis::moving_range;
  if (need_dispersion && is_missing(dispersion)) return kMissing;
  if (!need_dispersion && is_missing(centre)) return kMissing;
  const bool need_nbar = basis == SigmaBasis::range || basis == SigmaBasis::standard_deviation ||
                         basis == SigmaBasis::binomial_proportion ||
                         basis == SigmaBasis::binomial_count || basis == SigmaBasis::poisson_rate;
  if (need_nbar && (is_missing(nbar) || !(nbar > 0.0))) return kMissing;
  switch (basis) {
    case SigmaBasis::range: {
      const double d2 = factor(Factor::d2, nbar);
      return is_missing(d2) ? kMissing : dispersion / d2;
    }
    case SigmaBasis::standard_deviation: {
      const double c = factor(Factor::c4, nbar);
      return is_missing(c) || c <= 0.0 ? kMissing : dispersion / c;
    }
    case SigmaBasis::pooled_variance:
      return root(dispersion);
    case SigmaBasis::moving_range:
      return dispersion / factor(Factor::d2, 2.0);
    case SigmaBasis::binomial_proportion:
      return root(centre * (1.0 - centre) / nbar);
    case SigmaBasis::binomial_count:
      return root(centre * (1.0 - centre / nbar));
    case SigmaBasis::poisson_rate:
      return root(centre / nbar);
    case SigmaBasis::poisson_count:
      return root(centre);
  }
  return kMissing;
}

// Weighted least squares of y on the point number (centred form).
TrendLine fit_trend(const ChartPoints& p, Phase ph, bool weighted) {
  double sw = 0.0, st = 0.0, sy = 0.0;
  auto weight = [&](std::size_t i) {
    if (p.excluded[i] || is_missing(p.stat[i])) return 0.0;
    if (!weighted) return 1.0;
    return is_missing(p.size[i]) || p.size[i] <= 0.0 ? 0.0 : p.size[i];
  };
  for (std::size_t i = ph.first; i < ph.end; ++i) {
    const double w = weight(i);
    if (w == 0.0) continue;
    sw += w;
    st += w * static_cast<double>(i + 1);
    sy += w * p.stat[i];
  }
  TrendLine line;
  if (sw <= 0.0) return line;
  const double tbar = st / sw, ybar = sy / sw;
  double stt = 0.0, sty = 0.0;
  for (std::size_t i = ph.first; i < ph.end; ++i) {
    const double w = weight(i);
    if (w == 0.0) continue;
    const double dt = static_cast<double>(i + 1) - tbar;
    stt += w * dt * dt;
    sty += w * dt * (p.stat[i] - ybar);
  }
  line.b = stt > 0.0 ? sty / stt : 0.0;
  line.a = ybar - line.b * tbar;
  return line;
}

}  // namespace ztq
