#include "capability/subgroups.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace ztq {

namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

// Count, mean, range and sd (divisor count - 1) of each subgroup, then the
// plain averages of the ranges and sds over every subgroup (an empty block
// counts with range 0 and sd 0).
void summarise(const std::vector<double>& data, CapSubgroups& s) {
  const auto count = static_cast<size_t>(s.count);
  s.sizes.assign(count, 0);
  s.means.assign(count, kMissing);
  s.ranges.assign(count, 0.0);
  s.sds.assign(count, 0.0);
  std::vector<double> sum(count, 0.0), lo(count, 0.0), hi(count, 0.0);
  for (size_t i = 0; i < data.size(); ++i) {
    const int32_t g = s.member[i];
    if (g < 0 || !present(data[i])) continue;
    const auto j = static_cast<size_t>(g);
    if (s.sizes[j] == 0) lo[j] = hi[j] = data[i];
    lo[j] = std::min(lo[j], data[i]);
    hi[j] = std::max(hi[j], data[i]);
    sum[j] += data[i];
    ++s.sizes[j];
  }
  for (size_t j = 0; j < count; ++j)
    if (s.sizes[j] > 0) s.means[j] = sum[j] / static_cast<double>(s.sizes[j]);
  std::vector<double> ss(count, 0.0);
  for (size_t i = 0; i < data.size(); ++i) {
    const int32_t g = s.member[i];
    if (g < 0 || !present(data[i])) continue;
    const double d = data[i] - s.means[static_cast<size_t>(g)];
    ss[static_cast<size_t>(g)] += d * d;
  }
  double rsum = 0, ssum = 0;
  s.observations = 0;
  for (size_t j = 0; j < count; ++j) {
    s.ranges[j] = hi[j] - lo[j];
    if (s.sizes[j] >= 2) s.sds[j] = std::sqrt(ss[j] / static_cast<double>(s.sizes[j] - 1));
    rsum += s.ranges[j];
    ssum += s.sds[j];
    s.observations += s.sizes[j];
  }
  if (count > 0) {
    s.rbar = rsum / static_cast<double>(count);
    s.sbar = ssum / static_cast<double>(count);
    s.nbar = static_cast<double>(s.observations) / static_cast<double>(count);
  }
}

}  // namespace

int64_t fixed_subgroup_size(const CapabilityInput& in) {
  if (in.subgroup_given && !in.subgroup.empty() && present(in.subgroup[0]) && in.subgroup[0] >= 1 &&
      in.subgroup[0] < 1e15)
    return static_cast<int64_t>(std::floor(in.subgroup[0]));
  if (!in.subgroup_given && in.columns.size() > 1) return static_cast<int64_t>(in.columns.size());
  return 1;
}

// Observation i belongs to block i div s; the blocks run to the last
// non-missing observation.
CapSubgroups subgroups_by_size(const std::vector<double>& data, int64_t size) {
  CapSubgroups s;
  s.fixed_size = true;
  s.size = size;
  int64_t last = -1;
  for (size_t i = 0; i < data.size(); ++i)
    if (present(data[i])) last = static_cast<int64_t>(i);
  const int64_t blocks = (last + 1 + size - 1) / size;
  s.count = static_cast<int32_t>(std::min<int64_t>(blocks, INT32_MAX));
  s.member.assign(data.size(), -1);
  for (size_t i = 0; i < data.size() && static_cast<int64_t>(i) <= last; ++i)
    s.member[i] = static_cast<int32_t>(static_cast<int64_t>(i) / size);
  summarise(data, s);
  return s;
}

// Rows in ascending code order (stable); each run of equal codes is one subgroup.
CapSubgroups subgroups_by_codes(const std::vector<double>& data, const std::vector<double>& codes) {
  CapSubgroups s;
  s.member.assign(data.size(), -1);
  std::vector<size_t> order;
  for (size_t i = 0; i < data.size() && i < codes.size(); ++i)
    if (present(codes[i]) && present(data[i])) order.push_back(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return codes[a] < codes[b]; });
  int32_t group = -1;
  double previous = 0;
  for (size_t k = 0; k < order.size(); ++k) {
    const double c = codes[order[k]];
    if (k == 0 || c != previous) ++group;
    previous = c;
    s.member[order[k]] = group;
  }
  s.count = group + 1;
  summarise(data, s);
  return s;
}

}  // namespace ztq
