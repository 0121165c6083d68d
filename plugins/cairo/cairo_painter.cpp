#include "plugins/cairo/cairo_painter.h"

#include <cmath>

namespace qualty {

CairoPainter::CairoPainter(cairo_t* cr, const std::string& font_family)
    : cr_(cr), measure_(font_family) {
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
}

void CairoPainter::colour(int c) {
  cairo_set_source_rgb(cr_, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                       (c & 0xFF) / 255.0);
}

void CairoPainter::set_stroke(int c, double width, int style) {
  stroke_ = c;
  cairo_set_line_width(cr_, width);
  static const double kDash[] = {6, 4}, kDot[] = {1.5, 3}, kDashDot[] = {6, 3, 1.5, 3};
  switch (style) {
    case ZTG_LINE_DASH:
      cairo_set_dash(cr_, kDash, 2, 0);
      break;
    case ZTG_LINE_DOT:
      cairo_set_dash(cr_, kDot, 2, 0);
      break;
    case ZTG_LINE_DASH_DOT:
      cairo_set_dash(cr_, kDashDot, 4, 0);
      break;
    default:
      cairo_set_dash(cr_, nullptr, 0, 0);
  }
}

void CairoPainter::fill_and_stroke(bool fill) {
  if (fill && fill_ != ZTG_COLOUR_NONE) {
    colour(fill_);
    cairo_fill_preserve(cr_);
  }
  if (stroke_ != ZTG_COLOUR_NONE) {
    colour(stroke_);
    cairo_stroke(cr_);
  }
  cairo_new_path(cr_);
}

void CairoPainter::polyline(const Pt* p, std::size_t n, bool closed) {
  if (n < 2) return;
  cairo_move_to(cr_, p[0].x, p[0].y);
  for (std::size_t i = 1; i < n; ++i) cairo_line_to(cr_, p[i].x, p[i].y);
  if (closed) cairo_close_path(cr_);
  fill_and_stroke(closed);
}

void CairoPainter::rect(double x, double y, double w, double h) {
  cairo_rectangle(cr_, x, y, w, h);
  fill_and_stroke(true);
}

void CairoPainter::marker(double x, double y, int shape, double size) {
  const double r = size / 2;
  cairo_save(cr_);
  cairo_set_dash(cr_, nullptr, 0, 0);
  switch (shape) {
    case ZTG_MARK_SQUARE:
      cairo_rectangle(cr_, x - r, y - r, size, size);
      break;
    case ZTG_MARK_TRIANGLE:
      cairo_move_to(cr_, x, y - 1.15 * r);
      cairo_line_to(cr_, x + r, y + 0.6 * r);
      cairo_line_to(cr_, x - r, y + 0.6 * r);
      cairo_close_path(cr_);
      break;
    case ZTG_MARK_DIAMOND:
      cairo_move_to(cr_, x, y - 1.2 * r);
      cairo_line_to(cr_, x + 1.2 * r, y);
      cairo_line_to(cr_, x, y + 1.2 * r);
      cairo_line_to(cr_, x - 1.2 * r, y);
      cairo_close_path(cr_);
      break;
    case ZTG_MARK_CROSS:
      cairo_move_to(cr_, x - r, y - r), cairo_line_to(cr_, x + r, y + r);
      cairo_move_to(cr_, x - r, y + r), cairo_line_to(cr_, x + r, y - r);
      break;
    case ZTG_MARK_PLUS:
      cairo_move_to(cr_, x - r, y), cairo_line_to(cr_, x + r, y);
      cairo_move_to(cr_, x, y - r), cairo_line_to(cr_, x, y + r);
      break;
    default:
      cairo_new_sub_path(cr_);
      cairo_arc(cr_, x, y, r, 0, 2 * M_PI);
      if (shape == ZTG_MARK_CIRCLE_CROSS) {
        const double k = 0.7 * r;
        cairo_move_to(cr_, x - k, y - k), cairo_line_to(cr_, x + k, y + k);
        cairo_move_to(cr_, x - k, y + k), cairo_line_to(cr_, x + k, y - k);
      }
  }
  const bool open =
      shape == ZTG_MARK_CROSS || shape == ZTG_MARK_PLUS || shape == ZTG_MARK_CIRCLE_CROSS;
  fill_and_stroke(!open);
  cairo_restore(cr_);
}

void CairoPainter::text(double x, double y, const std::string& s, double size, bool bold, int c,
                        double angle) {
  if (s.empty()) return;
  cairo_save(cr_);
  select_font(cr_, measure_.family(), size, bold);
  colour(c);
  cairo_translate(cr_, x, y);
  if (angle != 0) cairo_rotate(cr_, angle * M_PI / 180);
  cairo_move_to(cr_, 0, 0);
  cairo_show_text(cr_, s.c_str());
  cairo_new_path(cr_);
  cairo_restore(cr_);
}

void CairoPainter::clip(double x, double y, double w, double h) {
  if (clipped_) unclip();
  cairo_save(cr_);
  cairo_rectangle(cr_, x, y, w, h);
  cairo_clip(cr_);
  clipped_ = true;
}

void CairoPainter::unclip() {
  if (!clipped_) return;
  cairo_restore(cr_);
  clipped_ = false;
}

double CairoPainter::text_width(const std::string& s, double size, bool bold) {
  return measure_.width(s, size, bold);
}
FontMetrics CairoPainter::metrics(double size) { return measure_.metrics(size); }

}  // namespace qualty
