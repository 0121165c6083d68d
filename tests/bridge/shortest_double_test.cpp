#include "bridge/shortest_double.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace ztq {
namespace {

std::string shortest(double v) {
  char buf[kShortestDoubleRoom];
  return std::string(buf, write_shortest_double(buf, v));
}

std::string standard(double v) {
  char buf[64];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

TEST(ShortestDouble, WritesEachFormByHand) {
  struct Row {
    double v;
    const char* text;
  };
  // Exact values of the whole numbers by integer arithmetic: 2^60, 2^70, and
  // 1.2345678901234568e20 = 123456789012345683968.
  const Row rows[] = {
      {0.0, "0"},
      {-0.0, "-0"},
      {0.5, "0.5"},  // a power of two: the gap below is half the gap above
      {0.1 + 0.7, "0.7999999999999999"},
      {9007199254740994.0, "9007199254740994"},        // 2^53 + 2, in a gap of 2
      {1152921504606846976.0, "1152921504606846976"},  // 2^60: fixed, every digit exact
      {1.2345678901234568e20, "123456789012345683968"},
      {1180591620717411303424.0, "1180591620717411303424"},  // 2^70: 22 either way, fixed
      {1.23456e22, "1.23456e+22"},
      {1e22, "1e+22"},
      {0.001, "0.001"},  // as long as 1e-03: fixed wins the tie
      {0.0001, "1e-04"},
      {1.0 / 3.0 * 1e-5, "3.3333333333333333e-06"},         // 24 fixed against 22
      {-1.5e-300, "-1.5e-300"},                             // a three-digit exponent
      {std::ldexp(1.0, -1022), "2.2250738585072014e-308"},  // least normal
      {5e-324, "5e-324"},  // least subnormal: 4.94e-324, one digit is enough
      {1e-323, "1e-323"},  // 2 of them: 9.88e-324
      {1.5e-323, "1.5e-323"},
      {2.5e-323, "2.5e-323"},
      {1.7976931348623157e308, "1.7976931348623157e+308"},
  };
  for (const Row& r : rows) EXPECT_EQ(shortest(r.v), r.text) << r.text;
}

// A second method: the standard library's shortest text, over random bit
// patterns (MMIX linear congruential generator, Knuth), the neighbours of
// every power of two, and differences and products of decimals of 6 places,
// the moving ranges of a data column.
TEST(ShortestDouble, AgreesWithTheStandardLibrary) {
  std::uint64_t state = 7;
  const auto next = [&state] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return state;
  };
  int checked = 0;
  const auto check = [&checked](double v) {
    if (!std::isfinite(v)) return;
    ++checked;
    ASSERT_EQ(shortest(v), standard(v)) << std::bit_cast<std::uint64_t>(v);
  };
  for (int i = 0; i < 300000; ++i) check(std::bit_cast<double>(next()));
  for (std::uint64_t e = 0; e < 2047; ++e)
    for (std::uint64_t d = 0; d < 5; ++d) {
      check(std::bit_cast<double>((e << 52) + d));
      if (e > 0) check(std::bit_cast<double>((e << 52) - d - 1));
    }
  for (int i = 0; i < 100000; ++i) {
    const double a = static_cast<double>(next() >> 40) / 1e6;
    const double b = static_cast<double>(next() >> 40) / 1e6;
    check(a - b);
    check(a * b);
  }
  EXPECT_GT(checked, 500000);
}

}  // namespace
}  // namespace ztq
