// Rendering a control chart of 100 000 points (line, markers, centre and
// limit lines) to SVG and to PNG.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "bridge/graph_builder.h"
#include "host/graph/graph_file.h"

namespace {

qualty::Graph big_chart() {
  static ztq::GraphBuilder g(1,
                             ZTG_KIND_CONTROL_CHART);  // owns the tables the descriptor points to
  g.reset(1, ZTG_KIND_CONTROL_CHART);
  std::vector<double> xs(100000), ys(100000);
  for (std::size_t i = 0; i < xs.size(); ++i) {
    xs[i] = static_cast<double>(i + 1);
    ys[i] = 10 + 0.3 * std::sin(static_cast<double>(i) * 0.37) +
            0.2 * std::cos(static_cast<double>(i) * 1.91);
  }
  const int data = g.attribute(ztq::Tag::data), lim = g.attribute(ztq::Tag::limit_line);
  g.title("Individuals chart of 100000 points");
  g.polyline(xs, ys, data);
  g.points(xs, ys, data);
  g.hline(10.75, "UCL = 10.75", lim);
  g.hline(10, "CL = 10", g.attribute(ztq::Tag::centre_line));
  g.hline(9.25, "LCL = 9.25", lim);
  ZtGraphDescriptor d{};
  g.finish(d);
  return qualty::copy_graph(d);
}

void BM_ControlChartSvg(benchmark::State& state) {
  const qualty::Graph graph = big_chart();
  for (auto _ : state) benchmark::DoNotOptimize(qualty::render_svg(graph));
  state.SetLabel("100000 points");
}
BENCHMARK(BM_ControlChartSvg)->Unit(benchmark::kMillisecond);

void BM_ControlChartPng(benchmark::State& state) {
  const qualty::Graph graph = big_chart();
  const auto path = std::filesystem::temp_directory_path() / "qualty_bench_graph.png";
  for (auto _ : state) qualty::write_graph_file(graph, qualty::GraphFormat::png, path.string());
  std::filesystem::remove(path);
  state.SetLabel("100000 points");
}
BENCHMARK(BM_ControlChartPng)->Unit(benchmark::kMillisecond);

}  // namespace
