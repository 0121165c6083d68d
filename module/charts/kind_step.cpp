// Dispatch of the chart kinds, the smoothed charts' start rules and early
// limits, and the run length of the EWMA charts.
#include "charts/kind_step.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "charts/arima.h"
#include "charts/chart_messages.h"
#include "charts/ewma_arl.h"
#include "charts/kind_step_detail.h"
#include "charts/smoothers.h"

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

bool nonnegative(double v) { return std::isfinite(v) && !is_missing(v) && v >= 0.0; }

// Scales the four chart-1 limits of point I about its centre by F.
void scale_limits(ChartSeries* s, std::size_t i, double f) {
  const double cl = std::as_const(s->cl1)[i];
  if (!present(cl)) return;
  for (PointLine* v : {&s->ucl1, &s->lcl1, &s->ucl1_unclipped, &s->lcl1_unclipped}) {
    const double x = std::as_const(*v)[i];
    if (present(x)) v->set(i, cl + (x - cl) * f);
  }
}

// Moving-average and EWMA charts: the smoothed statistic per phase, then the
// early limits scaled by the count c of usable points of the phase.
void smoothed_chart(const ChartTraits& t, const ChartOptions& o, const ChartPoints& p,
                    const std::vector<Phase>& phases, ChartResults* r) {
  const bool average = t.kind == ChartKind::moving_average;
  Series& raw = average ? r->smoothers.ma1 : r->smoothers.ewma1;
  raw = r->series.stat1;  // the unsmoothed values, kept and read from their own slot (a view
                          // stays a view)
  for (std::size_t k = 0; k < phases.size(); ++k) {
    const Phase ph = phases[k];
    const double target = kind_target(o, r->phases[k].estimates);
    if (average) {
      const double pad = o.moving_average_start() == 2 ? kMissing : target;
      moving_average(raw.span(), p.excluded, ph.first, ph.end, o.span(), pad,
                     &r->series.stat1.values());
    } else {
      ewma(raw.span(), p.excluded, ph.first, ph.end, o.lambda(), target, &r->series.stat1.values());
    }
    long long c = 0;
    // Both factors reach exactly 1 and stay there as c grows (the EWMA's
    // (1 - lambda)^(2c) falls below half an ulp of 1): no call after that.
    bool settled = false;
    for (std::size_t i = ph.first; i < ph.end && !settled; ++i) {
      if (p.excluded[i] || !present(r->series.stat1[i])) continue;
      ++c;
      const double f = average ? moving_average_limit_factor(o.moving_average_start(), c, o.span())
                               : ewma_limit_factor(o.lambda(), c);
      if (f != 1.0) {
        scale_limits(&r->series, i, f);
      } else {
        settled = average ? c >= o.span() : true;
      }
    }
  }
}

}  // namespace

double kind_target(const ChartOptions& o, const ChartEstimates& e) {
  if (o.to_standard()) return present(o.standard_centre()) ? o.standard_centre() : kMissing;
  return present(e.centre) ? e.centre : kMissing;
}

int check_kind_options(const ChartTraits& t, const ChartOptions& o) {
  switch (t.kind) {
    case ChartKind::moving_average:
      return o.span() < 1 ? kMsgSpan : 0;
    case ChartKind::ewma: {
      const double lam = o.lambda();
      return std::isfinite(lam) && lam > 0.0 && lam <= 1.0 ? 0 : kMsgWeight;
    }
    case ChartKind::decision_cusum:
      return nonnegative(o.decision_interval()) && nonnegative(o.reference_value()) &&
                     nonnegative(o.headstart())
                 ? 0
                 : kMsgDecisionInterval;
    case ChartKind::model:
      if (o.ar_order() < 0 || o.ar_order() > kMaxModelOrder || o.ma_order() < 0 ||
          o.ma_order() > kMaxModelOrder || o.differences() < 0 ||
          o.differences() > kMaxDifferences) {
        return kMsgModelOrders;
      }
      return 0;
    default:
      return 0;
  }
}

int apply_chart_kind(const ChartTraits& t, const ChartOptions& o, const ChartPoints& p,
                     const std::vector<Phase>& phases, ChartResults* r) {
  switch (t.kind) {
    case ChartKind::moving_average:
    case ChartKind::ewma:
      smoothed_chart(t, o, p, phases, r);
      return 0;
    case ChartKind::cusum:
      return cusum_chart(o, p, phases, r);
    case ChartKind::decision_cusum:
      decision_chart(t, o, p, phases, r);
      return 0;
    default:
      return 0;
  }
}

// Crowder (1987) at zero shift, limits expressed in asymptotic EWMA sigmas:
// h = (limit - centre) / (s sqrt(lambda / (2 - lambda))), s = sigma / sqrt(n-bar).
double ewma_in_control_arl(const ChartOptions& o, const ChartResults& r) {
  const double lam = o.lambda();
  if (!(lam > 0.0 && lam <= 1.0)) return kMissing;
  const double sigma = o.to_standard() ? o.standard_sigma() : r.sigma;
  const double nbar = present(r.nbar) && r.nbar > 0.0 ? r.nbar : 1.0;
  if (!present(sigma) || !(sigma > 0.0)) return kMissing;
  const double unit = sigma / std::sqrt(nbar) * std::sqrt(lam / (2.0 - lam));
  const double cl = r.limits_unclipped.cl1;
  if (!present(cl)) return kMissing;
  const double ucl = r.limits_unclipped.ucl1, lcl = r.limits_unclipped.lcl1;
  const double hu = present(ucl) ? (ucl - cl) / unit : kMissing;
  const double hl = present(lcl) ? (cl - lcl) / unit : kMissing;
  return ewma_arl(lam, hu, hl, 0.0);
}

}  // namespace ztq
