#include "bridge/lifecycle.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/forms.h"
#include "bridge/json.h"
#include "bridge/messages.h"
#include "bridge/module_state.h"
#include "bridge/remembered.h"
#include "bridge/variables.h"

namespace ztq {

namespace {

HostContext* g_context = nullptr;

// What the input dialog collected, until Setup stores it in the record.
struct Pending {
  int32_t input_mode = 0;
  std::vector<std::string> expressions;  // the procedure's roles, then the selection
};
Pending g_pending;

template <size_t N>
void copy_text(char (&dst)[N], const std::string& src) {
  const size_t n = std::min(src.size(), N - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

void notify_change() {
  if (g_context != nullptr && g_context->change_notification != nullptr)
    g_context->change_notification(g_context, 1);
}

void write_procedure_code(const Procedure& p, int32_t index, int32_t variant) {
  const int32_t code = p.procedure_code(variant);
  if (g_context != nullptr && valid_index(index) && code != 0)
    g_context->procedure_code[index] = code;
}

void mark_all_dirty(AnalysisRecord& r) {
  for (int32_t& d : r.dirty) d = 1;
}

ZtSpread* spread() {
  HostApplication* app = module_state().app;
  return app != nullptr ? app->spread : nullptr;
}

// The variable check of BeginAgain: evaluates an expression to learn its
// type and length. position counts from 1; 0 for the selection variable.
bool check_variable(int position, const std::string& expression, bool optional,
                    bool character_allowed) {
  if (strip_expression(expression).empty()) {
    if (optional) return true;
    show_formatted_warning(Str::kRequiredMissing, position);
    return false;
  }
  VariableData v;
  if (!read_variable(spread(), expression, v)) return false;
  if (v.type != 'C') {
    if (g_context != nullptr) {
      if (v.length != g_context->row_count) g_context->unequal_lengths = 1;
      g_context->row_count = std::max(g_context->row_count, v.length);
    }
    return true;
  }
  if (character_allowed) return true;
  if (position > 0) show_formatted_warning(Str::kCharacterVariable, position);
  return false;
}

}  // namespace

HostContext* host_context() { return g_context; }
void set_host_context(HostContext* ctx) { g_context = ctx; }

int32_t lifecycle_dialog(const Procedure& p, int32_t index, HostContext* ctx, int32_t reuse) {
  g_context = ctx;
  if (index < 0) return 1;
  const AnalysisRecord* r = reuse != 0 ? record_at(index) : nullptr;
  Form form(1, p.name());
  if (p.mode_count() > 1)
    form.add("mode", "input mode", ZTQ_FIELD_CHOICE, std::to_string(r ? r->input_mode : 0), 0,
             p.mode_count() - 1);
  const auto& roles = p.roles();
  for (size_t i = 0; i < roles.size(); ++i)
    form.add(roles[i].name, text(roles[i].label), ZTQ_FIELD_EXPRESSION,
             r ? r->variables[i].expression : "");
  form.add("select", "selection", ZTQ_FIELD_EXPRESSION, r ? r->selection.expression : "");
  const auto validate = [&](const Form& f) -> std::string {
    double mode = 0;
    if (p.mode_count() > 1) parse_form_number(f.value("mode"), mode);
    for (const VariableRole& role : roles) {
      const bool used = (role.modes >> static_cast<int>(mode)) & 1u;
      const std::string v = f.value(role.name);
      if (used && role.required && strip_expression(v).empty())
        return text(Str::kEmptyVariable) + " (" + role.name + ")";
    }
    return {};
  };
  if (!form.ask(validate)) return 0;
  Pending pending;
  double mode = 0;
  if (p.mode_count() > 1) parse_form_number(form.value("mode"), mode);
  pending.input_mode = static_cast<int32_t>(mode);
  for (const VariableRole& role : roles) pending.expressions.push_back(form.value(role.name));
  pending.expressions.push_back(form.value("select"));
  g_pending = pending;
  return 1;
}

void lifecycle_setup(const Procedure& p, int32_t index, AnalysisRecord* record,
                     AnalysisWindow* window, char* out_text, int32_t reuse, int32_t variant) {
  if (record == nullptr || !valid_index(index)) return;
  AnalysisRecord& r = *record;
  set_record(index, record, window);
  if (g_context != nullptr) {
    r.row_count = g_context->row_count;
    r.unequal_lengths = g_context->unequal_lengths;
  }
  r.variant = variant;
  r.procedure = p.procedure_code(variant);
  write_procedure_code(p, index, variant);
  r.index = index;
  r.title_number = p.title_number_of(variant);
  if (reuse == 0) {
    if (g_context != nullptr) {
      r.host_values[0] = g_context->host_values[0];
      r.host_values[1] = g_context->host_values[1];
      if (index == g_context->next_analysis_index) ++g_context->next_analysis_index;
    }
    p.set_defaults(r);
    const AnalysisRecord defaults = r;
    p.read_profile(r);
    check_remembered_options(p, r, defaults);
  }
  notify_change();
  // The expressions go into the record's slots; the selection last.
  const auto& roles = p.roles();
  const size_t n = std::min<size_t>(roles.size(), ZTQ_MAX_VARIABLES_PER_ANALYSIS);
  r.variable_count = static_cast<int32_t>(n);
  for (size_t i = 0; i < n; ++i)
    copy_text(r.variables[i].expression,
              i < g_pending.expressions.size() ? g_pending.expressions[i] : "");
  copy_text(r.selection.expression,
            g_pending.expressions.size() > roles.size() ? g_pending.expressions[roles.size()] : "");
  if (out_text != nullptr) {
    std::string title = text(static_cast<Str>(p.title_number_of(variant)));
    const std::string main = n > 0 ? r.variables[0].expression : "";
    title += " - " + (main.empty() && n > 1 ? std::string(r.variables[1].expression) : main);
    std::vector<std::string> parts{title};
    for (size_t i = 0; i < n; ++i) parts.emplace_back(r.variables[i].expression);
    parts.emplace_back(r.selection.expression);
    size_t at = 0;
    for (const std::string& s : parts) {
      const size_t len = std::min(s.size(), static_cast<size_t>(ZTQ_EXPRESSION_SIZE - 1));
      if (at + len + 1 > static_cast<size_t>(kSetupTextSize)) break;
      std::memcpy(out_text + at, s.data(), len);
      out_text[at + len] = '\0';
      at += len + 1;
    }
  }
  r.input_mode = g_pending.input_mode;
}

int32_t lifecycle_begin(const Procedure& p, int32_t index) {
  AnalysisRecord* rp = record_at(index);
  if (rp == nullptr) return 0;
  AnalysisRecord& r = *rp;
  Analysis a(r, p);
  r.error_state = 0;
  r.further = 0;
  p.masks(r, r.masks);
  HostApplication* app = module_state().app;
  if (app != nullptr && app->wait_cursor != nullptr) app->wait_cursor(app, 1);
  struct Restore {
    HostApplication* app;
    ~Restore() {
      if (app != nullptr && app->wait_cursor != nullptr) app->wait_cursor(app, -1);
    }
  } restore{app};
  // Auxiliary and selection variables: an invalid one is left unloaded.
  if (r.auxiliary1.expression[0] != '\0' &&
      load_slot(spread(), r.auxiliary1, r.row_count, nullptr) != 0) {
    free_slot(r.auxiliary1);
    ShowMessage(Str::kBadAuxiliary1);
  }
  if (r.auxiliary2.expression[0] != '\0' &&
      (load_slot(spread(), r.auxiliary2, r.row_count, nullptr) != 0 || r.auxiliary2.type == 'C')) {
    free_slot(r.auxiliary2);
    ShowMessage(Str::kBadAuxiliary2);
    if (AnalysisWindow* w = window_at(index); w != nullptr && w->invalidate != nullptr)
      w->invalidate(w, 0);
  }
  free_slot(r.selection);
  if (r.selection.expression[0] != '\0') {
    if (ZtSpread* s = spread(); s != nullptr && s->SetEvaluationRows != nullptr)
      s->SetEvaluationRows(s->self, r.row_count);
    if (load_slot(spread(), r.selection, r.row_count, nullptr) != 0 || r.selection.type == 'C') {
      free_slot(r.selection);
      ShowMessage(Str::kBadSelection);
    }
  }
  if (!p.load_variables(a)) {
    if (r.error_state == 0) r.error_state = static_cast<int32_t>(Str::kErrLoadVariable);
    return 0;
  }
  r.computed = 1;
  mark_all_dirty(r);
  if (r.computed_once == 0 && g_context != nullptr) ++g_context->computed_analyses;
  r.computed_once = 1;
  try {
    p.compute(a);
  } catch (const std::bad_alloc&) {
    // Data too large for the memory: the results made so far go, and the
    // analysis stays in an error state that names the cause.
    if (r.results != nullptr && r.release_results != nullptr) r.release_results(r.results);
    r.results = nullptr;
    r.error_state = static_cast<int32_t>(Str::kNoMemory);
  }
  return 1;
}

int32_t lifecycle_begin_again(const Procedure& p, int32_t index, AnalysisRecord* record,
                              AnalysisWindow* window, HostContext* ctx, SheetState* sheet_state,
                              SheetWindow* sheet_window, int32_t variant) {
  if (record == nullptr || !valid_index(index)) return 0;
  set_record(index, record, window);
  g_context = ctx;
  module_state().sheet_state = sheet_state;
  module_state().sheet_window = sheet_window;
  write_procedure_code(p, index, variant);
  record->variant = variant;
  record->index = index;
  record->title_number = p.title_number_of(variant);
  record->procedure = p.procedure_code(variant);
  ZtSpread* s = spread();
  if (ctx != nullptr) {
    ctx->current_analysis = index;
    ctx->row_count = s != nullptr ? s->SheetRowCount(s->self) : 0;
    ctx->unequal_lengths = 0;
  }
  const auto& roles = p.roles();
  for (size_t i = 0; i < roles.size() && i < ZTQ_MAX_VARIABLES_PER_ANALYSIS; ++i) {
    const VariableRole& role = roles[i];
    if (((role.modes >> record->input_mode) & 1u) == 0) continue;
    std::vector<std::string> parts{record->variables[i].expression};
    if (role.list) {
      parts.clear();
      std::string list = record->variables[i].expression;
      for (size_t at = 0; at <= list.size();) {
        const size_t end = std::min(list.find(';', at), list.size());
        if (!strip_expression(list.substr(at, end - at)).empty())
          parts.push_back(list.substr(at, end - at));
        at = end + 1;
      }
      if (parts.empty()) parts.emplace_back();
    }
    bool fine = true;
    for (const std::string& part : parts)
      fine = fine &&
             check_variable(static_cast<int>(i) + 1, part, !role.required, role.character_allowed);
    if (!fine) {
      record->error_state = static_cast<int32_t>(Str::kErrVariableCheck);
      return 0;
    }
  }
  if (ctx != nullptr) {
    record->row_count = ctx->row_count;
    record->unequal_lengths = ctx->unequal_lengths;
  }
  lifecycle_begin(p, index);
  return 1;
}

void lifecycle_write_results_json(const Procedure& p, AnalysisRecord& record, bool violations,
                                  JsonSink& sink) {
  Analysis a(record, p);
  const bool fine = (record.error_state == 0 || p.results_with_error()) && record.computed != 0;
  if (violations) {
    if (fine) p.write_violations_json(a, sink);
    return;
  }
  sink.put('{');
  if (fine) {
    JsonObject out(sink);
    p.write_results_json(a, out);
  }
  sink.put('}');
}

std::string lifecycle_results_json(const Procedure& p, AnalysisRecord& record) {
  Analysis a(record, p);
  const int32_t message = record.error_state != 0 ? p.error_message(record) : 0;
  JsonObject out;
  out.add_raw("error", std::to_string(message));
  out.add_string("error_text", message != 0 ? text(static_cast<Str>(message)) : std::string());
  const bool fine = (record.error_state == 0 || p.results_with_error()) && record.computed != 0;
  out.add_raw("results", "{" + (fine ? p.results_json(a) : std::string()) + "}");
  if (const std::string v = fine ? p.violations_json(a) : std::string(); !v.empty())
    out.add_raw("violations", v);  // last, so that a host can split it off a large text
  return out.str();
}

}  // namespace ztq
