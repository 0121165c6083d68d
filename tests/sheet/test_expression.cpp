// The expression evaluator over data-sheet columns: values (worked by hand in
// each row), missing propagation, name matching, text comparisons, the
// positions of errors and the refusal of absurd nesting.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/sheet/expression.h"

namespace qualty {
namespace {

constexpr double M = kMissing;

DataSheet make_sheet() {
  Column x{"X", 'N', 1, "", {1, 4, M, 9}, {}};
  Column y{"Y", 'N', 1, "", {2, 0, 3}, {}};  // one row shorter than the others
  Column shift{"Shift", 'C', 3, "", {}, {"A", "B", "", "A"}};
  Column part{"Part No", 'N', 1, "", {10, 20, 30, 40}, {}};
  Column when{"When", 'D', 1, "", {45000, 45001, 45002, 45003}, {}};
  return DataSheet::from_columns({x, y, shift, part, when});
}

struct Case {
  const char* expr;
  std::vector<double> want;
  double tol;
  const char* source;
};

void check_numbers(const DataSheet& sheet, const Case& c) {
  SCOPED_TRACE(std::string(c.expr) + " -- " + c.source);
  const ExpressionResult r = evaluate_expression(sheet, c.expr);
  ASSERT_EQ(r.type, 'N');
  ASSERT_EQ(r.length, c.want.size());
  for (std::size_t i = 0; i < c.want.size(); ++i) {
    if (c.want[i] == M)
      EXPECT_EQ(r.numbers[i], M) << "row " << i + 1;
    else
      EXPECT_NEAR(r.numbers[i], c.want[i], c.tol) << "row " << i + 1;
  }
}

TEST(Expression, ArithmeticAndMissing) {
  const Case kCases[] = {
      {"X + 1", {2, 5, M, 10}, 0, "missing stays missing"},
      {"x*2 - 1", {1, 7, M, 17}, 0, "names without case"},
      {"-X^2", {-1, -16, M, -81}, 0, "power binds tighter than the sign"},
      {"2^3^2", {512, 512, 512, 512}, 0, "right associative: 2^9"},
      {"2^-1 + 1e1 + .5", {10.5 + 0.5, 11, 11, 11}, 0, "0.5 + 10 + 0.5"},
      {"(1 + 2) * 3 - 8 / 4", {7, 7, 7, 7}, 0, "9 - 2"},
      {"X / (Y - 2)", {M, -2, M, M}, 0, "1/0 missing; 4/-2; row 4 beyond Y"},
      {"X / 0", {M, M, M, M}, 0, "division by zero is missing, not an error"},
      {"Row", {1, 2, 3, 4}, 0, "row numbers"},
      {"ROW * 10 + X", {11, 24, M, 49}, 0, "Row without case"},
      {"PartNo / 10", {1, 2, 3, 4}, 0, "a name matched without its blank"},
      {"When - 45000", {0, 1, 2, 3}, 0, "a date column computes as numbers"},
      {"(-8) ^ (1/3)",
       {M, M, M, M},
       0,
       "pow of a negative base, fractional exponent: NaN -> missing"},
      {"0 ^ -1", {M, M, M, M}, 0, "infinite result -> missing"},
      {"-32768 + 1", {M, M, M, M}, 0, "the missing value written as a number is missing"},
  };
  const DataSheet sheet = make_sheet();
  for (const Case& c : kCases) check_numbers(sheet, c);
}

TEST(Expression, Functions) {
  const double e = 2.718281828459045;  // Euler's number to 16 digits
  const Case kCases[] = {
      {"abs(-X)", {1, 4, M, 9}, 0, "abs"},
      {"sqrt(X - 2)", {M, std::sqrt(2.0), M, std::sqrt(7.0)}, 1e-15, "sqrt(-1) missing"},
      {"log(X - 1)", {M, std::log(3.0), M, std::log(8.0)}, 1e-15, "log(0) missing"},
      {"LOG10(1000) + log10(0.01)", {1, 1, 1, 1}, 1e-15, "3 + (-2)"},
      {"exp(1)", {e, e, e, e}, 1e-15, "e"},
      {"exp(1000)", {M, M, M, M}, 0, "overflow -> missing"},
      {"round(2.5) + round(-2.5)", {0, 0, 0, 0}, 0, "half away from zero: 3 + (-3)"},
      {"round(3.14159, 2)", {3.14, 3.14, 3.14, 3.14}, 1e-15, "two decimals"},
      {"int(-2.7) + int(2.7)", {0, 0, 0, 0}, 0, "toward zero: -2 + 2"},
      {"min(X, 3, 5)", {1, 3, M, 3}, 0, "min of three"},
      {"Max(X, Y)", {2, 4, M, M}, 0, "row 3: X missing; row 4: Y beyond its length"},
  };
  const DataSheet sheet = make_sheet();
  for (const Case& c : kCases) check_numbers(sheet, c);
}

TEST(Expression, ComparisonsAndLogic) {
  const Case kCases[] = {
      {"X > 2 and X < 9", {0, 1, M, 0}, 0, "and"},
      {"X = 1 OR X = 9", {1, 0, M, 1}, 0, "or without case"},
      {"not X > 2", {1, 0, M, 0}, 0, "not binds looser than a comparison"},
      {"X <> 4", {1, 0, M, 1}, 0, "not equal"},
      {"X >= 4", {0, 1, M, 1}, 0, ">="},
      {"X <= 4", {1, 1, M, 0}, 0, "<="},
      {"Shift = 'A'", {1, 0, 0, 1}, 0, "text literal in single quotes"},
      {"Shift = \"B\"", {0, 1, 0, 0}, 0, "double quotes"},
      {"Shift <> 'A  '", {0, 1, 1, 0}, 0, "trailing blanks of the literal ignored"},
      {"Shift < 'B'", {1, 0, 1, 1}, 0, "\"\" and \"A\" sort before \"B\""},
      {"Shift = 'A' and X > 1", {0, 0, M, 1}, 0, "row 3: X missing makes the whole test missing"},
  };
  const DataSheet sheet = make_sheet();
  for (const Case& c : kCases) check_numbers(sheet, c);
}

TEST(Expression, PlainColumnsAndLengths) {
  struct Row {
    const char* expr;
    int column;
    char type;
    std::size_t length;
    const char* source;
  };
  const Row kRows[] = {
      {"X", 0, 'N', 4, "the name itself"},
      {"  ( x )  ", 0, 'N', 4, "blanks and one pair of parentheses"},
      {"((X))", 0, 'N', 4, "two pairs: parsed, still the plain column"},
      {"part no", 3, 'N', 4, "a name with a blank, without case"},
      {"PARTNO", 3, 'N', 4, "the same name without its blank"},
      {"Y", 1, 'N', 3, "a short column keeps its length"},
      {"Y * 1", -1, 'N', 3, "an expression as long as its longest column"},
      {"X + 0", -1, 'N', 4, "arithmetic makes no plain column"},
      {"When", 4, 'D', 4, "a date column keeps its letter"},
      {"Shift", 2, 'C', 4, "a text column"},
      {"7", -1, 'N', 4, "a constant fills the rows"},
  };
  const DataSheet sheet = make_sheet();
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.source);
    const ExpressionResult res = evaluate_expression(sheet, r.expr);
    EXPECT_EQ(res.column, r.column);
    EXPECT_EQ(res.type, r.type);
    EXPECT_EQ(res.length, r.length);
  }
  const ExpressionResult shift = evaluate_expression(sheet, "Shift");
  EXPECT_EQ(shift.width, 3);
  EXPECT_EQ(shift.texts, (std::vector<std::string>{"A", "B", "", "A"}));
  // Rows given by the caller: fewer rows cut the result, more pad it with missing.
  EXPECT_EQ(evaluate_expression(sheet, "Row", 2).numbers, (std::vector<double>{1, 2}));
  const ExpressionResult six = evaluate_expression(sheet, "X", 6);
  EXPECT_EQ(six.length, 4u);
  EXPECT_EQ(evaluate_expression(sheet, "Row", 6).length, 6u);
}

