// The pane builders, JSON and saved series of the T-squared chart, apart from
// its family glue (mv_family.cpp).
#pragma once

#include <string>
#include <vector>

#include "bridge/graph_builder.h"
#include "bridge/procedure.h"
#include "multivariate/mv_state.h"

namespace ztq {

std::string mv_summary_text(const MvView& v);
// The T-squared listing by label (pane 2) or by point number (pane 3).
std::string mv_listing_text(const MvView& v, bool by_label);

void mv_t2_chart(const MvView& v, GraphBuilder& g);
void mv_star_key(const MvView& v, GraphBuilder& g);
void mv_ellipse(const MvView& v, GraphBuilder& g);

// The boundary of the control ellipse, traced by stepping x1 across
// [x_min, x_max] and back (steps points each way); missing breaks the line
// where there is no root.
struct EllipseTrace {
  std::vector<double> x1, x2;
};
EllipseTrace trace_ellipse(const MvResults& r, double x_min, double x_max, int steps);

std::string mv_results_json(const MvState& s);
std::vector<SavedSeries> mv_saved_series(const MvResults& r);

// A label of a numeric or date label column (without padding).
std::string label_text(double v, int32_t type);

}  // namespace ztq
