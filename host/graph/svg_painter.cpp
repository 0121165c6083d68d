#include "host/graph/svg_painter.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <vector>

namespace qualty {

std::string xml_escape(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

std::string hex(int colour) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06x", static_cast<unsigned>(colour) & 0xFFFFFFu);
  return buf;
}

const char* dash_array(int style) {
  switch (style) {
    case ZTG_LINE_DASH:
      return "6 4";
    case ZTG_LINE_DOT:
      return "1.5 3";
    case ZTG_LINE_DASH_DOT:
      return "6 3 1.5 3";
    default:
      return nullptr;
  }
}

}  // namespace

SvgPainter::SvgPainter(int width, int height, const std::string& font_family)
    : measure_(font_family) {
  out_.reserve(1 << 16);
  out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" ";
  out_ += "width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
          "\" viewBox=\"0 0 " + std::to_string(width) + " " + std::to_string(height) + "\">\n";
}

void SvgPainter::num(double v) {
  char buf[32];
  if (!std::isfinite(v)) v = 0;
  const int n = std::snprintf(buf, sizeof buf, "%.2f", v);
  // trim "12.50" to "12.5" and "12.00" to "12" for smaller files
  int end = n;
  while (end > 0 && buf[end - 1] == '0') --end;
  if (end > 0 && buf[end - 1] == '.') --end;
  if (end == 2 && buf[0] == '-' && buf[1] == '0')
    out_ += '0';
  else
    out_.append(buf, static_cast<std::size_t>(end));
}

void SvgPainter::style(bool fill, bool stroke) {
  out_ += " fill=\"";
  out_ += fill && fill_ != ZTG_COLOUR_NONE ? hex(fill_) : "none";
  out_ += "\"";
  if (!stroke || stroke_ == ZTG_COLOUR_NONE) return;
  out_ += " stroke=\"" + hex(stroke_) + "\" stroke-width=\"";
  num(width_);
  out_ += "\"";
  if (const char* d = dash_array(line_style_))
    out_ += std::string(" stroke-dasharray=\"") + d + "\"";
}

void SvgPainter::begin_group(const char* name) {
  out_ += "<g class=\"";
  out_ += name;
  out_ += "\">\n";
  ++open_groups_;
}

void SvgPainter::end_group() {
  if (open_groups_ == 0) return;
  out_ += "</g>\n";
  --open_groups_;
}

void SvgPainter::set_stroke(int colour, double width, int style) {
  stroke_ = colour, width_ = width, line_style_ = style;
}
void SvgPainter::set_fill(int colour) { fill_ = colour; }

void SvgPainter::polyline(const Pt* p, std::size_t n, bool closed) {
  if (n < 2) return;
  out_ += closed ? "<polygon points=\"" : "<polyline points=\"";
  for (std::size_t i = 0; i < n; ++i) {
    if (i) out_ += ' ';
    num(p[i].x);
    out_ += ',';
    num(p[i].y);
  }
  out_ += "\"";
  style(closed, true);
  out_ += "/>\n";
}

void SvgPainter::attribute(const char* name, double v) {
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  num(v);
  out_ += '"';
}

void SvgPainter::box_attributes(double x, double y, double w, double h) {
  attribute("x", x);
  attribute("y", y);
  attribute("width", w);
  attribute("height", h);
}

void SvgPainter::rect(double x, double y, double w, double h) {
  out_ += "<rect";
  box_attributes(x, y, w, h);
  style(true, true);
  out_ += "/>\n";
}

void SvgPainter::marker(double x, double y, int shape, double size) {
  const double r = size / 2;
  const auto path = [&](std::initializer_list<Pt> pts, bool closed) {
    std::vector<Pt> v;
    for (Pt q : pts) v.push_back({x + q.x * r, y + q.y * r});
    polyline(v.data(), v.size(), closed);
  };
  switch (shape) {
    case ZTG_MARK_SQUARE:
      rect(x - r, y - r, size, size);
      break;
    case ZTG_MARK_TRIANGLE:
      path({{0, -1.15}, {1, 0.6}, {-1, 0.6}}, true);
      break;
    case ZTG_MARK_DIAMOND:
      path({{0, -1.2}, {1.2, 0}, {0, 1.2}, {-1.2, 0}}, true);
      break;
    case ZTG_MARK_CROSS:
      path({{-1, -1}, {1, 1}}, false);
      path({{-1, 1}, {1, -1}}, false);
      break;
    case ZTG_MARK_PLUS:
      path({{-1, 0}, {1, 0}}, false);
      path({{0, -1}, {0, 1}}, false);
      break;
    default:
      out_ += "<circle";
      attribute("cx", x);
      attribute("cy", y);
      attribute("r", r);
      style(shape != ZTG_MARK_CIRCLE_CROSS, true);
      out_ += "/>\n";
      if (shape == ZTG_MARK_CIRCLE_CROSS) {
        path({{-0.7, -0.7}, {0.7, 0.7}}, false);
        path({{-0.7, 0.7}, {0.7, -0.7}}, false);
      }
  }
}

