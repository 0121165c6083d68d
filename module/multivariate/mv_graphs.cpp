// The graph panes of the T-squared chart: the chart itself (pane 8), the star
// key of the variables (pane 9) and, for two variables, the control ellipse
// with the points (pane 10).
#include <algorithm>
#include <cmath>
#include <numbers>

#include "format/numfmt.h"
#include "multivariate/mv_family.h"
#include "multivariate/mv_strings.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

std::string joined(const std::vector<std::string>& names) {
  std::string s;
  for (const std::string& n : names) s += (s.empty() ? "" : ", ") + n;
  return s;
}

std::string trimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The first lines of every graph; false when the analysis is in error (the
// graph then shows the message as a note).
bool start(const MvView& v, GraphBuilder& g, int32_t kind, Str title) {
  g.reset(1, kind);
  g.title(text(title));
  if (v.state != nullptr) g.subtitle(joined(v.state->names));
  if (v.fine()) return true;
  g.note(text(static_cast<Str>(v.error_message != 0 ? v.error_message
                                                    : static_cast<int32_t>(Str::kNoResults))),
         g.attribute(Tag::text));
  return false;
}

std::string ucl_label(const MvView& v, double ucl) {
  return text(mvs::kListUcl) + " " + trimmed(format_fixed(ucl, 24, v.legend_decimals));
}

// The marker character of spoke j: '1'..'9', then 'A'..'Z', then 'a'..'z'.
char spoke_code(size_t j) {
  if (j < 9) return static_cast<char>('1' + j);
  if (j < 35) return static_cast<char>('A' + (j - 9));
  if (j < 61) return static_cast<char>('a' + (j - 35));
  return '?';
}

}  // namespace

void mv_t2_chart(const MvView& v, GraphBuilder& g) {
  if (!start(v, g, ZTG_KIND_CONTROL_CHART, mvs::kChartTitle)) return;
  const MvResults& r = v.state->results;
  const auto n = static_cast<size_t>(r.points);
  std::vector<double> xs(n), shown(n, kMissing), beyond(n, kMissing), excluded(n, kMissing);
  double top = r.ucl;
  for (size_t i = 0; i < n; ++i) {
    xs[i] = static_cast<double>(i + 1);
    if (!r.complete[i]) continue;
    top = std::max(top, r.t2[i]);
    if (r.excluded[i]) {
      excluded[i] = r.t2[i];
      continue;
    }
    shown[i] = r.t2[i];
    if (r.beyond[i]) beyond[i] = r.t2[i];
  }
  g.axis_x(0.5, static_cast<double>(n) + 0.5, 0, text(mvs::kChartAxisX));
  g.axis_y(0.0, top * 1.08, 0, text(mvs::kChartAxisY));
  const int data = g.attribute(Tag::data);
  if (v.chart_style == 0) {
    g.polyline(xs, shown, data);
    g.points(xs, shown, data);
  } else {
    for (size_t i = 0; i < n; ++i)
      if (!is_missing(shown[i])) g.segment(xs[i], 0.0, xs[i], shown[i], data);
  }
  g.hline(r.ucl, ucl_label(v, r.ucl), g.attribute(Tag::limit_line));
  const int out = g.attribute(Tag::out_of_control), ex = g.attribute(Tag::excluded);
  g.points(xs, beyond, out);
  g.points(xs, excluded, ex);
  g.legend(text(mvs::kLegendPoints), data);
  if (r.beyond_count > 0) g.legend(text(mvs::kLegendBeyond), out);
  if (r.excluded_count > 0) g.legend(text(mvs::kLegendExcluded), ex);
}

namespace {

// Spoke j of p at 90 - 360 j / p degrees, counted anticlockwise from the right.
// In panel fractions of a wide canvas, dy is stretched by kAspect so that
// the stars come out round.
constexpr double kAspect = 1.6;

void spoke_direction(size_t j, size_t p, double& dx, double& dy) {
  const double angle =
      (90.0 - 360.0 * static_cast<double>(j) / static_cast<double>(p)) * std::numbers::pi / 180.0;
  dx = std::cos(angle), dy = kAspect * std::sin(angle);
}

}  // namespace

