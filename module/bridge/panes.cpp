// Item and Opts: building a pane and changing options, for every procedure.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bridge/analysis.h"
#include "bridge/forms.h"
#include "bridge/lifecycle.h"
#include "bridge/messages.h"
#include "bridge/module_state.h"
#include "format/numfmt.h"

namespace ztq {

namespace {

struct WaitCursor {
  HostApplication* app = module_state().app;
  WaitCursor() {
    if (app != nullptr && app->wait_cursor != nullptr) app->wait_cursor(app, 1);
  }
  ~WaitCursor() {
    if (app != nullptr && app->wait_cursor != nullptr) app->wait_cursor(app, -1);
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// Keeps a pane's text in the record as NUL-terminated lines without CR, for
// the platform whose panes are not windows (identifier 0).
void keep_in_record(AnalysisRecord& r, int pane, const std::string& text) {
  PaneText& p = r.pane_text[pane - 1];
  std::free(p.lines);
  p = PaneText{};
  std::string lines;
  int32_t count = 0;
  int32_t widest = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    widest = std::max(widest, static_cast<int32_t>(line.size()));
    lines += line;
    lines.push_back('\0');
    ++count;
    start = end + 1;
  }
  p.lines = static_cast<char*>(std::malloc(lines.size()));
  if (p.lines == nullptr) return;
  std::memcpy(p.lines, lines.data(), lines.size());
  p.line_count = count;
  p.widest = widest;
}

void deliver_text(AnalysisRecord& r, PaneWindow* window, int pane, std::string text) {
  ModuleState& s = module_state();
  HostApplication* app = s.app;
  if (app != nullptr && app->advise != nullptr && app->advise->GetAdviceText != nullptr &&
      s.advice_buffer != nullptr) {
    s.advice_buffer[0] = '\0';
    app->advise->GetAdviceText(app->advise->self, &r, pane, s.advice_buffer, 8192, 0, 0);
    s.advice_buffer[8191] = '\0';
  }
  if (s.advice_flag != 0 && s.advice_buffer != nullptr) {
    text += s.advice_buffer;
  } else {
    while (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
      text.resize(text.size() - 2);
  }
  if (app != nullptr && app->platform_id == 0) {
    keep_in_record(r, pane, text);
    return;
  }
  if (window != nullptr && window->set_text != nullptr) window->set_text(window, text.c_str());
  if (window != nullptr && window->refresh != nullptr) window->refresh(window);
}

GraphBuilder& builder() {
  static GraphBuilder g;
  return g;
}

int32_t build_graph(const Procedure& p, Analysis& a, int pane, ZtGraphDescriptor* descriptor) {
  if (descriptor == nullptr) return 0;
  GraphBuilder& g = builder();
  g.reset(1, ZTG_KIND_GENERIC);
  if (!p.graph_pane(a, pane, g)) return 0;
  ModuleState& s = module_state();
  AddedText added{s.added_text, s.added_attribute};
  g.finish(*descriptor, &added);
  s.added_text.clear();  // shown on this graph only
  s.added_text_pending = false;
  HostApplication* app = s.app;
  const int32_t made = hand_over(app != nullptr ? app->graph : nullptr, *descriptor);
  if (app != nullptr && app->advise != nullptr && app->advise->GetAdviceText != nullptr &&
      s.advice_buffer != nullptr)
    app->advise->GetAdviceText(app->advise->self, &a.record(), pane, s.advice_buffer, 8192, 0, 1);
  return made;
}

int32_t current_number(const AnalysisRecord& r, const OptionField& f, int pane, double& out) {
  switch (f.store) {
    case OptionField::Store::option:
      out = r.option[f.index];
      return 1;
    case OptionField::Store::doption:
      out = r.doption[f.index];
      return 1;
    case OptionField::Store::pane_option:
      out = r.pane_option[pane - 1][f.index];
      return 1;
  }
  return 0;
}

void store_number(AnalysisRecord& r, const OptionField& f, int pane, double v) {
  switch (f.store) {
    case OptionField::Store::option:
      r.option[f.index] = static_cast<int32_t>(v);
      break;
    case OptionField::Store::doption:
      r.doption[f.index] = v;
      break;
    case OptionField::Store::pane_option:
      r.pane_option[pane - 1][f.index] = static_cast<int32_t>(v);
      break;
  }
}

// Opens a form of option fields; on OK the record holds the answers.
bool ask_options(const Procedure& p, AnalysisRecord& r, int pane,
                 const std::vector<OptionField>& fields) {
  Form form(100 + pane, p.name());
  for (const OptionField& f : fields) {
    double v = 0;
    current_number(r, f, pane, v);
    const std::string shown = f.kind == ZTQ_FIELD_REAL ? format_sig(v, 32, 15)
                                                       : std::to_string(static_cast<long long>(v));
    form.add(f.name, text(f.label), f.kind, shown, f.minimum, f.maximum);
  }
  const auto validate = [&](const Form& answered) -> std::string {
    AnalysisRecord trial = r;  // checked on a copy: a refused answer changes nothing
    for (const OptionField& f : fields) {
      double v = 0;
      if (parse_form_number(answered.value(f.name), v)) store_number(trial, f, pane, v);
    }
    const int32_t message = pane == 1 ? p.validate_options(trial) : 0;
    return message == 0 ? std::string() : text(static_cast<Str>(message));
  };
  if (!form.ask(validate)) return false;
  for (const OptionField& f : fields) {
    double v = 0;
    if (parse_form_number(form.value(f.name), v)) store_number(r, f, pane, v);
  }
  return true;
}

}  // namespace

int32_t lifecycle_item(const Procedure& p, PaneWindow* pane_window, int32_t index, int32_t pane,
                       ZtGraphDescriptor* descriptor) {
  AnalysisRecord* rp = record_at(index);
  if (rp == nullptr || pane < 1 || pane > ZTQ_PANES) return 0;
  WaitCursor wait;
  Analysis a(*rp, p);
  int32_t built = 0;
  if (pane <= ZTQ_TEXT_PANES) {
    std::string text;
    if (p.text_pane(a, pane, text)) {
      deliver_text(*rp, pane_window, pane, std::move(text));
      built = 1;
    }
  } else {
    built = build_graph(p, a, pane, descriptor);
  }
  if (built) rp->dirty[pane - 1] = 0;
  return built;
}

int32_t lifecycle_opts(const Procedure& p, PaneWindow* pane_window, int32_t index, int32_t pane,
                       ZtGraphDescriptor* descriptor) {
  AnalysisRecord* rp = record_at(index);
  if (rp == nullptr || pane < 1 || pane > ZTQ_PANES) return 0;
  AnalysisRecord& r = *rp;
  if (pane == 2 && p.pane_options(r, 2).empty()) pane = 1;
  if (pane != 1 && r.error_state != 0) return 0;
  const std::vector<OptionField> fields =
      pane == 1 ? p.analysis_options(r) : p.pane_options(r, pane);
  if (fields.empty()) {
    show_information(Str::kNoPaneOptions);
    return 1;
  }
  if (!ask_options(p, r, pane, fields)) return 0;
  HostContext* ctx = host_context();
  if (ctx != nullptr && ctx->change_notification != nullptr) ctx->change_notification(ctx, 1);
  if (pane == 1) {
    p.write_profile(r);
    WaitCursor wait;
    Analysis a(r, p);
    if (r.computed) p.compute(a);
    for (int32_t& d : r.dirty) d = 1;
    return 1;
  }
  for (int shared : p.panes_sharing_options(pane))
    if (shared >= 1 && shared <= ZTQ_PANES) r.dirty[shared - 1] = 1;
  lifecycle_item(p, pane_window, index, pane, descriptor);
  return 1;
}

int32_t lifecycle_exclude(const Procedure& p, int32_t index, int32_t point) {
  AnalysisRecord* rp = record_at(index);
  if (rp == nullptr) return 0;
  AnalysisRecord& r = *rp;
  if (point >= 1 && point <= r.point_count && r.excluded != nullptr)
    r.excluded[point - 1] = r.excluded[point - 1] != 0 ? 0 : 1;
  Analysis a(r, p);
  if (r.computed) p.compute(a);
  for (int32_t& d : r.dirty) d = 1;
  return 1;
}

}  // namespace ztq
