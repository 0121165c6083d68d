#include "host/graph/graph_file.h"

#include <cctype>

#include "host/files/atomic_file.h"
#include "host/graph/graph_backend.h"
#include "host/graph/svg_painter.h"

namespace qualty {
namespace {

bool fail(std::string* error, const std::string& why) {
  if (error != nullptr) *error = why;
  return false;
}

void keep(RenderLog* log, RenderLog&& drawn) {
  if (log != nullptr) *log = std::move(drawn);
}

}  // namespace

std::optional<GraphFormat> parse_graph_format(std::string_view text) {
  std::string s;
  for (char c : text) s += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (s == "svg") return GraphFormat::svg;
  if (s == "png") return GraphFormat::png;
  if (s == "pdf") return GraphFormat::pdf;
  return std::nullopt;
}

const char* graph_extension(GraphFormat format) {
  switch (format) {
    case GraphFormat::png:
      return "png";
    case GraphFormat::pdf:
      return "pdf";
    default:
      return "svg";
  }
}

std::string render_svg(const Graph& graph, RenderLog* log) {
  SvgPainter painter(graph.width, graph.height, graph.settings.font);
  keep(log, render_graph(graph, painter));
  return painter.finish();
}

bool write_graph_file(const Graph& graph, GraphFormat format, const std::string& path,
                      std::string* error, RenderLog* log) {
  if (format == GraphFormat::svg) {
    std::string why;
    if (!write_file_atomically(path, render_svg(graph, log), why)) return fail(error, why);
    return true;
  }
  // PNG and PDF are drawn into memory by the plugin and written like every other file.
  const std::unique_ptr<Canvas> canvas = graph_backend().canvas(
      format == GraphFormat::png, graph.width, graph.height, graph.settings.font);
  if (!canvas) return fail(error, "cannot create the drawing surface for " + path);
  keep(log, render_graph(graph, canvas->painter()));
  std::string bytes, reason;
  switch (canvas->finish(bytes, reason)) {
    case Canvas::kDrawingFailed:
      return fail(error, "drawing failed: " + reason);
    case Canvas::kEncodingFailed:
      return fail(error, "cannot write " + path + ": " + reason);
    case Canvas::kWritten:
      break;
  }
  std::string why;
  if (!write_file_atomically(path, bytes, why)) return fail(error, why);
  return true;
}

}  // namespace qualty
