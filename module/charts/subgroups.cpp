// Subgroup formation and per-subgroup statistics (mean, range, and the
// standard deviation in the two-pass form, which cannot go negative by
// rounding as the one-pass sum-of-squares form does; Chan, Golub and LeVeque
// (1983), Algorithms for computing the sample variance, Amer. Statist. 37(3)).
#include "charts/subgroups.h"

#include <algorithm>
#include <cmath>

#include "stats/guarded.h"

namespace ztq {
namespace {

bool usable_code(double c) { return !is_missing(c) && !std::isnan(c); }

// True when every row holds the same code (the "single value" form).
bool all_same(std::size_t rows, std::span<const double> codes) {
  if (rows < 2 || codes.size() < rows) return false;
  for (std::size_t i = 0; i < rows; ++i) {
    if (!usable_code(codes[i]) || codes[i] != codes[0]) return false;
  }
  return true;
}

// True when exactly one value of v is present (returned in *value).
bool single_present(std::span<const double> v, double* value) {
  std::size_t present = 0;
  for (double x : v)
    if (usable_code(x)) {
      *value = x;
      if (++present > 1) return false;
    }
  return present == 1;
}

// Runs of equal keys; rows without a key join no subgroup.
template <class Same, class Has>
std::vector<Subgroup> runs_of(std::size_t rows, Same same, Has has) {
  std::vector<Subgroup> groups;
  std::size_t last = 0;
  bool open = false;
  for (std::size_t i = 0; i < rows; ++i) {
    if (!has(i)) continue;
    if (open && same(last, i) && groups.back().first_row + groups.back().rows == i) {
      groups.back().rows += 1;
    } else {
      groups.push_back({static_cast<std::uint32_t>(i), 1});
      open = true;
    }
    last = i;
  }
  return groups;
}

}  // namespace

std::vector<Subgroup> fixed_subgroups(std::size_t rows, double s) {
  std::size_t size = 1;
  if (std::isfinite(s) && !is_missing(s) && s >= 1.0) {
    const double r = std::floor(s + 0.5);  // sizes are rounded to whole numbers
    size = r >= static_cast<double>(rows) ? std::max<std::size_t>(rows, 1)
                                          : static_cast<std::size_t>(r);
  }
  std::vector<Subgroup> groups;
  groups.reserve(rows / size + 1);
  for (std::size_t first = 0; first < rows; first += size) {
    groups.push_back({static_cast<std::uint32_t>(first),
                      static_cast<std::uint32_t>(std::min(size, rows - first))});
  }
  return groups;
}

std::vector<Subgroup> subgroups_from_codes(std::size_t rows, std::span<const double> codes) {
  if (codes.empty()) return fixed_subgroups(rows, 1.0);
  if (codes.size() == 1) return fixed_subgroups(rows, codes[0]);
  // A column whose only value is s (the rest empty) gives a fixed size, as a
  // one-row column does.
  double only = 0;
  if (single_present(codes, &only) && only >= 1.0 && only == std::floor(only))
    return fixed_subgroups(rows, only);
  if (all_same(rows, codes) && codes[0] >= 1.0 && codes[0] == std::floor(codes[0])) {
    return fixed_subgroups(rows, codes[0]);
  }
  const std::size_t n = std::min(rows, codes.size());
  return runs_of(
      n, [&](std::size_t a, std::size_t b) { return codes[a] == codes[b]; },
      [&](std::size_t i) { return usable_code(codes[i]); });
}

std::vector<Subgroup> subgroups_from_labels(std::size_t rows,
                                            const std::vector<std::string>& labels) {
  const std::size_t n = std::min(rows, labels.size());
  return runs_of(
      n, [&](std::size_t a, std::size_t b) { return labels[a] == labels[b]; },
      [](std::size_t) { return true; });
}

// Two-pass mean and sum of squared deviations per subgroup.
SubgroupStatistics subgroup_statistics(std::span<const double> x,
                                       const std::vector<Subgroup>& groups, Dispersion kind) {
  SubgroupStatistics out;
  out.size.assign(groups.size(), kMissing);
  out.mean.assign(groups.size(), kMissing);
  out.dispersion.assign(groups.size(), kMissing);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const std::size_t first = std::min<std::size_t>(groups[g].first_row, x.size());
    const std::size_t end = std::min(first + groups[g].rows, x.size());
    double sum = 0.0, lo = 0.0, hi = 0.0;
    std::size_t n = 0;
    for (std::size_t i = first; i < end; ++i) {
      const double v = x[i];
      if (is_missing(v) || !std::isfinite(v)) continue;
      if (n == 0) lo = hi = v;
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      sum += v;
      ++n;
    }
    if (n == 0) continue;  // a subgroup with no observation is missing
    // Equal readings keep their value as the mean (sum / n may round off it).
    const double mean = hi == lo ? lo : sum / static_cast<double>(n);
    double ss = 0.0;
    if (kind != Dispersion::range && hi > lo) {
      for (std::size_t i = first; i < end; ++i) {
        const double v = x[i];
        if (is_missing(v) || !std::isfinite(v)) continue;
        ss += (v - mean) * (v - mean);
      }
    }
    double disp = 0.0;  // one observation or equal readings: dispersion exactly 0
    if (n > 1 && hi > lo) {
      const double var = ss / static_cast<double>(n - 1);
      switch (kind) {
        case Dispersion::range:
          disp = hi - lo;
          break;
        case Dispersion::standard_deviation:
          disp = std::sqrt(var);
          break;
        case Dispersion::variance:
          disp = var;
          break;
      }
    }
    out.size[g] = static_cast<double>(n);
    out.mean[g] = mean;
    out.dispersion[g] = disp;
  }
  return out;
}

}  // namespace ztq
