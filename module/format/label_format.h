// The number format of a graph's line labels (UCL = 0.08529, LCL = 0).
#pragma once

#include <string>
#include <vector>

namespace ztq {

// One number format for every line label of a graph: the decimals that give
// the largest value DIGITS significant digits, trailing zeros dropped.
class LabelFormat {
 public:
  LabelFormat(const std::vector<double>& values, int digits);
  std::string operator()(double v) const;
  int decimals() const { return decimals_; }

 private:
  int decimals_ = 0;
  int digits_ = 6;
};

}  // namespace ztq
