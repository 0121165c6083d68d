// The verdict on the points beyond a control chart's limits: how likely so
// many points beyond would be if the process were in control.
//
// With limits at kU and kL sigmas (kL negative for a lower limit below the
// centre) a point of a process in control falls outside with probability
// q = (1 - Phi(kU)) + Phi(kL). Taking the n points as independent, the count
// beyond is binomial (n, q), and the chance of c or more is the upper tail
// P = 1 - sum_{i<c} C(n, i) q^i (1 - q)^(n - i). q is a fraction, used as it
// is (0.0027 at 3-sigma limits). Pure: no host, no formatting.
#pragma once

#include <cstdint>

namespace ztq {

// The expected fraction of points beyond limits at the sigma multiples
// K_UPPER and K_LOWER; a missing multiple (no such limit) adds nothing.
double expected_fraction(double k_upper, double k_lower);

// P(X >= c) for X binomial (n, q), clamped to 0..1: 1 for c <= 0, 0 for c > n.
double binomial_upper_tail(int c, int n, double q);

// The sentence of the verdict on P: 6088 below 0.01, 6089 from 0.01 to below
// 0.05, 6110 from 0.05 to below 0.1, 6090 from 0.1 on.
int32_t verdict_sentence(double p);

// The count that the verdict is on. Codes below 4 (the charts with a
// dispersion chart beneath the first) take the chart with more points beyond
// (chart 1 on a tie) with its own n and q; the single-chart codes 4 to 7
// take chart 1. Other codes form no probability (q 0: their points are
// smoothed, cumulative or model deviations, not independent).
struct ChartCounts {
  int code = 0;
  int n1 = 0, c1 = 0;  // points and points beyond, chart 1
  int n2 = 0, c2 = 0;  // chart 2 (0 and 0 without one)
  double q1 = 0, q2 = 0;
};
struct ChartTest {
  int chart = 0;  // 1 or 2; 0 when no probability is formed
  int count = 0;
  int n = 0;
  double q = 0;
  double p = 1;
};
ChartTest chart_test(const ChartCounts& counts);

// The sentence of the band of a capability index Cp: 8094 below 1.0, 8095
// from 1.0 to below 1.33, 8096 from 1.33 to below 2.0, 8097 from 2.0 on.
int32_t cp_band_sentence(double cp);

}  // namespace ztq
