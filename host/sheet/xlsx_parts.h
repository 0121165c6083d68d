// The parts of an .xlsx archive that the worksheet reader needs, read with
// libzip and expat: the workbook's sheet list, the shared strings and the
// date styles, and a streamed XML reader for any part.
#ifndef QUALTY_HOST_SHEET_XLSX_PARTS_H
#define QUALTY_HOST_SHEET_XLSX_PARTS_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct zip;

namespace qualty::xlsx_detail {

// An XML element's start, end or text, with the name's namespace prefix removed.
struct XmlEvents {
  std::function<void(std::string_view name, const char** attributes)> start;
  std::function<void(std::string_view name)> end;
  std::function<void(std::string_view text)> text;
};

// The value of attribute name (prefix ignored) or nullptr.
const char* attribute(const char** attributes, std::string_view name);

class Archive {
 public:
  // Opens the archive; SheetError for no zip archive, a damaged or encrypted one.
  Archive(const std::string& path, std::uint64_t max_unpacked);
  ~Archive();
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  bool has(const std::string& part) const;
  // Streams a part through expat; SheetError when it is missing (unless
  // optional, then false), encrypted, damaged or no well-formed XML.
  bool read(const std::string& part, const XmlEvents& events, bool optional = false);

 private:
  zip* zip_ = nullptr;
  std::uint64_t max_unpacked_ = 0;
  std::uint64_t unpacked_ = 0;
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
