// Pareto analysis: tabulation of raw classes, scores with weights, the Pareto
// order and the folding of small classes. Pure: data and options in, results
// out; the caller supplies the texts of the default and folded labels.
//
// Juran, J. M. (1951), Quality Control Handbook: the "vital few and trivial
// many" ranking of defect classes by frequency or by a cost-weighted score.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ztq {

inline constexpr int kLabelWidth = 20;  // a class label: 20 characters, space padded

// One input column as loaded from the data sheet.
struct ParetoColumn {
  int32_t type = 0;                // 'N', 'C' or a date letter; 0 when not given
  std::vector<double> numbers;     // numeric and date rows (-32768.0 missing)
  std::vector<std::string> texts;  // character rows, as stored (space padded)

  bool given() const { return type != 0; }
  bool character() const { return type == 'C'; }
  size_t rows() const { return character() ? texts.size() : numbers.size(); }
};

struct ParetoInput {
  int32_t mode = 0;      // 0 raw data (one defect per row), 1 counts (one class per row)
  ParetoColumn main;     // the raw data (mode 0) or the counts (mode 1)
  ParetoColumn labels;   // optional; mode 1 without labels takes default_labels
  ParetoColumn weights;  // optional, numeric
  std::vector<std::string> default_labels;  // mode 1 without a labels column, one per row
};

enum class CombineRule : int32_t { none = 0, by_score = 1, by_percent = 2, fold_last = 3 };

struct ParetoOptions {
  int32_t combine = 0;             // CombineRule
  double score_threshold = 2.0;    // rule 1: keep classes whose score reaches this
  double percent_threshold = 5.0;  // rule 2: keep classes with this share (percent) of the total
  int32_t n_fold = 3;              // rule 3: fold the last N classes
  std::string folded_label;        // the label of the folded class
};

struct ParetoClass {
  std::string label;  // 20 characters, space padded
  double count = 0;
  double weight = 1;
  double score = 0;
  double cum_score = 0;  // scores up to and including this class, in Pareto order
  int32_t source = -1;   // the class's row (mode 1) or tabulated class (mode 0); -1 folded
};

struct ParetoResults {
  int32_t error = 0;                 // 0, or 3 when the main variable holds no valid value
  bool weighted = false;             // a weights column took part
  std::vector<ParetoClass> classes;  // in Pareto order, after folding (folded class last)
  double total_count = 0;
  double total_score = 0;
  int32_t classes_before = 0;  // participating classes before folding
  int32_t classes_after = 0;   // classes in the Pareto order after folding
  bool folded = false;         // the last class is the folded one

  // A value as a percentage of the total score (0 when the total is 0).
  double percent(double value) const;
};

// One tabulated class of raw data (mode 0), in ascending class order.
struct TabulatedClass {
  double count = 0;
  std::string label;  // 20 characters, space padded
  double score = 0;   // with weights: the sum of the class's rows' weights
};

// Counts the classes of raw data: numeric rows by value (missing skipped),
// character rows by text (blank rows skipped), in ascending class order.
// With weights (one per observation row, as a cost per defect), a row whose
// weight is missing takes no part and a class scores the sum of its rows'
// weights.
std::vector<TabulatedClass> tabulate_raw(const ParetoColumn& raw, const ParetoColumn& weights = {});

// The label of a numeric class value: a date for date-typed columns, a whole
// number with all its digits, else six significant digits; cut and padded to 20.
std::string numeric_label(double v, int32_t type);
// Cuts a text to 20 characters and pads it with blanks to 20.
std::string pad_label(std::string_view text);

// The ascending stable ranking of the scores, read from its end: highest score
// first, of equal scores the later one first. Positions into scores.
std::vector<size_t> pareto_order(const std::vector<double>& scores);

// Position of the last class that the combine rule keeps (-1 when none).
int64_t last_kept(const std::vector<ParetoClass>& ordered, double total_score,
                  const ParetoOptions& o);

ParetoResults compute_pareto(const ParetoInput& in, const ParetoOptions& o);

}  // namespace ztq
