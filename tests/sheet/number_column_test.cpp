// Columns of whole numbers kept as 32-bit integers: which columns narrow,
// that every read gives the double that was read, and that a write widens the
// column without losing a value.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/sheet/csv.h"
#include "host/sheet/data_sheet.h"

namespace qualty {
namespace {

TEST(NumberColumn, OnlyWholeNumbersOf32BitsNarrowAndReadBackTheSame) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* why;
    std::vector<double> values;
    bool narrow;
  };
  const Case cases[] = {
      {"subgroup numbers and the missing value", {1, 2, 3, kMissing, 200000}, true},
      {"the ends of 32 bits", {-2147483648.0, 2147483647.0, 0}, true},
      {"one past the top", {1, 2147483648.0}, false},
      {"one past the bottom", {-2147483649.0, 1}, false},
      {"a fraction", {1, 2, 2.5}, false},
      {"minus zero, whose sign an integer loses", {1, -0.0}, false},
      {"not a number", {1, std::nan("")}, false},
      {"infinite", {inf, 1}, false},
      {"large whole numbers", {1e9, -1e9, 7}, true},
  };
  for (const Case& c : cases) {
    NumberColumn col = c.values;
    col.keep_whole_numbers_narrow();
    EXPECT_EQ(col.is_whole(), c.narrow) << c.why;
    ASSERT_EQ(col.size(), c.values.size()) << c.why;
    for (std::size_t i = 0; i < c.values.size(); ++i) {
      if (std::isnan(c.values[i])) {
        EXPECT_TRUE(std::isnan(col[i])) << c.why;
        continue;
      }
      EXPECT_EQ(col[i], c.values[i]) << c.why << ", value " << i;
      EXPECT_EQ(std::signbit(col[i]), std::signbit(c.values[i])) << c.why << ", value " << i;
    }
  }
}

TEST(NumberColumn, AWriteWidensTheColumnAndKeepsEveryValue) {
  NumberColumn col = std::vector<double>{4, 5, kMissing};
  col.keep_whole_numbers_narrow();
  ASSERT_TRUE(col.is_whole());
  col.values()[1] = 5.25;
  col.values().push_back(-7);
  EXPECT_FALSE(col.is_whole());
  EXPECT_EQ(col, (std::vector<double>{4, 5.25, kMissing, -7}));
}

// A file's column of whole numbers is narrow in the sheet; cells written into
// it later (a saved result, a typed value) widen it, and the file's values
// stay as they were.
TEST(NumberColumn, SheetColumnsFromAFileAndWritesIntoThem) {
  CsvLoad load = read_csv("Sample,Value\n1,10.5\n2,11.25\n,9\n3,10\n");
  DataSheet& sheet = load.sheet;
  EXPECT_TRUE(sheet.column(0).numbers.is_whole());
  EXPECT_FALSE(sheet.column(1).numbers.is_whole());
  EXPECT_EQ(sheet.column(0).numbers, (std::vector<double>{1, 2, kMissing, 3}));
  EXPECT_EQ(sheet.number(0, 2), kMissing);
  EXPECT_EQ(write_csv(sheet), "Sample,Value\n1,10.5\n2,11.25\n,9\n3,10\n");

  sheet.set_number(0, 5, 0.5);  // past the end: rows 5 and 6 (0-based 4) missing
  EXPECT_FALSE(sheet.column(0).numbers.is_whole());
  EXPECT_EQ(sheet.column(0).numbers, (std::vector<double>{1, 2, kMissing, 3, kMissing, 0.5}));
  sheet.define_column(0, kCharacterType, 4);
  EXPECT_EQ(sheet.text(0, 0), "1");
  EXPECT_EQ(sheet.text(0, 5), "0.5");
}

}  // namespace
}  // namespace qualty
