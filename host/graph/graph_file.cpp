#include "host/graph/graph_file.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cctype>
#include <cstdio>
#include <fstream>

#include "host/graph/cairo_painter.h"
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

namespace {

// Drawn into PATH's temporary sibling, then renamed over PATH: a reader never
// sees half a graph and a failed write leaves the old file as it was.
bool write_drawn(const Graph& graph, GraphFormat format, const std::string& path,
                 std::string* error, RenderLog* log);

}  // namespace

bool write_graph_file(const Graph& graph, GraphFormat format, const std::string& path,
                      std::string* error, RenderLog* log) {
  const std::string temporary = path + ".part";
  if (!write_drawn(graph, format, temporary, error, log)) {
    std::remove(temporary.c_str());
    if (error != nullptr) {
      const std::size_t at = error->find(temporary);
      if (at != std::string::npos) error->replace(at, temporary.size(), path);
    }
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return fail(error, "cannot write " + path);
  }
  return true;
}

namespace {

bool write_drawn(const Graph& graph, GraphFormat format, const std::string& path,
                 std::string* error, RenderLog* log) {
  if (format == GraphFormat::svg) {
    const std::string svg = render_svg(graph, log);
    std::ofstream out(path, std::ios::binary);
    if (!out || !out.write(svg.data(), static_cast<std::streamsize>(svg.size())))
      return fail(error, "cannot write " + path);
    return true;
  }
  cairo_surface_t* surface =
      format == GraphFormat::png
          ? cairo_image_surface_create(CAIRO_FORMAT_ARGB32, graph.width, graph.height)
          : cairo_pdf_surface_create(path.c_str(), graph.width, graph.height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return fail(error, "cannot create the drawing surface for " + path);
  }
  cairo_t* cr = cairo_create(surface);
  {
    CairoPainter painter(cr, graph.settings.font);
    keep(log, render_graph(graph, painter));
  }
  const cairo_status_t drawn = cairo_status(cr);
  cairo_destroy(cr);
  cairo_status_t written = CAIRO_STATUS_SUCCESS;
  if (format == GraphFormat::png) written = cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_finish(surface);
  if (written == CAIRO_STATUS_SUCCESS) written = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (drawn != CAIRO_STATUS_SUCCESS)
    return fail(error, std::string("drawing failed: ") + cairo_status_to_string(drawn));
  if (written != CAIRO_STATUS_SUCCESS)
    return fail(error, "cannot write " + path + ": " + cairo_status_to_string(written));
  return true;
}

}  // namespace

}  // namespace qualty
