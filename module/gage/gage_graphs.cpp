// The graphs of the long-form gage study: appraiser-by-part plot, range
// charts of the cell ranges, box plots by appraiser, deviation plot,
// measurement plot, and the one-page report that gathers three of them with
// the components table.
#include <algorithm>
#include <string>
#include <vector>

#include "format/numfmt.h"
#include "gage/boxplot.h"
#include "gage/gage_panes.h"
#include "gage/gage_strings.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

// One colour and marker per appraiser (up to 18), readable in print.
constexpr int32_t kPalette[6] = {0x1F4E79, 0xD35400, 0x2E7D32, 0x8E24AA, 0xC62828, 0x00838F};

int appraiser_attribute(GraphBuilder& g, int a) {
  ZtgAttribute look = default_attribute(Tag::data);
  look.colour = kPalette[a % 6];
  look.marker = ZTG_MARK_CIRCLE + (a / 6) % 6;
  return g.attribute(look);
}

std::string trimmed(const std::string& s) {
  const size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

std::vector<std::string> labels_of(const GageLevels& l) {
  std::vector<std::string> out;
  for (const std::string& s : l.labels) out.push_back(trimmed(s));
  return out;
}

std::string value_label(const std::string& name, double v) {
  return name + " = " + format_sig(v, 20, 4);
}

void message(GraphBuilder& g, const std::string& text, int panel = 0) {
  g.text_panel(panel);
  g.text(0.5, 0.5, text, g.attribute(Tag::text), ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_MIDDLE, panel,
         ZTG_COORDS_PANEL);
}

// Cell averages against the part, one line per appraiser; slot 2 marks each
// appraiser's average right of the last part, slot 3 draws it across.
void appraiser_part(const GageView& v, GraphBuilder& g, int panel) {
  const GageResults& r = *v.r;
  const auto names = labels_of(r.appraisers);
  std::vector<double> xs(static_cast<size_t>(r.p));
  for (int32_t p = 0; p < r.p; ++p) xs[p] = p + 1;
  for (int32_t a = 0; a < r.a; ++a) {
    const int at = appraiser_attribute(g, a);
    std::vector<double> ys(r.cell_mean.begin() + static_cast<long>(a) * r.p,
                           r.cell_mean.begin() + static_cast<long>(a + 1) * r.p);
    g.polyline(xs, ys, at, panel);
    g.points(xs, ys, at, panel);
    g.legend(names[a], at, panel);
    if (v.average_line) {
      ZtgAttribute line = default_attribute(Tag::reference);
      line.colour = kPalette[a % 6];
      line.line_style = ZTG_LINE_DASH;
      g.segment(1, r.appraiser_xbar[a], r.p, r.appraiser_xbar[a], g.attribute(line), panel);
    }
    if (v.average_mark) {
      ZtgAttribute mark = default_attribute(Tag::data);
      mark.colour = kPalette[a % 6];
      mark.marker = ZTG_MARK_DIAMOND;
      mark.size = 8;
      g.point(r.p + 0.6, r.appraiser_xbar[a], g.attribute(mark), panel);
    }
  }
  g.axis_x(0.4, r.p + (v.average_mark ? 1.0 : 0.6), r.p > 40 ? 0 : 1, v.parts, panel);
  if (r.p <= 60) g.categories_x(labels_of(r.parts), 1, 1, r.p > 10 ? 2 : 1, panel);
  g.axis_y(0, 0, 0, gs::str(gs::kAxisAverage), panel);
}

// The cell ranges appraiser by appraiser (by_part false) or part by part.
void range_chart(const GageView& v, bool by_part, GraphBuilder& g, int panel) {
  const GageResults& r = *v.r;
  const int32_t outer = by_part ? r.p : r.a, inner = by_part ? r.a : r.p;
  const int data = g.attribute(Tag::data), high = g.attribute(Tag::out_of_control);
  for (int32_t o = 0; o < outer; ++o) {
    std::vector<double> xs, ys;
    for (int32_t i = 0; i < inner; ++i) {
      const int32_t a = by_part ? i : o, p = by_part ? o : i;
      const double x = static_cast<double>(o) * inner + i + 1;
      const double y = r.cell_range[static_cast<size_t>(a) * r.p + p];
      xs.push_back(x);
      ys.push_back(y);
      if (!is_missing(r.range_ucl) && y > r.range_ucl) g.point(x, y, high, panel);
    }
    g.polyline(xs, ys, data, panel);
    g.points(xs, ys, data, panel);
  }
  const double n = static_cast<double>(outer) * inner;
  g.axis_x(0.5, n + 0.5, 0, by_part ? v.parts : v.appraisers, panel);
  const auto names = labels_of(by_part ? r.parts : r.appraisers);
  if (outer <= 60) g.categories_x(names, (inner + 1) / 2.0, inner, outer > 12 ? 2 : 1, panel);
  double top = is_missing(r.range_ucl) ? 0.0 : r.range_ucl;
  for (double c : r.cell_range) top = std::max(top, c);
  g.axis_y(0, top > 0 ? top * 1.1 : 1.0, 0, gs::str(gs::kAxisRange), panel);
  if (!is_missing(r.range_ucl)) {
    g.hline(r.range_centre, value_label(gs::str(gs::kRbar), r.range_centre),
            g.attribute(Tag::centre_line), panel);
    g.hline(r.range_ucl, value_label(gs::str(gs::kUcl), r.range_ucl), g.attribute(Tag::limit_line),
            panel);
  }
  for (int32_t o = 1; o < outer; ++o) {  // thin separators between the groups
    ZtgAttribute sep = default_attribute(Tag::reference);
    sep.line_style = ZTG_LINE_DOT;
    g.vline(static_cast<double>(o) * inner + 0.5, {}, g.attribute(sep), panel);
  }
}

void box_plots(const GageView& v, GraphBuilder& g) {
  const GageResults& r = *v.r;
  std::vector<std::vector<double>> groups(static_cast<size_t>(r.a));
  for (int32_t a = 0; a < r.a; ++a)
    for (int32_t p = 0; p < r.p; ++p)
      for (int32_t t = 0; t < r.t; ++t) groups[a].push_back(r.reading(a, p, t));
  BoxLook look{v.box_readings, v.box_medians, v.box_fences, v.box_mean};
  gage_box_graph(groups, labels_of(r.appraisers), v.appraisers, look, g);
}

// Deviations of each reading from its part average, appraiser by appraiser
// (P positions per appraiser, 3 positions between appraisers).
void deviation(const GageView& v, GraphBuilder& g) {
  const GageResults& r = *v.r;
  const double group = r.p + 3.0;
  std::vector<double> centres;
  for (int32_t a = 0; a < r.a; ++a) {
    std::vector<double> xs, ys;
    for (int32_t p = 0; p < r.p; ++p)
      for (int32_t t = 0; t < r.t; ++t) {
        xs.push_back(a * group + p + 1);
        ys.push_back(r.reading(a, p, t) - r.part_xbar[p]);
      }
    g.points(xs, ys, appraiser_attribute(g, a));
    centres.push_back(a * group + (r.p + 1) / 2.0);
  }
  g.axis_x(0, r.a * group - 2, 0, v.appraisers);
  g.categories_x(labels_of(r.appraisers), (r.p + 1) / 2.0, group, r.a > 12 ? 2 : 1);
  g.axis_y(0, 0, 0, gs::str(gs::kAxisDeviation));
  g.hline(0, {}, g.attribute(Tag::centre_line));
}

// Every reading at its part, the appraisers side by side within the part.
void measurement(const GageView& v, GraphBuilder& g) {
  const GageResults& r = *v.r;
  const double step = std::min(0.6 / r.a, 0.15);
  const auto names = labels_of(r.appraisers);
  for (int32_t a = 0; a < r.a; ++a) {
    std::vector<double> xs, ys;
    const double offset = (a - (r.a - 1) / 2.0) * step;
    for (int32_t p = 0; p < r.p; ++p)
      for (int32_t t = 0; t < r.t; ++t) {
        xs.push_back(p + 1 + offset);
        ys.push_back(r.reading(a, p, t));
      }
    const int at = appraiser_attribute(g, a);
    g.points(xs, ys, at);
    g.legend(names[a], at);
  }
  std::vector<double> px, py;
  for (int32_t p = 0; p < r.p; ++p) px.push_back(p + 1), py.push_back(r.part_xbar[p]);
  ZtgAttribute avg = default_attribute(Tag::reference);
  avg.line_style = ZTG_LINE_DASH;
  const int avg_at = g.attribute(avg);
  g.polyline(px, py, avg_at, 0, ZTG_COORDS_DATA, {});
  g.legend(gs::str(gs::kAxisAverage), avg_at);
  g.axis_x(0.4, r.p + 0.6, r.p > 40 ? 0 : 1, v.parts);
  if (r.p <= 60) g.categories_x(labels_of(r.parts), 1, 1, r.p > 10 ? 2 : 1);
  g.axis_y(0, 0, 0, gs::str(gs::kMeasurement));
}

int32_t pane_title(const GageView& v, GageGraph which) {
  if (v.variant == 3) {
    switch (which) {
      case GageGraph::appraiser_part:
        return 2354;
      case GageGraph::box:
        return 2355;
      case GageGraph::deviation:
        return 2356;
      default:
        return 2357;
    }
  }
  return 2274 + static_cast<int32_t>(which);
}

}  // namespace

