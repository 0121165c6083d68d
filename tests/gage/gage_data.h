// The worked average-and-range example of the AIAG Measurement Systems
// Analysis reference manual, 4th ed. (2010), chapter III.B: appraisers A, B,
// C measure parts 1 to 10 three times each. kStudy[a][t][p]. The same readings
// are bundled as data/gage_study.csv.
#pragma once

#include <string>

#include "gage/gage_compute.h"

namespace ztq::test {

inline constexpr double kStudy[3][3][10] = {
    {{0.29, -0.56, 1.34, 0.47, -0.80, 0.02, 0.59, -0.31, 2.26, -1.36},
     {0.41, -0.68, 1.17, 0.50, -0.92, -0.11, 0.75, -0.20, 1.99, -1.25},
     {0.64, -0.58, 1.27, 0.64, -0.84, -0.21, 0.66, -0.17, 2.01, -1.31}},
    {{0.08, -0.47, 1.19, 0.01, -0.56, -0.20, 0.47, -0.63, 1.80, -1.68},
     {0.25, -1.22, 0.94, 1.03, -1.20, 0.22, 0.55, 0.08, 2.12, -1.62},
     {0.07, -0.68, 1.34, 0.20, -1.28, 0.06, 0.83, -0.34, 2.19, -1.50}},
    {{0.04, -1.38, 0.88, 0.14, -1.46, -0.29, 0.02, -0.46, 1.77, -1.49},
     {-0.11, -1.13, 1.09, 0.20, -1.07, -0.67, 0.01, -0.56, 1.45, -1.77},
     {-0.15, -0.96, 0.67, 0.11, -1.45, -0.49, 0.21, -0.49, 1.87, -2.16}}};

// The study in long form: appraiser texts "A".."C", numeric parts and trials.
inline GageInput study_input() {
  GageInput in;
  in.appraiser.character = true;
  for (int a = 0; a < 3; ++a)
    for (int p = 0; p < 10; ++p)
      for (int t = 0; t < 3; ++t) {
        in.appraiser.texts.push_back(std::string(1, static_cast<char>('A' + a)) + "   ");
        in.part.numbers.push_back(p + 1);
        in.trial.numbers.push_back(t + 1);
        in.measurement.push_back(kStudy[a][t][p]);
      }
  return in;
}

// A design of a x p x t readings x(a, p, t) given by f, all identifiers numeric.
template <class F>
GageInput design(int a, int p, int t, F f) {
  GageInput in;
  for (int i = 0; i < a; ++i)
    for (int j = 0; j < p; ++j)
      for (int k = 0; k < t; ++k) {
        in.appraiser.numbers.push_back(i + 1);
        in.part.numbers.push_back(j + 1);
        in.trial.numbers.push_back(k + 1);
        in.measurement.push_back(f(i, j, k));
      }
  return in;
}

}  // namespace ztq::test
