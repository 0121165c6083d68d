// Chart 2's per-point values (range, SD, variance or moving range). Held as
// values of their own; or, for an individuals chart whose observations are
// read in place from the loaded column (see Series), its moving ranges are
// formed from that column when they are read, so that 10^7 of them take no
// memory. Reads are the same either way.
//
// A moving range is |x_i - x_j|, j the last usable point (value present, not
// left out) before i in i's phase; missing where point i is not usable or is
// the first usable point of its phase (the points left out and the gaps are
// bridged). The marks of the points left out belong to the chart's series
// and are passed to each read.
#pragma once

#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "charts/marks.h"

namespace ztq {

class DispersionSeries {
 public:
  DispersionSeries() = default;
  DispersionSeries(std::vector<double> v) : own_(std::move(v)) {}  // NOLINT: values of its own
  DispersionSeries& operator=(std::vector<double> v) {
    *this = DispersionSeries(std::move(v));
    return *this;
  }
  // The moving ranges of X, whose storage must outlive the series; the
  // phases start at PHASE_STARTS (ascending, the first 0).
  static DispersionSeries moving_ranges_of(std::span<const double> x,
                                           std::vector<std::size_t> phase_starts);

  bool formed_when_read() const { return formed_; }
  std::size_t size() const { return formed_ ? x_.size() : own_.size(); }
  bool empty() const { return size() == 0; }

  // Point I (missing at and past the end).
  double at(std::size_t i, const Marks& excluded) const;
  // Points FIRST to FIRST + COUNT - 1 into OUT, missing past the end.
  void read(std::size_t first, std::size_t count, const Marks& excluded, double* out) const;
  // Every point.
  std::vector<double> values(const Marks& excluded) const;

 private:
  // The first point of the phase of point I.
  std::size_t phase_start(std::size_t i) const;
  bool usable(std::size_t i, const Marks& excluded) const;
  // The value of the last usable point before I in I's phase, if there is one.
  bool last_usable_before(std::size_t i, const Marks& excluded, double* value) const;

  std::vector<double> own_;
  std::span<const double> x_;
  std::vector<std::size_t> starts_;
  bool formed_ = false;
};

}  // namespace ztq
