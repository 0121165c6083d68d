// Writing a data sheet as CSV, in the form that read_csv reads back to the
// same values.
#include <algorithm>
#include <string>

#include "host/files/atomic_file.h"
#include "host/sheet/csv.h"
#include "host/sheet/date_text.h"

namespace qualty {
namespace {

// A text needs quotes when a reader would otherwise split it, trim it, or take
// it for a number or a missing value.
bool needs_quotes(std::string_view t) {
  if (t.find_first_of(",;\t\"\r\n") != std::string_view::npos) return true;
  if (t.front() == ' ' || t.front() == '\t' || t.back() == '\t') return true;
  double v = 0;
  return classify_number(t, v) != NumberText::kNotNumber;
}

void append_text(std::string& out, std::string_view t) {
  out.push_back('"');
  for (char c : t) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace

std::string write_csv(const DataSheet& sheet) {
  std::string out;
  const std::size_t ncols = sheet.column_count();
  if (ncols == 0) return out;
  if (sheet.byte_order_mark()) out += "\xEF\xBB\xBF";
  for (std::size_t c = 0; c < ncols; ++c) {
    if (c > 0) out.push_back(',');
    const std::string& name = sheet.column(c).name;
    // A first name that begins with a byte-order mark is quoted, or the reader
    // would take its mark for the file's own.
    if (name.find_first_of(",;\t\"\r\n") != std::string::npos || name.front() == ' ' ||
        name.back() == ' ' || name.rfind("\xEF\xBB\xBF", 0) == 0)
      append_text(out, name);
    else
      out += name;
  }
  out.push_back('\n');
  // A character column without any text writes its blank cells as "" so that
  // it reads back as a character column.
  std::vector<bool> all_blank(ncols, false);
  for (std::size_t c = 0; c < ncols; ++c) {
    const Column& col = sheet.column(c);
    if (!col.is_text()) continue;
    bool blank = true;
    for (const std::string& t : col.texts) blank = blank && t.empty();
    all_blank[c] = blank;
  }
  // A date column is written as ISO dates when every value reads back exactly.
  std::vector<bool> as_dates(ncols, false);
  for (std::size_t c = 0; c < ncols; ++c) {
    const Column& col = sheet.column(c);
    if (col.type != kDateType) continue;
    bool dates = true;
    for (std::size_t r = 0; r < col.numbers.size() && dates; ++r) {
      const double v = col.numbers[r];
      dates = v == kMissing || !format_iso_date(v).empty();
    }
    as_dates[c] = dates;
  }
  const std::size_t rows = sheet.row_count();
  for (std::size_t r = 0; r < rows; ++r) {
    for (std::size_t c = 0; c < ncols; ++c) {
      if (c > 0) out.push_back(',');
      if (sheet.column(c).is_text()) {
        const std::string_view t = sheet.text(c, r);
        if (t.empty()) {
          if (all_blank[c]) out += "\"\"";
        } else if (needs_quotes(t)) {
          append_text(out, t);
        } else {
          out += t;
        }
      } else {
        const double v = sheet.number(c, r);
        if (v != kMissing) out += as_dates[c] ? format_iso_date(v) : format_number(v);
      }
    }
    out.push_back('\n');
  }
  return out;
}

void write_csv_file(const DataSheet& sheet, const std::string& path) {
  std::string error;
  if (!write_file_atomically(path, write_csv(sheet), error)) throw SheetError(error);
}

}  // namespace qualty
