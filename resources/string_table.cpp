#include "resources/string_table.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace ztq {

namespace {

std::string unescape(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out.push_back(s[i]);
      continue;
    }
    switch (s[++i]) {
      case 'n':
        out.push_back('\n');
        break;
      case 'r':
        out.push_back('\r');
        break;
      case 't':
        out.push_back('\t');
        break;
      default:
        out.push_back(s[i]);  // \\ and any other escaped character stand for themselves
        break;
    }
  }
  return out;
}

}  // namespace

bool StringTable::load_file(const std::string& path) {
  texts_.clear();
  skipped_ = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  load_text(ss.str());
  return true;
}

int StringTable::load_text(const std::string& text) {
  int loaded = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const size_t tab = line.find('\t');
    int32_t id = 0;
    const auto [ptr, ec] =
        std::from_chars(line.data(), line.data() + (tab == line.npos ? 0 : tab), id);
    if (tab == line.npos || ec != std::errc() || ptr != line.data() + tab) {
      ++skipped_;
      continue;
    }
    texts_[id] = unescape(line.substr(tab + 1));
    ++loaded;
  }
  return loaded;
}

const std::string& StringTable::get(int32_t id) const {
  static const std::string empty;
  const auto it = texts_.find(id);
  return it == texts_.end() ? empty : it->second;
}

}  // namespace ztq
