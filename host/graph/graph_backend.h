// The drawing library behind the graphs, in the plugin libqualty_cairo.so:
// text extents of the graph font (every surface lays out with them), PNG and
// PDF canvases for graph files, and the pages of a PDF report. The renderer
// and our SVG writer stay in the host and paint through Painter.
//
// Objects are made by the plugin and deleted through their virtual
// destructors; the plugin is built with the same compiler and library as the
// host and stays loaded until the process ends.
#pragma once

#include <memory>
#include <string>

#include "host/graph/painter.h"

namespace qualty {

// Widths and heights of the graph font (one family, normal or bold).
class TextMetrics {
 public:
  virtual ~TextMetrics() = default;
  virtual double width(const std::string& s, double size, bool bold) = 0;
  virtual FontMetrics metrics(double size) = 0;
};

// A picture drawn into memory and then encoded as a file.
class Canvas {
 public:
  enum Outcome { kWritten, kDrawingFailed, kEncodingFailed };
  virtual ~Canvas() = default;
  virtual Painter& painter() = 0;
  // Ends the drawing; kWritten with the file's bytes appended, else why holds
  // the drawing library's reason.
  virtual Outcome finish(std::string& bytes, std::string& why) = 0;
};

// A PDF document of pages written top to bottom.
class PdfPages {
 public:
  virtual ~PdfPages() = default;
  virtual void show_page() = 0;
  virtual void font(const char* family, double size, bool bold) = 0;
  virtual double text_width(const std::string& s) = 0;  // in the current font
  // Text in the current font, dark grey, with its baseline starting at (x, y).
  virtual void text(double x, double y, const std::string& s) = 0;
  // A painter whose canvas unit is scale points, its origin at (x, y); the
  // graph is drawn through it, then end_graph().
  virtual Painter& begin_graph(double x, double y, double scale, const std::string& font) = 0;
  virtual void end_graph() = 0;
  // Ends the document: true with its bytes, else false with the reason.
  virtual bool finish(std::string& bytes, std::string& why) = 0;
};

class GraphBackend {
 public:
  virtual std::unique_ptr<TextMetrics> text_metrics(const std::string& family) = 0;
  // A PNG (pixels) or PDF (points) canvas; nullptr when it cannot be made.
  virtual std::unique_ptr<Canvas> canvas(bool png, int width, int height,
                                         const std::string& font) = 0;
  virtual std::unique_ptr<PdfPages> pdf_pages(double width, double height, const std::string& title,
                                              const std::string& creator) = 0;

 protected:
  ~GraphBackend() = default;  // the plugin's, for the life of the process
};

// The plugin's backend, loaded on the first call; PluginError when it cannot
// be loaded.
GraphBackend& graph_backend();

}  // namespace qualty

// The plugin's one export.
extern "C" qualty::GraphBackend* qualty_graph_backend();
