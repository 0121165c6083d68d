// The results of one control-chart computation: estimates, lines, phases,
// per-point series, capability, trend and standard. Missing values are
// kMissing; no field is ever NaN or infinite.
#pragma once

#include "charts/marks.h"

#include <cstdint>
#include <vector>

#include "charts/chart_capability.h"
#include "charts/chart_kind_results.h"
#include "charts/dispersion_series.h"
#include "charts/estimates.h"
#include "charts/point_line.h"
#include "stats/guarded.h"

namespace ztq {

// The six lines of the two charts (`limit` lines 0 to 5).
struct ChartLines {
  double ucl1 = kMissing;
  double cl1 = kMissing;
  double lcl1 = kMissing;
  double ucl2 = kMissing;
  double cl2 = kMissing;
  double lcl2 = kMissing;
  double& line(int i) {
    return i == 0 ? ucl1 : i == 1 ? cl1 : i == 2 ? lcl1 : i == 3 ? ucl2 : i == 4 ? cl2 : lcl2;
  }
};

struct PhaseResult {
  int first = 0;  // 1-based point numbers
  int last = 0;
  ChartEstimates estimates;    // centre, sigma, nbar, dispersion, points used
  ChartLines lines;            // at n-bar, clipped
  ChartLines lines_unclipped;  // at n-bar, unclipped
  TrendLine trend;             // codes 18, 19
};

// One entry per point.
struct ChartSeries {
  PointLine size;                    // one run of 1 for individuals and c charts
  Series stat1;                      // plotted statistic of chart 1
  DispersionSeries stat2;            // range, SD, variance or moving range (missing: no chart 2)
  PointLine ucl1, lcl1, ucl2, lcl2;  // clipped
  PointLine ucl1_unclipped, lcl1_unclipped, ucl2_unclipped, lcl2_unclipped;
  PointLine cl1;                     // centre of chart 1 (the trend line for codes 18, 19)
  PointLine cl2;                     // centre of chart 2
  std::vector<std::uint16_t> flags;  // runs-rule flag word: rules of chart 1, then of chart 2
  Marks excluded;                    // 0/1

  // Chart 2's value at point I (missing past the end), points FIRST on into
  // OUT, and all of them: the moving ranges may be formed as they are read.
  double stat2_at(std::size_t i) const { return stat2.at(i, excluded); }
  void read_stat2(std::size_t first, std::size_t count, double* out) const {
    stat2.read(first, count, excluded, out);
  }
  std::vector<double> stat2_values() const { return stat2.values(excluded); }
};

struct ChartStandard {
  double centre = kMissing;  // mu0, p0, np0, u0 or c0
  double sigma = kMissing;   // sigma0 (attribute charts: from the standard value at n-bar)
};

struct ChartResults {
  int code = -1;
  int error = 0;          // 0, or the message number of the error state
  bool computed = false;  // false: the code computes nothing (yet) or an error stopped it
  int points = 0;         // points of the series
  int used = 0;           // points that entered the estimates, over all phases
  // Estimates from the data, last phase.
  double centre = kMissing;
  double sigma = kMissing;
  double nbar = kMissing;
  double dispersion = kMissing;
  ChartLines limits;            // at n-bar, clipped, last phase
  ChartLines limits_unclipped;  // at n-bar, unclipped, last phase
  std::vector<PhaseResult> phases;
  ChartSeries series;
  ChartCapability capability;  // variables codes only
  TrendLine trend;             // codes 18, 19: the line of the last phase
  ChartStandard standard;      // under control to a standard
  SmootherLines smoothers;     // lines that are on (and the unsmoothed values of 8, 9, 11, 12)
  CusumResult cusum;           // codes 10, 13
  TabularResult tabular;       // codes 14, 15
  ModelResult model;           // codes 16, 17
  double arl = kMissing;       // EWMA codes 9, 12: in-control average run length

  // The 0-based phase of point I (0-based), from the phases' ranges.
  int phase_of(std::size_t i) const {
    int k = 0;
    while (k + 1 < static_cast<int>(phases.size()) &&
           static_cast<std::size_t>(phases[static_cast<std::size_t>(k) + 1].first) <= i + 1)
      ++k;
    return k;
  }
};

}  // namespace ztq
