// Long series and stepped lines of the GraphBuilder: the per-column envelope
// keeps every extreme in at most four vertices per column, steps are
// horizontal per point.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bridge/graph_builder.h"

namespace ztq {
namespace {

constexpr double kMissing = -32768.0;

TEST(ColumnEnvelope, FirstLowHighLastPerColumnInOrder) {
  // Two columns over x 0..8 (width 4): column 0 holds x 0..3 with values
  // 5, 1, 9, 4 (first 5, low 1, high 9, last 4: all four), column 1 holds
  // x 4..8 with 2, 2, 7, 3, 6 (first 2 at x 4, low 2 at x 4 as well, high 7,
  // last 6: three vertices).
  const std::vector<double> xs = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  const std::vector<double> ys = {5, 1, 9, 4, 2, 2, 7, 3, 6};
  const std::vector<ZtgCoord> v = column_envelope(xs, ys, 2);
  const std::vector<double> want_x = {0, 1, 2, 3, 4, 6, 8};
  ASSERT_EQ(v.size(), want_x.size());
  for (std::size_t k = 0; k < v.size(); ++k) {
    EXPECT_EQ(v[k].x, want_x[k]) << k;
    EXPECT_EQ(v[k].y, ys[static_cast<std::size_t>(want_x[k])]) << k;
  }
}

TEST(ColumnEnvelope, GapsBreakOncePerColumnAndBadInputGivesNothing) {
  const std::vector<double> xs = {0, 1, 2, 3}, ys = {1, kMissing, kMissing, 2};
  const std::vector<ZtgCoord> v = column_envelope(xs, ys, 1);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[1].y, kMissing);
  EXPECT_TRUE(column_envelope({}, {}, 10).empty());
  const std::vector<double> none = {kMissing, NAN};
  EXPECT_TRUE(column_envelope(none, none, 10).empty());
  EXPECT_TRUE(column_envelope(xs, ys, 0).empty());
}

TEST(ColumnEnvelope, MillionPointsKeepEveryExtremeInAFewThousandVertices) {
  const std::size_t n = 1000000;
  std::vector<double> xs(n), ys(n);
  for (std::size_t i = 0; i < n; ++i)
    xs[i] = static_cast<double>(i + 1), ys[i] = std::sin(static_cast<double>(i));
  ys[123456] = 50, ys[654321] = -50;
  const std::vector<ZtgCoord> v = column_envelope(xs, ys, 1000);
  EXPECT_LE(v.size(), 4000u);
  EXPECT_GE(v.size(), 2000u);  // at least a low and a high per column of noise
  bool hi = false, lo = false;
  for (const ZtgCoord& c : v) hi |= c.y == 50 && c.x == 123457, lo |= c.y == -50;
  EXPECT_TRUE(hi && lo);
}

TEST(GraphBuilderSteps, HorizontalPerPointAcrossItsSlot) {
  GraphBuilder g;
  const std::vector<double> xs = {1, 2, 3, 4}, ys = {5, 6, kMissing, 7};
  g.steps(xs, ys, g.attribute(Tag::limit_line), 0, "UCL = 6");
  ZtGraphDescriptor d{};
  g.finish(d);
  ASSERT_EQ(d.line_count, 1);
  // (0.5,5)-(1.5,5), (1.5,6)-(2.5,6), break, (3.5,7)-(4.5,7)
  const double want[][2] = {{0.5, 5}, {1.5, 5}, {1.5, 6}, {2.5, 6}, {kMissing, kMissing},
                            {3.5, 7}, {4.5, 7}};
  ASSERT_EQ(d.lines[0].count, 7);
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(d.coords[k].x, want[k][0]) << k;
    EXPECT_EQ(d.coords[k].y, want[k][1]) << k;
  }
  EXPECT_STREQ(d.lines[0].label, "UCL = 6");
}

TEST(GraphBuilderSteps, MarkTextsAndSharedAxisOption) {
  GraphBuilder g;
  const int a = g.attribute(Tag::out_of_control);
  g.mark_text(3, 4, "AB", a);
  g.mark_text(kMissing, 4, "C", a);  // not placed
  g.mark_text(3, 4, "", a);          // nothing to say
  g.shared_x(true);
  ZtGraphDescriptor d{};
  g.finish(d);
  ASSERT_EQ(d.text_count, 1);
  EXPECT_EQ(d.texts[0].role, ZTG_TEXT_MARK);
  EXPECT_STREQ(d.texts[0].text, "AB");
  EXPECT_NE(d.options & ZTG_OPTION_SHARED_X, 0);
}

}  // namespace
}  // namespace ztq
