// Chart 2's values, held or formed when read. The moving range of span 2,
// MR_i = |x_i - x_(i-1)| (Montgomery, Introduction to Statistical Quality
// Control, 6th ed., ch. 6), taken across the points a phase leaves out.
#include "charts/dispersion_series.h"

#include <algorithm>
#include <cmath>

#include "stats/guarded.h"

namespace ztq {

DispersionSeries DispersionSeries::moving_ranges_of(std::span<const double> x,
                                                    std::vector<std::size_t> phase_starts) {
  DispersionSeries s;
  s.x_ = x;
  s.starts_ = std::move(phase_starts);
  if (s.starts_.empty() || s.starts_.front() != 0) s.starts_.insert(s.starts_.begin(), 0);
  s.formed_ = true;
  return s;
}

std::size_t DispersionSeries::phase_start(std::size_t i) const {
  return *(std::upper_bound(starts_.begin(), starts_.end(), i) - 1);  // starts_[0] is 0
}

bool DispersionSeries::usable(std::size_t i, const Marks& excluded) const {
  return !is_missing(x_[i]) && !(i < excluded.size() && excluded[i] != 0);
}

bool DispersionSeries::last_usable_before(std::size_t i, const Marks& excluded,
                                          double* value) const {
  for (std::size_t j = i, start = phase_start(i); j > start;) {  // back over the bridged points
    --j;
    if (usable(j, excluded)) {
      *value = x_[j];
      return true;
    }
  }
  return false;
}

double DispersionSeries::at(std::size_t i, const Marks& excluded) const {
  if (i >= size()) return kMissing;
  if (!formed_) return own_[i];
  double previous = 0.0;
  if (!usable(i, excluded) || !last_usable_before(i, excluded, &previous)) return kMissing;
  return std::fabs(x_[i] - previous);
}

void DispersionSeries::read(std::size_t first, std::size_t count, const Marks& excluded,
                            double* out) const {
  const std::size_t n = size();
  const std::size_t end = first < n ? std::min(n, first + count) : first;
  if (!formed_) {
    if (first < end) std::copy(own_.begin() + first, own_.begin() + end, out);
  } else if (first < end) {
    // From the last usable point before FIRST in its phase, then on in order,
    // phase by phase.
    double previous = 0.0;
    bool have = last_usable_before(first, excluded, &previous);
    const double* x = x_.data();
    const char* ex = excluded.data();
    const std::size_t marked = std::min(end, excluded.size());  // marks end here
    auto next_start = std::upper_bound(starts_.begin(), starts_.end(), first);
    for (std::size_t i = first; i < end;) {
      const std::size_t stop = next_start != starts_.end() && *next_start < end ? *next_start : end;
      // Selects, not branches: gaps and marks fall where the data put them.
      for (; i < stop; ++i) {
        const double xi = x[i];
        const bool use = !is_missing(xi) & !(i < marked && ex[i] != 0);
        out[i - first] = use & have ? std::fabs(xi - previous) : kMissing;
        previous = use ? xi : previous;
        have |= use;
      }
      if (stop < end) {  // a new phase
        have = false;
        ++next_start;
      }
    }
  }
  for (std::size_t i = std::max(first, end); i < first + count; ++i) out[i - first] = kMissing;
}

std::vector<double> DispersionSeries::values(const Marks& excluded) const {
  if (!formed_) return own_;
  std::vector<double> v(size());
  read(0, v.size(), excluded, v.data());
  return v;
}

}  // namespace ztq
