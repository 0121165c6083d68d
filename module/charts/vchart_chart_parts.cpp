#include "charts/vchart_chart_parts.h"

#include <algorithm>
#include <cmath>

#include "bridge/strings.h"
#include "format/numfmt.h"
#include "format/regional.h"

namespace ztq::vchart_detail {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

bool constant(const std::vector<double>& v) {
  for (double x : v)
    if (x != v.front()) return false;
  return !v.empty();
}

std::string labelled(Str name, const LabelFormat& f, double v) {
  return present(v) ? text(name) + " = " + f(v) : std::string();
}

// One line of the chart: flat with its label; else stepped per point (a
// straight sloped line for the trend charts), labelled with the value at
// n-bar (at the last point for a trend line).
void one_line(GraphBuilder& g, const std::vector<double>& xs, const std::vector<double>& per_point,
              double at_nbar, bool trend, Str name, const LabelFormat& f, int attr) {
  if (per_point.empty() || constant(per_point)) {
    const double y = per_point.empty() ? at_nbar : per_point.front();
    if (present(y)) g.hline(y, labelled(name, f, y), attr);
    return;
  }
  if (trend) {
    double last = at_nbar;
    for (std::size_t i = per_point.size(); i-- > 0;)
      if (present(per_point[i])) {
        last = per_point[i];
        break;
      }
    g.series(xs, per_point, attr, 0, labelled(name, f, last));
    return;
  }
  g.steps(xs, per_point, attr, 0, labelled(name, f, at_nbar));
}

}  // namespace

std::string rule_letters_of(int flags, int shift) {
  std::string s;
  for (int rule = 0; rule < 6; ++rule)
    if (flags & (1 << (rule + shift))) s.push_back(static_cast<char>('A' + rule));
  return s;
}

ChartLineSet chart_line_set(const ChartResults& r, int code, bool first) {
  const ChartSeries& s = r.series;
  const ChartLines& at = r.limits;
  return {(first ? s.ucl1 : s.ucl2).values(),
          (first ? s.cl1 : s.cl2).values(),
          (first ? s.lcl1 : s.lcl2).values(),
          (first ? s.ucl1_unclipped : s.ucl2_unclipped).values(),
          (first ? s.lcl1_unclipped : s.lcl2_unclipped).values(),
          first ? at.ucl1 : at.ucl2,
          first ? at.cl1 : at.cl2,
          first ? at.lcl1 : at.lcl2,
          first && (code == 18 || code == 19)};
}

LabelFormat chart_label_format(const ChartResults& r, int code, bool first, int digits) {
  return LabelFormat(label_values(r, chart_line_set(r, code, first), first), digits);
}

std::vector<double> label_values(const ChartResults& r, const ChartLineSet& lines, bool first) {
  std::vector<double> out = {lines.ucl_nbar, lines.cl_nbar, lines.lcl_nbar};
  for (const PhaseResult& p : r.phases) {
    const ChartLines& l = p.lines;
    out.insert(out.end(), first ? std::initializer_list<double>{l.ucl1, l.cl1, l.lcl1}
                                : std::initializer_list<double>{l.ucl2, l.cl2, l.lcl2});
  }
  for (const auto* v : {&lines.ucl, &lines.cl, &lines.lcl})
    if (!v->empty()) out.push_back(v->back());
  return out;
}

void draw_chart_lines(GraphBuilder& g, const ChartResults& r, const ChartLineSet& lines, bool first,
                      const std::vector<double>& xs, const PointLabels& point_labels,
                      const LabelFormat& format) {
  const int limit = g.attribute(Tag::limit_line), centre = g.attribute(Tag::centre_line);
  one_line(g, xs, lines.ucl, lines.ucl_nbar, lines.trend, Str::kVcUclLabel, format, limit);
  one_line(g, xs, lines.cl, lines.cl_nbar, lines.trend, Str::kVcClLabel, format, centre);
  one_line(g, xs, lines.lcl, lines.lcl_nbar, lines.trend, Str::kVcLclLabel, format, limit);
  if (r.phases.size() < 2) return;

  // Dividers before each phase after the first, named by the phase's first point.
  ZtgAttribute look = default_attribute(Tag::reference);
  look.line_style = ZTG_LINE_DOT;
  const int divider = g.attribute(look);
  for (std::size_t k = 1; k < r.phases.size(); ++k) {
    const int first_point = r.phases[k].first;
    if (first_point < 1) continue;
    const auto at = static_cast<std::size_t>(first_point - 1);
    const std::string name = at < point_labels.size() && !point_labels[at].empty()
                                 ? point_labels[at]
                                 : std::to_string(first_point);
    g.vline(first_point - 0.5, text_with(Str::kGrPhaseFrom, name), divider);
  }
  // The earlier phases' values at their right ends, where they differ from the
  // last phase's (which the margin labels give).
  const ChartLines& last = r.phases.back().lines;
  for (std::size_t k = 0; k + 1 < r.phases.size(); ++k) {
    const PhaseResult& p = r.phases[k];
    const double x = p.last + 0.5;
    const double own[3] = {first ? p.lines.ucl1 : p.lines.ucl2, first ? p.lines.cl1 : p.lines.cl2,
                           first ? p.lines.lcl1 : p.lines.lcl2};
    const double fin[3] = {first ? last.ucl1 : last.ucl2, first ? last.cl1 : last.cl2,
                           first ? last.lcl1 : last.lcl2};
    const Str names[3] = {Str::kVcUclLabel, Str::kVcClLabel, Str::kVcLclLabel};
    for (int j = 0; j < 3; ++j) {
      if (!present(own[j]) || own[j] == fin[j]) continue;
      const int anchor = ZTG_ANCHOR_RIGHT + (j == 2 ? ZTG_ANCHOR_TOP : ZTG_ANCHOR_BASELINE);
      g.text(x, own[j], labelled(names[j], format, own[j]), j == 1 ? centre : limit, anchor);
    }
  }
}

void draw_zones(GraphBuilder& g, const ChartLineSet& lines, const std::vector<double>& xs) {
  const std::vector<double>& cl = lines.cl;
  const std::vector<double>& up = lines.ucl_unclipped;
  const std::vector<double>& lo = lines.lcl_unclipped;
  const std::size_t n = xs.size();
  if (cl.size() != n || up.size() != n || lo.size() != n) return;
  ZtgAttribute look = default_attribute(Tag::warning_line);
  look.width = 0.6;
  const int attr = g.attribute(look);
  for (const double k : {1.0 / 3.0, 2.0 / 3.0}) {
    std::vector<double> above(n, kMissing), below(n, kMissing);
    for (std::size_t i = 0; i < n; ++i) {
      if (!present(cl[i])) continue;
      if (present(up[i])) above[i] = cl[i] + k * (up[i] - cl[i]);
      if (present(lo[i])) below[i] = cl[i] - k * (cl[i] - lo[i]);
    }
    for (const auto* v : {&above, &below}) {
      if (constant(*v)) {
        if (present(v->front())) g.hline(v->front(), {}, attr);
      } else if (lines.trend) {
        g.series(xs, *v, attr);
      } else {
        g.steps(xs, *v, attr);
      }
    }
  }
}

}  // namespace ztq::vchart_detail
