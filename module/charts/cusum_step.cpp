// The cumulative-sum chart kinds in the engine: codes 10 and 13 (V-mask) and
// 14 and 15 (decision intervals). The methods are in cusum.cpp and
// tabular_cusum.cpp.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "charts/chart_messages.h"
#include "charts/cusum.h"
#include "charts/kind_step.h"
#include "charts/kind_step_detail.h"
#include "charts/tabular_cusum.h"

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

// Chart 1's statistic from the sums of a point: SH or -SL, whichever lies
// farther from 0; OTHER, when given, takes the sum that the statistic is not
// (all of SL when the upper sums are left out).
double keep_sums(const DecisionParameters& dp, double up, double down, double* other) {
  if (!dp.upper) {
    *other = down;
    return dominant_sum(kMissing, down);
  }
  if (!dp.lower) return up;
  const double v = dominant_sum(up, down);
  *other = std::signbit(v) ? up : down;
  return v;
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
  const std::vector<double> raw = r->series.stat1;
  double deviations = 0.0;
  for (std::size_t k = 0; k < phases.size(); ++k) {
    const double target = kind_target(o, r->phases[k].estimates);
    cumulative_sum(raw, p.excluded, phases[k].first, phases[k].end, target, &r->series.stat1,
                   &deviations);
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
  vmask_arms(r->series.stat1, raw, p.excluded, ph.first, vertex, o.vmask_shift() * sigma,
             c.lead_distance, &c.upper_arm, &c.lower_arm);
  for (std::size_t i = 0; i < n; ++i) set_lines(&r->series, i, c.upper_arm[i], c.lower_arm[i]);
  return 0;
}

void decision_chart(const ChartTraits& t, const ChartOptions& o, const ChartPoints& p,
                    const std::vector<Phase>& phases, ChartResults* r) {
  const std::size_t n = p.count();
  const bool standardized = o.no_clip();  // `option2`: sums of z, decision lines +-h
  const bool scale = t.code == 15;
  DecisionParameters dp{o.decision_interval(), o.reference_value(), o.headstart(), o.sides1() != 2,
                        o.sides1() != 1};
  DecisionParameters dw = dp;  // the scale sums, on the standardized scale
  dw.upper = o.sides2() != 2;
  dw.lower = o.sides2() != 1;
  TabularResult& tab = r->tabular;
  tab.upper1 = dp.upper && n > 0;
  tab.lower1 = dp.lower && n > 0;
  tab.scale = scale;
  tab.z.assign(n, kMissing);
  if (tab.lower1) tab.other1.assign(n, kMissing);
  if (scale && dw.upper && n > 0) tab.sh2.assign(n, kMissing);
  if (scale && dw.lower && n > 0) tab.sl2.assign(n, kMissing);
  if (scale) tab.decision2 = dw.h;
  // The standard error per point: one run a phase for equal sizes.
  PointLine s;
  s.assign(n, kMissing);
  // One pass a phase: z, then the sums of the points (or of z) written over
  // the statistic they are formed from, then code 15's sums of W.
  std::vector<double>& stat = r->series.stat1;
  for (std::size_t k = 0; k < phases.size(); ++k) {
    const Phase ph = phases[k];
    const ChartEstimates& e = r->phases[k].estimates;
    const double mu0 = kind_target(o, e), sigma = sigma_of(o, e);
    map_runs(p.size, ph.first, ph.end, &s, [&](double size) {
      return present(sigma) && present(size) && size > 0.0 ? sigma / std::sqrt(size) : kMissing;
    });
    PageSums sums1(dp), sums2(dw);
    for (std::size_t i = ph.first; i < ph.end;) {
      const std::size_t run = std::min(s.run_end(i), ph.end);
      const double si = std::as_const(s)[i];
      for (; i < run; ++i) {
        const bool out = p.excluded[i] != 0;
        const double z = standard_value(stat[i], si, mu0);
        tab.z[i] = z;
        double up = kMissing, down = kMissing;
        if (standardized) {  // sigma 0: z is missing and so are the sums
          sums1.next(z, 1.0, 0.0, out, &up, &down);
        } else {
          sums1.next(stat[i], si, mu0, out, &up, &down);
        }
        stat[i] = keep_sums(dp, up, down, tab.lower1 ? &tab.other1[i] : nullptr);
        if (!scale) continue;
        sums2.next(scale_value(z), 1.0, 0.0, out, &up, &down);
        if (dw.upper) tab.sh2[i] = up;
        if (dw.lower) tab.sl2[i] = down;
      }
    }
  }
  map_runs(s, 0, n, &tab.decision1, [&](double unit) {
    const double u = standardized ? 1.0 : unit;
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
