#include "host/graph/geometry.h"

#include <algorithm>
#include <cmath>

namespace qualty {
namespace {

// Liang, Y.-D. and Barsky, B. A. (1984), "A new concept and method for line
// clipping", ACM Transactions on Graphics 3(1), 1-22.
bool clip_segment(Pt& a, Pt& b, const Box& box) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - box.x, box.right() - a.x, a.y - box.y, box.bottom() - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;  // parallel and outside
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
  }
  const Pt a0 = a;
  if (t1 < 1) b = {a0.x + t1 * dx, a0.y + t1 * dy};
  if (t0 > 0) a = {a0.x + t0 * dx, a0.y + t0 * dy};
  return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) && std::isfinite(b.y);
}

}  // namespace

std::vector<std::vector<Pt>> clip_polyline(const std::vector<Pt>& line, const Box& box) {
  std::vector<std::vector<Pt>> pieces;
  if (line.size() == 1 && box.contains(line[0].x, line[0].y)) pieces.push_back(line);
  bool open = false;  // the last piece ends where the next segment starts
  for (std::size_t i = 1; i < line.size(); ++i) {
    Pt a = line[i - 1], b = line[i];
    const bool b_unchanged = box.contains(b.x, b.y);
    if (!clip_segment(a, b, box)) {
      open = false;
      continue;
    }
    if (!open) pieces.push_back({a});
    pieces.back().push_back(b);
    open = b_unchanged;
  }
  return pieces;
}

std::vector<Pt> clip_polygon(const std::vector<Pt>& polygon, const Box& box) {
  // Sutherland, I. E. and Hodgman, G. W. (1974), "Reentrant polygon clipping",
  // Comm. ACM 17(1), 32-42: cut by each of the four edges in turn.
  std::vector<Pt> cur = polygon;
  for (int edge = 0; edge < 4 && !cur.empty(); ++edge) {
    const auto inside = [&](const Pt& p) {
      switch (edge) {
        case 0:
          return p.x >= box.x;
        case 1:
          return p.x <= box.right();
        case 2:
          return p.y >= box.y;
        default:
          return p.y <= box.bottom();
      }
    };
    const auto cross = [&](const Pt& a, const Pt& b) {
      const bool vertical = edge < 2;
      const double c = edge == 0   ? box.x
                       : edge == 1 ? box.right()
                       : edge == 2 ? box.y
                                   : box.bottom();
      const double t = vertical ? (c - a.x) / (b.x - a.x) : (c - a.y) / (b.y - a.y);
      return Pt{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
    };
    std::vector<Pt> next;
    for (std::size_t i = 0; i < cur.size(); ++i) {
      const Pt& a = cur[(i + cur.size() - 1) % cur.size()];
      const Pt& b = cur[i];
      if (inside(b)) {
        if (!inside(a)) next.push_back(cross(a, b));
        next.push_back(b);
      } else if (inside(a)) {
        next.push_back(cross(a, b));
      }
    }
    cur = std::move(next);
  }
  return cur;
}

std::vector<Pt> thin_polyline(const std::vector<Pt>& line) {
  std::vector<Pt> out;
  out.reserve(std::min<std::size_t>(line.size(), 4096));
  std::size_t i = 0;
  while (i < line.size()) {
    const double column = std::floor(line[i].x);
    std::size_t j = i, lo = i, hi = i;
    while (j < line.size() && std::floor(line[j].x) == column) {
      if (line[j].y < line[lo].y) lo = j;
      if (line[j].y > line[hi].y) hi = j;
      ++j;
    }
    std::size_t keep[4] = {i, std::min(lo, hi), std::max(lo, hi), j - 1};
    for (int k = 0; k < 4; ++k)
      if (k == 0 || keep[k] != keep[k - 1]) out.push_back(line[keep[k]]);
    i = j;
  }
  return out;
}

}  // namespace qualty
