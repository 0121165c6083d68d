// What makes a chart publishable, on the host side: markers of one kind as one
// path, dense flagged markers thinned, two charts stacked on one page with a
// shared X axis, turned category labels, the canvas size option, valid XML.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "host/graph/graph_component.h"
#include "host/graph/graph_file.h"
#include "host/graph/graph_stack.h"
#include "sample_graphs.h"
#include "svg_scan.h"

namespace qualty {
namespace {

using testing::Sample;

std::string points_group(const std::string& svg) {
  const std::size_t at = svg.find("<g class=\"points\">");
  return at == std::string::npos ? std::string() : svg.substr(at, svg.find("</g>", at) - at);
}

TEST(Published, MarkersOfOneKindAreOnePath) {
  // The sample chart has three kinds: data (25 - 2), beyond (1), excluded (1).
  auto sample = testing::control_chart();
  const std::string svg = render_svg(copy_graph(sample->finish()));
  const std::string points = points_group(svg);
  EXPECT_EQ(testing::svg_path_count(points), 3u);
  EXPECT_EQ(testing::svg_circles(points).size(), 25u);  // every marker is still a circle
}

TEST(Published, DenseFlaggedMarkersAreThinnedOnTheirGrid) {
  // 200,000 flagged points spread over the plot: no more markers than cells of
  // two marker sizes (marker 7 points: 14-point cells) fit in an 800 x 600 canvas.
  Sample s;
  const int flagged = s.attr(ZTG_TAG_OUT_OF_CONTROL, ZTG_MARK_DIAMOND);
  s.attributes[static_cast<std::size_t>(flagged)].size = 7;
  for (int i = 0; i < 200000; ++i) s.point(i, (i * 7919) % 1000, flagged);
  RenderLog log;
  const std::string svg = render_svg(copy_graph(s.finish()), &log);
  EXPECT_LE(log.markers, static_cast<std::size_t>((800 / 14.0 + 2) * (600 / 14.0 + 2)));
  EXPECT_GT(log.markers, 100u);
  EXPECT_EQ(testing::svg_path_count(points_group(svg)), 1u);
}

TEST(Published, TwoChartsStackOnOnePageWithASharedXAxis) {
  auto top = testing::control_chart();
  auto bottom = testing::control_chart();
  const Graph a = copy_graph(top->finish());
  const Graph b = copy_graph(bottom->finish());
  const Graph g = stack_graphs(a, b);
  ASSERT_EQ(g.panels.size(), 2u);
  EXPECT_NE(g.options & ZTG_OPTION_SHARED_X, 0);
  EXPECT_EQ(g.points.size(), a.points.size() + b.points.size());
  EXPECT_EQ(g.attributes.size(), a.attributes.size() + b.attributes.size());
  // The bottom chart's elements point at its own attributes and coordinates.
  const ZtgPoint& q = g.points[a.points.size()];
  EXPECT_EQ(q.panel, 1);
  EXPECT_EQ(q.attribute, b.points[0].attribute + static_cast<int>(a.attributes.size()));
  EXPECT_EQ(g.lines[a.lines.size()].first, b.lines[0].first + a.coords.size());
  RenderLog log;
  const std::string svg = render_svg(g, &log);
  ASSERT_EQ(log.panels.size(), 2u);
  const DrawnPanel& p0 = log.panels[0];
  const DrawnPanel& p1 = log.panels[1];
  EXPECT_DOUBLE_EQ(p0.plot.x, p1.plot.x);
  EXPECT_DOUBLE_EQ(p0.plot.w, p1.plot.w);
  EXPECT_LT(p0.plot.bottom(), p1.plot.y);
  // The X axis title is written once, under the lower chart.
  int titles = 0;
  for (const DrawnText& t : log.texts)
    if (t.role == "axis-title" && t.box.h < t.box.w) {
      ++titles;
      EXPECT_GT(t.box.y, p1.plot.bottom());
    }
  EXPECT_EQ(titles, 1);
  // A page of a chart and a text panel is not a chart pair: nothing shared.
  auto report = testing::report();
  EXPECT_EQ(stack_graphs(a, copy_graph(report->finish())).options & ZTG_OPTION_SHARED_X, 0);
}

TEST(Published, LongCategoryLabelsTurnAndStayOnTheCanvas) {
  Sample s;
  const int bars = s.attr(ZTG_TAG_BAR);
  std::vector<std::string> labels;
  for (int i = 0; i < 12; ++i) {
    labels.push_back(std::string(500, static_cast<char>('a' + i)));
    s.bar(i + 0.1, 0, i + 0.9, 12 - i, bars);
  }
  s.axis(s.d.layout.panels[0].x, 0, 12, 0, "");
  s.categories(s.d.layout.panels[0].x, labels, 0.5, 1);
  RenderLog log;
  const Graph g = copy_graph(s.finish());
  render_svg(g, &log);
  int drawn = 0;
  for (const DrawnText& t : log.texts) {
    if (t.role != "category") continue;
    ++drawn;
    EXPECT_GE(t.box.x, -0.5);
    EXPECT_LE(t.box.bottom(), g.height + 0.5);
    EXPECT_LT(t.text.size(), 500u) << "cut with an ellipsis";
  }
  EXPECT_EQ(drawn, 12);
  EXPECT_LT(log.panels[0].plot.h, g.height * 0.8) << "room made below the plot";
}

TEST(Published, CanvasSizeOption) {
  struct Row {
    const char* text;
    bool ok;
    int w, h;
  };
  const Row kRows[] = {{"1200x800", true, 1200, 800},
                       {"64X64", true, 64, 64},
                       {"8192x4000", true, 8192, 4000},
                       {"1x1", false, 0, 0},
                       {"100000x100000", false, 0, 0},
                       {"8192x8192", false, 0, 0},  // area
                       {"800", false, 0, 0},
                       {"800x", false, 0, 0},
                       {"x600", false, 0, 0},
                       {"800x600px", false, 0, 0},
                       {"-800x600", false, 0, 0}};
  for (const Row& r : kRows) {
    int w = 0, h = 0;
    EXPECT_EQ(parse_canvas_size(r.text, &w, &h), r.ok) << r.text;
    if (r.ok) {
      EXPECT_EQ(w, r.w);
      EXPECT_EQ(h, r.h);
    }
  }
}

TEST(Published, EverySampleIsValidXml) {
  const bool have_checker = std::system("command -v xmllint >/dev/null 2>&1") == 0;
  const std::string path = ::testing::TempDir() + "published.svg";
  for (auto make : {testing::control_chart, testing::histogram, testing::pareto, testing::six_panel,
                    testing::report}) {
    auto sample = make();
    const std::string svg = render_svg(copy_graph(sample->finish()));
    // Structure: one root, every group closed, nothing after the root.
    EXPECT_EQ(svg.rfind("</svg>\n"), svg.size() - 7);
    std::size_t open = 0, close = 0;
    for (std::size_t at = svg.find("<g"); at != std::string::npos; at = svg.find("<g", at + 1))
      open += svg.compare(at, 3, "<g ") == 0 || svg.compare(at, 3, "<g>") == 0;
    for (std::size_t at = svg.find("</g>"); at != std::string::npos; at = svg.find("</g>", at + 1))
      ++close;
    EXPECT_EQ(open, close);
    if (!have_checker) continue;
    std::ofstream(path, std::ios::binary) << svg;
    EXPECT_EQ(std::system(("xmllint --noout " + path).c_str()), 0);
  }
  std::remove(path.c_str());
}

TEST(Published, ProfileSizeAndCanvasOptionReachGraphsThatLeaveTheSizeOpen) {
  // A description that leaves the size open and the settings block empty
  // (size 0) takes the profile's Graph keys; set_canvas (the --size option)
  // overrides them.
  std::map<std::pair<std::string, std::string>, std::string> profile = {
      {{"Graph", "Width"}, "1000"}, {{"Graph", "Height"}, "700"}};
  SettingsStore store{[&](const std::string& s, const std::string& k, const std::string& fallback) {
                        const auto it = profile.find({s, k});
                        return it == profile.end() ? fallback : it->second;
                      },
                      [&](const std::string&, const std::string&, const std::string&) {}};
  GraphComponent component(store);
  auto sample = testing::control_chart();
  ZtGraphDescriptor& d = sample->finish();
  d.settings = ZtGraphSettings{};
  d.layout.width = d.layout.height = 0;
  const Graph* a = component.find(component.create(d));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->width, 1000);
  EXPECT_EQ(a->height, 700);
  component.set_canvas(640, 480);
  const Graph* b = component.find(component.create(d));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->width, 640);
  EXPECT_EQ(b->height, 480);
}

}  // namespace
}  // namespace qualty
