// A zip archive of XML parts, read by the plugin libqualty_xlsx.so (libzip
// for the archive, expat for the XML) so that only a run that reads a
// workbook maps those libraries. Failures come back as one-line reasons; an
// exception thrown by an event handler passes through unchanged.
#ifndef QUALTY_HOST_SHEET_XML_ARCHIVE_H
#define QUALTY_HOST_SHEET_XML_ARCHIVE_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace qualty::xlsx_detail {

// An XML element's start, end or text, with the name's namespace prefix removed.
struct XmlEvents {
  std::function<void(std::string_view name, const char** attributes)> start;
  std::function<void(std::string_view name)> end;
  std::function<void(std::string_view text)> text;
};

class XmlArchive {
 public:
  virtual ~XmlArchive() = default;
  virtual bool has(const std::string& part) const = 0;
  // Streams a part that exists through the XML parser; empty when it was
  // read, else why not (encrypted, damaged, no well-formed XML, more than
  // the archive's limit of unpacked bytes in all).
  virtual std::string read(const std::string& part, const XmlEvents& events) = 0;
};

class XmlArchiveOpener {
 public:
  // The archive, or nullptr with why it cannot be read (no zip archive, a
  // damaged or encrypted one). max_unpacked bounds the XML unpacked from it
  // over all reads (0: no limit).
  virtual std::unique_ptr<XmlArchive> open(const std::string& path, std::uint64_t max_unpacked,
                                           std::string& why) = 0;

 protected:
  ~XmlArchiveOpener() = default;  // the plugin's, for the life of the process
};

// The plugin's opener, loaded on the first call; PluginError when it cannot
// be loaded.
XmlArchiveOpener& xml_archive_opener();

}  // namespace qualty::xlsx_detail

// The plugin's one export.
extern "C" qualty::xlsx_detail::XmlArchiveOpener* qualty_xml_archive_opener();

#endif  // QUALTY_HOST_SHEET_XML_ARCHIVE_H
