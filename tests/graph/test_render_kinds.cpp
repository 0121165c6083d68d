// Every kind of graph rendered to SVG and read back: structure, texts, and
// positions inside the plot areas and the canvas.
#include <gtest/gtest.h>

#include <functional>

#include "host/graph/graph_file.h"
#include "sample_graphs.h"
#include "svg_scan.h"

namespace qualty {
namespace {

using testing::Sample;

// The contents of every group of the given class (groups of points hold no groups).
std::string groups(const std::string& svg, const std::string& name) {
  std::string out;
  const std::string open = "<g class=\"" + name + "\">";
  for (std::size_t at = svg.find(open); at != std::string::npos; at = svg.find(open, at + 1)) {
    const std::size_t end = svg.find("</g>", at);
    out += svg.substr(at, end - at);
  }
  return out;
}

struct Kind {
  const char* name;
  std::function<std::unique_ptr<Sample>()> make;
  std::size_t panels, markers, bars, circles;
  const char* counted;  // how the expected counts follow from the sample
};

const Kind kKinds[] = {
    {"control chart", testing::control_chart, 1, 25, 0, 25, "25 subgroups"},
    {"histogram", testing::histogram, 1, 0, 8, 0, "8 classes"},
    {"probability plot", testing::probability_plot, 1, 10, 0, 10, "10 ordered values"},
    {"box plot", testing::box_plot, 1, 1, 3, 1, "3 boxes, 1 outlier"},
    {"pareto", testing::pareto, 1, 0, 6, 0, "6 bars; the cumulative series is a line"},
    {"scatter", testing::scatter_ellipse, 1, 41, 0, 41, "40 points and 1 beyond the ellipse"},
    {"six panels", testing::six_panel, 6, 90, 8, 90, "25 + 10 + 25 + 30 points, 8 classes"},
    {"report", testing::report, 4, 55, 6, 35,
     "3 x 10 cell means (circles, squares, triangles) + 25 ranges, 6 bars"},
};

TEST(RenderKinds, StructureTextsAndPlacement) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.name);
    auto sample = k.make();
    const Graph g = copy_graph(sample->finish());
    RenderLog log;
    const std::string svg = render_svg(g, &log);

    ASSERT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_EQ(testing::count_of(svg, "<g"), testing::count_of(svg, "</g>"));
    EXPECT_EQ(log.panels.size(), k.panels) << k.counted;
    EXPECT_EQ(log.markers, k.markers) << k.counted;
    EXPECT_EQ(log.bars, k.bars) << k.counted;

    // Every text of the description is drawn, whole.
    const auto texts = testing::svg_texts(svg);
    for (const std::string& want : sample->expected_texts) {
      const bool found = std::any_of(texts.begin(), texts.end(),
                                     [&](const testing::SvgText& t) { return t.text == want; });
      EXPECT_TRUE(found) << "missing text: " << want;
    }
    // Nothing outside the canvas: text boxes, line vertices.
    for (const DrawnText& t : log.texts) {
      EXPECT_GE(t.box.x, -0.5) << t.text;
      EXPECT_GE(t.box.y, -0.5) << t.text;
      EXPECT_LE(t.box.right(), g.width + 0.5) << t.text;
      EXPECT_LE(t.box.bottom(), g.height + 0.5) << t.text;
    }
    for (const auto& [x, y] : testing::svg_line_points(svg)) {
      EXPECT_TRUE(x >= 0 && x <= g.width && y >= 0 && y <= g.height) << x << "," << y;
    }
    // Point markers sit inside a plot area.
    const auto circles = testing::svg_circles(groups(svg, "points"));
    EXPECT_EQ(circles.size(), k.circles) << k.counted;
    for (const auto& c : circles) {
      const bool inside =
          std::any_of(log.panels.begin(), log.panels.end(),
                      [&](const DrawnPanel& p) { return p.plot.contains(c.cx, c.cy, 0.01); });
      EXPECT_TRUE(inside) << c.cx << "," << c.cy;
    }
  }
}

