// Property test of the expression evaluator: random expressions over random
// columns, evaluated by the sheet's parser and by a deliberately plain tree
// walker written here from the documented rules (a missing operand gives a
// missing result; division by zero, the root of a negative number, the log of
// a number not above 0 and any non-finite result are missing; comparisons and
// logic give 1 or 0). Both must agree on every row.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/sheet/expression.h"

namespace qualty {
namespace {

constexpr size_t kRows = 12;

struct Node {
  enum Kind { kColumn, kNumber, kRow, kBinary, kNegate, kNot, kFunction } kind;
  std::string op;  // column name, operator or function name
  double number = 0;
  std::vector<std::unique_ptr<Node>> args;
};

bool missing(double v) { return v == kMissing; }
double finite_or_missing(double v) { return std::isfinite(v) ? v : kMissing; }
double truth(bool b) { return b ? 1.0 : 0.0; }

class Oracle {
 public:
  explicit Oracle(const DataSheet& sheet) : sheet_(sheet) {}

  double eval(const Node& n, size_t row) const {
    switch (n.kind) {
      case Node::kColumn:
        for (size_t c = 0; c < sheet_.column_count(); ++c)
          if (sheet_.column(c).name == n.op) return sheet_.column(c).numbers[row];
        return kMissing;
      case Node::kNumber:
        return n.number;
      case Node::kRow:
        return static_cast<double>(row + 1);
      case Node::kNegate: {
        const double x = eval(*n.args[0], row);
        return missing(x) ? kMissing : -x;
      }
      case Node::kNot: {
        const double x = eval(*n.args[0], row);
        return missing(x) ? kMissing : truth(x == 0);
      }
      case Node::kFunction:
        return function(n, row);
      case Node::kBinary:
        break;
    }
    const double x = eval(*n.args[0], row);
    const double y = eval(*n.args[1], row);
    if (missing(x) || missing(y)) return kMissing;
    const std::string& op = n.op;
    double r = 0;
    if (op == "+") r = x + y;
    if (op == "-") r = x - y;
    if (op == "*") r = x * y;
    if (op == "/") r = y == 0 ? kMissing : x / y;
    if (op == "^") r = std::pow(x, y);
    if (op == "=") r = truth(x == y);
    if (op == "<>") r = truth(x != y);
    if (op == "<") r = truth(x < y);
    if (op == "<=") r = truth(x <= y);
    if (op == ">") r = truth(x > y);
    if (op == ">=") r = truth(x >= y);
    if (op == "and") r = truth(x != 0 && y != 0);
    if (op == "or") r = truth(x != 0 || y != 0);
    return finite_or_missing(r);
  }

 private:
  double function(const Node& n, size_t row) const {
    std::vector<double> v;
    for (const auto& a : n.args) v.push_back(eval(*a, row));
    for (double x : v)
      if (missing(x)) return kMissing;
    const double x = v[0];
    if (n.op == "abs") return std::fabs(x);
    if (n.op == "sqrt") return x < 0 ? kMissing : finite_or_missing(std::sqrt(x));
    if (n.op == "log") return x <= 0 ? kMissing : finite_or_missing(std::log(x));
    if (n.op == "exp") return finite_or_missing(std::exp(x));
    if (n.op == "int") return std::trunc(x);
    double r = x;  // min or max, left to right
    for (size_t k = 1; k < v.size(); ++k) r = n.op == "min" ? std::min(r, v[k]) : std::max(r, v[k]);
    return r;
  }
  const DataSheet& sheet_;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  std::unique_ptr<Node> tree(int depth) {
    auto n = std::make_unique<Node>();
    const int pick = depth <= 0 ? uniform(0, 2) : uniform(0, 9);
    if (pick == 0) {
      n->kind = Node::kColumn;
      n->op = std::string(1, static_cast<char>('A' + uniform(0, 2)));
    } else if (pick == 1) {
      n->kind = Node::kNumber;
      const double choices[] = {0, 1, 2, 0.5, 3.25, 10, 1e3, 7e-3, 300};
      n->number = choices[uniform(0, 8)];
    } else if (pick == 2) {
      n->kind = Node::kRow;
    } else if (pick <= 6) {
      static const char* ops[] = {"+", "-",  "*", "/",  "^",   "=", "<>",
                                  "<", "<=", ">", ">=", "and", "or"};
      n->kind = Node::kBinary;
      n->op = ops[uniform(0, 12)];
      n->args.push_back(tree(depth - 1));
      n->args.push_back(tree(depth - 1));
    } else if (pick == 7) {
      n->kind = uniform(0, 1) == 0 ? Node::kNegate : Node::kNot;
      n->args.push_back(tree(depth - 1));
    } else {
      static const char* fns[] = {"abs", "sqrt", "log", "exp", "int", "min", "max"};
      n->kind = Node::kFunction;
      n->op = fns[uniform(0, 6)];
      const int count = n->op == "min" || n->op == "max" ? uniform(2, 3) : 1;
      for (int k = 0; k < count; ++k) n->args.push_back(tree(depth - 1));
    }
    return n;
  }

