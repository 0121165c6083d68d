// The profile: settings by section and key in an INI file, read with inih and
// written back whole (to a temporary file, then renamed) after every change.
// Sections and keys match without regard to letter case, as the host's
// settings always have; their first spelling is kept when the file is written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qualty {

class IniProfile {
 public:
  // An empty path keeps the settings in memory only.
  explicit IniProfile(std::string path = {});

  // Replaces the settings with the file's. A missing file is an empty profile;
  // an unreadable or malformed one leaves the profile empty and sets error().
  bool load();
  bool load_text(const std::string& text);

  std::optional<std::string> get(const std::string& section, const std::string& key) const;
  std::string get_string(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  // The leading integer of the value (as the host's profile reads integers);
  // the fallback when the key is absent or holds no number.
  int32_t get_int(const std::string& section, const std::string& key, int32_t fallback) const;

  // Sets a value and saves the file; false (and error()) when it cannot be written.
  bool set(const std::string& section, const std::string& key, const std::string& value);

  std::string to_text() const;
  const std::string& path() const { return path_; }
  const std::string& error() const { return error_; }

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  Section* find_section(const std::string& name);
  const Section* find_section(const std::string& name) const;
  bool save();

  std::string path_;
  std::vector<Section> sections_;
  std::string error_;
};

// Where the profile lives: --profile, else $QUALTY_PROFILE, else
// $XDG_CONFIG_HOME/qualty/qualty.ini, else ~/.config/qualty/qualty.ini.
std::string default_profile_path(const std::string& from_command_line);

}  // namespace qualty
