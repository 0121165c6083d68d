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

class CairoCanvas final : public Canvas {
 public:
  CairoCanvas(bool png, int width, int height)
      : surface_(png ? cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)
                     : cairo_pdf_surface_create_for_stream(append_bytes, &bytes_, width, height)),
        png_(png) {}
  ~CairoCanvas() override {
    painter_.reset();
    if (cr_ != nullptr) cairo_destroy(cr_);
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
  }
  CairoCanvas(const CairoCanvas&) = delete;
  CairoCanvas& operator=(const CairoCanvas&) = delete;

  bool made() const { return cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  void start(const std::string& font) {
    cr_ = cairo_create(surface_);
    painter_.emplace(cr_, font);
  }

  Painter& painter() override { return *painter_; }

  Outcome finish(std::string& bytes, std::string& why) override {
    painter_.reset();
    const cairo_status_t drawn = cairo_status(cr_);
    cairo_destroy(cr_);
    cr_ = nullptr;
    cairo_status_t written = CAIRO_STATUS_SUCCESS;
    if (png_) written = cairo_surface_write_to_png_stream(surface_, append_bytes, &bytes_);
    cairo_surface_finish(surface_);
    if (written == CAIRO_STATUS_SUCCESS) written = cairo_surface_status(surface_);
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    if (drawn != CAIRO_STATUS_SUCCESS) {
      why = cairo_status_to_string(drawn);
      return kDrawingFailed;
    }
    if (written != CAIRO_STATUS_SUCCESS) {
      why = cairo_status_to_string(written);
      return kEncodingFailed;
    }
    bytes.append(bytes_);
    return kWritten;
  }

 private:
  std::string bytes_;  // declared first: the PDF surface writes into it until destroyed
  cairo_surface_t* surface_;
  cairo_t* cr_ = nullptr;
  bool png_;
  std::optional<CairoPainter> painter_;
};

class CairoPdfPages final : public PdfPages {
 public:
  CairoPdfPages(double width, double height, const std::string& title, const std::string& creator)
      : surface_(cairo_pdf_surface_create_for_stream(append_bytes, &bytes_, width, height)) {
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, creator.c_str());
    cr_ = cairo_create(surface_);
  }
  ~CairoPdfPages() override {
    painter_.reset();
    if (cr_ != nullptr) cairo_destroy(cr_);
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
  }
  CairoPdfPages(const CairoPdfPages&) = delete;
  CairoPdfPages& operator=(const CairoPdfPages&) = delete;

  void show_page() override { cairo_show_page(cr_); }
  void font(const char* family, double size, bool bold) override {
    cairo_select_font_face(cr_, family, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
  }
  double text_width(const std::string& s) override {
    cairo_text_extents_t e;
    cairo_text_extents(cr_, s.c_str(), &e);
    return e.x_advance;
  }
  void text(double x, double y, const std::string& s) override {
    cairo_set_source_rgb(cr_, 0.1, 0.1, 0.1);
    cairo_move_to(cr_, x, y);
    cairo_show_text(cr_, s.c_str());
  }
  Painter& begin_graph(double x, double y, double scale, const std::string& font) override {
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_scale(cr_, scale, scale);
    painter_.emplace(cr_, font);
    return *painter_;
  }
  void end_graph() override {
    painter_.reset();
    cairo_restore(cr_);
  }
  bool finish(std::string& bytes, std::string& why) override {
    painter_.reset();
    const cairo_status_t drawn = cairo_status(cr_);
    cairo_destroy(cr_);
    cr_ = nullptr;
    cairo_surface_finish(surface_);
    const cairo_status_t written = cairo_surface_status(surface_);
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    if (drawn != CAIRO_STATUS_SUCCESS || written != CAIRO_STATUS_SUCCESS) {
      why = cairo_status_to_string(drawn != CAIRO_STATUS_SUCCESS ? drawn : written);
      return false;
    }
    bytes = std::move(bytes_);
    return true;
  }

 private:
  std::string bytes_;  // declared first: the surface writes into it until destroyed
  cairo_surface_t* surface_;
  cairo_t* cr_ = nullptr;
  std::optional<CairoPainter> painter_;
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
