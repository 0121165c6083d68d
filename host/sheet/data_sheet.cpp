#include "host/sheet/data_sheet.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

namespace qualty {
namespace {

char fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The key under which two names count as the same column.
std::string name_key(std::string_view name) {
  std::string key;
  key.reserve(name.size());
  for (char c : name)
    if (c != ' ') key.push_back(fold(c));
  return key;
}

std::string quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

void check_row(std::size_t row) {
  if (row >= kMaxRows)
    throw SheetError("row " + std::to_string(row + 1) + " is beyond the largest sheet of " +
                     std::to_string(kMaxRows) + " rows");
}

void check_name_length(std::string_view name) {
  if (name.size() > kMaxNameLength)
    throw SheetError("the column name " + quoted(name) + " is longer than " +
                     std::to_string(kMaxNameLength) + " characters");
}

// Keeps only the storage of the column's type; a character column's texts
// lose their padding and its width covers the longest of them.
void normalise(Column& col) {
  if (!col.is_text()) {
    col.texts.clear();
    col.width = 1;
    return;
  }
  col.numbers.clear();
  col.width = std::clamp(col.width, 1, kMaxWidth);
  for (std::string& t : col.texts) {
    t.resize(trim_right(t).size());
    if (t.size() > static_cast<std::size_t>(kMaxWidth))
      throw SheetError("a text of " + std::to_string(t.size()) + " characters in column " +
                       quoted(col.name) + " is too wide");
    col.width = std::max(col.width, static_cast<int>(t.size()));
  }
}

}  // namespace

bool is_type_letter(int type) { return type >= 'A' && type <= 'Z'; }

bool names_match(std::string_view a, std::string_view b, bool ignore_blanks) {
  std::size_t i = 0;
  std::size_t j = 0;
  for (;;) {
    if (ignore_blanks) {
      while (i < a.size() && a[i] == ' ') ++i;
      while (j < b.size() && b[j] == ' ') ++j;
    }
    if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
    if (fold(a[i]) != fold(b[j])) return false;
    ++i;
    ++j;
  }
}

DataSheet DataSheet::from_columns(std::vector<Column> columns) {
  std::unordered_map<std::string, std::size_t> seen;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const Column& col = columns[c];
    if (col.name.find_first_not_of(' ') == std::string::npos)
      throw SheetError("column " + std::to_string(c + 1) + ": the column name is empty");
    if (!is_type_letter(col.type))
      throw SheetError("column " + std::to_string(c + 1) + ": bad type letter");
    if (col.name.size() > kMaxNameLength)
      throw SheetError("column " + std::to_string(c + 1) + ": the column name " + quoted(col.name) +
                       " is longer than " + std::to_string(kMaxNameLength) + " characters");
    const auto [it, fresh] = seen.emplace(name_key(col.name), c);
    if (!fresh)
      throw SheetError("column " + std::to_string(c + 1) + ": the column name " + quoted(col.name) +
                       " repeats column " + std::to_string(it->second + 1) + " " +
                       quoted(columns[it->second].name) +
                       " (names are compared without letter case and blanks)");
  }
  DataSheet sheet;
  sheet.columns_ = std::move(columns);
  for (Column& col : sheet.columns_) normalise(col);
  return sheet;
}

std::size_t DataSheet::row_count() const {
  std::size_t rows = 0;
  for (const Column& col : columns_) rows = std::max(rows, col.size());
  return rows;
}

int DataSheet::find(std::string_view name) const {
  for (std::size_t c = 0; c < columns_.size(); ++c)
    if (names_match(columns_[c].name, name)) return static_cast<int>(c);
  return -1;
}

int DataSheet::match_variable(std::string_view expression) const {
  std::string_view t = trim_blanks(expression);
  if (t.size() >= 2 && t.front() == '(' && t.back() == ')') t = t.substr(1, t.size() - 2);
  if (trim_blanks(t).empty()) return -1;
  for (std::size_t c = 0; c < columns_.size(); ++c)
    if (names_match(columns_[c].name, t, true)) return static_cast<int>(c);
  return -1;
}

void DataSheet::check_new_name(std::string_view name) const {
  if (name.find_first_not_of(' ') == std::string_view::npos)
    throw SheetError("the column name is empty");
  check_name_length(name);
  for (const Column& col : columns_)
    if (names_match(col.name, name, true))
      throw SheetError("the column name " + quoted(name) + " is taken by column " +
                       quoted(col.name));
}

