// Shared pieces of the renderer's two halves (frame and elements).
#pragma once

#include <string>
#include <vector>

#include "host/graph/renderer.h"

namespace qualty::detail {

struct Style {
  int stroke = 0, fill = ZTG_COLOUR_NONE, marker = ZTG_MARK_CIRCLE, line_style = 0, tag = 0;
  bool bold = false;
  double width = 1, size = 5;
};

// The resolved look of attribute index i (defaults from the settings).
Style style_of(const Graph& g, int attribute, bool for_text = false);

struct PanelGeom {
  const GraphPanel* panel = nullptr;
  Box frame, plot;
  AxisScale x, y, y2;
  bool has_y2 = false;
  double right_labels_x = 0;  // where the line labels start (right of the plot and Y2 axis)
  double top_labels_y = 0;    // baseline of labels of vertical lines (above the plot)
  double legend_y = 0;        // top of the legend rows
  bool x_labels = true;       // false: a panel above another that shares its X axis
  bool rotate = false;        // category labels turned by 45 degrees (too wide for their step)
  double label_cut = 0;       // longest category label when turned
  double tick_block = 0;      // height of the X tick labels
  double y2_width = 0;        // widest tick label of the second Y axis
};

// Canvas position of (x, y) in the given coordinate system of the panel; NaN when not mappable.
Pt map_point(const PanelGeom& p, int coords, double x, double y);
bool usable(double v);  // finite and not the missing value

// Writes s with its box anchored at (x, y) (ZtgAnchor), cut with an ellipsis to
// max_width and moved inside bounds; logs it. Returns the box drawn.
Box draw_text(Painter& painter, RenderLog& log, const std::string& s, double x, double y,
              int anchor, double size, bool bold, int colour, double max_width, const Box& bounds,
              const char* role);

// s cut to the longest prefix (whole characters) that with "..." fits max_width.
std::string ellipsise(Painter& painter, const std::string& s, double size, bool bold,
                      double max_width);

// Frame half: titles, panel layout, axes, ticks, legends, notes.
std::vector<PanelGeom> layout_and_frame(const Graph& g, Painter& painter, RenderLog& log);
void draw_legend(const Graph& g, Painter& painter, RenderLog& log, const PanelGeom& p, int index);

// Element half: bars, lines and their labels, points, texts.
void draw_elements(const Graph& g, Painter& painter, RenderLog& log,
                   const std::vector<PanelGeom>& panels);

}  // namespace qualty::detail
