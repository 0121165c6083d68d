// The expression parser: recursive descent over the grammar in expression.h,
// evaluating as it parses. Evaluating while parsing keeps no syntax tree, so a
// long chain such as a+a+...+a is a loop and never a deep recursion; the
// nesting counter bounds the recursion that remains.
#include "host/sheet/expression.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "host/sheet/expression_value.h"

namespace qualty {

using expr_detail::Op;
using expr_detail::Value;

ExpressionError::ExpressionError(std::size_t position, const std::string& what)
    : SheetError("position " + std::to_string(position) + ": " + what), position_(position) {}

namespace {

enum class Tok { kEnd, kNumber, kText, kName, kOp, kLParen, kRParen, kComma };

struct Token {
  Tok kind = Tok::kEnd;
  std::size_t pos = 0;    // 0-based offset in the text
  std::string_view text;  // the token's characters (a text literal without its quotes)
  double number = 0;
};

bool is_name_start(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_name_char(char c) { return is_name_start(c) || is_digit(c) || c == '.'; }

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

class Parser {
 public:
  Parser(const DataSheet& sheet, std::string_view text, std::size_t rows)
      : sheet_(sheet), text_(text), rows_(rows) {
    advance();
  }

  Value parse() {
    Value v = parse_or();
    if (tok_.kind != Tok::kEnd) fail(tok_.pos, "unexpected \"" + std::string(tok_.text) + "\"");
    return v;
  }

 private:
  // Counts one level of recursion for as long as it lives.
  class Nest {
   public:
    Nest(Parser& p, std::size_t pos) : p_(p) {
      if (++p_.depth_ > kMaxNesting)
        p_.fail(pos, "the expression nests deeper than " + std::to_string(kMaxNesting) + " levels");
    }
    ~Nest() { --p_.depth_; }
    Nest(const Nest&) = delete;
    Nest& operator=(const Nest&) = delete;

   private:
    Parser& p_;
  };

  [[noreturn]] void fail(std::size_t offset, const std::string& what) const {
    throw ExpressionError(offset + 1, what);
  }

  void advance() {
    std::size_t i = end_;
    while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
    tok_ = Token{};
    tok_.pos = i;
    if (i == text_.size()) {
      end_ = i;
      return;
    }
    const char c = text_[i];
    std::size_t j = i + 1;
    if (is_digit(c) || (c == '.' && i + 1 < text_.size() && is_digit(text_[i + 1]))) {
      j = i;
      while (j < text_.size() && is_digit(text_[j])) ++j;
      if (j < text_.size() && text_[j] == '.') ++j;
      while (j < text_.size() && is_digit(text_[j])) ++j;
      if (j < text_.size() && (text_[j] == 'e' || text_[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < text_.size() && (text_[k] == '+' || text_[k] == '-')) ++k;
        if (k < text_.size() && is_digit(text_[k])) {
          j = k;
          while (j < text_.size() && is_digit(text_[j])) ++j;
        }
      }
      const auto [ptr, ec] = std::from_chars(text_.data() + i, text_.data() + j, tok_.number);
      if (ec != std::errc() || ptr != text_.data() + j) fail(i, "the number is out of range");
      tok_.kind = Tok::kNumber;
    } else if (is_name_start(c)) {
      while (j < text_.size() && is_name_char(text_[j])) ++j;
      tok_.kind = Tok::kName;
    } else if (c == '\'' || c == '"') {
      const std::size_t close = text_.find(c, i + 1);
      if (close == std::string_view::npos) fail(i, "the text has no closing quote");
      tok_.kind = Tok::kText;
      tok_.text = text_.substr(i + 1, close - i - 1);
      end_ = close + 1;
      return;
    } else if (c == '(' || c == ')' || c == ',') {
      tok_.kind = c == '(' ? Tok::kLParen : c == ')' ? Tok::kRParen : Tok::kComma;
    } else if (c == '<' || c == '>') {
      if (j < text_.size() && (text_[j] == '=' || (c == '<' && text_[j] == '>'))) ++j;
      tok_.kind = Tok::kOp;
    } else if (c == '+' || c == '-' || c == '*' || c == '/' || c == '^' || c == '=') {
      tok_.kind = Tok::kOp;
    } else {
      fail(i, "unexpected character \"" + std::string(1, c) + "\"");
    }
    tok_.text = text_.substr(i, j - i);
    end_ = j;
  }

  bool at_op(std::string_view op) const { return tok_.kind == Tok::kOp && tok_.text == op; }
  bool at_word(std::string_view word) const {
    return tok_.kind == Tok::kName && lower(tok_.text) == word;
  }

  Value binary(Op op, const Value& a, const Value& b, std::size_t pos) const {
    if (!expr_detail::can_apply(op, a, b))
      fail(pos, a.is_text && b.is_text     ? "texts can only be compared"
                : (a.is_text || b.is_text) ? "a text cannot be combined with a number"
                                           : "bad operands");
    return expr_detail::apply(op, a, b);
  }

  Value parse_or() {
    const Nest nest(*this, tok_.pos);
    Value v = parse_and();
    while (at_word("or")) {
      const std::size_t pos = tok_.pos;
      advance();
      v = binary(Op::kOr, v, parse_and(), pos);
    }
    return v;
  }

  Value parse_and() {
    Value v = parse_not();
    while (at_word("and")) {
      const std::size_t pos = tok_.pos;
      advance();
      v = binary(Op::kAnd, v, parse_not(), pos);
    }
    return v;
  }

  Value parse_not() {
    if (!at_word("not")) return parse_comparison();
    const std::size_t pos = tok_.pos;
    const Nest nest(*this, pos);
    advance();
    Value v = parse_not();
    if (v.is_text) fail(pos, "\"not\" needs a number");
    return expr_detail::logical_not(v);
  }

  Value parse_comparison() {
    Value v = parse_sum();
    static constexpr std::pair<std::string_view, Op> kComparisons[] = {
        {"=", Op::kEq},  {"<>", Op::kNe}, {"<", Op::kLt},
        {"<=", Op::kLe}, {">", Op::kGt},  {">=", Op::kGe}};
    for (const auto& [text, op] : kComparisons) {
      if (!at_op(text)) continue;
      const std::size_t pos = tok_.pos;
      advance();
      return binary(op, v, parse_sum(), pos);
    }
    return v;
  }

  Value parse_sum() {
    Value v = parse_product();
    while (at_op("+") || at_op("-")) {
      const Op op = at_op("+") ? Op::kAdd : Op::kSub;
      const std::size_t pos = tok_.pos;
      advance();
      v = binary(op, v, parse_product(), pos);
    }
    return v;
  }

  Value parse_product() {
    Value v = parse_unary();
    while (at_op("*") || at_op("/")) {
      const Op op = at_op("*") ? Op::kMul : Op::kDiv;
      const std::size_t pos = tok_.pos;
      advance();
      v = binary(op, v, parse_unary(), pos);
    }
    return v;
  }

  Value parse_unary() {
    if (!at_op("-") && !at_op("+")) return parse_power();
    const bool minus = at_op("-");
    const std::size_t pos = tok_.pos;
    const Nest nest(*this, pos);
    advance();
    Value v = parse_unary();
    if (v.is_text) fail(pos, "a sign needs a number");
    if (!minus) {
      v.column = -1;
      return v;
    }
    return expr_detail::negate(v);
  }

  Value parse_power() {
    Value v = parse_primary();
    if (!at_op("^")) return v;
    const std::size_t pos = tok_.pos;
    advance();
    return binary(Op::kPow, v, parse_unary(), pos);
  }

  Value parse_primary() {
    const Token t = tok_;
    switch (t.kind) {
      case Tok::kNumber:
        advance();
        return expr_detail::number_value(t.number);
      case Tok::kText:
        advance();
        return expr_detail::text_value(t.text);
      case Tok::kLParen: {
        advance();
        Value v = parse_or();
        if (tok_.kind != Tok::kRParen)
          fail(tok_.pos,
               "\")\" expected to close the \"(\" at position " + std::to_string(t.pos + 1));
        advance();
        return v;
      }
      case Tok::kName:
        return parse_name(t);
      case Tok::kEnd:
        fail(t.pos, "the expression ends where a value is expected");
      default:
        fail(t.pos, "a value is expected before \"" + std::string(t.text) + "\"");
    }
  }

  Value parse_name(const Token& t) {
    const std::string word = lower(t.text);
    advance();
    if (tok_.kind == Tok::kLParen) return parse_call(t, word);
    if (word == "and" || word == "or" || word == "not")
      fail(t.pos, "a value is expected before \"" + std::string(t.text) + "\"");
    for (std::size_t c = 0; c < sheet_.column_count(); ++c)
      if (names_match(sheet_.column(c).name, t.text, true))
        return expr_detail::column_value(sheet_, c, rows_);
    if (word == "row") return expr_detail::row_numbers(rows_);
    fail(t.pos, "unknown name \"" + std::string(t.text) + "\"");
  }

  Value parse_call(const Token& t, const std::string& word) {
    int min_args = 0;
    int max_args = 0;
    if (!expr_detail::find_function(word, min_args, max_args))
      fail(t.pos, "unknown function \"" + std::string(t.text) + "\"");
    advance();  // the "("
    std::vector<Value> args;
    for (;;) {
      const std::size_t arg_pos = tok_.pos;
      args.push_back(parse_or());
      if (args.back().is_text) fail(arg_pos, "\"" + word + "\" needs a number");
      if (tok_.kind != Tok::kComma) break;
      advance();
    }
    if (tok_.kind != Tok::kRParen)
      fail(tok_.pos, "\")\" expected to close the arguments of \"" + word + "\"");
    advance();
    const int n = static_cast<int>(args.size());
    if (n < min_args || (max_args > 0 && n > max_args))
      fail(t.pos, "\"" + word + "\" takes " +
                      (max_args == 0          ? std::to_string(min_args) + " or more arguments"
                       : min_args == max_args ? std::to_string(min_args) + " argument"
                                              : std::to_string(min_args) + " or " +
                                                    std::to_string(max_args) + " arguments"));
    return expr_detail::call_function(word, args);
  }

  const DataSheet& sheet_;
  std::string_view text_;
  std::size_t rows_;
  std::size_t end_ = 0;  // offset after the current token
  Token tok_;
  int depth_ = 0;
};

}  // namespace

ExpressionResult evaluate_expression(const DataSheet& sheet, std::string_view text,
                                     std::size_t rows) {
  if (text.size() > kMaxExpressionLength)
    throw ExpressionError(
        kMaxExpressionLength + 1,
        "the expression is longer than " + std::to_string(kMaxExpressionLength) + " characters");
  if (trim_blanks(text).empty()) throw ExpressionError(1, "the expression is empty");
  const std::size_t n = rows > 0 ? rows : sheet.row_count();
  ExpressionResult result;
  const int plain = sheet.match_variable(text);
  Value v = plain >= 0 ? expr_detail::column_value(sheet, static_cast<std::size_t>(plain), n)
                       : Parser(sheet, text, n).parse();
  result.length = v.has_span ? std::min(v.span, n) : n;
  result.column = v.column;
  const std::size_t stride = v.size() > 1 ? 1 : 0;
  if (v.is_text) {
    result.type = kCharacterType;
    result.texts.resize(result.length);
    for (std::size_t i = 0; i < result.length; ++i) {
      result.texts[i] = std::string(v.txt[i * stride]);
      result.width = std::max(result.width, static_cast<int>(result.texts[i].size()));
    }
  } else {
    result.numbers.resize(result.length);
    for (std::size_t i = 0; i < result.length; ++i) result.numbers[i] = v.num[i * stride];
  }
  if (v.column >= 0) {
    const Column& col = sheet.column(static_cast<std::size_t>(v.column));
    result.type = col.type;
    result.width = std::max(result.width, col.width);
  }
  return result;
}

}  // namespace qualty
