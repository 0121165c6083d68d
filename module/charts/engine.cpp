// The control-chart engine: data checks, phases, pooled estimates, the lines
// at n-bar and per point (clipped and unclipped), the trend line or fitted
// model, the chart kind's transformation of chart 1 (moving averages, EWMA,
// cumulative sums), capability, the runs rules and the smoother lines, in
// that order.
#include "charts/engine.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <utility>

#include "charts/chart_kind.h"
#include "charts/estimates.h"
#include "charts/input_checks.h"
#include "charts/kind_step.h"
#include "charts/limits.h"
#include "charts/runs_rules.h"
#include "charts/smoothers.h"

namespace ztq {
namespace {

double clean(double v) { return std::isfinite(v) ? v : kMissing; }

double at(std::span<const double> v, std::size_t i) {
  return i < v.size() ? clean(v[i]) : kMissing;
}

// V made N long (missing beyond its end), non-finite values read as missing.
void clean_to(std::vector<double>& v, std::size_t n) {
  v.resize(n, kMissing);
  for (double& x : v) x = clean(x);
}

// OWNED's array, or a copy of V when the input is only read.
std::vector<double> taken(std::vector<double>* owned, std::span<const double> v) {
  if (owned != nullptr) return std::move(*owned);
  return std::vector<double>(v.begin(), v.end());
}

// Equal-length per-point data; individuals and c charts take size 1 each,
// negative attribute sample sizes read as missing. The arrays of OWNED, when
// given (IN itself), are taken over instead of copied; observations that
// outlive the results and are all finite are read in place.
ChartPoints normalise(const ChartInput& in, ChartInput* owned, const ChartTraits& t) {
  ChartPoints p;
  const std::span<const double> stat = in.statistic();
  const std::size_t n = stat.size();
  const bool finite =
      std::all_of(stat.begin(), stat.end(), [](double v) { return std::isfinite(v); });
  if (in.stat_is_observations && in.observations_outlive_results && finite) {
    p.stat = Series::view_of(stat);
  } else {
    std::vector<double> v =
        taken(owned != nullptr && !in.stat_is_observations ? &owned->stat : nullptr, stat);
    clean_to(v, n);
    p.stat = std::move(v);
  }
  // Individuals charts form their moving ranges later: no placeholder series.
  if (t.family == ChartFamily::subgrouped) {
    p.dispersion = taken(owned != nullptr ? &owned->dispersion : nullptr, in.dispersion);
    clean_to(p.dispersion, n);
  } else if (t.family != ChartFamily::individuals) {
    p.dispersion.assign(n, kMissing);
  }
  p.excluded = Marks(n);  // zero, and no memory until a point is marked
  for (std::size_t i = 0; i < n && i < in.excluded.size(); ++i)
    if (in.excluded[i] != 0) p.excluded[i] = 1;
  if (t.family == ChartFamily::individuals || t.basis == SigmaBasis::poisson_count) {
    p.size.assign(n, 1.0);
    return p;
  }
  std::vector<double> size = taken(owned != nullptr ? &owned->size : nullptr, in.size);
  clean_to(size, n);
  if (t.family == ChartFamily::attribute)
    for (double& v : size)
      if (v < 0.0) v = kMissing;
  p.size = PointLine::compact(std::move(size));
  return p;
}

// The twelve per-point lines at size n.
struct PointLines {
  double n = kMissing;
  bool valid = false;
  double clipped[6] = {};
  double unclipped[6] = {};
};

// The lines of the last few distinct sizes of a phase, so that a series of
// mixed sizes evaluates `limit` (factors, quantiles) once per size, not per point.
class LineCache {
 public:
  LineCache(const ChartEstimates& e, const ChartOptions& o, int code) : e_(e), o_(o), code_(code) {}

  const PointLines& at(double n) {
    if (slots_[last_].valid && slots_[last_].n == n) return slots_[last_];
    for (std::size_t k = 0; k < kSlots; ++k) {
      if (slots_[k].valid && slots_[k].n == n) return slots_[last_ = k];
    }
    last_ = next_;
    next_ = (next_ + 1) % kSlots;
    PointLines& pl = slots_[last_];
    const bool missing_size = is_missing(n);
    for (int line = 0; line < 6; ++line) {
      pl.clipped[line] = missing_size ? kMissing : limit(e_, o_, line, n, code_, false);
      pl.unclipped[line] = missing_size ? kMissing : limit(e_, o_, line, n, code_, true);
    }
    pl.n = n;
    pl.valid = true;
    return pl;
  }

