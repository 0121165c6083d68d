#include "host/sheet/expression_value.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace qualty::expr_detail {
namespace {

double finite_or_missing(double v) { return std::isfinite(v) ? v : kMissing; }

Value merged_span(const Value& a, const Value& b) {
  Value out;
  out.has_span = a.has_span || b.has_span;
  out.span = std::max(a.has_span ? a.span : 0, b.has_span ? b.span : 0);
  return out;
}

// Applies f row by row to numbers, broadcasting a constant; a missing operand
// gives a missing result, a non-finite result becomes missing.
template <class F>
Value combine(const Value& a, const Value& b, F f) {
  Value out = merged_span(a, b);
  const std::size_t n = std::max(a.num.size(), b.num.size());
  const std::size_t sa = a.num.size() > 1 ? 1 : 0;
  const std::size_t sb = b.num.size() > 1 ? 1 : 0;
  out.num.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double x = a.num[i * sa];
    const double y = b.num[i * sb];
    out.num[i] = (x == kMissing || y == kMissing) ? kMissing : finite_or_missing(f(x, y));
  }
  return out;
}

template <class F>
Value compare_texts(const Value& a, const Value& b, F f) {
  Value out = merged_span(a, b);
  const std::size_t n = std::max(a.txt.size(), b.txt.size());
  const std::size_t sa = a.txt.size() > 1 ? 1 : 0;
  const std::size_t sb = b.txt.size() > 1 ? 1 : 0;
  out.num.resize(n);
  for (std::size_t i = 0; i < n; ++i) out.num[i] = f(a.txt[i * sa].compare(b.txt[i * sb])) ? 1 : 0;
  return out;
}

template <class F>
Value map(const Value& a, F f) {
  Value out;
  out.has_span = a.has_span;
  out.span = a.span;
  out.num.resize(a.num.size());
  for (std::size_t i = 0; i < a.num.size(); ++i)
    out.num[i] = a.num[i] == kMissing ? kMissing : finite_or_missing(f(a.num[i]));
  return out;
}

double truth(bool b) { return b ? 1.0 : 0.0; }

}  // namespace

Value number_value(double v) {
  Value out;
  out.num.assign(1, std::isfinite(v) ? v : kMissing);
  return out;
}

Value text_value(std::string_view t) {
  Value out;
  out.is_text = true;
  out.txt.assign(1, trim_right(t));
  return out;
}

Value row_numbers(std::size_t rows) {
  Value out;
  out.has_span = true;
  out.span = rows;
  out.num.resize(std::max<std::size_t>(rows, 1), kMissing);
  for (std::size_t i = 0; i < rows; ++i) out.num[i] = static_cast<double>(i + 1);
  return out;
}

Value column_value(const DataSheet& sheet, std::size_t c, std::size_t rows) {
  const Column& col = sheet.column(c);
  Value out;
  out.column = static_cast<int>(c);
  out.has_span = true;
  out.span = col.size();
  // One slot at least, so that a sheet of no rows still evaluates as a constant does.
  const std::size_t n = std::max<std::size_t>(rows, 1);
  const std::size_t have = std::min(n, col.size());
  if (col.is_text()) {
    out.is_text = true;
    out.txt.resize(n);
    for (std::size_t i = 0; i < have; ++i) out.txt[i] = col.texts[i];
  } else {
    out.num.assign(n, kMissing);
    for (std::size_t i = 0; i < have; ++i) out.num[i] = col.numbers[i];
  }
  return out;
}

bool can_apply(Op op, const Value& a, const Value& b) {
  if (!a.is_text && !b.is_text) return true;
  return a.is_text && b.is_text && op >= Op::kEq && op <= Op::kGe;
}

Value apply(Op op, const Value& a, const Value& b) {
  if (a.is_text) {
    switch (op) {
      case Op::kEq:
        return compare_texts(a, b, [](int c) { return c == 0; });
      case Op::kNe:
        return compare_texts(a, b, [](int c) { return c != 0; });
      case Op::kLt:
        return compare_texts(a, b, [](int c) { return c < 0; });
      case Op::kLe:
        return compare_texts(a, b, [](int c) { return c <= 0; });
      case Op::kGt:
        return compare_texts(a, b, [](int c) { return c > 0; });
      default:
        return compare_texts(a, b, [](int c) { return c >= 0; });
    }
  }
  switch (op) {
    case Op::kAdd:
      return combine(a, b, [](double x, double y) { return x + y; });
    case Op::kSub:
      return combine(a, b, [](double x, double y) { return x - y; });
    case Op::kMul:
      return combine(a, b, [](double x, double y) { return x * y; });
    case Op::kDiv:
      return combine(a, b, [](double x, double y) { return y == 0 ? kMissing : x / y; });
    case Op::kPow:
      return combine(a, b, [](double x, double y) { return std::pow(x, y); });
    case Op::kEq:
      return combine(a, b, [](double x, double y) { return truth(x == y); });
    case Op::kNe:
      return combine(a, b, [](double x, double y) { return truth(x != y); });
    case Op::kLt:
      return combine(a, b, [](double x, double y) { return truth(x < y); });
    case Op::kLe:
      return combine(a, b, [](double x, double y) { return truth(x <= y); });
    case Op::kGt:
      return combine(a, b, [](double x, double y) { return truth(x > y); });
    case Op::kGe:
      return combine(a, b, [](double x, double y) { return truth(x >= y); });
    case Op::kAnd:
      return combine(a, b, [](double x, double y) { return truth(x != 0 && y != 0); });
    case Op::kOr:
      return combine(a, b, [](double x, double y) { return truth(x != 0 || y != 0); });
  }
  return a;
}

Value negate(const Value& a) {
  return map(a, [](double x) { return -x; });
}

Value logical_not(const Value& a) {
  return map(a, [](double x) { return truth(x == 0); });
}

bool find_function(std::string_view name, int& min_args, int& max_args) {
  min_args = max_args = 1;
  if (name == "abs" || name == "sqrt" || name == "log" || name == "log10" || name == "exp" ||
      name == "int")
    return true;
  if (name == "round") {
    max_args = 2;
    return true;
  }
  if (name == "min" || name == "max") {
    min_args = 2;
    max_args = 0;
    return true;
  }
  return false;
}

Value call_function(std::string_view name, const std::vector<Value>& args) {
  const Value& x = args.front();
  if (name == "abs") return map(x, [](double v) { return std::fabs(v); });
  if (name == "sqrt") return map(x, [](double v) { return v < 0 ? kMissing : std::sqrt(v); });
  if (name == "log") return map(x, [](double v) { return v <= 0 ? kMissing : std::log(v); });
  if (name == "log10") return map(x, [](double v) { return v <= 0 ? kMissing : std::log10(v); });
  if (name == "exp") return map(x, [](double v) { return std::exp(v); });
  if (name == "int") return map(x, [](double v) { return std::trunc(v); });
  if (name == "round") {
    // Half away from zero; round(x, d) scales by 10^d (d truncated to a whole number).
    if (args.size() == 1) return map(x, [](double v) { return std::round(v); });
    return combine(x, args[1], [](double v, double d) {
      const double scale = std::pow(10.0, std::trunc(d));
      const double r = std::round(v * scale) / scale;
      return std::isfinite(r) ? r : v;
    });
  }
  Value out = x;
  out.column = -1;
  const bool is_min = name == "min";
  for (std::size_t k = 1; k < args.size(); ++k)
    out = combine(out, args[k], [is_min](double a, double b) {
      return is_min ? std::min(a, b) : std::max(a, b);
    });
  return out;
}

}  // namespace qualty::expr_detail
