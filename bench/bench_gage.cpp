// The long-form gage study at its largest ANOVA design: 18 appraisers x 500
// parts x 10 trials (90,000 readings), with the interaction term; computed
// and every pane built (text panes, graph descriptions, box-plot counts).
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "gage/gage_compute.h"
#include "gage/gage_panes.h"

namespace {

ztq::GageInput big_design(int a, int p, int t) {
  std::mt19937 gen(20261207);
  std::normal_distribution<double> noise(0.0, 0.01);
  ztq::GageInput in;
  in.appraiser.character = true;
  for (int i = 0; i < a; ++i)
    for (int j = 0; j < p; ++j)
      for (int k = 0; k < t; ++k) {
        in.appraiser.texts.push_back("Op" + std::to_string(i));
        in.part.numbers.push_back(j + 1);
        in.trial.numbers.push_back(k + 1);
        in.measurement.push_back(j * 0.01 + i * 0.002 + noise(gen));
      }
  return in;
}

void BM_GageAnovaAllPanes(benchmark::State& state) {
  const ztq::GageInput in = big_design(18, 500, 10);
  ztq::GageOptions o;
  o.variant = 3;
  o.interaction = true;
  for (auto _ : state) {
    const ztq::GageResults r = ztq::compute_gage(in, o);
    ztq::GageView v;
    v.r = &r;
    v.variant = 3;
    std::string text = ztq::gage_summary_text(v) + ztq::gage_anova_text(v) + ztq::gage_rr_text(v);
    benchmark::DoNotOptimize(text);
    for (auto g : {ztq::GageGraph::appraiser_part, ztq::GageGraph::box, ztq::GageGraph::deviation,
                   ztq::GageGraph::measurement}) {
      ztq::GraphBuilder b;
      ztq::gage_graph(v, g, b);
      benchmark::DoNotOptimize(b.point_count());
    }
    benchmark::DoNotOptimize(ztq::gage_box_counts(r, true));
  }
}
BENCHMARK(BM_GageAnovaAllPanes)->Unit(benchmark::kMillisecond);

}  // namespace
