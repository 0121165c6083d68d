// Columns of decimals kept as 32-bit integers and a number of places: which
// columns narrow, that every read gives the double that was read, and that a
// write widens the column without losing a value.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host/sheet/csv.h"
#include "host/sheet/data_sheet.h"

namespace qualty {
namespace {

TEST(NumberColumn, OnlyDecimalsOf32BitsNarrowAndReadBackTheSame) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* why;
    std::vector<double> values;
    bool narrow;
    int places;  // of a narrow column
  };
  const Case cases[] = {
      {"subgroup numbers and the missing value", {1, 2, 3, kMissing, 200000}, true, 0},
      {"the ends of 32 bits", {-2147483648.0, 2147483647.0, 0}, true, 0},
      {"one past the top", {1, 2147483648.0}, false, 0},
      {"one past the bottom", {-2147483649.0, 1}, false, 0},
      {"a half", {1, 2, 2.5}, true, 1},
      {"measurements of 6 places and the missing value",
       {9.760588, 10.221841, kMissing, -0.000001, 10},
       true,
       6},
      {"tenths: 0.3 is the double nearest 3/10", {0.1, 0.2, 0.3}, true, 1},
      {"0.1 + 0.2 is no decimal of 9 places or fewer", {0.1, 0.1 + 0.2}, false, 0},
      {"a third", {1.0 / 3.0}, false, 0},
      {"10 places", {0.0123456789}, false, 0},
      {"4 places: 2147483647 / 10^4 at the ends", {-214748.3647, 214748.3647}, true, 4},
      {"9 places past 32 bits: 3123456789", {3.123456789}, false, 0},
      {"whole numbers that fit, then places that make them too large", {3e8, 0.5}, false, 0},
      {"minus zero, whose sign an integer loses", {1, -0.0}, false, 0},
      {"minus zero among decimals", {0.5, -0.0}, false, 0},
      {"not a number", {1, std::nan("")}, false, 0},
      {"infinite", {inf, 1}, false, 0},
      {"large whole numbers", {1e9, -1e9, 7}, true, 0},
  };
  for (const Case& c : cases) {
    NumberColumn col = c.values;
    col.keep_narrow();
    EXPECT_EQ(col.is_narrow(), c.narrow) << c.why;
    if (c.narrow) {
      EXPECT_EQ(col.places(), c.places) << c.why;
    }
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
  NumberColumn col = std::vector<double>{4.5, 5, kMissing};
  col.keep_narrow();
  ASSERT_TRUE(col.is_narrow());
  col.values()[1] = 5.25;
  col.values().push_back(-7);
  EXPECT_FALSE(col.is_narrow());
  EXPECT_EQ(col, (std::vector<double>{4.5, 5.25, kMissing, -7}));
}

// A file's columns of whole numbers and of decimals of few places are narrow
// in the sheet; cells written into one later (a saved result, a typed value)
// widen it, and the file's values stay as they were.
TEST(NumberColumn, SheetColumnsFromAFileAndWritesIntoThem) {
  const std::string text =
      "Sample,Value,Ratio\n1,10.5,0.1\n2,11.25,0.30000000000000004\n,9,\n3,10,2\n";
  CsvLoad load = read_csv(text);
  DataSheet& sheet = load.sheet;
  EXPECT_TRUE(sheet.column(0).numbers.is_narrow());
  EXPECT_TRUE(sheet.column(1).numbers.is_narrow());
  EXPECT_EQ(sheet.column(1).numbers.places(), 2);
  EXPECT_FALSE(sheet.column(2).numbers.is_narrow());  // 17 significant digits
  EXPECT_EQ(sheet.column(0).numbers, (std::vector<double>{1, 2, kMissing, 3}));
  EXPECT_EQ(sheet.column(1).numbers, (std::vector<double>{10.5, 11.25, 9, 10}));
  EXPECT_EQ(sheet.number(0, 2), kMissing);
  EXPECT_EQ(write_csv(sheet), text);

  sheet.set_number(0, 5, 0.5);  // past the end: rows 5 and 6 (0-based 4) missing
  EXPECT_FALSE(sheet.column(0).numbers.is_narrow());
  EXPECT_EQ(sheet.column(0).numbers, (std::vector<double>{1, 2, kMissing, 3, kMissing, 0.5}));
  sheet.define_column(0, kCharacterType, 4);
  EXPECT_EQ(sheet.text(0, 0), "1");
  EXPECT_EQ(sheet.text(0, 5), "0.5");
}

}  // namespace
}  // namespace qualty
