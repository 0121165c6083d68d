// A non-finite number in the sheet (a saved result that overflowed) is
// written as a missing cell, never as "inf" or "nan".
#include <gtest/gtest.h>

#include <limits>

#include "host/sheet/csv.h"

namespace qualty {
namespace {

TEST(CsvWrite, NonFiniteNumbersAreWrittenAsMissing) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  Column c{"X", kNumericType, 1, {}, {1.5, kInf, -kInf, std::numeric_limits<double>::quiet_NaN()},
           {}};
  const DataSheet sheet = DataSheet::from_columns({c});
  EXPECT_EQ(write_csv(sheet), "X\n1.5\n\n\n\n");
}

}  // namespace
}  // namespace qualty
