// Writes small .xlsx workbooks for tests with libzip: the parts a spreadsheet
// program writes, with the cells given as worksheet XML.
#pragma once

#include <zip.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace qualty::testing {

struct XlsxSheet {
  std::string name;
  std::string rows;  // the <row> elements of <sheetData>
};

// Styles: index 0 general, 1 the built-in short date (14), 2 "dd.mm.yyyy"
// (custom 164), 3 a time of day "h:mm" (built-in 20), 4 a number "0.00" (2).
inline const char* kXlsxStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"dd\\.mm\\.yyyy\"/></numFmts>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"5\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\" applyNumberFormat=\"1\"/>"
    "<xf numFmtId=\"164\" applyNumberFormat=\"1\"/><xf numFmtId=\"20\"/><xf numFmtId=\"2\"/>"
    "</cellXfs></styleSheet>";

inline void write_xlsx(const std::string& path, const std::vector<XlsxSheet>& sheets,
                       const std::vector<std::string>& shared = {}, bool date1904 = false) {
  const std::string ns = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
  const std::string rns =
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
  std::vector<std::pair<std::string, std::string>> parts;
  std::string types =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><Types "
      "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default "
      "Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
  parts.emplace_back("[Content_Types].xml", types);
  parts.emplace_back("_rels/.rels",
                     "<Relationships><Relationship Id=\"rId1\" Target=\"xl/workbook.xml\" "
                     "Type=\"officeDocument\"/></Relationships>");
  std::string book = "<?xml version=\"1.0\"?><workbook " + ns + " " + rns + ">";
  if (date1904) book += "<workbookPr date1904=\"1\"/>";
  book += "<sheets>";
  std::string rels = "<Relationships>";
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    book += "<sheet name=\"" + sheets[i].name + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
    rels += "<Relationship Id=\"rId" + n + "\" Target=\"worksheets/sheet" + n + ".xml\"/>";
    parts.emplace_back("xl/worksheets/sheet" + n + ".xml",
                       "<?xml version=\"1.0\"?><worksheet " + ns + " " + rns + "><sheetData>" +
                           sheets[i].rows + "</sheetData></worksheet>");
  }
  parts.emplace_back("xl/workbook.xml", book + "</sheets></workbook>");
  parts.emplace_back("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
  std::string sst = "<sst " + ns + ">";
  for (const std::string& s : shared) sst += "<si><t>" + s + "</t></si>";
  parts.emplace_back("xl/sharedStrings.xml", sst + "</sst>");
  parts.emplace_back("xl/styles.xml", kXlsxStyles);

  int error = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (z == nullptr) throw std::runtime_error("cannot create " + path);
  for (const auto& [name, text] : parts) {
    zip_source_t* src = zip_source_buffer(z, text.data(), text.size(), 0);
    if (src == nullptr || zip_file_add(z, name.c_str(), src, ZIP_FL_OVERWRITE) < 0) {
      zip_source_free(src);
      zip_discard(z);
      throw std::runtime_error("cannot add " + name);
    }
  }
  if (zip_close(z) != 0) throw std::runtime_error("cannot write " + path);
}

// A cell: <c r="B2" [t=".."] [s=".."]>inner</c>.
inline std::string xcell(const std::string& ref, const std::string& inner,
                         const std::string& type = "", int style = 0) {
  std::string c = "<c r=\"" + ref + "\"";
  if (!type.empty()) c += " t=\"" + type + "\"";
  if (style != 0) c += " s=\"" + std::to_string(style) + "\"";
  return c + ">" + inner + "</c>";
}

inline std::string xrow(int r, const std::string& cells) {
  return "<row r=\"" + std::to_string(r) + "\">" + cells + "</row>";
}

}  // namespace qualty::testing
