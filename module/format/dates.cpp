#include "format/dates.h"

#include <cmath>
#include <cstdio>

#include "stats/guarded.h"

namespace ztq {

namespace {

constexpr long long kEpochShift = 693900;  // days from 0000-03-01 to 1899-12-31

long long days_from_civil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;  // days since 0000-03-01
}

std::string field(char slot, int value) {
  char buf[16];
  switch (slot) {
    case 'D':
    case 'M':
      std::snprintf(buf, sizeof buf, "%02d", value);
      break;
    case 'y':
      std::snprintf(buf, sizeof buf, "%02d", value % 100);
      break;
    case 'Y':
      std::snprintf(buf, sizeof buf, "%04d", value);
      break;
    default:
      std::snprintf(buf, sizeof buf, "%d", value);
      break;
  }
  return buf;
}

int pick(char slot, const CivilDate& c) {
  switch (slot) {
    case 'd':
    case 'D':
      return c.day;
    case 'm':
    case 'M':
      return c.month;
    default:
      return c.year;
  }
}

constexpr double kLastSerial = 2958465.0;  // 31 December 9999

}  // namespace

long long serial_from_civil(const CivilDate& d) {
  return days_from_civil(d.year, d.month, d.day) - kEpochShift;
}

// Hinnant (2013): civil_from_days, shifted to the serial epoch.
CivilDate civil_from_serial(long long serial) {
  const long long z = serial + kEpochShift;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long d = doy - (153 * mp + 2) / 5 + 1;
  const long long m = mp < 10 ? mp + 3 : mp - 9;
  const long long y = yoe + era * 400 + (m <= 2);
  return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

std::string format_day(double serial, const Regional& r) {
  if (is_missing(serial) || !std::isfinite(serial) || serial < 1 || serial > kLastSerial) return {};
  const CivilDate c = civil_from_serial(static_cast<long long>(std::floor(serial)));
  std::string out;
  for (int i = 0; i < 3; ++i) {
    if (i) out.push_back(r.date_sep);
    out += field(r.date_slots[i], pick(r.date_slots[i], c));
  }
  return out;
}

std::string format_month(double serial_month, const Regional& r) {
  if (is_missing(serial_month) || !std::isfinite(serial_month) || serial_month < 1 ||
      serial_month > 12.0 * 8100)
    return {};
  const auto m0 = static_cast<long long>(std::floor(serial_month)) - 1;
  const CivilDate c{static_cast<int>(1900 + m0 / 12), static_cast<int>(m0 % 12 + 1), 1};
  std::string out = field(r.month_year[0], pick(r.month_year[0], c));
  out.push_back(r.date_sep);
  out += field(r.month_year[1], pick(r.month_year[1], c));
  return out;
}

}  // namespace ztq
