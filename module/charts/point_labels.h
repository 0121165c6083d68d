// The labels of a chart's points, formatted only when a pane or a save asks
// for one: a chart of 10^6 subgroups keeps one number (or one text) per
// point, not one formatted string per point. Copies share the stored labels.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace ztq {

class PointLabels {
 public:
  PointLabels() = default;
  // Text labels, one per point.
  PointLabels(std::vector<std::string> texts);  // NOLINT: a list of texts is a list of labels
  PointLabels(std::initializer_list<std::string> texts);
  // Numeric values, one per point, shown as label_of_value(v, TYPE); a
  // missing value labels its point with its 1-based number, or leaves it
  // blank when BLANK_MISSING.
  static PointLabels values(std::vector<double> values, char type = 'N',
                            bool blank_missing = false);
  // Points labelled 1 to N.
  static PointLabels numbered(std::size_t n);

  std::size_t size() const;
  // Whether every label is its point's 1-based number (none stored).
  bool numbered_only() const { return store_ && store_->texts.empty() && store_->values.empty(); }
  bool empty() const { return size() == 0; }
  // The label of point I (its 1-based number past the end).
  std::string operator[](std::size_t i) const {
    std::string text;
    write(i, text);
    return text;
  }
  // The same in TEXT, whose storage is reused.
  void write(std::size_t i, std::string& text) const;
  // The length of the longest label, counted no further than CAP.
  std::size_t longest(std::size_t cap) const;

 private:
  struct Store {
    std::vector<std::string> texts;
    std::vector<double> values;
    char type = 'N';
    bool blank_missing = false;
    std::size_t numbered = 0;
  };
  std::shared_ptr<const Store> store_;
};

// A number as a point label: whole numbers without decimals (below 10^15),
// others with 10 significant digits; non-finite and missing values empty.
std::string label_of_number(double v);
// A point label of a numeric or date-typed value (type letter M: a month
// value, any other date letter a day value; N a number).
std::string label_of_value(double v, char type);

}  // namespace ztq
