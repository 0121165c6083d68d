// The renderer: one kept graph onto one painter. It lays out titles, panels,
// axes with round ticks, the legend (beside the data, never over it) and the
// notes, then draws bars, lines, points and texts clipped to their plot areas.
#pragma once

#include <string>
#include <vector>

#include "host/graph/geometry.h"
#include "host/graph/graph_model.h"
#include "host/graph/painter.h"
#include "host/graph/ticks.h"

namespace qualty {

// A text as drawn: its box in canvas units and what it was.
struct DrawnText {
  std::string text;
  Box box;
  std::string role;  // "title", "tick", "axis-title", "line-label", "legend", "note", "text", ...
};

struct DrawnPanel {
  Box frame;  // the panel's rectangle
  Box plot;   // its plot area
  AxisScale x, y, y2;
};

// What the renderer drew, for callers that check or place things.
struct RenderLog {
  std::vector<DrawnText> texts;
  std::vector<DrawnPanel> panels;
  std::size_t markers = 0;      // point markers drawn
  std::size_t line_pieces = 0;  // poly-line pieces drawn
  std::size_t bars = 0;
};

RenderLog render_graph(const Graph& graph, Painter& painter);

}  // namespace qualty
