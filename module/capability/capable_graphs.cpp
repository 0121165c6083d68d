#include "capability/capable_graphs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bridge/strings.h"
#include "format/numfmt.h"
#include "stats/distributions.h"

namespace ztq {

namespace {

constexpr size_t kMostProbabilityPoints = 2000;

std::string fixed(double v, int decimals) {
  char b[64];
  std::snprintf(b, sizeof b, "%.*f", decimals, v);
  return b;
}

std::string limit_label(Str label, double v) { return text(label) + " = " + format_sig(v, 16, 6); }

std::vector<double> sorted_present(const std::vector<double>& data) {
  std::vector<double> x;
  x.reserve(data.size());
  for (double v : data)
    if (!is_missing(v) && std::isfinite(v)) x.push_back(v);
  std::sort(x.begin(), x.end());
  return x;
}

}  // namespace

namespace {

void draw_capability(const CapabilityResults& r, const GofResults& f, const CapGraphInfo& info,
                     GraphBuilder& g, int panel) {
  if (f.classes < 1) return;
  const int32_t k = f.classes;
  const double width = (f.upper - f.lower) / k;
  // The counts of the goodness-of-fit classes, so both panes agree.
  const std::vector<int64_t>& count = f.class_observed;
  // The display range: the classes and every limit.
  double lo = f.lower, hi = f.upper;
  for (double v : {r.usl, r.nominal, r.lsl})
    if (!is_missing(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  const double n = static_cast<double>(r.n);
  const int points = std::clamp(info.curve_points, 10, 2000);
  std::vector<double> xs(static_cast<size_t>(points)), ys(xs.size());
  double top = 0;
  for (int i = 0; i < points; ++i) {
    const double x = lo + (hi - lo) * i / (points - 1);
    const double d = coded_density(r.distribution, r.param, x) * n * width;
    xs[static_cast<size_t>(i)] = x;
    ys[static_cast<size_t>(i)] = std::isfinite(d) ? d : kMissing;
    if (std::isfinite(d)) top = std::max(top, d);
  }
  for (int64_t c : count) top = std::max(top, static_cast<double>(c));
  g.axis_x(lo - 0.02 * (hi - lo), hi + 0.02 * (hi - lo), 0, {}, panel);
  g.axis_y(0, top * 1.1 + 1e-12, 0, text(Str::kCapFrequency), panel);
  const int bar = g.attribute(Tag::bar), curve = g.attribute(Tag::fit_curve),
            limit_attr = g.attribute(Tag::spec_limit), centre = g.attribute(Tag::centre_line);
  for (int32_t j = 0; j < k && static_cast<size_t>(j) < count.size(); ++j)
    g.bar(f.lower + width * j, 0, f.lower + width * (j + 1),
          static_cast<double>(count[static_cast<size_t>(j)]), bar, panel);
  g.polyline(xs, ys, curve, panel);
  if (r.usl_given) g.vline(r.usl, limit_label(Str::kCapRowUsl, r.usl), limit_attr, panel);
  if (r.nominal_given)
    g.vline(r.nominal, limit_label(Str::kCapRowNominal, r.nominal), centre, panel);
  if (r.lsl_given) g.vline(r.lsl, limit_label(Str::kCapRowLsl, r.lsl), limit_attr, panel);
  if (panel != 0) return;
  g.legend(text(Str::kCapObservations), bar);
  g.legend(text(Str::kCapDensity), curve);
  if (!info.legend) return;
  const double values[7] = {r.cp, r.cpk, r.cpu, r.cpl, r.cr, r.cpm, r.k_index};
  const int decimals = std::clamp(info.legend_decimals, 0, 9);
  for (int i = 0; i < 7; ++i) {
    if (!info.pane.show[i] || is_missing(values[i]) || !std::isfinite(values[i])) continue;
    const Str label = static_cast<Str>(capability_index_label(i, info.pane.label_set));
    g.legend(text(label) + " = " + fixed(values[i], decimals), g.attribute(Tag::text));
  }
}

void draw_probability(const CapabilityResults& r, GraphBuilder& g, int panel) {
  const std::vector<double> x = sorted_present(r.data);
  const size_t n = x.size();
  if (n == 0) return;
  const size_t shown = std::min(n, kMostProbabilityPoints);
  std::vector<double> qs, os;
  qs.reserve(shown);
  os.reserve(shown);
  for (size_t s = 0; s < shown; ++s) {
    const size_t i = shown == n ? s : (s * (n - 1)) / (shown - 1);
    const double p = (static_cast<double>(i + 1) - 0.375) / (static_cast<double>(n) + 0.25);
    const double q = coded_quantile(r.distribution, r.param, p);
    if (!std::isfinite(q)) continue;
    qs.push_back(q);
    os.push_back(x[i]);
  }
  g.axis_x(0, 0, 0, text(Str::kCapFittedQuantile), panel);
  g.axis_y(0, 0, 0, text(Str::kCapOrdered), panel);
  const int data = g.attribute(Tag::data), ref = g.attribute(Tag::reference);
  g.points(qs, os, data, panel);
  if (!qs.empty()) {
    const double a = std::min(qs.front(), os.front()), b = std::max(qs.back(), os.back());
    g.segment(a, a, b, b, ref, panel);
  }
}

// One control chart: the series, centre, limits, warning lines, smoother and
// the points a run rule marked.
void draw_chart(const CapChartSide& c, GraphBuilder& g, int panel, bool marks) {
  std::vector<double> xs(c.series.size());
  for (size_t i = 0; i < xs.size(); ++i) xs[i] = static_cast<double>(i + 1);
  const int data = g.attribute(Tag::data), cl = g.attribute(Tag::centre_line),
            lim = g.attribute(Tag::limit_line), warn = g.attribute(Tag::warning_line),
            smooth = g.attribute(Tag::fit_curve), ooc = g.attribute(Tag::out_of_control);
  g.axis_x(0, 0, 0, {}, panel);
  g.axis_y(0, 0, 0, {}, panel);
  g.series(xs, c.series, data, panel);
  if (c.series.size() <= GraphBuilder::kDenseAbove) g.points(xs, c.series, data, panel);
  g.hline(c.centre, text(Str::kCapCmpCl) + " = " + format_sig(c.centre, 16, 6), cl, panel);
  g.hline(c.ucl, text(Str::kCapCmpUcl) + " = " + format_sig(c.ucl, 16, 6), lim, panel);
  g.hline(c.lcl, text(Str::kCapCmpLcl) + " = " + format_sig(c.lcl, 16, 6), lim, panel);
  if (c.has_outer) {
    g.hline(c.outer_upper, {}, warn, panel);
    g.hline(c.outer_lower, {}, warn, panel);
  }
  if (c.has_inner) {
    g.hline(c.inner_upper, {}, warn, panel);
    g.hline(c.inner_lower, {}, warn, panel);
  }
  if (!c.smoother.empty()) g.polyline(xs, c.smoother, smooth, panel);
  if (marks && !c.runs.empty()) {
    std::vector<double> mx, my;
    for (size_t i = 0; i < c.runs.size(); ++i)
      if (c.runs[i] != 0) mx.push_back(xs[i]), my.push_back(c.series[i]);
    g.points(mx, my, ooc, panel);
  }
}

}  // namespace

void capability_plot(const CapabilityResults& r, const GofResults& f, const CapGraphInfo& info,
                     GraphBuilder& g) {
  g.reset(1, ZTG_KIND_HISTOGRAM);
  g.title(text(Str::kCapPlotTitle));
  g.subtitle(info.pane.data_name);
  if (info.pane.status != 0 || f.classes < 1) {
    g.note(text(Str::kNoResults), 0);
    return;
  }
  draw_capability(r, f, info, g, 0);
}

void capability_composite(const CapabilityResults& r, const GofResults& f,
                          const CapChartResults& chart, const CapGraphInfo& info, GraphBuilder& g) {
  g.reset(6, ZTG_KIND_COMPOSITE);
  g.canvas(1100, 820);
  g.title(text(Str::kCapCmpTitle));
  g.subtitle(info.pane.data_name);
  if (info.pane.status != 0 || !chart.computed) {
    g.note(text(Str::kNoResults), 0);
    return;
  }
  for (int i = 0; i < 6; ++i) g.panel(i, (i % 2) * 0.5, (i / 2) / 3.0, 0.5, 1.0 / 3);
  draw_chart(chart.location, g, 0, true);
  g.panel_title(0, text(Str::kCapCmpLocation));
  draw_capability(r, f, info, g, 1);
  g.panel_title(1, text(Str::kCapPlotTitle));
  draw_chart(chart.dispersion, g, 2, false);
  g.panel_title(2, text(Str::kCapCmpDispersion));
  draw_probability(r, g, 3);
  g.panel_title(3, text(Str::kCapProbTitle));
  {
    std::vector<double> xs, ys;
    for (size_t i = 0; i < r.data.size(); ++i) xs.push_back(static_cast<double>(i + 1));
    const int obs = g.attribute(Tag::data), limit_attr = g.attribute(Tag::spec_limit);
    g.axis_x(0, 0, 0, {}, 4);
    g.axis_y(0, 0, 0, {}, 4);
    if (r.data.size() <= GraphBuilder::kDenseAbove)
      g.points(xs, r.data, obs, 4);
    else
      g.series(xs, r.data, obs, 4);
    if (r.usl_given) g.hline(r.usl, limit_label(Str::kCapRowUsl, r.usl), limit_attr, 4);
    if (r.nominal_given)
      g.hline(r.nominal, limit_label(Str::kCapRowNominal, r.nominal), limit_attr, 4);
    if (r.lsl_given) g.hline(r.lsl, limit_label(Str::kCapRowLsl, r.lsl), limit_attr, 4);
    g.panel_title(4, text(Str::kCapCmpObservations));
  }
  g.text_panel(5);
  g.panel_title(5, text(Str::kCapCmpIndices));
  const int txt = g.attribute(Tag::text);
  std::vector<std::pair<std::string, double>> rows = {
      {text(Str::kCapCmpMean), r.mean},
      {text(Str::kCapCmpWithin), chart.within_sigma},
      {text(Str::kCapCmpOverall), r.sd}};
  const double values[7] = {r.cp, r.cpk, r.cpu, r.cpl, r.cr, r.cpm, r.k_index};
  for (int i = 0; i < 7; ++i)
    if (info.pane.show[i] && !is_missing(values[i]) && std::isfinite(values[i]))
      rows.push_back(
          {text(static_cast<Str>(capability_index_label(i, info.pane.label_set))), values[i]});
  const double step = std::min(0.12, 0.9 / static_cast<double>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    const double y = 0.92 - step * static_cast<double>(i);
    g.text(0.1, y, rows[i].first, txt, ZTG_ANCHOR_LEFT + ZTG_ANCHOR_MIDDLE, 5, ZTG_COORDS_PLOT);
    g.text(0.9, y, format_sig(rows[i].second, 16, info.pane.digits), txt,
           ZTG_ANCHOR_RIGHT + ZTG_ANCHOR_MIDDLE, 5, ZTG_COORDS_PLOT);
  }
}

// Ordered observations against the fitted quantiles at Blom's (1958)
// positions (i - 0.375) / (n + 0.25); above 2000 observations, 2000 ranks
// spread evenly over 1..n.
void probability_plot(const CapabilityResults& r, const CapGraphInfo& info, GraphBuilder& g) {
  g.reset(1, ZTG_KIND_GENERIC);
  g.title(text(Str::kCapProbTitle));
  g.subtitle(info.pane.data_name + " - " +
             text(static_cast<Str>(capability_distribution_label(r.distribution))));
  if (info.pane.status != 0) {
    g.note(text(Str::kNoResults), 0);
    return;
  }
  draw_probability(r, g, 0);
}

}  // namespace ztq
