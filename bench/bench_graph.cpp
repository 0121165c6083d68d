// Drawing an individuals chart of 10^6 points, described by the chart graph
// pane itself (envelope per column, flagged points kept), to SVG and to PNG;
// the SVG's size is reported as a counter.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "bridge/graph_builder.h"
#include "bridge/module_state.h"
#include "charts/vchart_panes.h"
#include "host/graph/graph_file.h"

namespace {

// Noise around 10 with limits 7 and 13; every 33rd point flagged by rule B
// (about 3 %) and every 10,007th beyond the upper limit.
qualty::Graph million_point_chart() {
  static bool started =
      (ztq::module_startup(std::filesystem::read_symlink("/proc/self/exe").parent_path()), true);
  (void)started;
  const std::size_t n = 1000000;
  ztq::ChartResults r;
  ztq::ChartSeries& s = r.series;
  s.stat1.resize(n), s.stat2.assign(n, ztq::kMissing);
  s.ucl1.assign(n, 13), s.cl1.assign(n, 10), s.lcl1.assign(n, 7);
  s.ucl1_unclipped = s.ucl1, s.lcl1_unclipped = s.lcl1;
  s.flags.assign(n, 0), s.excluded.assign(n, 0), s.phase.assign(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i);
    s.stat1[i] = 10 + 0.8 * std::sin(t * 0.37) + 0.6 * std::cos(t * 1.91);
    if (i % 33 == 0) s.flags[i] = 2;
    if (i % 10007 == 0) s.stat1[i] = 13.5;
  }
  r.limits.ucl1 = 13, r.limits.cl1 = 10, r.limits.lcl1 = 7;
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

void BM_MillionPointChartSvg(benchmark::State& state) {
  const qualty::Graph graph = million_point_chart();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string svg = qualty::render_svg(graph);
    bytes = svg.size();
    benchmark::DoNotOptimize(svg.data());
  }
  state.counters["svg_MB"] = static_cast<double>(bytes) / 1e6;
  state.SetLabel("10^6 points");
}
BENCHMARK(BM_MillionPointChartSvg)->Unit(benchmark::kMillisecond);

void BM_MillionPointChartPng(benchmark::State& state) {
  const qualty::Graph graph = million_point_chart();
  const auto path = std::filesystem::temp_directory_path() / "qualty_bench_graph.png";
  for (auto _ : state) qualty::write_graph_file(graph, qualty::GraphFormat::png, path.string());
  std::filesystem::remove(path);
  state.SetLabel("10^6 points");
}
BENCHMARK(BM_MillionPointChartPng)->Unit(benchmark::kMillisecond);

// The description itself: the pane's work on 10^6 points.
void BM_MillionPointDescription(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(million_point_chart());
  state.SetLabel("10^6 points, results to description");
}
BENCHMARK(BM_MillionPointDescription)->Unit(benchmark::kMillisecond);

}  // namespace
