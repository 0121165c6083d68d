// The runs rules over blocks of 64 positions at once, as bit words: bit j of
// a block word is position j of the block (bit 63 the latest), and the word
// PREVIOUS holds the 64 positions before the block the same way. A rule's
// window of the last W positions is then the AND, or the bit-sliced sum, of W
// shifted copies of the marks (Warren (2012), Hacker's Delight, 2nd ed.,
// ch. 2 and 5), a few word operations for 64 points instead of a count per
// point.
#pragma once

#include <bit>
#include <cstdint>

namespace ztq::rule_blocks {

inline constexpr std::uint64_t kAll = ~std::uint64_t{0};

// The marks S positions back from each position of the block (S < 64).
inline std::uint64_t back(std::uint64_t marks, std::uint64_t previous, unsigned s) {
  return s == 0 ? marks : (marks << s) | (previous >> (64 - s));
}

// The positions whose last LENGTH positions (1 to 64) are all marked.
inline std::uint64_t all_of_last(std::uint64_t marks, std::uint64_t previous, unsigned length) {
  std::uint64_t r = marks;
  for (unsigned s = 1; s < length && r != 0; ++s) r &= back(marks, previous, s);
  return r;
}

// The positions with at least COUNT marks among their last WINDOW positions
// (1 to 64): seven bit planes of a counter per position, each shifted copy
// added with a ripple carry, then compared with COUNT from the top plane down.
inline std::uint64_t at_least_of_last(std::uint64_t marks, std::uint64_t previous, unsigned window,
                                      int count) {
  if (count <= 0) return kAll;
  if (count > 127) return 0;  // more than any window of 64 holds
  std::uint64_t plane[7] = {};
  for (unsigned s = 0; s < window; ++s) {
    std::uint64_t carry = back(marks, previous, s);
    for (int k = 0; k < 7 && carry != 0; ++k) {
      const std::uint64_t next = plane[k] & carry;
      plane[k] ^= carry;
      carry = next;
    }
  }
  std::uint64_t greater = 0, equal = kAll;
  for (int k = 6; k >= 0; --k) {
    if ((count >> k) & 1) {
      equal &= plane[k];
    } else {
      greater |= equal & plane[k];
      equal &= ~plane[k];
    }
  }
  return greater | equal;
}

// The 64 positions before a block whose last RUN positions were marked and
// the one before them not.
inline std::uint64_t history_of_run(long long run) {
  if (run <= 0) return 0;
  return run >= 64 ? kAll : kAll << (64 - run);
}

// The run of marks at the end of a block, counting RUN before it when the
// whole block is marked.
inline long long run_after(std::uint64_t marks, long long run) {
  return marks == kAll ? run + 64 : std::countl_one(marks);
}

// The bits of V in reverse order (bit 0 to bit 63), by swaps of halves.
inline std::uint64_t reversed(std::uint64_t v) {
  v = ((v >> 1) & 0x5555555555555555ULL) | ((v & 0x5555555555555555ULL) << 1);
  v = ((v >> 2) & 0x3333333333333333ULL) | ((v & 0x3333333333333333ULL) << 2);
  v = ((v >> 4) & 0x0F0F0F0F0F0F0F0FULL) | ((v & 0x0F0F0F0F0F0F0F0FULL) << 4);
  v = ((v >> 8) & 0x00FF00FF00FF00FFULL) | ((v & 0x00FF00FF00FF00FFULL) << 8);
  v = ((v >> 16) & 0x0000FFFF0000FFFFULL) | ((v & 0x0000FFFF0000FFFFULL) << 16);
  return (v >> 32) | (v << 32);
}

}  // namespace ztq::rule_blocks
