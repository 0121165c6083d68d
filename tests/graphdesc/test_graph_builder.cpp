// The module-side GraphBuilder: what it writes into the descriptor, missing
// values, full-width lines, the added-text rule and the hand-over.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "bridge/graph_builder.h"

namespace ztq {
namespace {

constexpr double kMissing = -32768.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(GraphBuilder, MissingValuesSkipPointsAndBreakLines) {
  GraphBuilder g;
  const std::vector<double> xs = {1, 2, 3, 4, 5}, ys = {1, kMissing, 3, kNaN, 5};
  const int a = g.attribute(Tag::data);
  g.points(xs, ys, a);
  g.polyline(xs, ys, a);
  ZtGraphDescriptor d{};
  g.finish(d);
  ASSERT_EQ(d.point_count, 3) << "points 1, 3 and 5";
  EXPECT_EQ(d.points[1].x, 3);
  ASSERT_EQ(d.line_count, 1);
  ASSERT_EQ(d.lines[0].count, 5) << "the line keeps its gaps as missing coordinates";
  EXPECT_EQ(d.coords[d.lines[0].first + 1].y, kMissing);
  EXPECT_EQ(d.coords[d.lines[0].first + 3].y, kMissing) << "NaN written as the missing value";
}

TEST(GraphBuilder, FullLinesSpanTheAxisOrTheData) {
  GraphBuilder g(2);
  const int a = g.attribute(Tag::data), lim = g.attribute(Tag::limit_line);
  const std::vector<double> xs = {3, 4, 11}, ys = {1, 2, 3};
  g.points(xs, ys, a, 0);
  g.hline(2.5, "UCL = 2.5", lim, 0);  // panel 0: X from the data, 3..11
  g.axis_x(0, 20, 5, "", 1);
  g.hline(7, "", lim, 1);  // panel 1: the fixed axis 0..20
  g.vline(1, "", lim, 1);  // vertical on panel 1 with no data: 0..1
  ZtGraphDescriptor d{};
  g.finish(d);
  ASSERT_EQ(d.line_count, 3);
  const auto ends = [&](int i) {
    const ZtgCoord* c = d.coords + d.lines[i].first;
    return std::vector<double>{c[0].x, c[0].y, c[1].x, c[1].y};
  };
  EXPECT_EQ(ends(0), (std::vector<double>{3, 2.5, 11, 2.5}));
  EXPECT_STREQ(d.lines[0].label, "UCL = 2.5");
  EXPECT_EQ(ends(1), (std::vector<double>{0, 7, 20, 7}));
  EXPECT_EQ(ends(2), (std::vector<double>{1, 0, 1, 1}));
}

TEST(GraphBuilder, FillsLayoutAndKeepsHostFields) {
  GraphBuilder g(2, ZTG_KIND_COMPOSITE);
  g.title("Title");
  g.axis_y2(0, 100, 0, "Cumulative percent", 1);
  g.categories_x({"A", "B"}, 0.5, 1, 2, 1);
  ZtGraphDescriptor d{};
  d.handle = 42;
  d.settings.width = 640;
  g.finish(d);
  EXPECT_EQ(d.size, static_cast<int32_t>(sizeof(ZtGraphDescriptor)));
  EXPECT_EQ(d.kind, ZTG_KIND_COMPOSITE);
  EXPECT_EQ(d.handle, 42) << "the kept handle is the host's";
  EXPECT_EQ(d.settings.width, 640);
  EXPECT_STREQ(d.layout.title, "Title");
  ASSERT_EQ(d.layout.panel_count, 2);
  EXPECT_DOUBLE_EQ(d.layout.panels[1].top, 0.5) << "two panels stacked";
  EXPECT_EQ(d.layout.panels[1].y2.show, 1);
  EXPECT_EQ(d.layout.panels[0].y2.show, 0);
  ASSERT_EQ(d.layout.panels[1].x.category_count, 2);
  EXPECT_STREQ(d.layout.panels[1].x.categories[1], "B");
  EXPECT_EQ(d.layout.panels[1].x.category_rows, 2);
}

int notes(const ZtGraphDescriptor& d, const char* text) {
  int n = 0;
  for (int i = 0; i < d.text_count; ++i)
    if (d.texts[i].role == ZTG_TEXT_NOTE && std::strcmp(d.texts[i].text, text) == 0) ++n;
  return n;
}

TEST(GraphBuilder, AddedTextAppearsOnceOnTheNextGraphOnly) {
  GraphBuilder g;
  AddedText added{"", 0xFF0000};
  ZtGraphDescriptor d{};
  g.finish(d, &added);
  EXPECT_EQ(d.text_count, 0) << "an empty added text adds nothing";
  EXPECT_FALSE(added.forces_rebuild());

  added.text = "Batch 7";
  EXPECT_TRUE(added.forces_rebuild());
  g.reset(1, 0);
  g.finish(d, &added);
  ASSERT_EQ(notes(d, "Batch 7"), 1);
  EXPECT_EQ(d.attributes[d.texts[0].attribute].colour, 0xFF0000) << "its attribute is its colour";
  EXPECT_TRUE(added.text.empty()) << "consumed";

  g.reset(1, 0);
  g.finish(d, &added);
  EXPECT_EQ(notes(d, "Batch 7"), 0) << "not on the graph after";
}

TEST(GraphBuilder, TextsWithTheAddedAttributeTakeIt) {
  GraphBuilder g;
  const int own = g.attribute(Tag::text);
  g.text(1, 1, "mine", own);
  g.text(2, 2, "takes the added attribute", ZTG_ADDED_ATTRIBUTE);
  AddedText added{"", 0x00AA00};
  ZtGraphDescriptor d{};
  g.finish(d, &added);
  ASSERT_EQ(d.text_count, 2);
  EXPECT_EQ(d.texts[0].attribute, own);
  ASSERT_GE(d.texts[1].attribute, 0);
  ASSERT_LT(d.texts[1].attribute, d.attribute_count);
  EXPECT_EQ(d.attributes[d.texts[1].attribute].colour, 0x00AA00);
}

struct FakeGraph {
  std::vector<int32_t> released;
  int32_t next = 7;
  int32_t last_points = -1;
};

TEST(HandOver, ReleasesTheKeptGraphThenCreates) {
  FakeGraph fake;
  ZtGraph table{};
  table.self = &fake;
  table.ReleaseGraph = [](void* self, int32_t h) {
    static_cast<FakeGraph*>(self)->released.push_back(h);
  };
  table.CreateGraph = [](void* self, const ZtGraphDescriptor* d) {
    auto* f = static_cast<FakeGraph*>(self);
    f->last_points = d->point_count;
    return f->next++;
  };
  GraphBuilder g;
  g.point(1, 1, g.attribute(Tag::data));
  ZtGraphDescriptor d{};
  g.finish(d);
  EXPECT_EQ(hand_over(&table, d), 1);
  EXPECT_EQ(d.handle, 7);
  EXPECT_TRUE(fake.released.empty()) << "nothing kept before";
  EXPECT_EQ(fake.last_points, 1);
  EXPECT_EQ(hand_over(&table, d), 1);
  EXPECT_EQ(fake.released, (std::vector<int32_t>{7}));
  EXPECT_EQ(d.handle, 8);
  EXPECT_EQ(hand_over(nullptr, d), 0) << "no graph component: nothing drawn";
}

}  // namespace
}  // namespace ztq
