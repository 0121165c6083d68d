#include "bridge/graph_builder.h"

#include <algorithm>
#include <cmath>

namespace ztq {
namespace {

bool usable(double v) { return std::isfinite(v) && v != ZTG_MISSING; }

ZtgAxis axis(double min, double max, double increment, const char* title, int32_t show) {
  ZtgAxis a{};
  a.min = min, a.max = max, a.increment = increment;
  a.title = title, a.show = show;
  a.category_rows = 1, a.category_step = 1;
  return a;
}

}  // namespace

ZtgAttribute default_attribute(Tag tag) {
  ZtgAttribute a{};
  a.colour = ZTG_COLOUR_AUTO;
  a.fill_colour = ZTG_COLOUR_AUTO;
  a.tag = static_cast<int32_t>(tag);
  a.marker = ZTG_MARK_NONE;
  a.line_style = ZTG_LINE_SOLID;
  switch (tag) {
    case Tag::data:
      a.marker = ZTG_MARK_CIRCLE, a.size = 4.5;
      break;
    case Tag::limit_line:
      a.line_style = ZTG_LINE_DASH;
      break;
    case Tag::warning_line:
      a.line_style = ZTG_LINE_DOT;
      break;
    case Tag::spec_limit:
      a.line_style = ZTG_LINE_DASH_DOT, a.width = 1.4;
      break;
    case Tag::out_of_control:
      a.marker = ZTG_MARK_CIRCLE, a.size = 7;
      break;
    case Tag::excluded:
      a.marker = ZTG_MARK_CIRCLE_CROSS, a.size = 7, a.fill_colour = ZTG_COLOUR_NONE;
      break;
    case Tag::fit_curve:
      a.width = 1.8;
      break;
    case Tag::cumulative:
      a.marker = ZTG_MARK_CIRCLE, a.size = 4.5, a.width = 1.4;
      break;
    default:
      break;
  }
  return a;
}

GraphBuilder::GraphBuilder(int panels, int32_t kind) { reset(panels, kind); }

void GraphBuilder::reset(int panels, int32_t kind) {
  kind_ = kind;
  options_ = ZTG_OPTION_GRID;
  layout_ = ZtgLayout{};
  strings_.clear();
  category_sets_.clear();
  points_.clear(), coords_.clear(), lines_.clear(), bars_.clear(), texts_.clear();
  attributes_.clear(), full_lines_.clear();
  const int n = std::clamp(panels, 1, ZTG_MAX_PANELS);
  layout_.panel_count = n;
  for (int i = 0; i < n; ++i) {
    ZtgPanel& p = layout_.panels[i];
    p.left = 0, p.width = 1, p.height = 1.0 / n, p.top = i * p.height;
    p.kind = ZTG_PANEL_PLOT;
    p.x = axis(0, 0, 0, nullptr, 1);
    p.y = axis(0, 0, 0, nullptr, 1);
    p.y2 = axis(0, 0, 0, nullptr, 0);
  }
}

const char* GraphBuilder::keep(const std::string& s) {
  if (s.empty()) return nullptr;
  return strings_.emplace_back(s).c_str();
}

ZtgPanel* GraphBuilder::panel_at(int index) {
  return index >= 0 && index < layout_.panel_count ? &layout_.panels[index] : nullptr;
}

void GraphBuilder::canvas(int32_t width, int32_t height) {
  layout_.width = width, layout_.height = height;
}
void GraphBuilder::title(const std::string& text) { layout_.title = keep(text); }
void GraphBuilder::subtitle(const std::string& text) { layout_.subtitle = keep(text); }
void GraphBuilder::grid(bool on) {
  options_ = on ? (options_ | ZTG_OPTION_GRID) : (options_ & ~ZTG_OPTION_GRID);
}

void GraphBuilder::panel(int index, double left, double top, double width, double height) {
  if (ZtgPanel* p = panel_at(index))
    p->left = left, p->top = top, p->width = width, p->height = height;
}
void GraphBuilder::panel_title(int index, const std::string& text) {
  if (ZtgPanel* p = panel_at(index)) p->title = keep(text);
}
void GraphBuilder::text_panel(int index) {
  if (ZtgPanel* p = panel_at(index)) p->kind = ZTG_PANEL_TEXT;
}
void GraphBuilder::axis_x(double min, double max, double increment, const std::string& title,
                          int panel) {
  if (ZtgPanel* p = panel_at(panel)) p->x = axis(min, max, increment, keep(title), 1);
}
void GraphBuilder::axis_y(double min, double max, double increment, const std::string& title,
                          int panel) {
  if (ZtgPanel* p = panel_at(panel)) p->y = axis(min, max, increment, keep(title), 1);
}
void GraphBuilder::axis_y2(double min, double max, double increment, const std::string& title,
                           int panel) {
  if (ZtgPanel* p = panel_at(panel)) p->y2 = axis(min, max, increment, keep(title), 1);
}
void GraphBuilder::log_axes(bool x, bool y, int panel) {
  if (ZtgPanel* p = panel_at(panel)) p->x.log = x, p->y.log = y;
}
void GraphBuilder::categories_x(const std::vector<std::string>& labels, double origin, double step,
                                int rows, int panel) {
  ZtgPanel* p = panel_at(panel);
  if (p == nullptr) return;
  std::vector<const char*>& set = category_sets_.emplace_back();
  for (const std::string& s : labels) set.push_back(keep(s.empty() ? " " : s));
  p->x.categories = set.data();
  p->x.category_count = static_cast<int32_t>(set.size());
  p->x.category_origin = origin, p->x.category_step = step;
  p->x.category_rows = rows == 2 ? 2 : 1;
}

int GraphBuilder::attribute(Tag tag) { return attribute(default_attribute(tag)); }
int GraphBuilder::attribute(const ZtgAttribute& look) {
  attributes_.push_back(look);
  return static_cast<int>(attributes_.size() - 1);
}

void GraphBuilder::point(double x, double y, int attr, int panel, int coords) {
  if (!usable(x) || !usable(y)) return;
  points_.push_back({x, y, panel, attr, coords, 0});
}

void GraphBuilder::points(std::span<const double> xs, std::span<const double> ys, int attr,
                          int panel, int coords) {
  const std::size_t n = std::min(xs.size(), ys.size());
  points_.reserve(points_.size() + n);
  for (std::size_t i = 0; i < n; ++i) point(xs[i], ys[i], attr, panel, coords);
}

void GraphBuilder::polyline(std::span<const double> xs, std::span<const double> ys, int attr,
                            int panel, int coords, const std::string& label) {
  const std::size_t n = std::min(xs.size(), ys.size());
  if (n == 0) return;
  const auto first = static_cast<int32_t>(coords_.size());
  // Missing values stay in the table: the component breaks the line there.
  for (std::size_t i = 0; i < n; ++i)
    coords_.push_back({usable(xs[i]) ? xs[i] : ZTG_MISSING, usable(ys[i]) ? ys[i] : ZTG_MISSING});
  lines_.push_back({first, static_cast<int32_t>(n), panel, attr, coords, 0, keep(label)});
}

void GraphBuilder::polygon(std::span<const double> xs, std::span<const double> ys, int attr,
                           int panel) {
  polyline(xs, ys, attr, panel);
  if (!lines_.empty() && std::min(xs.size(), ys.size()) > 0) lines_.back().closed = 1;
}

void GraphBuilder::segment(double x0, double y0, double x1, double y1, int attr, int panel,
                           const std::string& label, int coords) {
  const double xs[2] = {x0, x1}, ys[2] = {y0, y1};
  polyline(xs, ys, attr, panel, coords, label);
}

void GraphBuilder::hline(double y, const std::string& label, int attr, int panel, int coords) {
  if (!usable(y)) return;
  segment(0, y, 0, y, attr, panel, label, coords);
  full_lines_.push_back({coords_.size() - 2, panel, true});
}

void GraphBuilder::vline(double x, const std::string& label, int attr, int panel) {
  if (!usable(x)) return;
  segment(x, 0, x, 0, attr, panel, label);
  full_lines_.push_back({coords_.size() - 2, panel, false});
}

void GraphBuilder::bar(double x0, double y0, double x1, double y1, int attr, int panel,
                       const std::string& label, int coords) {
  if (!usable(x0) || !usable(y0) || !usable(x1) || !usable(y1)) return;
  bars_.push_back({x0, y0, x1, y1, panel, attr, coords, 0, keep(label)});
}

void GraphBuilder::text(double x, double y, const std::string& s, int attr, int anchor, int panel,
                        int coords) {
  if (s.empty() || !usable(x) || !usable(y)) return;
  texts_.push_back({x, y, panel, attr, coords, anchor, ZTG_TEXT_PLAIN, 0, keep(s)});
}

void GraphBuilder::legend(const std::string& label, int attr, int panel) {
  if (label.empty()) return;
  texts_.push_back({0, 0, panel, attr, ZTG_COORDS_PLOT, 0, ZTG_TEXT_LEGEND, 0, keep(label)});
}

void GraphBuilder::note(const std::string& s, int attr) {
  if (s.empty()) return;
  texts_.push_back({0, 0, 0, attr, ZTG_COORDS_PANEL, 0, ZTG_TEXT_NOTE, 0, keep(s)});
}

// Lines across the whole range: the axis range when the pane fixed it, else the
// extent of the panel's other data on that axis (0..1 when it has none).
void GraphBuilder::resolve_full_lines() {
  for (const FullLine& f : full_lines_) {
    const ZtgPanel* p = panel_at(f.panel);
    if (p == nullptr) continue;
    const ZtgAxis& a = f.horizontal ? p->x : p->y;
    double lo = a.min, hi = a.max;
    if (!(std::isfinite(lo) && std::isfinite(hi) && hi > lo)) {
      lo = INFINITY, hi = -INFINITY;
      const auto add = [&](double v) {
        if (usable(v)) lo = std::min(lo, v), hi = std::max(hi, v);
      };
      for (const ZtgPoint& q : points_)
        if (q.panel == f.panel && q.coords <= ZTG_COORDS_DATA2) add(f.horizontal ? q.x : q.y);
      for (const ZtgBar& b : bars_)
        if (b.panel == f.panel && b.coords <= ZTG_COORDS_DATA2) {
          add(f.horizontal ? b.x0 : b.y0);
          add(f.horizontal ? b.x1 : b.y1);
        }
      for (const ZtgLine& l : lines_) {
        if (l.panel != f.panel || l.coords > ZTG_COORDS_DATA2) continue;
        const bool is_full = std::any_of(
            full_lines_.begin(), full_lines_.end(),
            [&](const FullLine& o) { return static_cast<int32_t>(o.coord) == l.first; });
        if (is_full) continue;
        for (int32_t k = l.first; k < l.first + l.count; ++k)
          add(f.horizontal ? coords_[static_cast<std::size_t>(k)].x
                           : coords_[static_cast<std::size_t>(k)].y);
      }
      if (!(lo <= hi)) lo = 0, hi = 1;
    }
    ZtgCoord& a0 = coords_[f.coord];
    ZtgCoord& a1 = coords_[f.coord + 1];
    if (f.horizontal)
      a0.x = lo, a1.x = hi;
    else
      a0.y = lo, a1.y = hi;
  }
}

int GraphBuilder::text_attribute(const AddedText* added) {
  ZtgAttribute a = default_attribute(Tag::text);
  if (added != nullptr && added->attribute >= 0 && added->attribute <= 0xFFFFFF)
    a.colour = added->attribute;
  return attribute(a);
}

void GraphBuilder::finish(ZtGraphDescriptor& d, AddedText* added) {
  resolve_full_lines();
  int added_attr = -1;
  for (ZtgText& t : texts_) {
    if (t.attribute != ZTG_ADDED_ATTRIBUTE) continue;
    if (added_attr < 0) added_attr = text_attribute(added);
    t.attribute = added_attr;
  }
  if (added != nullptr && !added->text.empty()) {
    if (added_attr < 0) added_attr = text_attribute(added);
    note(added->text, added_attr);
    added->text.clear();  // shown once, on this graph only
  }
  d.size = static_cast<int32_t>(sizeof(ZtGraphDescriptor));
  d.kind = kind_;
  d.layout = layout_;
  d.options = options_;
  const auto n = [](std::size_t v) {
    return static_cast<int32_t>(std::min<std::size_t>(v, INT32_MAX));
  };
  d.points = points_.data(), d.point_count = n(points_.size());
  d.coords = coords_.data(), d.coord_count = n(coords_.size());
  d.lines = lines_.data(), d.line_count = n(lines_.size());
  d.bars = bars_.data(), d.bar_count = n(bars_.size());
  d.texts = texts_.data(), d.text_count = n(texts_.size());
  d.attributes = attributes_.data(), d.attribute_count = n(attributes_.size());
}

int32_t hand_over(ZtGraph* graph, ZtGraphDescriptor& d) {
  if (graph == nullptr || graph->CreateGraph == nullptr) return 0;
  if (d.handle != 0 && graph->ReleaseGraph != nullptr) graph->ReleaseGraph(graph->self, d.handle);
  d.handle = graph->CreateGraph(graph->self, &d);
  return d.handle != 0 ? 1 : 0;
}

}  // namespace ztq