TEST(RenderKinds, ControlChartMapsValuesAndMarksPoints) {
  auto sample = testing::control_chart();
  const Graph g = copy_graph(sample->finish());
  RenderLog log;
  const std::string svg = render_svg(g, &log);
  const DrawnPanel& p = log.panels.at(0);
  // X from subgroups 1..25: range 24, step 5 gives 0..25 in 5 divisions.
  EXPECT_DOUBLE_EQ(p.x.min, 0);
  EXPECT_DOUBLE_EQ(p.x.max, 25);
  // Y from LCL 7.6 to the point 10 + 2.4 x 1.1 = 12.64: range 5.04, step 1 gives 7..13, 6
  // divisions.
  EXPECT_DOUBLE_EQ(p.y.min, 7);
  EXPECT_DOUBLE_EQ(p.y.max, 13);
  // The out-of-control point (18, 12.64) at 18/25 of the width and (12.64 - 7)/6 of the height.
  const double cx = p.plot.x + 18.0 / 25 * p.plot.w, cy = p.plot.bottom() - 5.64 / 6 * p.plot.h;
  const auto circles = testing::svg_circles(groups(svg, "points"));
  int red = 0, hollow = 0;
  for (const auto& c : circles) {
    if (c.fill == "#d55e00") {
      ++red;
      EXPECT_NEAR(c.cx, cx, 0.01);
      EXPECT_NEAR(c.cy, cy, 0.01);
    }
    if (c.fill == "none") ++hollow;
  }
  EXPECT_EQ(red, 1) << "subgroup 18 is beyond the UCL";
  EXPECT_EQ(hollow, 1) << "subgroup 7 is excluded";
  // Limit labels in the right margin, level with their lines: UCL 12.4 is 5.4/6 up the plot.
  const double ucl_y = p.plot.bottom() - 5.4 / 6 * p.plot.h;
  const auto label = std::find_if(log.texts.begin(), log.texts.end(),
                                  [](const DrawnText& t) { return t.text == "UCL = 12.40"; });
  ASSERT_NE(label, log.texts.end());
  EXPECT_GT(label->box.x, p.plot.right());
  EXPECT_NEAR(label->box.y + label->box.h / 2, ucl_y, 2.0);
  // The legend lies below the plot area, never over the data.
  for (const DrawnText& t : log.texts) {
    if (t.role != "legend") continue;
    EXPECT_GT(t.box.y, p.plot.bottom()) << t.text;
  }
}

TEST(RenderKinds, ParetoCumulativeLineUsesTheSecondAxis) {
  auto sample = testing::pareto();
  const Graph g = copy_graph(sample->finish());
  RenderLog log;
  const std::string svg = render_svg(g, &log);
  const DrawnPanel& p = log.panels.at(0);
  // Y2 ticks are written right of the plot area.
  const bool right_ticks = std::any_of(log.texts.begin(), log.texts.end(), [&](const DrawnText& t) {
    return t.role == "tick" && t.box.x > p.plot.right();
  });
  EXPECT_TRUE(right_ticks);
  // The last cumulative point (5.9, 100 %) is at the top of the plot, 5.9/6 across.
  const auto pts = testing::svg_line_points(groups(svg, "lines"));
  const bool top = std::any_of(pts.begin(), pts.end(), [&](const auto& q) {
    return std::abs(q.first - (p.plot.x + 5.9 / 6 * p.plot.w)) < 0.01 &&
           std::abs(q.second - p.plot.y) < 0.01;
  });
  EXPECT_TRUE(top);
}

TEST(RenderKinds, SpecificationLabelsStandAboveTheHistogram) {
  auto sample = testing::histogram();
  RenderLog log;
  render_svg(copy_graph(sample->finish()), &log);
  const Box plot = log.panels.at(0).plot;
  int labels = 0;
  for (const DrawnText& t : log.texts) {
    if (t.role != "line-label") continue;
    ++labels;
    EXPECT_LE(t.box.bottom(), plot.y + 0.5) << t.text;
  }
  EXPECT_EQ(labels, 3) << "LSL, nominal and USL";
  // Labels pushed apart never overlap.
  for (std::size_t i = 0; i < log.texts.size(); ++i)
    for (std::size_t j = i + 1; j < log.texts.size(); ++j) {
      const Box& a = log.texts[i].box;
      const Box& b = log.texts[j].box;
      if (log.texts[i].role != "line-label" || log.texts[j].role != "line-label") continue;
      EXPECT_TRUE(a.right() <= b.x || b.right() <= a.x)
          << log.texts[i].text << " / " << log.texts[j].text;
    }
}

TEST(RenderKinds, CompositePanelsDoNotOverlap) {
  for (auto make : {testing::six_panel, testing::report}) {
    auto sample = make();
    RenderLog log;
    render_svg(copy_graph(sample->finish()), &log);
    for (std::size_t i = 0; i < log.panels.size(); ++i)
      for (std::size_t j = i + 1; j < log.panels.size(); ++j) {
        const Box& a = log.panels[i].plot;
        const Box& b = log.panels[j].plot;
        const bool apart =
            a.right() <= b.x || b.right() <= a.x || a.bottom() <= b.y || b.bottom() <= a.y;
        EXPECT_TRUE(apart) << i << " and " << j;
      }
  }
}

TEST(RenderKinds, PartLabelsAlternateOnTwoRows) {
  auto sample = testing::report();
  RenderLog log;
  render_svg(copy_graph(sample->finish()), &log);
  double y1 = -1, y2 = -1;
  for (const DrawnText& t : log.texts) {
    if (t.text == "Part 1") y1 = t.box.y;
    if (t.text == "Part 2") y2 = t.box.y;
  }
  ASSERT_GE(y1, 0);
  ASSERT_GE(y2, 0);
  EXPECT_GT(y2, y1 + 5) << "even parts on the second row";
}

}  // namespace
}  // namespace qualty
