// Level coding of a factor column of a gage study (appraisers, parts,
// trials): distinct identifier values in sorted order get the codes 1, 2, ...
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ztq {

// A factor column as the data sheet gives it: numbers (-32768 missing) or
// fixed-width texts (blank missing).
struct GageColumn {
  bool character = false;
  std::vector<double> numbers;
  std::vector<std::string> texts;
  size_t rows() const { return character ? texts.size() : numbers.size(); }
};

inline constexpr int32_t kNoLevel = -32768;  // the code of a row with a missing identifier
inline constexpr size_t kLevelTextWidth = 20;

struct GageLevels {
  std::vector<int32_t> code;        // per row: 1..count, or kNoLevel
  std::vector<std::string> labels;  // per level: its text, cut or padded to 20
  int32_t count() const { return static_cast<int32_t>(labels.size()); }
};

// Sorts the rows on the column (texts character by character, case counting;
// numbers by value) and numbers the distinct values; numbers compare by exact
// equality. Numeric level texts are the shortest general form ("10", "2.5").
GageLevels code_levels(const GageColumn& column);

}  // namespace ztq
