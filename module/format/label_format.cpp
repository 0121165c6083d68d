// Decimals from the largest magnitude: d = digits - 1 - floor(log10 max|v|).
#include "format/label_format.h"

#include <algorithm>
#include <cmath>

#include "format/numfmt.h"
#include "format/regional.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

}  // namespace

LabelFormat::LabelFormat(const std::vector<double>& values, int digits)
    : digits_(std::clamp(digits, 1, 15)) {
  double largest = 0;
  for (double v : values)
    if (present(v)) largest = std::max(largest, std::fabs(v));
  if (largest > 1e-12)
    decimals_ = std::clamp(digits_ - 1 - static_cast<int>(std::floor(std::log10(largest))), 0, 12);
}

std::string LabelFormat::operator()(double v) const {
  if (!present(v)) return {};
  std::string s = format_fixed(v, 30, decimals_);
  if (s.find('*') != std::string::npos) return format_sig(v, 30, digits_);
  s.erase(0, s.find_first_not_of(' '));
  const char sep = regional().decimal;
  if (s.find(sep) != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == sep) s.pop_back();
  }
  if (s == "-0" || s.empty()) s = "0";
  return s;
}

}  // namespace ztq
