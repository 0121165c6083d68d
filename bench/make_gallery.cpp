// Writes docs/gallery/*.png and docs/gallery.md: one picture of every kind of
// graph the module draws, built with the module's GraphBuilder and drawn by
// the host's renderer. Usage: make_gallery [REPOSITORY_ROOT] (default ".").
// It defines its own main, so it runs no benchmarks.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bridge/graph_builder.h"
#include "host/graph/graph_file.h"

namespace {

using ztq::GraphBuilder;
using ztq::Tag;

// Deterministic "measurements": a sum of sines stands in for noise.
double wobble(int i) {
  return 0.55 * std::sin(i * 1.7) + 0.35 * std::cos(i * 0.93) + 0.2 * std::sin(i * 3.1);
}

void control_chart(GraphBuilder& g, int p, double centre, double sigma, const std::string& name) {
  std::vector<double> xs, ys;
  for (int i = 1; i <= 30; ++i) xs.push_back(i), ys.push_back(centre + sigma * 1.6 * wobble(i));
  ys[20] = centre + 3.4 * sigma;  // a shift beyond the upper limit
  ys[11] = ZTG_MISSING;           // a missing subgroup breaks the line
  const int data = g.attribute(Tag::data), ooc = g.attribute(Tag::out_of_control);
  const int excl = g.attribute(Tag::excluded);
  const int cl = g.attribute(Tag::centre_line), lim = g.attribute(Tag::limit_line);
  g.polyline(xs, ys, data, p);
  for (std::size_t i = 0; i < xs.size(); ++i)
    g.point(xs[i], ys[i], i == 20 ? ooc : i == 6 ? excl : data, p);
  char buf[48];
  std::snprintf(buf, sizeof buf, "UCL = %.3f", centre + 3 * sigma);
  g.hline(centre + 3 * sigma, buf, lim, p);
  std::snprintf(buf, sizeof buf, "CL = %.3f", centre);
  g.hline(centre, buf, cl, p);
  std::snprintf(buf, sizeof buf, "LCL = %.3f", centre - 3 * sigma);
  g.hline(centre - 3 * sigma, buf, lim, p);
  g.axis_y(0, 0, 0, name, p);
}

void histogram(GraphBuilder& g, int p) {
  const double counts[10] = {1, 3, 6, 10, 13, 11, 8, 5, 2, 1};  // 60 values, classes of 0.2 from 9
  const int bar = g.attribute(Tag::bar), fit = g.attribute(Tag::fit_curve);
  const int tolerance = g.attribute(Tag::spec_limit);
  for (int k = 0; k < 10; ++k) g.bar(9 + 0.2 * k, 0, 9.2 + 0.2 * k, counts[k], bar, p);
  std::vector<double> xs, ys;
  for (int k = 0; k <= 100;
       ++k) {  // normal density, mean 9.95, sigma 0.4, scaled by n x width = 12
    const double x = 8.6 + k * 0.027, z = (x - 9.95) / 0.4;
    xs.push_back(x), ys.push_back(12 * std::exp(-0.5 * z * z) / (0.4 * std::sqrt(2 * M_PI)));
  }
  g.polyline(xs, ys, fit, p);
  g.vline(8.8, "LSL = 8.8", tolerance, p);
  g.vline(10.0, "Nominal = 10", tolerance, p);
  g.vline(11.2, "USL = 11.2", tolerance, p);
  g.axis_x(0, 0, 0, "Diameter (mm)", p);
  g.axis_y(0, 14, 0, "Frequency", p);
  g.legend("Normal fit", fit, p);
}

void probability(GraphBuilder& g, int p) {
  // Normal quantiles at (i - 0.5) / 12 against sorted values.
  const double z[12] = {-1.732, -1.150, -0.812, -0.549, -0.319, -0.105,
                        0.105,  0.319,  0.549,  0.812,  1.150,  1.732};
  std::vector<double> xs, zs(z, z + 12);
  for (int i = 0; i < 12; ++i) xs.push_back(9.95 + 0.4 * z[i] + 0.05 * wobble(i));
  const int data = g.attribute(Tag::data), fit = g.attribute(Tag::fit_curve);
  g.points(xs, zs, data, p);
  g.segment(9.95 - 0.4 * 2.2, -2.2, 9.95 + 0.4 * 2.2, 2.2, fit, p);
  g.axis_x(0, 0, 0, "Diameter (mm)", p);
  g.axis_y(-2.5, 2.5, 0.5, "Normal quantile", p);
  g.legend("Normal (mean 9.95, sigma 0.40)", fit, p);
}

void write(GraphBuilder& g, const std::filesystem::path& dir, const std::string& name,
           std::ofstream& md, const std::string& caption) {
  ZtGraphDescriptor d{};
  g.finish(d);
  const qualty::Graph graph = qualty::copy_graph(d);
  std::string error;
  const auto file = dir / "gallery" / (name + ".png");
  if (!qualty::write_graph_file(graph, qualty::GraphFormat::png, file.string(), &error))
    std::fprintf(stderr, "%s\n", error.c_str());
  md << "## " << caption << "\n\n![" << caption << "](gallery/" << name << ".png)\n\n";
}

// The section that bench/make_chart_gallery.cpp writes at the end of the
// page, kept as it is.
std::string chart_section(const std::filesystem::path& page) {
  std::ifstream in(page, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  const std::string text = s.str();
  const std::size_t at = text.find("## Control charts by chart-type code");
  return at == std::string::npos ? std::string() : text.substr(at);
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path docs = std::filesystem::path(argc > 1 ? argv[1] : ".") / "docs";
  std::filesystem::create_directories(docs / "gallery");
  const std::string charts = chart_section(docs / "gallery.md");
  std::ofstream md(docs / "gallery.md");
  md << "# Graph gallery\n\nEvery kind of graph the module describes, drawn by the graph "
        "component. The pictures are made by `bench/make_gallery.cpp` with the module's "
        "`GraphBuilder` and the host renderer; run it from the repository root to refresh "
        "them.\n\n";

  GraphBuilder g(1, ZTG_KIND_CONTROL_CHART);
  g.title("X-bar chart of Diameter");
  g.subtitle("Subgroups of 5, limits from the data");
  control_chart(g, 0, 10.0, 0.18, "Subgroup mean");
  g.axis_x(0, 0, 0, "Subgroup");
  g.legend("Beyond a limit", 1);
  g.legend("Excluded", 2);
  write(g, docs, "control_chart", md, "Control chart with centre line, limits and marked points");

  g.reset(1, ZTG_KIND_HISTOGRAM);
  g.title("Capability plot of Diameter");
  histogram(g, 0);
  g.legend("Cp = 1.00   Cpk = 0.96", g.attribute(Tag::text));
  write(g, docs, "histogram", md, "Histogram with fitted curve and specification limits");

  g.reset(1, ZTG_KIND_PROBABILITY_PLOT);
  g.title("Normal probability plot of Diameter");
  probability(g, 0);
  write(g, docs, "probability_plot", md, "Probability plot");

  g.reset(1, ZTG_KIND_BOX_PLOT);
  g.title("Measurements by appraiser");
  {
    const int box = g.attribute(Tag::bar), whisker = g.attribute(Tag::reference);
    const int median = g.attribute(Tag::centre_line), out = g.attribute(Tag::out_of_control);
    const double f[3][5] = {{0.52, 0.61, 0.66, 0.71, 0.80},
                            {0.48, 0.58, 0.64, 0.69, 0.77},
                            {0.55, 0.63, 0.69, 0.74, 0.83}};
    for (int i = 0; i < 3; ++i) {
      const double c = i + 1;
      g.bar(c - 0.25, f[i][1], c + 0.25, f[i][3], box);
      g.segment(c - 0.25, f[i][2], c + 0.25, f[i][2], median);
      g.segment(c, f[i][0], c, f[i][1], whisker);
      g.segment(c, f[i][3], c, f[i][4], whisker);
      g.segment(c - 0.1, f[i][0], c + 0.1, f[i][0], whisker);
      g.segment(c - 0.1, f[i][4], c + 0.1, f[i][4], whisker);
    }
    g.point(2, 0.93, out);
    g.axis_x(0.4, 3.6, 0, "Appraiser");
    g.categories_x({"Anna", "Bert", "Carla"}, 1, 1);
    g.axis_y(0, 0, 0, "Measurement");
    g.legend("Beyond the outer fence", out);
  }
  write(g, docs, "box_plot", md, "Box plots");

  g.reset(1, ZTG_KIND_PARETO);
  g.title("Pareto chart of Defect");
  {
    const double counts[6] = {42, 23, 15, 9, 6, 5};
    const int bar = g.attribute(Tag::bar), cum = g.attribute(Tag::cumulative);
    std::vector<double> xs, ys;
    double total = 0;
    char buf[16];
    for (int i = 0; i < 6; ++i) {
      total += counts[i];
      std::snprintf(buf, sizeof buf, "%.2f", total);
      g.bar(i + 0.1, 0, i + 0.9, counts[i], bar, 0, buf);
      xs.push_back(i + 0.9), ys.push_back(total);
    }
    g.polyline(xs, ys, cum, 0, ZTG_COORDS_DATA2);
    g.points(xs, ys, cum, 0, ZTG_COORDS_DATA2);
    g.axis_x(0, 6, 1, "Defect");
    g.categories_x({"Scratch", "Dent", "Crack", "Stain", "Burr", "Other"}, 0.5, 1);
    g.axis_y(0, 100, 0, "Count");
    g.axis_y2(0, 100, 0, "Cumulative percent");
    g.legend("Cumulative percent", cum);
  }
  write(g, docs, "pareto", md, "Pareto chart with cumulative line on the second axis");

  g.reset(1, ZTG_KIND_SCATTER);
  g.title("Control ellipse of Length and Width");
  {
    const int data = g.attribute(Tag::data), ooc = g.attribute(Tag::out_of_control);
    ZtgAttribute look = ztq::default_attribute(Tag::fit_curve);
    look.fill_colour = ZTG_COLOUR_NONE;
    const int ell = g.attribute(look);
    for (int i = 0; i < 50; ++i) {
      const double t = i * 2.39996, r = 1.1 * std::sqrt((i + 0.5) / 50.0);
      const double u = 4.2 * r * std::cos(t), v = 1.8 * r * std::sin(t), a = 20 * M_PI / 180;
      g.point(50 + u * std::cos(a) - v * std::sin(a), 20 + u * std::sin(a) + v * std::cos(a), data);
    }
    g.point(57.5, 18.0, ooc);
    std::vector<double> xs, ys;
    for (int k = 0; k < 120; ++k) {
      const double t = k * 2 * M_PI / 120, a = 20 * M_PI / 180;
      const double u = 5 * std::cos(t), v = 2.1 * std::sin(t);
      xs.push_back(50 + u * std::cos(a) - v * std::sin(a));
      ys.push_back(20 + u * std::sin(a) + v * std::cos(a));
    }
    g.polygon(xs, ys, ell);
    g.axis_x(0, 0, 0, "Length (mm)");
    g.axis_y(0, 0, 0, "Width (mm)");
    g.legend("Control ellipse (alpha 0.0027)", ell);
    g.legend("Beyond the ellipse", ooc);
  }
  write(g, docs, "scatter_ellipse", md, "Scatter plot with control ellipse");

  g.reset(6, ZTG_KIND_COMPOSITE);
  g.canvas(1100, 820);
  g.title("Capability chart of Diameter");
  for (int i = 0; i < 6; ++i) g.panel(i, (i % 2) * 0.5, (i / 2) / 3.0, 0.5, 1.0 / 3);
  control_chart(g, 0, 9.95, 0.4, "Individual");
  g.panel_title(0, "Individuals");
  histogram(g, 1);
  g.panel_title(1, "Capability plot");
  control_chart(g, 2, 0.45, 0.15, "Moving range");
  g.panel_title(2, "Moving ranges");
  probability(g, 3);
  g.panel_title(3, "Probability plot");
  {
    std::vector<double> xs, ys;
    for (int i = 1; i <= 40; ++i) xs.push_back(i), ys.push_back(9.95 + 0.4 * wobble(i + 7));
    const int obs = g.attribute(Tag::data), tolerance = g.attribute(Tag::spec_limit);
    g.points(xs, ys, obs, 4);
    g.hline(11.2, "USL = 11.2", tolerance, 4);
    g.hline(10.0, "Nominal = 10", tolerance, 4);
    g.hline(8.8, "LSL = 8.8", tolerance, 4);
    g.panel_title(4, "Last 40 observations");
    g.text_panel(5);
    g.panel_title(5, "Capability");
    const int txt = g.attribute(Tag::text);
    const char* rows[7][2] = {
        {"Mean", "9.950"}, {"Within sigma", "0.400"}, {"Overall sigma", "0.412"},
        {"Cp", "1.00"},    {"Cpk", "0.96"},           {"Pp", "0.97"},
        {"Ppk", "0.93"}};
    for (int r = 0; r < 7; ++r) {
      g.text(0.15, 0.9 - r * 0.12, rows[r][0], txt, ZTG_ANCHOR_LEFT + ZTG_ANCHOR_MIDDLE, 5,
             ZTG_COORDS_PLOT);
      g.text(0.75, 0.9 - r * 0.12, rows[r][1], txt, ZTG_ANCHOR_RIGHT + ZTG_ANCHOR_MIDDLE, 5,
             ZTG_COORDS_PLOT);
    }
  }
  write(g, docs, "six_panel", md, "Six-panel capability chart");

  g.reset(4, ZTG_KIND_REPORT);
  g.canvas(1000, 760);
  g.title("Gage R&R report");
  g.subtitle("Gauge 17: 10 parts, 3 appraisers, 2 trials");
  g.panel(0, 0, 0, 0.5, 0.5), g.panel(1, 0.5, 0, 0.5, 0.5);
  g.panel(2, 0, 0.5, 0.5, 0.5), g.panel(3, 0.5, 0.5, 0.5, 0.5);
  {
    std::vector<std::string> parts;
    for (int part = 1; part <= 10; ++part) parts.push_back("Part " + std::to_string(part));
    const int32_t colours[3] = {0x1F4E79, 0xD35400, 0x2E7D32};
    for (int a = 0; a < 3; ++a) {
      ZtgAttribute look = ztq::default_attribute(Tag::data);
      look.colour = colours[a], look.marker = ZTG_MARK_CIRCLE + a;
      const int at = g.attribute(look);
      std::vector<double> xs, ys;
      for (int part = 1; part <= 10; ++part)
        xs.push_back(part),
            ys.push_back(0.6 + 0.08 * std::sin(part * 1.3) + 0.006 * a * wobble(part));
      g.polyline(xs, ys, at, 0);
      g.points(xs, ys, at, 0);
      g.legend(std::string("Appraiser ") + char('A' + a), at, 0);
    }
    g.axis_x(0.5, 10.5, 1, "", 0);
    g.categories_x(parts, 1, 1, 2, 0);
    g.axis_y(0, 0, 0, "Cell mean", 0);
    g.panel_title(0, "Appraiser by part");
    const int bar = g.attribute(Tag::bar);
    const double sv[6] = {0.031, 0.018, 0.005, 0.036, 0.21, 0.213};
    for (int k = 0; k < 6; ++k) g.bar(k + 0.2, 0, k + 0.8, sv[k], bar, 1);
    g.axis_x(0, 6, 1, "", 1);
    g.categories_x({"EV", "AV", "INT", "GRR", "PV", "TV"}, 0.5, 1, 1, 1);
    g.axis_y(0, 0, 0, "Study variation", 1);
    g.panel_title(1, "Components of variation");
    control_chart(g, 2, 0.012, 0.006, "Range");
    g.panel_title(2, "Range chart");
    g.text_panel(3);
    g.panel_title(3, "Components");
    const int txt = g.attribute(Tag::text);
    ZtgAttribute head = ztq::default_attribute(Tag::text);
    head.bold = 1;
    const int bold = g.attribute(head);
    const char* table[6][3] = {
        {"Source", "Sigma", "% Contribution"}, {"Repeatability", "0.0052", "2.05"},
        {"Reproducibility", "0.0030", "0.70"}, {"Gage R&R", "0.0060", "2.75"},
        {"Part to part", "0.0350", "97.25"},   {"Total", "0.0355", "100.00"}};
    for (int r = 0; r < 6; ++r)
      for (int c = 0; c < 3; ++c)
        g.text(c == 0 ? 0.04 : 0.3 + 0.33 * c, 0.88 - 0.14 * r, table[r][c], r == 0 ? bold : txt,
               (c == 0 ? ZTG_ANCHOR_LEFT : ZTG_ANCHOR_RIGHT) + ZTG_ANCHOR_MIDDLE, 3,
               ZTG_COORDS_PLOT);
  }
  ztq::AddedText note{"Study by the metrology lab, report of week 23", 0x555555};
  {
    ZtGraphDescriptor d{};
    g.finish(d, &note);
    std::string error;
    const auto file = docs / "gallery" / "report.png";
    if (!qualty::write_graph_file(qualty::copy_graph(d), qualty::GraphFormat::png, file.string(),
                                  &error))
      std::fprintf(stderr, "%s\n", error.c_str());
    md << "## One-page gage report: three graphs and a table, with an added text\n\n"
          "![Gage report](gallery/report.png)\n\n";
  }
  md << charts;
  return 0;
}
