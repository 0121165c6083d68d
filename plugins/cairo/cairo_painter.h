// A painter on a cairo context: PNG (image surface) and PDF.
#pragma once

#include <cairo.h>

#include <string>

#include "host/graph/painter.h"
#include "plugins/cairo/cairo_text.h"

namespace qualty {

class CairoPainter final : public Painter {
 public:
  CairoPainter(cairo_t* cr, const std::string& font_family);

  void begin_group(const char*) override {}
  void end_group() override {}
  void set_stroke(int colour, double width, int style) override;
  void set_fill(int colour) override { fill_ = colour; }
  void polyline(const Pt* points, std::size_t n, bool closed) override;
  void rect(double x, double y, double w, double h) override;
  void marker(double x, double y, int shape, double size) override;
  void text(double x, double y, const std::string& s, double size, bool bold, int colour,
            double angle) override;
  void clip(double x, double y, double w, double h) override;
  void unclip() override;
  double text_width(const std::string& s, double size, bool bold) override;
  FontMetrics metrics(double size) override;

 private:
  void colour(int c);
  void fill_and_stroke(bool fill);

  cairo_t* cr_;
  CairoText measure_;
  int stroke_ = 0, fill_ = ZTG_COLOUR_NONE;
  bool clipped_ = false;
};

}  // namespace qualty
