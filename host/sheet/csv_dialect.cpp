// The separator of a CSV file, found from its header line and checked
// against the lines that follow.
#include <string>
#include <vector>

#include "host/sheet/csv_parse.h"

namespace qualty::csv_detail {
namespace {

// Counts of the candidate separators in one line of the sample, outside quotes.
struct Counts {
  std::size_t comma = 0, semicolon = 0, tab = 0;
  std::size_t of(char s) const { return s == ',' ? comma : s == ';' ? semicolon : tab; }
};

// The counts of the line at p (up to its end outside quotes); p moves past it.
Counts count_line(const char*& p, const char* e) {
  Counts n;
  bool quoted = false;
  for (; p < e; ++p) {
    const char c = *p;
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;
    n.comma += c == ',';
    n.semicolon += c == ';';
    n.tab += c == '\t';
  }
  if (p < e && *p == '\r') ++p;
  if (p < e && *p == '\n') ++p;
  return n;
}

const char* separator_name(char s) { return s == ',' ? "','" : s == ';' ? "';'" : "TAB"; }

}  // namespace

std::string place(std::size_t line, std::size_t column) {
  return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

char find_separator(std::string_view sample, char given) {
  const char* p = sample.data();
  const char* e = p + sample.size();
  const Counts header = count_line(p, e);
  std::vector<Counts> lines;
  for (int i = 0; i < 50 && p < e; ++i) {
    const char* start = p;
    const Counts n = count_line(p, e);
    if (p == e && !sample.empty() && sample.back() != '\n' && sample.back() != '\r' &&
        start != sample.data())
      break;  // a line cut by the end of the sample
    lines.push_back(n);
  }
  char sep = given;
  if (sep == 0) {
    std::size_t best = 0;
    sep = ',';
    for (char s : {',', ';', '\t'}) {
      if (header.of(s) == 0) continue;
      std::size_t agree = 1;  // the header itself
      for (const Counts& n : lines) agree += n.of(s) == header.of(s);
      if (agree > best) best = agree, sep = s;
    }
  }
  // A line without the header's separator that holds as many of another one
  // was written with another separator (unless the separator was given).
  if (given == 0 && header.of(sep) > 0) {
    std::size_t line = 1;
    for (const Counts& n : lines) {
      ++line;
      if (n.of(sep) != 0) continue;
      for (char other : {',', ';', '\t'})
        if (other != sep && n.of(other) == header.of(sep))
          throw SheetError(place(line, 1) + "the line is separated by " + separator_name(other) +
                           ", but the header by " + separator_name(sep) +
                           ": the file mixes separators");
    }
  }
  return sep;
}

}  // namespace qualty::csv_detail
