#include "app/run_checks.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "host/sheet/expression.h"

namespace qualty {

namespace {

// A bare name: letters, digits, blanks, '_' and '.', which the sheet reads
// as a column name and nothing else.
bool bare_name(const std::string& s) {
  if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != ' ' && c != '_' && c != '.')
      return false;
  return true;
}

std::string one_line(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\r') continue;
    if (c == '\n') {
      if (!out.empty() && out.back() != ' ') out += ' ';
      continue;
    }
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

bool check_expression(const DataSheet& sheet, const std::string& role,
                      const std::string& expression, std::string& error) {
  if (expression.find_first_not_of(" \t") == std::string::npos) return true;  // not given
  if (sheet.match_variable(expression) >= 0) return true;
  try {
    evaluate_expression(sheet, expression, 1);
  } catch (const SheetError& e) {
    std::string trimmed = expression.substr(expression.find_first_not_of(" \t"));
    trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
    if (bare_name(trimmed))
      error =
          "role " + role + ": no column '" + trimmed + "' (columns: " + column_list(sheet) + ")";
    else
      error = "role " + role + ": '" + expression + "': " + e.what() +
              " (columns: " + column_list(sheet) + ")";
    return false;
  }
  return true;
}

}  // namespace

std::string column_list(const DataSheet& sheet) {
  std::string list;
  for (std::size_t c = 0; c < sheet.column_count(); ++c)
    list += (c == 0 ? "" : ", ") + sheet.column(c).name;
  return list.empty() ? "none" : list;
}

bool check_variables(const DataSheet& sheet, const std::map<std::string, std::string>& vars,
                     std::string& error) {
  for (const auto& [role, list] : vars) {
    // A role given several times may hold a list "A;B;C": each is checked.
    for (size_t start = 0; start <= list.size();) {
      const size_t end = std::min(list.find(';', start), list.size());
      const std::string expression = list.substr(start, end - start);
      start = end + 1;
      if (!check_expression(sheet, role, expression, error)) return false;
    }
  }
  return true;
}

namespace {

// "Variable 2 is required ..." -> "Variable 2 (subgroup) is required ...": the
// module counts the variables of its input form; the command line names roles.
std::string with_role(const std::string& text, const std::vector<std::string>& roles) {
  static const std::string kLead = "Variable ";
  if (text.rfind(kLead, 0) != 0) return text;
  size_t end = kLead.size();
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end == kLead.size() || end - kLead.size() > 3 || end >= text.size() || text[end] != ' ')
    return text;
  const size_t position = std::stoul(text.substr(kLead.size(), end - kLead.size()));
  if (position < 1 || position > roles.size()) return text;
  return text.substr(0, end) + " (" + roles[position - 1] + ")" + text.substr(end);
}

}  // namespace

void MessageReport::flush() {
  for (const ShownMessage& m : ui_.messages()) {
    const std::string text = with_role(one_line(m.text), roles_);
    if (text.empty() || printed_[text]++ > 0) continue;
    const char* reply = m.answer == ZTQ_IDYES ? " [Yes]" : (m.answer == ZTQ_IDNO ? " [No]" : "");
    std::fprintf(stderr, "qualty: %s%s\n", text.c_str(), reply);
  }
  ui_.clear_messages();
}

void MessageReport::error(const std::string& text) {
  flush();
  const std::string line = one_line(text);
  if (printed_[line]++ == 0) std::fprintf(stderr, "qualty: %s\n", line.c_str());
}

}  // namespace qualty
