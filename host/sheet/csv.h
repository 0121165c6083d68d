// CSV files of the data sheet.
//
// Reading: the first row names the columns; each further row holds one value
// per column, separated by commas. Numbers are written with a point; an empty
// cell is missing. A column in which any cell is no number becomes a character
// column, and so does a column with a quoted cell: a quoted cell is text, as
// R's write.csv and pandas' QUOTE_NONNUMERIC write text, so a column of codes
// such as "007" keeps its zeros through a round trip. The texts NaN, inf,
// -inf, NA and #N/A in a numeric column are no observation: they read as
// missing and the load reports them in its warnings (in a character column
// they stay text). Quoted cells may hold commas, doubled quotes and line ends.
// A UTF-8 byte-order mark is skipped; lines end in CR LF, LF or CR; lines may
// be of any length. A row with fewer cells than names is padded with missing
// values. An empty line is a row of missing values, except at the end of a
// file of two or more columns, where it is an editor's leftover and no row (in
// a file of one column it is a missing value, as the writer writes it).
//
// Every malformed file throws SheetError whose message starts with
// "line L, column C:" (both 1-based).
#ifndef QUALTY_HOST_SHEET_CSV_H
#define QUALTY_HOST_SHEET_CSV_H

#include <string>
#include <string_view>
#include <vector>

#include "host/sheet/data_sheet.h"

namespace qualty {

struct CsvLoad {
  DataSheet sheet;
  std::vector<std::string> warnings;  // one line per column that read NaN/inf/NA texts as missing
};

CsvLoad read_csv(std::string_view text);
CsvLoad read_csv_file(const std::string& path);  // SheetError names the file when unreadable

// Writes the sheet in the format that read_csv reads: numbers in their
// shortest round-trip form, missing cells empty, text quoted where a reader
// would otherwise take it for something else. Lines end in LF. Trailing blanks
// of a character cell are padding and are not written; date columns are
// written as their numbers.
std::string write_csv(const DataSheet& sheet);
void write_csv_file(const DataSheet& sheet, const std::string& path);

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_CSV_H