// Box plots side by side, one per group (Tukey 1977): box from Q1 to Q3,
// median line, whiskers to the last readings inside the inner fences,
// outside and far-outside readings marked apart, optionally the mean and the
// readings themselves.
void gage_box_graph(const std::vector<std::vector<double>>& groups,
                    const std::vector<std::string>& labels, const std::string& axis,
                    const BoxLook& look, GraphBuilder& g) {
  const int box = g.attribute(Tag::bar), whisker = g.attribute(Tag::reference);
  ZtgAttribute out_look = default_attribute(Tag::data);
  out_look.marker = ZTG_MARK_CIRCLE;
  out_look.fill_colour = ZTG_COLOUR_NONE;
  out_look.size = 6;
  const int outside = g.attribute(out_look);
  ZtgAttribute far_look = default_attribute(Tag::out_of_control);
  far_look.marker = ZTG_MARK_CROSS;
  const int far = g.attribute(far_look);
  ZtgAttribute mean_look = default_attribute(Tag::data);
  mean_look.marker = ZTG_MARK_PLUS;
  mean_look.size = 9;
  mean_look.colour = 0xC62828;
  const int mean = g.attribute(mean_look);
  ZtgAttribute dot = default_attribute(Tag::data);
  dot.size = 2.5;
  dot.colour = 0x888888;
  const int reading = g.attribute(dot);
  std::vector<double> mx, my;
  for (size_t i = 0; i < groups.size(); ++i) {
    const double x = static_cast<double>(i) + 1;
    if (look.readings) {
      std::vector<double> xs(groups[i].size(), x + 0.32);
      g.points(xs, groups[i], reading);
    }
    const BoxStats b = box_stats(groups[i], look.fences);
    if (b.n == 0) continue;
    g.bar(x - 0.22, b.q1, x + 0.22, b.q3, box);
    g.segment(x - 0.22, b.median, x + 0.22, b.median, whisker);
    g.segment(x, b.q3, x, b.whisker_high, whisker);
    g.segment(x, b.q1, x, b.whisker_low, whisker);
    g.segment(x - 0.1, b.whisker_high, x + 0.1, b.whisker_high, whisker);
    g.segment(x - 0.1, b.whisker_low, x + 0.1, b.whisker_low, whisker);
    for (double o : b.outside) g.point(x, o, outside);
    for (double o : b.far_outside) g.point(x, o, far);
    if (look.mean) g.point(x, b.mean, mean);
    mx.push_back(x);
    my.push_back(b.median);
  }
  if (look.medians) g.polyline(mx, my, whisker);
  const double n = static_cast<double>(groups.size());
  double lo = 0, hi = 0;
  bool first = true;
  for (const auto& group : groups)
    for (double v : group) {
      if (is_missing(v)) continue;
      lo = first ? v : std::min(lo, v);
      hi = first ? v : std::max(hi, v);
      first = false;
    }
  const double margin = hi > lo ? 0.05 * (hi - lo) : 1.0;
  g.axis_x(0.4, n + 0.6, 1, axis);
  g.axis_y(lo - margin, hi + margin, 0, gs::str(gs::kMeasurement));
  g.categories_x(labels, 1, 1, groups.size() > 12 ? 2 : 1);
  if (look.fences) {
    g.legend(gs::str(gs::kOutside), outside);
    g.legend(gs::str(gs::kFarOutside), far);
  }
  if (look.mean) g.legend(gs::str(gs::kMean), mean);
}

