// The data sheet's own rules: number texts, name matching, retyping and writing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/sheet/data_sheet.h"

namespace qualty {
namespace {

constexpr double M = kMissing;

TEST(NumberText, Classifies) {
  struct Row {
    const char* text;
    NumberText kind;
    double value;  // checked for kNumber
  };
  const Row kRows[] = {
      {"1.5", NumberText::kNumber, 1.5},    {" -2 ", NumberText::kNumber, -2},
      {"+3e2", NumberText::kNumber, 300},   {"\t.25\t", NumberText::kNumber, 0.25},
      {"-32768", NumberText::kNumber, M},   {"", NumberText::kEmpty, 0},
      {"   ", NumberText::kEmpty, 0},       {"NaN", NumberText::kNoValue, 0},
      {"-inf", NumberText::kNoValue, 0},    {"Infinity", NumberText::kNoValue, 0},
      {"na", NumberText::kNoValue, 0},      {"#N/A", NumberText::kNoValue, 0},
      {"1e999", NumberText::kNoValue, 0},   {"-1e999", NumberText::kNoValue, 0},
      {"1,5", NumberText::kNotNumber, 0},   {"0x10", NumberText::kNotNumber, 0},
      {"12abc", NumberText::kNotNumber, 0}, {"+-1", NumberText::kNotNumber, 0},
      {"+", NumberText::kNotNumber, 0},     {"1 2", NumberText::kNotNumber, 0},
      {"nano", NumberText::kNotNumber, 0},
  };
  for (const Row& r : kRows) {
    double v = 12345;
    EXPECT_EQ(classify_number(r.text, v), r.kind) << '"' << r.text << '"';
    if (r.kind == NumberText::kNumber) {
      EXPECT_EQ(v, r.value) << r.text;
    }
  }
}

DataSheet sample() {
  Column a{"Part No", 'N', 1, "", {1, 2, 3}, {}};
  Column b{"Op", 'C', 4, "", {}, {"x", "12.5", ""}};
  return DataSheet::from_columns({a, b});
}

TEST(DataSheet, MatchesVariables) {
  struct Row {
    const char* expr;
    int column;
    const char* source;
  };
  const Row kRows[] = {
      {"Part No", 0, "the name"},
      {"partno", 0, "without case and blank"},
      {"  ( PART NO )  ", 0, "blanks around, one pair of parentheses"},
      {"((Part No))", -1, "only one pair is removed"},
      {"op", 1, "a character column"},
      {"Part No + 1", -1, "an expression"},
      {"()", -1, "empty parentheses"},
      {"", -1, "empty"},
  };
  const DataSheet sheet = sample();
  for (const Row& r : kRows) EXPECT_EQ(sheet.match_variable(r.expr), r.column) << r.source;
  EXPECT_EQ(sheet.find("PART NO"), 0);
  EXPECT_EQ(sheet.find("PartNo"), -1);  // find compares blanks
}

TEST(DataSheet, RetypesBothWays) {
  DataSheet sheet = sample();
  sheet.define_column(1, 'N', 1);  // "x" is no number, "12.5" is
  EXPECT_EQ(sheet.column(1).numbers, (std::vector<double>{M, 12.5, M}));
  sheet.define_column(0, 'C', 2);
  EXPECT_EQ(sheet.text(0, 2), "3");
  EXPECT_EQ(sheet.column(0).width, 2);
  sheet.define_column(1, 'D', 1);  // a date letter keeps the numbers
  EXPECT_EQ(sheet.column(1).type, 'D');
  EXPECT_EQ(sheet.number(1, 1), 12.5);
  EXPECT_THROW(sheet.define_column(1, '?', 1), SheetError);
  EXPECT_THROW(sheet.define_column(5, 'N', 1), SheetError);
}

TEST(DataSheet, WritesGrowAndWiden) {
  DataSheet sheet = sample();
  EXPECT_TRUE(sheet.write_cell(1, 5, "a longer text  "));
  EXPECT_EQ(sheet.column(1).width, 13);  // widened, trailing blanks are padding
  EXPECT_EQ(sheet.text(1, 5), "a longer text");
  EXPECT_EQ(sheet.text(1, 4), "");
  EXPECT_EQ(sheet.row_count(), 6u);
  EXPECT_EQ(sheet.number(0, 5), M);  // the other column reads missing beyond its end
  EXPECT_TRUE(sheet.write_cell(0, 0, "NaN"));
  EXPECT_EQ(sheet.number(0, 0), M);
  EXPECT_FALSE(sheet.write_cell(0, 1, "abc"));
  EXPECT_EQ(sheet.number(0, 1), M);
  EXPECT_THROW(sheet.write_cell(0, kMaxRows, "1"), SheetError);
  EXPECT_THROW(sheet.extend_rows(kMaxRows + 1), SheetError);
}

TEST(DataSheet, RefusesBadNames) {
  DataSheet sheet = sample();
  EXPECT_THROW(sheet.create_column("PARTNO", 'N', 1), SheetError);
  EXPECT_THROW(sheet.create_column("  ", 'N', 1), SheetError);
  EXPECT_THROW(sheet.create_column("Fine", 'n', 1), SheetError);
  EXPECT_EQ(sheet.create_column("Fine", 'C', 0), 2u);
  EXPECT_EQ(sheet.column(2).width, 1);  // at least one character
  Column a{"a", 'N', 1, "", {}, {}};
  EXPECT_THROW(DataSheet::from_columns({a, a}), SheetError);
}

}  // namespace
}  // namespace qualty
