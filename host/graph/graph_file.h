// A kept graph written as SVG (our own writer), PNG or PDF (through the
// drawing plugin, loaded on first use).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/graph/graph_model.h"
#include "host/graph/renderer.h"

namespace qualty {

enum class GraphFormat { svg, png, pdf };

// "svg", "png" or "pdf" (any letter case); nothing for anything else.
std::optional<GraphFormat> parse_graph_format(std::string_view text);
const char* graph_extension(GraphFormat format);  // "svg", "png", "pdf"

// The SVG document of the graph; log (when given) receives what was drawn.
std::string render_svg(const Graph& graph, RenderLog* log = nullptr);

// Writes the graph to path. False, with a one-line reason in error, when the
// file cannot be written.
bool write_graph_file(const Graph& graph, GraphFormat format, const std::string& path,
                      std::string* error = nullptr, RenderLog* log = nullptr);

}  // namespace qualty
