// Number formats, from hand-worked values. Each row gives the value, the
// field, the expected text and why.
#include "format/numfmt.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ztq {
namespace {

Regional point(int lzero = 1) {
  Regional r;
  r.decimal = '.';
  r.lzero = lzero;
  return r;
}

Regional comma(int lzero = 1) {
  Regional r = point(lzero);
  r.decimal = ',';
  return r;
}

struct SixRow {
  double v;
  int lzero;
  const char* point_text;
  const char* comma_text;
  const char* why;
};

TEST(FormatSix, HandWorkedValues) {
  const SixRow rows[] = {
      {0.0, 1, "0.0", "0,0", "zero with the leading-zero switch"},
      {0.0, 0, ".0", ",0", "zero without it: separator and 0"},
      {0.000001, 1, "0.000001", "0,000001", "0.1e-5: exponent -5 is still positional"},
      {0.00000099, 1, "9.9E-7", "9,9E-7", "0.99e-6: exponent -6 takes the E form"},
      {1234567.0, 1, "1.23457E6", "1,23457E6", "0.1234567e7 rounds to 123457, exponent 7 > 6"},
      {999999.5, 1, "1.E6", "1,E6", "rounds up to the digit 1 with exponent 7: 1, separator, E6"},
      {123.0, 1, "123.0", "123,0", "no digits remain: separator and 0"},
      {12.5, 1, "12.5", "12,5", "two integer digits, one remaining"},
      {123456.0, 1, "123456.0", "123456,0", "exponent 6 = n is positional"},
      {0.1234567, 1, "0.123457", "0,123457", "exponent 0, six digits rounded half up"},
      {0.1234567, 0, ".123457", ",123457", "no leading zero"},
      {-0.5, 1, "-0.5", "-0,5", "sign first"},
      {-2500000.0, 1, "-2.5E6", "-2,5E6", "trailing zeros dropped before the E form"},
      {1234565.0, 1, "1.23457E6", "1,23457E6", "an exact tie rounds half up, not to even"},
      {1e-300, 1, "1.E-300", "1,E-300", "tiny values are not flushed in this format"},
  };
  for (const SixRow& r : rows) {
    EXPECT_EQ(format_six(r.v, 20, point(r.lzero)), r.point_text) << r.why;
    EXPECT_EQ(format_six(r.v, 20, comma(r.lzero)), r.comma_text) << r.why;
  }
}

TEST(FormatSix, JustifiedAndNeverWider) {
  EXPECT_EQ(format_six_right(12.5, 8, point()), "    12.5");
  EXPECT_EQ(format_six_left(12.5, 8, point()), "12.5    ");
  EXPECT_EQ(format_six(1234567.0, 8, point()), "") << "9 characters do not fit in 8";
  EXPECT_EQ(format_six_right(1234567.0, 8, point()), "        ") << "an empty text padded";
  EXPECT_EQ(format_six(-32768.0, 20, point()), "") << "the missing value";
  for (double v : {1.0 / 3.0, -1e300, 123456789.0, -0.000123456, 0.0}) {
    for (int w = 0; w < 12; ++w) {
      EXPECT_LE(format_six(v, w, point()).size(), static_cast<size_t>(w)) << v << " in " << w;
      EXPECT_EQ(format_six_right(v, w, point()).size(), static_cast<size_t>(w));
    }
  }
}

struct SigRow {
  double v;
  int n;
  const char* text;
  const char* why;
};

TEST(FormatSig, HandWorkedValues) {
  const SigRow rows[] = {
      {0.0001234, 4, "0.0001234", "0.1234e-3: exponent -3 = -(n-1) is positional"},
      {0.00001234, 4, "1.234E-5", "0.1234e-4 is below the positional range"},
      {1e-13, 4, "0.0", "at most 1e-12 in magnitude reads as 0"},
      {0.0, 4, "0.0", "zero"},
      {123.0, 4, "123", "no separator when no digits remain"},
      {12345678.0, 6, "1.23457E7", "exponent 8 > n"},
      {12.5, 6, "12.5", "one remaining digit"},
      {10000.0, 4, "1.E4", "0.1e5: exponent 5 > n = 4"},
      {0.25, 1, "0.3", "an exact half rounds up"},
      {0.15, 1, "0.1", "0.15 is 0.14999... in binary: rounds down"},
      {2.5, 1, "3", "half up"},
      {-0.05, 4, "-0.05", "negative, positional"},
      {99.96, 3, "100", "carry into a new digit: exponent 3 = n"},
  };
  for (const SigRow& r : rows) EXPECT_EQ(format_sig(r.v, 32, r.n, point()), r.text) << r.why;
  EXPECT_EQ(format_sig(0.5, 32, 6, point(0)), ".5");
  EXPECT_EQ(format_sig(0.0, 32, 6, point(0)), ".0");
  EXPECT_EQ(format_sig(-32768.0, 32, 6, point()), "");
  EXPECT_EQ(format_sig(1234.5, 5, 6, point()), "") << "6 characters in a field of 5";
}

struct FixedRow {
  double v;
  int lzero;
  const char* point_text;
  const char* comma_text;
  const char* why;
};

TEST(FormatFixed, WidthTenTwoDecimals) {
  const FixedRow rows[] = {
      {1234567.891, 1, "**********", "**********", "123456789 does not fit beside a sign place"},
      {12.345, 1, "     12.35", "     12,35", "1234.5 rounds half up to 1235"},
      {-0.05, 1, "     -0.05", "     -0,05", "leading zero set"},
      {-0.05, 0, "      -.05", "      -,05", "no leading zero: sign before the separator"},
      {-32768.0, 1, "          ", "          ", "the missing value: blanks"},
      {0.05, 1, "      0.05", "      0,05", "digits 05 after the separator"},
      {0.0, 1, "      0.00", "      0,00", "zero"},
      {999999.99, 1, " 999999.99", " 999999,99", "the widest positive value"},
      {-999999.99, 1, "-999999.99", "-999999,99", "the widest negative value"},
      {9999999.0, 1, "**********", "**********", "below 10^7 yet too wide"},
      {-1000000.0, 1, "**********", "**********", "at or below -10^(w-d-2)"},
      {-12.345, 1, "    -12.35", "    -12,35", "rounds like its mirror image"},
      {-0.001, 1, "      0.00", "      0,00", "rounds to zero: no sign"},
  };
  for (const FixedRow& r : rows) {
    EXPECT_EQ(format_fixed(r.v, 10, 2, point(r.lzero)), r.point_text) << r.why;
    EXPECT_EQ(format_fixed(r.v, 10, 2, comma(r.lzero)), r.comma_text) << r.why;
  }
}

TEST(FormatFixed, AlwaysExactlyItsWidth) {
  EXPECT_EQ(format_fixed(-32768.0, 6, 2, point()), "      ") << "missing is blanks in any width";
  EXPECT_EQ(format_fixed(42.0, 5, 0, point()), "   42") << "no decimals: no separator";
  for (double v : {0.0, 1.5, -1.5, 1e300, -1e300, 1e-300, 123.456, -98765.4321}) {
    for (int w = 1; w < 14; ++w) {
      for (int d = 0; d < 4; ++d)
        EXPECT_EQ(format_fixed(v, w, d, point()).size(), static_cast<size_t>(w))
            << v << " w " << w << " d " << d;
    }
  }
  EXPECT_EQ(format_fixed(1.0, 0, 2, point()), "");
}

// Infinity was shown as a field of stars, as an overflow of a finite number.
TEST(FormatFixed, NonFiniteIsMissing) {
  for (double v : {HUGE_VAL, -HUGE_VAL, std::nan("")})
    EXPECT_EQ(format_fixed(v, 6, 2, point()), "      ") << v;
  EXPECT_EQ(format_fixed(1e300, 6, 2, point()), "******") << "a finite overflow keeps its stars";
}

}  // namespace
}  // namespace ztq
