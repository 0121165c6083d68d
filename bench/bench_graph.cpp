// Drawing an individuals chart of 10^6 points, described by the chart graph
// pane itself (envelope per column, flagged points kept), to an SVG and to a
// PNG file, each against a budget of 0.5 s; the file sizes are counters.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <vector>

#include "bridge/graph_builder.h"
#include "bridge/module_state.h"
#include "charts/vchart_panes.h"
#include "host/graph/graph_file.h"

namespace {

// Noise around 10 with limits 7 and 13; every 33rd point flagged by rule B
// (about 3 %) and every 10,007th beyond the upper limit. Made once.
const ztq::ChartResults& million_point_results() {
  static const ztq::ChartResults results = [] {
    ztq::module_startup(std::filesystem::read_symlink("/proc/self/exe").parent_path());
    const std::size_t n = 1000000;
    ztq::ChartResults r;
    ztq::ChartSeries& s = r.series;
    std::vector<double>& y = s.stat1.values();
    y.resize(n), s.stat2 = std::vector<double>(n, ztq::kMissing);
    s.ucl1.assign(n, 13), s.cl1.assign(n, 10), s.lcl1.assign(n, 7);
    s.ucl1_unclipped = s.ucl1, s.lcl1_unclipped = s.lcl1;
    s.flags.assign(n, 0), s.excluded.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
      const double t = static_cast<double>(i);
      y[i] = 10 + 0.8 * std::sin(t * 0.37) + 0.6 * std::cos(t * 1.91);
      if (i % 33 == 0) s.flags[i] = 2;
      if (i % 10007 == 0) y[i] = 13.5;
    }
    r.limits.ucl1 = 13, r.limits.cl1 = 10, r.limits.lcl1 = 7;
    return r;
  }();
  return results;
}

// The chart graph pane's description of the results, as the component keeps it.
qualty::Graph million_point_chart() {
  const ztq::ChartResults& r = million_point_results();
  const ztq::ChartOptions options = ztq::default_chart_options();
  ztq::VchartView v;
  v.code = 3;
  v.options = &options;
  v.data_name = "X";
  static ztq::GraphBuilder g;  // owns the tables the descriptor points to
  ztq::vchart_chart_graph(r, v, true, g);
  ZtGraphDescriptor d{};
  g.finish(d);
  return qualty::copy_graph(d);
}

// One chart file from the results: the pane's description, the component's
// copy and the file written. Counters: seconds per chart, that time as a
// fraction of the 0.5 s budget, and the file's size in MB (SVG under 5).
constexpr double kBudgetSeconds = 0.5;

void million_point_file(benchmark::State& state, qualty::GraphFormat format, const char* name) {
  const auto path = std::filesystem::temp_directory_path() / name;
  double seconds = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    qualty::write_graph_file(million_point_chart(), format, path.string());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  const double each = seconds / static_cast<double>(state.iterations());
  state.counters["s_per_chart"] = each;
  state.counters["of_budget"] = each / kBudgetSeconds;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
  state.SetLabel("10^6 points, budget 0.5 s");
}

void BM_MillionPointChartSvg(benchmark::State& state) {
  million_point_file(state, qualty::GraphFormat::svg, "qualty_bench_graph.svg");
}
BENCHMARK(BM_MillionPointChartSvg)->Unit(benchmark::kMillisecond);

void BM_MillionPointChartPng(benchmark::State& state) {
  million_point_file(state, qualty::GraphFormat::png, "qualty_bench_graph.png");
}
BENCHMARK(BM_MillionPointChartPng)->Unit(benchmark::kMillisecond);

// The description itself: the pane's work on 10^6 points.
void BM_MillionPointDescription(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(million_point_chart());
  state.SetLabel("10^6 points, results to description");
}
BENCHMARK(BM_MillionPointDescription)->Unit(benchmark::kMillisecond);

}  // namespace
