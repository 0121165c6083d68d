#include "host/graph/graph_stack.h"

#include <algorithm>
#include <charconv>

#include "host/graph/graph_component.h"

namespace qualty {

Graph stack_graphs(const Graph& top, const Graph& bottom) {
  Graph g = top;
  const auto panels = static_cast<int>(top.panels.size());
  const auto attributes = static_cast<int>(top.attributes.size());
  const std::size_t coords = top.coords.size();
  const std::size_t total = top.panels.size() + bottom.panels.size();
  if (total > ZTG_MAX_PANELS || bottom.panels.empty()) return g;
  // The top graph's panels in the upper half, the bottom graph's in the lower.
  for (GraphPanel& p : g.panels) p.top /= 2, p.height /= 2;
  for (GraphPanel p : bottom.panels) {
    p.top = 0.5 + p.top / 2, p.height /= 2;
    g.panels.push_back(std::move(p));
  }
  g.attributes.insert(g.attributes.end(), bottom.attributes.begin(), bottom.attributes.end());
  g.coords.insert(g.coords.end(), bottom.coords.begin(), bottom.coords.end());
  for (ZtgPoint q : bottom.points) {
    q.panel += panels, q.attribute += attributes;
    g.points.push_back(q);
  }
  for (GraphLine l : bottom.lines) {
    l.panel += panels, l.attribute += attributes, l.first += coords;
    g.lines.push_back(std::move(l));
  }
  for (GraphBar b : bottom.bars) {
    b.panel += panels, b.attribute += attributes;
    g.bars.push_back(std::move(b));
  }
  for (GraphText t : bottom.texts) {
    t.panel += panels, t.attribute += attributes;
    // One note of the same text is enough on the page.
    if (t.role == ZTG_TEXT_NOTE &&
        std::any_of(top.texts.begin(), top.texts.end(), [&](const GraphText& o) {
          return o.role == ZTG_TEXT_NOTE && o.text == t.text;
        }))
      continue;
    g.texts.push_back(std::move(t));
  }
  if (top.panels.size() == 1 && bottom.panels.size() == 1 && top.panels[0].kind == ZTG_PANEL_PLOT &&
      bottom.panels[0].kind == ZTG_PANEL_PLOT)
    g.options |= ZTG_OPTION_SHARED_X;
  g.height = std::min(kMaxCanvasSide, top.height + bottom.height / 2);
  return g;
}

bool is_chart_pair(const GraphComponent& graphs, int32_t top, int32_t bottom) {
  const Graph* a = graphs.find(top);
  const Graph* b = graphs.find(bottom);
  const auto single_chart = [](const Graph* g) {
    return g != nullptr && g->kind == ZTG_KIND_CONTROL_CHART && g->panels.size() == 1 &&
           g->panels[0].kind == ZTG_PANEL_PLOT;
  };
  return single_chart(a) && single_chart(b);
}

bool parse_canvas_size(const std::string& text, int* width, int* height) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  int w = 0, h = 0;
  const char* end = text.data() + text.size();
  const auto a = std::from_chars(text.data(), text.data() + x, w);
  const auto b = std::from_chars(text.data() + x + 1, end, h);
  if (a.ec != std::errc() || a.ptr != text.data() + x || b.ec != std::errc() || b.ptr != end)
    return false;
  if (w < 64 || h < 64 || w > kMaxCanvasSide || h > kMaxCanvasSide ||
      static_cast<double>(w) * h > kMaxCanvasArea)
    return false;
  *width = w, *height = h;
  return true;
}

}  // namespace qualty
