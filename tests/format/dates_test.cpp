#include "format/dates.h"

#include <gtest/gtest.h>

namespace ztq {
namespace {

TEST(DateOrder, FromShortDatePicture) {
  struct Row {
    const char* picture;
    const char* slots;  // three slot letters
    char sep;
    const char* month_year;
  };
  const Row rows[] = {
      {"DD.MM.YYYY", "DMY", '.', "MY"},
      {"M/D/YY", "mdy", '/', "my"},
      {"YYYY-MM-DD", "YMD", '-', "YM"},
      {"d/M/yy", "dmy", '/', "my"},  // one letter of either case: no leading zero
      {"MMDDYY", "mdy", '/', "my"},  // no separator: the defaults
      {"DD.MM", "mdy", '/', "my"},   // two slots only: the defaults
      {"", "mdy", '/', "my"},
  };
  for (const Row& r : rows) {
    Regional reg;
    derive_date_order(r.picture, reg);
    EXPECT_EQ(std::string(reg.date_slots, 3), r.slots) << r.picture;
    EXPECT_EQ(reg.date_sep, r.sep) << r.picture;
    EXPECT_EQ(std::string(reg.month_year, 2), r.month_year) << r.picture;
  }
}

TEST(DayValues, SerialDaysOfTheProlepticCalendar) {
  Regional dmy;
  derive_date_order("DD.MM.YYYY", dmy);
  struct Row {
    double serial;
    const char* text;
    const char* why;
  };
  const Row rows[] = {
      {1, "01.01.1900", "day 1 of the convention"},
      {59, "28.02.1900", "31 days of January + 28"},
      {60, "01.03.1900", "1900 is not a leap year"},
      {36525, "01.01.2000", "1 + 100 x 365 + 24 leap days"},
      {36584, "29.02.2000", "36525 + 31 + 28: 2000 is a leap year"},
      {36584.75, "29.02.2000", "the time of day is dropped"},
  };
  for (const Row& r : rows) EXPECT_EQ(format_day(r.serial, dmy), r.text) << r.why;
  Regional mdy;  // the default "M/D/YY"
  derive_date_order("M/D/YY", mdy);
  EXPECT_EQ(format_day(36584, mdy), "2/29/00");
  for (double bad : {0.0, -5.0, -32768.0, 1e12}) EXPECT_EQ(format_day(bad, mdy), "") << bad;
  for (long long s : {1LL, 59LL, 60LL, 36525LL, 73050LL, 2958465LL})
    EXPECT_EQ(serial_from_civil(civil_from_serial(s)), s);
}

TEST(MonthValues, MonthYearOrder) {
  Regional dmy;
  derive_date_order("DD.MM.YYYY", dmy);
  EXPECT_EQ(format_month(1, dmy), "01.1900");
  EXPECT_EQ(format_month(1201, dmy), "01.2000") << "100 years of 12 months after month 1";
  Regional mdy;
  derive_date_order("M/D/YY", mdy);
  EXPECT_EQ(format_month(1212, mdy), "12/00");
  Regional ymd;
  derive_date_order("YYYY-MM-DD", ymd);
  EXPECT_EQ(format_month(1212, ymd), "2000-12");
}

}  // namespace
}  // namespace ztq
