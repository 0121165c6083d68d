// The frame of a graph: titles, panel rectangles, scales, axes with ticks,
// axis titles, category labels, notes and legends.
#include <algorithm>
#include <cmath>

#include "host/graph/render_detail.h"

namespace qualty::detail {
namespace {

constexpr double kPad = 6;      // space between blocks
constexpr double kTickLen = 4;  // length of the tick marks outside the plot
constexpr double kSample = 22;  // width of a legend sample
constexpr int kMaxLegendRows = 6;

struct Range {
  double lo = INFINITY, hi = -INFINITY;
  void add(double v, bool log) {
    if (!usable(v) || (log && !(v > 0))) return;
    lo = std::min(lo, v), hi = std::max(hi, v);
  }
};

AxisScale scale_for(const GraphAxis& a, const Range& data) {
  const bool fixed = std::isfinite(a.min) && std::isfinite(a.max) && a.max > a.min;
  if (a.log) {
    if (fixed && a.min > 0) return log_scale(a.min, a.max);
    if (data.lo <= data.hi) return log_scale(data.lo, data.hi);
    return log_scale(1, 10);
  }
  if (fixed) return fixed_scale(a.min, a.max, a.increment);
  if (data.lo <= data.hi) return nice_scale(data.lo, data.hi);
  return nice_scale(0, 1);
}

double line_height(Painter& p, double size) {
  const FontMetrics m = p.metrics(size);
  return m.ascent + m.descent;
}

// Legend entries of panel i, in order.
std::vector<const GraphText*> legend_entries(const Graph& g, int i) {
  std::vector<const GraphText*> out;
  for (const GraphText& t : g.texts)
    if (t.role == ZTG_TEXT_LEGEND && t.panel == i) out.push_back(&t);
  return out;
}

// Rows of the legend flowed into the width; each entry's row and x offset.
struct Flow {
  int rows = 0;
  std::vector<std::pair<int, double>> at;
};
Flow flow_legend(const Graph& g, Painter& p, int i, double width) {
  Flow f;
  double x = 0;
  const double size = g.settings.label_size;
  for (const GraphText* t : legend_entries(g, i)) {
    const double w =
        std::min(kSample + 4 + p.text_width(t->text, size, false), std::max(width, 1.0));
    if (f.rows == 0 || (x > 0 && x + w > width)) ++f.rows, x = 0;
    f.at.push_back({f.rows - 1, x});
    x += w + 14;
  }
  return f;
}

void draw_ticks_x(const Graph& g, Painter& p, RenderLog& log, const PanelGeom& pg, int fg) {
  const GraphAxis& a = pg.panel->x;
  const double size = g.settings.tick_size, lh = line_height(p, size);
  if (!pg.x_labels) return;
  if (!a.categories.empty()) {
    const double step_px = std::fabs(a.category_step / (pg.x.max - pg.x.min) * pg.plot.w) * a.rows;
    if (step_px < 8) return;  // too dense to be legible
    if (pg.rotate) {
      // Turned by 45 degrees, ending under their tick.
      const double c = std::sqrt(0.5), asc = p.metrics(size).ascent;
      for (std::size_t i = 0; i < a.categories.size(); ++i) {
        const double v = a.category_origin + static_cast<double>(i) * a.category_step;
        const Pt q = map_point(pg, ZTG_COORDS_DATA, v, pg.y.min);
        if (!pg.plot.contains(q.x, pg.plot.y, 0.5)) continue;
        // Cut to the room below the plot and to the canvas's left edge.
        const double room = std::min(pg.label_cut, (q.x - 2) / c);
        const std::string s = ellipsise(p, a.categories[i], size, false, room);
        if (s.empty()) continue;
        const double w = p.text_width(s, size, false);
        const double x0 = q.x - w * c + asc * c / 2, y0 = pg.plot.bottom() + kTickLen + w * c + asc;
        p.text(x0, y0, s, size, false, fg, -45);
        log.texts.push_back({s, {x0, y0 - w * c - asc, w * c + asc, w * c + asc}, "category"});
      }
      return;
    }
    for (std::size_t i = 0; i < a.categories.size(); ++i) {
      const double v = a.category_origin + static_cast<double>(i) * a.category_step;
      const Pt q = map_point(pg, ZTG_COORDS_DATA, v, pg.y.min);
      if (!pg.plot.contains(q.x, pg.plot.y, 0.5)) continue;
      const double row = a.rows == 2 ? static_cast<double>(i % 2) : 0;
      draw_text(p, log, a.categories[i], q.x, pg.plot.bottom() + kTickLen + 2 + row * lh,
                ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_TOP, size, false, fg, step_px - 4, pg.frame,
                "category");
    }
    return;
  }
  const double spacing =
      pg.x.ticks.size() > 1 ? pg.plot.w / static_cast<double>(pg.x.ticks.size() - 1) : pg.plot.w;
  for (double t : pg.x.ticks) {
    const Pt q = map_point(pg, ZTG_COORDS_DATA, t, pg.y.min);
    if (!std::isfinite(q.x) || q.x < pg.plot.x - 0.5 || q.x > pg.plot.right() + 0.5) continue;
    const Pt tick[2] = {{q.x, pg.plot.bottom()}, {q.x, pg.plot.bottom() + kTickLen}};
    p.polyline(tick, 2, false);
    draw_text(p, log, tick_label(t, pg.x.step, g.decimal), q.x, pg.plot.bottom() + kTickLen + 2,
              ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_TOP, size, false, fg, spacing * 1.8, pg.frame, "tick");
  }
}

void draw_ticks_y(const Graph& g, Painter& p, RenderLog& log, const PanelGeom& pg,
                  const AxisScale& s, bool second, int fg) {
  const double size = g.settings.tick_size;
  const double edge = second ? pg.plot.right() : pg.plot.x;
  const double dir = second ? 1 : -1;
  for (double t : s.ticks) {
    const Pt q = map_point(pg, second ? ZTG_COORDS_DATA2 : ZTG_COORDS_DATA, pg.x.min, t);
    if (!std::isfinite(q.y) || q.y < pg.plot.y - 0.5 || q.y > pg.plot.bottom() + 0.5) continue;
    const Pt tick[2] = {{edge, q.y}, {edge + dir * kTickLen, q.y}};
    p.polyline(tick, 2, false);
    draw_text(p, log, tick_label(t, s.step, g.decimal), edge + dir * (kTickLen + 2), q.y,
              (second ? ZTG_ANCHOR_LEFT : ZTG_ANCHOR_RIGHT) + ZTG_ANCHOR_MIDDLE, size, false, fg,
              pg.frame.w * 0.3, pg.frame, "tick");
  }
}

// A title written upwards along a vertical axis, its baseline at x.
void draw_vertical_title(const Graph& g, Painter& p, RenderLog& log, const std::string& s, double x,
                         const PanelGeom& pg, int fg) {
  const double size = g.settings.label_size;
  const std::string fitted = ellipsise(p, s, size, false, pg.plot.h);
  if (fitted.empty()) return;
  const FontMetrics m = p.metrics(size);
  const double w = p.text_width(fitted, size, false);
  const double y = pg.plot.y + pg.plot.h / 2 + w / 2;
  p.text(x, y, fitted, size, false, fg, -90);
  log.texts.push_back({fitted, {x - m.ascent, y - w, m.ascent + m.descent, w}, "axis-title"});
}

}  // namespace

void draw_legend(const Graph& g, Painter& p, RenderLog& log, const PanelGeom& pg, int index) {
  const auto entries = legend_entries(g, index);
  if (entries.empty()) return;
  const Flow f = flow_legend(g, p, index, pg.plot.w);
  const double size = g.settings.label_size, lh = line_height(p, size) + 3;
  p.begin_group("legend");
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const auto [row, dx] = f.at[k];
    if (row >= kMaxLegendRows) break;
    const double x = pg.plot.x + dx, mid = pg.legend_y + row * lh + lh / 2;
    const Style s = style_of(g, entries[k]->attribute);
    if (s.tag == ZTG_TAG_BAR) {
      p.set_stroke(s.stroke, 0.8, 0);
      p.set_fill(s.fill);
      p.rect(x + 5, mid - 5, 12, 10);
    } else {
      if (s.marker == ZTG_MARK_NONE || s.tag != ZTG_TAG_DATA) {
        p.set_stroke(s.stroke, s.width, s.line_style);
        const Pt seg[2] = {{x, mid}, {x + kSample - 2, mid}};
        if (s.marker == ZTG_MARK_NONE || s.tag == ZTG_TAG_FIT_CURVE) p.polyline(seg, 2, false);
      }
      if (s.marker != ZTG_MARK_NONE) {
        p.set_stroke(s.stroke, 1, 0);
        p.set_fill(s.fill);
        p.marker(x + kSample / 2 - 1, mid, s.marker, s.size);
      }
    }
    draw_text(p, log, entries[k]->text, x + kSample + 2, mid, ZTG_ANCHOR_LEFT + ZTG_ANCHOR_MIDDLE,
              size, false, g.settings.foreground, pg.plot.right() - x - kSample - 2, pg.frame,
              "legend");
  }
  p.end_group();
}

