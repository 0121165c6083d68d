// Reading a CSV file into a data sheet, in two passes over the text: the first
// reads the numbers and finds the columns that hold text; only when there are
// such columns does a second pass collect their texts.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "host/sheet/csv.h"
#include "host/sheet/csv_scan.h"

namespace qualty {
namespace {

using csv_detail::Field;
using csv_detail::place;

struct NumericState {
  bool text = false;  // a non-number or quoted cell seen: the column is character
  std::vector<double> numbers;
  std::size_t no_values = 0;      // NaN, inf, NA texts read as missing
  std::size_t missing_codes = 0;  // cells holding -32768, the missing value itself
  std::size_t first_missing_code_line = 0;
  std::size_t first_no_value_line = 0;
};

// The text without its byte-order mark and the line end that closes the file.
std::string_view strip_frame(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 byte-order mark
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

void refuse_nul(std::string_view text) {
  const std::size_t at = text.find('\0');
  if (at == std::string_view::npos) return;
  const std::string_view before = text.substr(0, at);
  const std::size_t line =
      static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1;
  const std::size_t line_start =
      before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
  const std::string_view in_line = before.substr(line_start);
  const std::size_t column =
      static_cast<std::size_t>(std::count(in_line.begin(), in_line.end(), ',')) + 1;
  throw SheetError(place(line, column) + "the file holds a NUL byte: it is not a text file");
}

std::vector<Column> read_header(std::string_view text, std::size_t& header_end) {
  std::vector<Column> columns;
  bool done = false;
  // The header is the text up to the first line end outside quotes.
  std::size_t end = 0;
  bool in_quotes = false;
  while (end < text.size() && (in_quotes || (text[end] != '\n' && text[end] != '\r'))) {
    if (text[end] == '"') in_quotes = !in_quotes;
    ++end;
  }
  csv_detail::scan(
      text.substr(0, end), 1,
      [&](const Field& f) {
        Column col;
        col.name = std::string(trim_blanks(f.value));
        if (col.name.empty())
          throw SheetError(place(f.line, f.column) + "the column name is empty");
        if (col.name.size() > kMaxNameLength)
          throw SheetError(place(f.line, f.column) + "the column name \"" + col.name +
                           "\" is longer than 32 characters");
        columns.push_back(std::move(col));
      },
      [&](std::size_t, std::size_t) { done = true; });
  if (!done || columns.empty()) throw SheetError(place(1, 1) + "the file has no header row");
  header_end = end;
  return columns;
}

}  // namespace

CsvLoad read_csv(std::string_view whole) {
  const std::string_view text = strip_frame(whole);
  if (text.find_first_not_of("\r\n") == std::string_view::npos)
    throw SheetError(place(1, 1) + "the file is empty: it has no header row");
  refuse_nul(text);
  std::size_t header_end = 0;
  std::vector<Column> columns = read_header(text, header_end);
  try {
    (void)DataSheet::from_columns(columns);  // empty and repeated names, before reading the rows
  } catch (const SheetError& e) {
    throw SheetError("line 1, " + std::string(e.what()));
  }
  const std::size_t ncols = columns.size();

  // The rows start on line 2. In a file of one column an empty line is a
  // missing value, at the end too; in a file of more columns the writer never
  // leaves an empty line, so empty lines at the end are an editor's and no rows.
  std::size_t body = header_end;
  if (body < text.size() && text[body] == '\r') ++body;
  if (body < text.size() && text[body] == '\n') ++body;
  std::string_view rows_text = text.substr(std::min(body, text.size()));
  bool no_rows = header_end >= text.size();
  if (ncols > 1) {
    while (!rows_text.empty() && (rows_text.back() == '\n' || rows_text.back() == '\r'))
      rows_text.remove_suffix(1);
    no_rows = rows_text.empty();
  }

  std::vector<NumericState> state(ncols);
  const std::size_t estimate =
      static_cast<std::size_t>(std::count(rows_text.begin(), rows_text.end(), '\n')) + 1;
  for (NumericState& s : state) s.numbers.reserve(estimate);
  std::size_t rows = 0;

  if (!no_rows) {
    csv_detail::scan(
        rows_text, 2,
        [&](const Field& f) {
          if (f.column > ncols)
            throw SheetError(place(f.line, f.column) + "the row has more cells than the " +
                             std::to_string(ncols) + " names of the header");
          NumericState& s = state[f.column - 1];
          if (s.text) return;
          double v = kMissing;
          const NumberText kind = f.quoted ? NumberText::kNotNumber : classify_number(f.value, v);
          if (kind == NumberText::kNotNumber) {
            s.text = true;
            std::vector<double>().swap(s.numbers);
            return;
          }
          if (kind == NumberText::kNoValue && s.no_values++ == 0) s.first_no_value_line = f.line;
          if (kind == NumberText::kNumber && v == kMissing && s.missing_codes++ == 0)
            s.first_missing_code_line = f.line;
          s.numbers.push_back(kind == NumberText::kNumber ? v : kMissing);
        },
        [&](std::size_t line, std::size_t fields) {
          if (++rows > kMaxRows)
            throw SheetError(place(line, 1) + "more than " + std::to_string(kMaxRows) + " rows");
          for (std::size_t c = fields; c < ncols; ++c)
            if (!state[c].text) state[c].numbers.push_back(kMissing);
        });
  }

  CsvLoad load;
  const bool any_text =
      std::any_of(state.begin(), state.end(), [](const NumericState& s) { return s.text; });
  if (any_text) {
    for (std::size_t c = 0; c < ncols; ++c) {
      if (!state[c].text) continue;
      columns[c].type = kCharacterType;
      columns[c].texts.reserve(rows);
    }
    csv_detail::scan(
        rows_text, 2,
        [&](const Field& f) {
          Column& col = columns[f.column - 1];
          if (col.is_text()) col.texts.emplace_back(trim_right(f.value));
        },
        [&](std::size_t, std::size_t fields) {
          for (std::size_t c = fields; c < ncols; ++c)
            if (columns[c].is_text()) columns[c].texts.emplace_back();
        });
  }
  for (std::size_t c = 0; c < ncols; ++c) {
    if (columns[c].is_text()) continue;
    columns[c].numbers = std::move(state[c].numbers);
    if (state[c].no_values > 0)
      load.warnings.push_back("column " + std::to_string(c + 1) + " \"" + columns[c].name +
                              "\": " + std::to_string(state[c].no_values) +
                              " cells of NaN, inf or NA text read as missing (first on line " +
                              std::to_string(state[c].first_no_value_line) + ")");
    if (state[c].missing_codes > 0)
      load.warnings.push_back(
          "column " + std::to_string(c + 1) + " \"" + columns[c].name +
          "\": " + std::to_string(state[c].missing_codes) +
          " cells of -32768, the missing value, read as missing (first on line " +
          std::to_string(state[c].first_missing_code_line) + ")");
  }
  load.sheet = DataSheet::from_columns(std::move(columns));
  return load;
}

CsvLoad read_csv_file(const std::string& path) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) throw SheetError("cannot open the data file \"" + path + "\"");
  std::string text;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw SheetError("cannot read the data file \"" + path + "\": it is a folder");
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size < (std::uintmax_t{1} << 32)) text.reserve(static_cast<std::size_t>(size));
  char chunk[1 << 16];
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    text.append(chunk, got);
    if (got < sizeof chunk) break;
  }
  if (std::ferror(file.get())) throw SheetError("cannot read the data file \"" + path + "\"");
  try {
    return read_csv(text);
  } catch (const SheetError& e) {
    throw SheetError(path + ": " + e.what());
  }
}

}  // namespace qualty
