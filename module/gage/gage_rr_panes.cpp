// The panes of the range-method gage study: the summary, the plot of the two
// readings, the range chart and the box plots; and its interpretation.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bridge/profile.h"
#include "format/numfmt.h"
#include "gage/boxplot.h"
#include "gage/gage_interpret.h"
#include "gage/gage_rr_family.h"
#include "gage/gage_strings.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

constexpr const char* kEol = "\r\n";

std::string num(double v, int digits) {
  if (is_missing(v) || !std::isfinite(v)) return {};
  return format_sig(v, 16, digits);
}

std::string line(int32_t label, double v, int digits) {
  std::string l = gs::str(label);
  l.resize(std::max<size_t>(l.size() + 1, 30), ' ');
  return l + num(v, digits) + kEol;
}

std::string expression(const AnalysisRecord& r, int i) {
  std::string s = r.variables[i].expression;
  s.erase(s.find_last_not_of(' ') + 1);
  s.erase(0, s.find_first_not_of(' '));
  return s;
}

void message(GraphBuilder& g, const std::string& text) {
  g.text_panel(0);
  g.text(0.5, 0.5, text, g.attribute(Tag::text), ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_MIDDLE, 0,
         ZTG_COORDS_PANEL);
}

std::string summary_text(const AnalysisRecord& rec, const RangeMethodResults& r) {
  std::string t = gs::str(2251) + kEol + kEol;
  const int d = rec.option[6] >= 1 && rec.option[6] <= 15 ? rec.option[6] : 6;
  if (rec.variant == 1) {
    const Profile pr = host_profile();
    t += pr.get_string("Snap", "Appraisers", gs::str(gs::kAppraisers)) + ": " + expression(rec, 0) +
         ", " + expression(rec, 1) + kEol;
    t += pr.get_string("Snap", "Parts", gs::str(gs::kParts)) + ": " + std::to_string(r.n) + kEol +
         kEol;
  }
  if (rec.error_state != 0) return t + gage_error_text(rec.error_state) + kEol;
  t += line(46152, r.rbar, d) + line(46153, r.sigma_grr, d) + line(46154, r.variance(), d);
  const double tol = rec.doption[1];
  if (!is_missing(tol) && tol > 0) {
    t += kEol + line(46155, r.study_variation(), d) + line(46156, r.percent_tolerance(tol), d);
    t += line(46157, r.k, d) + line(46158, tol, d);
  }
  return t;
}

// Both readings against the row; slot 2 draws the mean of all readings (two
// points), slot 3 the mean of each column (two lines of two points).
void readings(const AnalysisRecord& rec, const RangeMethodState& s, GraphBuilder& g) {
  const RangeMethodResults& r = s.results;
  const std::string names[2] = {expression(rec, 0), expression(rec, 1)};
  const std::vector<double>* cols[2] = {&s.first, &s.second};
  double sums[2] = {0, 0};
  for (int c = 0; c < 2; ++c) {
    std::vector<double> xs, ys;
    for (size_t i = 0; i < r.diff.size(); ++i) {
      if (is_missing(r.diff[i])) continue;
      xs.push_back(static_cast<double>(i) + 1);
      ys.push_back((*cols[c])[i]);
      sums[c] += (*cols[c])[i];
    }
    ZtgAttribute look = default_attribute(Tag::data);
    look.colour = c == 0 ? 0x1F4E79 : 0xD35400;
    look.marker = c == 0 ? ZTG_MARK_CIRCLE : ZTG_MARK_SQUARE;
    const int at = g.attribute(look);
    g.points(xs, ys, at);
    g.legend(names[c], at);
    if (rec.option[3] != 0) {
      ZtgAttribute mean = default_attribute(Tag::reference);
      mean.colour = look.colour;
      mean.line_style = ZTG_LINE_DASH;
      g.segment(1, sums[c] / r.n, r.last_row, sums[c] / r.n, g.attribute(mean));
    }
  }
  if (rec.option[2] != 0) {
    const int at = g.attribute(Tag::centre_line);
    g.segment(1, (sums[0] + sums[1]) / (2.0 * r.n), r.last_row, (sums[0] + sums[1]) / (2.0 * r.n),
              at);
    g.legend(gs::str(46165), at);
  }
  // The vertical range: the smaller column minimum to the larger maximum, with a margin.
  double lo = 0, hi = 0;
  bool first = true;
  for (size_t i = 0; i < r.diff.size(); ++i) {
    if (is_missing(r.diff[i])) continue;
    for (double v : {s.first[i], s.second[i]}) {
      lo = first ? v : std::min(lo, v);
      hi = first ? v : std::max(hi, v);
      first = false;
    }
  }
  const double margin = hi > lo ? 0.05 * (hi - lo) : 1.0;
  g.axis_x(0.5, r.last_row + 0.5, 0, gs::str(46160));
  g.axis_y(lo - margin, hi + margin, 0, gs::str(46164));
}

