// Scratch formatting of one interpretation sentence at a time.
//
// A sentence is a numbered string of the string table used as a format:
// each "%d" or "%s" takes the next argument ("%%" is a percent sign), so a
// translated text that reorders or drops a conversion never reads past the
// arguments. Integers are written as integers; numbers pass through the
// shared significant-digits format in a field of 16 characters (blanks
// trimmed); texts are inserted as they are.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "interpret/interpret.h"

namespace ztq {

class SentenceArg {
 public:
  template <std::integral T>
  SentenceArg(T v) : text_(std::to_string(static_cast<long long>(v))) {}
  template <std::floating_point T>
  SentenceArg(T v) : text_(format_value(static_cast<double>(v))), missing_(text_.empty()) {}
  SentenceArg(const char* s) : text_(s != nullptr ? s : "") {}
  SentenceArg(std::string s) : text_(std::move(s)) {}

  // A number with DECIMALS fixed decimals instead of significant digits.
  static SentenceArg fixed(double v, int decimals);

  // A number that is missing or not finite: the sentence is not said.
  bool missing() const { return missing_; }
  const std::string& text() const { return text_; }

  // The shared significant-digits format in a field of 16, blanks trimmed;
  // "" for a missing or non-finite value.
  static std::string format_value(double v);

 private:
  SentenceArg() = default;
  std::string text_;
  bool missing_ = false;
};

// The text of string NUMBER ("" when the table lacks it).
const std::string& sentence_format(int32_t number);

// FORMAT with its conversions filled from ARGS, in order; a conversion with
// no argument left becomes empty.
std::string fill_sentence(const std::string& format, std::initializer_list<SentenceArg> args);

// Appends sentence NUMBER filled with ARGS, parted by a blank from a sentence
// before it on the same line. A missing number among ARGS suppresses the
// sentence (nothing is added or listed): the result is then false.
bool say(Interpretation& out, int32_t number, std::initializer_list<SentenceArg> args = {});

// Ends the current line of the interpretation (nothing at its very start or
// after a line end already).
void end_line(Interpretation& out);

// The number of the sentence that an analysis in an error state gets instead
// of its interpretation ("%s": the message of the error state).
inline constexpr int32_t kSentenceErrorState = 44000;

}  // namespace ztq
