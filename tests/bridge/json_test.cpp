#include "bridge/json.h"

#include "charts/point_line.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
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
      {-0.0, "0"},                             // no sign on a zero
      {10.123456, "10.123456"},                // a data value with 6 decimals
      {-0.05, "-0.05"},                        // below 1: the zeros after the point
      {0.001, "0.001"},                        // as long as 1e-03: fixed wins the tie
      {0.0012345, "0.0012345"},                // shorter than 1.2345e-03
      {0.0001, "1e-04"},                       // shorter than 0.0001
      {1e-7, "1e-07"},                         // scientific below 10^-3 when shorter
      {123456789012.345, "123456789012.345"},  // 15 significant digits
      {0.1 + 0.2, "0.30000000000000004"},      // 17 digits: no shorter text reads back
      {2.0 / 3.0, "0.6666666666666666"},       // 16 digits
      {1e21, "1e+21"},                         // whole but past 2^53
      {5e-324, "5e-324"},                      // the least subnormal
      {1.7976931348623157e308, "1.7976931348623157e+308"},
      {-32768.0, "null"},  // the missing value
      {std::nan(""), "null"},
      {std::numeric_limits<double>::infinity(), "null"},
  };
  for (const Row& r : rows) EXPECT_EQ(json_number(r.v), r.text) << r.v;
  EXPECT_EQ(json_numbers(std::vector<double>{1, -32768.0, 0.5}), "[1,null,0.5]");
  // A second method: the standard library's shortest text, for decimals of 1
  // to 17 places from an MMIX linear congruential generator (Knuth).
  std::uint64_t state = 2024;
  for (int i = 0; i < 200000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const double v = static_cast<double>(static_cast<std::int64_t>(state >> 20) - (1LL << 43)) /
                     std::pow(10.0, 1 + static_cast<int>(state % 17));
    // and data-like values: decimals of at most 8 significant digits and 1
    // to 12 places (the quotient by an exact power of ten is the nearest double)
    const double data =
        static_cast<double>(static_cast<std::int64_t>(state % 200000000) - 100000000) /
        std::pow(10.0, 1 + static_cast<int>(state >> 59) % 12);
    for (const double x : {v, data}) {
      if (x == std::floor(x)) continue;
      char buf[32];
      const std::string want(buf, std::to_chars(buf, buf + sizeof buf, x).ptr);
      ASSERT_EQ(json_number(x), want) << i << " " << x;
    }
  }
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
  o.add_strings("label", 2, [](std::size_t i, std::string& t) { t = i ? "b" : "a\""; });
  o.add_numbered_strings("n", 3);
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

TEST(JsonSink, LinesInRunsReadAsTheirValues) {
  struct Row {
    const char* what;
    PointLine line;
    const char* text;
  };
  PointLine runs, mixed, empty;
  runs.assign(5, 2.5);
  runs.fill(2, 4, -32768.0);  // missing in the middle
  mixed.assign(4, 0.1);
  mixed.set(0, -1.25);  // a first point of its own, then one run
  const Row rows[] = {
      {"runs", runs, "[2.5,2.5,null,null,2.5]"},
      {"per point", PointLine(std::vector<double>{1, 0.5, 0.5}), "[1,0.5,0.5]"},
      {"first point apart", mixed, "[-1.25,0.1,0.1,0.1]"},
      {"empty", empty, "[]"},
  };
  for (const Row& r : rows) {
    JsonObject gathered;
    gathered.add_line("l", r.line);
    EXPECT_EQ(gathered.members(), std::string("\"l\":") + r.text) << r.what;
    Chunks c;
    {
      JsonSink sink(take, &c);
      JsonObject o(sink);
      o.add_line("l", r.line);
    }
    EXPECT_EQ(c.text, gathered.members()) << r.what;
  }
}

TEST(JsonSink, WritesWhatTheStringFormHolds) {
  JsonObject gathered;
  members(gathered);
  const std::string want =
      "\"chart\":3,\"centre\":10.5,\"series\":{\"stat1\":[1,null,0.25],\"flags\":[0,12,-1]},"
      "\"ewma1\":[2,3],\"label\":[\"a\\\"\",\"b\"],\"n\":[\"1\",\"2\",\"3\"],\"arl\":370,\"tail\":"
      "\"a\\\"b\"";
  EXPECT_EQ(gathered.members(), want);
  Chunks c;
  {
    JsonSink sink(take, &c);
    JsonObject streamed(sink);
    members(streamed);
  }
  EXPECT_EQ(c.text, want);
}

// The point numbers as labels, across the blocks of the sink and every change
// of length up to 10^5, against std::to_string.
TEST(JsonSink, NumberedLabelsReadAsTheirNumbers) {
  const std::size_t n = 123456;
  std::string want = "\"n\":[";
  for (std::size_t i = 1; i <= n; ++i) want += (i > 1 ? ",\"" : "\"") + std::to_string(i) + "\"";
  want += "]";
  Chunks c;
  {
    JsonSink sink(take, &c);
    JsonObject o(sink);
    o.add_numbered_strings("n", n);
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

  // The same text from a line kept as one run, formed once and repeated.
  PointLine line;
  line.assign(v.size(), 123456);
  Chunks runs;
  {
    JsonSink sink(take, &runs);
    JsonObject o(sink);
    o.add_line("v", line);
  }
  EXPECT_EQ(runs.text, c.text);

  // Computed values (thirds: 16 or 17 digits) then short decimals, streamed:
  // the same text as the gathered form, which tries the short form on each.
  std::vector<double> mixed;
  for (int i = 1; i <= 300; ++i) mixed.push_back(i / 3.0);
  for (int i = 1; i <= 300; ++i) mixed.push_back(i * 0.25 + 0.001);
  Chunks m;
  {
    JsonSink sink(take, &m);
    JsonObject o(sink);
    o.add_numbers("v", mixed);
  }
  EXPECT_EQ(m.text, "\"v\":" + json_numbers(mixed));

  // A refused write ends the output: of numbers, and of the whole buffers of
  // a repeated run.
  const std::function<void(JsonObject&)> writers[] = {
      [&](JsonObject& o) { o.add_numbers("v", v); }, [&](JsonObject& o) { o.add_line("v", line); }};
  for (const auto& write : writers) {
    Chunks refused;
    refused.stop_after = 2;
    JsonSink sink(take, &refused);
    {
      JsonObject o(sink);
      write(o);
    }
    EXPECT_FALSE(sink.flush());
    EXPECT_EQ(refused.calls, 3) << "no write after the refused one";
  }
}

}  // namespace
}  // namespace ztq
