// The moving average and the EWMA: one routine each, serving both the chart
// kinds (codes 8, 9, 11, 12) and the smoother lines drawn over chart 1 or 2.
// A point is usable when its value is present and it is not excluded; an
// unusable point gets a missing output and the others skip it.
#pragma once

#include "charts/marks.h"

#include <cstddef>
#include <span>
#include <vector>

#include "charts/chart_options.h"

namespace ztq {

// Moving average of span W over the points FIRST..END-1 of X into OUT (same
// length as X): each usable point averages the usable values among its own and
// the W - 1 positions before it. With PAD present, each position before FIRST
// counts as one value equal to PAD (the chart's start rules 0 and 1); with PAD
// missing only the values present are averaged.
void moving_average(std::span<const double> x, const Marks& excluded, std::size_t first,
                    std::size_t end, int w, double pad, std::vector<double>* out);

// EWMA with weight LAMBDA over FIRST..END-1 of X into OUT: z starts at START
// (missing: at the first usable value), z = lambda x + (1 - lambda) z at each
// usable point; unusable points leave z unchanged.
void ewma(std::span<const double> x, const Marks& excluded, std::size_t first, std::size_t end,
          double lambda, double start, std::vector<double>* out);

// Scale factor of the early limits of a moving-average chart at the C-th
// usable point (C from 1) with span W and start rule `option73` RULE: 1 for
// rule 0 and from the W-th point on; sqrt(c / w) for rule 1; sqrt(w / c) for 2.
double moving_average_limit_factor(int rule, long long c, int w);

// Of an EWMA chart: sqrt(1 - (1 - lambda)^(2c)).
double ewma_limit_factor(double lambda, long long c);

// The smoother lines that OPTIONS switch on over the plotted statistic of
// chart 1 (STAT1) and of chart 2 (STAT2), whole series, no padding.
struct SmootherLines;
void smoother_lines1(const ChartOptions& options, std::span<const double> stat1,
                     const Marks& excluded, SmootherLines* out);
void smoother_lines2(const ChartOptions& options, std::span<const double> stat2,
                     const Marks& excluded, SmootherLines* out);

}  // namespace ztq
