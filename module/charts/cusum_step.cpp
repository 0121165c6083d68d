// The cumulative-sum chart kinds in the engine: codes 10 and 13 (V-mask) and
// 14 and 15 (decision intervals). The methods are in cusum.cpp and
// tabular_cusum.cpp.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <utility>

#include "charts/chart_messages.h"
#include "charts/cusum.h"
#include "charts/kind_step.h"
#include "charts/kind_step_detail.h"
#include "charts/tabular_cusum.h"
#include "charts/tabular_series.h"

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

// Chart 1's per-point lines of a cumulative chart: centre 0, limits UPPER and
// LOWER (clipped and unclipped alike: nothing is clipped here).
void set_lines(ChartSeries* s, std::size_t i, double upper, double lower) {
  s->cl1.set(i, 0.0);
  s->ucl1.set(i, upper);
  s->ucl1_unclipped.set(i, upper);
  s->lcl1.set(i, lower);
  s->lcl1_unclipped.set(i, lower);
}

// Points FIRST..END-1 of LINE take F(v) of SRC's value v: a run of SRC at a
// time while SRC is kept in runs, else point by point (LINE then keeps its
// first few runs of equal values and turns into values past them).
template <class F>
void map_runs(const PointLine& src, std::size_t first, std::size_t end, PointLine* line, F f) {
  if (line->size() != src.size()) line->assign(src.size(), kMissing);
  end = std::min(end, src.size());
  if (!src.per_point()) {
    for (std::size_t i = first; i < end;) {
      const std::size_t j = std::min(src.run_end(i), end);
      line->fill(i, j, f(src[i]));
      i = j;
    }
    return;
  }
  constexpr std::size_t kFewRuns = 64;
  const auto same = [](double a, double b) { return a == b && std::signbit(a) == std::signbit(b); };
  std::size_t i = first;
  for (std::size_t runs = 0; i < end && runs < kFewRuns; ++runs) {
    const double v = f(src[i]);
    std::size_t j = i + 1;
    while (j < end && same(f(src[j]), v)) ++j;
    line->fill(i, j, v);
    i = j;
  }
  for (; i < end; ++i) line->set(i, f(src[i]));
}

double sigma_of(const ChartOptions& o, const ChartEstimates& e) {
  const double s = o.to_standard() ? o.standard_sigma() : e.sigma;
  return present(s) ? s : kMissing;
}

std::size_t phase_of(const std::vector<Phase>& phases, std::size_t i) {
  for (std::size_t k = 0; k < phases.size(); ++k) {
    if (i >= phases[k].first && i < phases[k].end) return k;
  }
  return phases.size() - 1;
}

}  // namespace

int cusum_chart(const ChartOptions& o, const ChartPoints& p, const std::vector<Phase>& phases,
                ChartResults* r) {
  const std::size_t n = p.count();
  const int ref = o.vmask_reference();
  if (ref < 0 || static_cast<std::size_t>(ref) > n) return kMsgReferencePoint;
  const Series raw = r->series.stat1;  // a view stays a view; values are copied
  double deviations = 0.0;
  for (std::size_t k = 0; k < phases.size(); ++k) {
    const double target = kind_target(o, r->phases[k].estimates);
    cumulative_sum(raw.span(), p.excluded, phases[k].first, phases[k].end, target,
                   &r->series.stat1.values(), &deviations);
  }
  CusumResult& c = r->cusum;
  c.mean_deviation =
      n > 0 && std::isfinite(deviations) ? deviations / static_cast<double>(n) : kMissing;
  c.upper_arm.assign(n, kMissing);
  c.lower_arm.assign(n, kMissing);
  for (std::size_t i = 0; i < n; ++i) set_lines(&r->series, i, kMissing, kMissing);
  if (n == 0) return 0;

  // The vertex: the last usable point at or before the reference, in its phase.
  const std::size_t asked = ref == 0 ? n - 1 : static_cast<std::size_t>(ref) - 1;
  const std::size_t k = phase_of(phases, asked);
  const Phase ph = phases[k];
  std::size_t vertex = n;
  for (std::size_t j = asked + 1; j-- > ph.first;) {
    if (!p.excluded[j] && present(raw[j]) && present(r->series.stat1[j])) {
      vertex = j;
      break;
    }
  }
  if (vertex == n) return 0;  // no usable point: no mask
  const ChartEstimates& e = r->phases[k].estimates;
  const double sigma = sigma_of(o, e);
  const double nbar = present(e.nbar) ? e.nbar : 1.0;
  c.reference_point = static_cast<int>(vertex) + 1;
  c.lead_distance =
      vmask_lead_distance(o.vmask_alpha(), o.vmask_beta(), o.vmask_shift(), sigma, nbar);
  if (is_missing(c.lead_distance)) return 0;  // sigma 0 or risks out of range: no arms
  vmask_arms(r->series.stat1.span(), raw.span(), p.excluded, ph.first, vertex,
             o.vmask_shift() * sigma, c.lead_distance, &c.upper_arm, &c.lower_arm);
  for (std::size_t i = 0; i < n; ++i) set_lines(&r->series, i, c.upper_arm[i], c.lower_arm[i]);
  return 0;
}

