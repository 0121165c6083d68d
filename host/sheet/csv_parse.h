// The one-pass CSV parser behind read_csv: fed the file in pieces, it reads
// the header, then every complete row straight into typed column arrays.
#ifndef QUALTY_HOST_SHEET_CSV_PARSE_H
#define QUALTY_HOST_SHEET_CSV_PARSE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/sheet/csv.h"
#include "host/sheet/date_text.h"

namespace qualty::csv_detail {

std::string place(std::size_t line, std::size_t column);

// The separator of a file: the one given, else the one of ',', ';' and TAB
// that the header line holds (the most consistent with the next lines when it
// holds several; ',' when none). Throws SheetError when the sample's lines use
// another separator than the header (a separator given is not checked).
char find_separator(std::string_view sample, char given);

class CsvParser {
 public:
  explicit CsvParser(const CsvOptions& options);

  // Rows expected, to size the columns once (0: unknown).
  void expect_rows(std::size_t rows) { expected_rows_ = rows; }

  // Parses the complete rows of [b, e) and returns the bytes consumed; the
  // rest is handed again, with more text after it. With eof everything is
  // consumed. The first call reads the header (and finds the separator).
  // With the decimal comma the parser may rewrite a number's comma as a point
  // in place: the text must be writable (the rest handed again may hold such
  // points, which read as the same numbers).
  std::size_t feed(char* b, char* e, bool eof);

  // Columns that turned to text after numbers: their earlier cells are read
  // again as written by a second parser in collecting mode, fed the same text.
  bool needs_texts() const { return reread_rows_ > 0; }
  void collect_texts_from(CsvParser& first);

  CsvLoad finish();

 private:
  enum class Kind : std::uint8_t { kEmpty, kNumber, kDate, kText };
  enum class Cell : std::uint8_t { kEmpty, kNumber, kNoValue, kDate, kCommaNumber, kText };
  struct Builder {
    std::string name;
    Kind kind = Kind::kEmpty;
    DateForm date_form = DateForm::kNone;
    std::vector<double> numbers;
    std::vector<std::string> texts;
    std::size_t reread_rows = 0;  // rows whose texts were formatted from numbers
    std::size_t no_values = 0;    // NaN, inf, NA texts read as missing
    std::size_t first_no_value_line = 0;
    std::size_t missing_codes = 0;  // cells holding -32768, the missing value itself
    std::size_t first_missing_code_line = 0;
    std::size_t comma_numbers = 0;  // numbers with a decimal comma under the point
    std::size_t first_comma_line = 0;
    std::string first_comma_text;
    bool only_numbers = true;  // no text but comma numbers so far
  };
  enum class Counted : std::uint8_t { kCommaNumber, kNoValue, kMissingCode };
  struct Undo {
    std::size_t column;
    Counted what;
  };
  enum class Got : std::uint8_t { kField, kIncomplete };

  std::size_t read_header(const char* b, const char* e, bool eof);
  Got field_at(const char*& p, const char* e, bool eof, std::string_view& value, bool& quoted,
               std::size_t& line, std::size_t column);
  bool fast_number(const char*& p, const char* e, bool eof, double& v) const;
  Cell classify(std::string_view value, bool quoted, double& v, DateForm& form) const;
  void store(std::size_t c, std::string_view value, bool quoted);
  void to_text(Builder& col);
  void push_missing_row();
  void count_missing_code(std::size_t c);
  void rollback(std::size_t columns);
  void refuse_nul(const char* b, const char* nul) const;
  std::size_t collect(const char* b, const char* e, bool eof);

  CsvOptions options_;
  DatePicture picture_;
  char sep_ = ',';
  bool decimal_comma_ = false;
  bool header_done_ = false;
  bool byte_order_mark_ = false;
  bool collecting_ = false;
  std::vector<Builder> columns_;
  std::size_t rows_ = 0;
  std::size_t pending_empty_ = 0;  // empty lines not yet known to be rows
  std::size_t line_ = 1;           // the line the next row starts on
  std::size_t expected_rows_ = 0;
  std::size_t reread_rows_ = 0;  // collecting: rows to read; first pass: the largest need
  std::vector<Undo> undo_;
  std::string scratch_;
  CsvParser* target_ = nullptr;  // collecting: the parser whose texts are filled
};

}  // namespace qualty::csv_detail

#endif  // QUALTY_HOST_SHEET_CSV_PARSE_H
