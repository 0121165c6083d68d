#include "app/guards.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "host/files/atomic_file.h"
#include "host/sheet/expression.h"

namespace qualty {

std::string user_text(std::string_view text) {
  constexpr size_t kShown = 80;
  if (text.size() <= kShown) return "'" + std::string(text) + "'";
  // Cut on a character boundary: step back over UTF-8 continuation bytes.
  size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return "'" + std::string(text.substr(0, cut)) + "...'";
}

std::string cut_quoted_texts(std::string_view message) {
  std::string out;
  size_t i = 0;
  while (i < message.size()) {
    const size_t open = message.find_first_of("'\"", i);
    if (open == std::string_view::npos) break;
    const size_t close = message.find(message[open], open + 1);
    if (close == std::string_view::npos) break;
    out.append(message.substr(i, open - i));
    std::string text = user_text(message.substr(open + 1, close - open - 1));
    if (message[open] == '"') text.front() = text.back() = '"';
    out += text;
    i = close + 1;
  }
  out.append(message.substr(std::min(i, message.size())));
  return out;
}

std::string cut_long_words(std::string_view message) {
  std::string out;
  size_t i = 0;
  while (i < message.size()) {
    const size_t end = std::min(message.find_first_of(" \t\n", i), message.size());
    if (end == i) {
      out.push_back(message[i++]);
      continue;
    }
    const std::string word = user_text(message.substr(i, end - i));
    out.append(word, 1, word.size() - 2);  // without the quotes user_text adds
    i = end;
  }
  return out;
}

std::string output_naming_input(const RunOptions& o, const std::string& profile_path) {
  const std::vector<std::pair<const char*, std::string>> inputs = {
      {"the data file", o.data}, {"the analysis file", o.reopen}, {"the profile", profile_path}};
  std::vector<std::pair<std::string, std::string>> outputs = {{"--sheet-out", o.sheet_out},
                                                              {"--analysis-out", o.analysis_out}};
  if (!o.out_dir.empty())
    for (int pane = 1; pane <= 14; ++pane)
      for (const char* ext : {"txt", "svg", "png", "pdf"})
        outputs.emplace_back("--out", o.out_dir + "/pane" + std::to_string(pane) + "." + ext);
  for (const auto& [option, out] : outputs)
    for (const auto& [what, in] : inputs)
      if (!out.empty() && same_file(out, in))
        return option + std::string(" ") + user_text(out) + " is " + what + " " + user_text(in) +
               "; an input is never overwritten";
  return {};
}

std::vector<std::string> split_expression_list(const std::string& list) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (char c : list) {
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      out.emplace_back();
      continue;
    }
    out.back() += c;
  }
  return out;
}

std::string check_expressions(const DataSheet& sheet,
                              const std::map<std::string, std::string>& vars,
                              std::string& warning) {
  for (const auto& [role, list] : vars) {
    // A role given more than once arrives as its expressions separated by ';'
    // (outside text literals); each is checked on its own.
    for (const std::string& expression : split_expression_list(list)) {
      if (expression.find_first_not_of(" \t") == std::string::npos) continue;
      // A column named by itself evaluates to that column: nothing can fail,
      // and a copy of a long column is not made to find that out.
      if (expression.size() <= kMaxExpressionLength && sheet.match_variable(expression) >= 0)
        continue;
      try {
        (void)evaluate_expression(sheet, expression);
      } catch (const ExpressionError& e) {
        if (role != "select") return "role " + role + ": " + e.what();
        warning = "the selection " + user_text(expression) + " is ignored (" + e.what() +
                  "): all " + std::to_string(sheet.row_count()) + " rows are analysed";
      }
    }
  }
  return {};
}

}  // namespace qualty
