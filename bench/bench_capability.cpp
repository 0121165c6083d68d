// The capability analysis of 10^6 observations: the whole computation (gather,
// checks, descriptive statistics, fit, percentages, indices, intervals) and
// panes 1, 2 and 6 for each distribution, CPU time; the logistic simplex's
// objective evaluations as a counter. Then all nine panes of the analysis as
// the procedure builds them (tests for normality, goodness of fit, both
// tolerance limits, the capability and probability plots described and drawn
// to SVG), against a budget of 2 s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <vector>

#include "bridge/graph_builder.h"
#include "bridge/module_state.h"
#include "capability/capability.h"
#include "capability/capable_graphs.h"
#include "capability/capable_panes.h"
#include "capability/capable_test_panes.h"
#include "capability/goodness.h"
#include "capability/normality.h"
#include "capability/pearson.h"
#include "capability/tolerance.h"
#include "host/graph/graph_file.h"

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

// The nine panes of one analysis, each step as the procedure takes it.
void BM_capability_nine_panes(benchmark::State& state) {
  ztq::module_startup(QUALTY_BENCH_BIN);
  ztq::CapabilityInput in;
  in.columns = {million()};
  in.usl = {true, 160};
  in.nominal = {true, 100};
  in.lsl = {true, 50};
  in.distribution = static_cast<int>(state.range(0));
  double slowest = 0;
  size_t svg_bytes = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const ztq::CapabilityResults r = ztq::compute_capability(in);
    if (r.status != 0) state.SkipWithError("the analysis failed");
    // Sorted once for the tests, the limits and the probability plot, as the procedure does.
    std::vector<double> sorted = r.data;
    std::sort(sorted.begin(), sorted.end());
    const ztq::NormalityResults t = ztq::normality_tests(sorted);
    const ztq::GofResults fit = ztq::goodness_of_fit(sorted, r.distribution, r.param, r.sd, {});
    const ztq::NormalTolerance tn = ztq::normal_tolerance(r.n, r.mean, r.sd, true, true, 99.73, 95);
    const ztq::NonparametricTolerance tf = ztq::nonparametric_tolerance(sorted, 1, true, 0, 95);
    ztq::CapPaneInfo info;
    info.data_name = "x";
    ztq::PearsonInput p{r.mean, r.sd, r.skewness, r.kurtosis, true, true, true, 160, 100, 50};
    const ztq::PearsonResults pr =
        ztq::pearson_capability(p, std::string(QUALTY_BENCH_BIN) + "/", '.');
    benchmark::DoNotOptimize(ztq::capability_summary_text(r, info));
    benchmark::DoNotOptimize(ztq::capability_indices_text(r, info));
    benchmark::DoNotOptimize(ztq::capability_normality_text(t, info));
    benchmark::DoNotOptimize(ztq::capability_fit_text(fit, info));
    benchmark::DoNotOptimize(ztq::capability_normal_tolerance_text(r, tn, info));
    benchmark::DoNotOptimize(ztq::capability_pearson_text(r, pr, info));
    benchmark::DoNotOptimize(ztq::capability_free_tolerance_text(r, tf, info));
    ztq::CapGraphInfo g_info;
    g_info.pane = info;
    g_info.sorted = &sorted;
    svg_bytes = 0;
    for (int pane : {8, 9}) {
      ztq::GraphBuilder g;
      if (pane == 8)
        ztq::capability_plot(r, fit, g_info, g);
      else
        ztq::probability_plot(r, g_info, g);
      ZtGraphDescriptor d{};
      g.finish(d);
      svg_bytes += qualty::render_svg(qualty::copy_graph(d)).size();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    slowest = std::max(slowest, seconds);
  }
  state.counters["slowest_s"] = slowest;
  state.counters["budget_s"] = 2.0;
  state.counters["within_budget"] = slowest < 2.0 ? 1 : 0;
  state.counters["svg_kB"] = static_cast<double>(svg_bytes) / 1e3;
}

// Every distribution the capability procedure fits, by its code.
void every_distribution(benchmark::internal::Benchmark* b) {
  b->ArgName("distribution");
  for (int code : {3, 0, 1, 2, 4, 12, 13, 14}) b->Arg(code);
  b->Unit(benchmark::kMillisecond)->Iterations(2);
}

}  // namespace

BENCHMARK(BM_capability_nine_panes)->Apply(every_distribution);
BENCHMARK(BM_capability)->Apply(every_distribution)->MeasureProcessCPUTime();