TEST(Expression, RowIsAColumnWhenOneHasThatName) {
  Column row{"row", 'N', 1, "", {7, 8}, {}};
  const DataSheet sheet = DataSheet::from_columns({row});
  EXPECT_EQ(evaluate_expression(sheet, "Row + 0").numbers, (std::vector<double>{7, 8}));
}

TEST(Expression, ErrorsNameThePosition) {
  struct Row {
    const char* expr;
    std::size_t position;
    const char* what;
  };
  const Row kRows[] = {
      {"X +", 4, "ends"},
      {"(X + 1", 7, "\")\" expected"},
      {"X + * 2", 5, "value is expected"},
      {"foo(1)", 1, "unknown function"},
      {"X + Bogus", 5, "unknown name \"Bogus\""},
      {"X 2", 3, "unexpected"},
      {"X + 'abc", 5, "no closing quote"},
      {"Shift + 1", 7, "text cannot be combined"},
      {"Shift + 'a'", 7, "only be compared"},
      {"abs(1, 2)", 1, "takes 1 argument"},
      {"min(1)", 1, "2 or more"},
      {"round(1,2,3)", 1, "1 or 2 arguments"},
      {"sqrt(Shift)", 6, "needs a number"},
      {"X $ 2", 3, "unexpected character"},
      {")", 1, "value is expected"},
      {"   ", 1, "empty"},
      {"1e999", 1, "out of range"},
      {"X and", 6, "ends"},
      {"and X", 1, "value is expected"},
  };
  const DataSheet sheet = make_sheet();
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.expr);
    try {
      (void)evaluate_expression(sheet, r.expr);
      ADD_FAILURE() << "accepted";
    } catch (const ExpressionError& e) {
      EXPECT_EQ(e.position(), r.position) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("position " + std::to_string(r.position) + ":", 0), 0u)
          << e.what();
      EXPECT_NE(std::string(e.what()).find(r.what), std::string::npos) << e.what();
    }
  }
}