void decision_chart(const ChartTraits& t, const ChartOptions& o, const ChartPoints& p,
                    const std::vector<Phase>& phases, ChartResults* r) {
  const std::size_t n = p.count();
  TabularResult& tab = r->tabular;
  DecisionParameters& dp = tab.chart1;
  dp = {o.decision_interval(), o.reference_value(), o.headstart(), o.sides1() != 2,
        o.sides1() != 1};
  tab.chart2 = dp;  // the scale sums, on the standardized scale
  tab.chart2.upper = o.sides2() != 2;
  tab.chart2.lower = o.sides2() != 1;
  tab.standardized = o.no_clip();  // `option2`: sums of z, decision lines +-h
  tab.scale = t.code == 15;
  if (tab.scale) tab.decision2 = tab.chart2.h;
  // The standard error per point, one run a phase for equal sizes, and the
  // target per phase.
  tab.s.assign(n, kMissing);
  for (std::size_t k = 0; k < phases.size(); ++k) {
    const ChartEstimates& e = r->phases[k].estimates;
    const double sigma = sigma_of(o, e);
    tab.target.push_back(kind_target(o, e));
    map_runs(p.size, phases[k].first, phases[k].end, &tab.s, [&](double size) {
      return present(sigma) && present(size) && size > 0.0 ? sigma / std::sqrt(size) : kMissing;
    });
  }
  // The points are kept for the sums' readers; the statistic becomes SH or
  // -SL, whichever lies farther from 0.
  tab.x = r->series.stat1;  // a view of the observations stays a view
  std::vector<double>& stat = r->series.stat1.values();
  tabular_pass(tab, r->phases, p.excluded, 1, [&](std::size_t i, double sh, double sl) {
    stat[i] = dominant_sum(dp.upper ? sh : kMissing, dp.lower ? sl : kMissing);
  });
  map_runs(tab.s, 0, n, &tab.decision1, [&](double unit) {
    const double u = tab.standardized ? 1.0 : unit;
    return present(u) ? dp.h * u : kMissing;
  });
  // Chart 1's lines: centre 0, +-h x s where the side is formed.
  ChartSeries& lines = r->series;
  lines.cl1.assign(n, 0.0);
  PointLine upper, lower;
  map_runs(tab.decision1, 0, n, &upper,
           [&](double h) { return dp.upper && present(h) ? h : kMissing; });
  map_runs(tab.decision1, 0, n, &lower,
           [&](double h) { return dp.lower && present(h) ? -h : kMissing; });
  lines.ucl1_unclipped = upper;
  lines.ucl1 = std::move(upper);
  lines.lcl1_unclipped = lower;
  lines.lcl1 = std::move(lower);
}

}  // namespace ztq
