// Vsave: writing chosen result series into the data sheet as new or
// replaced columns.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/forms.h"
#include "bridge/lifecycle.h"
#include "bridge/messages.h"
#include "bridge/module_state.h"
#include "bridge/variables.h"
#include "format/numfmt.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

constexpr int32_t kCommandMessage = 273;  // the command sent to the sheet window before saving
constexpr int32_t kLabelWidth = 20;

struct Target {
  const SavedSeries* series;
  std::string name;
  int32_t column = 0;  // 1-based
  bool exists = false;
};

std::string trimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The sheet's columns: 1-based number of the column of that name, or 0.
int32_t existing_column(ZtSpread* s, const std::string& name, int32_t& count) {
  std::vector<char> names(ZTQ_LIST_BUFFER, '\0');
  count = std::clamp<int32_t>(s->ListSheetVariables(s->self, names.data()), 0, ZTQ_MAX_VARIABLES);
  for (int32_t c = 0; c < count; ++c) {
    char n[ZTQ_NAME_SIZE + 1] = {};
    std::memcpy(n, &names[static_cast<size_t>(c) * ZTQ_NAME_SIZE], ZTQ_NAME_SIZE);
    if (name_matches(name, n)) return c + 1;
  }
  return 0;
}

}  // namespace

void lifecycle_vsave(const Procedure& p, int32_t index, int32_t automatic) {
  AnalysisRecord* rp = record_at(index);
  HostApplication* app = module_state().app;
  ZtSpread* s = app != nullptr ? app->spread : nullptr;
  if (rp == nullptr || rp->error_state != 0 || !rp->computed || s == nullptr) return;
  Analysis a(*rp, p);
  const std::vector<SavedSeries> series = p.saved_series(a);
  if (series.empty()) return;

  // The save dialog: one target name per offered series (blank: not saved).
  std::vector<Target> targets;
  if (automatic != 0) {
    for (const SavedSeries& ss : series)
      if (ss.extra.empty()) targets.push_back({&ss, ss.name});
  } else {
    // An extra series starts blank (not saved); its help names its group.
    Form form(900, p.name());
    for (const SavedSeries& ss : series)
      form.add("save_" + ss.name, ss.name, ZTQ_FIELD_TEXT, ss.extra.empty() ? ss.name : "",
               ZTQ_MISSING, ZTQ_MISSING, false, ss.extra.empty() ? "" : "extra:" + ss.extra);
    if (!form.ask()) return;
    for (size_t i = 0; i < series.size(); ++i) {
      const std::string name = trimmed(form.value(static_cast<int>(i)));
      if (!name.empty()) targets.push_back({&series[i], name});
    }
  }
  if (targets.empty()) return;

  int32_t columns = 0;
  bool any_exists = false;
  for (Target& t : targets) {
    t.column = existing_column(s, t.name, columns);
    t.exists = t.column != 0;
    any_exists = any_exists || t.exists;
    if (!t.exists &&
        (s->IsValidColumnName == nullptr || s->IsValidColumnName(s->self, t.name.c_str()) == 0)) {
      ShowMessage(Str::kInvalidColumnName);
      return;
    }
  }
  for (size_t i = 0; i < targets.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (name_matches(targets[i].name, targets[j].name.c_str())) {
        ShowMessage(Str::kInvalidColumnName);  // two results cannot share one column
        return;
      }
  // Replacing columns loses their data: ask even when the dialog was not shown.
  if (any_exists && AskYesNo(Str::kAskReplaceColumns) != ZTQ_IDYES) return;

  for (Target& t : targets) {
    const bool text = !t.series->texts.empty();
    const int32_t type = text ? 'C' : 'N';
    const int32_t width = text ? kLabelWidth : 14;
    if (t.exists) {
      s->DefineColumn(s->self, t.column, type, text ? kLabelWidth : 16, 1);
      s->ClearColumn(s->self, t.column);
    } else {
      t.column = s->CreateColumn(s->self, t.name.c_str(), type, width, 1);
      if (t.column <= 0) {
        ShowMessage(Str::kInvalidColumnName);
        return;
      }
    }
  }
  SheetWindow* sw = module_state().sheet_window;
  if (s->SheetStateQuery != nullptr && s->SheetStateQuery(s->self) == 1 && sw != nullptr)
    s->SheetSendMessage(s->self, sw->handle, kCommandMessage, 20, 0);

  HostContext* ctx = host_context();
  const int digits = ctx != nullptr && ctx->save_digits > 0 ? ctx->save_digits : 6;
  if (app->wait_cursor != nullptr) app->wait_cursor(app, 1);
  s->BeginSheetAccess(s->self, 0);
  size_t longest = 0;
  for (const Target& t : targets)
    longest = std::max({longest, t.series->values.size(), t.series->texts.size()});
  if (static_cast<int64_t>(longest) > s->SheetRowCount(s->self))
    s->ExtendSheetRows(s->self, static_cast<int32_t>(longest));
  for (const Target& t : targets) {
    const bool text = !t.series->texts.empty();
    const size_t rows = text ? t.series->texts.size() : t.series->values.size();
    s->PrepareColumn(s->self, t.column, static_cast<int32_t>(rows), 0);
    for (size_t i = 0; i < rows; ++i) {
      std::string cell;
      if (text) {
        cell = t.series->texts[i].substr(0, kLabelWidth);
      } else {
        const double v = t.series->values[i];
        cell = is_missing(v) ? std::string("-32768") : format_sig(v, 32, digits);
      }
      s->WriteCell(s->self, t.column, static_cast<int32_t>(i + 1), cell.c_str());
    }
  }
  s->EndSheetAccess(s->self);
  if (app->wait_cursor != nullptr) app->wait_cursor(app, -1);
  if (SheetState* st = module_state().sheet_state; st != nullptr) st->changed = 1;
  app->sheet_dialog_state = 0;
}

}  // namespace ztq
