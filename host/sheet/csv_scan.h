// The CSV tokenizer shared by the reader's passes (RFC 4180 with lenient line
// ends): hands every field, unquoted and unescaped, to a callback.
#ifndef QUALTY_HOST_SHEET_CSV_SCAN_H
#define QUALTY_HOST_SHEET_CSV_SCAN_H

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "host/sheet/data_sheet.h"

namespace qualty::csv_detail {

struct Field {
  std::string_view value;  // the cell's text, quotes removed and doubled quotes undone
  bool quoted = false;
  std::size_t line = 1;    // 1-based physical line where the field starts
  std::size_t column = 1;  // 1-based position of the field in its row
};

inline std::string place(std::size_t line, std::size_t column) {
  return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

// Line ends inside a quoted span: LF, CR LF and a lone CR each count once.
inline std::size_t count_line_ends(const char* s, std::size_t from, std::size_t to, std::size_t n) {
  std::size_t ends = 0;
  for (std::size_t i = from; i < to; ++i)
    if (s[i] == '\n' || (s[i] == '\r' && (i + 1 >= n || s[i + 1] != '\n'))) ++ends;
  return ends;
}

// Scans text whose first line is first_line, calling on_field(const Field&)
// for each field and on_row(line, fields) after each row. Every line is a row,
// the last one too: the caller removes the line end that closes the file.
template <class OnField, class OnRow>
void scan(std::string_view text, std::size_t first_line, OnField&& on_field, OnRow&& on_row) {
  const char* s = text.data();
  const std::size_t n = text.size();
  std::string scratch;
  std::size_t pos = 0;
  std::size_t line = first_line;
  for (;;) {
    const std::size_t row_line = line;
    std::size_t column = 0;
    for (;;) {
      Field f;
      f.column = ++column;
      f.line = line;
      if (pos < n && s[pos] == '"') {
        f.quoted = true;
        std::size_t start = ++pos;
        bool escaped = false;
        scratch.clear();
        for (;;) {
          const void* q = pos < n ? std::memchr(s + pos, '"', n - pos) : nullptr;
          if (q == nullptr)
            throw SheetError(place(f.line, f.column) + "the quoted field has no closing quote");
          const std::size_t qp = static_cast<std::size_t>(static_cast<const char*>(q) - s);
          line += count_line_ends(s, pos, qp, n);
          if (qp + 1 < n && s[qp + 1] == '"') {  // a doubled quote stands for one quote
            scratch.append(s + start, qp + 1 - start);
            pos = start = qp + 2;
            escaped = true;
            continue;
          }
          if (escaped) {
            scratch.append(s + start, qp - start);
            f.value = scratch;
          } else {
            f.value = std::string_view(s + start, qp - start);
          }
          pos = qp + 1;
          break;
        }
        while (pos < n && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
        if (pos < n && s[pos] != ',' && s[pos] != '\n' && s[pos] != '\r')
          throw SheetError(place(line, f.column) + "unexpected text after a closing quote");
      } else {
        const std::size_t start = pos;
        while (pos < n && s[pos] != ',' && s[pos] != '\n' && s[pos] != '\r') ++pos;
        f.value = std::string_view(s + start, pos - start);
      }
      on_field(f);
      if (pos < n && s[pos] == ',') {
        ++pos;
        continue;
      }
      break;
    }
    on_row(row_line, column);
    if (pos >= n) return;
    if (s[pos] == '\r' && pos + 1 < n && s[pos + 1] == '\n') ++pos;
    ++pos;
    ++line;
  }
}

}  // namespace qualty::csv_detail

#endif  // QUALTY_HOST_SHEET_CSV_SCAN_H
