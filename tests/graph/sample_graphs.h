// Test-only graph descriptions of every kind the module draws, written
// directly into the C tables (independent of the module's GraphBuilder).
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ztgraph.h"

namespace qualty::testing {

struct Sample {
  ZtGraphDescriptor d{};
  std::deque<std::string> strings;
  std::deque<std::vector<const char*>> category_sets;
  std::vector<ZtgPoint> points;
  std::vector<ZtgCoord> coords;
  std::vector<ZtgLine> lines;
  std::vector<ZtgBar> bars;
  std::vector<ZtgText> texts;
  std::vector<ZtgAttribute> attributes;
  std::vector<std::string> expected_texts;  // every text the graph must show

  explicit Sample(int panels = 1);
  const char* keep(const std::string& s, bool expect = true);
  int attr(int tag, int marker = ZTG_MARK_NONE, int style = ZTG_LINE_SOLID,
           int colour = ZTG_COLOUR_AUTO, int fill = ZTG_COLOUR_AUTO);
  void point(double x, double y, int a, int panel = 0, int coords = ZTG_COORDS_DATA);
  void line(const std::vector<ZtgCoord>& c, int a, int panel = 0, const std::string& label = {},
            bool closed = false, int coords = ZTG_COORDS_DATA);
  void bar(double x0, double y0, double x1, double y1, int a, int panel = 0,
           const std::string& label = {});
  void text(double x, double y, const std::string& s, int a, int anchor = 0, int panel = 0,
            int coords = ZTG_COORDS_DATA, int role = ZTG_TEXT_PLAIN);
  void axis(ZtgAxis& axis, double min, double max, double inc, const std::string& title);
  void categories(ZtgAxis& axis, const std::vector<std::string>& labels, double origin, double step,
                  int rows = 1);
  ZtGraphDescriptor& finish();  // points the descriptor at the tables
};

std::unique_ptr<Sample> control_chart();
std::unique_ptr<Sample> histogram();
std::unique_ptr<Sample> probability_plot();
std::unique_ptr<Sample> box_plot();
std::unique_ptr<Sample> pareto();
std::unique_ptr<Sample> scatter_ellipse();
std::unique_ptr<Sample> six_panel();
std::unique_ptr<Sample> report();

}  // namespace qualty::testing
