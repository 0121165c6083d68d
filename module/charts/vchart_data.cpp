// Building the engine's input and the point labels from the analysis columns.
#include "charts/vchart_data.h"

#include <cmath>

#include "charts/chart_kind.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

enum Role { kData = 1, kSubgroup = 2, kSize = 3, kDispersion = 4 };

double at(std::span<const double> v, std::size_t i) { return i < v.size() ? v[i] : kMissing; }

double first_present(std::span<const double> v) {
  for (double x : v)
    if (!is_missing(x) && std::isfinite(x)) return x;
  return kMissing;
}

// One value throughout, a single row, or a single value with the rest empty:
// the fixed subgroup size s.
bool single_value(const VchartColumns& c, double* s) {
  if (!c.subgroup_given || c.subgroup_text || c.subgroup.empty()) return false;
  std::size_t present = 0;
  double v = kMissing;
  for (double x : c.subgroup)
    if (!is_missing(x) && std::isfinite(x)) v = x, ++present;
  if (present == 0 || v < 1.0 || v != std::floor(v)) return false;
  if (present == 1) {
    *s = v;
    return true;
  }
  for (double x : c.subgroup)
    if (x != v) return false;
  *s = v;
  return true;
}

// The labels of POINTS points, point p from sheet row ROW_OF(p): the label
// column's texts or values, else the subgroup column's texts or codes (not a
// fixed size), else the points' numbers.
template <class RowOf>
PointLabels labels_of(const VchartColumns& c, std::size_t points, RowOf row_of) {
  if (!c.row_labels.empty()) {
    std::vector<std::string> texts(points);
    for (std::size_t p = 0; p < points; ++p)
      if (const std::size_t row = row_of(p); row < c.row_labels.size())
        texts[p] = c.row_labels[row];
    return PointLabels(std::move(texts));
  }
  if (!c.row_label_values.empty()) {
    std::vector<double> values(points);
    for (std::size_t p = 0; p < points; ++p) values[p] = at(c.row_label_values, row_of(p));
    return PointLabels::values(std::move(values), c.row_label_type, true);
  }
  double s = 0;
  if (!c.subgroup_given || (!c.subgroup_text && single_value(c, &s)))
    return PointLabels::numbered(points);
  if (c.subgroup_text) {
    std::vector<std::string> texts(points);
    for (std::size_t p = 0; p < points; ++p)
      if (const std::size_t row = row_of(p); row < c.subgroup_labels.size())
        texts[p] = c.subgroup_labels[row];
    return PointLabels(std::move(texts));
  }
  // Codes 1, 2, 3, ... in order (the usual numbering of subgroups) read as the
  // points' own numbers: nothing kept per point.
  bool counting = c.subgroup_type == 'N';
  for (std::size_t p = 0; p < points && counting; ++p)
    counting = at(c.subgroup, row_of(p)) == static_cast<double>(p + 1);
  if (counting) return PointLabels::numbered(points);
  std::vector<double> codes(points);
  for (std::size_t p = 0; p < points; ++p) codes[p] = at(c.subgroup, row_of(p));
  return PointLabels::values(std::move(codes), c.subgroup_type);
}

}  // namespace

VchartData vchart_data(int code, bool statistics_entered, const VchartColumns& c) {
  VchartData out;
  ChartTraits t;
  if (!chart_traits(code, &t)) return out;
  const std::size_t rows = c.data.size();
  const bool subgrouped = t.family == ChartFamily::subgrouped;

  if (subgrouped && !statistics_entered) {
    std::vector<Subgroup> groups;
    double s = 0;
    if (c.wide_columns > 1) {
      groups = fixed_subgroups(rows, c.wide_columns);  // one subgroup a sheet row
    } else if (c.subgroup_given && c.subgroup_text) {
      groups = subgroups_from_labels(rows, c.subgroup_labels);
    } else if (c.subgroup_given) {
      groups = subgroups_from_codes(rows, c.subgroup);
    } else if (c.size_given && !is_missing(s = first_present(c.size))) {
      groups = fixed_subgroups(rows, s);
    } else {
      out.missing_role = kSubgroup;
      return out;
    }
    out.input = chart_input_from_raw(code, c.data, groups);
    const bool wide = c.wide_columns > 1;  // a subgroup is a sheet row
    out.labels =
        labels_of(c, groups.size(), [&](std::size_t g) { return wide ? g : groups[g].first_row; });
    out.groups = std::move(groups);
    return out;
  }

  std::vector<double> size;
  if (subgrouped || (t.family == ChartFamily::attribute && code != 7)) {
    double s = 0;
    if (c.size_given) {
      size.resize(rows);
      for (std::size_t i = 0; i < rows; ++i) size[i] = at(c.size, i);
    } else if (subgrouped && single_value(c, &s)) {
      size.assign(rows, s);
    } else {
      out.missing_role = kSize;
      return out;
    }
  }  // individuals and c charts: size 1 each, which the engine supplies
  std::vector<double> dispersion;
  if (subgrouped) {
    if (!c.dispersion_given) {
      out.missing_role = kDispersion;
      return out;
    }
    dispersion.resize(rows);
    for (std::size_t i = 0; i < rows; ++i) dispersion[i] = at(c.dispersion, i);
  }
  const bool individuals = t.family == ChartFamily::individuals;
  out.input = chart_input_from_statistics(
      code, individuals ? std::vector<double>() : std::vector<double>(c.data.begin(), c.data.end()),
      std::move(size), std::move(dispersion));
  if (individuals) {  // no copy: the observations, read in place, are the statistic
    out.input.observations = c.data;
    out.input.stat_is_observations = true;
    out.row_is_point = true;
  }
  const std::size_t per_row = c.wide_columns > 1 ? static_cast<std::size_t>(c.wide_columns) : 1;
  out.labels = labels_of(c, rows, [&](std::size_t i) { return i / per_row; });
  return out;
}

}  // namespace ztq
