// The drawing surface the renderer paints on: our own SVG writer or cairo.
// Coordinates are canvas units (pixels or points) with the origin at the top
// left and y downwards; colours are 0xRRGGBB.
#pragma once

#include <cstddef>
#include <string>

#include "ztgraph.h"

namespace qualty {

struct Pt {
  double x, y;
};

struct FontMetrics {
  double ascent, descent;  // above and below the baseline
};

class Painter {
 public:
  virtual ~Painter() = default;
  // Groups name what is inside them (SVG class); other surfaces ignore them.
  virtual void begin_group(const char* name) = 0;
  virtual void end_group() = 0;
  // Stroke colour, width and ZtgLineStyle; fill colour or ZTG_COLOUR_NONE.
  virtual void set_stroke(int colour, double width, int style) = 0;
  virtual void set_fill(int colour) = 0;
  // An open poly-line is stroked; a closed one is filled, then stroked.
  virtual void polyline(const Pt* points, std::size_t n, bool closed) = 0;
  virtual void rect(double x, double y, double w, double h) = 0;  // filled, then stroked
  virtual void marker(double x, double y, int shape, double size) = 0;
  // Markers of one shape and size at each centre; a surface may draw them as
  // one path (the SVG writer does).
  virtual void markers(const Pt* centres, std::size_t n, int shape, double size) {
    for (std::size_t i = 0; i < n; ++i) marker(centres[i].x, centres[i].y, shape, size);
  }
  // Text whose baseline starts at (x, y), turned by angle degrees (-90: upwards).
  virtual void text(double x, double y, const std::string& s, double size, bool bold, int colour,
                    double angle) = 0;
  virtual void clip(double x, double y, double w, double h) = 0;
  virtual void unclip() = 0;

  virtual double text_width(const std::string& s, double size, bool bold) = 0;
  virtual FontMetrics metrics(double size) = 0;
};

}  // namespace qualty
