// Point labels kept as the subgroup or label column gives them and formatted
// on demand.
#include "charts/point_labels.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "format/dates.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

bool is_date_type(char type) { return type != 'N' && type != 'C' && type >= 'A' && type <= 'Z'; }

// Writes the label of V into BUF and returns its end (BUF itself when empty):
// printf's %.0f for whole numbers below 10^15, %.10g otherwise, both through
// to_chars (which follows printf's rules for a given precision).
char* format_number(double v, char* buf, char* end) {
  if (is_missing(v) || !std::isfinite(v)) return buf;
  if (v == std::floor(v) && std::fabs(v) < 1e15) {
    char* p = buf;
    if (v == 0.0 && std::signbit(v)) *p++ = '-';  // printf's "-0"
    return std::to_chars(p, end, static_cast<long long>(v)).ptr;
  }
  return std::to_chars(buf, end, v, std::chars_format::general, 10).ptr;
}

std::size_t digits(std::size_t n) {
  std::size_t d = 1;
  while (n >= 10) n /= 10, ++d;
  return d;
}

}  // namespace

std::string label_of_number(double v) {
  char buf[40];
  return std::string(buf, format_number(v, buf, buf + sizeof buf));
}

std::string label_of_value(double v, char type) {
  if (is_date_type(type) && !is_missing(v)) {
    const std::string d = type == 'M' ? format_month(v) : format_day(v);
    if (!d.empty()) return d;  // a value without a date is shown as a number
  }
  return label_of_number(v);
}

PointLabels::PointLabels(std::vector<std::string> texts)
    : store_(std::make_shared<Store>(Store{std::move(texts), {}, 'N', false, 0})) {}

PointLabels::PointLabels(std::initializer_list<std::string> texts)
    : PointLabels(std::vector<std::string>(texts)) {}

PointLabels PointLabels::values(std::vector<double> values, char type, bool blank_missing) {
  PointLabels l;
  l.store_ = std::make_shared<Store>(Store{{}, std::move(values), type, blank_missing, 0});
  return l;
}

PointLabels PointLabels::numbered(std::size_t n) {
  PointLabels l;
  l.store_ = std::make_shared<Store>(Store{{}, {}, 'N', false, n});
  return l;
}

std::size_t PointLabels::size() const {
  if (!store_) return 0;
  return std::max({store_->texts.size(), store_->values.size(), store_->numbered});
}

void PointLabels::write(std::size_t i, std::string& text) const {
  const bool has_value = store_ && i < store_->values.size();
  char buf[40];
  if (store_ && i < store_->texts.size()) {
    text = store_->texts[i];
  } else if (has_value && !is_missing(store_->values[i])) {
    const double v = store_->values[i];
    if (is_date_type(store_->type))
      text = label_of_value(v, store_->type);
    else
      text.assign(buf, format_number(v, buf, buf + sizeof buf));
  } else if (has_value && store_->blank_missing) {
    text.clear();
  } else {
    text.assign(buf, std::to_chars(buf, buf + sizeof buf, i + 1).ptr);
  }
}

std::size_t PointLabels::longest(std::size_t cap) const {
  if (!store_) return 0;
  std::size_t most = 0;
  for (const std::string& s : store_->texts)
    if ((most = std::max(most, s.size())) >= cap) return cap;
  const bool dates = is_date_type(store_->type);
  char buf[40];
  for (std::size_t i = 0; i < store_->values.size(); ++i) {
    const double v = store_->values[i];
    std::size_t len = 0;
    if (is_missing(v))
      len = store_->blank_missing ? 0 : digits(i + 1);
    else if (dates)
      len = label_of_value(v, store_->type).size();
    else
      len = static_cast<std::size_t>(format_number(v, buf, buf + sizeof buf) - buf);
    if ((most = std::max(most, len)) >= cap) return cap;
  }
  if (store_->numbered > 0) most = std::max(most, digits(store_->numbered));
  return std::min(most, cap);
}

}  // namespace ztq
