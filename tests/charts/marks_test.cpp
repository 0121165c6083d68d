// Exclusion marks made zero without being written: every new mark reads 0,
// also where the room was held by marks removed before.
#include <gtest/gtest.h>

#include <algorithm>

#include "charts/marks.h"

namespace ztq {
namespace {

TEST(Marks, NewMarksAreZeroAlsoInRoomLeftByOldOnes) {
  Marks m(300000);  // a block of its own from the system
  EXPECT_TRUE(std::all_of(m.begin(), m.end(), [](char c) { return c == 0; }));
  for (std::size_t i = 0; i < m.size(); i += 7) m[i] = 1;
  m.resize(5);  // the room stays with the vector, its old marks in it
  m.resize(300000);
  EXPECT_EQ(std::count(m.begin(), m.end(), 1), 1);  // mark 0 only
  EXPECT_EQ(m[0], 1);
  Marks small(3);
  small.push_back(1);
  EXPECT_EQ(small, (Marks{0, 0, 0, 1}));
}

}  // namespace
}  // namespace ztq
