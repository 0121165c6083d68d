#include "custom/custom_frame.h"

#include <cmath>

#include "stats/guarded.h"

namespace ztq {

int32_t check_custom_axis(const CustomAxis& a) {
  if (!std::isfinite(a.min) || !std::isfinite(a.max) || !(a.max > a.min + kCustomMinimumSpan))
    return kCustomMaxNotAboveMin;
  if (!std::isfinite(a.increment) || !(a.increment >= kCustomMinimumSpan))
    return kCustomIncrementTooSmall;
  return 0;
}

CustomFrame custom_frame(const CustomSettings& s) {
  CustomFrame f;
  f.x = s.x;
  f.y = s.y;
  f.titles = s.titles;
  for (int k = 0; k < kCustomLines; ++k) {
    const double p = s.position[static_cast<size_t>(k)];
    if (is_missing(p) || !std::isfinite(p)) continue;
    CustomLine l;
    l.line = k + 1;
    l.orientation = s.orientation[static_cast<size_t>(k)] == 1 ? 1 : 0;
    l.position = p;
    if (l.orientation == 1) {
      l.from_x = l.to_x = p;
      l.from_y = s.y.min;
      l.to_y = s.y.max;
    } else {
      l.from_y = l.to_y = p;
      l.from_x = s.x.min;
      l.to_x = s.x.max;
    }
    f.lines.push_back(l);
  }
  return f;
}

}  // namespace ztq
