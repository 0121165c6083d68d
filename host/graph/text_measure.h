// Text extents of the graph font through cairo, shared by every surface so
// that SVG, PNG and PDF lay out the same way.
#pragma once

#include <cairo.h>

#include <string>

#include "host/graph/painter.h"

namespace qualty {

class TextMeasure {
 public:
  explicit TextMeasure(std::string family);
  ~TextMeasure();
  TextMeasure(const TextMeasure&) = delete;
  TextMeasure& operator=(const TextMeasure&) = delete;

  double width(const std::string& s, double size, bool bold);
  FontMetrics metrics(double size);
  const std::string& family() const { return family_; }

 private:
  std::string family_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Selects the family, weight and size on a cairo context.
void select_font(cairo_t* cr, const std::string& family, double size, bool bold);

}  // namespace qualty
