// Dates in data-sheet cells. A date column holds day values: days of the
// proleptic Gregorian calendar with 1 = 1 January 1900 (the module's day
// serial), the time of day as the fraction of a day.
//
// Two written forms are read: ISO 8601 ("2024-03-31", "2024-03-31 08:15",
// "2024-03-31T08:15:30") and the regional short-date picture ("DD.MM.YYYY",
// "M/D/YY", ...), each optionally followed by a time hh:mm or hh:mm:ss.
// Two-digit years are widened to 1930-2029. Dates before 1900 or after 9999
// are no dates.
#ifndef QUALTY_HOST_SHEET_DATE_TEXT_H
#define QUALTY_HOST_SHEET_DATE_TEXT_H

#include <cstdint>
#include <string>
#include <string_view>

namespace qualty {

// The written form of a date; a column whose dates use two forms is text.
enum class DateForm : std::uint8_t { kNone, kIso, kRegional };

// The order of day, month and year in a short-date picture and its separator.
struct DatePicture {
  char order[3] = {'m', 'd', 'y'};  // 'd', 'm', 'y' in the picture's order
  char separator = '/';
};

// Scans the picture as the regional settings do: each run of d, m or y
// letters fills a slot and any other character separates slots; a picture
// without three slots and a separator gives the default M/D/YY order.
DatePicture date_picture(std::string_view short_date);

// Reads text (blanks around it ignored) as a date; kNone when it is none.
DateForm parse_date(std::string_view text, const DatePicture& picture, double& serial);

// The day serial of a calendar date (no range check) and back.
long long day_serial(int year, int month, int day);

// ISO 8601 text of a day value: "YYYY-MM-DD", with " hh:mm:ss" when the value
// holds a time of day. Empty when the value has no date (below 1, beyond 9999,
// not finite) or is not a whole number of seconds (it would not read back).
std::string format_iso_date(double serial);

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_DATE_TEXT_H
