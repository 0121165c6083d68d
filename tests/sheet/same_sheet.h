// Exact comparison of two data sheets: names, types, every cell (numbers bit
// for bit, so -0 and 0 differ).
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "host/sheet/data_sheet.h"

namespace qualty::testing {

inline void expect_same(const DataSheet& a, const DataSheet& b) {
  ASSERT_EQ(a.column_count(), b.column_count());
  ASSERT_EQ(a.row_count(), b.row_count());
  for (std::size_t c = 0; c < a.column_count(); ++c) {
    SCOPED_TRACE(a.column(c).name);
    EXPECT_EQ(a.column(c).name, b.column(c).name);
    EXPECT_EQ(a.column(c).type, b.column(c).type);
    for (std::size_t r = 0; r < a.row_count(); ++r) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(a.number(c, r)),
                std::bit_cast<std::uint64_t>(b.number(c, r)))
          << "row " << r;
      EXPECT_EQ(a.text(c, r), b.text(c, r)) << "row " << r;
    }
  }
}

}  // namespace qualty::testing
