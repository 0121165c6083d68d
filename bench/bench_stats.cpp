// Cost of each distribution routine, nanoseconds per call. Arguments cycle
// through a small table so the compiler cannot fold the calls.
#include <benchmark/benchmark.h>

#include <array>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace {

constexpr std::array<double, 8> kP = {0.001, 0.025, 0.1, 0.3, 0.5, 0.7, 0.95, 0.999};
constexpr std::array<double, 8> kX = {0.05, 0.4, 0.9, 1.3, 2.2, 3.7, 6.0, 11.0};

template <class F>
void run(benchmark::State& state, F f) {
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(f(i & 7));
    ++i;
  }
}

void BM_g_exp(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::g_exp(kX[i]); });
}
void BM_norm_cdf(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::norm_cdf(kX[i] - 3); });
}
void BM_norm_quantile(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::norm_quantile(kP[i]); });
}
void BM_t_cdf(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::t_cdf(kX[i], 9.0); });
}
void BM_t_quantile(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::t_quantile(kP[i], 9.0); });
}
void BM_chisq_cdf(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::chisq_cdf(kX[i], 5.0); });
}
void BM_chisq_cdf_odd(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::chisq_cdf(kX[i], 7.0); });
}
void BM_chisq_quantile(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::chisq_quantile(kP[i], 7.0); });
}
void BM_f_density(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::f_density(kX[i], 4.0, 20.0); });
}
void BM_f_cdf(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::f_cdf(kX[i], 4.0, 20.0); });
}
void BM_f_quantile(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::f_quantile(kP[i], 4.0, 20.0); });
}
void BM_ibeta(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::ibeta(kX[i] / 12.0, 2.5, 7.0); });
}
void BM_ibeta_inv(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::ibeta_inv(kP[i], 2.5, 7.0); });
}
void BM_gamma_fn(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::gamma_fn(kX[i]); });
}
void BM_log_gamma(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::log_gamma(kX[i]); });
}
void BM_log_gamma2(benchmark::State& s) {
  run(s, [](size_t i) { return ztq::log_gamma2(kX[i]); });
}

// The coded family, one benchmark per code: density, cdf and quantile in turn.
void BM_coded(benchmark::State& state) {
  const int code = static_cast<int>(state.range(0));
  double p[4] = {2.0, 5.0, 8.0, 0.0};
  if (code == 2) p[2] = 0.5, p[3] = 0.4;
  if (code == 5 || code == 9 || code == 10 || code == 16 || code == 21 || code == 22) p[0] = 0.3;
  if (code == 5) p[0] = 3.0;
  if (code == 21) p[1] = 2.0;
  if (code == 22) p[1] = 5.0, p[2] = 20.0;
  if (code == 19) p[0] = 0.0, p[1] = 1.0, p[2] = 3.0;
  if (code == 18) p[1] = 0.0;
  ztq::fill_derived(code, p);
  size_t i = 0;
  for (auto _ : state) {
    const double x = kX[i & 7];
    benchmark::DoNotOptimize(ztq::coded_density(code, p, x));
    benchmark::DoNotOptimize(ztq::coded_cdf(code, p, x));
    benchmark::DoNotOptimize(ztq::coded_quantile(code, p, kP[i & 7]));
    ++i;
  }
}
void BM_density_integral(benchmark::State& s) {
  double p[4] = {2.0, 1.0, 0.0, 0.0};
  ztq::fill_derived(12, p);
  run(s, [&](size_t i) { return ztq::density_integral(12, p, kX[i]); });
}

}  // namespace

BENCHMARK(BM_g_exp);
BENCHMARK(BM_norm_cdf);
BENCHMARK(BM_norm_quantile);
BENCHMARK(BM_t_cdf);
BENCHMARK(BM_t_quantile);
BENCHMARK(BM_chisq_cdf);
BENCHMARK(BM_chisq_cdf_odd);
BENCHMARK(BM_chisq_quantile);
BENCHMARK(BM_f_density);
BENCHMARK(BM_f_cdf);
BENCHMARK(BM_f_quantile);
BENCHMARK(BM_ibeta);
BENCHMARK(BM_ibeta_inv);
BENCHMARK(BM_gamma_fn);
BENCHMARK(BM_log_gamma);
BENCHMARK(BM_log_gamma2);
BENCHMARK(BM_coded)->DenseRange(0, 23);
BENCHMARK(BM_density_integral);
