// The data file of a run: a CSV file in its dialect, or a worksheet of an
// Excel workbook (.xlsx), read under the regional settings of the profile.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "host/profile/ini_profile.h"
#include "host/sheet/csv.h"

namespace qualty {

struct DataFileOptions {
  std::string separator;  // --sep: ",", ";", "tab" ("\t"); empty: found from the header
  std::string decimal;    // --decimal: "." or ","; empty: the profile's [Intl] sDecimal
  std::string sheet;      // --sheet: the worksheet of a workbook; empty: the first
  std::string max_size;   // --max-size: bytes, with K, M or G; "0" no limit; empty: 1G
};

// Reads the file; SheetError for an unreadable file, with a hint where a
// flag would help. Bad option values throw std::invalid_argument.
CsvLoad read_data_file(const std::string& path, const DataFileOptions& options,
                       const IniProfile& profile);

// "512", "64K", "100M", "2G" in bytes; throws std::invalid_argument.
std::uint64_t parse_size(const std::string& text);

}  // namespace qualty
