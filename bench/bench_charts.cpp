// X-bar/R chart with all six runs rules over 10^5, 10^6 and 10^7 observations
// in subgroups of 5: subgroup statistics, estimates, per-point limits, rules.
// The smoothed, cumulative and model charts of individuals over the same sizes:
// every recursion is one pass.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "charts/cusum.h"
#include "charts/engine.h"
#include "charts/runs_rules.h"
#include "charts/smoothers.h"
#include "charts/tabular_cusum.h"

namespace {

// Deterministic observations: a 64-bit linear congruential generator (Knuth's
// MMIX constants), its top bits scaled to [0, 1), summed in threes for a
// roughly bell-shaped spread about 10.
std::vector<double> observations(std::size_t n) {
  std::vector<double> x(n);
  std::uint64_t s = 12345;
  auto next = [&s] {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(s >> 11) / 9007199254740992.0;
  };
  for (double& v : x) v = 10.0 + (next() + next() + next() - 1.5);
  return x;
}

void BM_XbarRAllRules(benchmark::State& state) {
  const std::size_t n = static_cast<std::size_t>(state.range(0));
  const std::vector<double> x = observations(n);
  ztq::ChartOptions o = ztq::default_chart_options();
  for (int r = 10; r <= 15; ++r) o.option[r] = 1;  // all six rules
  for (auto _ : state) {
    const ztq::ChartInput in = ztq::chart_input_from_raw(0, x, ztq::fixed_subgroups(n, 5));
    const ztq::ChartResults r = ztq::compute_chart(in, o);
    benchmark::DoNotOptimize(r.limits.ucl1);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}
BENCHMARK(BM_XbarRAllRules)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);

// Individuals charts of code CODE (8, 9, 10, 15, 17) with the four smoother lines on.
void BM_Individuals(benchmark::State& state, int code) {
  const std::size_t n = static_cast<std::size_t>(state.range(0));
  const std::vector<double> x = observations(n);
  ztq::ChartOptions o = ztq::default_chart_options();
  for (int line : {33, 35, 43, 45}) o.option[line] = 1;
  for (auto _ : state) {
    const ztq::ChartResults r = ztq::compute_chart(ztq::chart_input_from_raw(code, x, {}), o);
    benchmark::DoNotOptimize(r.series.stat1.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}
BENCHMARK_CAPTURE(BM_Individuals, moving_average, 8)
    ->Arg(100000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Individuals, ewma, 9)
    ->Arg(100000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Individuals, cusum, 10)
    ->Arg(100000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Individuals, decision, 15)
    ->Arg(100000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Individuals, model, 17)
    ->Arg(100000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);

// The recursions alone, one pass each over 10^7 points: moving average, EWMA,
// cumulative sum and the decision-interval sums (output buffers kept between
// iterations, as a chart that is recomputed keeps its blocks).
void BM_Recursion(benchmark::State& state, int which) {
  const std::size_t n = static_cast<std::size_t>(state.range(0));
  const std::vector<double> x = observations(n);
  const ztq::Marks excluded(n, 0);
  const std::vector<double> s(n, 0.5);
  std::vector<double> out(n), out2(n);
  ztq::DecisionParameters p;
  for (auto _ : state) {
    double dev = 0;
    switch (which) {
      case 0:
        ztq::moving_average(x, excluded, 0, n, 9, 10.0, &out);
        break;
      case 1:
        ztq::ewma(x, excluded, 0, n, 0.2, 10.0, &out);
        break;
      case 2:
        ztq::cumulative_sum(x, excluded, 0, n, 10.0, &out, &dev);
        break;
      default: {
        ztq::PageSums sums(p);
        for (std::size_t i = 0; i < n; ++i)
          sums.next(x[i], s[i], 10.0, excluded[i] != 0, &out[i], &out2[i]);
        break;
      }
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::DoNotOptimize(dev);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}
// The six runs rules alone over one chart of individuals with constant lines.
void BM_RunsRules(benchmark::State& state) {
  const std::size_t n = static_cast<std::size_t>(state.range(0));
  const std::vector<double> x = observations(n);
  ztq::ChartOptions o = ztq::default_chart_options();
  for (int r = 10; r <= 15; ++r) o.option[r] = 1;  // all six rules
  ztq::PointLine cl, ucl, lcl;
  cl.assign(n, 10.0), ucl.assign(n, 11.5), lcl.assign(n, 8.5);
  const ztq::RulesChart chart{x, &cl, &ucl, &lcl, 3.0, -3.0, false};
  std::vector<std::uint16_t> flags(n, 0);
  for (auto _ : state) {
    ztq::apply_runs_rules(chart, {}, o, 0, &flags);
    benchmark::DoNotOptimize(flags.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}
BENCHMARK(BM_RunsRules)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_Recursion, moving_average, 0)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Recursion, ewma, 1)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Recursion, cumulative_sum, 2)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Recursion, decision_sums, 3)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
