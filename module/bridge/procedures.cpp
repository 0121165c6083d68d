#include "bridge/procedures.h"

#include <algorithm>

#include "bridge/json.h"

namespace ztq {

namespace {
std::vector<const Procedure*>& registry() {
  static std::vector<const Procedure*> list;
  return list;
}
// Where the option lives in the record, and the command line's readable
// names of it: its alias and named values.
void add_names(JsonObject& o, const OptionField& f) {
  using S = OptionField::Store;
  o.add_string("store", f.store == S::option    ? "option"
                        : f.store == S::doption ? "doption"
                                                : "pane_option");
  o.add_number("index", f.index);
  if (!f.alias.empty()) o.add_string("alias", f.alias);
  if (f.choices.empty()) return;
  JsonObject c;
  for (const auto& [name, value] : f.choices) c.add_number(name, value);
  o.add_raw("choices", c.str());
}

// "variants": [{"code", "name", "title"}], "groups": [{"name", "label",
// "members", "scale" or "presets"}], when the procedure has them.
void add_variants_and_groups(JsonObject& out, const Procedure& p) {
  std::string variants = "[";
  int code = 0;
  for (const auto& [name, title] : p.variant_names()) {
    JsonObject v;
    v.add_number("code", code++);
    v.add_string("name", name);
    v.add_string("title", text(title));
    variants += (variants.size() > 1 ? "," : "") + v.str();
  }
  if (variants.size() > 1) out.add_raw("variants", variants + "]");
  std::string groups = "[";
  for (const OptionGroup& g : p.option_groups()) {
    JsonObject o;
    o.add_string("name", g.name);
    o.add_string("label", text(g.label));
    o.add_raw("members", json_strings(g.members));
    if (!g.scale.empty()) o.add_numbers("scale", g.scale);
    if (!g.presets.empty()) {
      JsonObject presets;
      for (const auto& [name, values] : g.presets) presets.add_numbers(name, values);
      o.add_raw("presets", presets.str());
    }
    groups += (groups.size() > 1 ? "," : "") + o.str();
  }
  if (groups.size() > 1) out.add_raw("groups", groups + "]");
}

}  // namespace

RegisterProcedure::RegisterProcedure(const Procedure* p) { registry().push_back(p); }

const std::vector<const Procedure*>& procedures() { return registry(); }

const Procedure* find_procedure(const std::string& name) {
  for (const Procedure* p : registry())
    if (name == p->name()) return p;
  return nullptr;
}

const Procedure* procedure_of(const AnalysisRecord& record) {
  // Records of different procedures may carry one title (the gage studies
  // share theirs); the number of variables then tells them apart.
  const Procedure* first = nullptr;
  for (const Procedure* p : registry()) {
    if (p->title_number_of(record.variant) != record.title_number) continue;
    const size_t roles = std::min<size_t>(p->roles().size(), ZTQ_MAX_VARIABLES_PER_ANALYSIS);
    if (static_cast<size_t>(record.variable_count) == roles) return p;
    if (first == nullptr) first = p;
  }
  return first;
}

std::string describe_procedure(const Procedure& p) {
  AnalysisRecord defaults{};
  p.set_defaults(defaults);
  JsonObject out;
  out.add_string("procedure", p.name());
  out.add_string("summary", p.summary());
  out.add_raw("modes", std::to_string(p.mode_count()));
  out.add_raw("variant_count", std::to_string(p.variant_count()));  // 0 to variants - 1
  std::string roles = "[";
  for (const VariableRole& r : p.roles()) {
    JsonObject o;
    o.add_string("role", r.name);
    o.add_string("label", text(r.label));
    o.add_raw("required", r.required ? "true" : "false");
    o.add_raw("text_allowed", r.character_allowed ? "true" : "false");
    std::string modes = "[";
    for (int m = 0; m < p.mode_count(); ++m)
      if ((r.modes >> m) & 1u) modes += (modes.size() > 1 ? "," : "") + std::to_string(m);
    o.add_raw("modes", modes + "]");
    roles += (roles.size() > 1 ? "," : "") + o.str();
  }
  roles += std::string(roles.size() > 1 ? "," : "") +
           "{\"role\":\"select\",\"label\":\"selection\",\"required\":false}";
  out.add_raw("roles", roles + "]");
  std::string options = "[";
  if (p.mode_count() > 1) {  // the input mode, answered in the input form
    JsonObject o;
    o.add_string("name", "mode");
    o.add_string("label", "input mode");
    o.add_number("default", defaults.input_mode);
    o.add_number("minimum", 0);
    o.add_number("maximum", p.mode_count() - 1);
    options += o.str();
  }
  for (const OptionField& f : p.analysis_options(defaults)) {
    JsonObject o;
    o.add_string("name", f.name);
    o.add_string("label", text(f.label));
    const double v = f.store == OptionField::Store::doption ? defaults.doption[f.index]
                                                            : defaults.option[f.index];
    o.add_number("default", v);
    o.add_number("minimum", f.minimum);
    o.add_number("maximum", f.maximum);
    add_names(o, f);
    options += (options.size() > 1 ? "," : "") + o.str();
  }
  out.add_raw("options", options + "]");
  add_variants_and_groups(out, p);
  std::string inputs = "[";
  for (const std::string& n : p.input_fields())
    inputs += (inputs.size() > 1 ? "," : "") + json_quote(n);
  out.add_raw("inputs", inputs + "]");
  std::string panes = "[";
  AnalysisRecord r = defaults;  // one copy, its variant set in turn (a record is some 20 kB)
  for (const PaneInfo& pane : p.panes()) {
    JsonObject o;
    o.add_raw("pane", std::to_string(pane.number));
    o.add_string("title", text(pane.title));
    o.add_string("kind", pane.number <= ZTQ_TEXT_PANES ? "text" : "graph");
    // The pane's options over every variant, each name once.
    std::vector<std::string> seen;
    for (int variant = 0; variant < p.variant_count(); ++variant) {
      r.variant = variant;
      for (const OptionField& f : p.pane_options(r, pane.number))
        if (std::find(seen.begin(), seen.end(), f.name) == seen.end()) seen.push_back(f.name);
    }
    std::string names = "[";
    for (const std::string& n : seen) names += (names.size() > 1 ? "," : "") + json_quote(n);
    o.add_raw("options", names + "]");
    panes += (panes.size() > 1 ? "," : "") + o.str();
  }
  out.add_raw("panes", panes + "]");
  return out.str();
}

}  // namespace ztq
