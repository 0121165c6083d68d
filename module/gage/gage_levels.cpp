#include "gage/gage_levels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "stats/guarded.h"

namespace ztq {

namespace {

std::string fit(std::string s) {
  s.resize(kLevelTextWidth, ' ');
  return s;
}

bool blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

std::string number_text(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

}  // namespace

// One stable sort of the row indices, then a walk that opens a new code at
// every change of value (Knuth, TAOCP vol. 3, 5.2: sorting by key).
GageLevels code_levels(const GageColumn& column) {
  GageLevels out;
  const size_t n = column.rows();
  out.code.assign(n, kNoLevel);
  std::vector<size_t> order;
  order.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const bool missing = column.character ? blank(column.texts[i]) : is_missing(column.numbers[i]);
    if (!missing && (column.character || !std::isnan(column.numbers[i]))) order.push_back(i);
  }
  if (column.character) {
    // Trailing blanks are the field's padding, not part of the identifier.
    std::vector<std::string> keys(n);
    for (size_t i : order) {
      const std::string& t = column.texts[i];
      keys[i] = t.substr(0, t.find_last_not_of(' ') + 1);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    for (size_t k = 0; k < order.size(); ++k) {
      const size_t i = order[k];
      if (k == 0 || keys[i] != keys[order[k - 1]]) out.labels.push_back(fit(keys[i]));
      out.code[i] = out.count();
    }
  } else {
    const auto& v = column.numbers;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return v[a] < v[b]; });
    for (size_t k = 0; k < order.size(); ++k) {
      const size_t i = order[k];
      if (k == 0 || v[i] != v[order[k - 1]]) out.labels.push_back(fit(number_text(v[i])));
      out.code[i] = out.count();
    }
  }
  return out;
}

}  // namespace ztq
