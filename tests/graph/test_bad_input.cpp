// The bad-input sweep: every description draws what is meaningful, skips the
// rest, and returns (SVG and PNG).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>

#include "host/graph/graph_file.h"
#include "sample_graphs.h"
#include "svg_scan.h"

namespace qualty {
namespace {

using testing::Sample;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMissing = -32768.0;

// Renders to SVG (returned, with its log) and to PNG, and checks the common promises.
std::string render_all(Sample& s, RenderLog& log) {
  const Graph g = copy_graph(s.finish());
  const std::string svg = render_svg(g, &log);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  for (const DrawnText& t : log.texts) {
    EXPECT_GE(t.box.x, -0.5);
    EXPECT_LE(t.box.right(), g.width + 0.5);
    EXPECT_GE(t.box.y, -0.5);
    EXPECT_LE(t.box.bottom(), g.height + 0.5);
  }
  for (const DrawnPanel& p : log.panels) {
    EXPECT_LT(p.x.min, p.x.max);
    EXPECT_LT(p.y.min, p.y.max);
  }
  const std::string png = (std::filesystem::temp_directory_path() / "qualty_bad.png").string();
  std::string error;
  EXPECT_TRUE(write_graph_file(g, GraphFormat::png, png, &error)) << error;
  std::filesystem::remove(png);
  return svg;
}

Sample& series(Sample& s, const std::vector<double>& ys) {
  const int a = s.attr(ZTG_TAG_DATA, ZTG_MARK_CIRCLE);
  std::vector<ZtgCoord> c;
  for (std::size_t i = 0; i < ys.size(); ++i) {
    c.push_back({double(i + 1), ys[i]});
    s.point(double(i + 1), ys[i], a);
  }
  if (!c.empty()) s.line(c, a);
  return s;
}

TEST(BadInput, EmptyOneAndEqual) {
  struct Row {
    std::vector<double> ys;
    std::size_t markers, pieces;
    const char* what;
  };
  const Row rows[] = {{{}, 0, 0, "no points: frame only"},
                      {{5}, 1, 0, "one point: a marker, no line"},
                      {{3, 3, 3, 3}, 4, 1, "all equal: range widened, one line"},
                      {{0, 0}, 2, 1, "all zero"}};
  for (const Row& r : rows) {
    Sample s;
    series(s, r.ys);
    RenderLog log;
    render_all(s, log);
    EXPECT_EQ(log.markers, r.markers) << r.what;
    EXPECT_EQ(log.line_pieces, r.pieces) << r.what;
  }
}

TEST(BadInput, MissingAndNonFiniteValuesBreakTheLine) {
  // 1 2 [missing] 4 5 [NaN] 7 [inf] 9: pieces 1-2, 4-5 and the lone 7 and 9 draw no line.
  Sample s;
  series(s, {1, 2, kMissing, 4, 5, kNaN, 7, kInf, 9});
  RenderLog log;
  const std::string svg = render_all(s, log);
  EXPECT_EQ(log.markers, 6u) << "1, 2, 4, 5, 7, 9";
  EXPECT_EQ(log.line_pieces, 2u);
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("inf"), std::string::npos);
  // The missing value never stretches the axis.
  EXPECT_GT(log.panels[0].y.min, -10);
}

TEST(BadInput, AbsurdCoordinatesAreClippedNotDrawnOffCanvas) {
  Sample s;
  series(s, {1, 1e300, -1e300, 2});
  s.d.layout.panels[0].y.min = 0, s.d.layout.panels[0].y.max = 3;
  RenderLog log;
  const std::string svg = render_all(s, log);
  for (const auto& [x, y] : testing::svg_line_points(svg)) {
    EXPECT_TRUE(x >= 0 && x <= 800 && y >= 0 && y <= 500) << x << "," << y;
  }
  EXPECT_EQ(log.markers, 2u) << "only 1 and 2 lie inside 0..3";
}

TEST(BadInput, MillionPointsFinishQuickly) {
  Sample s;
  std::vector<double> ys(1000000);
  for (std::size_t i = 0; i < ys.size(); ++i) ys[i] = std::sin(static_cast<double>(i) * 0.001);
  series(s, ys);
  const auto start = std::chrono::steady_clock::now();
  RenderLog log;
  const std::string svg = render_all(s, log);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 20.0) << "generous bound for a loaded machine";
  // Markers are thinned to one per pixel: far fewer than a million, but many.
  EXPECT_GT(log.markers, 1000u);
  EXPECT_LT(log.markers, 1000000u);
  EXPECT_LT(svg.size(), 40u << 20);
}

