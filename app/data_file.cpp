#include "app/data_file.h"

#include <charconv>
#include <stdexcept>

#include "host/sheet/xlsx.h"

namespace qualty {
namespace {

bool ends_with_nocase(const std::string& s, const std::string& tail) {
  if (s.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = s[s.size() - tail.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

char separator_of(const std::string& text) {
  if (text.empty()) return 0;
  if (text == "," || text == "comma") return ',';
  if (text == ";" || text == "semicolon") return ';';
  if (text == "tab" || text == "\t" || text == "\\t") return '\t';
  throw std::invalid_argument("--sep takes ',', ';' or tab, not '" + text + "'");
}

}  // namespace

std::uint64_t parse_size(const std::string& text) {
  std::uint64_t v = 0;
  const char* b = text.data();
  const char* e = b + text.size();
  const auto [ptr, ec] = std::from_chars(b, e, v);
  int shift = 0;
  if (ptr != e && ptr + 1 == e) {
    switch (*ptr) {
      case 'k':
      case 'K':
        shift = 10;
        break;
      case 'm':
      case 'M':
        shift = 20;
        break;
      case 'g':
      case 'G':
        shift = 30;
        break;
      default:
        shift = -1;
    }
  }
  if (ec != std::errc() || ptr == b || shift < 0 || (ptr != e && shift == 0) ||
      v > (UINT64_MAX >> shift))
    throw std::invalid_argument("--max-size takes a number of bytes with K, M or G, not '" + text +
                                "'");
  return v << shift;
}

CsvLoad read_data_file(const std::string& path, const DataFileOptions& o,
                       const IniProfile& profile) {
  CsvOptions csv;
  csv.separator = separator_of(o.separator);
  const std::string decimal =
      o.decimal.empty() ? profile.get_string("Intl", "sDecimal", ".").substr(0, 1) : o.decimal;
  if (decimal != "." && decimal != ",")
    throw std::invalid_argument("--decimal takes '.' or ',', not '" + decimal + "'");
  csv.decimal = decimal[0];
  csv.short_date = profile.get_string("Intl", "sShortdate", "M/D/YY");
  if (csv.short_date.empty()) csv.short_date = "M/D/YY";
  if (!o.max_size.empty()) csv.max_bytes = parse_size(o.max_size);
  const bool workbook = ends_with_nocase(path, ".xlsx") || ends_with_nocase(path, ".xlsm");
  if (!workbook && !o.sheet.empty())
    throw std::invalid_argument("--sheet names a worksheet of an .xlsx workbook, not of " + path);
  try {
    if (workbook) return read_xlsx_file(path, o.sheet, csv.max_bytes);
    return read_csv_file(path, csv);
  } catch (const FileTooLarge& e) {
    throw SheetError(std::string(e.what()) + " (--max-size raises the limit)");
  } catch (const SheetError& e) {
    const std::string m = e.what();
    if (m.find("the file mixes separators") != std::string::npos)
      throw SheetError(m + " (--sep names the separator)");
    if (m.find("read the file with the decimal comma") == std::string::npos) throw;
    throw SheetError(m + " (--decimal , or sDecimal=, in the profile's [Intl])");
  }
}

}  // namespace qualty
