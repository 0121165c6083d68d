// The elements of a graph: bars, lines with their value labels, point markers
// and free texts, each clipped to its panel.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_set>

#include "host/graph/render_detail.h"

namespace qualty::detail {
namespace {

struct LineLabel {
  std::string text;
  double x, y, w;
  int colour;
};

// Draw order of points: excluded under the data, out-of-control on top.
int priority(const Style& s) {
  return s.tag == ZTG_TAG_EXCLUDED ? 0 : s.tag == ZTG_TAG_OUT_OF_CONTROL ? 2 : 1;
}

void draw_bars(const Graph& g, Painter& p, RenderLog& log, const PanelGeom& pg,
               const std::vector<const GraphBar*>& bars) {
  p.begin_group("bars");
  for (const GraphBar* b : bars) {
    if (!usable(b->x0) || !usable(b->x1) || !usable(b->y0) || !usable(b->y1)) continue;
    const Pt a = map_point(pg, b->coords, b->x0, b->y0), c = map_point(pg, b->coords, b->x1, b->y1);
    const double x0 = std::max(std::min(a.x, c.x), pg.plot.x - 1);
    const double x1 = std::min(std::max(a.x, c.x), pg.plot.right() + 1);
    const double y0 = std::max(std::min(a.y, c.y), pg.plot.y - 1);
    const double y1 = std::min(std::max(a.y, c.y), pg.plot.bottom() + 1);
    if (!(x1 > x0) || !(y1 >= y0)) continue;  // also false for NaN
    const Style s = style_of(g, b->attribute);
    p.set_stroke(s.stroke, std::min(s.width, 1.0), 0);
    p.set_fill(s.fill);
    p.rect(x0, y0, x1 - x0, std::max(y1 - y0, 0.5));
    ++log.bars;
  }
  p.end_group();
}

void draw_lines(const Graph& g, Painter& p, RenderLog& log, const PanelGeom& pg,
                const std::vector<const GraphLine*>& lines, std::vector<LineLabel>& right,
                std::vector<LineLabel>& top) {
  const Box box{pg.plot.x - 2, pg.plot.y - 2, pg.plot.w + 4, pg.plot.h + 4};
  const double size = g.settings.tick_size;
  p.begin_group("lines");
  for (const GraphLine* l : lines) {
    const Style s = style_of(g, l->attribute);
    std::vector<std::vector<Pt>> runs(1);
    const ZtgCoord* first = nullptr;
    const ZtgCoord* last = nullptr;
    for (std::size_t k = l->first; k < l->first + l->count; ++k) {
      const ZtgCoord& c = g.coords[k];
      const Pt q = usable(c.x) && usable(c.y) ? map_point(pg, l->coords, c.x, c.y) : Pt{NAN, NAN};
      if (!std::isfinite(q.x) || !std::isfinite(q.y)) {  // a missing value breaks the line
        if (!runs.back().empty()) runs.emplace_back();
        continue;
      }
      if (first == nullptr) first = &c;
      last = &c;
      runs.back().push_back(q);
    }
    p.set_stroke(s.stroke, s.width, s.line_style);
    p.set_fill(l->closed ? s.fill : ZTG_COLOUR_NONE);
    if (l->closed && runs.size() == 1 && runs[0].size() >= 3) {
      const std::vector<Pt> poly = clip_polygon(runs[0], box);
      if (poly.size() >= 3) p.polyline(poly.data(), poly.size(), true), ++log.line_pieces;
    } else {
      for (const auto& run : runs) {
        for (auto& piece : clip_polyline(run, box)) {
          if (piece.size() > 2 * static_cast<std::size_t>(pg.plot.w) + 16)
            piece = thin_polyline(piece);
          if (piece.size() >= 2) p.polyline(piece.data(), piece.size(), false), ++log.line_pieces;
        }
      }
    }
    if (l->label.empty() || first == nullptr) continue;
    const Pt a = map_point(pg, l->coords, first->x, first->y);
    const Pt b = map_point(pg, l->coords, last->x, last->y);
    const double w = p.text_width(l->label, size, false);
    if (first->x == last->x && first->y != last->y) {
      if (a.x >= pg.plot.x - 0.5 && a.x <= pg.plot.right() + 0.5)
        top.push_back({l->label, a.x, 0, w, s.stroke});
    } else if (std::isfinite(b.y)) {
      right.push_back({l->label, 0, std::clamp(b.y, pg.plot.y, pg.plot.bottom()), w, s.stroke});
    }
  }
  p.end_group();
}

void draw_points(const Graph& g, Painter& p, RenderLog& log, const PanelGeom& pg,
                 const std::vector<const ZtgPoint*>& points) {
  std::vector<Style> styles(g.attributes.size());
  for (std::size_t a = 0; a < styles.size(); ++a) styles[a] = style_of(g, static_cast<int>(a));
  // One marker per attribute and grid cell: markers more numerous than the
  // plot is wide merge into a band anyway, so they go on a grid of one
  // marker's size (flagged and excluded ones on a grid of two sizes, so that a
  // dense chart with a few per cent flagged does not turn that colour).
  std::vector<std::size_t> per_attribute(styles.size(), 0);
  for (const ZtgPoint* q : points) ++per_attribute[static_cast<std::size_t>(q->attribute)];
  std::vector<double> grid(styles.size(), 1.0);
  for (std::size_t a = 0; a < styles.size(); ++a)
    if (static_cast<double>(per_attribute[a]) > pg.plot.w)
      grid[a] = std::max(1.0, styles[a].size * (styles[a].tag == ZTG_TAG_DATA ? 1.0 : 2.0));
  std::unordered_set<std::uint64_t> seen;
  std::vector<std::vector<Pt>> centres(styles.size());
  for (const ZtgPoint* q : points) {
    const auto a = static_cast<std::size_t>(q->attribute);
    if (styles[a].marker == ZTG_MARK_NONE) continue;
    const Pt c = map_point(pg, q->coords, q->x, q->y);
    if (!pg.plot.contains(c.x, c.y, 0.5)) continue;  // also false for NaN
    const double step = grid[a];
    const auto cell = [step](double v, double from) {
      return static_cast<std::uint64_t>((v - from) / step + 2);
    };
    const std::uint64_t key =
        (static_cast<std::uint64_t>(a) << 40) | (cell(c.x, pg.plot.x) << 20) | cell(c.y, pg.plot.y);
    if (seen.insert(key).second) centres[a].push_back(c);
  }
  // Excluded under the data, out-of-control on top; each kind as one path.
  std::vector<std::size_t> order(styles.size());
  for (std::size_t a = 0; a < order.size(); ++a) order[a] = a;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    return priority(styles[x]) < priority(styles[y]);
  });
  p.begin_group("points");
  for (std::size_t a : order) {
    if (centres[a].empty()) continue;
    const Style& s = styles[a];
    p.set_stroke(s.stroke, std::max(0.6, std::min(1.4, s.width)), 0);
    p.set_fill(s.fill);
    p.markers(centres[a].data(), centres[a].size(), s.marker, s.size);
    log.markers += centres[a].size();
  }
  p.end_group();
}

