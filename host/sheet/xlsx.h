// Excel workbooks (.xlsx, Office Open XML spreadsheets): one worksheet read
// into a data sheet. The archive and its XML are read by a plugin (libzip
// and expat, see xml_archive.h); what is our own is the mapping of shared
// strings, styles and cells to columns.
//
// The worksheet's first row names the columns (as a CSV file's header does);
// each further row holds one observation. Numbers, texts (shared or inline),
// booleans (1 and 0) and the saved results of formulas are read; a column
// whose values all carry a date format is a date column (type 'D', day values
// as date_text.h counts them, from the 1900 or the 1904 date system); a
// column holding any text is a character column; error values (#N/A, #DIV/0!)
// are missing and reported in the warnings. Rows the worksheet leaves out
// are rows of missing values.
//
// Refused with SheetError naming the file: no zip archive or a damaged one,
// a password-protected workbook, a worksheet name that does not exist (the
// message lists the names), a formula without a saved result, a cell beyond
// the named columns.
#ifndef QUALTY_HOST_SHEET_XLSX_H
#define QUALTY_HOST_SHEET_XLSX_H

#include <cstdint>
#include <string>

#include "host/sheet/csv.h"

namespace qualty {

// Reads the worksheet named sheet (letter case ignored), or the first one when
// sheet is empty. max_bytes bounds the file, and sixteen times it the XML
// unpacked from it (0: no limit).
CsvLoad read_xlsx_file(const std::string& path, const std::string& sheet,
                       std::uint64_t max_bytes = kDefaultMaxFileBytes);

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_XLSX_H