std::vector<PanelGeom> layout_and_frame(const Graph& g, Painter& p, RenderLog& log) {
  const ZtGraphSettings& set = g.settings;
  const Box canvas{0, 0, static_cast<double>(g.width), static_cast<double>(g.height)};
  const int fg = set.foreground;
  p.set_stroke(ZTG_COLOUR_NONE, 0, 0);
  p.set_fill(set.background);
  p.begin_group("background");
  p.rect(0, 0, canvas.w, canvas.h);
  p.end_group();

  // Titles on top, notes at the bottom; the panels share what is between.
  p.begin_group("titles");
  double top = kPad;
  if (!g.title.empty())
    top = draw_text(p, log, g.title, canvas.w / 2, top, ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_TOP,
                    set.title_size, true, fg, canvas.w - 2 * kPad, canvas, "title")
              .bottom() +
          2;
  if (!g.subtitle.empty())
    top = draw_text(p, log, g.subtitle, canvas.w / 2, top, ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_TOP,
                    set.label_size, false, fg, canvas.w - 2 * kPad, canvas, "subtitle")
              .bottom() +
          2;
  double bottom = canvas.h - kPad;
  const double note_h = line_height(p, set.label_size) + 2;
  int notes = 0;
  for (auto it = g.texts.rbegin(); it != g.texts.rend(); ++it) {
    if (it->role != ZTG_TEXT_NOTE || bottom - note_h < canvas.h * 0.75) continue;
    const Style s = style_of(g, it->attribute, true);
    draw_text(p, log, it->text, kPad, bottom, ZTG_ANCHOR_LEFT + ZTG_ANCHOR_BASELINE, s.size, s.bold,
              s.stroke, canvas.w - 2 * kPad, canvas, "note");
    bottom -= note_h, ++notes;
  }
  if (notes > 0) bottom -= 2;
  p.end_group();
  const Box body{0, top, canvas.w, std::max(1.0, bottom - top)};

  // Data ranges per panel and axis.
  const std::size_t n = g.panels.size();
  std::vector<Range> rx(n), ry(n), ry2(n);
  const auto add = [&](int panel, int coords, double x, double y) {
    if (coords != ZTG_COORDS_DATA && coords != ZTG_COORDS_DATA2) return;
    const auto i = static_cast<std::size_t>(panel);
    rx[i].add(x, g.panels[i].x.log);
    if (coords == ZTG_COORDS_DATA)
      ry[i].add(y, g.panels[i].y.log);
    else
      ry2[i].add(y, g.panels[i].y2.log);
  };
  for (const ZtgPoint& q : g.points) add(q.panel, q.coords, q.x, q.y);
  for (const GraphLine& l : g.lines)
    for (std::size_t k = l.first; k < l.first + l.count; ++k)
      add(l.panel, l.coords, g.coords[k].x, g.coords[k].y);
  for (const GraphBar& b : g.bars)
    add(b.panel, b.coords, b.x0, b.y0), add(b.panel, b.coords, b.x1, b.y1);

  std::vector<PanelGeom> out(n);
  const double tick_h = line_height(p, set.tick_size), label_h = line_height(p, set.label_size);
  for (std::size_t i = 0; i < n; ++i) {
    PanelGeom& pg = out[i];
    const GraphPanel& panel = g.panels[i];
    pg.panel = &panel;
    pg.frame = {body.x + panel.left * body.w, body.y + panel.top * body.h, panel.width * body.w,
                panel.height * body.h};
    pg.x = scale_for(panel.x, rx[i]);
    pg.y = scale_for(panel.y, ry[i]);
    pg.has_y2 = panel.kind == ZTG_PANEL_PLOT && (panel.y2.show || ry2[i].lo <= ry2[i].hi);
    pg.y2 = scale_for(panel.y2, ry2[i]);
    const bool plot = panel.kind == ZTG_PANEL_PLOT;

    bool vertical_labels = false;
    double label_w = 0;
    for (const GraphLine& l : g.lines) {
      if (l.panel != static_cast<int>(i) || l.label.empty() || l.count < 2) continue;
      const ZtgCoord& a = g.coords[l.first];
      const ZtgCoord& b = g.coords[l.first + l.count - 1];
      if (a.x == b.x && a.y != b.y)
        vertical_labels = true;
      else
        label_w = std::max(label_w, p.text_width(l.label, set.tick_size, false) + kPad);
    }
    double m_top = 4 + (panel.title.empty() ? 0 : label_h + 4) + (vertical_labels ? tick_h + 4 : 0);
    double m_left = 4, m_right = 8, m_bottom = 4;
    double yw = 0, y2w = 0;
    if (plot) {
      for (double t : pg.y.ticks)
        yw = std::max(yw, p.text_width(tick_label(t, pg.y.step, g.decimal), set.tick_size, false));
      for (double t : pg.y2.ticks)
        y2w =
            std::max(y2w, p.text_width(tick_label(t, pg.y2.step, g.decimal), set.tick_size, false));
      m_left += yw + kTickLen + 4 + (panel.y.title.empty() ? 0 : label_h + 4);
      if (pg.has_y2) m_right += y2w + kTickLen + 4 + (panel.y2.title.empty() ? 0 : label_h + 4);
      m_right += std::min(label_w, pg.frame.w * 0.3);
      pg.x_labels = !((g.options & ZTG_OPTION_SHARED_X) && i + 1 < n);
      pg.tick_block = tick_h * panel.x.rows;
      if (!panel.x.categories.empty() && panel.x.rows == 1 && pg.x.max > pg.x.min) {
        const double step_px = std::fabs(panel.x.category_step / (pg.x.max - pg.x.min)) *
                               (pg.frame.w - m_left - m_right);
        double widest = 0;
        for (const std::string& c : panel.x.categories)
          widest = std::max(widest, p.text_width(c, set.tick_size, false));
        if (widest > step_px - 4 && step_px >= 8) {
          pg.rotate = true;
          pg.label_cut = std::min(widest, pg.frame.h * 0.3);
          pg.tick_block = pg.label_cut * std::sqrt(0.5) + tick_h;
        }
      }
      if (pg.x_labels)
        m_bottom += kTickLen + 2 + pg.tick_block + (panel.x.title.empty() ? 0 : label_h + 4);
      else
        m_bottom += kTickLen;
    }
    m_left = std::min(m_left, pg.frame.w * 0.35);
    m_right = std::min(m_right, pg.frame.w * 0.35);
    const double plot_w = std::max(1.0, pg.frame.w - m_left - m_right);
    const int rows = std::min(flow_legend(g, p, static_cast<int>(i), plot_w).rows, kMaxLegendRows);
    const double legend_h = rows > 0 ? rows * (label_h + 3) + 4 : 0;
    m_bottom += legend_h;
    if (m_top + m_bottom > pg.frame.h * 0.6) {
      const double k = pg.frame.h * 0.6 / (m_top + m_bottom);
      m_top *= k, m_bottom *= k;
    }
    pg.plot = {pg.frame.x + m_left, pg.frame.y + m_top, plot_w,
               std::max(1.0, pg.frame.h - m_top - m_bottom)};
    pg.legend_y = pg.plot.bottom() + (m_bottom - legend_h);
    const double y2_block = kTickLen + 4 + y2w + (panel.y2.title.empty() ? 0 : label_h + 4);
    pg.right_labels_x = pg.plot.right() + 4 + (pg.has_y2 ? y2_block : 0);
    pg.top_labels_y = pg.plot.y - 3;
    pg.y2_width = y2w;
  }
  // Panels that share the X axis share the plot's left and right edges too.
  if (g.options & ZTG_OPTION_SHARED_X) {
    double left = 0, right = 0;
    for (const PanelGeom& pg : out)
      left = std::max(left, pg.plot.x - pg.frame.x),
      right = std::max(right, pg.frame.right() - pg.plot.right());
    for (PanelGeom& pg : out) {
      const double shift_right = pg.frame.right() - right - pg.plot.right();
      pg.plot.w = std::max(1.0, pg.frame.w - left - right);
      pg.plot.x = pg.frame.x + left;
      pg.right_labels_x += shift_right;
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    PanelGeom& pg = out[i];
    const GraphPanel& panel = g.panels[i];
    const bool plot = panel.kind == ZTG_PANEL_PLOT;
    const double y2w = pg.y2_width;
    p.begin_group(plot ? "panel" : "text-panel");
    if (!panel.title.empty())
      draw_text(p, log, panel.title, pg.plot.x + pg.plot.w / 2, pg.frame.y + 4,
                ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_TOP, set.label_size, true, fg, pg.frame.w, pg.frame,
                "panel-title");
    if (plot) {
      if (g.options & ZTG_OPTION_GRID) {
        p.begin_group("grid");
        p.set_stroke(set.grid, 0.6, 0);
        for (double t : pg.y.ticks) {
          const double y = map_point(pg, ZTG_COORDS_DATA, pg.x.min, t).y;
          const Pt seg[2] = {{pg.plot.x, y}, {pg.plot.right(), y}};
          if (y >= pg.plot.y && y <= pg.plot.bottom()) p.polyline(seg, 2, false);
        }
        for (double t : pg.x.ticks) {
          const double x = map_point(pg, ZTG_COORDS_DATA, t, pg.y.min).x;
          const Pt seg[2] = {{x, pg.plot.y}, {x, pg.plot.bottom()}};
          if (panel.x.categories.empty() && x >= pg.plot.x && x <= pg.plot.right())
            p.polyline(seg, 2, false);
        }
        p.end_group();
      }
      p.begin_group("axes");
      p.set_stroke(fg, 0.8, 0);
      p.set_fill(ZTG_COLOUR_NONE);
      if (g.options & ZTG_OPTION_NO_FRAME) {
        const Pt axes[3] = {{pg.plot.x, pg.plot.y},
                            {pg.plot.x, pg.plot.bottom()},
                            {pg.plot.right(), pg.plot.bottom()}};
        p.polyline(axes, 3, false);
      } else {
        p.rect(pg.plot.x, pg.plot.y, pg.plot.w, pg.plot.h);
      }
      draw_ticks_x(g, p, log, pg, fg);
      draw_ticks_y(g, p, log, pg, pg.y, false, fg);
      if (pg.has_y2) draw_ticks_y(g, p, log, pg, pg.y2, true, fg);
      if (!panel.x.title.empty() && pg.x_labels)
        draw_text(p, log, panel.x.title, pg.plot.x + pg.plot.w / 2,
                  pg.plot.bottom() + kTickLen + 4 + pg.tick_block,
                  ZTG_ANCHOR_CENTRE + ZTG_ANCHOR_TOP, set.label_size, false, fg, pg.frame.w,
                  pg.frame, "axis-title");
      const FontMetrics m = p.metrics(set.label_size);
      if (!panel.y.title.empty())
        draw_vertical_title(g, p, log, panel.y.title, pg.frame.x + 3 + m.ascent, pg, fg);
      if (pg.has_y2 && !panel.y2.title.empty())
        draw_vertical_title(g, p, log, panel.y2.title,
                            pg.plot.right() + kTickLen + 6 + y2w + m.ascent, pg, fg);
      p.end_group();
    }
    p.end_group();
    log.panels.push_back({pg.frame, pg.plot, pg.x, pg.y, pg.y2});
  }
  return out;
}

}  // namespace qualty::detail
