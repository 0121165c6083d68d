// The columns of a control-chart analysis turned into the engine's input and
// the point labels. Pure: the family glue reads the columns from the data
// sheet, this decides what they mean.
//
// Subgrouped codes (0-2, 11-14, 16, 18, 20) from raw observations take their
// subgroups from the subgroup column (numeric codes, text labels, or one
// value s for fixed subgroups of s rows); without a subgroup column the first
// present value of the size column gives the fixed subgroup size. With
// entered statistics (`option0`) every row is one subgroup: its mean from
// the data column, its size from the size column (or the fixed size s of a
// one-value subgroup column) and its dispersion from the dispersion column.
// Individuals codes take one point per row; attribute codes one point per
// row with the sample size from the size column (the c chart needs none).
// A subgroup column, where given, labels the points; otherwise each point is
// labelled with its number.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "charts/chart_input.h"
#include "charts/point_labels.h"

namespace ztq {

// The numeric columns are views of the loaded data blocks (not copies): they
// must outlive vchart_data's call.
struct VchartColumns {
  std::span<const double> data;
  bool subgroup_given = false;
  bool subgroup_text = false;
  std::span<const double> subgroup;          // numeric subgroup column
  char subgroup_type = 'N';                  // its type letter (a date letter for dates)
  std::vector<std::string> subgroup_labels;  // text subgroup column (trailing blanks removed)
  bool size_given = false;
  std::span<const double> size;
  bool dispersion_given = false;
  std::span<const double> dispersion;
  std::vector<std::string> row_labels;       // the label column's texts, one per row; empty: none
  std::span<const double> row_label_values;  // a numeric label column, one per row; empty: none
  char row_label_type = 'N';                 // its type letter
  int wide_columns = 0;          // several data columns gathered row by row into data: their number
  std::vector<double> gathered;  // the storage data views when wide_columns > 1
};

struct VchartData {
  ChartInput input;
  PointLabels labels;            // one per point
  std::vector<Subgroup> groups;  // the raw observations of point g: the rows of groups[g]
  bool row_is_point = false;     // instead of groups: observation i is point i
  int missing_role = 0;          // 1-based role position of a required column not given, else 0
};

VchartData vchart_data(int code, bool statistics_entered, const VchartColumns& columns);

}  // namespace ztq
