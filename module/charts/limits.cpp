// Shewhart limits: centre +- k sigma / sqrt(n) for means; range, standard
// deviation and variance charts from d2, d3, c4 and the chi-square quantile
// (Montgomery, Introduction to Statistical Quality Control, 6th ed., ch. 6;
// probability limits of the variance chart, ibid. 6.3.3); binomial and
// Poisson limits of the attribute charts (ibid., ch. 7); acceptance control
// limits after Freund (1957), Industrial Quality Control 13(10), 13-23.
#include "charts/limits.h"

#include <algorithm>
#include <cmath>

#include "charts/chart_kind.h"
#include "charts/factors.h"
#include "stats/distributions.h"

namespace ztq {
namespace {

constexpr double kTopProbability = 0.999999;  // chi-square probabilities kept off 0 and 1
constexpr double kBottomProbability = 0.000001;

double finite_or_missing(double v) { return std::isfinite(v) ? v : kMissing; }

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

double root(double v) { return v >= 0.0 ? std::sqrt(v) : kMissing; }

// Acceptance control limits: USL - (z_a / sqrt(n-bar) + z_delta) sigma and
// LSL + (...) sigma, never inside the centre line.
double acceptance_limit(const ChartOptions& o, int line, double centre, double sigma, double nbar) {
  const double bound = line == kUcl1 ? o.usl() : o.lsl();
  if (!present(bound) || !present(sigma) || !present(nbar) || nbar <= 0.0) return kMissing;
  const double z_delta = norm_quantile(1.0 - o.acceptance_delta());
  const double z_a = o.acceptance_alpha_given() ? norm_quantile(o.acceptance_alpha()) : -3.0;
  const double offset = (z_a / std::sqrt(nbar) + z_delta) * sigma;
  if (line == kUcl1) {
    const double u = bound - offset;
    return present(centre) && u < centre ? centre : u;
  }
  const double l = bound + offset;
  return present(centre) && l > centre ? centre : l;
}

double chart1(const ChartTraits& t, const ChartEstimates& e, const ChartOptions& o, int line,
              double n, bool clip) {
  const bool standard = o.to_standard();
  const double centre = standard ? o.standard_centre() : e.centre;
  if (!present(centre)) return kMissing;
  if (line == kCl1) return centre;
  const double sigma = standard ? o.standard_sigma() : e.sigma;
  if (t.kind == ChartKind::acceptance) return acceptance_limit(o, line, centre, sigma, e.nbar);
  const double k = line == kUcl1 ? o.k_upper() : o.k_lower();
  if (!present(k) || !present(n) || n <= 0.0) return kMissing;
  double spread = kMissing;  // the standard error of a point of size n
  switch (t.basis) {
    case SigmaBasis::binomial_proportion:
      spread = root(centre * (1.0 - centre) / n);
      break;
    case SigmaBasis::binomial_count: {
      if (!present(e.nbar) || e.nbar <= 0.0) return kMissing;
      const double q = centre / e.nbar;
      spread = root(n * q * (1.0 - q));
      break;
    }
    case SigmaBasis::poisson_rate:
      spread = root(centre / n);
      break;
    case SigmaBasis::poisson_count:
      spread = root(centre);
      break;
    default: {
      const double neff = effective_size(o, t.code, n);
      if (!present(sigma) || !present(neff) || !(neff > 0.0)) return kMissing;
      spread = sigma / std::sqrt(neff);
    }
  }
  if (!present(spread)) return kMissing;
  double v = centre + k * spread;
  if (clip && t.family == ChartFamily::attribute) {
    if (line == kUcl1 && t.basis == SigmaBasis::binomial_proportion && v > 1.0) v = 1.0;
    if (line == kLcl1 && v < 0.0) v = 0.0;
  }
  return v;
}

// Chi-square probability limit of the variance chart: chi2(p, n - 1) v / (n - 1).
double variance_limit(double k, bool upper, double n, double centre) {
  if (!(n > 1.0)) return kMissing;
  const double phi = norm_cdf(k);
  const double p = upper ? std::min(phi, kTopProbability) : std::max(phi, kBottomProbability);
  return chisq_quantile(p, n - 1.0) * centre / (n - 1.0);
}

double chart2(const ChartTraits& t, const ChartEstimates& e, const ChartOptions& o, int line,
              double n) {
  if (!present(n) || n <= 0.0) return kMissing;
  const bool standard = o.to_standard();
  const double s0 = o.standard_sigma();
  if (standard && !present(s0)) return kMissing;
  const double k = line == kUcl2 ? o.k2_upper() : o.k2_lower();
  if (line != kCl2 && !present(k)) return kMissing;
  switch (t.basis) {
    case SigmaBasis::range:
    case SigmaBasis::moving_range: {
      const double m = t.basis == SigmaBasis::moving_range ? 2.0 : n;
      const double centre = standard ? factor(Factor::d2, m) * s0 : e.dispersion;
      const double sigma = standard ? s0 : e.sigma;
      if (!present(centre) || is_missing(factor(Factor::d2, m))) return kMissing;
      if (line == kCl2) return centre;
      if (!present(sigma)) return kMissing;
      return centre + k * factor(Factor::d3, m) * sigma;
    }
    case SigmaBasis::standard_deviation: {
      const double c = factor(Factor::c4, n);
      if (is_missing(c) || c <= 0.0) return kMissing;
      const double centre = standard ? c * s0 : e.dispersion;
      if (!present(centre)) return kMissing;
      if (line == kCl2) return centre;
      const double scale = standard ? s0 : centre / c;
      return centre + k * scale * std::sqrt(std::max(0.0, 1.0 - c * c));
    }
    case SigmaBasis::pooled_variance: {
      const double centre = standard ? s0 * s0 : e.dispersion;
      if (!present(centre)) return kMissing;
      if (line == kCl2) return centre;
      return variance_limit(k, line == kUcl2, n, centre);
    }
    default:
      return kMissing;  // attribute charts have no chart 2
  }
}

}  // namespace

double effective_size(const ChartOptions& o, int code, double n) {
  if (code == 8 || code == 11) return n * o.span();
  if (code == 9 || code == 12) {
    const double lam = o.lambda();
    return lam > 0.0 ? n * (2.0 - lam) / lam : kMissing;
  }
  return n;
}

double limit(const ChartEstimates& est, const ChartOptions& o, int line, double n, int code,
             bool noclip) {
  ChartTraits t;
  if (!chart_traits(code, &t) || line < kUcl1 || line > kLcl2) return kMissing;
  if (!t.has_chart2 && line >= kUcl2) return kMissing;
  if (o.to_standard() && o.limits_entered()) return finite_or_missing(o.entered_limit(line));
  const bool clip = !noclip && !o.no_clip();
  if (line <= kLcl1) return finite_or_missing(chart1(t, est, o, line, n, clip));
  double v = finite_or_missing(chart2(t, est, o, line, n));
  if (clip && line == kLcl2 && !is_missing(v) && v < 0.0) v = 0.0;
  return v;
}

}  // namespace ztq
