// GraphBuilder: how a graph pane describes its graph. It owns the element
// tables (points, coordinates, lines, bars, texts, attributes) and the texts
// they point to until the next build, and fills the host's descriptor.
//
//   GraphBuilder g(1, ZTG_KIND_CONTROL_CHART);
//   g.title("X-bar chart");
//   g.axis_y(0, 0, 0, "Mean");                  // range from the data
//   const int data = g.attribute(Tag::data), ucl = g.attribute(Tag::limit_line);
//   g.polyline(xs, ys, data);                   // -32768.0 breaks the line
//   g.points(xs, ys, data);                     // and is skipped here
//   g.hline(12.3, "UCL = 12.3", ucl);           // across the X range, labelled at the right
//   g.finish(descriptor, &added_text);
//   hand_over(app->graph, descriptor);          // release the kept graph, create the new one
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "ztgraph.h"

namespace ztq {

enum class Tag : int32_t {
  data = ZTG_TAG_DATA,
  centre_line = ZTG_TAG_CENTRE_LINE,
  limit_line = ZTG_TAG_LIMIT_LINE,
  warning_line = ZTG_TAG_WARNING_LINE,
  spec_limit = ZTG_TAG_SPEC_LIMIT,
  out_of_control = ZTG_TAG_OUT_OF_CONTROL,
  excluded = ZTG_TAG_EXCLUDED,
  fit_curve = ZTG_TAG_FIT_CURVE,
  bar = ZTG_TAG_BAR,
  cumulative = ZTG_TAG_CUMULATIVE,
  reference = ZTG_TAG_REFERENCE,
  text = ZTG_TAG_TEXT
};

// The added text of QualSetAddedText: the next graph shows a non-empty text
// once, as a note; its attribute is a colour 0xRRGGBB (anything else: the
// text colour of the settings) and is also taken by texts whose attribute is
// ZTG_ADDED_ATTRIBUTE.
struct AddedText {
  std::string text;
  int32_t attribute = 0;
  // A non-empty added text forces the next graph to be built anew.
  bool forces_rebuild() const { return !text.empty(); }
};

// The look an attribute of the tag has unless the pane says otherwise.
ZtgAttribute default_attribute(Tag tag);

class GraphBuilder {
 public:
  explicit GraphBuilder(int panels = 1, int32_t kind = ZTG_KIND_GENERIC);
  // Starts a new description (the previous tables are dropped).
  void reset(int panels, int32_t kind);

  void canvas(int32_t width, int32_t height);
  void title(const std::string& text);
  void subtitle(const std::string& text);
  void grid(bool on);

  // Panels: rectangles in 0..1 of the body (default: stacked, equal heights).
  void panel(int index, double left, double top, double width, double height);
  void panel_title(int index, const std::string& text);
  void text_panel(int index);  // no axes: a table of texts
  // Axes; max not above min means "from the data", increment 0 "round ticks".
  void axis_x(double min, double max, double increment = 0, const std::string& title = {},
              int panel = 0);
  void axis_y(double min, double max, double increment = 0, const std::string& title = {},
              int panel = 0);
  void axis_y2(double min, double max, double increment = 0, const std::string& title = {},
               int panel = 0);
  void log_axes(bool x, bool y, int panel = 0);
  // Category labels along X: label i at origin + i x step, on 1 or 2 rows.
  void categories_x(const std::vector<std::string>& labels, double origin, double step,
                    int rows = 1, int panel = 0);

  int attribute(Tag tag);
  int attribute(const ZtgAttribute& look);

  // Elements. Missing values skip a point and break a line.
  void point(double x, double y, int attr, int panel = 0, int coords = ZTG_COORDS_DATA);
  void points(std::span<const double> xs, std::span<const double> ys, int attr, int panel = 0,
              int coords = ZTG_COORDS_DATA);
  void polyline(std::span<const double> xs, std::span<const double> ys, int attr, int panel = 0,
                int coords = ZTG_COORDS_DATA, const std::string& label = {});
  void polygon(std::span<const double> xs, std::span<const double> ys, int attr, int panel = 0);
  void segment(double x0, double y0, double x1, double y1, int attr, int panel = 0,
               const std::string& label = {}, int coords = ZTG_COORDS_DATA);
  // A line across the whole X range (hline) or Y range (vline), labelled.
  void hline(double y, const std::string& label, int attr, int panel = 0,
             int coords = ZTG_COORDS_DATA);
  void vline(double x, const std::string& label, int attr, int panel = 0);
  void bar(double x0, double y0, double x1, double y1, int attr, int panel = 0,
           const std::string& label = {}, int coords = ZTG_COORDS_DATA);
  void text(double x, double y, const std::string& text, int attr, int anchor = 0, int panel = 0,
            int coords = ZTG_COORDS_DATA);
  void legend(const std::string& label, int attr, int panel = 0);
  // A small label just above the marker at (x, y): the letters of the rules
  // that flagged a point.
  void mark_text(double x, double y, const std::string& text, int attr, int panel = 0);

  // A data series drawn as a line. Up to kDenseAbove points every point is a
  // vertex; above, the line is reduced per column of the X range to the first,
  // lowest, highest and last value of the column (the envelope a screen shows).
  void series(std::span<const double> xs, std::span<const double> ys, int attr, int panel = 0,
              const std::string& label = {});
  // A per-point line drawn as steps: each present value is a horizontal
  // segment across its point's slot (half-way to the neighbours), joined by
  // vertical risers; a missing value leaves its slot empty. Dense series are
  // reduced as series() does.
  void steps(std::span<const double> xs, std::span<const double> ys, int attr, int panel = 0,
             const std::string& label = {});
  static constexpr std::size_t kDenseAbove = 2000;
  static constexpr int kColumns = 1000;
  void shared_x(bool on);
  void note(const std::string& text, int attr);

  // Fills the descriptor (its settings and kept handle are left as they are)
  // and consumes the added text: a non-empty one becomes one more text item
  // and is cleared, so it shows on this graph only.
  void finish(ZtGraphDescriptor& descriptor, AddedText* added = nullptr);

  std::size_t point_count() const { return points_.size(); }
  std::size_t text_count() const { return texts_.size(); }

 private:
  const char* keep(const std::string& s);
  ZtgPanel* panel_at(int index);
  int text_attribute(const AddedText* added);
  void resolve_full_lines();

  struct FullLine {
    std::size_t coord;  // first of its two coordinates
    int panel;
    bool horizontal;
  };

  int32_t kind_ = 0, options_ = ZTG_OPTION_GRID;
  ZtgLayout layout_{};
  std::deque<std::string> strings_;                     // stable storage for every text
  std::deque<std::vector<const char*>> category_sets_;  // category label arrays
  std::vector<ZtgPoint> points_;
  std::vector<ZtgCoord> coords_;
  std::vector<ZtgLine> lines_;
  std::vector<ZtgBar> bars_;
  std::vector<ZtgText> texts_;
  std::vector<ZtgAttribute> attributes_;
  std::vector<FullLine> full_lines_;
};

// The vertices that draw a long series as it looks on a screen of COLUMNS
// columns: per column of the X range, the first, lowest, highest and last
// value in the order they occur (at most 4 x COLUMNS vertices, plus one
// missing vertex per column where the series has a gap); every extreme of
// the series survives.
std::vector<ZtgCoord> column_envelope(std::span<const double> xs, std::span<const double> ys,
                                      int columns);

// Hands the description to the graph component: releases the graph kept for
// the pane, creates the new one and keeps its handle. Returns 1 when created.
int32_t hand_over(ZtGraph* graph, ZtGraphDescriptor& descriptor);

}  // namespace ztq
