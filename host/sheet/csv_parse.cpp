#include "host/sheet/csv_parse.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "host/sheet/eight_digits.h"

namespace qualty::csv_detail {
namespace {

bool is_end(char c, char sep) { return c == sep || c == '\n' || c == '\r'; }

// Line ends inside a quoted span: LF, CR LF and a lone CR each count once.
std::size_t count_line_ends(const char* b, const char* e) {
  std::size_t ends = 0;
  for (const char* p = b; p < e; ++p)
    if (*p == '\n' || (*p == '\r' && (p + 1 >= e || p[1] != '\n'))) ++ends;
  return ends;
}

}  // namespace

CsvParser::CsvParser(const CsvOptions& options)
    : options_(options), picture_(date_picture(options.short_date)) {}

void CsvParser::refuse_nul(const char* b, const char* nul) const {
  // The place of the NUL: lines and separators counted from the row it is in.
  const std::size_t line = line_ + count_line_ends(b, nul);
  const char* line_start = nul;
  while (line_start > b && line_start[-1] != '\n' && line_start[-1] != '\r') --line_start;
  const std::size_t column = static_cast<std::size_t>(std::count(line_start, nul, sep_)) + 1;
  throw SheetError(place(line, column) + "the file holds a NUL byte: it is not a text file");
}

CsvParser::Got CsvParser::field_at(const char*& p, const char* e, bool eof, std::string_view& value,
                                   bool& quoted, std::size_t& line, std::size_t column) {
  quoted = p < e && *p == '"';
  if (!quoted) {
    const char* q = p;
    while (q < e && !is_end(*q, sep_)) ++q;
    if (q == e && !eof) return Got::kIncomplete;
    value = std::string_view(p, static_cast<std::size_t>(q - p));
    p = q;
    return Got::kField;
  }
  const char* start = p + 1;
  const char* pos = start;
  bool escaped = false;
  scratch_.clear();
  for (;;) {
    const void* found =
        pos < e ? std::memchr(pos, '"', static_cast<std::size_t>(e - pos)) : nullptr;
    if (found == nullptr) {
      if (!eof) return Got::kIncomplete;
      const std::size_t line_of_field = line;
      throw SheetError(place(line_of_field, column) + "the quoted field has no closing quote");
    }
    const char* qp = static_cast<const char*>(found);
    if (qp + 1 == e && !eof) return Got::kIncomplete;  // a doubled quote may follow
    if (qp + 1 < e && qp[1] == '"') {                  // a doubled quote stands for one quote
      scratch_.append(start, qp + 1);
      pos = start = qp + 2;
      escaped = true;
      continue;
    }
    if (escaped) {
      scratch_.append(start, qp);
      value = scratch_;
    } else {
      value = std::string_view(start, static_cast<std::size_t>(qp - start));
    }
    const char* after = qp + 1;
    while (after < e && (*after == ' ' || *after == '\t') && *after != sep_) ++after;
    if (after == e && !eof) return Got::kIncomplete;
    const std::size_t ends = count_line_ends(p, qp);
    if (after < e && !is_end(*after, sep_)) {
      line += ends;
      throw SheetError(place(line, column) + "unexpected text after a closing quote");
    }
    line += ends;
    p = after;
    return Got::kField;
  }
}

// A plain number ending at a separator or line end, read without copying
// (or, with the decimal comma, through a small copy with the comma made a
// point). False sends the cell to the general path.
bool CsvParser::fast_number(const char*& p, const char* e, bool eof, double& v) const {
  // Clinger (1990), "How to read floating point numbers accurately": a
  // decimal significand of at most 15 digits (below 2^53) divided by an exact
  // power of ten is correctly rounded, the value from_chars gives.
  static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  // Eight characters a step where the field is well inside the buffer: the
  // whole part and the fraction of up to 7 digits each, the same significand
  // and power of ten as the loop below. Anything else goes to the loop.
  if constexpr (std::endian::native == std::endian::little) {
    static constexpr std::uint64_t kScale[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    const char* q = p + (p < e && *p == '-' ? 1 : 0);
    if (e - q >= 24) {
      const std::uint64_t whole = eight_at(q);
      const int n = leading_digits(whole);
      std::uint64_t significand = n > 0 ? digits_value(whole, n) : 0;
      const char* r = q + n;
      int digits = n, fraction = 0;
      bool fits = n < 8;
      if (fits && (*r == '.' || (*r == ',' && decimal_comma_))) {
        const std::uint64_t part = eight_at(r + 1);
        const int f = leading_digits(part);
        fits = f < 8;
        if (fits && f > 0) significand = significand * kScale[f] + digits_value(part, f);
        digits += f;
        fraction = f;
        r += 1 + f;
      }
      if (fits && digits > 0 && is_end(*r, sep_)) {
        v = static_cast<double>(significand) / kPow10[fraction];
        if (*p == '-') v = -v;
        p = r;
        return true;
      }
    }
  }
  {
    const char* q = p;
    const bool negative = q < e && *q == '-';
    if (negative) ++q;
    std::uint64_t significand = 0;
    int digits = 0;
    int fraction = -1;  // digits after the decimal mark; -1 before any mark
    for (; q < e; ++q) {
      const char c = *q;
      if (c >= '0' && c <= '9') {
        if (++digits > 15) break;
        significand = significand * 10 + static_cast<std::uint64_t>(c - '0');
        if (fraction >= 0) ++fraction;
      } else if ((c == '.' || (c == ',' && decimal_comma_)) && fraction < 0) {
        fraction = 0;
      } else {
        break;
      }
    }
    if (digits > 0 && digits <= 15 && (q == e ? eof : is_end(*q, sep_))) {
      v = static_cast<double>(significand) / kPow10[fraction < 0 ? 0 : fraction];
      if (negative) v = -v;
      p = q;
      return true;
    }
  }
  if (!decimal_comma_) {
    const auto [ptr, ec] = std::from_chars(p, e, v);
    if (ec != std::errc() || ptr == p) return false;
    if (ptr == e ? !eof : !is_end(*ptr, sep_)) return false;
    if (!std::isfinite(v)) return false;
    p = ptr;
    return true;
  }
  // The field up to its end, with at most one comma, made a point in place.
  const char* q = p;
  const char* comma = nullptr;
  for (; q < e; ++q) {
    const char c = *q;
    if (is_end(c, sep_)) break;
    if (c == ',') {
      if (comma != nullptr) return false;
      comma = q;
    }
  }
  if (q == e && !eof) return false;
  char* writable = const_cast<char*>(comma);  // feed's text is writable (see feed)
  if (writable != nullptr) *writable = '.';
  const auto [ptr, ec] = std::from_chars(p, q, v);
  if (ec != std::errc() || q == p || ptr != q || !std::isfinite(v)) {
    if (writable != nullptr) *writable = ',';
    return false;
  }
  p = q;
  return true;
}

CsvParser::Cell CsvParser::classify(std::string_view value, bool quoted, double& v,
                                    DateForm& form) const {
  if (quoted) return Cell::kText;
  switch (classify_number(value, v)) {
    case NumberText::kNumber:
      return Cell::kNumber;
    case NumberText::kEmpty:
      return Cell::kEmpty;
    case NumberText::kNoValue:
      return Cell::kNoValue;
    case NumberText::kNotNumber:
      break;
  }
  // One comma and no point: a number written with a decimal comma.
  const std::size_t comma = value.find(',');
  if (comma != std::string_view::npos && value.find(',', comma + 1) == std::string_view::npos &&
      value.find('.') == std::string_view::npos) {
    std::string point(value);
    point[comma] = '.';
    if (classify_number(point, v) == NumberText::kNumber)
      return decimal_comma_ ? Cell::kNumber : Cell::kCommaNumber;
  }
  form = parse_date(value, picture_, v);
  return form != DateForm::kNone ? Cell::kDate : Cell::kText;
}

void CsvParser::to_text(Builder& col) {
  col.texts.reserve(col.numbers.capacity());
  col.texts.resize(col.numbers.size());
  for (std::size_t r = 0; r < col.numbers.size(); ++r) {
    if (col.numbers[r] == kMissing) continue;
    col.texts[r] =
        col.kind == Kind::kDate ? format_iso_date(col.numbers[r]) : format_number(col.numbers[r]);
    col.reread_rows = r + 1;  // read again as written
  }
  if (col.no_values > 0) col.reread_rows = col.numbers.size();  // NaN and NA texts too
  reread_rows_ = std::max(reread_rows_, col.reread_rows);
  std::vector<double>().swap(col.numbers);
  col.kind = Kind::kText;
}

void CsvParser::store(std::size_t c, std::string_view value, bool quoted) {
  Builder& col = columns_[c];
  double v = kMissing;
  DateForm form = DateForm::kNone;
  if (col.kind == Kind::kText && !col.only_numbers) {
    col.texts.emplace_back(trim_right(value));
    return;
  }
  const Cell cell = classify(value, quoted, v, form);
  if (cell == Cell::kCommaNumber) {
    if (col.comma_numbers++ == 0) {
      col.first_comma_line = line_;
      col.first_comma_text = std::string(trim_blanks(value));
    }
    undo_.push_back({c, Counted::kCommaNumber});
  } else if (cell == Cell::kText || cell == Cell::kDate) {
    col.only_numbers = false;
  }
  if (col.kind != Kind::kText) {
    const bool dated = col.kind == Kind::kDate;
    switch (cell) {
      case Cell::kEmpty:
        col.numbers.push_back(kMissing);
        return;
      case Cell::kNoValue:
        if (col.no_values++ == 0) col.first_no_value_line = line_;
        undo_.push_back({c, Counted::kNoValue});
        col.numbers.push_back(kMissing);
        if (col.kind == Kind::kEmpty) col.kind = Kind::kNumber;
        return;
      case Cell::kNumber:
        if (dated) break;
        col.kind = Kind::kNumber;
        col.numbers.push_back(v);
        if (v == kMissing) count_missing_code(c);
        return;
      case Cell::kDate:
        if (col.kind == Kind::kNumber || (dated && form != col.date_form)) break;
        col.kind = Kind::kDate;
        col.date_form = form;
        col.numbers.push_back(v);
        return;
      default:
        break;
    }
    to_text(col);
  }
  col.texts.emplace_back(trim_right(value));
}

// A cell that holds -32768, the missing value written as a number: it reads
// as missing, and the load says so once for the column.
void CsvParser::count_missing_code(std::size_t c) {
  Builder& col = columns_[c];
  if (col.missing_codes++ == 0) col.first_missing_code_line = line_;
  undo_.push_back({c, Counted::kMissingCode});
}

void CsvParser::push_missing_row() {
  for (Builder& col : columns_) {
    if (col.kind == Kind::kText)
      col.texts.emplace_back();
    else
      col.numbers.push_back(kMissing);
  }
  if (++rows_ > kMaxRows)
    throw SheetError(place(line_, 1) + "more than " + std::to_string(kMaxRows) + " rows");
}

// Takes back the cells of an unfinished row (its last field lies beyond the
// text fed so far); the row is read again whole with the next piece.
void CsvParser::rollback(std::size_t columns) {
  for (std::size_t c = 0; c < columns; ++c) {
    Builder& col = columns_[c];
    if (col.kind == Kind::kText) {
      if (col.texts.size() > rows_) col.texts.pop_back();
    } else if (col.numbers.size() > rows_) {
      col.numbers.pop_back();
    }
  }
  for (const Undo& u : undo_) {
    Builder& col = columns_[u.column];
    switch (u.what) {
      case Counted::kCommaNumber:
        --col.comma_numbers;
        break;
      case Counted::kNoValue:
        --col.no_values;
        break;
      case Counted::kMissingCode:
        --col.missing_codes;
        break;
    }
  }
  undo_.clear();
}

std::size_t CsvParser::read_header(const char* b, const char* e, bool eof) {
  const char* p = b;
  if (e - p >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0) {  // UTF-8 byte-order mark
    byte_order_mark_ = true;
    p += 3;
  } else if (!eof && e - p < 3) {
    return 0;
  }
  const char* text = p;
  while (p < e && (*p == '\n' || *p == '\r')) ++p;
  if (p == e) {
    if (!eof) return 0;
    throw SheetError(place(1, 1) + "the file is empty: it has no header row");
  }
  p = text;
  sep_ = find_separator(std::string_view(p, static_cast<std::size_t>(e - p)), options_.separator);
  decimal_comma_ = options_.decimal == ',' && sep_ != ',';
  std::vector<Column> names;
  std::size_t line = 1;
  for (std::size_t c = 1;; ++c) {
    std::string_view value;
    bool quoted = false;
    if (field_at(p, e, eof, value, quoted, line, c) == Got::kIncomplete) return 0;
    Column col;
    col.name = std::string(trim_blanks(value));
    if (col.name.empty()) throw SheetError(place(1, c) + "the column name is empty");
    if (col.name.size() > kMaxNameLength)
      throw SheetError(place(1, c) + "the column name \"" + col.name +
                       "\" is longer than 32 characters");
    names.push_back(std::move(col));
    if (p < e && *p == sep_) {
      ++p;
      continue;
    }
    break;
  }
  if (p < e && *p == '\r' && p + 1 == e && !eof) return 0;
  try {
    (void)DataSheet::from_columns(names);  // empty and repeated names, before reading the rows
  } catch (const SheetError& err) {
    throw SheetError("line 1, " + std::string(err.what()));
  }
  if (p < e) p += (*p == '\r' && p + 1 < e && p[1] == '\n') ? 2 : 1;
  line_ = line + 1;
  columns_.resize(names.size());
  for (std::size_t c = 0; c < names.size(); ++c) {
    columns_[c].name = std::move(names[c].name);
    columns_[c].numbers.reserve(expected_rows_);
  }
  header_done_ = true;
  return static_cast<std::size_t>(p - b);
}

std::size_t CsvParser::feed(char* b, char* e, bool eof) {
  if (void* nul = std::memchr(b, '\0', static_cast<std::size_t>(e - b)); nul != nullptr) {
    // Everything before the NUL is read first, so that its line is known.
    char* at = static_cast<char*>(nul);
    const std::size_t used = feed(b, at, false);
    refuse_nul(b + used, at);
  }
  if (collecting_) return collect(b, e, eof);
  const char* p = b;
  if (!header_done_) {
    const std::size_t used = read_header(b, e, eof);
    if (!header_done_) return 0;
    p += used;
  }
  const std::size_t ncols = columns_.size();
  for (;;) {
    const char* row = p;
    if (p == e) return static_cast<std::size_t>(p - b);  // at eof: no further row
    if (*p == '\n' || *p == '\r') {                      // an empty line
      if (*p == '\r' && p + 1 == e && !eof) return static_cast<std::size_t>(row - b);
      p += (*p == '\r' && p + 1 < e && p[1] == '\n') ? 2 : 1;
      if (ncols == 1) {
        push_missing_row();
      } else {
        ++pending_empty_;  // a row only if a row follows it
      }
      ++line_;
      continue;
    }
    for (; pending_empty_ > 0; --pending_empty_) push_missing_row();
    undo_.clear();
    std::size_t c = 0;
    std::size_t line = line_;
    for (;;) {
      if (c == ncols)
        throw SheetError(place(line, c + 1) + "the row has more cells than the " +
                         std::to_string(ncols) + " names of the header");
      Builder& col = columns_[c];
      double v = 0;
      if (col.kind <= Kind::kNumber && fast_number(p, e, eof, v)) {
        col.numbers.push_back(v);
        col.kind = Kind::kNumber;
        if (v == kMissing) count_missing_code(c);
      } else {
        std::string_view value;
        bool quoted = false;
        if (field_at(p, e, eof, value, quoted, line, c + 1) == Got::kIncomplete) {
          rollback(c);
          return static_cast<std::size_t>(row - b);
        }
        store(c, value, quoted);
      }
      ++c;
      if (p < e && *p == sep_) {
        ++p;
        continue;
      }
      break;
    }
    if (p < e && *p == '\r' && p + 1 == e && !eof) {
      rollback(c);
      return static_cast<std::size_t>(row - b);
    }
    for (; c < ncols; ++c) {
      Builder& col = columns_[c];
      if (col.kind == Kind::kText)
        col.texts.emplace_back();
      else
        col.numbers.push_back(kMissing);
    }
    if (++rows_ > kMaxRows)
      throw SheetError(place(line_, 1) + "more than " + std::to_string(kMaxRows) + " rows");
    if (p < e) p += (*p == '\r' && p + 1 < e && p[1] == '\n') ? 2 : 1;
    line_ = line + 1;
  }
}

}  // namespace qualty::csv_detail
