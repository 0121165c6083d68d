#include "format/regional.h"

#include <cctype>

namespace ztq {

namespace {
// Made on first use: the module's load hook sets it before the file's own
// static objects would have been initialised.
Regional& current() {
  static Regional r;
  return r;
}
}  // namespace

const Regional& regional() { return current(); }
void set_regional(const Regional& r) { current() = r; }

bool usable_decimal_separator(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u <= ' ' || u >= 0x7f) return false;
  if (std::isdigit(u) || std::isalpha(u)) return false;  // digits and exponent letters
  return c != '-' && c != '+';
}

void derive_date_order(std::string_view picture, Regional& r) {
  char slots[3] = {' ', ' ', ' '};
  char sep = '\0';
  int slot = 0;
  int year_letters = 0;
  std::string order;  // month and year letters in order of appearance, one per slot
  for (char c : picture) {
    switch (c) {
      case 'd':
      case 'D':
        slots[slot] = slots[slot] == 'd' ? 'D' : 'd';
        break;
      case 'm':
      case 'M':
        slots[slot] = slots[slot] == 'm' ? 'M' : 'm';
        break;
      case 'y':
      case 'Y':
        ++year_letters;  // two year letters give a two-digit year, more a four-digit one
        slots[slot] = year_letters <= 2 ? 'y' : 'Y';
        break;
      default:
        sep = c;
        if (slot < 2) ++slot;
        break;
    }
  }
  const bool complete =
      slot == 2 && sep != '\0' && slots[0] != ' ' && slots[1] != ' ' && slots[2] != ' ';
  if (!complete) {
    r.date_slots[0] = 'm';
    r.date_slots[1] = 'd';
    r.date_slots[2] = 'y';
    r.date_sep = '/';
    r.month_year[0] = 'm';
    r.month_year[1] = 'y';
    return;
  }
  for (int i = 0; i < 3; ++i) r.date_slots[i] = slots[i];
  r.date_sep = sep;
  int k = 0;
  for (char s : slots) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(s)));
    if ((lower == 'm' || lower == 'y') && k < 2) r.month_year[k++] = s;
  }
  if (k < 2) {  // a picture without month or year keeps the default month-year order
    r.month_year[0] = 'm';
    r.month_year[1] = 'y';
  }
}

}  // namespace ztq
