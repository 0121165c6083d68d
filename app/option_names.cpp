#include "app/option_names.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace qualty {

namespace {

using nlohmann::json;

// Names match without regard to letter case, and '-' stands for '_'.
std::string folded(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    c = c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// A member of an object, or an empty one (so that loops never iterate a temporary).
const json& member(const json& d, const char* key) {
  static const json kNone = json::object();
  return d.is_object() && d.contains(key) ? d[key] : kNone;
}

double number_or_missing(const json& v) { return v.is_number() ? v.get<double>() : ZTQ_MISSING; }

std::string number_text(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

bool parse_number(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size();
}

bool same_value(const std::string& a, const std::string& b) {
  double x = 0, y = 0;
  if (parse_number(a, x) && parse_number(b, y)) return x == y;
  return a == b;
}

std::vector<std::string> split_list(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    const size_t end = comma == std::string::npos ? text.size() : comma;
    out.push_back(text.substr(start, end - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

// Damerau (1964) distance in its optimal-string-alignment form (Levenshtein
// edits and the transposition of two neighbours), by rows of the table.
size_t edit_distance(const std::string& a, const std::string& b) {
  std::vector<size_t> before(b.size() + 1), prev(b.size() + 1), cur(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) prev[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    cur[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (a[i - 1] != b[j - 1])});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        cur[j] = std::min(cur[j], before[j - 2] + 1);
    }
    before = prev;
    std::swap(prev, cur);
  }
  return prev[b.size()];
}

// One option's value as the user wrote it, with where it came from.
struct Given {
  std::string value;
  std::string spelling;  // the name the user wrote
  bool from_group;
};

}  // namespace

OptionCatalog::OptionCatalog(const json& d) {
  for (const json& o : member(d, "options")) {
    OptionInfo info;
    info.name = o.value("name", "");
    info.alias = o.value("alias", "");
    info.label = o.value("label", "");
    info.store = o.value("store", "option");
    info.index = o.value("index", -1);
    info.fallback = number_or_missing(member(o, "default"));
    info.minimum = number_or_missing(member(o, "minimum"));
    info.maximum = number_or_missing(member(o, "maximum"));
    for (const auto& [k, v] : member(o, "choices").items())
      info.choices.emplace_back(k, v.get<double>());
    std::sort(info.choices.begin(), info.choices.end(),
              [](const auto& a, const auto& b) { return a.second < b.second; });
    options_.push_back(std::move(info));
  }
  for (const json& p : member(d, "panes"))
    for (const json& n : member(p, "options")) {
      const std::string name = n.get<std::string>();
      const bool known = std::any_of(options_.begin(), options_.end(),
                                     [&](const OptionInfo& o) { return o.name == name; });
      if (known) continue;  // a pane that shares an analysis option (option9)
      OptionInfo info;
      info.name = name;
      info.store = "pane_option";
      info.pane = p.value("pane", 0);
      options_.push_back(std::move(info));
    }
  for (const json& g : member(d, "groups")) {
    OptionGroupInfo info;
    info.name = g.value("name", "");
    info.label = g.value("label", "");
    info.members = g.value("members", std::vector<std::string>{});
    info.scale = g.value("scale", std::vector<double>{});
    for (const auto& [k, v] : member(g, "presets").items())
      info.presets[k] = v.get<std::vector<double>>();
    groups_.push_back(std::move(info));
  }
  for (const json& v : member(d, "variants"))
    variants_.push_back({v.value("code", 0), v.value("name", ""), v.value("title", "")});
}

const OptionInfo* OptionCatalog::find(const std::string& name) const {
  const std::string f = folded(name);
  for (const OptionInfo& o : options_)
    if (folded(o.name) == f || (!o.alias.empty() && folded(o.alias) == f)) return &o;
  return nullptr;
}

bool OptionCatalog::resolve(const std::vector<std::string>& items,
                            std::map<std::string, std::string>& out, std::string& error) const {
  std::map<std::string, Given> given;  // by numbered name
  auto put = [&](const std::string& option, const std::string& value, const std::string& spelling,
                 bool from_group) -> bool {
    auto it = given.find(option);
    if (it == given.end()) {
      given[option] = {value, spelling, from_group};
      return true;
    }
    Given& g = it->second;
    if (same_value(g.value, value)) return true;
    if (g.from_group != from_group) {  // the option named alone wins
      if (!from_group) g = {value, spelling, false};
      return true;
    }
    error = "--set " + g.spelling + "=" + g.value + " and --set " + spelling + "=" + value +
            " give " + option + " two values";
    return false;
  };
  for (const std::string& item : items) {
    const size_t eq = item.find('=');
    if (eq == std::string::npos || eq == 0) {
      error = "--set takes NAME=VALUE, not '" + item + "'";
      return false;
    }
    const std::string name = item.substr(0, eq);
    std::string value = item.substr(eq + 1);
    const auto group = std::find_if(groups_.begin(), groups_.end(), [&](const OptionGroupInfo& g) {
      return folded(g.name) == folded(name);
    });
    if (group != groups_.end()) {
      std::vector<std::string> values;
      if (!group->presets.empty()) {
        const auto preset =
            std::find_if(group->presets.begin(), group->presets.end(),
                         [&](const auto& p) { return folded(p.first) == folded(value); });
        if (preset == group->presets.end()) {
          std::vector<std::string> names;
          for (const auto& [k, v] : group->presets) names.push_back(k);
          std::string list;
          for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
          error = "--set " + name + ": no preset '" + value + "' (presets: " + list + ")";
          return false;
        }
        for (double v : preset->second) values.push_back(number_text(v));
      } else if (!group->scale.empty()) {
        double v = 0;
        if (!parse_number(value, v)) {
          error = "--set " + name + ": '" + value + "' is not a number";
          return false;
        }
        for (double s : group->scale) values.push_back(number_text(v * s));
      } else {
        values = value.empty() ? std::vector<std::string>{} : split_list(value);
        if (values.size() > group->members.size()) {
          error = "--set " + name + " takes at most " + std::to_string(group->members.size()) +
                  " values, not " + std::to_string(values.size());
          return false;
        }
        for (const std::string& v : values) {
          double x = 0;
          if (!parse_number(v, x)) {
            error = "--set " + name + ": '" + v + "' is not a number";
            return false;
          }
        }
        values.resize(group->members.size(), "0");
      }
      for (size_t i = 0; i < group->members.size() && i < values.size(); ++i)
        if (!put(group->members[i], values[i], name, true)) return false;
      continue;
    }
    const OptionInfo* o = find(name);
    if (o == nullptr) {
      std::vector<std::string> names;
      for (const OptionInfo& x : options_) {
        names.push_back(x.name);
        if (!x.alias.empty()) names.push_back(x.alias);
      }
      for (const OptionGroupInfo& g : groups_) names.push_back(g.name);
      error = "no option '" + name + "'" + did_you_mean(name, names);
      return false;
    }
    // Named values: the option's choices, on/off for a switch, none for a
    // real option without a value.
    const std::string v = folded(value);
    for (const auto& [choice, number] : o->choices)
      if (folded(choice) == v) value = number_text(number);
    const bool flag = o->store == "option" && o->minimum == 0 && o->maximum == 1;
    if (flag && (v == "on" || v == "yes" || v == "true")) value = "1";
    if (flag && (v == "off" || v == "no" || v == "false")) value = "0";
    if (o->store == "doption" && (v == "none" || v == "missing")) value = number_text(ZTQ_MISSING);
    if (!put(o->name, value, name, false)) return false;
  }
  for (const auto& [option, g] : given) out[option] = g.value;
  return true;
}

bool OptionCatalog::resolve_variant(const std::string& text, int& code, std::string& error) const {
  double number = 0;
  if (parse_number(text, number)) {
    code = static_cast<int>(number);
    if (number != code) {
      error = "--chart takes a whole code, not " + text;
      return false;
    }
    return true;
  }
  std::vector<std::string> names;
  for (const VariantInfo& v : variants_) {
    if (folded(v.name) == folded(text)) {
      code = v.code;
      return true;
    }
    names.push_back(v.name);
  }
  error = "--chart: no chart type '" + text + "'" + did_you_mean(text, names);
  return false;
}

std::vector<std::string> nearest_names(const std::string& word,
                                       const std::vector<std::string>& candidates) {
  const std::string w = folded(word);
  std::vector<std::pair<size_t, std::string>> scored;
  for (const std::string& c : candidates) {
    const std::string f = folded(c);
    size_t d = edit_distance(w, f);
    // A name that starts with the word is as near as a one-letter slip.
    if (f.size() > w.size() && f.compare(0, w.size(), w) == 0 && !w.empty())
      d = std::min<size_t>(d, 1);
    if (d <= std::max<size_t>(2, w.size() / 3)) scored.emplace_back(d, c);
  }
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (const auto& [d, c] : scored) {
    if (out.size() == 3) break;
    if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
  }
  return out;
}

std::string did_you_mean(const std::string& word, const std::vector<std::string>& candidates) {
  const std::vector<std::string> near = nearest_names(word, candidates);
  if (near.empty()) return {};
  std::string list;
  for (size_t i = 0; i < near.size(); ++i)
    list += (i == 0 ? "" : (i + 1 == near.size() ? " or " : ", ")) + near[i];
  return " (did you mean " + list + "?)";
}

}  // namespace qualty
