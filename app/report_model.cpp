#include "app/report_model.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>

namespace qualty {

using nlohmann::json;

std::string ReportWords::word(int number, const char* fallback) const {
  std::string s = text ? text(number) : std::string();
  return s.empty() ? fallback : s;
}

namespace {

// Cells of a line split at runs of two or more blanks (or a tab).
std::vector<std::string> cells_of(const std::string& line) {
  std::vector<std::string> cells;
  std::string cell;
  size_t i = 0;
  while (i < line.size() && line[i] == ' ') ++i;
  for (; i < line.size(); ++i) {
    const bool gap =
        line[i] == '\t' || (line[i] == ' ' && i + 1 < line.size() && line[i + 1] == ' ');
    if (!gap) {
      cell.push_back(line[i]);
      continue;
    }
    while (i + 1 < line.size() && (line[i + 1] == ' ' || line[i + 1] == '\t')) ++i;
    if (!cell.empty()) cells.push_back(cell);
    cell.clear();
  }
  while (!cell.empty() && cell.back() == ' ') cell.pop_back();
  if (!cell.empty()) cells.push_back(cell);
  return cells;
}

std::string scalar_text(const json& v) {
  if (v.is_string()) return v.get<std::string>();
  if (v.is_null()) return "";
  if (v.is_boolean()) return v.get<bool>() ? "yes" : "no";
  return v.dump(-1, ' ', false, json::error_handler_t::replace);
}

bool is_rule(const std::string& line) {
  const size_t first = line.find_first_not_of(' ');
  return first != std::string::npos && line.find_first_not_of("-= ", first) == std::string::npos &&
         line.size() - first >= 3;
}

}  // namespace

std::vector<TextBlock> text_blocks(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(line);

  std::vector<TextBlock> blocks;
  bool first = true;
  for (size_t i = 0; i < lines.size();) {
    if (lines[i].find_first_not_of(' ') == std::string::npos) {
      ++i;
      continue;
    }
    if (first) {  // the pane's title
      blocks.push_back({TextBlock::heading, lines[i], {}});
      first = false;
      ++i;
      continue;
    }
    if (is_rule(lines[i])) {  // a rule under a heading: the fallback text keeps it
      ++i;
      continue;
    }
    size_t end = i;
    TextBlock t{TextBlock::table, "", {}};
    bool ruled = false;  // a header row underlined by a rule
    while (end < lines.size()) {
      std::vector<std::string> cells = cells_of(lines[end]);
      if (cells.size() >= 2) {
        t.cells.rows.push_back(std::move(cells));
        ++end;
      } else if (t.cells.rows.size() == 1 && !ruled && is_rule(lines[end]) &&
                 end + 1 < lines.size() && cells_of(lines[end + 1]).size() >= 2) {
        ruled = true;
        ++end;
      } else {
        break;
      }
    }
    if (t.cells.rows.size() >= 2) {
      // A header row: underlined, or a line of words over rows that are not.
      t.cells.header = ruled || (t.cells.rows[0].size() >= t.cells.rows[1].size() &&
                                 lines[i].find_first_of("0123456789:") == std::string::npos);
      blocks.push_back(std::move(t));
      i = end;
    } else {
      blocks.push_back({TextBlock::line, lines[i], {}});
      ++i;
    }
  }
  return blocks;
}

ReportTable json_table(const json& value) {
  ReportTable t;
  if (value.is_array() && !value.empty() && value[0].is_object()) {
    std::vector<std::string> keys;
    for (const json& row : value)
      if (row.is_object())
        for (const auto& [k, v] : row.items())
          if (std::find(keys.begin(), keys.end(), k) == keys.end()) keys.push_back(k);
    t.header = true;
    t.rows.push_back(keys);
    for (const json& row : value) {
      std::vector<std::string> cells;
      for (const std::string& k : keys)
        cells.push_back(row.is_object() && row.contains(k) ? scalar_text(row[k]) : "");
      t.rows.push_back(cells);
    }
  } else if (value.is_object()) {
    for (const auto& [k, v] : value.items()) t.rows.push_back({k, scalar_text(v)});
  } else if (value.is_array()) {
    for (const json& row : value) {
      std::vector<std::string> cells;
      if (row.is_array())
        for (const json& v : row) cells.push_back(scalar_text(v));
      else
        cells.push_back(scalar_text(row));
      t.rows.push_back(cells);
    }
  }
  return t;
}

uint32_t crc32_update(uint32_t crc, const unsigned char* p, size_t n) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

bool file_crc32(const std::string& path, uint64_t& bytes, uint32_t& crc) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::array<char, 1 << 16> buf{};
  bytes = 0;
  crc = 0;
  while (in) {
    in.read(buf.data(), buf.size());
    const auto n = static_cast<size_t>(in.gcount());
    crc = crc32_update(crc, reinterpret_cast<const unsigned char*>(buf.data()), n);
    bytes += n;
  }
  return in.eof();
}

std::string format_date_time(const std::string& picture, int year, int month, int day, int hour,
                             int minute) {
  std::string out;
  char buf[16];
  for (size_t i = 0; i < picture.size();) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(picture[i])));
    size_t run = 1;
    while (i + run < picture.size() &&
           std::toupper(static_cast<unsigned char>(picture[i + run])) == c)
      ++run;
    if (c == 'D' || c == 'M') {
      std::snprintf(buf, sizeof buf, run >= 2 ? "%02d" : "%d", c == 'D' ? day : month);
      out += buf;
    } else if (c == 'Y') {
      std::snprintf(buf, sizeof buf, run >= 4 ? "%04d" : "%02d", run >= 4 ? year : year % 100);
      out += buf;
    } else {
      out.append(run, picture[i]);
    }
    i += run;
  }
  std::snprintf(buf, sizeof buf, " %02d:%02d", hour, minute);
  return out + buf;
}

std::string with_number(std::string text, int number) {
  const size_t at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(number));
  return text;
}

std::string regional_number(std::string text, char decimal) {
  for (char& c : text)
    if (c == '.') c = decimal;
  return text;
}

}  // namespace qualty
