// Axis scales: round tick values for a range of data.
#pragma once

#include <string>
#include <vector>

namespace qualty {

struct AxisScale {
  double min = 0, max = 1;    // the axis range drawn
  double step = 0.2;          // distance between ticks (linear axes)
  bool log = false;           // ticks are powers of ten and their 2 and 5 multiples
  std::vector<double> ticks;  // values inside [min, max], ascending
};

// A range to scale: the finite, ordered, non-empty version of [lo, hi]. Equal
// ends are widened by 10% of their magnitude (or by 1 around 0); reversed ends
// are swapped; non-finite ends give [0, 1].
void widen_range(double& lo, double& hi);

// Round ticks that enclose [lo, hi]: steps of 1, 2 or 5 times a power of ten,
// 4 to 6 divisions where the 1-2-5 rule allows, else the count nearest to
// that band (ties to the tighter range).
AxisScale nice_scale(double lo, double hi);

// The scale of an axis the caller fixed: [lo, hi] kept as given, ticks at
// lo + k x increment when that gives 2 to 50 divisions, else at the round
// multiples of a 1-2-5 step that gives 4 to 6 divisions inside the range.
AxisScale fixed_scale(double lo, double hi, double increment);

// A logarithmic scale over [lo, hi] (both above 0): whole decades enclosing it.
AxisScale log_scale(double lo, double hi);

// The label of a tick value: as many decimals as the step needs, no "-0",
// DECIMAL as the decimal separator.
std::string tick_label(double value, double step, char decimal = '.');

}  // namespace qualty
