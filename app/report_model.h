// The report of one or more analyses, as the HTML and PDF writers read it:
// built from what a run already holds (its outcome JSON, its pane texts, its
// kept graphs) so that both writers show the same thing.
#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "host/graph/graph_model.h"

namespace qualty {

// A table of cells; the first row is the header when header is true.
struct ReportTable {
  bool header = false;
  std::vector<std::vector<std::string>> rows;
};

// A pane's text read as blocks: lines of prose and aligned tables.
struct TextBlock {
  enum Kind { heading, line, table } kind = line;
  std::string text;   // heading and line
  ReportTable cells;  // table
};

struct ReportPane {
  int number = 0;
  bool graph = false;
  std::string text;    // a text pane's text, line ends as LF
  std::string svg;     // a graph pane's inline SVG
  Graph drawn;         // a graph pane's graph (for the PDF)
  std::string advice;  // the interpretation, line ends as LF ("" when none)
};

struct ReportAnalysis {
  std::string title;      // the procedure's title
  std::string procedure;  // its name on the command line
  std::string source;     // the analysis file it was reopened from ("" for a run)
  std::string data;       // the data file
  uint64_t data_bytes = 0;
  uint32_t data_crc = 0;
  std::vector<std::pair<std::string, std::string>> variables;  // role, expression
  ReportTable options;                                         // empty when the outcome lists none
  ReportTable violations;                                      // empty when the outcome lists none
  bool has_options = false, has_violations = false;
  std::string error;  // the error message of an error state or a failed reopening
  std::vector<ReportPane> panes;
};

// The words and number conventions of the report, from the resource strings
// and the regional settings.
struct ReportWords {
  char decimal = '.';
  std::string date_picture = "M/D/YY";
  std::function<std::string(int)> text;  // a resource string ("" when absent)
  std::string word(int number, const char* fallback) const;
};

struct Report {
  ReportWords words;
  std::string title;
  std::string created;  // date and time, formatted
  std::string version;
  std::vector<ReportAnalysis> analyses;
};

// Blocks of a pane's text: its first line a heading, runs of two or more lines
// split by two or more blanks into cells read as a table, other lines as prose.
std::vector<TextBlock> text_blocks(const std::string& text);

// A JSON value as a table: an array of objects (one row each, columns the
// union of keys in order of first use), an object (name and value), an array
// of arrays or scalars. Empty for anything else.
ReportTable json_table(const nlohmann::json& value);

// CRC-32 (ISO 3309 / ITU-T V.42 polynomial 0xEDB88320, reflected) of a file's
// bytes; false when the file cannot be read.
bool file_crc32(const std::string& path, uint64_t& bytes, uint32_t& crc);
uint32_t crc32_update(uint32_t crc, const unsigned char* p, size_t n);

// A date and time written with a short-date picture (D, DD, M, MM, YY, YYYY
// and the separators between them), the time as HH:MM.
std::string format_date_time(const std::string& picture, int year, int month, int day, int hour,
                             int minute);

// A resource text with its "%d" replaced by the number.
std::string with_number(std::string text, int number);

// A number's text with its decimal point written as the regional separator.
std::string regional_number(std::string text, char decimal);

}  // namespace qualty