void draw_line_labels(const Graph& g, Painter& p, RenderLog& log, const PanelGeom& pg,
                      std::vector<LineLabel>& right, std::vector<LineLabel>& top) {
  const double size = g.settings.tick_size;
  const FontMetrics m = p.metrics(size);
  const double lh = m.ascent + m.descent + 1;
  p.begin_group("line-labels");
  // Right margin: in order of height, pushed apart to one line each.
  std::sort(right.begin(), right.end(),
            [](const LineLabel& a, const LineLabel& b) { return a.y < b.y; });
  for (std::size_t k = 1; k < right.size(); ++k)
    right[k].y = std::max(right[k].y, right[k - 1].y + lh);
  for (std::size_t k = right.size(); k-- > 0;) {
    const double limit = k + 1 < right.size() ? right[k + 1].y - lh : pg.frame.bottom() - lh / 2;
    right[k].y = std::min(right[k].y, limit);
  }
  const Box rbox{pg.right_labels_x, pg.frame.y, pg.frame.right() - pg.right_labels_x, pg.frame.h};
  for (const LineLabel& l : right)
    draw_text(p, log, l.text, rbox.x, l.y, ZTG_ANCHOR_LEFT + ZTG_ANCHOR_MIDDLE, size, false,
              l.colour, rbox.w, rbox, "line-label");
  // Above the plot: in order along X, pushed apart so that none overlaps.
  std::sort(top.begin(), top.end(),
            [](const LineLabel& a, const LineLabel& b) { return a.x < b.x; });
  for (std::size_t k = 1; k < top.size(); ++k)
    top[k].x = std::max(top[k].x, top[k - 1].x + (top[k - 1].w + top[k].w) / 2 + 6);
  for (const LineLabel& l : top)
    draw_text(p, log, l.text, l.x, pg.top_labels_y, ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_BASELINE, size,
              false, l.colour, pg.frame.w / std::max<double>(1.0, static_cast<double>(top.size())),
              pg.frame, "line-label");
  p.end_group();
}