  // The sheet's grammar, every operation in parentheses.
  static std::string text(const Node& n) {
    char buf[64];
    switch (n.kind) {
      case Node::kColumn:
        return n.op;
      case Node::kNumber:
        std::snprintf(buf, sizeof buf, "%.17g", n.number);
        return buf;
      case Node::kRow:
        return "Row";
      case Node::kNegate:
        return "(-" + text(*n.args[0]) + ")";
      case Node::kNot:
        return "(not " + text(*n.args[0]) + ")";
      case Node::kFunction: {
        std::string s = n.op + "(";
        for (size_t k = 0; k < n.args.size(); ++k) s += (k ? ", " : "") + text(*n.args[k]);
        return s + ")";
      }
      case Node::kBinary:
        break;
    }
    return "(" + text(*n.args[0]) + " " + n.op + " " + text(*n.args[1]) + ")";
  }

  std::vector<double> column() {
    std::vector<double> v(kRows);
    for (double& x : v) {
      const int pick = uniform(0, 9);
      x = pick == 0 ? kMissing : pick == 1 ? 0.0 : static_cast<double>(uniform(-40, 40)) / 4.0;
    }
    return v;
  }

 private:
  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  std::mt19937 rng_;
};

TEST(ExpressionProperty, AgreesWithAPlainTreeWalker) {
  int compared = 0;
  for (unsigned seed = 1; seed <= 60; ++seed) {
    Generator gen(seed);
    std::vector<Column> cols;
    for (const char* name : {"A", "B", "C"})
      cols.push_back({name, kNumericType, 1, {}, gen.column(), {}});
    const DataSheet sheet = DataSheet::from_columns(std::move(cols));
    const Oracle oracle(sheet);
    for (int k = 0; k < 40; ++k) {
      const auto tree = gen.tree(4);
      const std::string text = Generator::text(*tree);
      ExpressionResult got;
      try {
        got = evaluate_expression(sheet, text);
      } catch (const ExpressionError& e) {
        ADD_FAILURE() << text << ": refused: " << e.what();  // every generated text is valid
        continue;
      }
      ASSERT_FALSE(got.is_text()) << text;
      ASSERT_EQ(got.numbers.size(), kRows) << text;
      for (size_t row = 0; row < kRows; ++row) {
        const double want = oracle.eval(*tree, row);
        const double have = got.numbers[row];
        if (missing(want) || missing(have))
          EXPECT_EQ(have, want) << text << " row " << row + 1;
        else
          EXPECT_NEAR(have, want, 1e-12 * std::max(1.0, std::fabs(want)))
              << text << " row " << row + 1;
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, 60 * 40 * static_cast<int>(kRows));
}

}  // namespace
}  // namespace qualty
