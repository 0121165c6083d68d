// The parts of an .xlsx archive that the worksheet reader needs: the
// workbook's sheet list, the shared strings and the date styles, and a
// streamed XML reader for any part (the archive plugin's, see xml_archive.h).
#ifndef QUALTY_HOST_SHEET_XLSX_PARTS_H
#define QUALTY_HOST_SHEET_XLSX_PARTS_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/sheet/xml_archive.h"

namespace qualty::xlsx_detail {

// The value of attribute name (prefix ignored) or nullptr.
const char* attribute(const char** attributes, std::string_view name);

class Archive {
 public:
  // Opens the archive; SheetError for no zip archive, a damaged or encrypted
  // one; PluginError when the archive plugin cannot be loaded.
  Archive(const std::string& path, std::uint64_t max_unpacked);

  bool has(const std::string& part) const;
  // Streams a part through expat; SheetError when it is missing (unless
  // optional, then false), encrypted, damaged or no well-formed XML.
  bool read(const std::string& part, const XmlEvents& events, bool optional = false);

 private:
  std::unique_ptr<XmlArchive> archive_;
};

struct Workbook {
  struct Sheet {
    std::string name;
    std::string part;  // "xl/worksheets/sheet1.xml"
  };
  std::vector<Sheet> sheets;
  bool date1904 = false;
  std::vector<std::string> shared_strings;
  std::vector<bool> date_style;  // per cell style index: a date format
};

Workbook read_workbook(Archive& archive);

}  // namespace qualty::xlsx_detail

#endif  // QUALTY_HOST_SHEET_XLSX_PARTS_H
