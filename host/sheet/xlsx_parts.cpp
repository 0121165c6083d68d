#include "host/sheet/xlsx_parts.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "host/plugins/plugin_loader.h"
#include "host/sheet/data_sheet.h"

namespace qualty::xlsx_detail {
namespace {

std::string_view local_name(const char* name) {
  const char* colon = std::strrchr(name, ':');
  return colon != nullptr ? colon + 1 : name;
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

XmlArchiveOpener& xml_archive_opener() {
  return plugin_object<decltype(qualty_xml_archive_opener)>(
      "libqualty_xlsx.so", "qualty_xml_archive_opener", "workbook reader");
}

Archive::Archive(const std::string& path, std::uint64_t max_unpacked) {
  std::string why;
  archive_ = xml_archive_opener().open(path, max_unpacked, why);
  if (!archive_) throw SheetError(why);
}

bool Archive::has(const std::string& part) const { return archive_->has(part); }

bool Archive::read(const std::string& part, const XmlEvents& events, bool optional) {
  if (!has(part)) {
    if (optional) return false;
    throw SheetError("the workbook is damaged: it has no part " + part);
  }
  const std::string why = archive_->read(part, events);
  if (!why.empty()) throw SheetError(why);
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
