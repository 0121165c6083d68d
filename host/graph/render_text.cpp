// Text placement, ellipsis and the look of attributes.
#include <algorithm>
#include <cmath>

#include "host/graph/render_detail.h"

namespace qualty::detail {

bool usable(double v) { return std::isfinite(v) && v != ZTG_MISSING; }

Style style_of(const Graph& g, int attribute, bool for_text) {
  Style s;
  const ZtGraphSettings& set = g.settings;
  s.width = set.line_width;
  s.size = for_text ? set.label_size : set.marker_size;
  s.stroke = set.foreground;
  if (attribute < 0 || static_cast<std::size_t>(attribute) >= g.attributes.size()) return s;
  const ZtgAttribute& a = g.attributes[static_cast<std::size_t>(attribute)];
  s.tag = a.tag >= 0 && a.tag < ZTG_TAG_COUNT ? a.tag : ZTG_TAG_DATA;
  const int tag_colour = set.tag_colours[s.tag];
  const auto valid = [](int c) { return c >= 0 && c <= 0xFFFFFF; };
  s.stroke = valid(a.colour)               ? a.colour
             : a.colour == ZTG_COLOUR_NONE ? ZTG_COLOUR_NONE
                                           : tag_colour;
  if (s.tag == ZTG_TAG_BAR && a.colour == ZTG_COLOUR_AUTO) {  // bars: a darker outline
    s.stroke = (((tag_colour >> 16) & 0xFF) * 6 / 10) << 16 |
               (((tag_colour >> 8) & 0xFF) * 6 / 10) << 8 | ((tag_colour & 0xFF) * 6 / 10);
  }
  s.fill = valid(a.fill_colour)               ? a.fill_colour
           : a.fill_colour == ZTG_COLOUR_NONE ? ZTG_COLOUR_NONE
           : s.tag == ZTG_TAG_BAR             ? tag_colour
                                              : s.stroke;
  s.marker =
      a.marker >= ZTG_MARK_NONE && a.marker <= ZTG_MARK_CIRCLE_CROSS ? a.marker : ZTG_MARK_CIRCLE;
  s.line_style = a.line_style >= 0 && a.line_style <= ZTG_LINE_DASH_DOT ? a.line_style : 0;
  s.bold = a.bold != 0;
  if (std::isfinite(a.width) && a.width > 0) s.width = std::min(a.width, 20.0);
  if (std::isfinite(a.size) && a.size > 0) s.size = std::min(a.size, for_text ? 72.0 : 50.0);
  return s;
}

std::string ellipsise(Painter& painter, const std::string& s, double size, bool bold,
                      double max_width) {
  if (painter.text_width(s, size, bold) <= max_width) return s;
  static const std::string kDots = "\xE2\x80\xA6";  // U+2026 horizontal ellipsis
  std::vector<std::size_t> ends;                    // byte ends of whole characters
  for (std::size_t i = 1; i <= s.size(); ++i)
    if (i == s.size() || (static_cast<unsigned char>(s[i]) & 0xC0u) != 0x80u) ends.push_back(i);
  std::size_t lo = 0, hi = ends.size();  // prefixes of ends[0..k-1] characters
  while (lo < hi) {                      // the largest k whose prefix and dots fit
    const std::size_t mid = (lo + hi + 1) / 2;
    if (painter.text_width(s.substr(0, ends[mid - 1]) + kDots, size, bold) <= max_width)
      lo = mid;
    else
      hi = mid - 1;
  }
  if (lo == 0) return painter.text_width(kDots, size, bold) <= max_width ? kDots : "";
  return s.substr(0, ends[lo - 1]) + kDots;
}

Box draw_text(Painter& painter, RenderLog& log, const std::string& s, double x, double y,
              int anchor, double size, bool bold, int colour, double max_width, const Box& bounds,
              const char* role) {
  if (s.empty() || !std::isfinite(x) || !std::isfinite(y)) return {};
  const std::string fitted = ellipsise(painter, s, size, bold, std::min(max_width, bounds.w));
  if (fitted.empty()) return {};
  const FontMetrics m = painter.metrics(size);
  if (m.ascent + m.descent > bounds.h + 0.5) return {};  // no room for one line
  const int a = std::clamp(anchor, 0, 8);
  const int horizontal = a % 3, vertical = a / 3;
  const double w = painter.text_width(fitted, size, bold);
  double left = x - horizontal * w / 2;
  double base = vertical == 0 ? y : vertical == 1 ? y + (m.ascent - m.descent) / 2 : y + m.ascent;
  left = std::clamp(left, bounds.x, std::max(bounds.x, bounds.right() - w));
  base = std::clamp(base, bounds.y + m.ascent,
                    std::max(bounds.y + m.ascent, bounds.bottom() - m.descent));
  painter.text(left, base, fitted, size, bold, colour, 0);
  const Box box{left, base - m.ascent, w, m.ascent + m.descent};
  log.texts.push_back({fitted, box, role});
  return box;
}

Pt map_point(const PanelGeom& p, int coords, double x, double y) {
  const auto along = [](const AxisScale& s, double v, double from, double length) {
    if (s.log) {
      if (!(v > 0)) return std::nan("");
      return from +
             (std::log10(v) - std::log10(s.min)) / (std::log10(s.max) - std::log10(s.min)) * length;
    }
    return from + (v - s.min) / (s.max - s.min) * length;
  };
  switch (coords) {
    case ZTG_COORDS_PLOT:
      return {p.plot.x + x * p.plot.w, p.plot.bottom() - y * p.plot.h};
    case ZTG_COORDS_PANEL:
      return {p.frame.x + x * p.frame.w, p.frame.bottom() - y * p.frame.h};
    case ZTG_COORDS_DATA2:
      return {along(p.x, x, p.plot.x, p.plot.w), along(p.y2, y, p.plot.bottom(), -p.plot.h)};
    default:
      return {along(p.x, x, p.plot.x, p.plot.w), along(p.y, y, p.plot.bottom(), -p.plot.h)};
  }
}

}  // namespace qualty::detail
