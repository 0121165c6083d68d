// What the T-squared chart keeps between computations: the loaded columns,
// the variable names, the point labels and the latest results.
#pragma once

#include <string>
#include <vector>

#include "multivariate/mv_compute.h"

namespace ztq {

inline constexpr int kMvLabelWidth = 20;

struct MvState {
  MvInput input;
  std::vector<std::string> names;   // the p variable expressions, in order
  std::vector<std::string> labels;  // per point, padded to kMvLabelWidth
  MvResults results;
};

// The view of an analysis that the panes need beside the results.
struct MvView {
  const MvState* state = nullptr;  // null before the first computation
  int32_t error_state = 0;
  int32_t error_message = 0;
  double alpha_percent = 0.27;
  int32_t known_n = 0;
  bool show_values = true;  // listings show the variable values
  int32_t chart_style = 0;  // 0 joined points, else vertical segments
  int32_t legend_decimals = 2;

  bool fine() const { return state != nullptr && error_state == 0; }
};

// Splits the data expression into the p variable expressions (separated by
// ';', blanks around each trimmed, empty parts dropped).
std::vector<std::string> split_variables(const std::string& expression);

}  // namespace ztq
