// Expressions over the columns of a data sheet.
//
// Grammar, loosest binding first:
//   or-expr     := and-expr { "or" and-expr }
//   and-expr    := not-expr { "and" not-expr }
//   not-expr    := "not" not-expr | comparison
//   comparison  := sum [ ("=" | "<>" | "<" | "<=" | ">" | ">=") sum ]
//   sum         := product { ("+" | "-") product }
//   product     := unary { ("*" | "/") unary }
//   unary       := ("-" | "+") unary | power
//   power       := primary [ "^" unary ]            (right associative: 2^3^2 = 2^9)
//   primary     := number | 'text' | "text" | name | function "(" args ")" | "(" or-expr ")"
// Names are columns, compared with the column names without their blanks and
// letters A to Z without case; "Row" (when no column has that name) is the row
// number 1, 2, ... The words and, or, not and the function names abs, sqrt,
// log (natural), log10, exp, round (one argument, or two: decimals), int
// (truncation toward zero), min and max (two or more arguments) take any case.
//
// Values: a missing operand gives a missing result; so do a division by zero,
// the square root of a negative number, the logarithm of a number not above 0
// and any result that is not finite. Comparisons and logic give 1 or 0 (any
// non-zero number is true). Text (from character columns and literals) may
// only be compared, with trailing blanks ignored.
//
// Each row of the result is computed from the same row of its columns; a
// column shorter than the rows evaluated reads as missing (blank) beyond its
// end. The result is as long as its longest column, at most the rows
// evaluated; an expression without columns is as long as the rows evaluated.
#ifndef QUALTY_HOST_SHEET_EXPRESSION_H
#define QUALTY_HOST_SHEET_EXPRESSION_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/sheet/data_sheet.h"

namespace qualty {

inline constexpr std::size_t kMaxExpressionLength = 8192;  // bounds the work of one evaluation
inline constexpr int kMaxNesting = 200;  // parentheses, signs and "not" in a chain

// A syntax error, an unknown name or function, or a refused expression. The
// message starts with "position P:" (1-based character position).
class ExpressionError : public SheetError {
 public:
  ExpressionError(std::size_t position, const std::string& what);
  std::size_t position() const { return position_; }

 private:
  std::size_t position_;
};

struct ExpressionResult {
  char type = kNumericType;        // 'N', 'C', or the date letter of a plain date column
  int width = 1;                   // characters per text value; 1 for numbers
  int column = -1;                 // 0-based column when the expression is a plain column
  std::size_t length = 0;          // number of values
  std::vector<double> numbers;     // numeric results (type other than 'C')
  std::vector<std::string> texts;  // character results, trailing blanks removed
  bool is_text() const { return type == kCharacterType; }
};

// Evaluates text over `rows` rows (0: the sheet's row count). Throws
// ExpressionError.
ExpressionResult evaluate_expression(const DataSheet& sheet, std::string_view text,
                                     std::size_t rows = 0);

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_EXPRESSION_H
