#include "host/sheet/date_text.h"

#include <cmath>
#include <cstdio>

namespace qualty {
namespace {

constexpr long long kEpochShift = 693900;  // days from 0000-03-01 to 1899-12-31
constexpr double kSecondsPerDay = 86400.0;

// Hinnant (2013), "chrono-compatible low-level date algorithms": days_from_civil.
long long days_from_civil(long long y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe;
}

// Hinnant (2013): civil_from_days.
void civil_from_days(long long z, int& year, int& month, int& day) {
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

bool leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leap(y) ? 29 : kDays[m - 1];
}

bool digit(char c) { return c >= '0' && c <= '9'; }

// Reads 1 to max_digits digits at t[i]; the count read goes to digits.
int number_at(std::string_view t, std::size_t& i, int max_digits, int& digits) {
  int v = 0;
  digits = 0;
  while (i < t.size() && digit(t[i]) && digits < max_digits) {
    v = v * 10 + (t[i] - '0');
    ++i;
    ++digits;
  }
  return v;
}

// The time of day after a date: "hh:mm" or "hh:mm:ss", as a fraction of a day.
bool time_at(std::string_view t, std::size_t i, double& fraction) {
  fraction = 0;
  if (i == t.size()) return true;
  if (t[i] != ' ' && t[i] != 'T') return false;
  ++i;
  int n = 0;
  const int h = number_at(t, i, 2, n);
  if (n == 0 || i >= t.size() || t[i] != ':') return false;
  ++i;
  const int m = number_at(t, i, 2, n);
  if (n != 2) return false;
  int s = 0;
  if (i < t.size() && t[i] == ':') {
    ++i;
    s = number_at(t, i, 2, n);
    if (n != 2) return false;
  }
  if (i != t.size() || h > 23 || m > 59 || s > 59) return false;
  fraction = (h * 3600.0 + m * 60.0 + s) / kSecondsPerDay;
  return true;
}

bool valid(int y, int m, int d) {
  return y >= 1900 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= days_in_month(y, m);
}

std::string_view trimmed(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

}  // namespace

long long day_serial(int year, int month, int day) {
  return days_from_civil(year, month, day) - kEpochShift;
}

DatePicture date_picture(std::string_view short_date) {
  DatePicture p;
  char slots[3] = {0, 0, 0};
  char separator = 0;
  int slot = 0;
  for (char c : short_date) {
    const char l = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (l == 'd' || l == 'm' || l == 'y') {
      slots[slot] = l;
    } else if (slot < 2) {
      separator = c;
      ++slot;
    }
  }
  const bool whole = slot == 2 && separator != 0 && slots[0] && slots[1] && slots[2] &&
                     slots[0] != slots[1] && slots[1] != slots[2] && slots[0] != slots[2];
  if (!whole) return p;
  for (int i = 0; i < 3; ++i) p.order[i] = slots[i];
  p.separator = separator;
  return p;
}

DateForm parse_date(std::string_view text, const DatePicture& picture, double& serial) {
  const std::string_view t = trimmed(text);
  if (t.size() < 5 || !digit(t[0])) return DateForm::kNone;
  int year = 0, month = 0, day = 0, n = 0;
  std::size_t i = 0;
  DateForm form = DateForm::kNone;
  if (t.size() >= 10 && t[4] == '-' && t[7] == '-') {  // ISO 8601: YYYY-MM-DD
    year = number_at(t, i, 4, n);
    if (n != 4) return DateForm::kNone;
    ++i;
    month = number_at(t, i, 2, n);
    if (n != 2) return DateForm::kNone;
    ++i;
    day = number_at(t, i, 2, n);
    if (n != 2) return DateForm::kNone;
    form = DateForm::kIso;
  } else {
    int parts[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
      if (k > 0) {
        if (i >= t.size() || t[i] != picture.separator) return DateForm::kNone;
        ++i;
      }
      const bool year_slot = picture.order[k] == 'y';
      parts[k] = number_at(t, i, year_slot ? 4 : 2, n);
      if (n == 0 || (year_slot && n != 2 && n != 4)) return DateForm::kNone;
      if (year_slot && n == 2) parts[k] += parts[k] < 30 ? 2000 : 1900;  // 1930-2029
    }
    for (int k = 0; k < 3; ++k) {
      if (picture.order[k] == 'y') year = parts[k];
      if (picture.order[k] == 'm') month = parts[k];
      if (picture.order[k] == 'd') day = parts[k];
    }
    form = DateForm::kRegional;
  }
  double fraction = 0;
  if (!valid(year, month, day) || !time_at(t, i, fraction)) return DateForm::kNone;
  serial = static_cast<double>(day_serial(year, month, day)) + fraction;
  return form;
}

std::string format_iso_date(double serial) {
  if (!std::isfinite(serial) || serial < 1 || serial >= 2958466.0) return {};  // to 9999-12-31
  const double whole = std::floor(serial);
  const double seconds = std::round((serial - whole) * kSecondsPerDay);
  if (whole + seconds / kSecondsPerDay != serial) return {};  // would not read back exactly
  int y = 0, m = 0, d = 0;
  civil_from_days(static_cast<long long>(whole) + kEpochShift, y, m, d);
  char buffer[32];
  const int s = static_cast<int>(seconds);
  if (s == 0)
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", y, m, d);
  else
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, s / 3600,
                  s / 60 % 60, s % 60);
  return buffer;
}

}  // namespace qualty
