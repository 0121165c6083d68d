// Two kept graphs on one page: chart 1 above chart 2, sharing the X axis, the
// way a pair of control charts is published.
#pragma once

#include <cstdint>
#include <string>

#include "host/graph/graph_model.h"

namespace qualty {

// The panels of TOP then BOTTOM stacked in one graph (TOP's size, titles and
// settings; BOTTOM's panels below TOP's, each graph's elements kept with
// their own attributes and both graphs' notes). The X axis is written only
// under the last panel when both graphs have one plot panel each.
Graph stack_graphs(const Graph& top, const Graph& bottom);

// True when the kept graphs TOP and BOTTOM are the two charts of one control
// chart (both control charts with one plot panel).
class GraphComponent;
bool is_chart_pair(const GraphComponent& graphs, int32_t top, int32_t bottom);

// "WxH" with both sides from 64 to kMaxCanvasSide and the area within
// kMaxCanvasArea; false otherwise.
bool parse_canvas_size(const std::string& text, int* width, int* height);

}  // namespace qualty
