// The cumulative-sum chart kinds in the engine: codes 10 and 13 (V-mask) and
// 14 and 15 (decision intervals). The methods are in cusum.cpp and
// tabular_cusum.cpp.
#include <cmath>
#include <cstddef>
#include <span>
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

// Points FIRST..END-1 of LINE take VALUE(i): the first few runs of equal
// values (one a phase for equal sizes) written a run at a time, the rest
// point by point.
template <class F>
void write_points(PointLine* line, std::size_t first, std::size_t end, F value) {
  constexpr std::size_t kFewRuns = 64;
  const auto same = [](double a, double b) { return a == b && std::signbit(a) == std::signbit(b); };
  std::size_t i = first;
  for (std::size_t runs = 0; i < end && runs < kFewRuns; ++runs) {
    const double v = value(i);
    std::size_t j = i + 1;
    while (j < end && same(value(j), v)) ++j;
    line->fill(i, j, v);
    i = j;
  }
  for (; i < end; ++i) line->set(i, value(i));
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
  const std::span<const double> raw = r->series.stat1.span();  // read by the sums
  const bool standardized = o.no_clip();  // `option2`: sums of z, decision lines +-h
  DecisionParameters dp{o.decision_interval(), o.reference_value(), o.headstart(), o.sides1() != 2,
                        o.sides1() != 1};
  TabularResult& tab = r->tabular;
  tab.z.assign(n, kMissing);
  tab.decision1.assign(n, kMissing);
  // The standard error per point, one run a phase for equal sizes; unit scales
  // for the sums of z and of code 15's W.
  PointLine s, ones;
  s.assign(n, kMissing);
  if (standardized || t.code == 15) ones.assign(n, 1.0);
  for (std::size_t k = 0; k < phases.size(); ++k) {
    const Phase ph = phases[k];
    const ChartEstimates& e = r->phases[k].estimates;
    const double mu0 = kind_target(o, e), sigma = sigma_of(o, e);
    write_points(&s, ph.first, ph.end, [&](std::size_t i) {
      const double size = p.size[i];
      return present(sigma) && present(size) && size > 0.0 ? sigma / std::sqrt(size) : kMissing;
    });
    standardize(raw, s, ph.first, ph.end, mu0, &tab.z);
    if (standardized) {  // sigma 0: z is missing and so are the sums
      decision_sums(tab.z, p.excluded, ones, ph.first, ph.end, 0.0, dp, &tab.sh1, &tab.sl1);
    } else {
      decision_sums(raw, p.excluded, s, ph.first, ph.end, mu0, dp, &tab.sh1, &tab.sl1);
    }
  }
  const auto h_at = [&](std::size_t i) {
    const double unit = standardized ? 1.0 : std::as_const(s)[i];
    return present(unit) ? dp.h * unit : kMissing;
  };
  write_points(&tab.decision1, 0, n, h_at);
  std::vector<double>& sums = r->series.stat1.values();  // then overwritten (a view: copied)
  for (std::size_t i = 0; i < n; ++i) sums[i] = dominant_sum(tab.sh1, tab.sl1, i);
  ChartSeries& lines = r->series;
  write_points(&lines.cl1, 0, n, [](std::size_t) { return 0.0; });
  const auto upper = [&](std::size_t i) {
    const double h = h_at(i);
    return dp.upper && present(h) ? h : kMissing;
  };
  const auto lower = [&](std::size_t i) {
    const double h = h_at(i);
    return dp.lower && present(h) ? -h : kMissing;
  };
  write_points(&lines.ucl1, 0, n, upper);
  write_points(&lines.ucl1_unclipped, 0, n, upper);
  write_points(&lines.lcl1, 0, n, lower);
  write_points(&lines.lcl1_unclipped, 0, n, lower);
  if (t.code != 15) return;
  // The scale series on the standardized scale: target 0, s = 1.
  tab.w = scale_series(tab.z);
  DecisionParameters dw = dp;
  dw.upper = o.sides2() != 2;
  dw.lower = o.sides2() != 1;
  for (const Phase& ph : phases) {
    decision_sums(tab.w, p.excluded, ones, ph.first, ph.end, 0.0, dw, &tab.sh2, &tab.sl2);
  }
  tab.decision2 = dw.h;
}

}  // namespace ztq
