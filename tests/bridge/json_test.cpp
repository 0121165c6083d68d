#include "bridge/json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

}  // namespace
}  // namespace ztq
