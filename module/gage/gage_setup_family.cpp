// The GageSet family: the plan of a long-form gage study, its listing pane,
// its save into the data sheet, and the exports GageSetDialog .. GageSetVsave.
//
// Record layout: option[0] appraisers A, option[1] parts P, option[2] trials
// T, option[3] randomise the part order, option[4] user-named appraisers;
// doption[0] the seed of the part order (the one used, also when the clock
// gave it); option[5] the re-save flag, ticked in the save form: every later
// Begin saves the plan again at once. The appraiser names are module-wide,
// kept between dialogs.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/export_guard.h"
#include "bridge/forms.h"
#include "bridge/json.h"
#include "bridge/lifecycle.h"
#include "bridge/messages.h"
#include "bridge/module_state.h"
#include "bridge/procedures.h"
#include "bridge/profile.h"
#include "bridge/variables.h"
#include "format/numfmt.h"
#include "gage/gage_panes.h"
#include "gage/gage_setup.h"
#include "gage/gage_setup_family.h"
#include "gage/gage_strings.h"
#include "ztqualty_procedures.h"

namespace ztq {

namespace {

constexpr const char* kEol = "\r\n";
constexpr size_t kListingCut = 59952;  // the listing stops once it is longer than this
constexpr double kLargestSeed = 4294967295.0;

std::array<std::string, 18> g_names;  // the appraiser names, kept between dialogs

struct PendingPlan {
  bool given = false;
  int32_t option[5] = {3, 10, 3, 0, 0};
  double seed = 0;
};
PendingPlan g_pending;

PlanOptions plan_options(const AnalysisRecord& r) {
  PlanOptions o;
  o.a = r.option[0];
  o.p = r.option[1];
  o.t = r.option[2];
  o.randomise = r.option[3] != 0;
  o.user_names = r.option[4] != 0;
  o.names.assign(g_names.begin(), g_names.end());
  o.seed = static_cast<uint32_t>(r.doption[0]);
  return o;
}

std::string pad(std::string s, size_t w) {
  s.resize(std::max(s.size(), w), ' ');
  return s;
}

// The plan form, then the names form when the names are the user's.
bool ask_plan(int32_t index, int32_t reuse) {
  const AnalysisRecord* r = reuse != 0 ? record_at(index) : nullptr;
  PendingPlan p;
  if (r != nullptr)
    for (int i = 0; i < 5; ++i) p.option[i] = r->option[i];
  Form form(3, gageset().name());
  const double ranges[5][2] = {{2, 18}, {2, 500}, {2, 500}, {0, 1}, {0, 1}};
  for (int i = 0; i < 5; ++i)
    form.add("option" + std::to_string(i), gs::str(46201 + i), ZTQ_FIELD_INTEGER,
             std::to_string(p.option[i]), ranges[i][0], ranges[i][1]);
  form.add("seed", gs::str(46206), ZTQ_FIELD_INTEGER, "", 0, kLargestSeed);
  if (!form.ask()) return false;
  for (int i = 0; i < 5; ++i) {
    double v = 0;
    if (parse_form_number(form.value("option" + std::to_string(i)), v))
      p.option[i] = static_cast<int32_t>(v);
  }
  // The seed given, else the clock in seconds (reduced to the generator's 32 bits).
  double seed = 0;
  if (!parse_form_number(form.value("seed"), seed))
    seed = static_cast<double>(static_cast<uint32_t>(std::time(nullptr)));
  p.seed = seed;
  if (p.option[4] != 0) {
    Form names(4, gageset().name());
    for (int i = 0; i < 18; ++i)
      names.add("name" + std::to_string(i + 1), gs::fill(46207, {std::to_string(i + 1)}),
                ZTQ_FIELD_TEXT, g_names[static_cast<size_t>(i)]);
    const int a = p.option[0];
    const auto distinct = [a](const Form& f) -> std::string {
      PlanOptions o;
      o.user_names = true;
      o.a = a;
      for (int i = 0; i < 18; ++i) o.names.push_back(f.value("name" + std::to_string(i + 1)));
      for (int i = 0; i < a; ++i)
        for (int j = 0; j < i; ++j)
          if (appraiser_name(o, i) == appraiser_name(o, j)) return gs::str(46208);
      return {};
    };
    if (!names.ask(distinct)) return false;
    for (int i = 0; i < 18; ++i)
      g_names[static_cast<size_t>(i)] = names.value("name" + std::to_string(i + 1));
  }
  p.given = true;
  g_pending = p;
  return true;
}

}  // namespace

std::string GageSet::summary() const {
  return "Gage study setup: the run list of appraisers x parts x trials, optionally randomised";
}

void GageSet::set_defaults(AnalysisRecord& r) const {
  r.option[0] = 3;
  r.option[1] = 10;
  r.option[2] = 3;
  r.option[3] = 0;
  r.option[4] = 0;
  r.option[5] = 0;
  r.doption[0] = 0;
}

void GageSet::compute(Analysis& a) const {
  AnalysisRecord& r = a.record();
  GagePlan& plan = a.results<GagePlan>();
  r.error_state = 0;
  try {
    plan = build_plan(plan_options(r));
  } catch (const std::bad_alloc&) {
    plan = GagePlan{};
    r.error_state = 2;
  }
}

std::vector<OptionField> GageSet::analysis_options(const AnalysisRecord&) const {
  using S = OptionField::Store;
  auto t = [](int32_t n) { return static_cast<Str>(n); };
  std::vector<OptionField> f = {{"option0", t(46201), S::option, 0, 2, 18},
                                {"option1", t(46202), S::option, 1, 2, 500},
                                {"option2", t(46203), S::option, 2, 2, 500},
                                {"option3", t(46204), S::option, 3, 0, 1},
                                {"option4", t(46205), S::option, 4, 0, 1},
                                {"seed", t(46206), S::doption, 0, 0, kLargestSeed}};
  for (int i = 1; i <= 18; ++i)
    f.push_back({"name" + std::to_string(i), t(46207), S::option, 127, ZTQ_MISSING, ZTQ_MISSING,
                 ZTQ_FIELD_TEXT});
  return f;
}

bool GageSet::text_pane(const Analysis& a, int pane, std::string& out) const {
  if (pane != 1) return false;
  const AnalysisRecord& r = a.record();
  out = gs::str(2171) + kEol + kEol;
  const GagePlan* plan = a.results<GagePlan>();
  if (r.error_state != 0 || plan == nullptr) {
    out += gage_error_text(r.error_state != 0 ? r.error_state : 2) + kEol;
    return true;
  }
  out += gs::fill(4170, {std::to_string(plan->a)}) + kEol;
  out += gs::fill(4171, {std::to_string(plan->p)}) + kEol;
  out += gs::fill(4172, {std::to_string(plan->t)}) + kEol;
  out += gs::str(r.option[3] != 0 ? 4174 : 4173) + kEol;
  out += gs::str(r.option[4] != 0 ? 4176 : 4175) + kEol;
  if (r.option[3] != 0) {
    char seed[32];
    std::snprintf(seed, sizeof seed, "%.0f", r.doption[0]);
    out += gs::fill(46200, {seed}) + kEol;
  }
  out += kEol + gs::str(4177) + kEol + gs::str(4178) + kEol;
  char buf[64];
  for (size_t i = 0; i < plan->runs(); ++i) {
    if (out.size() > kListingCut) {
      out += std::string("...") + kEol;
      break;
    }
    std::snprintf(buf, sizeof buf, "%-10d%-10d", plan->part[i], plan->trial_of(i));
    out += pad(plan->names[static_cast<size_t>(plan->appraiser_of(i))], 20) + buf + kEol;
  }
  out += gs::str(4178) + kEol;
  return true;
}

std::string GageSet::results_json(const Analysis& a) const {
  const GagePlan* plan = a.results<GagePlan>();
  if (plan == nullptr) return {};
  JsonObject o;
  o.add_number("a", plan->a);
  o.add_number("p", plan->p);
  o.add_number("t", plan->t);
  o.add_number("n", static_cast<double>(plan->runs()));
  std::string runs;
  runs.reserve(plan->runs() * 16 + 2);
  runs += '[';
  std::vector<std::string> quoted;
  for (const std::string& n : plan->names) quoted.push_back(json_quote(n));
  char buf[48];
  for (size_t i = 0; i < plan->runs(); ++i) {
    if (i != 0) runs += ',';
    runs += '[';
    runs += quoted[static_cast<size_t>(plan->appraiser_of(i))];
    std::snprintf(buf, sizeof buf, ",%d,%d]", plan->part[i], plan->trial_of(i));
    runs += buf;
  }
  runs += ']';
  o.add_raw("runs", runs);
  o.add_number("seed", a.record().doption[0]);
  return o.members();
}

// Writes the run list into four columns of the data sheet (appraiser as text
// of width 20, part, trial, and an empty measurement column), streaming the
// runs so that 4.5 million of them need no copy.
void GageSet::save(int32_t index, int32_t automatic) const {
  AnalysisRecord* rp = record_at(index);
  HostApplication* app = module_state().app;
  ZtSpread* s = app != nullptr ? app->spread : nullptr;
  if (rp == nullptr || rp->error_state != 0 || !rp->computed || s == nullptr) return;
  const GagePlan* plan = static_cast<const GagePlan*>(rp->results);
  if (plan == nullptr || plan->runs() == 0) return;
  const Profile pr = host_profile();
  std::string names[4] = {pr.get_string("Snap", "Appraisers", gs::str(gs::kAppraisers)),
                          pr.get_string("Snap", "Parts", gs::str(gs::kParts)),
                          pr.get_string("Snap", "Trials", gs::str(gs::kTrials)), gs::str(4975)};
  bool keep[4] = {true, true, true, true};
  if (automatic == 0) {
    Form form(900, name());
    for (int c = 0; c < 4; ++c)
      form.add("save_" + std::to_string(c + 1), names[c], ZTQ_FIELD_TEXT, names[c]);
    form.add("resave", gs::str(46209), ZTQ_FIELD_INTEGER, std::to_string(rp->option[5] != 0), 0, 1);
    if (!form.ask()) return;
    for (int c = 0; c < 4; ++c) {
      names[c] = strip_expression(form.value(c));
      keep[c] = !names[c].empty();
    }
    double resave = 0;
    rp->option[5] = parse_form_number(form.value("resave"), resave) && resave != 0 ? 1 : 0;
  }
  // The sheet's columns by name; an existing one is replaced after a question.
  std::vector<char> list(ZTQ_LIST_BUFFER, '\0');
  const int32_t count =
      std::clamp<int32_t>(s->ListSheetVariables(s->self, list.data()), 0, ZTQ_MAX_VARIABLES);
  int32_t column[4] = {0, 0, 0, 0};
  bool any_exists = false;
  for (int c = 0; c < 4; ++c) {
    if (!keep[c]) continue;
    for (int32_t k = 0; k < count && column[c] == 0; ++k) {
      char n[ZTQ_NAME_SIZE + 1] = {};
      std::memcpy(n, &list[static_cast<size_t>(k) * ZTQ_NAME_SIZE], ZTQ_NAME_SIZE);
      if (name_matches(names[c], n)) column[c] = k + 1;
    }
    any_exists = any_exists || column[c] != 0;
    if (column[c] == 0 &&
        (s->IsValidColumnName == nullptr || s->IsValidColumnName(s->self, names[c].c_str()) == 0))
      return ShowMessage(Str::kInvalidColumnName);
  }
  if (any_exists && AskYesNo(Str::kAskReplaceColumns) != ZTQ_IDYES) return;
  for (int c = 0; c < 4; ++c) {
    if (!keep[c]) continue;
    const int32_t type = c == 0 ? 'C' : 'N', width = c == 0 ? 20 : 14;
    if (column[c] != 0) {
      s->DefineColumn(s->self, column[c], type, width, 1);
      s->ClearColumn(s->self, column[c]);
    } else if ((column[c] = s->CreateColumn(s->self, names[c].c_str(), type, width, 1)) <= 0) {
      return ShowMessage(Str::kInvalidColumnName);
    }
  }
  SheetWindow* sw = module_state().sheet_window;
  if (s->SheetStateQuery != nullptr && s->SheetStateQuery(s->self) == 1 && sw != nullptr)
    s->SheetSendMessage(s->self, sw->handle, 273, 20, 0);
  const auto n = static_cast<int32_t>(plan->runs());
  if (app->wait_cursor != nullptr) app->wait_cursor(app, 1);
  s->BeginSheetAccess(s->self, 0);
  if (s->SheetRowCount(s->self) < n) s->ExtendSheetRows(s->self, n);
  char buf[32];
  for (int c = 0; c < 4; ++c) {
    if (!keep[c]) continue;
    s->PrepareColumn(s->self, column[c], n, 0);
    if (c == 0) s->DefineColumn(s->self, column[c], 'C', 20, 1);
    for (int32_t i = 0; i < n; ++i) {
      const size_t run = static_cast<size_t>(i);
      const char* cell = " ";
      if (c == 0) cell = plan->names[static_cast<size_t>(plan->appraiser_of(run))].c_str();
      if (c == 1 || c == 2) {
        std::snprintf(buf, sizeof buf, "%d", c == 1 ? plan->part[run] : plan->trial_of(run));
        cell = buf;
      }
      s->WriteCell(s->self, column[c], i + 1, cell);
    }
  }
  if (SheetState* st = module_state().sheet_state; st != nullptr) st->changed = 1;
  s->EndSheetAccess(s->self);
  if (app->wait_cursor != nullptr) app->wait_cursor(app, -1);
}

const GageSet& gageset() {
  static const GageSet p;
  return p;
}

namespace {
const RegisterProcedure kRegister{&gageset()};
}  // namespace

}  // namespace ztq

