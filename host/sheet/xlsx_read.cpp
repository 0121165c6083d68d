// One worksheet of an .xlsx workbook into a data sheet: cells mapped to
// columns by their references, typed as they arrive, as the CSV reader does.
#include <sys/stat.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/sheet/date_text.h"
#include "host/sheet/xlsx.h"
#include "host/sheet/xlsx_parts.h"

namespace qualty {
namespace {

using xlsx_detail::attribute;
using xlsx_detail::Workbook;

// 1900 date system: serial 1 is 1 January 1900, and serial 60 the 29 February
// 1900 that the system counts although it did not exist; 1904 system: serial 0
// is 1 January 1904.
double day_value(double serial, bool date1904) {
  if (date1904) return serial + 1461.0;
  return serial >= 61.0 ? serial - 1.0 : serial;
}

std::string cell_name(std::size_t column, std::size_t row) {
  std::string letters;
  for (std::size_t c = column + 1; c > 0; c = (c - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
  return letters + std::to_string(row);
}

class WorksheetReader {
 public:
  explicit WorksheetReader(const Workbook& book) : book_(book) {
    events_.start = [this](std::string_view name, const char** a) { start(name, a); };
    events_.end = [this](std::string_view name) { end(name); };
    events_.text = [this](std::string_view t) {
      if (collecting_) value_.append(t);
    };
  }
  const xlsx_detail::XmlEvents& events() const { return events_; }
  CsvLoad finish();

 private:
  enum class Kind : std::uint8_t { kEmpty, kNumber, kText };
  struct Builder {
    Kind kind = Kind::kEmpty;
    bool all_dates = true;  // every number carries a date format
    bool any_date = false;
    std::vector<double> numbers;
    std::vector<std::string> texts;
    std::size_t errors = 0;
    std::string first_error;
  };

  void start(std::string_view name, const char** a);
  void end(std::string_view name);
  void cell();
  void header_cell(std::string text);
  void close_header();
  void store(std::size_t column, std::size_t row, double number, bool date,
             const std::string* text);

  const Workbook& book_;
  xlsx_detail::XmlEvents events_;
  std::vector<std::string> names_;
  std::vector<Builder> columns_;
  std::size_t header_row_ = 0;  // 1-based; 0 until the first row with a value
  bool header_closed_ = false;
  std::size_t reserve_ = 0;
  std::size_t row_ = 0;     // the current row, 1-based
  std::size_t column_ = 0;  // the current cell's column, 0-based
  std::string type_;
  std::size_t style_ = 0;
  std::string value_;
  bool collecting_ = false, has_value_ = false, has_formula_ = false, in_inline_ = false;
  int phonetic_ = 0;
  std::size_t rows_ = 0;  // data rows with a value
};

void WorksheetReader::start(std::string_view name, const char** a) {
  if (name == "c") {
    ++column_;
    if (const char* r = attribute(a, "r"); r != nullptr) {
      std::size_t c = 0;
      const char* p = r;
      for (; *p >= 'A' && *p <= 'Z'; ++p) c = c * 26 + static_cast<std::size_t>(*p - 'A' + 1);
      if (c == 0 || c > 16384) throw SheetError(std::string("bad cell reference ") + r);
      if (c < column_)
        throw SheetError(std::string("the workbook is damaged: cell ") + r +
                         " comes after a cell to its right");
      column_ = c;
    }
    const char* t = attribute(a, "t");
    type_ = t != nullptr ? t : "n";
    const char* s = attribute(a, "s");
    style_ = s != nullptr ? static_cast<std::size_t>(std::atol(s)) : 0;
    value_.clear();
    has_value_ = has_formula_ = false;
  } else if (name == "row") {
    const char* r = attribute(a, "r");
    const std::size_t row = r != nullptr ? static_cast<std::size_t>(std::atol(r)) : row_ + 1;
    // Rows ascend, within the 1,048,576 rows of a worksheet (ECMA-376, 18.3.1.73).
    if (row <= row_ || row > 1048576)
      throw SheetError("the workbook is damaged: row " + std::to_string(row) + " comes after row " +
                       std::to_string(row_));
    row_ = row;
    column_ = 0;
  } else if (name == "v") {
    collecting_ = true;
  } else if (name == "f") {
    has_formula_ = true;
  } else if (name == "is") {
    in_inline_ = true;
  } else if (name == "rPh") {
    ++phonetic_;
  } else if (name == "t" && in_inline_) {
    collecting_ = phonetic_ == 0;
  } else if (name == "dimension") {
    // "A1:D1001": room for the rows once, rather than growing to them.
    const char* ref = attribute(a, "ref");
    const char* colon = ref != nullptr ? std::strchr(ref, ':') : nullptr;
    if (colon != nullptr) {
      const char* digits = colon + 1;
      while (*digits >= 'A' && *digits <= 'Z') ++digits;
      reserve_ = std::min<std::size_t>(static_cast<std::size_t>(std::atol(digits)), kMaxRows);
    }
  }
}

void WorksheetReader::end(std::string_view name) {
  if (name == "v") {
    collecting_ = false;
    has_value_ = true;
  } else if (name == "t" && in_inline_) {
    collecting_ = false;
    has_value_ = true;
  } else if (name == "is") {
    in_inline_ = false;
  } else if (name == "rPh") {
    --phonetic_;
  } else if (name == "c") {
    cell();
  } else if (name == "row" && header_row_ == row_ && header_row_ != 0) {
    close_header();
  } else if (name == "sheetData" && !header_closed_) {
    if (header_row_ == 0) throw SheetError("the worksheet is empty: it has no header row");
    close_header();
  }
}

void WorksheetReader::cell() {
  if (row_ == 0) throw SheetError("the workbook is damaged: a cell outside any row");
  const std::string where = cell_name(column_ - 1, row_);
  if (has_formula_ && !has_value_)
    throw SheetError("cell " + where +
                     " holds a formula without a saved result: open the workbook in a "
                     "spreadsheet program and save it, so that the results are kept");
  if (!has_value_) return;
  const std::string* text = nullptr;
  std::string owned;
  double number = kMissing;
  bool date = false;
  if (type_ == "s") {
    const long index = std::atol(value_.c_str());
    if (index < 0 || static_cast<std::size_t>(index) >= book_.shared_strings.size())
      throw SheetError("the workbook is damaged: cell " + where + " names no shared string");
    text = &book_.shared_strings[static_cast<std::size_t>(index)];
  } else if (type_ == "str" || type_ == "inlineStr") {
    text = &value_;
  } else if (type_ == "e") {
    owned = "#error";
  } else if (type_ == "d") {
    if (parse_date(value_, DatePicture{}, number) != DateForm::kIso) text = &value_;
    date = text == nullptr;
  } else if (trim_blanks(value_).empty()) {
    return;  // an empty value: a missing cell
  } else {
    const char* b = value_.data();
    const auto [ptr, ec] = std::from_chars(b, b + value_.size(), number);
    if (ec != std::errc() || ptr != b + value_.size() || !std::isfinite(number))
      throw SheetError("the workbook is damaged: cell " + where + " holds no number");
    if (type_ == "b") number = number != 0 ? 1.0 : 0.0;
    date = type_ == "n" && style_ < book_.date_style.size() && book_.date_style[style_];
    if (date) number = day_value(number, book_.date1904);
  }
  if (header_row_ == 0) header_row_ = row_;
  if (row_ == header_row_) {
    header_cell(text != nullptr ? *text : date ? format_iso_date(number) : format_number(number));
    return;
  }
  const std::size_t c = column_ - 1;
  if (c >= columns_.size()) {
    if (text != nullptr && trim_blanks(*text).empty()) return;
    throw SheetError("cell " + where + " lies beyond the " + std::to_string(columns_.size()) +
                     " named columns of row " + std::to_string(header_row_));
  }
  if (!owned.empty()) {  // an error value (#N/A, #DIV/0!): no observation
    Builder& col = columns_[c];
    if (col.errors++ == 0) col.first_error = where + " " + value_;
    store(c, row_ - header_row_ - 1, kMissing, false, nullptr);
    return;
  }
  store(c, row_ - header_row_ - 1, number, date, text);
}

void WorksheetReader::header_cell(std::string text) {
  const std::size_t c = column_ - 1;
  if (names_.size() <= c) names_.resize(c + 1);
  names_[c] = std::string(trim_blanks(text));
}

void WorksheetReader::close_header() {
  header_closed_ = true;
  std::vector<Column> check(names_.size());
  for (std::size_t c = 0; c < names_.size(); ++c) {
    if (names_[c].empty())
      throw SheetError("cell " + cell_name(c, header_row_) + ": the column name is empty");
    check[c].name = names_[c];
  }
  (void)DataSheet::from_columns(check);  // long and repeated names
  columns_.resize(names_.size());
  for (Builder& col : columns_)
    col.numbers.reserve(reserve_ > header_row_ ? reserve_ - header_row_ : 0);
}

void WorksheetReader::store(std::size_t c, std::size_t row, double number, bool date,
                            const std::string* text) {
  Builder& col = columns_[c];
  rows_ = std::max(rows_, row + 1);
  if (text != nullptr && col.kind != Kind::kText) {
    col.texts.resize(col.numbers.size());
    for (std::size_t r = 0; r < col.numbers.size(); ++r)
      if (col.numbers[r] != kMissing)
        col.texts[r] =
            col.all_dates ? format_iso_date(col.numbers[r]) : format_number(col.numbers[r]);
    std::vector<double>().swap(col.numbers);
    col.kind = Kind::kText;
  }
  if (col.kind == Kind::kText) {
    if (col.texts.size() < row) col.texts.resize(row);
    if (text != nullptr)
      col.texts.emplace_back(trim_right(*text));
    else
      col.texts.emplace_back(number == kMissing ? std::string()
                             : date             ? format_iso_date(number)
                                                : format_number(number));
    return;
  }
  if (col.numbers.size() < row) col.numbers.resize(row, kMissing);
  col.numbers.push_back(number);
  if (number == kMissing) return;
  col.kind = Kind::kNumber;
  col.all_dates = col.all_dates && date;
  col.any_date = col.any_date || date;
}

CsvLoad WorksheetReader::finish() {
  CsvLoad load;
  std::vector<Column> columns(columns_.size());
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    Builder& b = columns_[c];
    Column& col = columns[c];
    col.name = names_[c];
    if (b.kind == Kind::kText) {
      col.type = kCharacterType;
      b.texts.resize(rows_);
      col.texts = std::move(b.texts);
    } else {
      col.type = b.kind == Kind::kNumber && b.all_dates && b.any_date ? kDateType : kNumericType;
      b.numbers.resize(rows_, kMissing);
      col.numbers = std::move(b.numbers);
      col.numbers.keep_narrow();  // numbers of few places: 4 bytes a row
    }
    if (b.errors > 0)
      load.warnings.push_back(
          "column " + std::to_string(c + 1) + " \"" + col.name + "\": " + std::to_string(b.errors) +
          " error values read as missing (first in cell " + b.first_error + ")");
  }
  load.sheet = DataSheet::from_columns(std::move(columns));
  return load;
}

}  // namespace

CsvLoad read_xlsx_file(const std::string& path, const std::string& sheet, std::uint64_t max_bytes) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    throw SheetError("cannot open the data file \"" + path + "\"");
  if (!S_ISREG(st.st_mode))
    throw SheetError("cannot read the data file \"" + path + "\": it is no regular file");
  if (max_bytes != 0 && static_cast<std::uint64_t>(st.st_size) > max_bytes)
    throw FileTooLarge("the data file \"" + path + "\" holds " + std::to_string(st.st_size) +
                       " bytes, more than the limit of " + std::to_string(max_bytes));
  try {
    xlsx_detail::Archive archive(path, max_bytes != 0 ? max_bytes * 16 : 0);
    const Workbook book = xlsx_detail::read_workbook(archive);
    if (book.sheets.empty()) throw SheetError("the workbook has no worksheet");
    const Workbook::Sheet* chosen = sheet.empty() ? &book.sheets.front() : nullptr;
    for (const Workbook::Sheet& s : book.sheets)
      if (chosen == nullptr && names_match(s.name, sheet)) chosen = &s;
    if (chosen == nullptr) {
      std::string names;
      for (const Workbook::Sheet& s : book.sheets) names += (names.empty() ? "" : ", ") + s.name;
      throw SheetError("the workbook has no worksheet \"" + sheet + "\" (worksheets: " + names +
                       ")");
    }
    WorksheetReader reader(book);
    archive.read(chosen->part, reader.events());
    CsvLoad load = reader.finish();
    load.separator = 0;
    return load;
  } catch (const SheetError& e) {
    throw SheetError(path + ": " + e.what());
  }
}

}  // namespace qualty
