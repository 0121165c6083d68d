// The ZTGRAPH operation table: kept graphs by handle and settings in the profile.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "host/graph/graph_component.h"
#include "sample_graphs.h"

namespace qualty {
namespace {

TEST(GraphComponent, CreateKeepsAndReleaseDrops) {
  GraphComponent component;
  ZtGraph* g = component.component();
  auto sample = testing::control_chart();
  const int32_t a = g->CreateGraph(g->self, &sample->finish());
  const int32_t b = g->CreateGraph(g->self, &sample->finish());
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(component.handles(), (std::vector<int32_t>{a, b}));
  EXPECT_EQ(component.last_handle(), b);
  // The kept graph is a copy: the module's tables may go away.
  sample.reset();
  ASSERT_NE(component.find(a), nullptr);
  EXPECT_EQ(component.find(a)->points.size(), 25u);
  EXPECT_EQ(component.find(a)->title, "X-bar chart of Diameter");
  g->ReleaseGraph(g->self, a);
  EXPECT_EQ(component.find(a), nullptr);
  g->ReleaseGraph(g->self, 12345);  // unknown: ignored
  EXPECT_EQ(component.handles(), (std::vector<int32_t>{b}));
}

TEST(GraphComponent, RefusesWhatIsNotADescriptor) {
  GraphComponent component;
  ZtGraph* g = component.component();
  EXPECT_EQ(g->CreateGraph(g->self, nullptr), 0);
  ZtGraphDescriptor wrong{};
  wrong.size = 12;  // not our descriptor's size
  EXPECT_EQ(g->CreateGraph(g->self, &wrong), 0);
  EXPECT_TRUE(component.handles().empty());
}

TEST(GraphComponent, WritesKeptGraphs) {
  GraphComponent component;
  auto sample = testing::histogram();
  const int32_t h = component.create(sample->finish());
  const auto path = std::filesystem::temp_directory_path() / "qualty_component.png";
  std::string error;
  EXPECT_TRUE(component.write(h, GraphFormat::png, path.string(), &error)) << error;
  EXPECT_GT(std::filesystem::file_size(path), 1000u);
  std::filesystem::remove(path);
  EXPECT_FALSE(component.write(h + 1, GraphFormat::png, path.string(), &error));
  EXPECT_NE(error.find("no graph"), std::string::npos);
}

TEST(GraphComponent, SettingsRoundTripThroughTheProfile) {
  std::map<std::pair<std::string, std::string>, std::string> profile;
  SettingsStore store{[&](const std::string& s, const std::string& k, const std::string& fallback) {
                        const auto it = profile.find({s, k});
                        return it == profile.end() ? fallback : it->second;
                      },
                      [&](const std::string& s, const std::string& k, const std::string& v) {
                        profile[{s, k}] = v;
                      }};
  GraphComponent component(store);
  ZtGraph* g = component.component();

  ZtGraphSettings fresh{};
  g->ReadGraphSettings(g->self, &fresh, 0);  // empty profile: the defaults
  EXPECT_EQ(fresh.size, static_cast<int32_t>(sizeof fresh));
  EXPECT_STREQ(fresh.font, "DejaVu Sans");

  ZtGraphSettings mine = fresh;
  mine.width = 1024, mine.tag_colours[ZTG_TAG_LIMIT_LINE] = 0x123456, mine.tick_size = 11.5;
  std::snprintf(mine.font, sizeof mine.font, "%s", "DejaVu Serif");
  g->WriteGraphSettings(g->self, &mine, 1);
  EXPECT_EQ((profile[{"Graph", "LimitColour"}]), "#123456");
  EXPECT_EQ((profile[{"Graph", "Width"}]), "1024");

  ZtGraphSettings back{};
  g->ReadGraphSettings(g->self, &back, 0);
  EXPECT_EQ(back.width, 1024);
  EXPECT_EQ(back.tag_colours[ZTG_TAG_LIMIT_LINE], 0x123456);
  EXPECT_DOUBLE_EQ(back.tick_size, 11.5);
  EXPECT_STREQ(back.font, "DejaVu Serif");

  // Absurd profile values fall back to the defaults.
  profile[{"Graph", "Width"}] = "1e300";
  profile[{"Graph", "LimitColour"}] = "red";
  profile[{"Graph", "TickSize"}] = "-4";
  g->ReadGraphSettings(g->self, &back, 0);
  EXPECT_EQ(back.width, fresh.width);
  EXPECT_EQ(back.tag_colours[ZTG_TAG_LIMIT_LINE], fresh.tag_colours[ZTG_TAG_LIMIT_LINE]);
  EXPECT_DOUBLE_EQ(back.tick_size, fresh.tick_size);
}

}  // namespace
}  // namespace qualty
