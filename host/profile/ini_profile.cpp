#include "host/profile/ini_profile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "host/files/atomic_file.h"

namespace qualty {

namespace {

std::string folded(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool blank(char c) { return c == ' ' || c == '\t'; }

size_t skip_blanks(const std::string& s, size_t i) {
  while (i < s.size() && blank(s[i])) ++i;
  return i;
}

size_t trim_end(const std::string& s, size_t begin, size_t end) {
  while (end > begin && blank(s[end - 1])) --end;
  return end;
}

}  // namespace

IniProfile::IniProfile(std::string path) : path_(std::move(path)) { load(); }

IniProfile::~IniProfile() { flush(); }

bool IniProfile::flush() {
  if (!dirty_) return true;
  dirty_ = false;
  return save();
}

bool IniProfile::load() {
  dirty_ = false;
  lines_.clear();
  sections_.clear();
  error_.clear();
  whole_ = true;
  if (path_.empty()) return true;
  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;  // no profile yet: an empty one
    error_ = "cannot read the profile " + path_ + ": " + std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    error_ = "the profile " + path_ + " is not a regular file";
  }
  std::ostringstream ss;
  if (error_.empty()) {  // never opened otherwise: opening a FIFO would wait for a writer
    std::ifstream in(path_, std::ios::binary);
    if (!in || (!(ss << in.rdbuf()) && st.st_size > 0)) error_ = "cannot read the profile " + path_;
  }
  if (!error_.empty()) {
    whole_ = false;
    error_ += "; it will not be changed";
    return false;
  }
  return load_text(ss.str());
}

bool IniProfile::load_text(const std::string& text) {
  lines_.clear();
  sections_.clear();
  whole_ = true;
  std::string current;
  bool after_key = false;
  size_t bad_line = 0;
  std::string bad_why;
  size_t number = 0;
  size_t at = 0;
  final_newline_ = text.empty() || text.back() == '\n';
  crlf_ = false;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    ++number;
    const bool cr = !line.empty() && line.back() == '\r';
    if (cr) line.pop_back();
    if (number == 1) crlf_ = cr;
    std::string why;
    if (!add_line(std::move(line), cr, current, after_key, why) && bad_line == 0) {
      bad_line = number;
      bad_why = why;
    }
  }
  if (bad_line != 0) {
    whole_ = false;
    error_ = "the profile " + path_ + " has a malformed line " + std::to_string(bad_line) + " (" +
             bad_why + "); the rest of it is used, and it will not be changed";
    return false;
  }
  return true;
}

bool IniProfile::add_line(std::string text, bool cr, std::string& current, bool& after_key,
                          std::string& why) {
  lines_.push_back({std::move(text), cr, 0, 0, {}});
  const LineRef line = std::prev(lines_.end());
  const std::string& t = line->text;
  const size_t first = skip_blanks(t, 0);
  if (first == t.size() || t[first] == ';' || t[first] == '#') return true;  // blank, comment
  if (t.find('\0') != std::string::npos) {
    why = "a NUL byte";
    return false;
  }
  if (t[first] == '[') {
    const size_t close = t.find(']', first);
    const size_t rest = close == std::string::npos ? t.size() : skip_blanks(t, close + 1);
    if (close == std::string::npos || (rest < t.size() && t[rest] != ';' && t[rest] != '#')) {
      why = "a section header without its closing ']'";
      return false;
    }
    const size_t b = skip_blanks(t, first + 1);
    current = folded(t.substr(b, trim_end(t, b, close) - b));
    Section& s = sections_.try_emplace(current, Section{line, {}}).first->second;
    s.last = line;  // keys are added to the last occurrence of a section
    after_key = false;
    return true;
  }
  if (first > 0 && after_key) {
    why = "an indented continuation line, which is not supported";
    return false;
  }
  const size_t delim = t.find_first_of("=:", first);
  const size_t key_end = delim == std::string::npos ? first : trim_end(t, first, delim);
  if (delim == std::string::npos || key_end == first) {
    why = delim == std::string::npos ? "neither a section, a setting nor a comment" : "no key";
    return false;
  }
  line->value_begin = skip_blanks(t, delim + 1);
  size_t value_end = t.size();
  for (size_t i = line->value_begin; i < t.size(); ++i)
    if (t[i] == ';' && i > line->value_begin && blank(t[i - 1])) {
      value_end = i;  // an inline comment
      break;
    }
  line->value_end = trim_end(t, line->value_begin, value_end);
  line->value = t.substr(line->value_begin, line->value_end - line->value_begin);
  Section& s = sections_.try_emplace(current, Section{line, {}}).first->second;
  s.keys[folded(t.substr(first, key_end - first))] = line;  // the last one holds
  s.last = line;
  after_key = true;
  return true;
}