TEST(BadInput, HugeTextIsEllipsised) {
  Sample s;
  const std::string huge(10000, 'W');
  s.d.layout.title = s.keep(huge, false);
  s.d.layout.panels[0].x.title = s.keep(huge, false);
  s.text(0.5, 0.5, huge, s.attr(ZTG_TAG_TEXT), ZTG_ANCHOR_CENTRE, 0, ZTG_COORDS_PLOT);
  s.text(0, 0, huge, 0, 0, 0, ZTG_COORDS_PLOT, ZTG_TEXT_NOTE);
  series(s, {1, 2, 3});
  RenderLog log;
  render_all(s, log);
  int long_texts = 0;
  for (const DrawnText& t : log.texts) {
    if (t.text.size() < 20) continue;
    ++long_texts;
    EXPECT_EQ(t.text.substr(t.text.size() - 3), "\xE2\x80\xA6") << "ends with an ellipsis";
    EXPECT_LE(t.box.w, 800);
  }
  EXPECT_EQ(long_texts, 4) << "title, axis title, text and note";
}

TEST(BadInput, EveryPointFlaggedThinsItsRuleLetters) {
  // "ABCD" over each of N points across a plot about 700 wide: 5 points leave
  // 140 units between labels about 20 wide, all drawn; 50 points leave 14,
  // so some are left out, and no two drawn ones overlap.
  struct Row {
    int points;
    bool all_drawn;
  };
  for (const Row& row : {Row{5, true}, Row{50, false}}) {
    Sample s;
    std::vector<double> ys(static_cast<std::size_t>(row.points));
    for (std::size_t i = 0; i < ys.size(); ++i) ys[i] = static_cast<double>(i);
    series(s, ys);
    const int flagged = s.attr(ZTG_TAG_OUT_OF_CONTROL, ZTG_MARK_DIAMOND);
    for (std::size_t i = 0; i < ys.size(); ++i)
      s.text(double(i + 1), ys[i], "ABCD", flagged, 0, 0, ZTG_COORDS_DATA, ZTG_TEXT_MARK);
    RenderLog log;
    render_all(s, log);
    std::vector<Box> drawn;
    for (const DrawnText& t : log.texts)
      if (t.role == "mark-label") drawn.push_back(t.box);
    if (row.all_drawn) {
      EXPECT_EQ(drawn.size(), ys.size());
    } else {
      EXPECT_LT(drawn.size(), ys.size());
      EXPECT_GE(drawn.size(), ys.size() / 4) << "thinned, not dropped";
    }
    for (std::size_t a = 0; a < drawn.size(); ++a)
      for (std::size_t b = a + 1; b < drawn.size(); ++b)
        EXPECT_FALSE(drawn[a].x < drawn[b].right() && drawn[b].x < drawn[a].right() &&
                     drawn[a].y < drawn[b].bottom() && drawn[b].y < drawn[a].bottom())
            << row.points << ": labels " << a << " and " << b << " overlap";
  }
}

TEST(BadInput, DegenerateAxisRangesAreWidened) {
  struct Row {
    double min, max, increment;
  };
  const Row rows[] = {{5, 5, 1},          {10, -10, 2}, {0, 0, 0},
                      {kNaN, kInf, kNaN}, {1, 2, -1},   {0, 1, 1e-300}};
  for (const Row& r : rows) {
    Sample s;
    series(s, {1, 2, 3});
    ZtgPanel& p = s.d.layout.panels[0];
    p.x.min = p.y.min = r.min, p.x.max = p.y.max = r.max,
    p.x.increment = p.y.increment = r.increment;
    RenderLog log;
    render_all(s, log);
    EXPECT_LE(log.panels[0].y.ticks.size(), 200u);
  }
}

TEST(BadInput, BrokenTablesAndIndices) {
  Sample s;
  series(s, {1, 2, 3});
  s.line({{1, 1}, {2, 2}}, 99);                       // attribute beyond the table
  s.lines.push_back({1000, 5, 0, 0, 0, 0, nullptr});  // first beyond the coordinates
  s.lines.push_back({1, 1000, 0, 0, 0, 0, nullptr});  // count beyond them: cut
  s.point(1, 1, 0, 7);                                // panel beyond the layout
  s.text(1, 1, "\xff\xfe bad \x01 bytes \xc3", 0);    // not UTF-8, with a control character
  s.finish();
  s.d.layout.panel_count = 99;
  RenderLog log;
  const Graph g = copy_graph(s.d);
  EXPECT_EQ(g.panels.size(), 8u);
  const std::string svg = render_svg(g, &log);
  EXPECT_NE(svg.find("\xC3\xBF\xC3\xBE bad   bytes \xC3\x83"), std::string::npos)
      << "bytes that are not UTF-8 read as Latin-1, controls as blanks";

  ZtGraphDescriptor empty{};  // null tables with counts, zero canvas, no panels
  empty.size = sizeof empty;
  empty.point_count = 5, empty.line_count = -3, empty.text_count = 1 << 30;
  const Graph e = copy_graph(empty);
  EXPECT_EQ(e.panels.size(), 1u);
  EXPECT_TRUE(e.points.empty());
  RenderLog elog;
  render_svg(e, &elog);
  EXPECT_EQ(elog.markers, 0u);

  ZtGraphDescriptor huge{};
  huge.size = sizeof huge;
  huge.layout.width = 1 << 30, huge.layout.height = 1 << 30;
  const Graph h = copy_graph(huge);
  EXPECT_LE(static_cast<double>(h.width) * h.height, 40e6);
}

}  // namespace
}  // namespace qualty
