// The string table: every message, label, title and sentence format of the
// module, by number. The table is a UTF-8 text file "qualres.txt" beside the
// module, one entry a line:
//
//   NUMBER<TAB>TEXT
//
// Blank lines and lines starting with '#' are comments. In TEXT, \n, \r, \t
// and \\ stand for newline, carriage return, tab and backslash. A line that is
// not of this form is skipped and counted, never fatal.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ztq {

class StringTable {
 public:
  // Replaces the table with the file's entries. False when the file cannot be
  // read (the table is then empty).
  bool load_file(const std::string& path);
  // Parses the text of a table file; returns the number of entries loaded.
  int load_text(const std::string& text);
  void clear() { texts_.clear(); }

  bool contains(int32_t id) const { return texts_.count(id) != 0; }
  // The text of id, or "" when it is absent.
  const std::string& get(int32_t id) const;
  int size() const { return static_cast<int>(texts_.size()); }
  int skipped_lines() const { return skipped_; }

 private:
  std::map<int32_t, std::string> texts_;
  int skipped_ = 0;
};

}  // namespace ztq
