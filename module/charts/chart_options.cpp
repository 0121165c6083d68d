// Defaults of the chart options and the check of values that would make a
// limit or zone formula meaningless.
#include "charts/chart_options.h"

#include <cmath>

#include "charts/arima.h"
#include "charts/chart_kind.h"
#include "charts/chart_messages.h"

namespace ztq {

ChartOptions default_chart_options() {
  ChartOptions o;
  // Runs rules 1 to 4 on, 5 and 6 off; run lengths and windows (8, 8, 5 with
  // 4, 3 with 2, 15, 8) in the manner of Nelson (1984), J. Qual. Technol. 16(4).
  const std::int32_t enable[6] = {1, 1, 1, 1, 0, 0};
  const std::int32_t lengths[8] = {8, 8, 5, 4, 3, 2, 15, 8};
  for (int i = 0; i < 6; ++i) o.option[10 + i] = enable[i];
  for (int i = 0; i < 8; ++i) o.option[16 + i] = lengths[i];
  o.option[34] = 9;  // moving-average span, chart 1
  o.option[44] = 9;  // moving-average span, chart 2

  o.doption[0] = 3.0;
  o.doption[1] = -3.0;
  o.doption[2] = 3.0;
  o.doption[3] = -3.0;
  for (int i = 4; i <= 11; ++i) o.doption[i] = kMissing;  // standards and entered limits
  o.doption[12] = 1.0;                                    // zone widths of rules 3 to 6, in sigmas
  o.doption[13] = 2.0;
  o.doption[14] = 1.0;
  o.doption[15] = 2.0;
  for (int i = 16; i <= 18; ++i) o.doption[i] = kMissing;  // USL, target, LSL
  o.doption[21] = 0.2;                                     // EWMA weights
  o.doption[31] = 0.2;
  o.doption[37] = 0.01;  // V-mask alpha, beta, shift
  o.doption[38] = 0.01;
  o.doption[39] = 1.0;
  o.doption[40] = 5.0;  // decision interval h, reference value k, headstart
  o.doption[41] = 0.5;
  o.doption[42] = 0.0;
  o.option[55] = 1;  // fitted model of codes 16, 17: AR(1) with a constant, no differencing
  o.option[57] = 1;
  o.doption[53] = kMissing;  // given trend intercept and slope
  o.doption[54] = kMissing;
  o.doption[55] = 0.0001;  // acceptance charts: delta and alpha
  o.doption[57] = 0.05;
  return o;
}

namespace {

constexpr double kMaxMultiple = 1000.0;  // a wider multiple is a typing error, not a chart
constexpr int kMaxSpan = 1000000;

bool bad_multiple(double k) {
  if (is_missing(k)) return false;  // a missing multiple removes its line
  return !std::isfinite(k) || k == 0.0 || std::fabs(k) > kMaxMultiple;
}

bool open_unit(double p) { return std::isfinite(p) && p > 0.0 && p < 1.0; }

int check_runs_rules(const ChartOptions& o) {
  for (int i = 16; i <= 23; ++i) {
    if (o.option[i] < 1) return kMsgRunsRule;
  }
  if (o.rule3_count() > o.rule3_window() || o.rule4_count() > o.rule4_window()) {
    return kMsgRunsRule;
  }
  for (int rule = 3; rule <= 6; ++rule) {
    const double z = o.zone_width(rule);
    if (!std::isfinite(z) || z < 0.0 || z > kMaxMultiple) return kMsgRunsRule;
  }
  return 0;
}

// The parameters of the cumulative-sum and model kinds. The lead distance
// takes ln(2 (1 - beta) / alpha): alpha 0 or beta 1 would make it infinite.
int check_kind_parameters(const ChartOptions& o, const ChartTraits& t) {
  if (t.kind == ChartKind::cusum) {
    if (!open_unit(o.vmask_alpha())) return kMsgWeight;
    const double beta = o.vmask_beta();
    if (!(std::isfinite(beta) && beta >= 0.0 && beta < 1.0)) return kMsgWeight;
    const double shift = o.vmask_shift();
    if (!std::isfinite(shift) || !(shift > 0.0) || shift > kMaxMultiple) return kMsgSigmaMultiple;
    if (o.vmask_reference() < 0) return kMsgReferencePoint;
  }
  if (t.kind == ChartKind::decision_cusum) {
    for (double v : {o.decision_interval(), o.reference_value(), o.headstart()}) {
      if (!std::isfinite(v) || v < 0.0 || v > kMaxMultiple) return kMsgDecisionInterval;
    }
  }
  if (t.kind == ChartKind::model) {
    if (o.ar_order() < 0 || o.ar_order() > kMaxModelOrder || o.ma_order() < 0 ||
        o.ma_order() > kMaxModelOrder || o.differences() < 0 || o.differences() > kMaxDifferences) {
      return kMsgModelOrders;
    }
  }
  return 0;
}

}  // namespace

int validate_chart_options(const ChartOptions& o, int code) {
  ChartTraits t;
  if (!chart_traits(code, &t)) return 0;  // such codes compute nothing
  for (int i = 0; i < 4; ++i) {
    if (bad_multiple(o.doption[i])) return kMsgSigmaMultiple;
  }
  if (o.span() < 1 || o.span() > kMaxSpan || o.span2() < 1 || o.span2() > kMaxSpan) {
    return kMsgSpan;
  }
  const double lam = o.lambda(), lam2 = o.lambda2();
  if (!(std::isfinite(lam) && lam > 0.0 && lam <= 1.0)) return kMsgWeight;
  if (!(std::isfinite(lam2) && lam2 > 0.0 && lam2 <= 1.0)) return kMsgWeight;
  if (t.kind == ChartKind::acceptance) {
    if (!open_unit(o.acceptance_delta())) return kMsgWeight;
    if (o.acceptance_alpha_given() && !open_unit(o.acceptance_alpha())) return kMsgWeight;
  }
  if (const int m = check_runs_rules(o); m != 0) return m;
  if (const int m = check_kind_parameters(o, t); m != 0) return m;

  // Break points in option order must ascend (the data may still be too short).
  int previous = 1;
  for (int i = 0; i < 4; ++i) {
    const int b = o.phase_break(i);
    if (b <= 0) continue;
    if (b <= previous) return kMsgPhaseBreaks;
    previous = b;
  }

  if (o.to_standard() && !o.limits_entered()) {
    const double mu0 = o.standard_centre(), sigma0 = o.standard_sigma();
    if (is_missing(mu0) || !std::isfinite(mu0)) return kMsgStandardMissing;
    if (t.family != ChartFamily::attribute &&
        (is_missing(sigma0) || !std::isfinite(sigma0) || sigma0 < 0.0)) {
      return kMsgStandardMissing;
    }
    if (t.family == ChartFamily::attribute && mu0 < 0.0) return kMsgStandardMissing;
    if (t.kind == ChartKind::trend &&
        (is_missing(o.trend_intercept()) || is_missing(o.trend_slope()))) {
      return kMsgTrendMissing;
    }
  }
  return 0;
}

}  // namespace ztq
