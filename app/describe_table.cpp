#include "app/describe_table.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "app/module_loader.h"
#include "app/option_names.h"

namespace qualty {

namespace {

using nlohmann::json;

std::string number(double v) {
  if (v == ZTQ_MISSING) return "-";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// Rows of cells printed in columns two blanks apart; the last column unpadded.
void table(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> width;
  for (const auto& row : rows)
    for (size_t c = 0; c < row.size(); ++c) {
      if (width.size() <= c) width.push_back(0);
      width[c] = std::max(width[c], row[c].size());
    }
  for (const auto& row : rows) {
    std::string line = " ";
    for (size_t c = 0; c < row.size(); ++c) {
      line += " " + row[c];
      if (c + 1 < row.size()) line += std::string(width[c] - row[c].size() + 1, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << "\n";
  }
}

std::string joined(const std::vector<std::string>& v, const char* sep = ", ") {
  std::string s;
  for (const std::string& x : v) s += (s.empty() ? "" : sep) + x;
  return s;
}

}  // namespace

void print_description_table(const json& d, std::ostream& out) {
  const OptionCatalog catalog(d);
  out << d.value("procedure", "") << ": " << d.value("summary", "") << "\n";

  out << "\nRoles (--var ROLE=EXPR)\n";
  std::vector<std::vector<std::string>> rows = {{"role", "required", "text", "what"}};
  // Consecutive roles of one meaning (data2 ... data25) share a row.
  std::string last_label;
  if (d.contains("roles"))
    for (const json& r : d["roles"]) {
      const std::string label = r.value("label", ""), role = r.value("role", "");
      if (label == last_label && rows.size() > 1) {
        std::string& name = rows.back()[0];
        name = name.substr(0, name.find("..")) + ".." + role;
        continue;
      }
      last_label = label;
      rows.push_back({role, r.value("required", false) ? "yes" : "no",
                      r.value("text_allowed", false) ? "yes" : "no", label});
    }
  table(out, rows);

  if (!catalog.variants().empty()) {
    out << "\nChart types (--chart CODE or NAME)\n";
    rows = {{"code", "name", "chart"}};
    for (const VariantInfo& v : catalog.variants())
      rows.push_back({std::to_string(v.code), v.name, v.title});
    table(out, rows);
  }

  out << "\nOptions (--set NAME=VALUE, by name or alias)\n";
  rows = {{"name", "alias", "default", "range", "meaning"}};
  for (const OptionInfo& o : catalog.options()) {
    if (o.store == "pane_option") continue;
    std::string range = "any";
    if (o.minimum != ZTQ_MISSING || o.maximum != ZTQ_MISSING)
      range = number(o.minimum) + " to " + number(o.maximum);
    std::string meaning = o.label;
    if (!o.choices.empty()) {
      std::vector<std::string> named;
      for (const auto& [name, value] : o.choices) named.push_back(name + "=" + number(value));
      meaning += " [" + joined(named) + "]";
    }
    rows.push_back({o.name, o.alias.empty() ? "-" : o.alias,
                    o.fallback == ZTQ_MISSING ? "none" : number(o.fallback), range, meaning});
  }
  table(out, rows);

  if (!catalog.groups().empty()) {
    out << "\nOption groups (--set NAME=VALUE sets several options)\n";
    rows = {{"name", "value", "sets", "meaning"}};
    for (const OptionGroupInfo& g : catalog.groups()) {
      std::string value = "a list";
      if (!g.presets.empty()) {
        std::vector<std::string> names;
        for (const auto& [name, values] : g.presets) names.push_back(name);
        value = joined(names, "|");
      } else if (!g.scale.empty()) {
        value = "a number";
      }
      rows.push_back({g.name, value, g.members.front() + ".." + g.members.back(), g.label});
    }
    table(out, rows);
  }

  out << "\nPanes (--pane N; 1-7 text, 8-14 graphs)\n";
  rows = {{"pane", "kind", "options", "title"}};
  if (d.contains("panes"))
    for (const json& p : d["panes"]) {
      std::vector<std::string> names;
      if (p.contains("options"))
        for (const json& n : p["options"]) names.push_back(n.get<std::string>());
      rows.push_back({std::to_string(p.value("pane", 0)), p.value("kind", ""),
                      names.empty() ? "-" : joined(names, ","), p.value("title", "")});
    }
  table(out, rows);
}

std::string available_procedures() {
  Module module;
  if (!module.load(Module::default_path())) return {};
  const auto describe = module.exports().describe;
  const int32_t need = describe("", nullptr, 0);
  if (need <= 0) return {};
  std::string buf(static_cast<size_t>(need) + 1, '\0');
  describe("", buf.data(), static_cast<int32_t>(buf.size()));
  const json d = json::parse(buf.c_str(), nullptr, false);
  std::vector<std::string> names;
  if (d.is_object() && d.contains("procedures"))
    for (const json& p : d["procedures"]) names.push_back(p.value("name", ""));
  return joined(names);
}

const char* dist_routines_help() {
  return "Reads lines \"NAME ARG...\" on standard input and prints one result a line\n"
         "(%.17g; \"abort\" for an argument outside the routine's domain, \"error\" for\n"
         "a malformed line). Routines and their arguments:\n"
         "  norm-cdf z                      norm-cdf-of x mean sd\n"
         "  norm-quantile p                 norm-quantile-of p mean sd\n"
         "  t-cdf t nu                      t-quantile p nu\n"
         "  chisq-cdf x nu                  chisq-quantile p nu\n"
         "  f-density x nu1 nu2             f-cdf x nu1 nu2\n"
         "  f-quantile p nu1 nu2            ibeta x a b\n"
         "  ibeta-inv p a b                 gamma x\n"
         "  lgamma x                        lgamma2 x\n"
         "  coded-density CODE P0 P1 P2 P3 x\n"
         "  coded-cdf CODE P0 P1 P2 P3 x\n"
         "  coded-quantile CODE P0 P1 P2 P3 p\n"
         "  density-integral CODE P0 P1 P2 P3 x\n"
         "  div a b                         pow x y\n"
         "  sqrt x                          exp x\n"
         "  ln x                            log10 x\n"
         "Arguments are decimal numbers (inf and nan included); CODE is a whole number.\n";
}

}  // namespace qualty