ZTQ_EXPORT int32_t GageSetDialog(int32_t index, HostContext* context, int32_t reuse, int32_t,
                                 int32_t, int32_t) {
  return ztq::guarded_export([&]() -> int32_t {
    ztq::g_pending = ztq::PendingPlan{};
    const int32_t accepted = ztq::lifecycle_dialog(ztq::gageset(), index, context, reuse);
    if (accepted == 0 || index < 0) return accepted;
    return ztq::ask_plan(index, reuse) ? 1 : 0;
  });
}

ZTQ_EXPORT void GageSetSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                             char* out_text, int32_t reuse, int32_t variant) {
  ztq::guarded_void([&] {
    ztq::lifecycle_setup(ztq::gageset(), index, record, window, out_text, reuse, variant);
    if (record != nullptr && ztq::g_pending.given) {
      for (int i = 0; i < 5; ++i) record->option[i] = ztq::g_pending.option[i];
      record->doption[0] = ztq::g_pending.seed;
    }
    ztq::g_pending = ztq::PendingPlan{};
  });
}

namespace {
// A plan whose save form had the re-save box ticked is saved again, unseen,
// each time it is remade.
int32_t saved_again(int32_t index, int32_t begun) {
  const AnalysisRecord* r = ztq::record_at(index);
  if (begun != 0 && r != nullptr && r->option[5] != 0 && r->error_state == 0)
    ztq::gageset().save(index, 1);
  return begun;
}
}  // namespace

