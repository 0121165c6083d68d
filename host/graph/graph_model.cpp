#include "host/graph/graph_model.h"

#include <algorithm>
#include <cmath>

#include "host/graph/graph_settings.h"

namespace qualty {
namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are
// not one (overlong forms, surrogates and code points above U+10FFFF refused).
std::size_t utf8_length(const unsigned char* s, std::size_t i, std::size_t n) {
  const unsigned c = s[i];
  std::size_t len = 0;
  unsigned cp = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2, cp = c & 0x1Fu;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3, cp = c & 0x0Fu;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4, cp = c & 0x07u;
  } else {
    return 0;
  }
  if (i + len > n) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((s[i + k] & 0xC0u) != 0x80u) return 0;
    cp = (cp << 6) | (s[i + k] & 0x3Fu);
  }
  if ((len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF) return 0;
  if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
  return len;
}

std::string copy_text(const char* text) { return clean_text(text); }

GraphAxis copy_axis(const ZtgAxis& a) {
  GraphAxis out;
  out.min = a.min;
  out.max = a.max;
  out.increment = a.increment;
  out.log = a.log != 0;
  out.show = a.show != 0;
  out.title = copy_text(a.title);
  if (a.categories != nullptr && a.category_count > 0) {
    const int n = std::min(a.category_count, 10000);  // more could never be legible
    for (int i = 0; i < n; ++i) out.categories.push_back(clean_text(a.categories[i], 200));
  }
  out.rows = a.category_rows == 2 ? 2 : 1;
  out.category_origin = std::isfinite(a.category_origin) ? a.category_origin : 0.0;
  out.category_step = std::isfinite(a.category_step) ? a.category_step : 1.0;
  return out;
}

double unit(double v, double fallback) {
  return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : fallback;
}

}  // namespace

std::string clean_text(const char* text, std::size_t max_bytes) {
  std::string out;
  if (text == nullptr) return out;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  std::size_t n = 0;
  while (s[n] != 0 && n < max_bytes * 2 + 8) ++n;  // never scan a huge or unterminated text far
  for (std::size_t i = 0; i < n;) {
    std::string piece;
    const unsigned c = s[i];
    if (c < 0x80) {
      piece.assign(1, (c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c));
      i += 1;
    } else if (const std::size_t len = utf8_length(s, i, n); len > 0) {
      piece.assign(text + i, len);
      i += len;
    } else if (c < 0xA0) {
      piece = " ";  // Latin-1 control range
      i += 1;
    } else {  // Latin-1 byte: U+00A0..U+00FF in two UTF-8 bytes
      piece = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
      i += 1;
    }
    if (out.size() + piece.size() > max_bytes) break;
    out += piece;
  }
  return out;
}

Graph copy_graph(const ZtGraphDescriptor& d) {
  Graph g;
  g.kind = d.kind;
  g.options = d.options;
  g.settings = complete_settings(d.settings);
  const auto side = [](int32_t v, int32_t fallback) {
    return std::clamp(v > 0 ? v : fallback, 64, kMaxCanvasSide);
  };
  g.width = side(d.layout.width, g.settings.width);
  g.height = side(d.layout.height, g.settings.height);
  if (static_cast<double>(g.width) * g.height > kMaxCanvasArea) {
    const double shrink = std::sqrt(kMaxCanvasArea / (static_cast<double>(g.width) * g.height));
    g.width = std::max(64, static_cast<int>(g.width * shrink));
    g.height = std::max(64, static_cast<int>(g.height * shrink));
  }
  g.title = copy_text(d.layout.title);
  g.subtitle = copy_text(d.layout.subtitle);

  const int panels = std::clamp(d.layout.panel_count, 0, ZTG_MAX_PANELS);
  for (int i = 0; i < panels; ++i) {
    const ZtgPanel& p = d.layout.panels[i];
    GraphPanel q;
    q.left = unit(p.left, 0);
    q.top = unit(p.top, 0);
    q.width = std::min(unit(p.width, 1), 1 - q.left);
    q.height = std::min(unit(p.height, 1), 1 - q.top);
    q.kind = p.kind == ZTG_PANEL_TEXT ? ZTG_PANEL_TEXT : ZTG_PANEL_PLOT;
    q.title = copy_text(p.title);
    q.x = copy_axis(p.x);
    q.y = copy_axis(p.y);
    q.y2 = copy_axis(p.y2);
    g.panels.push_back(std::move(q));
  }
  if (g.panels.empty()) g.panels.emplace_back();

  const auto count = [](const void* table, int32_t n) -> std::size_t {
    return table != nullptr && n > 0 ? static_cast<std::size_t>(n) : 0;
  };
  const int npanels = static_cast<int>(g.panels.size());
  const std::size_t nattr = count(d.attributes, d.attribute_count);
  g.attributes.assign(d.attributes, d.attributes + nattr);
  const auto visible = [&](int32_t panel, int32_t attribute) {
    return panel >= 0 && panel < npanels && attribute >= 0 &&
           static_cast<std::size_t>(attribute) < nattr;
  };

  const std::size_t npoints = count(d.points, d.point_count);
  g.points.reserve(npoints);
  for (std::size_t i = 0; i < npoints; ++i) {
    const ZtgPoint& p = d.points[i];
    if (!visible(p.panel, p.attribute) || !std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    if (p.x == ZTG_MISSING || p.y == ZTG_MISSING) continue;
    g.points.push_back(p);
  }

  const std::size_t ncoords = count(d.coords, d.coord_count);
  g.coords.assign(d.coords, d.coords + ncoords);
  for (std::size_t i = 0; i < count(d.lines, d.line_count); ++i) {
    const ZtgLine& l = d.lines[i];
    if (!visible(l.panel, l.attribute) || l.first < 0 || l.count <= 0) continue;
    const auto first = static_cast<std::size_t>(l.first);
    if (first >= ncoords) continue;
    GraphLine q{first,
                std::min(static_cast<std::size_t>(l.count), ncoords - first),
                l.panel,
                l.attribute,
                l.coords,
                l.closed != 0,
                copy_text(l.label)};
    g.lines.push_back(std::move(q));
  }

  for (std::size_t i = 0; i < count(d.bars, d.bar_count); ++i) {
    const ZtgBar& b = d.bars[i];
    if (!visible(b.panel, b.attribute)) continue;
    g.bars.push_back({b.x0, b.y0, b.x1, b.y1, b.panel, b.attribute, b.coords, copy_text(b.label)});
  }

  for (std::size_t i = 0; i < count(d.texts, d.text_count); ++i) {
    const ZtgText& t = d.texts[i];
    const bool note = t.role == ZTG_TEXT_NOTE;
    if (!visible(note ? 0 : t.panel, t.attribute)) continue;
    GraphText q{t.x,      t.y,    note ? 0 : t.panel, t.attribute, t.coords,
                t.anchor, t.role, copy_text(t.text)};
    if (q.text.empty()) continue;
    g.texts.push_back(std::move(q));
  }
  return g;
}

}  // namespace qualty
