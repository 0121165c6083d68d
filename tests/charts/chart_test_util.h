// Helpers shared by the control-chart tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "charts/engine.h"

namespace ztq::testing {

inline const double kM = kMissing;

// Every number of the results is finite (missing is -32768, never NaN).
inline void expect_all_finite(const ChartResults& r) {
  auto check = [](double v) { EXPECT_TRUE(std::isfinite(v)) << v; };
  for (double v : {r.centre, r.sigma, r.nbar, r.dispersion, r.limits.ucl1, r.limits.cl1,
                   r.limits.lcl1, r.limits.ucl2, r.limits.cl2, r.limits.lcl2, r.capability.cp,
                   r.capability.cpk, r.capability.cpm, r.capability.k, r.trend.a, r.trend.b,
                   r.standard.centre, r.standard.sigma}) {
    check(v);
  }
  const ChartSeries& s = r.series;
  for (double x : s.stat1) check(x);
  for (double x : s.stat2_values()) check(x);
  for (const PointLine* v :
       {&s.size, &s.ucl1, &s.lcl1, &s.ucl2, &s.lcl2, &s.ucl1_unclipped, &s.lcl1_unclipped,
        &s.ucl2_unclipped, &s.lcl2_unclipped, &s.cl1, &s.cl2}) {
    for (double x : v->values()) check(x);
  }
}

// Chart of CODE from raw observations in consecutive subgroups of the given sizes.
inline ChartResults raw_chart(int code, const std::vector<double>& x,
                              const std::vector<double>& codes, const ChartOptions& o) {
  return compute_chart(chart_input_from_raw(code, x, subgroups_from_codes(x.size(), codes)), o);
}

}  // namespace ztq::testing
