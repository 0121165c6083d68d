// The graph renderer's plugin: cairo surfaces behind the interfaces of
// host/graph/graph_backend.h. Everything is drawn into memory; the host
// writes the files.
#include <cairo-pdf.h>
#include <cairo.h>

#include <new>
#include <optional>

#include "host/graph/graph_backend.h"
#include "plugins/cairo/cairo_painter.h"
#include "plugins/cairo/cairo_text.h"

namespace qualty {
namespace {

// cairo calls back through C: an allocation failure becomes its status.
cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
  try {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  } catch (const std::bad_alloc&) {
    return CAIRO_STATUS_NO_MEMORY;
  }
  return CAIRO_STATUS_SUCCESS;
}

// What both drawing targets own: the bytes a stream surface writes into
// (declared first: the surface writes into them until it is destroyed), the
// surface, its one context and the painter of the graph being drawn, released
// in that order from the last.
struct CairoTarget {
  CairoTarget() = default;
  CairoTarget(const CairoTarget&) = delete;
  CairoTarget& operator=(const CairoTarget&) = delete;
  ~CairoTarget() {
    painter.reset();
    if (cr != nullptr) cairo_destroy(cr);
    if (surface != nullptr) cairo_surface_destroy(surface);
  }

  // Ends the drawing: *DRAWN the context's status, *WRITTEN the surface's
  // once finished (a PNG encoded into the bytes first).
  void close(bool png, cairo_status_t* drawn, cairo_status_t* written) {
    painter.reset();
    *drawn = cairo_status(cr);
    cairo_destroy(cr);
    cr = nullptr;
    *written = CAIRO_STATUS_SUCCESS;
    if (png) *written = cairo_surface_write_to_png_stream(surface, append_bytes, &bytes);
    cairo_surface_finish(surface);
    if (*written == CAIRO_STATUS_SUCCESS) *written = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    surface = nullptr;
  }

  std::string bytes;
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  std::optional<CairoPainter> painter;
};

class CairoCanvas final : public Canvas {
 public:
  CairoCanvas(bool png, int width, int height) : png_(png) {
    t_.surface = png ? cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)
                     : cairo_pdf_surface_create_for_stream(append_bytes, &t_.bytes, width, height);
  }

  bool made() const { return cairo_surface_status(t_.surface) == CAIRO_STATUS_SUCCESS; }
  void start(const std::string& font) {
    t_.cr = cairo_create(t_.surface);
    t_.painter.emplace(t_.cr, font);
  }

  Painter& painter() override { return *t_.painter; }

  Outcome finish(std::string& bytes, std::string& why) override {
    cairo_status_t drawn, written;
    t_.close(png_, &drawn, &written);
    if (drawn != CAIRO_STATUS_SUCCESS) {
      why = cairo_status_to_string(drawn);
      return kDrawingFailed;
    }
    if (written != CAIRO_STATUS_SUCCESS) {
      why = cairo_status_to_string(written);
      return kEncodingFailed;
    }
    bytes.append(t_.bytes);
    return kWritten;
  }

 private:
  CairoTarget t_;
  bool png_;
};

class CairoPdfPages final : public PdfPages {
 public:
  CairoPdfPages(double width, double height, const std::string& title, const std::string& creator) {
    t_.surface = cairo_pdf_surface_create_for_stream(append_bytes, &t_.bytes, width, height);
    cairo_pdf_surface_set_metadata(t_.surface, CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(t_.surface, CAIRO_PDF_METADATA_CREATOR, creator.c_str());
    t_.cr = cairo_create(t_.surface);
  }

  void show_page() override { cairo_show_page(t_.cr); }
  void font(const char* family, double size, bool bold) override {
    cairo_select_font_face(t_.cr, family, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(t_.cr, size);
  }
  double text_width(const std::string& s) override {
    cairo_text_extents_t e;
    cairo_text_extents(t_.cr, s.c_str(), &e);
    return e.x_advance;
  }
  void text(double x, double y, const std::string& s) override {
    cairo_set_source_rgb(t_.cr, 0.1, 0.1, 0.1);
    cairo_move_to(t_.cr, x, y);
    cairo_show_text(t_.cr, s.c_str());
  }
  Painter& begin_graph(double x, double y, double scale, const std::string& font) override {
    cairo_save(t_.cr);
    cairo_translate(t_.cr, x, y);
    cairo_scale(t_.cr, scale, scale);
    t_.painter.emplace(t_.cr, font);
    return *t_.painter;
  }
  void end_graph() override {
    t_.painter.reset();
    cairo_restore(t_.cr);
  }
  bool finish(std::string& bytes, std::string& why) override {
    cairo_status_t drawn, written;
    t_.close(false, &drawn, &written);
    if (drawn != CAIRO_STATUS_SUCCESS || written != CAIRO_STATUS_SUCCESS) {
      why = cairo_status_to_string(drawn != CAIRO_STATUS_SUCCESS ? drawn : written);
      return false;
    }
    bytes = std::move(t_.bytes);
    return true;
  }

 private:
  CairoTarget t_;
};

class CairoBackend final : public GraphBackend {
 public:
  std::unique_ptr<TextMetrics> text_metrics(const std::string& family) override {
    return std::make_unique<CairoText>(family);
  }
  std::unique_ptr<Canvas> canvas(bool png, int width, int height, const std::string& font) override;
  std::unique_ptr<PdfPages> pdf_pages(double width, double height, const std::string& title,
                                      const std::string& creator) override {
    return std::make_unique<CairoPdfPages>(width, height, title, creator);
  }
};

std::unique_ptr<Canvas> CairoBackend::canvas(bool png, int width, int height,
                                             const std::string& font) {
  auto canvas = std::make_unique<CairoCanvas>(png, width, height);
  if (!canvas->made()) return nullptr;
  canvas->start(font);
  return canvas;
}

}  // namespace
}  // namespace qualty

extern "C" __attribute__((visibility("default"))) qualty::GraphBackend* qualty_graph_backend() {
  static qualty::CairoBackend backend;
  return &backend;
}