void mv_star_key(const MvView& v, GraphBuilder& g) {
  if (!start(v, g, ZTG_KIND_GENERIC, mvs::kPaneStarKey)) return;
  const std::vector<std::string>& names = v.state->names;
  const MvResults& r = v.state->results;
  const size_t p = names.size();
  g.canvas(960, 640);
  g.grid(false);
  g.text_panel(0);
  const int spoke = g.attribute(Tag::reference), label = g.attribute(Tag::text);
  // The key on the left; beside it, when points lie beyond the limit, a star
  // of each of the first nine: spoke j as long as |x_j - mu_j| / sqrt(s_jj),
  // 4 standard deviations filling the cell, so the longest spoke shows which
  // variable moved.
  const bool stars = !r.signal_points.empty();
  const double cx = stars ? 0.27 : 0.5, cy = 0.5, length = stars ? 0.15 : 0.2;
  for (size_t j = 0; j < p; ++j) {
    double dx = 0, dy = 0;
    spoke_direction(j, p, dx, dy);
    g.segment(cx, cy, cx + length * dx, cy + length * dy, spoke, 0, {}, ZTG_COORDS_PANEL);
    const int anchor = (dx > 0.3    ? ZTG_ANCHOR_LEFT
                        : dx < -0.3 ? ZTG_ANCHOR_RIGHT
                                    : ZTG_ANCHOR_CENTRE) +
                       (dy > 0.3    ? 0
                        : dy < -0.3 ? ZTG_ANCHOR_TOP
                                    : ZTG_ANCHOR_MIDDLE);
    g.text(cx + 1.1 * length * dx, cy + 1.1 * length * dy,
           names[j] + " {" + std::string(1, spoke_code(j)) + "}", label, anchor, 0,
           ZTG_COORDS_PANEL);
  }
  if (!stars) return;
  g.text(0.75, 0.97, text(mvs::kStarsTitle), label, ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_TOP, 0,
         ZTG_COORDS_PANEL);
  const int outline = g.attribute(Tag::out_of_control);
  const size_t shown = std::min<size_t>(r.signal_points.size(), 9);
  for (size_t k = 0; k < shown; ++k) {
    const double sx = 0.58 + 0.17 * static_cast<double>(k % 3);
    const double sy = 0.75 - 0.29 * static_cast<double>(k / 3);
    const auto i = static_cast<size_t>(r.signal_points[k]);
    std::vector<double> xs, ys;
    for (size_t j = 0; j <= p; ++j) {
      const size_t jj = j % p;
      const double s = r.covariance[jj * p + jj];
      const double z =
          s > 0.0 ? std::fabs(v.state->input.columns[jj][i] - r.means[jj]) / std::sqrt(s) : 0.0;
      double dx = 0, dy = 0;
      spoke_direction(jj, p, dx, dy);
      const double len = 0.075 * std::min(z, 4.0) / 4.0;
      xs.push_back(sx + len * dx), ys.push_back(sy + len * dy);
      if (j < p) g.segment(sx, sy, sx + len * dx, sy + len * dy, spoke, 0, {}, ZTG_COORDS_PANEL);
    }
    g.polyline(xs, ys, outline, 0, ZTG_COORDS_PANEL);
    g.text(sx, sy - 0.09, trimmed(v.state->labels[i]), label, ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_TOP, 0,
           ZTG_COORDS_PANEL);
  }
}

