// The end of a CSV read: the texts of columns that turned to text after
// numbers, read again as written, and the sheet built from the columns.
#include <string>
#include <utility>
#include <vector>

#include "host/sheet/csv_parse.h"

namespace qualty::csv_detail {

void CsvParser::collect_texts_from(CsvParser& first) {
  collecting_ = true;
  target_ = &first;
  reread_rows_ = first.reread_rows_;
}

// The second pass: the cells, as written, of the rows that a column read as
// numbers before it turned to text.
std::size_t CsvParser::collect(const char* b, const char* e, bool eof) {
  const char* p = b;
  if (!header_done_) {
    const std::size_t used = read_header(b, e, eof);
    if (!header_done_) return 0;
    p += used;
  }
  std::vector<Builder>& cols = target_->columns_;
  while (p < e && rows_ < reread_rows_) {
    const char* row = p;
    std::size_t line = line_;
    std::size_t c = 0;
    if (*p != '\n' && *p != '\r') {
      for (;; ++c) {
        std::string_view value;
        bool quoted = false;
        if (field_at(p, e, eof, value, quoted, line, c + 1) == Got::kIncomplete)
          return static_cast<std::size_t>(row - b);
        if (c < cols.size() && rows_ < cols[c].reread_rows)
          cols[c].texts[rows_].assign(trim_right(value));
        if (p < e && *p == sep_) {
          ++p;
          continue;
        }
        break;
      }
    }
    if (p < e && *p == '\r' && p + 1 == e && !eof) return static_cast<std::size_t>(row - b);
    if (p < e) p += (*p == '\r' && p + 1 < e && p[1] == '\n') ? 2 : 1;
    ++rows_;  // every line up to the last reread row was a row
    line_ = line + 1;
  }
  return static_cast<std::size_t>(e - b);
}

CsvLoad CsvParser::finish() {
  CsvLoad load;
  load.separator = sep_;
  std::vector<Column> columns(columns_.size());
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    Builder& b = columns_[c];
    Column& col = columns[c];
    col.name = std::move(b.name);
    if (b.kind == Kind::kText && b.only_numbers && b.comma_numbers > 0)
      throw SheetError(place(b.first_comma_line, c + 1) + "\"" + b.first_comma_text +
                       "\" in column \"" + col.name +
                       "\" is a number with a decimal comma, but the decimal separator in force "
                       "is the point: read the file with the decimal comma");
    if (b.kind == Kind::kText) {
      col.type = kCharacterType;
      col.texts = std::move(b.texts);
      continue;
    }
    col.type = b.kind == Kind::kDate ? kDateType : kNumericType;
    // A generous estimate of the rows leaves much unused room: give it back.
    if (b.numbers.capacity() - b.numbers.size() > b.numbers.size() / 4) b.numbers.shrink_to_fit();
    col.numbers = std::move(b.numbers);
    col.numbers.keep_narrow();  // numbers of few places: 4 bytes a row
    if (b.no_values > 0)
      load.warnings.push_back("column " + std::to_string(c + 1) + " \"" + col.name +
                              "\": " + std::to_string(b.no_values) +
                              " cells of NaN, inf or NA text read as missing (first on line " +
                              std::to_string(b.first_no_value_line) + ")");
    if (b.missing_codes > 0)
      load.warnings.push_back(
          "column " + std::to_string(c + 1) + " \"" + col.name +
          "\": " + std::to_string(b.missing_codes) +
          " cells of -32768, the missing value, read as missing (first on line " +
          std::to_string(b.first_missing_code_line) + ")");
  }
  load.sheet = DataSheet::from_columns(std::move(columns));
  load.sheet.set_byte_order_mark(byte_order_mark_);
  return load;
}

}  // namespace qualty::csv_detail
