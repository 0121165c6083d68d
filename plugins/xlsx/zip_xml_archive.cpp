// The workbook reader's plugin: zip archives through libzip, their XML parts
// streamed through expat, behind host/sheet/xml_archive.h.
#include <expat.h>
#include <zip.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <vector>

#include "host/sheet/xml_archive.h"

namespace qualty::xlsx_detail {
namespace {

std::string_view local_name(const char* name) {
  const char* colon = std::strrchr(name, ':');
  return colon != nullptr ? colon + 1 : name;
}

// expat calls back through C: an exception is kept and the parse stopped.
struct Handler {
  const XmlEvents* events;
  XML_Parser parser;
  std::exception_ptr failure;

  template <class F>
  void guarded(F&& f) {
    if (failure) return;
    try {
      f();
    } catch (...) {
      failure = std::current_exception();
      XML_StopParser(parser, XML_FALSE);
    }
  }
};

void on_start(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto* h = static_cast<Handler*>(data);
  if (h->events->start) h->guarded([&] { h->events->start(local_name(name), attributes); });
}

void on_end(void* data, const XML_Char* name) {
  auto* h = static_cast<Handler*>(data);
  if (h->events->end) h->guarded([&] { h->events->end(local_name(name)); });
}

void on_text(void* data, const XML_Char* s, int len) {
  auto* h = static_cast<Handler*>(data);
  if (h->events->text)
    h->guarded([&] { h->events->text(std::string_view(s, static_cast<std::size_t>(len))); });
}

bool encryption_error(int code) {
  return code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP;
}

class ZipXmlArchive final : public XmlArchive {
 public:
  ZipXmlArchive(zip* archive, std::uint64_t max_unpacked)
      : zip_(archive), max_unpacked_(max_unpacked) {}
  ~ZipXmlArchive() override { zip_discard(zip_); }
  ZipXmlArchive(const ZipXmlArchive&) = delete;
  ZipXmlArchive& operator=(const ZipXmlArchive&) = delete;

  bool has(const std::string& part) const override {
    return zip_name_locate(zip_, part.c_str(), 0) >= 0;
  }
  std::string read(const std::string& part, const XmlEvents& events) override;

 private:
  zip* zip_;
  std::uint64_t max_unpacked_ = 0;
  std::uint64_t unpacked_ = 0;
};

std::string ZipXmlArchive::read(const std::string& part, const XmlEvents& events) {
  const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen(zip_, part.c_str(), 0),
                                                               &zip_fclose);
  if (!file) {
    const int code = zip_error_code_zip(zip_get_error(zip_));
    if (encryption_error(code))
      return "the workbook is password-protected (encrypted): save it without a password";
    return "the workbook is damaged: " + part + ": " + zip_error_strerror(zip_get_error(zip_));
  }
  const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate(nullptr),
                                                                       &XML_ParserFree);
  if (!parser) throw std::bad_alloc();
  Handler handler{&events, parser.get(), nullptr};
  XML_SetUserData(parser.get(), &handler);
  XML_SetElementHandler(parser.get(), &on_start, &on_end);
  XML_SetCharacterDataHandler(parser.get(), &on_text);
  std::vector<char> buffer(1 << 18);
  for (;;) {
    const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
    if (got < 0) {
      const int code = zip_error_code_zip(zip_file_get_error(file.get()));
      if (encryption_error(code)) return "the workbook is password-protected (encrypted)";
      return "the workbook is damaged: " + part + ": " + zip_file_strerror(file.get());
    }
    unpacked_ += static_cast<std::uint64_t>(got);
    if (max_unpacked_ != 0 && unpacked_ > max_unpacked_)
      return "the workbook unpacks to more than " + std::to_string(max_unpacked_) + " bytes of XML";
    const bool last = got == 0;
    if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(got), last) == XML_STATUS_ERROR) {
      if (handler.failure) std::rethrow_exception(handler.failure);
      return "the workbook is damaged: " + part + ", line " +
             std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": " +
             XML_ErrorString(XML_GetErrorCode(parser.get()));
    }
    if (last) break;
  }
  if (handler.failure) std::rethrow_exception(handler.failure);
  return {};
}

// Why zip_open refused the file, in the words a user can act on.
std::string open_failure(const std::string& path, int code) {
  if (code == ZIP_ER_NOZIP) {
    // An encrypted workbook is an OLE compound file, as the old .xls format is.
    unsigned char magic[8] = {};
    if (std::FILE* f = std::fopen(path.c_str(), "rb"); f != nullptr) {
      const std::size_t got = std::fread(magic, 1, sizeof magic, f);
      std::fclose(f);
      static const unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
      if (got == sizeof magic && std::memcmp(magic, kCompound, sizeof magic) == 0)
        return "the workbook is password-protected (encrypted) or in the old .xls format: save "
               "it without a password as .xlsx";
    }
    return "the file is no .xlsx workbook: it is no zip archive";
  }
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  const std::string why = zip_error_strerror(&error);
  zip_error_fini(&error);
  if (code == ZIP_ER_OPEN || code == ZIP_ER_READ) return "cannot read it: " + why;
  return "the workbook is damaged: " + why;
}

class ZipOpener final : public XmlArchiveOpener {
 public:
  std::unique_ptr<XmlArchive> open(const std::string& path, std::uint64_t max_unpacked,
                                   std::string& why) override {
    int code = 0;
    zip* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (archive == nullptr) {
      why = open_failure(path, code);
      return nullptr;
    }
    try {
      return std::make_unique<ZipXmlArchive>(archive, max_unpacked);
    } catch (...) {
      zip_discard(archive);
      throw;
    }
  }
};

}  // namespace
}  // namespace qualty::xlsx_detail

extern "C" __attribute__((visibility("default"))) qualty::xlsx_detail::XmlArchiveOpener*
qualty_xml_archive_opener() {
  static qualty::xlsx_detail::ZipOpener opener;
  return &opener;
}
