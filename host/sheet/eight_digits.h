// Eight characters of a number field at a time, as one 64-bit word: how many
// of them are digits, and the number the digits write. For a machine that is
// little-endian (the first character in the lowest byte).
#ifndef QUALTY_HOST_SHEET_EIGHT_DIGITS_H
#define QUALTY_HOST_SHEET_EIGHT_DIGITS_H

#include <bit>
#include <cstdint>
#include <cstring>

namespace qualty::csv_detail {

// Eight characters at P as one word, the first in the lowest byte.
inline std::uint64_t eight_at(const char* p) {
  std::uint64_t v = 0;
  std::memcpy(&v, p, 8);
  return v;
}

// How many of the eight characters of V, from the first, are digits: a byte
// is a digit when its high half is 3 and its low half, plus 6, does not carry.
inline int leading_digits(std::uint64_t v) {
  const std::uint64_t t = v ^ 0x3030303030303030ULL;
  const std::uint64_t not_digit =
      (t & 0xF0F0F0F0F0F0F0F0ULL) |
      (((t & 0x0F0F0F0F0F0F0F0FULL) + 0x0606060606060606ULL) & 0x1010101010101010ULL);
  return not_digit == 0 ? 8 : std::countr_zero(not_digit) / 8;
}

// The number the first LEN (1 to 7) digits of V write: the digits moved to
// the top, zeros before them, then summed in pairs, fours and eights by three
// multiplications (Lemire (2021), Number parsing at a gigabyte per second,
// Softw. Pract. Exper. 51(8), sec. 6).
inline std::uint64_t digits_value(std::uint64_t v, int len) {
  v -= 0x3030303030303030ULL;  // a borrow from a byte past the digits is shifted out
  v <<= 8 * (8 - len);
  v = v * 10 + (v >> 8);
  v = (((v & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
       (((v >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
      32;
  return v & 0xFFFFFFFFULL;
}

}  // namespace qualty::csv_detail

#endif  // QUALTY_HOST_SHEET_EIGHT_DIGITS_H
