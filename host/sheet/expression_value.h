// Values of the expression evaluator: a column of numbers or texts, or one
// constant that stands for every row, and the operations on them. Every
// operation propagates the missing value and never yields NaN or infinity.
#ifndef QUALTY_HOST_SHEET_EXPRESSION_VALUE_H
#define QUALTY_HOST_SHEET_EXPRESSION_VALUE_H

#include <cstddef>
#include <string_view>
#include <vector>

#include "host/sheet/data_sheet.h"

namespace qualty::expr_detail {

struct Value {
  bool is_text = false;
  std::vector<double> num;            // one value (a constant) or one per row
  std::vector<std::string_view> txt;  // the same for texts, trailing blanks removed
  int column = -1;                    // set while the value is a plain column reference
  std::size_t span = 0;               // length of the longest column read
  bool has_span = false;              // false: no column read (a constant expression)

  std::size_t size() const { return is_text ? txt.size() : num.size(); }
};

Value number_value(double v);
Value text_value(std::string_view t);
Value row_numbers(std::size_t rows);
Value column_value(const DataSheet& sheet, std::size_t c, std::size_t rows);

enum class Op { kAdd, kSub, kMul, kDiv, kPow, kEq, kNe, kLt, kLe, kGt, kGe, kAnd, kOr };

// a op b for numbers (arithmetic, comparison, logic) or texts (comparison only);
// the caller has checked the operand types with can_apply.
bool can_apply(Op op, const Value& a, const Value& b);
Value apply(Op op, const Value& a, const Value& b);
Value negate(const Value& a);
Value logical_not(const Value& a);

// A function by its lower-case name; false when there is none. min_args and
// max_args bound its argument count (max_args 0: no bound).
bool find_function(std::string_view lower_name, int& min_args, int& max_args);
Value call_function(std::string_view lower_name, const std::vector<Value>& args);

}  // namespace qualty::expr_detail

#endif  // QUALTY_HOST_SHEET_EXPRESSION_VALUE_H
