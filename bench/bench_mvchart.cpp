// Hotelling T-squared chart: 10^6 points of p = 10 correlated variables with
// every pane (summary, both listings, the chart and the star key), and
// automatic exclusion of about 1,000 shifted points among 10^5.
//
// Cost of automatic exclusion with estimated means and covariance: one full
// computation, O(N p^2), then per excluded point a rank-one downdate of the
// mean, the cross products and their inverse, O(p^2), and an update of every
// used point's T-squared, O(N p), with a fresh O(N p^2) computation every 64
// steps to bound rounding drift. A full recomputation per step would cost
// O(N p^2) each time: p times more.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bridge/graph_builder.h"
#include "multivariate/mv_compute.h"
#include "multivariate/mv_family.h"

namespace {

// Deterministic correlated data: a 64-bit linear congruential generator
// (Knuth's MMIX constants), sums of three uniforms for a bell shape, each
// variable leaning on the one before it.
ztq::MvInput data(std::size_t n, int p, std::size_t shifted) {
  std::uint64_t s = 12345;
  auto next = [&s] {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(s >> 11) / 9007199254740992.0;
  };
  ztq::MvInput in;
  in.columns.assign(static_cast<std::size_t>(p), std::vector<double>(n));
  for (std::size_t i = 0; i < n; ++i) {
    double previous = 0.0;
    for (int j = 0; j < p; ++j) {
      const double e = next() + next() + next() - 1.5;
      previous = 0.6 * previous + e;
      in.columns[static_cast<std::size_t>(j)][i] = 10.0 * (j + 1) + previous;
    }
  }
  // Every (n / shifted)-th point moves across the correlation of the first two.
  for (std::size_t k = 0; k < shifted; ++k) {
    const std::size_t i = k * (n / shifted);
    in.columns[0][i] += 2.5;
    in.columns[1][i] -= 2.5;
  }
  return in;
}

void BM_TSquaredEveryPane(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  ztq::MvState s;
  s.input = data(n, 10, 0);
  for (int j = 0; j < 10; ++j) s.names.push_back("X" + std::to_string(j + 1));
  s.labels.assign(n, std::string(ztq::kMvLabelWidth, ' '));
  ztq::GraphBuilder g;
  for (auto _ : state) {
    s.results = ztq::compute_mv(s.input, {}, {});
    ztq::MvView v;
    v.state = &s;
    const std::string p1 = ztq::mv_summary_text(v);
    const std::string p2 = ztq::mv_listing_text(v, true);
    const std::string p3 = ztq::mv_listing_text(v, false);
    ztq::mv_t2_chart(v, g);
    ztq::mv_star_key(v, g);
    benchmark::DoNotOptimize(p1.size() + p2.size() + p3.size() + g.point_count());
  }
  state.counters["beyond"] = static_cast<double>(s.results.beyond_count);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}
BENCHMARK(BM_TSquaredEveryPane)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_AutomaticExclusion(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const ztq::MvInput in = data(n, 10, 1000);
  int32_t excluded = 0;
  for (auto _ : state) {
    std::vector<int32_t> flags(n, 0);
    excluded = ztq::mv_exclude_automatically(in, {}, flags);
    benchmark::DoNotOptimize(flags.data());
  }
  state.counters["excluded"] = excluded;
}
BENCHMARK(BM_AutomaticExclusion)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
