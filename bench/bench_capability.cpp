// The capability analysis of 10^6 observations: the whole computation (gather,
// checks, descriptive statistics, fit, percentages, indices, intervals) and
// panes 1, 2 and 6 for each distribution, CPU time; the logistic simplex's
// objective evaluations as a counter.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "bridge/module_state.h"
#include "capability/capability.h"
#include "capability/capable_panes.h"
#include "capability/pearson.h"

namespace {

// Positive, slightly skewed data (a gamma law with shape 20 around 100).
const std::vector<double>& million() {
  static const std::vector<double> x = [] {
    std::mt19937_64 gen(20261207);
    std::gamma_distribution<double> g(20.0, 5.0);
    std::vector<double> v(1000000);
    for (double& d : v) d = g(gen);
    return v;
  }();
  return x;
}

void BM_capability(benchmark::State& state) {
  ztq::module_startup(QUALTY_BENCH_BIN);
  ztq::CapabilityInput in;
  in.columns = {million()};
  in.usl = {true, 160};
  in.nominal = {true, 100};
  in.lsl = {true, 50};
  in.distribution = static_cast<int>(state.range(0));
  int evaluations = 0;
  for (auto _ : state) {
    const ztq::CapabilityResults r = ztq::compute_capability(in);
    ztq::CapPaneInfo info;
    info.data_name = "x";
    ztq::PearsonInput p{r.mean, r.sd, r.skewness, r.kurtosis, true, true, true, 160, 100, 50};
    const ztq::PearsonResults pr =
        ztq::pearson_capability(p, std::string(QUALTY_BENCH_BIN) + "/", '.');
    benchmark::DoNotOptimize(ztq::capability_summary_text(r, info));
    benchmark::DoNotOptimize(ztq::capability_indices_text(r, info));
    benchmark::DoNotOptimize(ztq::capability_pearson_text(r, pr, info));
    evaluations = r.fit_evaluations;
    if (r.status != 0) state.SkipWithError("the analysis failed");
  }
  state.counters["fit_evaluations"] = evaluations;
}

}  // namespace

BENCHMARK(BM_capability)
    ->ArgName("distribution")
    ->Arg(3)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(12)
    ->Arg(13)
    ->Arg(14)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Iterations(2);
