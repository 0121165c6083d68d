// The Pearson-curve percentile method of non-normal capability (Clements
// 1989): the 0.135 % and 99.865 % points and the median of the Pearson curve
// with the sample's skewness and kurtosis, read from three tables, take the
// place of mean -/+ 3 sigma and the mean.
#pragma once

#include <cstdint>
#include <string>

#include "stats/guarded.h"

namespace ztq {

// The table files, in the folder of the host application.
inline constexpr const char* kPearsonFiles[3] = {"pearson1.tab", "pearson2.tab", "pearson3.tab"};
inline constexpr int kPearsonRows = 191;    // excess kurtosis -1.4 + 0.2 r
inline constexpr int kPearsonColumns = 41;  // absolute skewness 0.1 c
inline constexpr int kPearsonRowBytes[3] = {248, 247, 248};

// One cell of table t (1 to 3): the file is opened, 6 bytes are read at the
// cell and the file is closed again. Missing when the file cannot be read or
// the field is blank; decimal is the user's decimal character, read as a point.
double pearson_cell(const std::string& folder, int table, int row, int column, char decimal);

struct PearsonInput {
  double mean = kMissing, sd = kMissing, skewness = kMissing, kurtosis = kMissing;
  bool usl_given = false, nominal_given = false, lsl_given = false;
  double usl = kMissing, nominal = kMissing, lsl = kMissing;
};

struct PearsonResults {
  int32_t message = 0;  // 0, 1182 (outside the tables) or 4156 (empty cell, unreadable file, order)
  double upper = kMissing, median = kMissing, lower = kMissing;
  double cp = kMissing, cpk = kMissing, cpu = kMissing, cpl = kMissing, cr = kMissing, k = kMissing;
};

inline constexpr int32_t kPearsonOutside = 1182;
inline constexpr int32_t kPearsonNoCell = 4156;

PearsonResults pearson_capability(const PearsonInput& in, const std::string& folder, char decimal);

// The folder of the running program (the host application), with a trailing
// separator; empty when unknown.
std::string host_program_folder();

}  // namespace ztq
