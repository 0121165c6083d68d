// Shortest round-trip text of a double by Giulietti's Schubfach method
// (R. Giulietti, "The Schubfach way to render doubles", 2020): the decimal
// of fewest digits inside the rounding interval of V, found from three
// products of V's bounds with a 126-bit power of ten, each rounded to odd so
// that its lowest bit tells whether it is exact.
#include "bridge/shortest_double.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "bridge/digit_words.h"
#include "bridge/pow10_table.h"

namespace ztq {
namespace {

using u64 = std::uint64_t;
using digit_words::digit_count;
using digit_words::eight_digits;
using digit_words::store8;
__extension__ typedef unsigned __int128 u128;

constexpr int kPrecision = 53;
constexpr int kMinQ = -1074;         // exponent of the least subnormal
constexpr u64 kMinC = u64{1} << 52;  // significand of a power of two
constexpr u64 kMask63 = (u64{1} << 63) - 1;

// floor(q log10 2), floor(log10(3/4 2^q)) and floor(e log2 10), exact for
// |q| <= 1100 and |e| <= 350 (checked against integer powers).
int floor_log10_pow2(int q) { return static_cast<int>(q * 661971961083LL >> 41); }
int floor_log10_three_quarters_pow2(int q) {
  return static_cast<int>((q * 661971961083LL - 274743187321LL) >> 41);
}
int floor_log2_pow10(int e) { return static_cast<int>(e * 913124641741LL >> 38); }

u64 high64(u64 a, u64 b) { return static_cast<u64>((static_cast<u128>(a) * b) >> 64); }

// floor(g cp / 2^127) with its lowest bit set when the rest is not zero.
u64 round_to_odd(u64 g1, u64 g0, u64 cp) {
  const u64 x1 = high64(g0, cp);
  const u64 y0 = g1 * cp;
  const u64 y1 = high64(g1, cp);
  const u64 z = (y0 >> 1) + x1;
  const u64 vbp = y1 + (z >> 63);
  return vbp | (((z & kMask63) + kMask63) >> 63);
}

const char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The N digits of F (N <= 17) at P, with a point before digit POINT when
// 0 < POINT < N; the end. The digits go from words straight to P: a
// seventeenth digit alone, then at most two words of eight (the first
// without its leading zeros), the one holding the point stored twice, the
// second time from the point on, one byte up. A store may write past its
// digits, into room the next store or the caller overwrites. (Nothing
// written is read back: a read across stores of other sizes would wait for
// them to reach the cache.)
char* put_digits(char* p, u64 f, int n, int point) {
  const bool has_point = point > 0 && point < n;
  if (n <= 8) {
    const u64 w = eight_digits(f) >> 8 * (8 - n);
    store8(p, w);
    if (!has_point) return p + n;
    p[point] = '.';
    store8(p + point + 1, w >> 8 * point);
    return p + n + 1;
  }
  const u64 lead = f / 10000000000000000;  // a seventeenth digit, or 0
  const int extra = n > 16 ? 1 : 0;
  *p = static_cast<char>('0' + lead);
  p += extra;
  f -= lead * 10000000000000000;
  n -= extra;
  const int j = point - extra;  // the point's place among the N digits left
  const u64 top = f / 100000000;
  const int n_top = n - 8;  // 1 to 8
  const u64 a = eight_digits(top) >> 8 * (8 - n_top);
  const u64 b = eight_digits(f - top * 100000000);
  store8(p, a);
  if (!has_point) {
    store8(p + n_top, b);
    return p + n;
  }
  if (j < n_top) {
    p[j] = '.';
    store8(p + j + 1, a >> 8 * j);
    store8(p + n_top + 1, b);
  } else {
    char* q = p + n_top;
    store8(q, b);
    q[j - n_top] = '.';
    store8(q + j - n_top + 1, b >> 8 * (j - n_top));
  }
  return p + n + 1;
}

// F 10^E in to_chars' plain form, at P with kShortestDoubleRoom - 1 bytes of
// room. A whole number of more digits than F's is written in fixed notation
// as its exact value EXACT (not F and zeros), as printf's %f would.
char* put_decimal(char* p, u64 f, int e, u128 exact) {
  if (f == 0) {
    *p = '0';
    return p + 1;
  }
  // Trailing zeros dropped two and one at a time: F is a multiple of 100 when
  // rotr(F 25^-1 mod 2^64, 2) <= (2^64 - 1) / 100, which is then F / 100
  // (Granlund & Montgomery 1994: division by invariant integers).
  constexpr u64 kInv5 = 0xcccccccccccccccdULL;  // 5 kInv5 = 1 mod 2^64
  constexpr u64 kInv25 = kInv5 * kInv5;
  for (u64 q; (q = std::rotr(f * kInv25, 2)) <= ~u64{0} / 100;) f = q, e += 2;
  if (const u64 q = std::rotr(f * kInv5, 1); q <= ~u64{0} / 10) f = q, ++e;
  const int n = digit_count(f);  // at most 17
  const int sci_e = e + n - 1;
  const int abs_e = sci_e < 0 ? -sci_e : sci_e;
  const int sci_len = n + (n > 1 ? 1 : 0) + 2 + (abs_e >= 100 ? 3 : 2);
  const int fixed_len = e >= 0 ? n + e : (n + e > 0 ? n + 1 : 2 - e);
  if (fixed_len <= sci_len) {
    if (e > 0 && exact != 0) {  // at most 22 digits
      char* end = p + n + e;
      for (char* c = end; c != p; exact /= 10) *--c = static_cast<char>('0' + exact % 10);
      return end;
    }
    if (e >= 0) {  // digits, then at most five zeros
      p = put_digits(p, f, n, 0);
      store8(p, 0x3030303030303030ULL);
      return p + e;
    }
    if (n + e > 0) return put_digits(p, f, n, n + e);  // a point among the digits
    store8(p, 0x3030303030302e30ULL);                  // "0.000000": at most three zeros
    return put_digits(p + 2 - e - n, f, n, 0);
  }
  // d.ddde+XX
  char* q = put_digits(p, f, n, 1);
  *q++ = 'e';
  *q++ = sci_e < 0 ? '-' : '+';
  if (abs_e >= 100) *q++ = static_cast<char>('0' + abs_e / 100);
  std::memcpy(q, kDigitPairs + 2 * (abs_e % 100), 2);
  return q + 2;
}

// The shortest decimal in the rounding interval of C 2^Q, nearest to it
// (ties to an even last digit), written by put_decimal.
// EXACT is V when V is a whole number below 2^127, else 0.
char* to_decimal(char* p, int q, u64 c, u128 exact = 0) {
  const int out = static_cast<int>(c & 1);  // odd: the interval is open
  const u64 cb = c << 2;
  const u64 cbr = cb + 2;
  u64 cbl;
  int k;
  if (c != kMinC || q == kMinQ) {
    cbl = cb - 2;
    k = floor_log10_pow2(q);
  } else {  // a power of two: the gap below is half the gap above
    cbl = cb - 1;
    k = floor_log10_three_quarters_pow2(q);
  }
  const int h = q + floor_log2_pow10(-k) + 2;
  const u64* g = pow10_detail::kG[k - pow10_detail::kMinK];
  const u64 vb = round_to_odd(g[0], g[1], cb << h);
  const u64 vbl = round_to_odd(g[0], g[1], cbl << h);
  const u64 vbr = round_to_odd(g[0], g[1], cbr << h);
  const u64 s = vb >> 2;
  if (s >= 10) {  // one digit fewer: at most one multiple of ten is inside
    const u64 sp10 = s / 10 * 10;
    const u64 tp10 = sp10 + 10;
    const bool upin = vbl + out <= sp10 << 2;
    const bool wpin = (tp10 << 2) + out <= vbr;
    if (upin != wpin) return put_decimal(p, upin ? sp10 : tp10, k, exact);
  }
  const u64 t = s + 1;
  const bool uin = vbl + out <= s << 2;
  const bool win = (t << 2) + out <= vbr;
  if (uin != win) return put_decimal(p, uin ? s : t, k, exact);
  // Both inside: the nearer, the even one on a tie.
  const auto cmp = static_cast<std::int64_t>(vb - ((s + t) << 1));
  return put_decimal(p, cmp < 0 || (cmp == 0 && (s & 1) == 0) ? s : t, k, exact);
}

}  // namespace

char* write_decimal(char* p, std::uint64_t f, int e) { return put_decimal(p, f, e, 0); }

char* write_shortest_double(char* p, double v) {
  const u64 bits = std::bit_cast<u64>(v);
  if (bits >> 63) *p++ = '-';
  const u64 t = bits & (kMinC - 1);
  const int bq = static_cast<int>(bits >> (kPrecision - 1)) & 0x7ff;
  if (bq != 0) {
    const int mq = -kMinQ + 1 - bq;
    const u64 c = kMinC | t;
    if (0 < mq && mq < kPrecision) {  // a whole number below 2^53
      const u64 f = c >> mq;
      if (f << mq == c) return put_decimal(p, f, 0, 0);
    }
    const u128 exact = mq <= 0 && mq > -74 ? static_cast<u128>(c) << -mq : 0;
    return to_decimal(p, -mq, c, exact);
  }
  if (t == 0) {
    *p = '0';
    return p + 1;
  }
  return to_decimal(p, kMinQ, t);  // subnormal
}

}  // namespace ztq
