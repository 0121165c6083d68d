#include "capability/capable_graphs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>
#include <vector>

#include "bridge/strings.h"
#include "charts/vchart_chart_parts.h"
#include "format/label_format.h"
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

// USL, nominal and LSL labelled in one format (the chart labels' rule).
std::string limit_label(const CapabilityResults& r, Str label, double v) {
  const LabelFormat f({r.usl_given ? r.usl : kMissing, r.nominal_given ? r.nominal : kMissing,
                       r.lsl_given ? r.lsl : kMissing},
                      6);
  return text(label) + " = " + f(v);
}

std::vector<double> sorted_present(const std::vector<double>& data) {
  std::vector<double> x;
  x.reserve(data.size());
  for (double v : data)
    if (!is_missing(v) && std::isfinite(v)) x.push_back(v);
  if (!std::is_sorted(x.begin(), x.end())) std::sort(x.begin(), x.end());
  return x;
}

}  // namespace

namespace {

// WIDEN: further values the display range must hold (the composite's).
void draw_capability(const CapabilityResults& r, const GofResults& f, const CapGraphInfo& info,
                     GraphBuilder& g, int panel, const std::vector<double>& widen = {}) {
  if (f.classes < 1) return;
  const int32_t k = f.classes;
  const double width = (f.upper - f.lower) / k;
  // The counts of the goodness-of-fit classes, so both panes agree.
  const std::vector<int64_t>& count = f.class_observed;
  // The display range: the classes and every limit.
  double lo = f.lower, hi = f.upper;
  for (double v : {r.usl, r.nominal, r.lsl})
    if (!is_missing(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  for (double v : widen)
    if (!is_missing(v) && std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  const double n = static_cast<double>(r.n);
  // Frequencies, or percent of the observations (option 27).
  const double scale = info.percent && n > 0 ? 100.0 / n : 1.0;
  const int points = std::clamp(info.curve_points, 10, 2000);
  std::vector<double> xs(static_cast<size_t>(points)), ys(xs.size());
  double top = 0;
  for (int i = 0; i < points; ++i) {
    const double x = lo + (hi - lo) * i / (points - 1);
    const double d = coded_density(r.distribution, r.param, x) * n * width * scale;
    xs[static_cast<size_t>(i)] = x;
    ys[static_cast<size_t>(i)] = std::isfinite(d) ? d : kMissing;
    if (std::isfinite(d)) top = std::max(top, d);
  }
  for (int64_t c : count) top = std::max(top, static_cast<double>(c) * scale);
  g.axis_x(lo - 0.02 * (hi - lo), hi + 0.02 * (hi - lo), 0, {}, panel);
  g.axis_y(0, top * 1.1 + 1e-12, 0, text(info.percent ? Str::kCapPercent : Str::kCapFrequency),
           panel);
  const int bar = g.attribute(Tag::bar), curve = g.attribute(Tag::fit_curve),
            limit_attr = g.attribute(Tag::spec_limit), centre = g.attribute(Tag::centre_line);
  // Bars narrowed about their class centre to option 37 percent of the width.
  const double inset = width * (1 - std::clamp(info.bar_width, 1, 100) / 100.0) / 2;
  for (int32_t j = 0; j < k && static_cast<size_t>(j) < count.size(); ++j)
    g.bar(f.lower + width * j + inset, 0, f.lower + width * (j + 1) - inset,
          static_cast<double>(count[static_cast<size_t>(j)]) * scale, bar, panel);
  g.polyline(xs, ys, curve, panel);
  if (r.usl_given) g.vline(r.usl, limit_label(r, Str::kCapRowUsl, r.usl), limit_attr, panel);
  if (r.nominal_given)
    g.vline(r.nominal, limit_label(r, Str::kCapRowNominal, r.nominal), centre, panel);
  if (r.lsl_given) g.vline(r.lsl, limit_label(r, Str::kCapRowLsl, r.lsl), limit_attr, panel);
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

void draw_probability(const CapabilityResults& r, const CapGraphInfo& info, GraphBuilder& g,
                      int panel) {
  // The observations sorted once by the procedure, or sorted here.
  const std::vector<double> own =
      info.sorted != nullptr ? std::vector<double>{} : sorted_present(r.data);
  const std::vector<double>& x = info.sorted != nullptr ? *info.sorted : own;
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
  // Option 29: the observations on the X axis instead of the Y axis.
  if (info.swap_axes) std::swap(qs, os);
  g.axis_x(0, 0, 0, text(info.swap_axes ? Str::kCapOrdered : Str::kCapFittedQuantile), panel);
  g.axis_y(0, 0, 0, text(info.swap_axes ? Str::kCapFittedQuantile : Str::kCapOrdered), panel);
  const int data = g.attribute(Tag::data), ref = g.attribute(Tag::reference);
  g.points(qs, os, data, panel);
  if (!qs.empty() && info.reference) {
    const double a = std::min(qs.front(), os.front()), b = std::max(qs.back(), os.back());
    g.segment(a, a, b, b, ref, panel);
  }
}

// One control chart: the series, centre, limits, warning lines, smoother,
// the points beyond the control limits (diamonds) and, with MARKS, the points
// a run or zone rule flagged (triangles lettered A side, B trend, C four of
// five beyond one sigma, D two of three beyond two sigma, as the control
// charts letter them).
// With RECENT above 0 only the last RECENT points are drawn, at their own
// positions.
void draw_chart(const CapChartSide& c, GraphBuilder& g, int panel, bool marks, int recent) {
  const size_t n = c.series.size();
  const size_t first = recent > 0 && static_cast<size_t>(recent) < n ? n - recent : 0;
  std::vector<double> xs(n);
  for (size_t i = 0; i < n; ++i) xs[i] = static_cast<double>(i + 1);
  const auto tail = [first](const std::vector<double>& v) {
    return std::span<const double>(v).subspan(std::min(first, v.size()));
  };
  const int data = g.attribute(Tag::data), cl = g.attribute(Tag::centre_line),
            lim = g.attribute(Tag::limit_line), warn = g.attribute(Tag::warning_line),
            smooth = g.attribute(Tag::fit_curve);
  ZtgAttribute over_look = default_attribute(Tag::out_of_control);
  over_look.marker = ZTG_MARK_DIAMOND;
  ZtgAttribute rule_look = default_attribute(Tag::out_of_control);
  rule_look.marker = ZTG_MARK_TRIANGLE, rule_look.colour = 0xE69F00;
  rule_look.fill_colour = ZTG_COLOUR_NONE, rule_look.width = 1.4;
  const int over = g.attribute(over_look), rule = g.attribute(rule_look);
  g.axis_x(0, 0, 0, {}, panel);
  g.axis_y(0, 0, 0, {}, panel);
  g.series(tail(xs), tail(c.series), data, panel);
  if (n - first <= GraphBuilder::kDenseAbove) g.points(tail(xs), tail(c.series), data, panel);
  const LabelFormat f({c.centre, c.ucl, c.lcl}, 6);
  g.hline(c.centre, text(Str::kCapCmpCl) + " = " + f(c.centre), cl, panel);
  g.hline(c.ucl, text(Str::kCapCmpUcl) + " = " + f(c.ucl), lim, panel);
  g.hline(c.lcl, text(Str::kCapCmpLcl) + " = " + f(c.lcl), lim, panel);
  if (c.has_outer) {
    g.hline(c.outer_upper, {}, warn, panel);
    g.hline(c.outer_lower, {}, warn, panel);
  }
  if (c.has_inner) {
    g.hline(c.inner_upper, {}, warn, panel);
    g.hline(c.inner_lower, {}, warn, panel);
  }
  if (!c.smoother.empty()) g.polyline(tail(xs), tail(c.smoother), smooth, panel);
  // Beyond a limit that exists (a within sigma of 0 leaves none).
  const auto beyond = [&c](double v) {
    return (!is_missing(c.ucl) && v > c.ucl) || (!is_missing(c.lcl) && v < c.lcl);
  };
  std::vector<double> ox, oy, rx, ry;
  std::vector<size_t> lettered;
  for (size_t i = first; i < n; ++i) {
    const double v = c.series[i];
    if (is_missing(v) || !std::isfinite(v)) continue;
    const int flags = !marks ? 0
                             : (i < c.runs.size() ? c.runs[i] : 0) |
                                   (i < c.zone_marks.size() ? c.zone_marks[i] : 0);
    if (beyond(v))
      ox.push_back(xs[i]), oy.push_back(v);
    else if (flags != 0)
      rx.push_back(xs[i]), ry.push_back(v);
    if (flags != 0) lettered.push_back(i);
  }
  g.points(rx, ry, rule, panel);
  g.points(ox, oy, over, panel);
  if (!ox.empty()) g.legend(text(Str::kGrBeyondLimits), over, panel);
  if (!rx.empty()) g.legend(text(Str::kGrRunsRule), rule, panel);
  if (lettered.size() <= 50)
    for (size_t i : lettered) {
      const int flags =
          (i < c.runs.size() ? c.runs[i] : 0) | (i < c.zone_marks.size() ? c.zone_marks[i] : 0);
      g.mark_text(xs[i], c.series[i], vchart_detail::rule_letters_of(flags, 0),
                  beyond(c.series[i]) ? over : rule, panel);
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
  draw_chart(chart.location, g, 0, true, info.recent);
  g.panel_title(0, text(Str::kCapCmpLocation));
  // The capability plot covers mean +/- 3 s, mean +/- 3 within sigma and the
  // natural tolerance limits: mu +/- (k/2) sigma, or the fitted quantiles at
  // Phi(-k/2) and Phi(k/2) for another distribution.
  const double k = info.pane.sigma_multiple > 0 ? info.pane.sigma_multiple : 6.0;
  std::vector<double> widen = {r.mean - 3 * r.sd, r.mean + 3 * r.sd};
  if (!is_missing(chart.within_sigma))
    widen.insert(widen.end(), {r.mean - 3 * chart.within_sigma, r.mean + 3 * chart.within_sigma});
  if (r.distribution == 3) {
    widen.insert(widen.end(), {r.param[0] - k / 2 * r.param[1], r.param[0] + k / 2 * r.param[1]});
  } else {
    widen.insert(widen.end(), {coded_quantile(r.distribution, r.param, norm_cdf(-k / 2)),
                               coded_quantile(r.distribution, r.param, norm_cdf(k / 2))});
  }
  draw_capability(r, f, info, g, 1, widen);
  g.panel_title(1, text(Str::kCapPlotTitle));
  draw_chart(chart.dispersion, g, 2, false, info.recent);
  g.panel_title(2, text(Str::kCapCmpDispersion));
  draw_probability(r, info, g, 3);
  g.panel_title(3, text(Str::kCapProbTitle));
  {
    const size_t n = r.data.size();
    const size_t first =
        info.recent > 0 && static_cast<size_t>(info.recent) < n ? n - info.recent : 0;
    std::vector<double> xs, ys(r.data.begin() + static_cast<std::ptrdiff_t>(first), r.data.end());
    for (size_t i = first; i < n; ++i) xs.push_back(static_cast<double>(i + 1));
    const int obs = g.attribute(Tag::data), limit_attr = g.attribute(Tag::spec_limit);
    g.axis_x(0, 0, 0, {}, 4);
    g.axis_y(0, 0, 0, {}, 4);
    if (ys.size() <= GraphBuilder::kDenseAbove)
      g.points(xs, ys, obs, 4);
    else
      g.series(xs, ys, obs, 4);
    if (r.usl_given) g.hline(r.usl, limit_label(r, Str::kCapRowUsl, r.usl), limit_attr, 4);
    if (r.nominal_given)
      g.hline(r.nominal, limit_label(r, Str::kCapRowNominal, r.nominal), limit_attr, 4);
    if (r.lsl_given) g.hline(r.lsl, limit_label(r, Str::kCapRowLsl, r.lsl), limit_attr, 4);
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
  draw_probability(r, info, g, 0);
}

}  // namespace ztq
