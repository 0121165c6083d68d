// A per-point line of a chart (a limit or a centre line): one value per point
// where it varies (unequal sizes, trend and model centres, early EWMA and
// moving-average limits), runs of one value where it is constant over whole
// phases, as the limits of fixed-size and individuals charts are, so that a
// chart of 10^7 points keeps a handful of numbers instead of 10^7 per line.
// Reads are the same either way; a write to one point turns the line into one
// value per point.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <vector>

#include "stats/guarded.h"

namespace ztq {

class PointLine {
 public:
  PointLine() = default;
  PointLine(std::initializer_list<double> v) : n_(v.size()), values_(v) {}
  PointLine(std::vector<double> v) : n_(v.size()), values_(std::move(v)) {}  // NOLINT

  // V, kept as one run when every value is the same (fixed subgroup sizes).
  static PointLine compact(std::vector<double> v) {
    const bool one = std::all_of(v.begin(), v.end(), [&](double x) { return same(x, v[0]); });
    if (v.empty() || !one) return PointLine(std::move(v));
    PointLine line;
    line.assign(v.size(), v[0]);
    return line;
  }

  std::size_t size() const { return n_; }
  bool empty() const { return n_ == 0; }
  bool per_point() const { return values_.size() == n_ && n_ > 0; }

  double operator[](std::size_t i) const {
    if (per_point()) return values_[i];
    // The last run that starts at or before I: few runs (one a phase) by a
    // scan from the end, many by binary search.
    if (runs_.size() <= 4) {
      for (std::size_t k = runs_.size(); k-- > 0;)
        if (runs_[k].first <= i) return runs_[k].second;
      return kMissing;
    }
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), i,
                                        [](std::size_t p, const auto& r) { return p < r.first; });
    return after == runs_.begin() ? kMissing : std::prev(after)->second;
  }
  // The first point after I whose value may differ from point I's.
  std::size_t run_end(std::size_t i) const {
    if (per_point()) return i + 1;
    for (const auto& r : runs_)
      if (r.first > i) return r.first;
    return n_;
  }

  // Point I for writing: the line becomes one value per point.
  double& operator[](std::size_t i) {
    materialise();
    return values_[i];
  }

  // Point I takes V: a write that keeps the line in runs while it changes
  // few points (the early limits of a smoothed chart), else one that turns it
  // into values.
  void set(std::size_t i, double v) {
    if (per_point()) {
      values_[i] = v;
    } else if (same(std::as_const(*this)[i], v)) {
      return;
    } else if (runs_.size() < kMostRuns) {
      fill(i, i + 1, v);
    } else {
      (*this)[i] = v;
    }
  }

  // N points of value V.
  void assign(std::size_t n, double v) {
    n_ = n;
    std::vector<double>().swap(values_);
    runs_.assign(1, {0, v});
  }
  // Points FIRST to END - 1 take V: one run while the line is kept in runs.
  void fill(std::size_t first, std::size_t end, double v) {
    if (per_point()) {
      for (std::size_t i = first; i < end && i < n_; ++i) values_[i] = v;
      return;
    }
    const PointLine& self = *this;
    if (runs_.empty() || runs_.back().first <= first) {  // past every run's start: in order
      const double after = self[first];                  // what the points from FIRST read
      if (!runs_.empty() && runs_.back().first == first)
        runs_.back().second = v;
      else
        runs_.emplace_back(first, v);
      if (runs_.size() >= 2 && same(runs_[runs_.size() - 2].second, v))
        runs_.pop_back();  // one run with the run before it
      if (end < n_ && !same(after, v)) runs_.emplace_back(end, after);
      return;
    }
    const double after = end < n_ ? self[end] : kMissing;  // what point END reads
    std::vector<std::pair<std::size_t, double>> runs;
    for (const auto& r : runs_)
      if (r.first < first) runs.push_back(r);
    runs.emplace_back(first, v);
    if (end < n_) runs.emplace_back(end, after);
    for (const auto& r : runs_)
      if (r.first > end) runs.push_back(r);
    runs_ = std::move(runs);
  }

  // One value per point.
  std::vector<double> values() const {
    if (per_point()) return values_;
    std::vector<double> out(n_);
    for (std::size_t i = 0; i < n_; ++i) out[i] = (*this)[i];
    return out;
  }

  friend bool operator==(const PointLine& a, const PointLine& b) {
    return a.values() == b.values();
  }
  friend bool operator==(const PointLine& a, const std::vector<double>& b) {
    return a.values() == b;
  }

 private:
  // Equal and of the same sign (a -0 is not written over a 0).
  static bool same(double a, double b) { return a == b && std::signbit(a) == std::signbit(b); }

  void materialise() {
    if (per_point() || n_ == 0) return;
    values_ = values();
    std::vector<std::pair<std::size_t, double>>().swap(runs_);
  }

  static constexpr std::size_t kMostRuns = 4096;  // each fill() copies the runs
  std::size_t n_ = 0;
  std::vector<double> values_;                        // one per point, or none
  std::vector<std::pair<std::size_t, double>> runs_;  // (first point, value), by first point
};

}  // namespace ztq