ZTQ_EXPORT int32_t GageSetBegin(int32_t index, int32_t) {
  return ztq::guarded_export(
      [&] { return saved_again(index, ztq::lifecycle_begin(ztq::gageset(), index)); });
}

ZTQ_EXPORT int32_t GageSetBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                     HostContext* context, SheetState* sheet_state,
                                     SheetWindow* sheet_window, int32_t variant) {
  return ztq::guarded_export([&] {
    return saved_again(index,
                       ztq::lifecycle_begin_again(ztq::gageset(), index, record, window, context,
                                                  sheet_state, sheet_window, variant));
  });
}

ZTQ_EXPORT int32_t GageSetItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                               ZtGraphDescriptor* descriptor, int32_t) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_item(ztq::gageset(), pane_window, index, pane, descriptor); });
}

// The plan has no options beside its dialog.
ZTQ_EXPORT int32_t GageSetOpts(PaneWindow*, int32_t, int32_t, ZtGraphDescriptor*, int32_t) {
  return ztq::guarded_export([&] {
    ztq::show_information(ztq::Str::kNoPaneOptions);
    return 1;
  });
}

ZTQ_EXPORT void GageSetVsave(int32_t index, int32_t automatic) {
  ztq::guarded_void([&] { ztq::gageset().save(index, automatic); });
}