void range_chart(const RangeMethodResults& r, GraphBuilder& g) {
  std::vector<double> xs, ys;
  const int data = g.attribute(Tag::data), high = g.attribute(Tag::out_of_control);
  for (size_t i = 0; i < r.diff.size(); ++i) {
    if (is_missing(r.diff[i])) continue;
    xs.push_back(static_cast<double>(i) + 1);
    ys.push_back(r.diff[i]);
    if (r.diff[i] > r.ucl) g.point(xs.back(), ys.back(), high);
  }
  g.polyline(xs, ys, data);
  g.points(xs, ys, data);
  double top = r.ucl;
  for (double y : ys) top = std::max(top, y);
  g.axis_x(0.5, r.last_row + 0.5, 0, gs::str(46160));
  g.axis_y(0, top > 0 ? top * 1.1 : 1.0, 0, gs::str(46161));
  g.hline(r.rbar, gs::str(gs::kRbar) + " = " + format_sig(r.rbar, 20, 4),
          g.attribute(Tag::centre_line));
  g.hline(r.ucl, gs::str(gs::kUcl) + " = " + format_sig(r.ucl, 20, 4),
          g.attribute(Tag::limit_line));
}

// The readings of the used pairs only, as the box plots take them.
std::vector<double> used(const std::vector<double>& column, const RangeMethodResults& r) {
  std::vector<double> out;
  for (size_t i = 0; i < r.diff.size() && i < column.size(); ++i)
    if (!is_missing(r.diff[i])) out.push_back(column[i]);
  return out;
}

}  // namespace

BoxCounts range_method_box_counts(const std::vector<double>& first,
                                  const std::vector<double>& second) {
  BoxCounts c;
  for (const std::vector<double>* col : {&first, &second}) {
    const BoxStats b = box_stats(*col, true);
    c.outside += b.outside_low + b.outside_high;
    c.far_outside += b.far_low + b.far_high;
  }
  return c;
}

bool Gagerr::text_pane(const Analysis& a, int pane, std::string& out) const {
  if (pane != 1) return false;
  static const RangeMethodResults kNone;
  const RangeMethodState* s = a.results<RangeMethodState>();
  out = summary_text(a.record(), s != nullptr ? s->results : kNone);
  return true;
}

bool Gagerr::graph_pane(const Analysis& a, int pane, GraphBuilder& g) const {
  if (pane < 8 || pane > 10) return false;
  const AnalysisRecord& rec = a.record();
  const RangeMethodState* s = a.results<RangeMethodState>();
  g.reset(1, pane == 10  ? ZTG_KIND_BOX_PLOT
             : pane == 9 ? ZTG_KIND_CONTROL_CHART
                         : ZTG_KIND_SCATTER);
  g.title(gs::str(2250 + pane));
  if (s == nullptr || rec.error_state != 0) {
    message(g, gage_error_text(rec.error_state));
    return true;
  }
  if (pane == 8) readings(rec, *s, g);
  if (pane == 9) range_chart(s->results, g);
  if (pane == 10) {
    const BoxLook look{rec.option[22] != 0, rec.option[23] != 0, rec.option[24] != 0,
                       rec.option[25] != 0};
    gage_box_graph({used(s->first, s->results), used(s->second, s->results)},
                   {expression(rec, 0), expression(rec, 1)}, {}, look, g);
  }
  return true;
}

// Gage interpretation of the range method: the summary (as pane 4), the
// readings, the range chart and the box plots (pane 10 as 11).
Interpretation interpret_gagerr(const void* record, int pane) {
  Interpretation out;
  if (record == nullptr) return out;
  const auto& rec = *static_cast<const AnalysisRecord*>(record);
  const auto* s = static_cast<const RangeMethodState*>(rec.results);
  if (s == nullptr || rec.error_state != 0 || s->results.error != 0) return out;
  const RangeMethodResults& r = s->results;
  auto say = [&](int32_t n) { out.add(n, gs::str(n)); };
  auto trim = [](std::string v) { return v.erase(0, v.find_first_not_of(' ')); };
  auto value = [&](double v) { out.separator(" " + trim(num(v, 6))); };
  if (pane == 1) {
    out.add(8166, gs::fill(8166, {std::to_string(r.n), trim(num(r.sigma_grr, 6))}));
    const double tol = rec.doption[1];
    if (!is_missing(tol) && tol > 0) {
      say(8181);
      value(tol / 2);
      say(8182);
      say(8183);
      const double x = 100.0 * r.sigma_grr * r.k / tol;
      value(x);
      say(8184);
      say(gage_tolerance_verdict(x));
    }
  } else if (pane == 8) {
    say(6002);
    say(6003);
  } else if (pane == 9) {
    out.add(6011, gs::fill(6011, {std::to_string(r.n)}));
    say(6007);
    if (r.beyond == 0)
      say(6008);
    else if (r.beyond == 1)
      say(6009);
    else
      out.add(6010, gs::fill(6010, {std::to_string(r.beyond)}));
  } else if (pane == 10) {
    out.add(6012, gs::fill(6012, {"2"}));
    say(7312);
    say(7313);
    if (rec.option[25] != 0) say(7314);
    if (rec.option[24] == 0) {
      say(7328);
      return out;
    }
    say(7315);
    say(7316);
    say(7317);
    const BoxCounts b = range_method_box_counts(used(s->first, r), used(s->second, r));
    const int o = std::min(b.outside, 2), f = std::min(b.far_outside, 2);
    const int32_t n = 7318 + 3 * o + f;
    const std::string so = std::to_string(b.outside), sf = std::to_string(b.far_outside);
    out.add(n, o == 2 && f == 2 ? gs::fill(n, {so, sf})
               : o == 2         ? gs::fill(n, {so})
               : f == 2         ? gs::fill(n, {sf})
                                : gs::str(n));
  }
  return out;
}

}  // namespace ztq
