// The T-squared chart's results as JSON members, its saved series, and the
// small text helpers of its glue.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bridge/json.h"
#include "format/dates.h"
#include "multivariate/mv_family.h"
#include "multivariate/mv_strings.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

std::string rows_of(const std::vector<double>& m, int32_t p) {
  std::string out = "[";
  for (int32_t i = 0; i < p; ++i) {
    const auto begin = m.begin() + static_cast<std::ptrdiff_t>(i) * p;
    out +=
        (i > 0 ? "," : "") + json_numbers(std::span<const double>(&*begin, static_cast<size_t>(p)));
  }
  return out + "]";
}

template <class T>
std::string flags_of(const std::vector<T>& v) {
  std::string out = "[";
  out.reserve(v.size() * 2 + 2);
  for (size_t i = 0; i < v.size(); ++i) {
    if (i > 0) out += ',';
    out += v[i] != 0 ? '1' : '0';
  }
  return out + "]";
}

std::string trimmed_right(const std::string& s) {
  const size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

}  // namespace

std::vector<std::string> split_variables(const std::string& expression) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= expression.size()) {
    size_t end = expression.find(';', start);
    if (end == std::string::npos) end = expression.size();
    const std::string part = expression.substr(start, end - start);
    const size_t b = part.find_first_not_of(" \t");
    if (b != std::string::npos) out.push_back(part.substr(b, part.find_last_not_of(" \t") - b + 1));
    start = end + 1;
  }
  return out;
}

std::string label_text(double v, int32_t type) {
  if (is_missing(v) || !std::isfinite(v)) return {};
  if (type == 'M') return format_month(v);
  if (type != 'N' && type != 'C' && type != 0) {
    const std::string d = format_day(v);
    if (!d.empty()) return d;
  }
  char buf[40];
  if (v == std::floor(v) && std::fabs(v) < 1e15)
    std::snprintf(buf, sizeof buf, "%.0f", v);
  else
    std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

std::string mv_results_json(const MvState& s) {
  const MvResults& r = s.results;
  JsonObject o;
  o.add_number("points", r.points);
  o.add_number("n", r.n);
  o.add_number("p", r.p);
  o.add_number("excluded_count", r.excluded_count);
  o.add_number("beyond_count", r.beyond_count);
  o.add_number("means_given", r.means_given ? 1 : 0);
  o.add_number("covariance_given", r.covariance_given ? 1 : 0);
  o.add_raw("complete", flags_of(r.complete));
  o.add_raw("excluded", flags_of(r.excluded));
  o.add_numbers("t2", r.t2);
  o.add_raw("beyond", flags_of(r.beyond));
  std::vector<std::string> labels;
  labels.reserve(s.labels.size());
  for (const std::string& l : s.labels) labels.push_back(trimmed_right(l));
  o.add_raw("labels", json_strings(labels));
  o.add_numbers("means", r.means);
  o.add_numbers("estimated_means", r.estimated_means);
  o.add_raw("covariance", rows_of(r.covariance, r.p));
  o.add_raw("inverse", rows_of(r.inverse, r.p));
  o.add_number("ucl", r.ucl);
  if (r.p == 2) {
    JsonObject e;
    e.add_number("mu1", r.means[0]);
    e.add_number("mu2", r.means[1]);
    e.add_number("s11", r.covariance[0]);
    e.add_number("s22", r.covariance[3]);
    e.add_number("s12", r.covariance[1]);
    e.add_number("ucl", r.ucl);
    e.add_number("m", 1);
    o.add_raw("ellipse", e.str());
  } else {
    o.add_raw("ellipse", "null");
  }
  std::string contributions = "[";
  for (int32_t i = 0; i < r.points; ++i) {
    if (i > 0) contributions += ',';
    const auto c = r.contributions_of(i);
    contributions += c.empty() ? "null" : json_numbers(c);
  }
  o.add_raw("contributions", contributions + "]");
  return o.members();
}

// T-squared per point, the mean vector, the covariance matrix in column
// order; each padded with missing values to the longest.
std::vector<SavedSeries> mv_saved_series(const MvResults& r) {
  const auto p = static_cast<size_t>(r.p);
  std::vector<SavedSeries> out(3);
  out[0].name = text(mvs::kSaveT2);
  out[0].values = r.t2;
  out[1].name = text(mvs::kSaveMeans);
  out[1].values = r.means;
  out[2].name = text(mvs::kSaveCovariance);
  for (size_t col = 0; col < p; ++col)
    for (size_t row = 0; row < p; ++row) out[2].values.push_back(r.covariance[row * p + col]);
  size_t longest = 0;
  for (const SavedSeries& s : out) longest = std::max(longest, s.values.size());
  for (SavedSeries& s : out) s.values.resize(longest, kMissing);
  return out;
}

}  // namespace ztq
