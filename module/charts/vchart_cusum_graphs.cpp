// The cumulative-sum codes' own graphs: the V-mask over the cumulative sums
// of codes 10 and 13, the decision-interval sums with their decision lines
// of codes 14 and 15, and the run-length curve Rc of all four.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

#include "bridge/strings.h"
#include "charts/chart_kind.h"
#include "charts/cusum_arl.h"
#include "charts/tabular_series.h"
#include "charts/vchart_chart_parts.h"
#include "charts/vchart_panes.h"
#include "format/numfmt.h"

namespace ztq {

using namespace vchart_detail;

namespace {

constexpr int kDefaultShift = 3;  // Rc spans shifts -3 s to 3 s
constexpr int kDefaultCurvePoints = 121;

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

double at(const std::vector<double>& v, std::size_t i) { return i < v.size() ? v[i] : kMissing; }
double at(const PointLine& v, std::size_t i) { return i < v.size() ? v[i] : kMissing; }

bool excluded_at(const ChartResults& r, std::size_t i) {
  return i < r.series.excluded.size() && r.series.excluded[i] != 0;
}

std::vector<double> point_numbers(std::size_t n) {
  std::vector<double> xs(n);
  for (std::size_t i = 0; i < n; ++i) xs[i] = static_cast<double>(i + 1);
  return xs;
}

void start(const VchartView& v, GraphBuilder& g) {
  g.reset(1, ZTG_KIND_CONTROL_CHART);
  g.title(chart_title(v.code));
  if (!v.data_name.empty()) g.subtitle(v.data_name);
}

// Present values of Y as one unbroken line (the arms skip unusable points).
void joined(GraphBuilder& g, const std::vector<double>& xs, std::span<const double> y, int attr,
            const std::string& label) {
  std::vector<double> px, py;
  for (std::size_t i = 0; i < y.size() && i < xs.size(); ++i)
    if (present(y[i])) px.push_back(xs[i]), py.push_back(y[i]);
  if (!px.empty()) g.polyline(px, py, attr, 0, ZTG_COORDS_DATA, label);
}

std::string decision_label(bool upper, double h, int digits) {
  const vchart_detail::LabelFormat f({h}, digits);
  return std::string(upper ? "" : "-") + text(Str::kVcDecisionLine) + " = " + f(upper ? h : -h);
}

}  // namespace

bool vchart_vmask_graph(const ChartResults& r, const VchartView& v, GraphBuilder& g) {
  if (v.code != 10 && v.code != 13) return false;
  start(v, g);
  if (v.error_state != 0) {
    error_graph(v, g, error_message_of(v.error_state));
    return true;
  }
  const std::span<const double> y = r.series.stat1.span();
  const std::size_t n = y.size();
  const std::vector<double> xs = point_numbers(n);
  const CusumResult& c = r.cusum;
  const bool mask = c.reference_point >= 1 && present(c.lead_distance) &&
                    static_cast<std::size_t>(c.reference_point) <= n;
  const double right = static_cast<double>(n) + 0.5 + (mask ? c.lead_distance : 0.0);
  g.axis_x(0.5, right, 0, text(Str::kVcAxisPoint));
  g.axis_y(0, 0, 0, text(Str::kVcStatCusum));
  g.hline(0.0, text(Str::kVcClLabel) + " = 0", g.attribute(Tag::centre_line));
  const int arm = g.attribute(Tag::limit_line), out_attr = g.attribute(Tag::out_of_control);
  if (mask) {
    // The arms meet at the vertex, the lead distance d ahead of the reference point.
    const std::size_t ref = static_cast<std::size_t>(c.reference_point) - 1;
    const double vx = xs[ref] + c.lead_distance, vy = y[ref];
    std::vector<double> upper = c.upper_arm, lower = c.lower_arm;
    joined(g, xs, upper, arm, text(Str::kVcVmask));
    joined(g, xs, lower, arm, {});
    if (present(at(upper, ref))) g.segment(xs[ref], upper[ref], vx, vy, arm);
    if (present(at(lower, ref))) g.segment(xs[ref], lower[ref], vx, vy, arm);
  }
  std::vector<double> shown(y.begin(), y.end()), outside(n, kMissing), excluded(n, kMissing);
  for (std::size_t i = 0; i < n; ++i) {
    if (excluded_at(r, i)) {
      excluded[i] = y[i], shown[i] = kMissing;
      continue;
    }
    if (beyond_chart1(r, i)) outside[i] = y[i];  // chart 1's limits are the arms
  }
  const int data = g.attribute(Tag::data);
  g.polyline(xs, shown, data);
  g.points(xs, shown, data);
  g.points(xs, outside, out_attr);
  g.points(xs, excluded, g.attribute(Tag::excluded));
  if (mask) g.legend(text(Str::kVcOutsideMask), out_attr);
  return true;
}

bool vchart_sums_graph(const ChartResults& r, const VchartView& v, bool first, GraphBuilder& g) {
  if (v.code != 14 && v.code != 15) return false;
  if (!first && v.code != 15) return false;
  start(v, g);
  if (v.error_state != 0) {
    error_graph(v, g, error_message_of(v.error_state));
    return true;
  }
  const TabularResult& tab = r.tabular;
  const SumPair sums = tabular_sums(r, first ? 1 : 2);
  const std::vector<double>& sh = sums.sh;
  const std::vector<double>& sl = sums.sl;
  const std::size_t n = r.series.stat1.size();
  const std::vector<double> xs = point_numbers(n);
  std::vector<double> h(n, kMissing);
  for (std::size_t i = 0; i < n; ++i) h[i] = first ? at(tab.decision1, i) : tab.decision2;
  g.axis_x(0.5, static_cast<double>(n) + 0.5, 0, text(Str::kVcAxisPoint));
  g.axis_y(0, 0, 0, text(first ? Str::kVcStatDecision : Str::kVcScaleSums));
  g.hline(0.0, text(Str::kVcClLabel) + " = 0", g.attribute(Tag::centre_line));

  // Decision lines at +h and -h (h x s per point: stepped where the sizes differ).
  const int limit = g.attribute(Tag::limit_line);
  double h_first = kMissing;
  bool constant = true;
  for (double x : h) {
    if (!present(x)) continue;
    if (is_missing(h_first)) h_first = x;
    constant = constant && x == h_first;
  }
  for (const bool upper : {true, false}) {
    if ((upper ? sh : sl).empty() || is_missing(h_first)) continue;
    if (constant) {
      g.hline(upper ? h_first : -h_first, decision_label(upper, h_first, v.digits), limit);
    } else {
      std::vector<double> line(h);
      for (double& x : line)
        if (present(x) && !upper) x = -x;
      g.steps(xs, line, limit, 0, decision_label(upper, h_first, v.digits));
    }
  }
  const int data = g.attribute(Tag::data), out = g.attribute(Tag::out_of_control);
  const int excl = g.attribute(Tag::excluded);
  for (const bool upper : {true, false}) {
    const std::vector<double>& side = upper ? sh : sl;
    if (side.empty()) continue;
    std::vector<double> shown(n, kMissing), beyond(n, kMissing), excluded(n, kMissing);
    for (std::size_t i = 0; i < n; ++i) {
      const double s = at(side, i);
      if (!present(s)) continue;
      const double y = upper ? s : -s;
      if (excluded_at(r, i)) {
        excluded[i] = y;
        continue;
      }
      shown[i] = y;
      if (present(h[i]) && s > h[i]) beyond[i] = y;
    }
    g.polyline(xs, shown, data, 0, ZTG_COORDS_DATA);
    g.points(xs, shown, data);
    g.points(xs, beyond, out);
    g.points(xs, excluded, excl);
  }
  return true;
}

bool vchart_cusum_arl_graph(const ChartResults& r, const VchartView& v, GraphBuilder& g) {
  if (v.code != 10 && v.code != 13 && v.code != 14 && v.code != 15) return false;
  g.reset(1, ZTG_KIND_CURVE);
  g.title(text(Str::kVcCusumArlTitle));
  if (v.error_state != 0) {
    error_graph(v, g, error_message_of(v.error_state));
    return true;
  }
  const ChartOptions o = v.options != nullptr ? *v.options : default_chart_options();
  const double nbar = present(r.nbar) && r.nbar > 0 ? r.nbar : 1.0;
  const double sigma = o.to_standard() ? o.standard_sigma() : r.sigma;
  const double s = present(sigma) ? sigma / std::sqrt(nbar) : kMissing;
  if (!present(s) || !(s > 0)) {
    error_graph(v, g, static_cast<int32_t>(Str::kVcNoSpread));
    return true;
  }
  // Decision interval and reference value in units of s. The V-mask with
  // lead d and shift D = delta sigma is the decision-interval sum with
  // k = D / (2 s) and h = d k (Montgomery, Introduction to Statistical
  // Quality Control, the V-mask and the tabular cusum).
  double h = o.decision_interval(), k = o.reference_value(), start_at = o.headstart();
  int sides = o.sides1();
  if (v.code == 10 || v.code == 13) {
    k = present(o.vmask_shift()) ? o.vmask_shift() * sigma / (2 * s) : kMissing;
    h = present(r.cusum.lead_distance) && present(k) ? r.cusum.lead_distance * k : kMissing;
    start_at = 0.0;
    sides = 0;
  }
  if (present(start_at)) start_at = std::max(0.0, start_at);
  g.subtitle(chart_title(v.code) + ":  h = " + format_six(h, 16) + ",  k = " + format_six(k, 16));
  const double arl0 = cusum_arl(h, k, start_at, 0.0, sides);
  if (is_missing(arl0)) {
    g.note(text(Str::kVcNoRunLength), g.attribute(Tag::text));
    return true;
  }
  const int asked = v.pane_option[0];
  const double range = asked > 0 ? std::min(asked, 20) : kDefaultShift;
  const int count = v.pane_option[1] >= 11 ? std::min(v.pane_option[1], 2001) : kDefaultCurvePoints;
  const double top = 1.2 * arl0;
  std::vector<double> xs, ys;
  for (int i = 0; i < count; ++i) {
    const double delta = -range + 2 * range * i / (count - 1);
    const double arl = cusum_arl(h, k, start_at, delta, sides);
    xs.push_back(delta);
    ys.push_back(present(arl) ? std::min(arl, top) : top);  // missing: too long to resolve
  }
  g.axis_x(-range, range, 0, text(Str::kVcAxisShiftSe));
  g.axis_y(0, top, 0, text(Str::kVcAxisRunLength));
  const int curve = g.attribute(Tag::fit_curve);
  g.polyline(xs, ys, curve);
  g.legend(text_with(Str::kVcInControlArl, LabelFormat({arl0}, v.digits)(arl0)), curve);
  return true;
}

}  // namespace ztq
