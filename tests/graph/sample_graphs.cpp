#include "sample_graphs.h"

#include <cmath>
#include <cstdio>

namespace qualty::testing {

Sample::Sample(int panels) {
  d.size = static_cast<int32_t>(sizeof(ZtGraphDescriptor));
  d.layout.width = 800;
  d.layout.height = 500;
  d.layout.panel_count = panels;
  d.options = ZTG_OPTION_GRID;
  for (int i = 0; i < panels; ++i) {
    ZtgPanel& p = d.layout.panels[i];
    p.left = 0, p.width = 1, p.height = 1.0 / panels, p.top = i * p.height;
    p.x.show = p.y.show = 1;
    p.x.category_rows = 1;
  }
}

const char* Sample::keep(const std::string& s, bool expect) {
  if (expect) expected_texts.push_back(s);
  return strings.emplace_back(s).c_str();
}

int Sample::attr(int tag, int marker, int style, int colour, int fill) {
  ZtgAttribute a{};
  a.colour = colour, a.fill_colour = fill, a.marker = marker, a.line_style = style, a.tag = tag;
  attributes.push_back(a);
  return static_cast<int>(attributes.size()) - 1;
}

void Sample::point(double x, double y, int a, int panel, int where) {
  points.push_back({x, y, panel, a, where, 0});
}

void Sample::line(const std::vector<ZtgCoord>& c, int a, int panel, const std::string& label,
                  bool closed, int where) {
  lines.push_back({static_cast<int32_t>(coords.size()), static_cast<int32_t>(c.size()), panel, a,
                   where, closed ? 1 : 0, label.empty() ? nullptr : keep(label)});
  coords.insert(coords.end(), c.begin(), c.end());
}

void Sample::bar(double x0, double y0, double x1, double y1, int a, int panel,
                 const std::string& label) {
  bars.push_back(
      {x0, y0, x1, y1, panel, a, ZTG_COORDS_DATA, 0, label.empty() ? nullptr : keep(label)});
}

void Sample::text(double x, double y, const std::string& s, int a, int anchor, int panel, int where,
                  int role) {
  texts.push_back({x, y, panel, a, where, anchor, role, 0, keep(s)});
}

void Sample::axis(ZtgAxis& a, double min, double max, double inc, const std::string& title) {
  a.min = min, a.max = max, a.increment = inc, a.show = 1;
  a.title = title.empty() ? nullptr : keep(title);
}

void Sample::categories(ZtgAxis& a, const std::vector<std::string>& labels, double origin,
                        double step, int rows) {
  auto& set = category_sets.emplace_back();
  for (const auto& s : labels) set.push_back(keep(s));
  a.categories = set.data();
  a.category_count = static_cast<int32_t>(set.size());
  a.category_origin = origin, a.category_step = step, a.category_rows = rows;
}

ZtGraphDescriptor& Sample::finish() {
  d.points = points.data(), d.point_count = static_cast<int32_t>(points.size());
  d.coords = coords.data(), d.coord_count = static_cast<int32_t>(coords.size());
  d.lines = lines.data(), d.line_count = static_cast<int32_t>(lines.size());
  d.bars = bars.data(), d.bar_count = static_cast<int32_t>(bars.size());
  d.texts = texts.data(), d.text_count = static_cast<int32_t>(texts.size());
  d.attributes = attributes.data(), d.attribute_count = static_cast<int32_t>(attributes.size());
  return d;
}

namespace {

// A control chart in panel p: 25 means around 10, point 7 excluded, point 18 beyond the UCL.
void chart_into(Sample& s, int p, double centre, double spread, const char* name) {
  const int data = s.attr(ZTG_TAG_DATA, ZTG_MARK_CIRCLE);
  const int ooc = s.attr(ZTG_TAG_OUT_OF_CONTROL, ZTG_MARK_CIRCLE);
  const int excl =
      s.attr(ZTG_TAG_EXCLUDED, ZTG_MARK_CIRCLE_CROSS, 0, ZTG_COLOUR_AUTO, ZTG_COLOUR_NONE);
  const int cl = s.attr(ZTG_TAG_CENTRE_LINE), lim = s.attr(ZTG_TAG_LIMIT_LINE, 0, ZTG_LINE_DASH);
  std::vector<ZtgCoord> series;
  for (int i = 1; i <= 25; ++i) {
    double v = centre + spread * 0.35 * std::sin(i * 1.7) + spread * 0.2 * std::cos(i * 0.9);
    if (i == 18) v = centre + spread * 1.1;
    series.push_back({double(i), v});
    s.point(i, v, i == 18 ? ooc : i == 7 ? excl : data, p);
  }
  s.line(series, data, p);
  char buf[64];
  std::snprintf(buf, sizeof buf, "UCL = %.2f", centre + spread);
  s.line({{1, centre + spread}, {25, centre + spread}}, lim, p, buf);
  std::snprintf(buf, sizeof buf, "CL = %.2f", centre);
  s.line({{1, centre}, {25, centre}}, cl, p, buf);
  std::snprintf(buf, sizeof buf, "LCL = %.2f", centre - spread);
  s.line({{1, centre - spread}, {25, centre - spread}}, lim, p, buf);
  s.axis(s.d.layout.panels[p].y, 0, 0, 0, name);
  s.d.layout.panels[p].title = s.keep(std::string(name) + " chart");
}

double normal_density(double x, double mu, double sigma) {
  const double z = (x - mu) / sigma;
  return std::exp(-0.5 * z * z) / (sigma * std::sqrt(2 * M_PI));
}

void histogram_into(Sample& s, int p) {
  const int bar = s.attr(ZTG_TAG_BAR), fit = s.attr(ZTG_TAG_FIT_CURVE);
  const int tolerance = s.attr(ZTG_TAG_SPEC_LIMIT, 0, ZTG_LINE_DASH_DOT);
  const double counts[8] = {1, 4, 9, 14, 12, 7, 2, 1};  // 50 observations, classes of 0.25 from 9
  for (int k = 0; k < 8; ++k) s.bar(9 + 0.25 * k, 0, 9.25 + 0.25 * k, counts[k], bar, p);
  std::vector<ZtgCoord> curve;
  for (int k = 0; k <= 60; ++k) {
    const double x = 8.7 + k * 0.045;
    curve.push_back({x, 50 * 0.25 * normal_density(x, 10, 0.4)});
  }
  s.line(curve, fit, p);
  s.line({{8.8, 0}, {8.8, 16}}, tolerance, p, "LSL = 8.8");
  s.line({{10.0, 0}, {10.0, 16}}, tolerance, p, "Nominal = 10");
  s.line({{11.2, 0}, {11.2, 16}}, tolerance, p, "USL = 11.2");
  s.axis(s.d.layout.panels[p].x, 0, 0, 0, "Diameter (mm)");
  s.axis(s.d.layout.panels[p].y, 0, 16, 0, "Frequency");
}

void probability_into(Sample& s, int p) {
  const int data = s.attr(ZTG_TAG_DATA, ZTG_MARK_CIRCLE), fit = s.attr(ZTG_TAG_FIT_CURVE);
  // Normal quantiles at (i - 0.5) / 10, i = 1..10 (Phi^-1 of 0.05 ... 0.95).
  const double z[10] = {-1.645, -1.036, -0.674, -0.385, -0.126, 0.126, 0.385, 0.674, 1.036, 1.645};
  const double x[10] = {9.31, 9.55, 9.72, 9.86, 9.97, 10.05, 10.18, 10.26, 10.43, 10.71};
  for (int i = 0; i < 10; ++i) s.point(x[i], z[i], data, p);
  s.line({{9.2, -2}, {10.8, 2}}, fit, p);
  s.axis(s.d.layout.panels[p].x, 0, 0, 0, "Observation");
  s.axis(s.d.layout.panels[p].y, -2.5, 2.5, 0.5, "Normal quantile");
  s.text(9.3, 2.0, "Normal distribution", s.attr(ZTG_TAG_TEXT), ZTG_ANCHOR_LEFT + ZTG_ANCHOR_TOP,
         p);
}

}  // namespace

std::unique_ptr<Sample> control_chart() {
  auto s = std::make_unique<Sample>();
  s->d.kind = ZTG_KIND_CONTROL_CHART;
  s->d.layout.title = s->keep("X-bar chart of Diameter");
  chart_into(*s, 0, 10, 2.4, "Mean");
  s->axis(s->d.layout.panels[0].x, 0, 0, 0, "Subgroup");
  s->text(0, 0, "Beyond limits", 1, 0, 0, ZTG_COORDS_PLOT, ZTG_TEXT_LEGEND);
  s->text(0, 0, "Excluded", 2, 0, 0, ZTG_COORDS_PLOT, ZTG_TEXT_LEGEND);
  s->finish();
  return s;
}

std::unique_ptr<Sample> histogram() {
  auto s = std::make_unique<Sample>();
  s->d.kind = ZTG_KIND_HISTOGRAM;
  s->d.layout.title = s->keep("Capability of Diameter");
  histogram_into(*s, 0);
  s->text(0, 0, "Normal fit", 1, 0, 0, ZTG_COORDS_PLOT, ZTG_TEXT_LEGEND);
  s->text(0, 0, "Cp = 1.00   Cpk = 0.95", 0, 0, 0, ZTG_COORDS_PLOT, ZTG_TEXT_LEGEND);
  s->finish();
  return s;
}

std::unique_ptr<Sample> probability_plot() {
  auto s = std::make_unique<Sample>();
  s->d.kind = ZTG_KIND_PROBABILITY_PLOT;
  s->d.layout.title = s->keep("Probability plot of Diameter");
  probability_into(*s, 0);
  s->finish();
  return s;
}

std::unique_ptr<Sample> box_plot() {
  auto s = std::make_unique<Sample>();
  s->d.kind = ZTG_KIND_BOX_PLOT;
  s->d.layout.title = s->keep("Measurements by appraiser");
  const int box = s->attr(ZTG_TAG_BAR), whisker = s->attr(ZTG_TAG_REFERENCE);
  const int med = s->attr(ZTG_TAG_CENTRE_LINE),
            out = s->attr(ZTG_TAG_OUT_OF_CONTROL, ZTG_MARK_CIRCLE);
  // min, q1, median, q3, max per appraiser
  const double f[3][5] = {{0.52, 0.61, 0.66, 0.71, 0.80},
                          {0.48, 0.58, 0.64, 0.69, 0.77},
                          {0.55, 0.63, 0.69, 0.74, 0.83}};
  for (int i = 0; i < 3; ++i) {
    const double c = i + 1;
    s->bar(c - 0.25, f[i][1], c + 0.25, f[i][3], box);
    s->line({{c - 0.25, f[i][2]}, {c + 0.25, f[i][2]}}, med);
    s->line({{c, f[i][0]}, {c, f[i][1]}}, whisker);
    s->line({{c, f[i][3]}, {c, f[i][4]}}, whisker);
  }
  s->point(2, 0.95, out);
  s->categories(s->d.layout.panels[0].x, {"Anna", "Bert", "Carla"}, 1, 1);
  s->axis(s->d.layout.panels[0].x, 0.4, 3.6, 0, "Appraiser");
  s->d.layout.panels[0].x.categories = s->category_sets.back().data();
  s->d.layout.panels[0].x.category_count = 3;
  s->d.layout.panels[0].x.category_origin = 1, s->d.layout.panels[0].x.category_step = 1;
  s->axis(s->d.layout.panels[0].y, 0, 0, 0, "Measurement");
  s->finish();
  return s;
}

std::unique_ptr<Sample> pareto() {
  auto s = std::make_unique<Sample>();
  s->d.kind = ZTG_KIND_PARETO;
  s->d.layout.title = s->keep("Pareto chart of Defect");
  const int bar = s->attr(ZTG_TAG_BAR), cum = s->attr(ZTG_TAG_CUMULATIVE, ZTG_MARK_CIRCLE);
  const double counts[6] = {42, 23, 15,
                            9,  6,  5};  // total 100, so cumulative percent = cumulative count
  std::vector<ZtgCoord> line;
  double total = 0;
  char buf[32];
  for (int i = 0; i < 6; ++i) {
    total += counts[i];
    std::snprintf(buf, sizeof buf, "%.2f", total);
    s->bar(i + 0.1, 0, i + 0.9, counts[i], bar, 0, buf);
    line.push_back({i + 0.9, total});
  }
  s->line(line, cum, 0, {}, false, ZTG_COORDS_DATA2);
  ZtgPanel& p = s->d.layout.panels[0];
  s->axis(p.x, 0, 6, 1, "");
  s->categories(p.x, {"Scratch", "Dent", "Crack", "Stain", "Burr", "Other"}, 0.5, 1);
  s->axis(p.y, 0, 100, 0, "Count");
  s->axis(p.y2, 0, 100, 0, "Cumulative percent");
  s->text(0, 0, "Cumulative percent", cum, 0, 0, ZTG_COORDS_PLOT, ZTG_TEXT_LEGEND);
  s->finish();
  return s;
}

std::unique_ptr<Sample> scatter_ellipse() {
  auto s = std::make_unique<Sample>();
  s->d.kind = ZTG_KIND_SCATTER;
  s->d.layout.title = s->keep("Control ellipse of Length and Width");
  const int data = s->attr(ZTG_TAG_DATA, ZTG_MARK_CIRCLE),
            ooc = s->attr(ZTG_TAG_OUT_OF_CONTROL, ZTG_MARK_CIRCLE);
  const int ell = s->attr(ZTG_TAG_FIT_CURVE, 0, 0, ZTG_COLOUR_AUTO, ZTG_COLOUR_NONE);
  for (int i = 0; i < 40; ++i) {
    const double t = i * 2.39996;  // golden angle spreads the points
    const double r = std::sqrt((i + 0.5) / 40.0);
    s->point(50 + 3 * r * std::cos(t) + 1.5 * r * std::sin(t), 20 + 1.2 * r * std::sin(t), data);
  }
  s->point(58, 23.5, ooc);
  std::vector<ZtgCoord> e;
  for (int k = 0; k < 72; ++k) {  // ellipse with semi-axes 4.2 and 1.8 turned by 20 degrees
    const double t = k * 2 * M_PI / 72, a = 20 * M_PI / 180;
    const double u = 4.2 * std::cos(t), v = 1.8 * std::sin(t);
    e.push_back({50 + u * std::cos(a) - v * std::sin(a), 20 + u * std::sin(a) + v * std::cos(a)});
  }
  s->line(e, ell, 0, {}, true);
  s->axis(s->d.layout.panels[0].x, 0, 0, 0, "Length");
  s->axis(s->d.layout.panels[0].y, 0, 0, 0, "Width");
  s->text(0, 0, "99% ellipse", ell, 0, 0, ZTG_COORDS_PLOT, ZTG_TEXT_LEGEND);
  s->finish();
  return s;
}

std::unique_ptr<Sample> six_panel() {
  auto s = std::make_unique<Sample>(6);
  s->d.kind = ZTG_KIND_COMPOSITE;
  s->d.layout.width = 1100, s->d.layout.height = 800;
  s->d.layout.title = s->keep("Capability chart of Diameter");
  for (int i = 0; i < 6; ++i) {
    ZtgPanel& p = s->d.layout.panels[i];
    p.left = (i % 2) * 0.5, p.top = (i / 2) / 3.0, p.width = 0.5, p.height = 1.0 / 3;
  }
  chart_into(*s, 0, 10, 1.2, "Individuals");
  histogram_into(*s, 1);
  s->d.layout.panels[1].title = s->keep("Capability plot");
  chart_into(*s, 2, 1.1, 2.5, "Moving range");
  probability_into(*s, 3);
  s->d.layout.panels[3].title = s->keep("Probability plot");
  const int obs = s->attr(ZTG_TAG_DATA, ZTG_MARK_CIRCLE),
            tolerance = s->attr(ZTG_TAG_SPEC_LIMIT, 0, ZTG_LINE_DASH_DOT);
  for (int i = 1; i <= 30; ++i) s->point(i, 10 + 0.5 * std::sin(i * 0.7), obs, 4);
  s->line({{1, 11.2}, {30, 11.2}}, tolerance, 4, "USL = 11.2");
  s->line({{1, 8.8}, {30, 8.8}}, tolerance, 4, "LSL = 8.8");
  s->d.layout.panels[4].title = s->keep("Last 30 observations");
  s->d.layout.panels[5].kind = ZTG_PANEL_TEXT;
  s->d.layout.panels[5].title = s->keep("Capability indices");
  const int txt = s->attr(ZTG_TAG_TEXT);
  const char* rows[6][2] = {{"Cp", "1.00"},  {"Cpk", "0.95"},           {"CPU", "1.05"},
                            {"CPL", "0.95"}, {"Within sigma", "0.400"}, {"Overall sigma", "0.412"}};
  for (int r = 0; r < 6; ++r) {
    s->text(0.1, 0.8 - r * 0.13, rows[r][0], txt, ZTG_ANCHOR_LEFT + ZTG_ANCHOR_MIDDLE, 5,
            ZTG_COORDS_PLOT);
    s->text(0.8, 0.8 - r * 0.13, rows[r][1], txt, ZTG_ANCHOR_RIGHT + ZTG_ANCHOR_MIDDLE, 5,
            ZTG_COORDS_PLOT);
  }
  s->finish();
  return s;
}

std::unique_ptr<Sample> report() {
  auto s = std::make_unique<Sample>(4);
  s->d.kind = ZTG_KIND_REPORT;
  s->d.layout.width = 1000, s->d.layout.height = 760;
  s->d.layout.title = s->keep("Gage R&R report");
  s->d.layout.subtitle = s->keep("Gauge 17, 10 parts, 3 appraisers, 2 trials");
  const double rect[4][4] = {
      {0, 0, 0.5, 0.5}, {0.5, 0, 0.5, 0.5}, {0, 0.5, 0.5, 0.5}, {0.5, 0.5, 0.5, 0.5}};
  for (int i = 0; i < 4; ++i) {
    ZtgPanel& p = s->d.layout.panels[i];
    p.left = rect[i][0], p.top = rect[i][1], p.width = rect[i][2], p.height = rect[i][3];
  }
  // Appraiser by part: three series of cell averages over 10 parts, labels on two rows.
  std::vector<std::string> parts;
  for (int part = 1; part <= 10; ++part) parts.push_back("Part " + std::to_string(part));
  for (int a = 0; a < 3; ++a) {
    const int at = s->attr(ZTG_TAG_DATA, ZTG_MARK_CIRCLE + a, 0,
                           a == 0   ? 0x1F4E79
                           : a == 1 ? 0xD35400
                                    : 0x2E7D32);
    std::vector<ZtgCoord> series;
    for (int part = 1; part <= 10; ++part) {
      const double v = 0.6 + 0.08 * std::sin(part * 1.3) + 0.01 * a;
      series.push_back({double(part), v});
      s->point(part, v, at, 0);
    }
    s->line(series, at, 0);
    s->text(0, 0, std::string("Appraiser ") + char('A' + a), at, 0, 0, ZTG_COORDS_PLOT,
            ZTG_TEXT_LEGEND);
  }
  s->axis(s->d.layout.panels[0].x, 0.5, 10.5, 1, "");
  s->categories(s->d.layout.panels[0].x, parts, 1, 1, 2);
  s->d.layout.panels[0].title = s->keep("Appraiser by part");
  // Study variation summary as bars.
  const int bar = s->attr(ZTG_TAG_BAR);
  const double sv[6] = {0.031, 0.018, 0.005, 0.036, 0.21, 0.213};
  for (int k = 0; k < 6; ++k) s->bar(k + 0.2, 0, k + 0.8, sv[k], bar, 1);
  s->axis(s->d.layout.panels[1].x, 0, 6, 1, "");
  s->categories(s->d.layout.panels[1].x, {"EV", "AV", "INT", "GRR", "PV", "TV"}, 0.5, 1);
  s->axis(s->d.layout.panels[1].y, 0, 0, 0, "Study variation");
  s->d.layout.panels[1].title = s->keep("Components of variation");
  // Range chart.
  chart_into(*s, 2, 0.02, 0.045, "Range");
  // Table of components.
  s->d.layout.panels[3].kind = ZTG_PANEL_TEXT;
  s->d.layout.panels[3].title = s->keep("Components");
  const int txt = s->attr(ZTG_TAG_TEXT);
  const char* table[5][3] = {{"Source", "Sigma", "% Contribution"},
                             {"Repeatability", "0.0060", "2.05"},
                             {"Reproducibility", "0.0035", "0.70"},
                             {"Gage R&R", "0.0070", "2.75"},
                             {"Part to part", "0.0420", "97.25"}};
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 3; ++c)
      s->text(c == 0 ? 0.05 : 0.35 + 0.3 * c, 0.85 - 0.15 * r, table[r][c], txt,
              (c == 0 ? ZTG_ANCHOR_LEFT : ZTG_ANCHOR_RIGHT) + ZTG_ANCHOR_MIDDLE, 3,
              ZTG_COORDS_PLOT);
  s->finish();
  return s;
}

}  // namespace qualty::testing
