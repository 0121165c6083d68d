// The profile: settings by section and key in an INI file. The file is edited
// in place: a change rewrites only its own line (or adds one to its section),
// and every other line (foreign sections and keys, comments, blank lines, the
// order, CRLF line ends) is written back exactly as it was read. Writes go
// through a temporary file renamed over the profile; a profile that is a
// symbolic link stays one.
//
// Syntax: "[Section]" headers; "key=value" or "key: value" lines (the first
// '=' or ':' delimits; spaces around key and value are not part of them);
// whole-line comments starting with ';' or '#'; an inline comment after a
// value starts with whitespace and ';'. An indented line after a key (a
// continuation line in some INI dialects) is refused, not joined.
//
// Sections and keys match without regard to letter case, as the host's
// settings always have; a repeated key reads as its last occurrence. Both are
// indexed, so loading and each lookup take constant time per key.
//
// A profile that could not be read whole (unreadable, not a regular file, a
// malformed line) is never written back: the settings it could read are used,
// changes are kept in memory for the run, and error() says why once.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <unordered_map>

namespace qualty {

class IniProfile {
 public:
  // An empty path keeps the settings in memory only.
  explicit IniProfile(std::string path = {});
  // The index holds positions in the line list, and the destructor may write
  // the file: a profile is neither copied nor moved.
  IniProfile(const IniProfile&) = delete;
  IniProfile& operator=(const IniProfile&) = delete;

  // Replaces the settings with the file's. A missing file is an empty profile.
  // False when the file could not be read whole (see error()).
  bool load();
  bool load_text(const std::string& text);

  std::optional<std::string> get(const std::string& section, const std::string& key) const;
  std::string get_string(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  // The leading integer of the value (as the host's profile reads integers);
  // the fallback when the key is absent or holds no number.
  int32_t get_int(const std::string& section, const std::string& key, int32_t fallback) const;

  ~IniProfile();

  // Sets a value and saves the file (or, deferred, marks it to be saved by
  // flush()); false (and error()) when the value cannot be stored or the file
  // cannot be written. A profile read only in part takes the value for this
  // run and is not saved.
  bool set(const std::string& section, const std::string& key, const std::string& value);
  // With deferred saving, a run of changes (a procedure remembering its
  // options one key at a time) costs one write of the file, not one per key.
  void set_deferred(bool on) { deferred_ = on; }
  // Saves pending changes; false (and error()) when the file cannot be written.
  // The destructor flushes too, silently.
  bool flush();

  // The file's text as it would be written now.
  std::string to_text() const;
  const std::string& path() const { return path_; }
  const std::string& error() const { return error_; }
  // False when the file could not be read whole; it is then never written.
  bool writable() const { return whole_; }

 private:
  struct Line {
    std::string text;  // as in the file, without its line end
    bool cr = false;   // ended with CR LF
    size_t value_begin = 0;
    size_t value_end = 0;  // the value is text[value_begin, value_end)
    std::string value;
  };
  using LineRef = std::list<Line>::iterator;
  struct Section {
    LineRef last;  // the section's last key line (or its header): where keys are added
    std::unordered_map<std::string, LineRef> keys;
  };

  // One line of the file; false with a reason when it is malformed.
  bool add_line(std::string text, bool cr, std::string& current, bool& after_key, std::string& why);
  bool save();

  std::string path_;
  std::list<Line> lines_;
  std::unordered_map<std::string, Section> sections_;
  bool final_newline_ = true;
  bool crlf_ = false;
  bool whole_ = true;
  bool deferred_ = false;
  bool dirty_ = false;
  std::string error_;
};

// Where the profile lives: --profile, else $QUALTY_PROFILE, else
// $XDG_CONFIG_HOME/qualty/qualty.ini, else ~/.config/qualty/qualty.ini.
std::string default_profile_path(const std::string& from_command_line);

}  // namespace qualty
