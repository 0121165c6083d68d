// The curves R0 and R1 of chart 1: the probability that a point falls inside
// the limits (operating characteristic) and the average run length, against
// the true value of the plotted statistic.
#include <algorithm>
#include <cmath>
#include <vector>

#include "bridge/strings.h"
#include "charts/chart_kind.h"
#include "charts/ewma_arl.h"
#include "charts/vchart_chart_parts.h"
#include "charts/vchart_panes.h"
#include "format/numfmt.h"
#include "stats/distributions.h"

namespace ztq {

using namespace vchart_detail;

namespace {

constexpr int kDefaultCurvePoints = 121;
constexpr int kOcRange = 6;   // R0 spans the centre +- 6 s
constexpr int kArlRange = 2;  // R1 spans the centre +- 2 s

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

ChartOptions options_of(const VchartView& v) {
  return v.options != nullptr ? *v.options : default_chart_options();
}

double nbar_of(const ChartResults& r) { return present(r.nbar) && r.nbar > 0 ? r.nbar : 1.0; }

// The standard deviation of one point before smoothing: sigma / sqrt(n-bar)
// for subgroup means, sigma for individuals.
double raw_point_sd(const ChartResults& r, const VchartView& v, const ChartTraits& t) {
  const ChartOptions o = options_of(v);
  const double sigma = o.to_standard() ? o.standard_sigma() : r.sigma;
  if (!present(sigma)) return kMissing;
  return t.family == ChartFamily::subgrouped ? sigma / std::sqrt(nbar_of(r)) : sigma;
}

// Poisson P(X <= c) as 1 - chi-square(2 (c + 1)) at 2 x mean; 0 below 0.
double poisson_at_most(double c, double mean) {
  if (c < 0) return 0.0;
  if (mean <= 0) return 1.0;
  return 1.0 - chisq_cdf(2.0 * mean, 2.0 * (c + 1.0));
}

}  // namespace

double vchart_point_sd(const ChartResults& r, const VchartView& v) {
  ChartTraits t;
  if (!chart_traits(v.code, &t)) return kMissing;
  if (t.family == ChartFamily::attribute) {
    const double cl = r.limits.cl1, n = nbar_of(r);
    if (!present(cl) || cl < 0) return kMissing;
    switch (v.code) {
      case 4:  // p: binomial at n-bar
        return cl <= 1 ? std::sqrt(cl * (1 - cl) / n) : kMissing;
      case 5:  // np: binomial count with p = np-bar / n-bar
        return cl <= n ? std::sqrt(cl * (1 - cl / n)) : kMissing;
      case 6:  // u: Poisson rate
        return std::sqrt(cl / n);
      default:  // c: Poisson count
        return std::sqrt(cl);
    }
  }
  const double s = raw_point_sd(r, v, t);
  if (is_missing(s)) return kMissing;
  const ChartOptions o = options_of(v);
  if (t.kind == ChartKind::moving_average)
    return o.span() > 0 ? s / std::sqrt(static_cast<double>(o.span())) : kMissing;
  if (t.kind == ChartKind::ewma) {
    const double l = o.lambda();
    return present(l) && l > 0 && l <= 1 ? s * std::sqrt(l / (2 - l)) : kMissing;
  }
  return s;
}

double vchart_inside_probability(const ChartResults& r, const VchartView& v, double mu, double s) {
  if (!present(mu) || !present(s) || !(s > 0)) return kMissing;
  const double ucl = r.limits.ucl1, lcl = r.limits.lcl1;
  if (is_attribute_code(v.code)) {
    // Counts: the plotted value times n-bar for p and u, the count itself for np and c.
    const double scale = v.code == 4 || v.code == 6 ? nbar_of(r) : 1.0;
    const double mean = std::max(0.0, mu * scale);
    const double upper = present(ucl) ? std::floor(ucl * scale + 1e-9) : kMissing;
    const double lower = present(lcl) ? std::ceil(lcl * scale - 1e-9) : 0.0;
    const double below_upper = is_missing(upper) ? 1.0 : poisson_at_most(upper, mean);
    return std::clamp(below_upper - poisson_at_most(lower - 1.0, mean), 0.0, 1.0);
  }
  ChartTraits t;
  chart_traits(v.code, &t);
  if (t.kind == ChartKind::ewma) {
    const double arl = vchart_run_length(r, v, mu, s);
    return present(arl) && arl >= 1 ? 1.0 - 1.0 / arl : kMissing;
  }
  const double above = present(ucl) ? norm_cdf((ucl - mu) / s) : 1.0;  // Phi((UCL - mu) / s)
  const double below = present(lcl) ? norm_cdf((lcl - mu) / s) : 0.0;
  return std::clamp(above - below, 0.0, 1.0);
}

double vchart_run_length(const ChartResults& r, const VchartView& v, double mu, double s) {
  if (!present(mu) || !present(s) || !(s > 0)) return kMissing;
  ChartTraits t;
  if (!chart_traits(v.code, &t)) return kMissing;
  const ChartOptions o = options_of(v);
  if (t.kind == ChartKind::ewma) {
    // The limits as multiples of s, the shift in standard deviations of a point.
    const double cl = r.limits.cl1, point = raw_point_sd(r, v, t);
    if (!present(cl) || !present(point) || !(point > 0)) return kMissing;
    const double hu = present(r.limits.ucl1) ? (r.limits.ucl1 - cl) / s : kMissing;
    const double hl = present(r.limits.lcl1) ? (cl - r.limits.lcl1) / s : kMissing;
    return ewma_arl(o.lambda(), hu, hl, (mu - cl) / point);
  }
  const double beta = vchart_inside_probability(r, v, mu, s);
  if (!present(beta) || beta >= 1.0) return kMissing;
  const double arl = 1.0 / (1.0 - beta);
  return t.kind == ChartKind::moving_average ? arl * std::max(1, o.span()) : arl;
}

bool vchart_curve_graph(const ChartResults& r, const VchartView& v, bool run_length,
                        GraphBuilder& g) {
  g.reset(1, ZTG_KIND_CURVE);
  g.title(text(run_length ? Str::kVcArlTitle : Str::kVcOcTitle));
  if (v.error_state != 0) {
    error_graph(v, g, error_message_of(v.error_state));
    return true;
  }
  const double s = vchart_point_sd(r, v), cl = r.limits.cl1;
  if (!present(s) || !(s > 0) || !present(cl)) {
    error_graph(v, g, static_cast<int32_t>(Str::kVcNoSpread));
    return true;
  }
  g.subtitle(chart_title(v.code) + (v.data_name.empty() ? "" : " - " + v.data_name));
  const int asked = v.pane_option[0];
  const double m = asked > 0 ? asked : (run_length ? kArlRange : kOcRange);
  const int count = v.pane_option[1] >= 11 ? std::min(v.pane_option[1], 2001) : kDefaultCurvePoints;
  double lo = cl - m * s, hi = cl + m * s;
  if (is_attribute_code(v.code)) lo = std::max(lo, 0.0);
  if (v.code == 4) hi = std::min(hi, 1.0);
  const bool shifted = options_of(v).no_clip();  // `option2`: the axis in shifts from the centre
  std::vector<double> xs, ys;
  xs.reserve(static_cast<std::size_t>(count));
  ys.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double mu = lo + (hi - lo) * i / (count - 1);
    xs.push_back(shifted ? mu - cl : mu);
    ys.push_back(run_length ? vchart_run_length(r, v, mu, s)
                            : vchart_inside_probability(r, v, mu, s));
  }
  const double x0 = shifted ? lo - cl : lo, x1 = shifted ? hi - cl : hi;
  g.axis_x(x0, x1, 0, text(shifted ? Str::kVcAxisTrueShift : Str::kVcAxisTrueValue));
  const int curve = g.attribute(Tag::fit_curve);
  if (run_length) {
    const double arl0 = vchart_run_length(r, v, cl, s);
    if (present(arl0)) {
      const double top = 1.2 * arl0;
      for (double& y : ys)
        if (present(y) && y > top) y = top;  // the curve stays inside the frame
      g.axis_y(0, top, 0, text(Str::kVcAxisRunLength));
      g.legend(text_with(Str::kVcInControlArl, LabelFormat({arl0}, v.digits)(arl0)), curve);
    } else {
      g.axis_y(0, 0, 0, text(Str::kVcAxisRunLength));
    }
  } else {
    g.axis_y(0, 1, 0, text(Str::kVcAxisInside));
  }
  g.polyline(xs, ys, curve);
  // The centre is labelled as chart 1 labels it.
  const LabelFormat format = chart_label_format(r, v.code, true, v.digits);
  g.vline(shifted ? 0.0 : cl, text(Str::kVcClLabel) + " = " + format(cl),
          g.attribute(Tag::centre_line));
  return true;
}

}  // namespace ztq
