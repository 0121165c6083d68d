// The table of chart-type codes.
#include "charts/chart_kind.h"

namespace ztq {
namespace {

using F = ChartFamily;
using B = SigmaBasis;
using K = ChartKind;

constexpr ChartTraits kTraits[kChartCodeCount] = {
    {0, F::subgrouped, B::range, K::plain, true, true},
    {1, F::subgrouped, B::standard_deviation, K::plain, true, true},
    {2, F::subgrouped, B::pooled_variance, K::plain, true, true},
    {3, F::individuals, B::moving_range, K::plain, true, true},
    {4, F::attribute, B::binomial_proportion, K::plain, false, true},
    {5, F::attribute, B::binomial_count, K::plain, false, true},
    {6, F::attribute, B::poisson_rate, K::plain, false, true},
    {7, F::attribute, B::poisson_count, K::plain, false, true},
    {8, F::individuals, B::moving_range, K::moving_average, true, true},
    {9, F::individuals, B::moving_range, K::ewma, true, true},
    {10, F::individuals, B::moving_range, K::cusum, true, true},
    {11, F::subgrouped, B::range, K::moving_average, true, true},
    {12, F::subgrouped, B::range, K::ewma, true, true},
    {13, F::subgrouped, B::range, K::cusum, true, true},
    {14, F::subgrouped, B::range, K::decision_cusum, true, true},
    {15, F::individuals, B::moving_range, K::decision_cusum, true, true},
    {16, F::subgrouped, B::range, K::model, true, true},
    {17, F::individuals, B::moving_range, K::model, true, true},
    {18, F::subgrouped, B::range, K::trend, true, true},
    {19, F::individuals, B::moving_range, K::trend, true, true},
    {20, F::subgrouped, B::standard_deviation, K::acceptance, true, true},
    {21, F::individuals, B::moving_range, K::acceptance, true, true},
};

}  // namespace

bool chart_traits(int code, ChartTraits* out) {
  if (code < 0 || code >= kChartCodeCount) return false;
  *out = kTraits[code];
  return true;
}

}  // namespace ztq
