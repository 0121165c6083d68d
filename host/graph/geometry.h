// Plane geometry for the renderer: clipping of poly-lines and polygons to a
// rectangle (so absurd coordinates never reach the surface) and thinning of
// poly-lines that have many more points than pixel columns.
#pragma once

#include <vector>

#include "host/graph/painter.h"

namespace qualty {

struct Box {
  double x = 0, y = 0, w = 0, h = 0;
  double right() const { return x + w; }
  double bottom() const { return y + h; }
  bool contains(double px, double py, double slack = 0) const {
    return px >= x - slack && px <= x + w + slack && py >= y - slack && py <= y + h + slack;
  }
};

// The pieces of the poly-line that lie inside the box (Liang-Barsky clipping
// of each segment); consecutive inside segments stay one piece.
std::vector<std::vector<Pt>> clip_polyline(const std::vector<Pt>& line, const Box& box);

// The polygon cut to the box (Sutherland-Hodgman); empty when nothing is inside.
std::vector<Pt> clip_polygon(const std::vector<Pt>& polygon, const Box& box);

// A poly-line with at most four points per whole pixel column (the first, the
// lowest, the highest and the last of the column, in their order), which draws
// the same as the original at that resolution.
std::vector<Pt> thin_polyline(const std::vector<Pt>& line);

}  // namespace qualty
