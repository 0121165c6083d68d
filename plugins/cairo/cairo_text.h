// Text extents of the graph font through cairo, on a 1 x 1 surface of its own.
#pragma once

#include <cairo.h>

#include <string>

#include "host/graph/graph_backend.h"

namespace qualty {

class CairoText final : public TextMetrics {
 public:
  explicit CairoText(std::string family);
  ~CairoText() override;
  CairoText(const CairoText&) = delete;
  CairoText& operator=(const CairoText&) = delete;

  double width(const std::string& s, double size, bool bold) override;
  FontMetrics metrics(double size) override;
  const std::string& family() const { return family_; }

 private:
  std::string family_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Selects the family, weight and size on a cairo context.
void select_font(cairo_t* cr, const std::string& family, double size, bool bold);

}  // namespace qualty
