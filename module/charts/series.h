// A per-point series of a chart that either owns its values or reads values
// kept elsewhere in place: an individuals chart's statistic is the analysis's
// loaded data column itself, so that 10^7 observations are not held twice.
// A view is made only of storage that outlives the results (the loaded
// columns, which are loaded again only after the results are reset). Reads
// are the same either way; writing through values() turns a view into values
// of its own first.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

namespace ztq {

class Series {
 public:
  Series() = default;
  Series(std::vector<double> v) : own_(std::move(v)) {}  // NOLINT: a series of its own values
  Series& operator=(std::vector<double> v) {
    own_ = std::move(v);
    view_ = {};
    return *this;
  }
  // The series reads V in place; V must outlive it.
  static Series view_of(std::span<const double> v) {
    Series s;
    s.view_ = v;
    s.is_view_ = true;
    return s;
  }

  bool is_view() const { return is_view_; }
  std::size_t size() const { return is_view_ ? view_.size() : own_.size(); }
  bool empty() const { return size() == 0; }
  const double* data() const { return is_view_ ? view_.data() : own_.data(); }
  double operator[](std::size_t i) const { return data()[i]; }
  const double* begin() const { return data(); }
  const double* end() const { return data() + size(); }
  std::span<const double> span() const { return {data(), size()}; }

  // The values for writing: a view is copied into values of its own first.
  std::vector<double>& values() {
    if (is_view_) {
      own_.assign(view_.begin(), view_.end());
      view_ = {};
      is_view_ = false;
    }
    return own_;
  }

  friend bool operator==(const Series& a, const Series& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
  }
  friend bool operator==(const Series& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
  }

 private:
  std::vector<double> own_;
  std::span<const double> view_;
  bool is_view_ = false;
};

}  // namespace ztq
