// Regional settings read from the system profile section "Intl" at start-up,
// and the date order derived from the short-date picture.
#pragma once

#include <string>
#include <string_view>

namespace ztq {

struct Regional {
  int lzero = 1;                      // "iLzero": 1 writes 0 before the separator of |v| < 1
  char decimal = '.';                 // "sDecimal"
  char list = ',';                    // "sList"
  std::string short_date = "M/D/YY";  // "sShortdate", at most 20 characters
  int tlzero = 0;                     // "iTLZero"
  int time_format = 0;                // "iTime"
  char time_sep = ':';                // "sTime"
  std::string am = "AM";              // "s1159"
  std::string pm = "PM";              // "s2359"
  // Derived from short_date: three slots of d/D, m/M, y/Y and their separator;
  // the month-year order holds the month and year letters in picture order.
  char date_slots[3] = {'m', 'd', 'y'};
  char date_sep = '/';
  char month_year[2] = {'m', 'y'};
};

// Fills date_slots, date_sep and month_year of r from a short-date picture,
// or the defaults (m d y, "/", month first) when the picture does not name
// three slots with a separator.
void derive_date_order(std::string_view picture, Regional& r);

// The separator characters that cannot serve as a decimal separator (digits,
// signs, exponent letters, blanks and control characters) are refused.
bool usable_decimal_separator(char c);

// The module-wide settings, set at start-up; panes format with these.
const Regional& regional();
void set_regional(const Regional& r);

}  // namespace ztq