bool overlap(const Box& a, const Box& b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

void draw_texts(const Graph& g, Painter& p, RenderLog& log, const PanelGeom& pg,
                const std::vector<const GraphText*>& texts) {
  p.begin_group("texts");
  std::vector<Box> marks;  // mark labels drawn: a label that would overlap one is left out
  const double mark_size = g.settings.tick_size * 0.85;
  const FontMetrics mark_font = p.metrics(mark_size);
  for (const GraphText* t : texts) {
    if (!usable(t->x) || !usable(t->y)) continue;
    const Pt c = map_point(pg, t->coords, t->x, t->y);
    const bool data = t->coords == ZTG_COORDS_DATA || t->coords == ZTG_COORDS_DATA2;
    if (data ? !pg.plot.contains(c.x, c.y, 1) : !pg.frame.contains(c.x, c.y, 1)) continue;
    if (t->role == ZTG_TEXT_MARK) {  // above its marker, small, in the marker's colour
      const Style m = style_of(g, t->attribute);
      const double y = c.y - m.size / 2 - 2, w = p.text_width(t->text, mark_size, false);
      const Box want{c.x - w / 2 - 1, y - mark_font.ascent, w + 2,
                     mark_font.ascent + mark_font.descent};  // as draw_text places it
      if (std::any_of(marks.begin(), marks.end(), [&](const Box& b) { return overlap(b, want); }))
        continue;
      marks.push_back(draw_text(p, log, t->text, c.x, y, ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_BASELINE,
                                mark_size, false, m.stroke, pg.plot.w, pg.frame, "mark-label"));
      continue;
    }
    const Style s = style_of(g, t->attribute, true);
    draw_text(p, log, t->text, c.x, c.y, t->anchor, s.size, s.bold, s.stroke, pg.frame.w, pg.frame,
              "text");
  }
  p.end_group();
}

}  // namespace

void draw_elements(const Graph& g, Painter& p, RenderLog& log,
                   const std::vector<PanelGeom>& panels) {
  const std::size_t n = panels.size();
  std::vector<std::vector<const GraphBar*>> bars(n);
  std::vector<std::vector<const GraphLine*>> lines(n);
  std::vector<std::vector<const ZtgPoint*>> points(n);
  std::vector<std::vector<const GraphText*>> texts(n);
  for (const GraphBar& b : g.bars) bars[static_cast<std::size_t>(b.panel)].push_back(&b);
  for (const GraphLine& l : g.lines) lines[static_cast<std::size_t>(l.panel)].push_back(&l);
  for (const ZtgPoint& q : g.points) points[static_cast<std::size_t>(q.panel)].push_back(&q);
  for (const GraphText& t : g.texts)
    if (t.role == ZTG_TEXT_PLAIN || t.role == ZTG_TEXT_MARK)
      texts[static_cast<std::size_t>(t.panel)].push_back(&t);
  for (std::size_t i = 0; i < n; ++i) {
    const PanelGeom& pg = panels[i];
    std::vector<LineLabel> right, top;
    p.begin_group("data");
    p.clip(pg.plot.x, pg.plot.y, pg.plot.w, pg.plot.h);
    draw_bars(g, p, log, pg, bars[i]);
    draw_lines(g, p, log, pg, lines[i], right, top);
    draw_points(g, p, log, pg, points[i]);
    p.unclip();
    p.end_group();
    // Bar labels sit above their bars inside the plot area.
    for (const GraphBar* b : bars[i]) {
      if (b->label.empty() || !usable(b->x0) || !usable(b->x1) || !usable(b->y1)) continue;
      const Pt a = map_point(pg, b->coords, (b->x0 + b->x1) / 2, std::max(b->y0, b->y1));
      if (!pg.plot.contains(a.x, a.y, 1)) continue;
      draw_text(p, log, b->label, a.x, a.y - 2, ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_BASELINE,
                g.settings.tick_size, false, g.settings.foreground, pg.plot.w, pg.plot,
                "bar-label");
    }
    draw_line_labels(g, p, log, pg, right, top);
    draw_texts(g, p, log, pg, texts[i]);
    draw_legend(g, p, log, pg, static_cast<int>(i));
  }
}

}  // namespace qualty::detail

namespace qualty {

RenderLog render_graph(const Graph& graph, Painter& painter) {
  RenderLog log;
  const auto panels = detail::layout_and_frame(graph, painter, log);
  detail::draw_elements(graph, painter, log, panels);
  return log;
}

}  // namespace qualty