TEST(Expression, DeepNestingIsRefusedWithoutCrash) {
  const DataSheet sheet = make_sheet();
  const auto nested = [](std::size_t n) { return std::string(n, '(') + "1" + std::string(n, ')'); };
  // The whole expression counts one level, each parenthesis one more.
  EXPECT_EQ(evaluate_expression(sheet, nested(kMaxNesting - 1)).numbers.front(), 1);
  struct Row {
    std::string expr;
    const char* what;
  };
  const Row kRows[] = {
      {nested(kMaxNesting), "nests deeper than 200"},
      {std::string(1000, '-') + "1", "nests deeper"},
      {[] {
         std::string s;
         for (int i = 0; i < 1000; ++i) s += "not ";
         return s + "1";
       }(),
       "nests deeper"},
      {std::string(3000, '(') + std::string(3000, ')'), "nests deeper"},
      {nested(100000), "longer than 8192"},
      {[] {
         std::string s = "1";
         while (s.size() < 100000) s += "+1";
         return s;
       }(),
       "longer than 8192"},
  };
  for (const Row& r : kRows) {
    try {
      (void)evaluate_expression(sheet, r.expr);
      ADD_FAILURE() << "accepted an expression of " << r.expr.size();
    } catch (const ExpressionError& e) {
      EXPECT_NE(std::string(e.what()).find(r.what), std::string::npos) << e.what();
    }
  }
}

TEST(Expression, LongFlatChainWithinTheLimit) {
  // 4000 additions: a loop, not a recursion, whatever the length.
  std::string s = "X";
  for (int i = 0; i < 4000; ++i) s += "+1";
  const ExpressionResult r = evaluate_expression(make_sheet(), s);
  EXPECT_EQ(r.numbers, (std::vector<double>{4001, 4004, M, 4009}));
}

}  // namespace
}  // namespace qualty
