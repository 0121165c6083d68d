// Number fields eight characters at a time: the digit count and value of a
// word against hand-read values, and whole fields of every shape the word path
// takes or hands on, read in a column long enough for it and at the end of
// the file where it steps aside, against values written out by hand.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "host/sheet/csv.h"
#include "host/sheet/eight_digits.h"

namespace qualty {
namespace {

TEST(EightDigits, CountAndValueOfTheLeadingDigits) {
  if constexpr (std::endian::native != std::endian::little) GTEST_SKIP() << "little-endian only";
  struct Case {
    const char* text;  // eight characters
    int digits;
    std::uint64_t value;  // of the leading digits (none: 0)
  };
  const Case cases[] = {
      {"10.12345", 2, 10},
      {"1234567,", 7, 1234567},
      {"0000001\n", 7, 1},
      {"12345678", 8, 0},
      {",5000000", 0, 0},
      {"9/999999", 1, 9},
      {"7:000000", 1, 7},
      {"0\r\n00000", 1, 0},
      {"\xb9"
       "1234567",
       0, 0},
      {"0123456 ", 7, 123456},
      {"9999999.", 7, 9999999},
      {"5e300000", 1, 5},
  };
  for (const Case& c : cases) {
    const std::uint64_t w = csv_detail::eight_at(c.text);
    EXPECT_EQ(csv_detail::leading_digits(w), c.digits) << c.text;
    if (c.digits >= 1 && c.digits <= 7) {
      EXPECT_EQ(csv_detail::digits_value(w, c.digits), c.value) << c.text;
    }
  }
}

// Each field once as the first of 40 rows (the word path) and once as the
// last row, so near the end of the text that it goes character by character.
TEST(EightDigits, FieldsReadTheSameOnEitherPath) {
  struct Case {
    const char* field;
    bool number;
    double value;
  };
  const Case cases[] = {
      {"10.123456", true, 10.123456},
      {"-0.5", true, -0.5},
      {"-.5", true, -0.5},
      {".25", true, 0.25},
      {"5.", true, 5.0},
      {"-0", true, -0.0},
      {"1234567.1234567", true, 1234567.1234567},
      {"12345678.5", true, 12345678.5},  // eight whole digits: past the word path
      {"0.12345678", true, 0.12345678},  // eight after the mark
      {"00000001.5", true, 1.5},
      {"1e3", true, 1000.0},
      {"1.5e-2", true, 0.015},
      {".", false, 0},
      {"-", false, 0},
      {"1.2.3", false, 0},
      {"12a", false, 0},
  };
  for (const Case& c : cases) {
    for (const bool first : {true, false}) {
      std::string text = "x\n";
      if (!first)
        for (int i = 0; i < 39; ++i) text += "1\n";
      text += std::string(c.field) + "\n";
      if (first)
        for (int i = 0; i < 39; ++i) text += "1\n";
      SCOPED_TRACE(std::string(c.field) + (first ? " first" : " last"));
      const CsvLoad load = read_csv(text);
      const Column& col = load.sheet.column(0);
      if (!c.number) {
        EXPECT_EQ(col.type, kCharacterType);
        continue;
      }
      ASSERT_EQ(col.type, kNumericType);
      const double got = col.numbers[first ? 0 : 39];
      EXPECT_EQ(got, c.value);
      EXPECT_EQ(std::signbit(got), std::signbit(c.value));
    }
  }
}

}  // namespace
}  // namespace qualty
