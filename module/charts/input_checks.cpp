// Input checks of the control charts.
#include "charts/input_checks.h"

#include <cmath>
#include <cstddef>
#include <span>

#include "charts/chart_messages.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr double kLargestTabulatedSize = 25.0;  // the factor tables end at n = 25

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

double rounded(double v) { return std::floor(v + 0.5); }  // add 0.5 and truncate

}  // namespace

int check_subgroup_sizes(const ChartTraits& t, const PointLine& size) {
  if (t.family != ChartFamily::subgrouped) return 0;
  const bool wide_ok =
      t.basis == SigmaBasis::standard_deviation || t.basis == SigmaBasis::pooled_variance;
  int wide = 0;
  for (std::size_t i = 0; i < size.size(); ++i) {
    const double n = size[i];
    if (!present(n)) continue;
    const double r = rounded(n);
    if (r < 2.0) return kMsgSizeBelowTwo;
    if (r > kLargestTabulatedSize && !wide_ok) wide = kMsgSizeAboveTable;
  }
  return wide;
}

int check_attribute_values(const ChartTraits& t, std::span<const double> stat,
                           const PointLine& size) {
  if (t.family != ChartFamily::attribute) return 0;
  double lowest = 0.0, highest = 0.0;
  bool any = false;
  for (double v : stat) {
    if (!present(v)) continue;
    lowest = any ? std::fmin(lowest, v) : v;
    highest = any ? std::fmax(highest, v) : v;
    any = true;
  }
  if (!any) return 0;
  if (lowest < 0.0) return kMsgNegativeStatistic;
  if (t.basis == SigmaBasis::binomial_proportion && highest > 1.0) return kMsgProportionAboveOne;
  const bool counts = t.basis == SigmaBasis::binomial_count || t.basis == SigmaBasis::poisson_count;
  if (!counts) return 0;
  for (double v : stat) {
    if (present(v) && v != std::floor(v)) return kMsgCountNotWhole;
  }
  if (t.basis != SigmaBasis::binomial_count) return 0;
  for (std::size_t i = 0; i < stat.size() && i < size.size(); ++i) {
    if (present(stat[i]) && present(size[i]) && rounded(stat[i]) > rounded(size[i])) {
      return kMsgCountAboveSize;
    }
  }
  return 0;
}

}  // namespace ztq
