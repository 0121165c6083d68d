// Checks and reports of qualty run that a person can act on: each variable
// expression against the sheet's columns before the module reads it, and the
// module's messages printed once each, under qualty's name.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/sheet/data_sheet.h"
#include "host/ui/ui_service.h"

namespace qualty {

// False with a one-line reason naming the role and the expression, and for an
// unknown column the sheet's columns ("role subgroup: no column 'Sub'
// (columns: Sample, Diameter)").
bool check_variables(const DataSheet& sheet, const std::map<std::string, std::string>& vars,
                     std::string& error);

// The sheet's column names, comma-separated.
std::string column_list(const DataSheet& sheet);

// Prints the message boxes the module showed since the last call, each text
// once, as "qualty: TEXT" (a question with its answer); remembers what it
// printed so that the outcome's error text is not printed twice.
class MessageReport {
 public:
  explicit MessageReport(UiService& ui) : ui_(ui) { ui_.quiet = true; }
  ~MessageReport() { flush(); }
  MessageReport(const MessageReport&) = delete;
  MessageReport& operator=(const MessageReport&) = delete;

  void flush();
  // The procedure's roles in the order of its input form: a message that
  // names "Variable N" then names the role too.
  void set_roles(std::vector<std::string> roles) { roles_ = std::move(roles); }
  // Prints text unless a message box showed it already.
  void error(const std::string& text);

 private:
  UiService& ui_;
  std::map<std::string, int> printed_;
  std::vector<std::string> roles_;
};

}  // namespace qualty
