#include "interpret/sentence.h"

#include <cmath>

#include "bridge/lifecycle.h"
#include "bridge/module_state.h"
#include "format/numfmt.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

constexpr int kField = 16;  // the field of every number in a sentence

// The significant digits of the host ("SignificantDigits", carried in the
// HostContext), 6 when there is none or it is absurd.
int significant_digits() {
  const HostContext* ctx = host_context();
  const int d = ctx != nullptr ? ctx->save_digits : 0;
  return d >= 1 && d <= 15 ? d : 6;
}

std::string trim(const std::string& s) {
  const size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

bool absent(double v) { return is_missing(v) || !std::isfinite(v); }

}  // namespace

std::string SentenceArg::format_value(double v) {
  if (absent(v)) return {};
  return trim(format_sig(v, kField, significant_digits()));
}

SentenceArg SentenceArg::fixed(double v, int decimals) {
  SentenceArg a;
  a.missing_ = absent(v);
  if (!a.missing_) a.text_ = trim(format_fixed(v, kField, decimals));
  // a value too wide for the field comes back as asterisks: say it with digits
  if (!a.missing_ && (a.text_.empty() || a.text_[0] == '*')) a.text_ = format_value(v);
  return a;
}

const std::string& sentence_format(int32_t number) { return module_state().strings.get(number); }

std::string fill_sentence(const std::string& format, std::initializer_list<SentenceArg> args) {
  std::string out;
  out.reserve(format.size() + 16 * args.size());
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out.push_back(c);
      continue;
    }
    const char conv = format[i + 1];
    if (conv == '%') {
      out.push_back('%');
      ++i;
    } else if (conv == 'd' || conv == 's') {
      if (next != args.end()) out += (next++)->text();
      ++i;
    } else {
      out.push_back(c);  // not a conversion of ours: kept as written
    }
  }
  return out;
}

bool say(Interpretation& out, int32_t number, std::initializer_list<SentenceArg> args) {
  for (const SentenceArg& a : args)
    if (a.missing()) return false;
  std::string s = fill_sentence(sentence_format(number), args);
  if (s.empty()) return false;  // a string the table lacks says nothing
  if (!out.text.empty() && out.text.back() != '\n') out.separator(" ");
  out.add(number, std::move(s));
  return true;
}

void end_line(Interpretation& out) {
  if (!out.text.empty() && out.text.back() != '\n') out.separator("\r\n");
}

}  // namespace ztq
