#include "host/sheet/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace qualty {
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equals_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// Texts that mean "no observation" in files written by spreadsheets, R and
// numeric libraries. A quality engineer's NaN is a missing reading, and an
// infinite value is never a measurement, so both become the missing value.
bool is_no_value_word(std::string_view t) {
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
  for (std::string_view word : {"nan", "inf", "infinity", "na", "#n/a"})
    if (equals_nocase(t, word)) return true;
  return false;
}

}  // namespace

std::string_view trim_right(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

NumberText classify_number(std::string_view text, double& value) {
  std::string_view t = trim_blanks(text);
  if (t.empty()) return NumberText::kEmpty;
  if (t.front() == '+' && t.size() > 1 && t[1] != '-' && t[1] != '+') t.remove_prefix(1);
  double v = 0;
  const char* end = t.data() + t.size();
  const auto [ptr, ec] = std::from_chars(t.data(), end, v, std::chars_format::general);
  if (ptr == end && ec == std::errc()) {
    if (!std::isfinite(v)) return NumberText::kNoValue;
    value = v;
    return NumberText::kNumber;
  }
  if (ptr == end && ec == std::errc::result_out_of_range) {
    // The text is a number beyond the range of a double: an underflow reads
    // as the nearest double (strtod gives it), an overflow as no value.
    const std::string copy(t);
    const double approx = std::strtod(copy.c_str(), nullptr);
    if (!std::isfinite(approx) || std::fabs(approx) > 1.0) return NumberText::kNoValue;
    value = approx;
    return NumberText::kNumber;
  }
  return is_no_value_word(t) ? NumberText::kNoValue : NumberText::kNotNumber;
}

std::string format_number(double value) {
  if (!std::isfinite(value)) return std::string();  // a non-finite number is a missing cell
  char buffer[32];
  const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return std::string();
  return std::string(buffer, ptr);
}

}  // namespace qualty