std::size_t DataSheet::add_column(Column column) {
  check_new_name(column.name);
  if (!is_type_letter(column.type)) throw SheetError("bad type letter for " + quoted(column.name));
  normalise(column);
  columns_.push_back(std::move(column));
  return columns_.size() - 1;
}

std::size_t DataSheet::create_column(std::string name, char type, int width) {
  Column col;
  col.name = std::move(name);
  col.type = type;
  col.width = width;
  return add_column(std::move(col));
}

Column& DataSheet::at(std::size_t c) {
  if (c >= columns_.size()) throw SheetError("no column " + std::to_string(c + 1));
  return columns_[c];
}

void DataSheet::define_column(std::size_t c, char type, int width) {
  Column& col = at(c);
  if (!is_type_letter(type)) throw SheetError("bad type letter for column " + quoted(col.name));
  const bool to_text = type == kCharacterType;
  if (to_text && !col.is_text()) {
    col.texts.resize(col.numbers.size());
    for (std::size_t r = 0; r < col.numbers.size(); ++r)
      if (col.numbers[r] != kMissing) col.texts[r] = format_number(col.numbers[r]);
    col.numbers.clear();
  } else if (!to_text && col.is_text()) {
    std::vector<double> numbers(col.texts.size(), kMissing);
    for (std::size_t r = 0; r < col.texts.size(); ++r) {
      double v = kMissing;
      if (classify_number(col.texts[r], v) == NumberText::kNumber) numbers[r] = v;
    }
    col.numbers = std::move(numbers);
    col.texts.clear();
  }
  col.type = type;
  col.width = 1;
  if (to_text) {
    col.width = std::clamp(width, 1, kMaxWidth);
    for (const std::string& t : col.texts)
      col.width = std::max(col.width, static_cast<int>(std::min<std::size_t>(t.size(), kMaxWidth)));
  }
}

void DataSheet::clear_column(std::size_t c) {
  Column& col = at(c);
  col.numbers.clear();
  col.texts.clear();
}

void DataSheet::prepare_column(std::size_t c, std::size_t rows) {
  Column& col = at(c);
  if (rows > 0) check_row(rows - 1);
  if (col.is_text()) {
    if (col.texts.size() < rows) col.texts.resize(rows);
  } else if (col.numbers.size() < rows) {
    col.numbers.resize(rows, kMissing);
  }
}

void DataSheet::extend_rows(std::size_t rows) {
  if (rows > 0) check_row(rows - 1);
  for (std::size_t c = 0; c < columns_.size(); ++c) prepare_column(c, rows);
}

void DataSheet::set_comment(std::size_t c, std::string comment) {
  at(c).comment = std::move(comment);
}

void DataSheet::set_number(std::size_t c, std::size_t row, double value) {
  Column& col = at(c);
  check_row(row);
  if (col.is_text()) throw SheetError("column " + quoted(col.name) + " holds text");
  std::vector<double>& numbers = col.numbers.values();  // a column of integers widened first
  if (numbers.size() <= row) numbers.resize(row + 1, kMissing);
  numbers[row] = value;
}

bool DataSheet::write_cell(std::size_t c, std::size_t row, std::string_view text) {
  Column& col = at(c);
  check_row(row);
  if (col.is_text()) {
    const std::string_view t = trim_right(text);
    if (t.size() > static_cast<std::size_t>(kMaxWidth))
      throw SheetError("a text of " + std::to_string(t.size()) + " characters is too wide");
    if (col.texts.size() <= row) col.texts.resize(row + 1);
    col.texts[row].assign(t);
    col.width = std::max(col.width, static_cast<int>(t.size()));
    return true;
  }
  double v = kMissing;
  NumberText kind = classify_number(text, v);
  if (kind == NumberText::kNotNumber && text.find('.') == std::string_view::npos &&
      std::count(text.begin(), text.end(), ',') == 1) {
    // A value written with a decimal comma (regional settings) reads as with a point.
    std::string point(text);
    point[point.find(',')] = '.';
    kind = classify_number(point, v);
  }
  set_number(c, row, kind == NumberText::kNumber ? v : kMissing);
  return kind != NumberText::kNotNumber;
}

double DataSheet::number(std::size_t c, std::size_t row) const {
  const Column& col = columns_.at(c);
  if (col.is_text() || row >= col.numbers.size()) return kMissing;
  return col.numbers[row];
}

std::string_view DataSheet::text(std::size_t c, std::size_t row) const {
  const Column& col = columns_.at(c);
  if (!col.is_text() || row >= col.texts.size()) return {};
  return col.texts[row];
}

}  // namespace qualty