 private:
  static constexpr std::size_t kSlots = 16;
  const ChartEstimates& e_;
  const ChartOptions& o_;
  int code_;
  PointLines slots_[kSlots];
  std::size_t last_ = 0, next_ = 0;
};

void resize_series(ChartSeries* s, std::size_t n) {
  for (PointLine* v :
       {&s->ucl1, &s->lcl1, &s->ucl2, &s->lcl2, &s->ucl1_unclipped, &s->lcl1_unclipped,
        &s->ucl2_unclipped, &s->lcl2_unclipped, &s->cl1, &s->cl2}) {
    v->assign(n, kMissing);
  }
  s->flags.assign(n, 0);
}

// Shifts a line of chart 1 onto the trend: a + b i + (line - CL1).
double along_trend(double line, double cl1, double trend_i) {
  if (is_missing(line) || is_missing(cl1) || is_missing(trend_i)) return kMissing;
  return clean(trend_i + (line - cl1));
}

// PATH: the fitted model's centre line per point (codes 16, 17), else null.
void phase_series(const ChartTraits& t, const ChartOptions& o, const ChartPoints& p, Phase ph,
                  const PhaseResult& pr, const std::vector<double>* path, ChartSeries* s) {
  LineCache cache(pr.estimates, o, t.code);
  const bool trend = t.kind == ChartKind::trend || path != nullptr;
  bool one_size = !trend && ph.first < ph.end;
  // Run by run of equal sizes (a fixed size is one run): each compared once.
  for (std::size_t i = p.size.run_end(ph.first); i < ph.end && one_size; i = p.size.run_end(i))
    one_size =
        p.size[i] == p.size[ph.first] || (is_missing(p.size[i]) && is_missing(p.size[ph.first]));
  if (one_size) {  // the same lines at every point of the phase: kept once
    const PointLines& pl = cache.at(p.size[ph.first]);
    s->cl1.fill(ph.first, ph.end, pr.lines.cl1);
    s->ucl1.fill(ph.first, ph.end, pl.clipped[kUcl1]);
    s->lcl1.fill(ph.first, ph.end, pl.clipped[kLcl1]);
    s->ucl1_unclipped.fill(ph.first, ph.end, pl.unclipped[kUcl1]);
    s->lcl1_unclipped.fill(ph.first, ph.end, pl.unclipped[kLcl1]);
    s->cl2.fill(ph.first, ph.end, pl.clipped[kCl2]);
    s->ucl2.fill(ph.first, ph.end, pl.clipped[kUcl2]);
    s->lcl2.fill(ph.first, ph.end, pl.clipped[kLcl2]);
    s->ucl2_unclipped.fill(ph.first, ph.end, pl.unclipped[kUcl2]);
    s->lcl2_unclipped.fill(ph.first, ph.end, pl.unclipped[kLcl2]);
    return;
  }
  for (std::size_t i = ph.first; i < ph.end; ++i) {
    const PointLines& pl = cache.at(p.size[i]);
    double trend_i = kMissing;
    if (path != nullptr) {
      trend_i = at(*path, i);
    } else if (trend && !is_missing(pr.trend.a) && !is_missing(pr.trend.b)) {
      trend_i = clean(pr.trend.a + pr.trend.b * static_cast<double>(i + 1));
    }
    const double cl1 = pr.lines.cl1;
    auto chart1 = [&](double v) { return trend ? along_trend(v, cl1, trend_i) : v; };
    s->cl1[i] = trend ? trend_i : cl1;
    s->ucl1[i] = chart1(pl.clipped[kUcl1]);
    s->lcl1[i] = chart1(pl.clipped[kLcl1]);
    s->ucl1_unclipped[i] = chart1(pl.unclipped[kUcl1]);
    s->lcl1_unclipped[i] = chart1(pl.unclipped[kLcl1]);
    s->cl2[i] = pl.clipped[kCl2];
    s->ucl2[i] = pl.clipped[kUcl2];
    s->lcl2[i] = pl.clipped[kLcl2];
    s->ucl2_unclipped[i] = pl.unclipped[kUcl2];
    s->lcl2_unclipped[i] = pl.unclipped[kLcl2];
  }
}

PhaseResult phase_result(const ChartTraits& t, const ChartOptions& o, const ChartPoints& p,
                         Phase ph) {
  PhaseResult pr;
  pr.first = static_cast<int>(ph.first) + 1;
  pr.last = static_cast<int>(ph.end);
  pr.estimates = pooled_estimates(t, p, ph);
  if (t.kind == ChartKind::model && t.family == ChartFamily::individuals) {
    model_estimates(p, ph, &pr.estimates);
  }
  if (t.kind == ChartKind::trend) {
    if (o.to_standard()) {
      pr.trend = {clean(o.trend_intercept()), clean(o.trend_slope())};
    } else {
      pr.trend = fit_trend(p, ph, t.family == ChartFamily::subgrouped);
    }
  }
  const double nbar = t.basis == SigmaBasis::poisson_count ? 1.0 : pr.estimates.nbar;
  for (int line = 0; line < 6; ++line) {
    pr.lines.line(line) =
        is_missing(nbar) ? kMissing : limit(pr.estimates, o, line, nbar, t.code, false);
    pr.lines_unclipped.line(line) =
        is_missing(nbar) ? kMissing : limit(pr.estimates, o, line, nbar, t.code, true);
  }
  if (o.to_standard() && o.limits_entered()) {
    // Entered limits stand whether or not the data give an n-bar.
    for (int line = 0; line < 6; ++line) {
      pr.lines.line(line) = limit(pr.estimates, o, line, 1.0, t.code, false);
      pr.lines_unclipped.line(line) = pr.lines.line(line);
    }
  }
  return pr;
}

ChartStandard standard_of(const ChartTraits& t, const ChartOptions& o, double nbar) {
  ChartStandard s;
  if (!o.to_standard()) return s;
  s.centre = clean(o.standard_centre());
  if (t.family != ChartFamily::attribute) {
    s.sigma = clean(o.standard_sigma());
  } else if (!is_missing(s.centre)) {
    s.sigma = sigma_by_basis(t.basis, s.centre, kMissing, nbar);
  }
  return s;
}

// Chart 1 of the cumulative sums is not a Shewhart chart (its points are
// sums, its limits the V-mask or decision lines): no runs rules there.
void run_rules1(const ChartTraits& t, const ChartOptions& o, const ChartPoints& p, ChartSeries* s) {
  if (t.kind == ChartKind::cusum || t.kind == ChartKind::decision_cusum) return;
  const bool detrend = t.kind == ChartKind::trend || t.kind == ChartKind::model;
  RulesChart c1{s->stat1,    &s->cl1, &s->ucl1_unclipped, &s->lcl1_unclipped, o.k_upper(),
                o.k_lower(), detrend};
  apply_runs_rules(c1, p.excluded, o, kChart1RuleShift, &s->flags);
}

void run_rules2(const ChartTraits& t, const ChartOptions& o, const ChartPoints& p, ChartSeries* s) {
  if (!t.has_chart2) return;
  RulesChart c2{p.dispersion, &s->cl2, &s->ucl2_unclipped, &s->lcl2_unclipped, o.k2_upper(),
                o.k2_lower(), false};
  apply_runs_rules(c2, p.excluded, o, kChart2RuleShift, &s->flags);
}

// The lines that are on, over the plotted statistic of chart 1; the smoothed
// charts keep their unsmoothed values in their own slot instead.
void add_smoother_lines1(const ChartTraits& t, const ChartOptions& o, const ChartPoints& p,
                         ChartResults* r) {
  SmootherLines lines;
  smoother_lines1(o, r->series.stat1, p.excluded, &lines);
  if (t.kind != ChartKind::moving_average) r->smoothers.ma1 = std::move(lines.ma1);
  if (t.kind != ChartKind::ewma) r->smoothers.ewma1 = std::move(lines.ewma1);
}

template <class T>
void release(std::vector<T>& v) {
  std::vector<T>().swap(v);
}

// OWNED, when given, is IN itself: its per-point arrays go once normalised.
ChartResults compute_chart_of(const ChartInput& in, ChartInput* owned, const ChartOptions& o) {
  ChartResults r;
  r.code = in.code;
  ChartTraits t;
  if (!chart_traits(in.code, &t) || !t.implemented) return r;  // computes nothing

  ChartPoints p = normalise(in, owned, t);
  if (owned != nullptr) {
    release(owned->stat);
    release(owned->size);
    release(owned->dispersion);
    release(owned->excluded);
  }
  const std::size_t n = p.count();
  r.points = static_cast<int>(n);

  r.error = check_kind_options(t, o);
  if (r.error == 0) r.error = check_subgroup_sizes(t, p.size);
  if (r.error == 0) r.error = check_attribute_values(t, p.stat, p.size);
  std::vector<Phase> phases;
  if (r.error == 0) r.error = split_phases(o, n, &phases);
  if (r.error != 0) {
    r.series.stat1 = std::move(p.stat);
    r.series.size = std::move(p.size);
    r.series.excluded = std::move(p.excluded);
    return r;
  }

  // The model charts take their moving ranges from the residuals instead.
  if (t.family == ChartFamily::individuals && t.kind != ChartKind::model)
    p.dispersion = moving_ranges(p.stat, p.excluded, phases);
  // The model charts fill gaps of their statistic; a failed fit shows it as given.
  std::vector<double> as_given;
  if (t.kind == ChartKind::model) as_given.assign(p.stat.begin(), p.stat.end());
  r.error = prepare_model(t, o, phases, &p, &r.model);  // codes 16, 17
  if (r.error != 0) {
    r.series.stat1 = std::move(as_given);
    r.series.size = std::move(p.size);
    r.series.excluded = std::move(p.excluded);
    return r;
  }
  release(as_given);
  resize_series(&r.series, n);

  const std::vector<double>* path = t.kind == ChartKind::model ? &r.model.fitted : nullptr;
  for (std::size_t k = 0; k < phases.size(); ++k) {
    PhaseResult pr = phase_result(t, o, p, phases[k]);
    phase_series(t, o, p, phases[k], pr, path, &r.series);
    r.used += pr.estimates.used;
    r.phases.push_back(pr);
  }
  // Chart 2 is complete with the estimates: its runs rules and lines are taken
  // now, so that an individuals chart read in place can let its moving ranges
  // go before chart 1's sums or smoothed values are formed, and form them
  // again from the observations when they are read.
  run_rules2(t, o, p, &r.series);
  smoother_lines2(o, p.dispersion, p.excluded, &r.smoothers);
  if (t.family == ChartFamily::individuals && t.kind != ChartKind::model && p.stat.is_view()) {
    r.series.stat2 = DispersionSeries::moving_ranges_of(p.stat.span(), phase_starts(phases));
    release(p.dispersion);
  } else {
    r.series.stat2 = std::move(p.dispersion);
  }
  r.series.stat1 = std::move(p.stat);  // the estimates were its last reader (code 17: gaps filled)
  const PhaseResult& last = r.phases.back();
  r.centre = clean(last.estimates.centre);
  r.sigma = clean(last.estimates.sigma);
  r.nbar = clean(last.estimates.nbar);
  r.dispersion = clean(last.estimates.dispersion);
  r.limits = last.lines;
  r.limits_unclipped = last.lines_unclipped;
  r.trend = last.trend;
  r.standard = standard_of(t, o, r.nbar);
  r.error = apply_chart_kind(t, o, p, phases, &r);
  r.series.size = std::move(p.size);  // the chart kinds were its last reader
  if (r.error != 0) {                 // an error state flags nothing and draws no lines
    r.series.flags.assign(n, 0);
    release(r.smoothers.ma2);
    release(r.smoothers.ewma2);
    r.series.excluded = std::move(p.excluded);
    return r;
  }
  if (t.family != ChartFamily::attribute) {
    r.capability = chart_capability(r.centre, r.sigma, o, in.observations);
  }
  run_rules1(t, o, p, &r.series);
  add_smoother_lines1(t, o, p, &r);
  if (t.kind == ChartKind::ewma) r.arl = ewma_in_control_arl(o, r);
  r.series.excluded = std::move(p.excluded);  // the runs rules and smoothers were its last readers
  r.computed = true;
  return r;
}

}  // namespace

ChartResults compute_chart(const ChartInput& in, const ChartOptions& o) {
  return compute_chart_of(in, nullptr, o);
}

ChartResults compute_chart(ChartInput&& in, const ChartOptions& o) {
  return compute_chart_of(in, &in, o);
}

}  // namespace ztq
