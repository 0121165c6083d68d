#include "plugins/cairo/cairo_text.h"

namespace qualty {

void select_font(cairo_t* cr, const std::string& family, double size, bool bold) {
  cairo_select_font_face(cr, family.c_str(), CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

CairoText::CairoText(std::string family)
    : family_(std::move(family)),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1)),
      cr_(cairo_create(surface_)) {}

CairoText::~CairoText() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

double CairoText::width(const std::string& s, double size, bool bold) {
  if (s.empty()) return 0;
  select_font(cr_, family_, size, bold);
  cairo_text_extents_t e;
  cairo_text_extents(cr_, s.c_str(), &e);
  return cairo_status(cr_) == CAIRO_STATUS_SUCCESS ? e.x_advance
                                                   : 0.6 * size * static_cast<double>(s.size());
}

FontMetrics CairoText::metrics(double size) {
  select_font(cr_, family_, size, false);
  cairo_font_extents_t e;
  cairo_font_extents(cr_, &e);
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) return {0.8 * size, 0.2 * size};
  return {e.ascent, e.descent};
}

}  // namespace qualty
