// The number formats of every pane, graph label and saved value. All follow
// the regional decimal separator and the leading-zero switch; none ever
// returns more characters than its field width.
#pragma once

#include <string>

#include "format/regional.h"

namespace ztq {

// Significant-digits format: v rounded to n significant digits (half up on the
// exact binary value), positional for exponents -(n-1)..n, otherwise with an
// exponent ("1.23457E7"); |v| <= 1e-12 reads as 0; missing gives "". A text
// that would not fit in w characters is "".
std::string format_sig(double v, int w, int n, const Regional& r = regional());

// Six-significant-digit format: as format_sig with n = 6, no flushing of tiny
// values, positional from 1e-6 up, and always a separator with at least one
// digit after it (123 gives "123.0", 0 gives "0.0").
std::string format_six(double v, int w, const Regional& r = regional());
std::string format_six_right(double v, int w, const Regional& r = regional());
std::string format_six_left(double v, int w, const Regional& r = regional());

// Fixed format: exactly w characters, d decimals, right-justified; w asterisks
// when the value does not fit, w blanks for the missing value.
std::string format_fixed(double v, int w, int d, const Regional& r = regional());

}  // namespace ztq