void gage_graph(const GageView& v, GageGraph which, GraphBuilder& g) {
  g.reset(1, which == GageGraph::box ? ZTG_KIND_BOX_PLOT
             : which == GageGraph::range_by_appraiser || which == GageGraph::range_by_part
                 ? ZTG_KIND_CONTROL_CHART
                 : ZTG_KIND_SCATTER);
  g.title(gs::str(pane_title(v, which)));
  if (!v.ok()) return message(g, gage_error_text(v.error));
  switch (which) {
    case GageGraph::appraiser_part:
      return appraiser_part(v, g, 0);
    case GageGraph::range_by_appraiser:
      return range_chart(v, false, g, 0);
    case GageGraph::range_by_part:
      return range_chart(v, true, g, 0);
    case GageGraph::box:
      return box_plots(v, g);
    case GageGraph::deviation:
      return deviation(v, g);
    case GageGraph::measurement:
      return measurement(v, g);
  }
}

// The one-page report: the appraiser-by-part plot, the components of
// variation, the range chart and the components table.
void gage_report_graph(const GageView& v, GraphBuilder& g) {
  g.reset(4, ZTG_KIND_REPORT);
  g.canvas(1000, 760);
  g.title(gs::str(gs::kTitleReport));
  if (!v.ok()) return message(g, gage_error_text(v.error));
  const GageResults& r = *v.r;
  g.subtitle(v.columns[3] + ": " + std::to_string(r.a) + " " + v.appraisers + ", " +
             std::to_string(r.p) + " " + v.parts + ", " + std::to_string(r.t) + " " + v.trials);
  g.panel(0, 0, 0, 0.5, 0.5);
  g.panel(1, 0.5, 0, 0.5, 0.5);
  g.panel(2, 0, 0.5, 0.5, 0.5);
  g.panel(3, 0.5, 0.5, 0.5, 0.5);
  GageView plot = v;
  plot.average_mark = false;
  appraiser_part(plot, g, 0);
  g.panel_title(0, gs::str(2274).substr(gs::str(2274).find(':') + 2));

  // Components of variation: the study variations, with the tolerance also
  // GRR and TV in percent of it on the second axis.
  std::vector<std::string> names = {"EV", "AV"};
  std::vector<double> values = {r.study.ev, r.study.av};
  if (r.interaction) names.push_back("INT"), values.push_back(r.study.int_);
  names.insert(names.end(), {"GRR", "PV", "TV"});
  values.insert(values.end(), {r.study.grr, r.study.pv, r.study.tv});
  const int bar = g.attribute(Tag::bar);
  for (size_t i = 0; i < values.size(); ++i) {
    const double x = static_cast<double>(i);
    g.bar(x + 0.15, 0, x + 0.55, values[i], bar, 1);
  }
  const bool tol = !is_missing(v.tolerance) && v.tolerance > 0;
  if (tol) {
    ZtgAttribute look = default_attribute(Tag::bar);
    look.colour = look.fill_colour = 0xD35400;
    const int pbar = g.attribute(look);
    const double grr = static_cast<double>(values.size()) - 3, tv = grr + 2;
    g.bar(grr + 0.55, 0, grr + 0.85, 100.0 * r.study.grr / v.tolerance, pbar, 1, {},
          ZTG_COORDS_DATA2);
    g.bar(tv + 0.55, 0, tv + 0.85, 100.0 * r.study.tv / v.tolerance, pbar, 1, {}, ZTG_COORDS_DATA2);
    g.axis_y2(0, 0, 0, gs::str(gs::kPercentToleranceGraph), 1);
    g.legend(gs::str(gs::kStudyVariation), bar, 1);
    g.legend(gs::str(gs::kPercentToleranceGraph), pbar, 1);
  }
  g.axis_x(0, static_cast<double>(values.size()), 1, {}, 1);
  g.categories_x(names, 0.5, 1, 1, 1);
  g.axis_y(0, 0, 0, gs::str(gs::kStudyVariation), 1);
  g.panel_title(1, gs::str(gs::kComponentsGraph));

  if (!is_missing(r.range_ucl)) {
    range_chart(v, false, g, 2);
    g.panel_title(2, gs::str(2275).substr(gs::str(2275).find(':') + 2));
  }

  // The components table (the text pane's numbers, 4 significant digits).
  g.text_panel(3);
  const int txt = g.attribute(Tag::text);
  ZtgAttribute head = default_attribute(Tag::text);
  head.bold = 1;
  const int bold = g.attribute(head);
  const Components s = r.sigma(), var = r.variance();
  std::vector<std::vector<std::string>> rows = {
      {gs::str(gs::kSource), gs::str(gs::kSigma), gs::str(gs::kPercentContribution),
       tol ? gs::str(gs::kPercentTolerance) : std::string()}};
  auto add = [&](const std::string& label, double sigma, double variance, double study) {
    rows.push_back({label, format_sig(sigma, 20, 4),
                    var.tv > 0 ? format_fixed(100.0 * variance / var.tv, 12, 2) : std::string(),
                    tol ? format_fixed(100.0 * study / v.tolerance, 12, 2) : std::string()});
  };
  add(gs::str(gs::kEv), s.ev, var.ev, r.study.ev);
  add(gs::str(gs::kAv), s.av, var.av, r.study.av);
  if (r.interaction) add(gs::str(gs::kInt), s.int_, var.int_, r.study.int_);
  add(gs::str(gs::kGrr), s.grr, var.grr, r.study.grr);
  add(v.parts, s.pv, var.pv, r.study.pv);
  add(gs::str(gs::kTv), s.tv, var.tv, r.study.tv);
  const double step = 0.8 / static_cast<double>(rows.size());
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t c = 0; c < 4; ++c) {
      std::string cell = rows[i][c];
      cell.erase(0, cell.find_first_not_of(' '));
      if (cell.empty()) continue;
      g.text(c == 0 ? 0.02 : 0.2 + 0.26 * static_cast<double>(c),
             0.9 - step * static_cast<double>(i), cell, i == 0 ? bold : txt,
             (c == 0 ? ZTG_ANCHOR_LEFT : ZTG_ANCHOR_RIGHT) + ZTG_ANCHOR_MIDDLE, 3, ZTG_COORDS_PLOT);
    }
  g.panel_title(3, gs::str(gs::kVarianceComponents));
}

}  // namespace ztq
