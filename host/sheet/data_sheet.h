// The stand-in data sheet: named columns of numbers or fixed-width text.
//
// A numeric column holds doubles with kMissing for a missing observation; a
// date-typed column holds doubles too and differs only in its type letter. A
// character column holds text of a fixed width: each cell reads as exactly
// `width` characters, space padded; an all-blank cell is the missing text.
// Columns may differ in length; the sheet's row count is that of its longest
// column, and a cell beyond a column's length reads as missing (or blank).
// Rows and columns are 0-based here; the component's C table converts.
#ifndef QUALTY_HOST_SHEET_DATA_SHEET_H
#define QUALTY_HOST_SHEET_DATA_SHEET_H

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/sheet/number_column.h"
#include "host/sheet/number_text.h"

namespace qualty {

// Every failure of the data sheet, its CSV files and its expressions: the
// message names the place (line and column, or character position).
class SheetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr char kNumericType = 'N';
inline constexpr char kCharacterType = 'C';
inline constexpr char kDateType = 'D';                // day values (date_text.h)
inline constexpr std::size_t kMaxRows = 100'000'000;  // bounds every allocation by a row number
inline constexpr int kMaxWidth = 1 << 24;             // widest character column accepted
inline constexpr std::size_t kMaxNameLength = 32;     // a name fills a 33-byte slot with its NUL

struct Column {
  std::string name;
  char type = kNumericType;  // 'N', 'C', or another letter A-Z for a date type
  int width = 1;             // characters per cell of a character column; 1 otherwise
  std::string comment;
  NumberColumn numbers;            // numeric and date columns
  std::vector<std::string> texts;  // character columns, trailing blanks removed

  bool is_text() const { return type == kCharacterType; }
  std::size_t size() const { return is_text() ? texts.size() : numbers.size(); }
};

// True when type is a letter A-Z (N numeric, C character, any other a date type).
bool is_type_letter(int type);

// Name comparison of the data sheet: letters A to Z without case; with
// ignore_blanks, blanks in either text are skipped.
bool names_match(std::string_view a, std::string_view b, bool ignore_blanks = false);

class DataSheet {
 public:
  DataSheet() = default;

  // Builds a sheet from whole columns; throws SheetError for an empty name, a
  // name longer than 32 characters, or two names that match without case and blanks.
  static DataSheet from_columns(std::vector<Column> columns);

  std::size_t column_count() const { return columns_.size(); }
  std::size_t row_count() const;  // length of the longest column
  const Column& column(std::size_t c) const { return columns_.at(c); }

  // Index of the column whose name equals name without case (A-Z), or -1.
  int find(std::string_view name) const;

  // The column that a variable expression names: the text with blanks around
  // it and one pair of enclosing parentheses removed, compared with each name
  // with blanks removed on both sides (so "Part No", "PartNo" and "( partno )"
  // name the column "Part No"), letters A to Z without case. -1 when none.
  int match_variable(std::string_view expression) const;

  // Appends a column (its cells as given); throws SheetError for an empty, too
  // long or duplicate name or a bad type letter. Returns the new 0-based index.
  std::size_t add_column(Column column);
  std::size_t create_column(std::string name, char type, int width);

  // Retypes a column; numbers become their shortest text and texts their
  // number (missing when a text is no number). Width applies to character columns.
  void define_column(std::size_t c, char type, int width);
  void clear_column(std::size_t c);                      // the column becomes empty (length 0)
  void extend_rows(std::size_t rows);                    // pads every column to at least rows
  void prepare_column(std::size_t c, std::size_t rows);  // pads the column to at least rows
  void set_comment(std::size_t c, std::string comment);

  // The file the sheet came from began with a UTF-8 byte-order mark; the CSV
  // writer writes one again, so that a round trip keeps the file's first bytes.
  bool byte_order_mark() const { return byte_order_mark_; }
  void set_byte_order_mark(bool mark) { byte_order_mark_ = mark; }

  // Writes a cell from text, growing the column as needed. Numeric text is
  // read with classify_number; empty text, "-32768" and NaN/inf texts store the
  // missing value. Returns false (and stores missing) for text that is no
  // number in a numeric column. A text longer than a character column's width
  // widens the column rather than losing characters.
  bool write_cell(std::size_t c, std::size_t row, std::string_view text);
  void set_number(std::size_t c, std::size_t row, double value);

  // A numeric cell, kMissing beyond the column's length or for a character column.
  double number(std::size_t c, std::size_t row) const;
  // A character cell without its padding ("" beyond the column's length).
  std::string_view text(std::size_t c, std::size_t row) const;

 private:
  Column& at(std::size_t c);
  void check_new_name(std::string_view name) const;
  std::vector<Column> columns_;
  bool byte_order_mark_ = false;
};

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_DATA_SHEET_H