// One marker as subpaths in relative moves: circles as two arcs, the other
// shapes as closed outlines; the crossed circle adds its two strokes.
void SvgPainter::marker_path(double x, double y, int shape, double r) {
  const auto move = [&](double px, double py) {
    out_ += 'M';
    num(px);
    out_ += ',';
    num(py);
  };
  const auto rel = [&](std::initializer_list<Pt> steps, bool close) {
    for (Pt q : steps) {
      out_ += 'l';
      num(q.x * r);
      out_ += ',';
      num(q.y * r);
    }
    if (close) out_ += 'z';
  };
  switch (shape) {
    case ZTG_MARK_SQUARE:
      move(x - r, y - r), rel({{2, 0}, {0, 2}, {-2, 0}}, true);
      break;
    case ZTG_MARK_TRIANGLE:
      move(x, y - 1.15 * r), rel({{1, 1.75}, {-2, 0}}, true);
      break;
    case ZTG_MARK_DIAMOND:
      move(x, y - 1.2 * r), rel({{1.2, 1.2}, {-1.2, 1.2}, {-1.2, -1.2}}, true);
      break;
    case ZTG_MARK_CROSS:
      move(x - r, y - r), rel({{2, 2}}, false);
      move(x - r, y + r), rel({{2, -2}}, false);
      break;
    case ZTG_MARK_PLUS:
      move(x - r, y), rel({{2, 0}}, false);
      move(x, y - r), rel({{0, 2}}, false);
      break;
    default:
      move(x - r, y);
      out_ += 'a';
      num(r);
      out_ += ',';
      num(r);
      out_ += " 0 1,0 ";
      num(2 * r);
      out_ += ",0a";
      num(r);
      out_ += ',';
      num(r);
      out_ += " 0 1,0 ";
      num(-2 * r);
      out_ += ",0z";
      if (shape == ZTG_MARK_CIRCLE_CROSS) {
        move(x - 0.7 * r, y - 0.7 * r), rel({{1.4, 1.4}}, false);
        move(x - 0.7 * r, y + 0.7 * r), rel({{1.4, -1.4}}, false);
      }
  }
}

void SvgPainter::markers(const Pt* c, std::size_t n, int shape, double size) {
  if (n == 0) return;
  out_ += "<path d=\"";
  for (std::size_t i = 0; i < n; ++i) marker_path(c[i].x, c[i].y, shape, size / 2);
  out_ += "\"";
  const bool open =
      shape == ZTG_MARK_CROSS || shape == ZTG_MARK_PLUS || shape == ZTG_MARK_CIRCLE_CROSS;
  style(!open, true);
  out_ += "/>\n";
}

void SvgPainter::text(double x, double y, const std::string& s, double size, bool bold, int colour,
                      double angle) {
  out_ += "<text";
  attribute("x", x);
  attribute("y", y);
  // A generic family after the chosen one: a viewer without it still draws text.
  out_ += " font-family=\"" + xml_escape(measure_.family()) + ", sans-serif\"";
  attribute("font-size", size);
  if (bold) out_ += " font-weight=\"bold\"";
  out_ += " fill=\"" + hex(colour) + "\"";
  if (angle != 0) {
    out_ += " transform=\"rotate(";
    num(angle);
    out_ += ' ';
    num(x);
    out_ += ' ';
    num(y);
    out_ += ")\"";
  }
  out_ += " xml:space=\"preserve\">" + xml_escape(s) + "</text>\n";
}

void SvgPainter::clip(double x, double y, double w, double h) {
  if (clipped_) unclip();
  const std::string id = "clip" + std::to_string(++clip_id_);
  out_ += "<clipPath id=\"" + id + "\"><rect";
  box_attributes(x, y, w, h);
  out_ += "/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
  clipped_ = true;
}

void SvgPainter::unclip() {
  if (!clipped_) return;
  out_ += "</g>\n";
  clipped_ = false;
}

double SvgPainter::text_width(const std::string& s, double size, bool bold) {
  return measure_.width(s, size, bold);
}
FontMetrics SvgPainter::metrics(double size) { return measure_.metrics(size); }

std::string SvgPainter::finish() {
  unclip();
  while (open_groups_ > 0) end_group();
  out_ += "</svg>\n";
  return std::move(out_);
}

}  // namespace qualty
