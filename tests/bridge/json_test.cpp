#include "bridge/json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace ztq {
namespace {

TEST(Json, NumbersAreShortestAndMissingIsNull) {
  struct Row {
    double v;
    const char* text;
  };
  const Row rows[] = {
      {1e6, "1000000"},  // a count stays an integer, not 1e+06
      {0.1, "0.1"},      // the shortest text that reads back as 0.1
      {2.5, "2.5"},
      {-3.0, "-3"},
      {1e300, "1e+300"},  // too large for an integer
      {28.333333333333332, "28.333333333333332"},
      {-32768.0, "null"},  // the missing value
      {std::nan(""), "null"},
      {std::numeric_limits<double>::infinity(), "null"},
  };
  for (const Row& r : rows) EXPECT_EQ(json_number(r.v), r.text) << r.v;
  EXPECT_EQ(json_numbers(std::vector<double>{1, -32768.0, 0.5}), "[1,null,0.5]");
  EXPECT_EQ(json_quote("a\"b\\c\r\n\x01"), "\"a\\\"b\\\\c\\r\\n\\u0001\"");
}

// The members of a small results object, with one member object and a series.
void members(JsonObject& o) {
  o.add_raw("chart", "3");
  o.add_number("centre", 10.5);
  {
    JsonObject s = o.object("series");
    s.add_numbers("stat1", std::vector<double>{1, -32768.0, 0.25});
    s.add_ints("flags", std::vector<int>{0, 12, -1});
  }
  o.add_series("ewma1", std::vector<double>{2, 3});
  o.add_strings("label", 2, [](std::size_t i) { return std::string(i ? "b" : "a\""); });
  o.add_members("\"arl\":370");
  o.add_string("tail", "a\"b");
}

struct Chunks {
  std::string text;
  int calls = 0;
  int stop_after = -1;  // refuse the call after this many
};

int32_t take(void* context, const char* bytes, int32_t count) {
  auto* c = static_cast<Chunks*>(context);
  if (c->calls++ == c->stop_after) return 0;
  c->text.append(bytes, static_cast<size_t>(count));
  return 1;
}

TEST(JsonSink, WritesWhatTheStringFormHolds) {
  JsonObject gathered;
  members(gathered);
  const std::string want =
      "\"chart\":3,\"centre\":10.5,\"series\":{\"stat1\":[1,null,0.25],\"flags\":[0,12,-1]},"
      "\"ewma1\":[2,3],\"label\":[\"a\\\"\",\"b\"],\"arl\":370,\"tail\":\"a\\\"b\"";
  EXPECT_EQ(gathered.members(), want);
  Chunks c;
  {
    JsonSink sink(take, &c);
    JsonObject streamed(sink);
    members(streamed);
  }
  EXPECT_EQ(c.text, want);
}

TEST(JsonSink, LeavesSeriesOutOnRequest) {
  Chunks c;
  {
    JsonSink sink(take, &c);
    sink.series = false;
    JsonObject o(sink);
    EXPECT_FALSE(o.series());
    o.add_series("stat1", std::vector<double>{1, 2});
    o.add_number("centre", 1);
    o.add_series("stat2", std::vector<double>{3});
  }
  EXPECT_EQ(c.text, "\"centre\":1");
}

TEST(JsonSink, LongOutputGoesInChunksAndStopsWhenRefused) {
  // 10^5 numbers of 6 characters: about 700 kB, more than one 64 KiB chunk.
  const std::vector<double> v(100000, 123456);
  Chunks c;
  {
    JsonSink sink(take, &c);
    JsonObject o(sink);
    o.add_numbers("v", v);
  }
  EXPECT_GT(c.calls, 10);
  EXPECT_EQ(c.text.size(), 5 + 600000 + 99999 + 1u);  // "v":[ digits, commas, ]

  Chunks refused;
  refused.stop_after = 2;
  JsonSink sink(take, &refused);
  {
    JsonObject o(sink);
    o.add_numbers("v", v);
  }
  EXPECT_FALSE(sink.flush());
  EXPECT_EQ(refused.calls, 3) << "no write after the refused one";
}

}  // namespace
}  // namespace ztq
