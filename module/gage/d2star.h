// d2-star: the bias factor of the average of g ranges of m readings each, and
// its equivalent degrees of freedom, as the gage studies use it.
#pragma once

namespace ztq {

struct D2Star {
  double value = -32768.0;  // d2*(m, g); missing when m is outside the factor tables
  double nu = -32768.0;     // its degrees of freedom
};

// m: readings per range (2 to 25), g: number of ranges (1 or more).
D2Star d2_star(int m, int g);

}  // namespace ztq
