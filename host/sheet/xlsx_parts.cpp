#include "host/sheet/xlsx_parts.h"

#include <expat.h>
#include <zip.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "host/sheet/data_sheet.h"

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

// The built-in number formats that show dates (ECMA-376 part 1, 18.8.30:
// 14-17 and 22; 27-36 and 50-58 are the East Asian date formats).
bool builtin_date_format(long id) {
  return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
}

// A format code shows a date when it has a day or year part outside quoted
// text, bracketed colours and locales, and escaped characters.
bool date_format_code(std::string_view code) {
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"') {
      const std::size_t close = code.find('"', i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (c == '[') {
      const std::size_t close = code.find(']', i + 1);
      if (close == std::string_view::npos) return false;
      i = close;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;  // the next character is shown as it is (or its width)
    } else if (c == 'd' || c == 'D' || c == 'y' || c == 'Y') {
      return true;
    }
  }
  return false;
}

std::string part_of_target(const std::string& target) {
  if (!target.empty() && target.front() == '/') return target.substr(1);
  return "xl/" + target;
}

}  // namespace

const char* attribute(const char** attributes, std::string_view name) {
  for (const char** a = attributes; a != nullptr && *a != nullptr; a += 2)
    if (local_name(a[0]) == name) return a[1];
  return nullptr;
}

Archive::Archive(const std::string& path, std::uint64_t max_unpacked)
    : max_unpacked_(max_unpacked) {
  int code = 0;
  zip_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (zip_ != nullptr) return;
  if (code == ZIP_ER_NOZIP) {
    // An encrypted workbook is an OLE compound file, as the old .xls format is.
    unsigned char magic[8] = {};
    if (std::FILE* f = std::fopen(path.c_str(), "rb"); f != nullptr) {
      const std::size_t got = std::fread(magic, 1, sizeof magic, f);
      std::fclose(f);
      static const unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
      if (got == sizeof magic && std::memcmp(magic, kCompound, sizeof magic) == 0)
        throw SheetError(
            "the workbook is password-protected (encrypted) or in the old .xls format: save it "
            "without a password as .xlsx");
    }
    throw SheetError("the file is no .xlsx workbook: it is no zip archive");
  }
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  const std::string why = zip_error_strerror(&error);
  zip_error_fini(&error);
  if (code == ZIP_ER_OPEN || code == ZIP_ER_READ) throw SheetError("cannot read it: " + why);
  throw SheetError("the workbook is damaged: " + why);
}

Archive::~Archive() {
  if (zip_ != nullptr) zip_discard(zip_);
}

bool Archive::has(const std::string& part) const {
  return zip_name_locate(zip_, part.c_str(), 0) >= 0;
}

bool Archive::read(const std::string& part, const XmlEvents& events, bool optional) {
  if (!has(part)) {
    if (optional) return false;
    throw SheetError("the workbook is damaged: it has no part " + part);
  }
  const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen(zip_, part.c_str(), 0),
                                                               &zip_fclose);
  if (!file) {
    const int code = zip_error_code_zip(zip_get_error(zip_));
    if (encryption_error(code))
      throw SheetError(
          "the workbook is password-protected (encrypted): save it without a password");
    throw SheetError("the workbook is damaged: " + part + ": " +
                     zip_error_strerror(zip_get_error(zip_)));
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
      if (encryption_error(code))
        throw SheetError("the workbook is password-protected (encrypted)");
      throw SheetError("the workbook is damaged: " + part + ": " + zip_file_strerror(file.get()));
    }
    unpacked_ += static_cast<std::uint64_t>(got);
    if (max_unpacked_ != 0 && unpacked_ > max_unpacked_)
      throw SheetError("the workbook unpacks to more than " + std::to_string(max_unpacked_) +
                       " bytes of XML");
    const bool last = got == 0;
    if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(got), last) == XML_STATUS_ERROR) {
      if (handler.failure) std::rethrow_exception(handler.failure);
      throw SheetError("the workbook is damaged: " + part + ", line " +
                       std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": " +
                       XML_ErrorString(XML_GetErrorCode(parser.get())));
    }
    if (last) break;
  }
  if (handler.failure) std::rethrow_exception(handler.failure);
  return true;
}

Workbook read_workbook(Archive& archive) {
  Workbook book;
  std::vector<std::pair<std::string, std::string>> sheet_ids;  // name, relationship id
  XmlEvents workbook;
  workbook.start = [&](std::string_view name, const char** a) {
    if (name == "sheet") {
      const char* sheet_name = attribute(a, "name");
      const char* id = attribute(a, "id");
      sheet_ids.emplace_back(sheet_name ? sheet_name : "", id ? id : "");
    } else if (name == "workbookPr") {
      const char* d = attribute(a, "date1904");
      book.date1904 = d != nullptr && (std::strcmp(d, "1") == 0 || std::strcmp(d, "true") == 0);
    }
  };
  archive.read("xl/workbook.xml", workbook);

  std::unordered_map<std::string, std::string> targets;
  XmlEvents rels;
  rels.start = [&](std::string_view name, const char** a) {
    const char* id = attribute(a, "Id");
    const char* target = attribute(a, "Target");
    if (name == "Relationship" && id != nullptr && target != nullptr) targets[id] = target;
  };
  archive.read("xl/_rels/workbook.xml.rels", rels);
  for (const auto& [name, id] : sheet_ids) {
    const auto it = targets.find(id);
    if (it != targets.end()) book.sheets.push_back({name, part_of_target(it->second)});
  }

  // Shared strings: the texts of each <si>, runs joined, phonetic hints left out.
  XmlEvents strings;
  bool in_text = false;
  int phonetic = 0;
  strings.start = [&](std::string_view name, const char**) {
    if (name == "si") book.shared_strings.emplace_back();
    if (name == "rPh") ++phonetic;
    if (name == "t") in_text = phonetic == 0 && !book.shared_strings.empty();
  };
  strings.end = [&](std::string_view name) {
    if (name == "t") in_text = false;
    if (name == "rPh") --phonetic;
  };
  strings.text = [&](std::string_view t) {
    if (in_text) book.shared_strings.back().append(t);
  };
  archive.read("xl/sharedStrings.xml", strings, true);

  std::unordered_set<long> custom_dates;
  bool in_cell_formats = false;
  XmlEvents styles;
  styles.start = [&](std::string_view name, const char** a) {
    const char* id = attribute(a, "numFmtId");
    if (name == "numFmt" && id != nullptr) {
      const char* code = attribute(a, "formatCode");
      if (code != nullptr && date_format_code(code)) custom_dates.insert(std::atol(id));
    } else if (name == "cellXfs") {
      in_cell_formats = true;
    } else if (name == "xf" && in_cell_formats) {
      const long n = id != nullptr ? std::atol(id) : 0;
      book.date_style.push_back(builtin_date_format(n) || custom_dates.count(n) > 0);
    }
  };
  styles.end = [&](std::string_view name) {
    if (name == "cellXfs") in_cell_formats = false;
  };
  archive.read("xl/styles.xml", styles, true);
  return book;
}

}  // namespace qualty::xlsx_detail
