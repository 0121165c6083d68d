// Day and month values of date-typed columns.
//
// Serial convention: a day value counts days of the proleptic Gregorian
// calendar with day 1 = 1 January 1900 (so 2 January 1900 is 2 and
// 1 January 2000 is 36525); a month value counts months with 1 = January 1900.
// Values below 1 or beyond year 9999 have no date and format as "".
#pragma once

#include <string>

#include "format/regional.h"

namespace ztq {

struct CivilDate {
  int year;
  int month;  // 1..12
  int day;    // 1..31
};

// Hinnant (2013), "chrono-compatible low-level date algorithms": days_from_civil.
long long serial_from_civil(const CivilDate& d);
CivilDate civil_from_serial(long long serial);

// A day value in the three-slot date order with its separator ("12/31/99",
// "31.12.1999"): d and m without, D and M with a leading zero, y two-digit and
// Y four-digit year.
std::string format_day(double serial, const Regional& r = regional());

// A month value in the month-year order with the date separator ("12/99").
std::string format_month(double serial_month, const Regional& r = regional());

}  // namespace ztq
