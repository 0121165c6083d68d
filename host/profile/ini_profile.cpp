#include "host/profile/ini_profile.h"

#include <ini.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace qualty {

namespace {

bool same_name(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace

IniProfile::IniProfile(std::string path) : path_(std::move(path)) { load(); }

IniProfile::Section* IniProfile::find_section(const std::string& name) {
  for (Section& s : sections_)
    if (same_name(s.name, name)) return &s;
  return nullptr;
}

const IniProfile::Section* IniProfile::find_section(const std::string& name) const {
  for (const Section& s : sections_)
    if (same_name(s.name, name)) return &s;
  return nullptr;
}

bool IniProfile::load() {
  sections_.clear();
  error_.clear();
  if (path_.empty()) return true;
  std::ifstream in(path_, std::ios::binary);
  if (!in) {
    if (errno != ENOENT) error_ = "cannot read the profile " + path_ + ": " + std::strerror(errno);
    return errno == ENOENT;
  }
  std::ostringstream ss;
  ss << in.rdbuf();
  return load_text(ss.str());
}

bool IniProfile::load_text(const std::string& text) {
  sections_.clear();
  auto handler = [](void* user, const char* section, const char* name, const char* value) -> int {
    auto* self = static_cast<IniProfile*>(user);
    Section* s = self->find_section(section);
    if (s == nullptr) {
      self->sections_.push_back({section, {}});
      s = &self->sections_.back();
    }
    if (name == nullptr) return 1;  // a section with no keys yet
    for (Entry& e : s->entries)
      if (same_name(e.key, name)) {
        e.value = value;  // a repeated key: the last one holds, as the host reads it
        return 1;
      }
    s->entries.push_back({name, value});
    return 1;
  };
  const int line = ini_parse_string(text.c_str(), handler, this);
  if (line != 0) {
    error_ = "the profile " + path_ + " is malformed at line " + std::to_string(line) +
             "; its settings are ignored";
    sections_.clear();
    return false;
  }
  return true;
}

std::optional<std::string> IniProfile::get(const std::string& section,
                                           const std::string& key) const {
  const Section* s = find_section(section);
  if (s == nullptr) return std::nullopt;
  for (const Entry& e : s->entries)
    if (same_name(e.key, key)) return e.value;
  return std::nullopt;
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
  // A value or name with a line break would corrupt the file: refuse it.
  if ((section + key + value).find_first_of("\r\n") != std::string::npos || section.empty() ||
      key.empty()) {
    error_ = "a profile setting may not contain a line break";
    return false;
  }
  Section* s = find_section(section);
  if (s == nullptr) {
    sections_.push_back({section, {}});
    s = &sections_.back();
  }
  bool found = false;
  for (Entry& e : s->entries)
    if (same_name(e.key, key)) {
      e.value = value;
      found = true;
    }
  if (!found) s->entries.push_back({key, value});
  return save();
}

std::string IniProfile::to_text() const {
  std::string out;
  for (const Section& s : sections_) {
    out += "[" + s.name + "]\n";
    for (const Entry& e : s.entries) out += e.key + "=" + e.value + "\n";
    out += "\n";
  }
  return out;
}

bool IniProfile::save() {
  if (path_.empty()) return true;
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path target(path_);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  const std::string temp = path_ + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << to_text();
    if (!out) {
      error_ = "cannot write the profile " + path_;
      return false;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    error_ = "cannot write the profile " + path_ + ": " + ec.message();
    fs::remove(temp, ec);
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
