// The component's own copy of a graph description: everything CreateGraph keeps,
// owned, validated and free of the module's pointers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ztgraph.h"

namespace qualty {

struct GraphAxis {
  double min = 0, max = 0, increment = 0;
  bool log = false;
  bool show = true;
  std::string title;
  std::vector<std::string> categories;
  int rows = 1;
  double category_origin = 0, category_step = 1;
};

struct GraphPanel {
  double left = 0, top = 0, width = 1, height = 1;  // 0..1 of the body area
  int kind = ZTG_PANEL_PLOT;
  std::string title;
  GraphAxis x, y, y2;
};

struct GraphLine {
  std::size_t first = 0, count = 0;  // into Graph::coords, always within it
  int panel = 0, attribute = 0, coords = 0;
  bool closed = false;
  std::string label;
};

struct GraphBar {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int panel = 0, attribute = 0, coords = 0;
  std::string label;
};

struct GraphText {
  double x = 0, y = 0;
  int panel = 0, attribute = 0, coords = 0, anchor = 0, role = 0;
  std::string text;
};

struct Graph {
  int kind = 0;
  int options = 0;
  int width = 0, height = 0;
  std::string title, subtitle;
  std::vector<GraphPanel> panels;
  std::vector<ZtgPoint> points;  // only the numeric fields are used
  std::vector<ZtgCoord> coords;
  std::vector<GraphLine> lines;
  std::vector<GraphBar> bars;
  std::vector<GraphText> texts;
  std::vector<ZtgAttribute> attributes;
  ZtGraphSettings settings{};  // always complete (defaults filled in)
  char decimal = '.';          // the decimal separator of tick labels
};

// Longest text kept from the module; longer ones are cut (the renderer also
// ellipsises to the space available).
inline constexpr std::size_t kMaxTextBytes = 2000;
// Largest canvas side and area, so a PNG stays within memory.
inline constexpr int kMaxCanvasSide = 8192;
inline constexpr double kMaxCanvasArea = 40e6;

// A copy of the description with every count, index and text checked: bad
// counts read as 0, a line reaching beyond the coordinate table is cut to it,
// texts are turned into valid UTF-8 (bytes that are not UTF-8 read as
// Latin-1) without control characters.
Graph copy_graph(const ZtGraphDescriptor& descriptor);

// Text as valid UTF-8 without control characters, at most max_bytes long.
std::string clean_text(const char* text, std::size_t max_bytes = kMaxTextBytes);

}  // namespace qualty
