#include "host/graph/graph_file.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cctype>
#include <new>

#include "host/files/atomic_file.h"
#include "host/graph/cairo_painter.h"
#include "host/graph/svg_painter.h"

namespace qualty {
namespace {

bool fail(std::string* error, const std::string& why) {
  if (error != nullptr) *error = why;
  return false;
}

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
  try {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  } catch (const std::bad_alloc&) {
    return CAIRO_STATUS_NO_MEMORY;
  }
  return CAIRO_STATUS_SUCCESS;
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
  // PNG and PDF are drawn into memory and written like every other file.
  std::string bytes;
  cairo_surface_t* surface =
      format == GraphFormat::png
          ? cairo_image_surface_create(CAIRO_FORMAT_ARGB32, graph.width, graph.height)
          : cairo_pdf_surface_create_for_stream(append_bytes, &bytes, graph.width, graph.height);
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
  if (format == GraphFormat::png)
    written = cairo_surface_write_to_png_stream(surface, append_bytes, &bytes);
  cairo_surface_finish(surface);
  if (written == CAIRO_STATUS_SUCCESS) written = cairo_surface_status(surface);
  cairo_surface_destroy(surface);
  if (drawn != CAIRO_STATUS_SUCCESS)
    return fail(error, std::string("drawing failed: ") + cairo_status_to_string(drawn));
  if (written != CAIRO_STATUS_SUCCESS)
    return fail(error, "cannot write " + path + ": " + cairo_status_to_string(written));
  std::string why;
  if (!write_file_atomically(path, bytes, why)) return fail(error, why);
  return true;
}

}  // namespace qualty