std::optional<std::string> IniProfile::get(const std::string& section,
                                           const std::string& key) const {
  const auto s = sections_.find(folded(section));
  if (s == sections_.end()) return std::nullopt;
  const auto k = s->second.keys.find(folded(key));
  if (k == s->second.keys.end()) return std::nullopt;
  return k->second->value;
}

std::string IniProfile::get_string(const std::string& section, const std::string& key,
                                   const std::string& fallback) const {
  return get(section, key).value_or(fallback);
}

int32_t IniProfile::get_int(const std::string& section, const std::string& key,
                            int32_t fallback) const {
  const auto v = get(section, key);
  if (!v) return fallback;
  errno = 0;
  char* end = nullptr;
  const long n = std::strtol(v->c_str(), &end, 10);
  if (end == v->c_str() || errno == ERANGE || n < INT32_MIN || n > INT32_MAX) return fallback;
  return static_cast<int32_t>(n);
}

bool IniProfile::set(const std::string& section, const std::string& key, const std::string& value) {
  // A line break would corrupt the file; a delimiter, bracket or comment sign
  // in a name, or a value with surrounding blanks or a comment, would read
  // back as something else.
  const std::string names = section + key;
  const bool bad_value = value.find_first_of("\r\n", 0) != std::string::npos ||
                         (!value.empty() && (blank(value.front()) || blank(value.back()))) ||
                         value.find('\0') != std::string::npos;
  const bool bad_key = key.find_first_of("=:[];#") != std::string::npos || blank(key.front());
  if (section.empty() || key.empty() || bad_value || bad_key ||
      names.find_first_of("\r\n]", 0) != std::string::npos ||
      value.find(" ;") != std::string::npos || value.find("\t;") != std::string::npos) {
    error_ = "a profile setting may not contain a line break or a delimiter";
    return false;
  }
  const std::string folded_section = folded(section);
  auto s = sections_.find(folded_section);
  if (s == sections_.end()) {
    if (!lines_.empty() && !lines_.back().text.empty()) lines_.push_back({"", crlf_, 0, 0, {}});
    lines_.push_back({"[" + section + "]", crlf_, 0, 0, {}});
    s = sections_.emplace(folded_section, Section{std::prev(lines_.end()), {}}).first;
    final_newline_ = true;
  }
  Section& sec = s->second;
  const std::string folded_key = folded(key);
  if (auto k = sec.keys.find(folded_key); k != sec.keys.end()) {
    Line& line = *k->second;  // edited in place: its key, spacing and comment stay
    line.text.replace(line.value_begin, line.value_end - line.value_begin, value);
    line.value_end = line.value_begin + value.size();
    line.value = value;
  } else {
    const std::string text = key + "=" + value;
    const LineRef line =
        lines_.insert(std::next(sec.last), {text, crlf_, key.size() + 1, text.size(), value});
    sec.keys.emplace(folded_key, line);
    sec.last = line;
    if (std::next(line) == lines_.end()) final_newline_ = true;
  }
  if (deferred_) {
    dirty_ = true;
    return true;
  }
  return save();
}

std::string IniProfile::to_text() const {
  std::string out;
  for (auto it = lines_.begin(); it != lines_.end(); ++it) {
    out += it->text;
    if (it->cr) out += '\r';
    if (std::next(it) != lines_.end() || final_newline_) out += '\n';
  }
  return out;
}

bool IniProfile::save() {
  if (path_.empty() || !whole_) return true;  // in memory only; never over a part-read file
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target(resolve_links(path_));
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  std::string why;
  if (!write_file_atomically(path_, to_text(), why)) {
    error_ = "cannot write the profile: " + why;
    return false;
  }
  return true;
}

std::string default_profile_path(const std::string& from_command_line) {
  if (!from_command_line.empty()) return from_command_line;
  if (const char* env = std::getenv("QUALTY_PROFILE"); env != nullptr && *env) return env;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg)
    return std::string(xdg) + "/qualty/qualty.ini";
  if (const char* home = std::getenv("HOME"); home != nullptr && *home)
    return std::string(home) + "/.config/qualty/qualty.ini";
  return "qualty.ini";
}

}  // namespace qualty
