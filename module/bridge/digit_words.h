// Decimal digits eight at a time in a machine word, for the writers of
// numbers.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace ztq::digit_words {

using u64 = std::uint64_t;

inline constexpr u64 kTens[] = {1,
                                10,
                                100,
                                1000,
                                10000,
                                100000,
                                1000000,
                                10000000,
                                100000000,
                                1000000000,
                                10000000000,
                                100000000000,
                                1000000000000,
                                10000000000000,
                                100000000000000,
                                1000000000000000,
                                10000000000000000,
                                100000000000000000,
                                1000000000000000000,
                                10000000000000000000u};

// The number of decimal digits of F >= 1.
inline int digit_count(u64 f) {
  const int t = static_cast<int>(std::bit_width(f)) * 1233 >> 12;  // about log10
  return t + (f >= kTens[t] ? 1 : 0);
}

// The eight digits of X < 10^8 as a word whose byte I is the I-th digit,
// four pairs at once: X split into two four-digit halves in 32-bit lanes,
// each into two pairs in 16-bit lanes, each pair into two digits in bytes
// (division by 100 as * 10486 >> 20 and by 10 as * 103 >> 10, exact below
// 10^4 and 10^2).
inline u64 eight_digits(u64 x) {
  const u64 hi4 = x / 10000;
  const u64 halves = hi4 | (x - hi4 * 10000) << 32;
  const u64 hi2 = (halves * 10486 >> 20) & 0x0000007f0000007fULL;
  const u64 pairs = hi2 | (halves - hi2 * 100) << 16;
  const u64 hi1 = (pairs * 103 >> 10) & 0x000f000f000f000fULL;
  return (hi1 | (pairs - hi1 * 10) << 8) + 0x3030303030303030ULL;
}

// The word's eight bytes at P, byte I at P + I.
inline void store8(char* p, u64 word) {
  if constexpr (std::endian::native == std::endian::little)
    std::memcpy(p, &word, 8);
  else
    for (int i = 0; i < 8; ++i) p[i] = static_cast<char>(word >> 8 * i);
}

}  // namespace ztq::digit_words
