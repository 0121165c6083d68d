// The chart graphs C1 and C2: the plotted statistic against the point number
// with its centre line and limits (labelled with their values; stepped per
// point where subgroup sizes differ), points beyond the limits or flagged by
// a runs rule marked as out of control, excluded points marked as excluded.
#include <cstddef>
#include <vector>

#include "bridge/strings.h"
#include "charts/chart_kind.h"
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

bool constant(const std::vector<double>& v) {
  for (double x : v)
    if (x != v.front()) return false;
  return !v.empty();
}

std::string line_label(Str name, double v) { return text(name) + " = " + format_six(v, 16); }

// A line of the chart: flat with its label, or stepped per point and labelled
// at its value for n-bar.
void limit_line(GraphBuilder& g, const std::vector<double>& xs,
                const std::vector<double>& per_point, double at_nbar, Str name, int attr) {
  if (is_missing(at_nbar) && (per_point.empty() || constant(per_point))) return;
  if (per_point.empty() || constant(per_point)) {
    const double y = per_point.empty() ? at_nbar : per_point.front();
    if (!is_missing(y)) g.hline(y, line_label(name, y), attr);
    return;
  }
  g.polyline(xs, per_point, attr, 0, ZTG_COORDS_DATA, line_label(name, at_nbar));
}

}  // namespace

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
  const std::vector<double>& y = first ? s.stat1 : s.stat2;
  if (y.size() != n) return false;
  g.axis_x(0.5, static_cast<double>(n) + 0.5, 0, text(Str::kVcAxisPoint));
  g.axis_y(0, 0, 0, text(statistic_name(v.code, first)));

  const int limit_attr = g.attribute(Tag::limit_line), centre_attr = g.attribute(Tag::centre_line);
  const ChartLines& at_nbar = r.limits;
  if (first) {
    limit_line(g, xs, s.ucl1, at_nbar.ucl1, Str::kVcUclLabel, limit_attr);
    limit_line(g, xs, s.cl1, at_nbar.cl1, Str::kVcClLabel, centre_attr);
    limit_line(g, xs, s.lcl1, at_nbar.lcl1, Str::kVcLclLabel, limit_attr);
  } else {
    limit_line(g, xs, s.ucl2, at_nbar.ucl2, Str::kVcUclLabel, limit_attr);
    limit_line(g, xs, s.cl2, at_nbar.cl2, Str::kVcClLabel, centre_attr);
    limit_line(g, xs, s.lcl2, at_nbar.lcl2, Str::kVcLclLabel, limit_attr);
  }

  // The plotted line skips excluded points; the marks show them.
  std::vector<double> shown(y), flagged(n, kMissing), excluded(n, kMissing);
  const int shift = first ? 0 : 6;
  for (std::size_t i = 0; i < n; ++i) {
    const bool out = i < s.excluded.size() && s.excluded[i] != 0;
    if (out) {
      excluded[i] = y[i];
      shown[i] = kMissing;
      continue;
    }
    const bool rules = i < s.flags.size() && ((s.flags[i] >> shift) & 63) != 0;
    if (rules || (first ? beyond_chart1(r, i) : beyond_chart2(r, i))) flagged[i] = y[i];
  }
  const int data_attr = g.attribute(Tag::data);
  g.polyline(xs, shown, data_attr);
  g.points(xs, shown, data_attr);
  g.points(xs, flagged, g.attribute(Tag::out_of_control));
  g.points(xs, excluded, g.attribute(Tag::excluded));
  return true;
}

}  // namespace ztq
