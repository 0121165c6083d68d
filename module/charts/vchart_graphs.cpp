// The chart graphs C1 and C2: the plotted statistic against the point number
// (the point labels on the X axis) with its centre line and limits (labelled
// in one number format; stepped per point where they change; per phase with
// dividers), optional zone lines, the smoother lines that are on, and marks
// that tell beyond-limit, rule-only and excluded points apart, with a legend
// of the kinds that occur.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bridge/strings.h"
#include "charts/chart_kind.h"
#include "charts/vchart_chart_parts.h"
#include "charts/vchart_panes.h"
#include "format/numfmt.h"

namespace ztq {

using namespace vchart_detail;

// The statistic's name on the value axis.
Str vchart_detail::statistic_name(int code, bool first) {
  if (!first) {
    if (code == 1 || code == 20) return Str::kVcStatSd;
    if (code == 2) return Str::kVcStatVariance;
    if (individuals_wording(code) || code == 15) return Str::kVcStatMovingRange;
    return Str::kVcStatRange;
  }
  switch (code) {
    case 4:
      return Str::kVcStatP;
    case 5:
      return Str::kVcStatNp;
    case 6:
      return Str::kVcStatU;
    case 7:
      return Str::kVcStatC;
    case 8:
    case 11:
      return Str::kVcStatMa;
    case 9:
    case 12:
      return Str::kVcStatEwma;
    case 10:
    case 13:
      return Str::kVcStatCusum;
    case 14:
    case 15:
      return Str::kVcStatDecision;
    default:
      return individuals_wording(code) ? Str::kVcStatIndividual : Str::kVcStatMean;
  }
}

namespace {

// Point labels as the X axis's tick labels: every k-th point, k a round step
// (1, 2 or 5 times a power of ten) that leaves about 12 labels, 8 when they
// are long.
void point_axis_labels(GraphBuilder& g, const PointLabels& labels, std::size_t n) {
  if (labels.size() != n || n == 0) return;
  const std::size_t longest = labels.longest(6);  // only "longer than 5" matters
  if (longest == 0) return;
  const double wanted = static_cast<double>(n) / (longest > 5 ? 8.0 : 12.0);
  std::size_t every = 1;
  const auto below = [&] { return static_cast<double>(every) < wanted; };
  for (std::size_t decade = 1; below(); decade *= 10)
    for (std::size_t m : {1, 2, 5})
      if (below()) every = m * decade;
  const std::size_t first = every > 1 ? every - 1 : 0;
  std::vector<std::string> shown;
  for (std::size_t i = first; i < n; i += every) shown.push_back(labels[i]);
  g.categories_x(shown, static_cast<double>(first + 1), static_cast<double>(every));
}

void draw_lines_and_zones(GraphBuilder& g, const ChartResults& r, const VchartView& v, bool first,
                          const std::vector<double>& xs) {
  const ChartLineSet set = chart_line_set(r, v.code, first);
  const LabelFormat format(label_values(r, set, first), v.digits);
  if (zones_shown(v)) draw_zones(g, set, xs);
  draw_chart_lines(g, r, set, first, xs, v.labels, format);
}

// Marks: beyond the limits a filled diamond, flagged by a runs rule only an
// open triangle, excluded a crossed circle; letters of the rules that fired
// above each flagged point when there are at most 50; a legend entry per kind
// that occurs. Ordinary markers shrink above 300 points and go above 2,000
// (the line's envelope then shows the data).
template <class Beyond>
void draw_marks(GraphBuilder& g, const ChartSeries& s, std::span<const double> y,
                const std::vector<double>& xs, int shift, Beyond beyond) {
  const std::size_t n = y.size();
  std::vector<double> shown(y.begin(), y.end()), over(n, kMissing), rule(n, kMissing),
      excluded(n, kMissing);
  std::vector<std::size_t> flagged;
  bool any_excluded = false;
  for (std::size_t i = 0; i < n; ++i) {
    if (i < s.excluded.size() && s.excluded[i] != 0) {
      excluded[i] = y[i], shown[i] = kMissing, any_excluded |= !is_missing(y[i]);
      continue;
    }
    if (is_missing(y[i])) continue;
    const bool rules = i < s.flags.size() && ((s.flags[i] >> shift) & 63) != 0;
    if (beyond(i))
      over[i] = y[i], flagged.push_back(i);
    else if (rules)
      rule[i] = y[i], flagged.push_back(i);
  }
  const bool dense = n > GraphBuilder::kDenseAbove;
  ZtgAttribute data = default_attribute(Tag::data);
  if (n > 300) data.size = 2.5, data.width = 0.7;
  if (dense) data.width = 0.5;
  const int data_attr = g.attribute(data);
  g.series(xs, shown, data_attr);
  if (!dense) g.points(xs, shown, data_attr);

  ZtgAttribute over_look = default_attribute(Tag::out_of_control);
  over_look.marker = ZTG_MARK_DIAMOND;
  ZtgAttribute rule_look = default_attribute(Tag::out_of_control);
  rule_look.marker = ZTG_MARK_TRIANGLE, rule_look.colour = 0xE69F00;
  rule_look.fill_colour = ZTG_COLOUR_NONE, rule_look.width = 1.4;
  ZtgAttribute excluded_look = default_attribute(Tag::excluded);
  if (dense) over_look.size = rule_look.size = excluded_look.size = 5;
  const int over_attr = g.attribute(over_look), rule_attr = g.attribute(rule_look);
  const int excluded_attr = g.attribute(excluded_look);
  g.points(xs, excluded, excluded_attr);
  g.points(xs, rule, rule_attr);
  g.points(xs, over, over_attr);
  if (flagged.size() <= 50)
    for (std::size_t i : flagged)
      g.mark_text(xs[i], y[i], rule_letters_of(s.flags[i], shift),
                  is_missing(over[i]) ? rule_attr : over_attr);
  const auto occurs = [](const std::vector<double>& v) {
    return std::any_of(v.begin(), v.end(), [](double x) { return !is_missing(x); });
  };
  if (occurs(over)) g.legend(text(Str::kGrBeyondLimits), over_attr);
  if (occurs(rule)) g.legend(text(Str::kGrRunsRule), rule_attr);
  if (any_excluded) g.legend(text(Str::kGrExcluded), excluded_attr);
}

// The smoother lines that are on over this chart, each in a colour and dash
// of its own with a legend entry naming its span or weight; the smoothed
// charts' own unsmoothed values, kept in the same slots, are not lines.
void draw_smoothers(GraphBuilder& g, const ChartResults& r, const VchartView& v, bool first,
                    const std::vector<double>& xs) {
  if (v.options == nullptr) return;
  const ChartOptions& o = *v.options;
  ChartTraits t;
  chart_traits(v.code, &t);
  const SmootherLines& sm = r.smoothers;
  const auto draw = [&](bool on, std::span<const double> y, const std::string& legend,
                        std::int32_t colour, std::int32_t style) {
    if (!on || y.size() != xs.size()) return;
    ZtgAttribute look = default_attribute(Tag::fit_curve);
    look.colour = colour, look.line_style = style, look.width = 1.6;
    const int attr = g.attribute(look);
    g.series(xs, y, attr);
    g.legend(legend, attr);
  };
  const double lambda = first ? o.lambda() : o.lambda2();
  draw(first ? o.ma_line1() && t.kind != ChartKind::moving_average : o.ma_line2(),
       first ? sm.ma1.span() : std::span<const double>(sm.ma2),
       text_with(Str::kGrMovingAverage, std::to_string(first ? o.span() : o.span2())), 0xCC79A7,
       ZTG_LINE_SOLID);
  draw(first ? o.ewma_line1() && t.kind != ChartKind::ewma : o.ewma_line2(),
       first ? sm.ewma1.span() : std::span<const double>(sm.ewma2),
       text_with(Str::kGrEwma, LabelFormat({lambda}, v.digits)(lambda)), 0x000000,
       ZTG_LINE_DASH_DOT);
}

}  // namespace

bool zones_shown(const VchartView& v) {
  if (v.pane_option[0] == 1 || v.pane_option[0] == 2) return v.pane_option[0] == 1;
  if (v.options == nullptr) return false;
  for (int rule = 3; rule <= 6; ++rule)
    if (v.options->rule_enabled(rule)) return true;
  return false;
}

namespace vchart_detail {

void error_graph(const VchartView& v, GraphBuilder& g, int32_t message) {
  if (!v.data_name.empty()) g.subtitle(v.data_name);
  g.note(text(static_cast<Str>(message)), g.attribute(Tag::text));
}

}  // namespace vchart_detail

bool vchart_chart_graph(const ChartResults& r, const VchartView& v, bool first, GraphBuilder& g) {
  ChartTraits t;
  if (!chart_traits(v.code, &t) || (!first && !t.has_chart2)) return false;
  g.reset(1, ZTG_KIND_CONTROL_CHART);
  g.title(chart_title(v.code));
  if (!v.data_name.empty()) g.subtitle(v.data_name);
  if (v.error_state != 0) {
    g.note(text(static_cast<Str>(error_message_of(v.error_state))), g.attribute(Tag::text));
    return true;
  }
  const ChartSeries& s = r.series;
  const std::size_t n = s.stat1.size();
  std::vector<double> xs(n);
  for (std::size_t i = 0; i < n; ++i) xs[i] = static_cast<double>(i + 1);
  std::vector<double> stat2;  // chart 2's values, which may be formed as they are read
  if (!first) stat2 = s.stat2_values();
  const std::span<const double> y = first ? s.stat1.span() : std::span<const double>(stat2);
  if (y.size() != n) return false;
  g.axis_x(0.5, static_cast<double>(n) + 0.5, 0, text(Str::kVcAxisPoint));
  g.axis_y(0, 0, 0, text(statistic_name(v.code, first)));
  point_axis_labels(g, v.labels, n);
  draw_lines_and_zones(g, r, v, first, xs);
  draw_marks(g, s, y, xs, first ? 0 : 6,
             [&](std::size_t i) { return first ? beyond_chart1(r, i) : beyond_chart2(r, i); });
  draw_smoothers(g, r, v, first, xs);
  if (n > 0 && std::none_of(y.begin(), y.end(), [](double x) { return !is_missing(x); }))
    g.note(text(Str::kGrNoPoints), g.attribute(Tag::text));
  // Acceptance limits come from the specification limits: say why none are drawn.
  if (first && t.kind == ChartKind::acceptance && is_missing(r.limits.ucl1) &&
      is_missing(r.limits.lcl1))
    g.note(text(Str::kGrNoSpecLimits), g.attribute(Tag::text));
  return true;
}

}  // namespace ztq
