// CSV files of the data sheet.
//
// Reading: the first row names the columns; each further row holds one value
// per column, separated by commas, semicolons or tabs (the separator is found
// from the header line unless given). Numbers are written with a point, or
// also with a comma when the decimal separator in force is the comma; an empty
// cell is missing. A column whose cells are all dates (date_text.h) in one
// written form is a date column (type letter 'D'). A column in which any cell is no number becomes
// a character column, and so does a column with a quoted cell: a quoted cell is text, as R's
// write.csv and pandas' QUOTE_NONNUMERIC write text, so a column of codes such as "007" keeps its
// zeros through a round trip. The texts NaN, inf, -inf, NA and #N/A in a numeric column are no
// observation: they read as missing and the load reports them in its warnings (in a character
// column they stay text). Quoted cells may hold commas, doubled quotes and line ends. A UTF-8
// byte-order mark is skipped; lines end in CR LF, LF or CR; lines may be of any length. A row with
// fewer cells than names is padded with missing values. An empty line is a row of missing values,
// except at the end of a file of two or more columns, where it is an editor's leftover and no row
// (in a file of one column it is a missing value, as the writer writes it).
//
// The file is read in one pass, streamed in pieces: each cell goes straight
// into its column's array, and a column turns to text once, when its first
// text cell appears (the numbers before it are read again as written).
//
// Every malformed file throws SheetError whose message starts with
// "line L, column C:" (both 1-based).
#ifndef QUALTY_HOST_SHEET_CSV_H
#define QUALTY_HOST_SHEET_CSV_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/sheet/data_sheet.h"

namespace qualty {

inline constexpr std::uint64_t kDefaultMaxFileBytes = std::uint64_t{1} << 30;  // 1 GiB

struct CsvOptions {
  char separator = 0;                 // ',', ';' or '\t'; 0 finds it from the header line
  char decimal = '.';                 // '.' or ','; a comma is read as the decimal separator too
  std::string short_date = "M/D/YY";  // the regional short-date picture
  std::uint64_t max_bytes = kDefaultMaxFileBytes;  // largest file read; 0 for no limit
};

struct CsvLoad {
  DataSheet sheet;
  std::vector<std::string> warnings;  // one line per column that read NaN/inf/NA texts as missing
  char separator = ',';               // the separator read
};

// A data file larger than the limit of CsvOptions::max_bytes.
class FileTooLarge : public SheetError {
 public:
  using SheetError::SheetError;
};

CsvLoad read_csv(std::string_view text, const CsvOptions& options = {});
// Streams a regular file; SheetError names the file when it is unreadable, is
// no regular file (a device, a pipe, a folder), or exceeds the size limit.
CsvLoad read_csv_file(const std::string& path, const CsvOptions& options = {});

// Writes the sheet in the format that read_csv reads: numbers in their
// shortest round-trip form, missing cells empty, text quoted where a reader
// would otherwise take it for something else. Lines end in LF. Trailing blanks
// of a character cell are padding and are not written; date columns are
// written in ISO form ("2024-03-31") when every value reads back exactly, else
// as their numbers. A sheet read from a file with a byte-order mark is written
// with one.
std::string write_csv(const DataSheet& sheet);
void write_csv_file(const DataSheet& sheet, const std::string& path);

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_CSV_H
