// Numbers as the data sheet reads and writes them: decimal text with a point,
// -32768 for a missing value, shortest round-trip output.
#ifndef QUALTY_HOST_SHEET_NUMBER_TEXT_H
#define QUALTY_HOST_SHEET_NUMBER_TEXT_H

#include <string>
#include <string_view>

namespace qualty {

inline constexpr double kMissing = -32768.0;  // the missing value of every numeric column

// What a cell's text holds.
enum class NumberText {
  kNumber,    // a finite number (-32768 among them, which reads as missing)
  kEmpty,     // nothing but blanks
  kNoValue,   // NaN, inf, -inf, NA, #N/A or a number too large for a double:
              // no observation, read as missing
  kNotNumber  // anything else (text)
};

// Classifies text and, for kNumber, stores the value. Blanks and tabs around
// the number are ignored; a leading '+' is accepted; the decimal separator is
// the point. Never stores a NaN or an infinite value.
NumberText classify_number(std::string_view text, double& value);

// Shortest text that reads back as the same double ("1.5", "-0.1", "1e+300").
std::string format_number(double value);

// Text with trailing blanks removed.
std::string_view trim_right(std::string_view text);

// Text with leading and trailing blanks and tabs removed.
std::string_view trim_blanks(std::string_view text);

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_NUMBER_TEXT_H
