// Subgroups from raw observations and their per-subgroup statistics.
// A subgroup column of codes forms subgroups from consecutive rows with equal
// codes, in order of appearance (a row whose code is missing belongs to no
// subgroup). A subgroup column holding one value s (a single entry, or every
// row the same whole number) means fixed subgroups of s consecutive rows.
// Missing observations shrink their subgroup; a subgroup with none has a
// missing size, mean and dispersion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ztq {

// Rows of a sheet column (fewer than 2^31): 8 bytes a subgroup.
struct Subgroup {
  std::uint32_t first_row = 0;
  std::uint32_t rows = 0;
};

enum class Dispersion { range, standard_deviation, variance };

struct SubgroupStatistics {
  std::vector<double> size;  // non-missing observations per subgroup
  std::vector<double> mean;
  std::vector<double> dispersion;  // range, standard deviation or variance
};

// Fixed subgroups of S consecutive rows (S rounded; below 1 read as 1), the
// last one possibly shorter.
std::vector<Subgroup> fixed_subgroups(std::size_t rows, double s);

// Subgroups of ROWS observations from a numeric subgroup column.
std::vector<Subgroup> subgroups_from_codes(std::size_t rows, std::span<const double> codes);
inline std::vector<Subgroup> subgroups_from_codes(std::size_t rows,
                                                  const std::vector<double>& codes) {
  return subgroups_from_codes(rows, std::span<const double>(codes));
}

// Subgroups of ROWS observations from a text subgroup column (equal texts).
std::vector<Subgroup> subgroups_from_labels(std::size_t rows,
                                            const std::vector<std::string>& labels);

SubgroupStatistics subgroup_statistics(std::span<const double> x,
                                       const std::vector<Subgroup>& groups, Dispersion kind);
inline SubgroupStatistics subgroup_statistics(const std::vector<double>& x,
                                              const std::vector<Subgroup>& groups,
                                              Dispersion kind) {
  return subgroup_statistics(std::span<const double>(x), groups, kind);
}

}  // namespace ztq
