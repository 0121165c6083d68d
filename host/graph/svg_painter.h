// A painter that writes SVG text itself, so that texts stay text (searchable,
// checkable) and every element carries the class of the group it belongs to.
#pragma once

#include <string>

#include "host/graph/painter.h"
#include "host/graph/text_measure.h"

namespace qualty {

class SvgPainter final : public Painter {
 public:
  SvgPainter(int width, int height, const std::string& font_family);

  void begin_group(const char* name) override;
  void end_group() override;
  void set_stroke(int colour, double width, int style) override;
  void set_fill(int colour) override;
  void polyline(const Pt* points, std::size_t n, bool closed) override;
  void rect(double x, double y, double w, double h) override;
  void marker(double x, double y, int shape, double size) override;
  void markers(const Pt* centres, std::size_t n, int shape, double size) override;
  void text(double x, double y, const std::string& s, double size, bool bold, int colour,
            double angle) override;
  void clip(double x, double y, double w, double h) override;
  void unclip() override;
  double text_width(const std::string& s, double size, bool bold) override;
  FontMetrics metrics(double size) override;

  // The finished document (closes what is still open).
  std::string finish();

 private:
  void num(double v);
  void attribute(const char* name, double v);  // name="v" with a leading blank
  void box_attributes(double x, double y, double w, double h);
  void style(bool fill, bool stroke);
  void marker_path(double x, double y, int shape, double r);  // subpaths of one marker

  std::string out_;
  TextMeasure measure_;
  int stroke_ = 0, fill_ = ZTG_COLOUR_NONE, line_style_ = 0;
  double width_ = 1;
  int open_groups_ = 0, clip_id_ = 0;
  bool clipped_ = false;
};

// Text with &, <, >, " written as entities.
std::string xml_escape(const std::string& s);

}  // namespace qualty