EllipseTrace trace_ellipse(const MvResults& r, double x_min, double x_max, int steps) {
  EllipseTrace t;
  if (r.p != 2 || steps < 1) return t;
  const double mu1 = r.means[0], mu2 = r.means[1];
  const double s11 = r.covariance[0], s22 = r.covariance[3], s12 = r.covariance[1];
  const double m = 1.0;  // individual observations
  const double level = (s11 * s22 - s12 * s12) * r.ucl / m;
  // Boundary s22 d1^2 - 2 s12 d1 d2 + s11 d2^2 = det UCL / m, solved for d2
  // at each x1; the lower root on the way out, the upper on the way back.
  auto root = [&](double x1, double sign) {
    const double d1 = x1 - mu1;
    const double b = -2.0 * s12 * d1, c = s22 * d1 * d1 - level;
    double disc = b * b - 4.0 * s11 * c;
    if (disc < 0.0 && disc > -1e-12 * (b * b + std::fabs(4.0 * s11 * c))) disc = 0.0;
    if (disc < 0.0 || !(s11 > 0.0)) return kMissing;
    return mu2 - (b - sign * std::sqrt(disc)) / (2.0 * s11);
  };
  for (int pass = 0; pass < 2; ++pass)
    for (int k = 0; k <= steps; ++k) {
      const double f = static_cast<double>(k) / steps;
      const double x1 = pass == 0 ? x_min + f * (x_max - x_min) : x_max - f * (x_max - x_min);
      t.x1.push_back(x1);
      t.x2.push_back(root(x1, pass == 0 ? -1.0 : 1.0));
    }
  return t;
}

void mv_ellipse(const MvView& v, GraphBuilder& g) {
  if (!start(v, g, ZTG_KIND_SCATTER, mvs::kPaneEllipse)) return;
  const MvResults& r = v.state->results;
  if (r.p != 2) return;
  const MvInput& in = v.state->input;
  const double half1 = std::sqrt(std::max(0.0, r.ucl * r.covariance[0]));
  const double half2 = std::sqrt(std::max(0.0, r.ucl * r.covariance[3]));
  double lo1 = r.means[0] - half1, hi1 = r.means[0] + half1;
  double lo2 = r.means[1] - half2, hi2 = r.means[1] + half2;
  const auto n = static_cast<size_t>(r.points);
  std::vector<double> x1(n, kMissing), x2(n, kMissing), bx(n, kMissing), by(n, kMissing),
      ex(n, kMissing), ey(n, kMissing);
  for (size_t i = 0; i < n; ++i) {
    if (!r.complete[i]) continue;
    const double a = in.columns[0][i], b = in.columns[1][i];
    lo1 = std::min(lo1, a), hi1 = std::max(hi1, a), lo2 = std::min(lo2, b), hi2 = std::max(hi2, b);
    if (r.excluded[i]) {
      ex[i] = a, ey[i] = b;
    } else if (r.beyond[i]) {
      bx[i] = a, by[i] = b;
    } else {
      x1[i] = a, x2[i] = b;
    }
  }
  const double pad1 = 0.05 * (hi1 - lo1), pad2 = 0.05 * (hi2 - lo2);
  g.axis_x(lo1 - pad1, hi1 + pad1, 0, v.state->names[0]);
  g.axis_y(lo2 - pad2, hi2 + pad2, 0, v.state->names[1]);
  // Traced across the ellipse's own extent within the plot range, so that
  // the outward and return paths meet at both ends.
  const EllipseTrace t = trace_ellipse(r, r.means[0] - half1, r.means[0] + half1, 200);
  const int limit = g.attribute(Tag::limit_line), data = g.attribute(Tag::data);
  const int out = g.attribute(Tag::out_of_control), exc = g.attribute(Tag::excluded);
  ZtgAttribute centre_look = default_attribute(Tag::centre_line);
  centre_look.marker = ZTG_MARK_PLUS;  // the mean vector as a cross, not a line
  centre_look.size = 12;
  const int centre = g.attribute(centre_look);
  g.polyline(t.x1, t.x2, limit);
  g.points(x1, x2, data);
  g.points(bx, by, out);
  g.points(ex, ey, exc);
  g.point(r.means[0], r.means[1], centre);
  g.legend(text(mvs::kLegendEllipse) + " (" + ucl_label(v, r.ucl) + ")", limit);
  g.legend(text(mvs::kLegendPoints), data);
  if (r.beyond_count > 0) g.legend(text(mvs::kLegendBeyond), out);
  if (r.excluded_count > 0) g.legend(text(mvs::kLegendExcluded), exc);
  g.legend(text(mvs::kLegendCentre), centre);
}

}  // namespace ztq
