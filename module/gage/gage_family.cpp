// The Gagelong family: the long-form gage R&R study that the common lifecycle
// drives, and its exports GagelongDialog .. GagelongOpts.
//
// Record layout of the procedure's own options:
//   variables[0] appraiser, [1] part, [2] trial, [3] measurement
//   variant      2 average and range, 3 ANOVA, 4 one-page report
//   doption[0] sigma multiple k     doption[1] tolerance (missing: none)
//   doption[2] reference spread     doption[3] confidence level, percent
//   option[2], option[3] extra series of the appraiser-by-part plot
//   option[4] interaction term      option[5] GageMethod (variant 4)
//   option[6] significant digits    option[22..25] box plot ("BOXPLOT" keys)
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/export_guard.h"
#include "bridge/lifecycle.h"
#include "bridge/messages.h"
#include "bridge/procedures.h"
#include "bridge/profile.h"
#include "bridge/variables.h"
#include "gage/gage_family.h"
#include "gage/gage_strings.h"
#include "stats/guarded.h"
#include "ztqualty_procedures.h"

namespace ztq {

namespace {

enum Slot { kAppraiser = 0, kPart = 1, kTrial = 2, kMeasure = 3 };
constexpr double kDefaultK = 5.15;

// A profile text read strictly as a number; fallback when it is not one.
double profile_number(const Profile& pr, const char* section, const char* key, double fallback) {
  const std::string s = pr.get_string(section, key, "");
  if (s.empty()) return fallback;
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  while (end != nullptr && *end == ' ') ++end;
  if (end == s.c_str() || (end != nullptr && *end != '\0') || !std::isfinite(v)) return fallback;
  return v;
}

GageColumn column_of(const Analysis& a, int i) {
  GageColumn c;
  if (!a.loaded(i)) return c;
  if (a.is_character(i)) {
    c.character = true;
    c.texts.reserve(static_cast<size_t>(a.slot(i).rows));
    for (int row = 0; row < a.slot(i).rows; ++row) c.texts.emplace_back(a.text_row(i, row));
  } else {
    const auto v = a.numbers(i);
    c.numbers.assign(v.begin(), v.end());
  }
  return c;
}

std::string trim(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  s.erase(0, s.find_first_not_of(' '));
  return s;
}

}  // namespace

GageOptions gage_options_of(const AnalysisRecord& r) {
  GageOptions o;
  o.variant = r.variant;
  o.method_option = r.option[5];
  o.interaction = r.option[4] != 0;
  o.k = r.doption[0];
  o.tolerance = r.doption[1];
  o.reference = r.doption[2];
  o.confidence = r.doption[3];
  return o;
}

GageView gage_view_of(const Analysis& a) {
  const AnalysisRecord& r = a.record();
  const GageState* s = a.results<GageState>();
  GageView v;
  v.r = s != nullptr ? &s->results : nullptr;
  v.error = r.error_state;
  v.variant = r.variant;
  const Profile pr = host_profile();
  v.appraisers = pr.get_string("Snap", "Appraisers", gs::str(gs::kAppraisers));
  v.parts = pr.get_string("Snap", "Parts", gs::str(gs::kParts));
  v.trials = pr.get_string("Snap", "Trials", gs::str(gs::kTrials));
  for (int i = 0; i < 4; ++i) v.columns[i] = trim(r.variables[i].expression);
  v.digits = r.option[6] >= 1 && r.option[6] <= 15 ? r.option[6] : 6;
  v.tolerance = r.doption[1];
  v.reference = r.doption[2];
  v.confidence = r.doption[3];
  v.average_mark = r.option[2] != 0;
  v.average_line = r.option[3] != 0;
  v.box_readings = r.option[22] != 0;
  v.box_medians = r.option[23] != 0;
  v.box_fences = r.option[24] != 0;
  v.box_mean = r.option[25] != 0;
  return v;
}

const char* Gagelong::name() const { return "gagelong"; }
std::string Gagelong::summary() const {
  return "Gage R&R study, long form: average and range (variant 2), ANOVA (3), one-page "
         "report (4)";
}
int32_t Gagelong::title_number() const { return gs::kTitleAverageRange; }
int32_t Gagelong::title_number_of(int32_t variant) const {
  return variant == 3 ? gs::kTitleAnova : variant == 4 ? gs::kTitleReport : gs::kTitleAverageRange;
}
// The HostContext code of the family by variant: 2, 4 or other.
int32_t Gagelong::procedure_code(int32_t variant) const {
  return variant == 2 ? 32895 : variant == 4 ? 33908 : 32896;
}

const std::vector<VariableRole>& Gagelong::roles() const {
  static const std::vector<VariableRole> kRoles = {
      {"appraiser", static_cast<Str>(gs::kRoleAppraiser), 1, true, true},
      {"part", static_cast<Str>(gs::kRolePart), 1, true, true},
      {"trial", static_cast<Str>(gs::kRoleTrial), 1, true, true},
      {"measurement", static_cast<Str>(gs::kRoleMeasurement), 1, true, false}};
  return kRoles;
}

void Gagelong::set_defaults(AnalysisRecord& r) const {
  r.doption[0] = kDefaultK;
  r.doption[1] = kMissing;
  r.doption[2] = kMissing;
  r.doption[3] = 95.0;
  r.option[0] = r.option[1] = 0;
  r.option[2] = r.option[3] = 1;
  r.option[4] = 0;
  r.option[5] = 0;
  r.option[6] = 6;
  r.option[22] = 1;
  r.option[23] = 0;
  r.option[24] = 1;
  r.option[25] = 1;
}

void Gagelong::read_profile(AnalysisRecord& r) const {
  const Profile pr = host_profile();
  const double k = profile_number(pr, "Snap", "GageMultiple", kDefaultK);
  r.doption[0] = k >= 1e-10 && k <= 20.0 ? k : kDefaultK;  // a value out of range: the default
  const double method = profile_number(pr, "Snap", "GageMethod", 0);
  r.option[5] =
      method == std::floor(method) && std::fabs(method) < 1e9 ? static_cast<int>(method) : 0;
  r.option[4] = r.option[5] == 1 ? 1 : 0;
  read_box_profile(r);
}

void Gagelong::read_box_profile(AnalysisRecord& r) {
  const Profile pr = host_profile();
  const int32_t digits = pr.get_int("Snap", "SignificantDigits", 6);
  r.option[6] = digits >= 1 && digits <= 15 ? digits : 6;
  for (int n = 22; n <= 25; ++n)
    r.option[n] = pr.get_int("BOXPLOT", ("option" + std::to_string(n)).c_str(), r.option[n]);
}

void Gagelong::write_profile(const AnalysisRecord& r) const {
  const Profile pr = host_profile();
  for (int n = 22; n <= 25; ++n)
    pr.write_int("BOXPLOT", ("option" + std::to_string(n)).c_str(), r.option[n]);
}

void Gagelong::masks(const AnalysisRecord& r, int32_t out[2]) const {
  if (r.variant == 3) {
    out[0] = 3;
    out[1] = 3;
  } else if (r.variant == 4) {
    out[0] = 1;
    out[1] = 0;
  } else {
    out[0] = 1;
    out[1] = 15;
  }
}

bool Gagelong::load_variables(Analysis& a) const {
  for (int i = kAppraiser; i <= kMeasure; ++i)
    if (!a.load(i, true)) return false;
  if (a.is_character(kMeasure)) {
    show_formatted_warning(Str::kCharacterVariable, kMeasure + 1);
    a.record().error_state = static_cast<int32_t>(Str::kErrVariableCheck);
    return false;
  }
  return true;
}

void Gagelong::compute(Analysis& a) const {
  AnalysisRecord& r = a.record();
  GageState& state = a.results<GageState>();
  r.error_state = 0;
  try {
    GageInput in;
    in.appraiser = column_of(a, kAppraiser);
    in.part = column_of(a, kPart);
    in.trial = column_of(a, kTrial);
    const auto m = a.numbers(kMeasure);
    in.measurement.assign(m.begin(), m.end());
    state.results = compute_gage(in, gage_options_of(r));
    r.error_state = state.results.error;
  } catch (const std::bad_alloc&) {
    state.results = GageResults{};
    r.error_state = 2;
  }
}

std::vector<PaneInfo> Gagelong::panes() const {
  auto t = [](int32_t n) { return static_cast<Str>(n); };
  return {{1, t(2267)},  {2, t(2268)},  {3, t(2349)},  {8, t(2274)}, {9, t(2275)},
          {10, t(2276)}, {11, t(2277)}, {12, t(2278)}, {13, t(2279)}};
}

std::vector<OptionField> Gagelong::analysis_options(const AnalysisRecord&) const {
  using S = OptionField::Store;
  auto t = [](int32_t n) { return static_cast<Str>(n); };
  return {
      {"multiple", t(gs::kOptMultiple), S::doption, 0, 1e-10, 20.0, ZTQ_FIELD_REAL},
      {"tolerance", t(gs::kOptTolerance), S::doption, 1, ZTQ_MISSING, ZTQ_MISSING, ZTQ_FIELD_REAL},
      {"reference", t(gs::kOptReference), S::doption, 2, ZTQ_MISSING, ZTQ_MISSING, ZTQ_FIELD_REAL},
      {"confidence", t(gs::kOptConfidence), S::doption, 3, 0.0, 99.9999, ZTQ_FIELD_REAL},
      {"method", t(gs::kOptMethod), S::option, 5, ZTQ_MISSING, ZTQ_MISSING, ZTQ_FIELD_INTEGER},
      {"option4", t(gs::kOptInteraction), S::option, 4, 0, 1, ZTQ_FIELD_INTEGER, "interaction"}};
}

std::vector<OptionField> Gagelong::pane_options(const AnalysisRecord& r, int pane) const {
  using S = OptionField::Store;
  auto t = [](int32_t n) { return static_cast<Str>(n); };
  if (r.variant == 4) return {};
  if (pane == 8)
    return {{"option2", t(gs::kOptAverageMark), S::option, 2, 0, 1, ZTQ_FIELD_INTEGER},
            {"option3", t(gs::kOptAverageLine), S::option, 3, 0, 1, ZTQ_FIELD_INTEGER}};
  if (pane == 2 && r.variant == 3)
    return {{"option4", t(gs::kOptInteraction), S::option, 4, 0, 1, ZTQ_FIELD_INTEGER}};
  const int box = r.variant == 3 ? 9 : 11;
  if (pane == box)
    return {{"option22", t(gs::kOptBoxReadings), S::option, 22, 0, 1, ZTQ_FIELD_INTEGER},
            {"option23", t(gs::kOptBoxMedians), S::option, 23, 0, 1, ZTQ_FIELD_INTEGER},
            {"option24", t(gs::kOptBoxFences), S::option, 24, 0, 1, ZTQ_FIELD_INTEGER},
            {"option25", t(gs::kOptBoxMean), S::option, 25, 0, 1, ZTQ_FIELD_INTEGER}};
  return {};
}

// Tolerance and reference spread: empty (missing), or 1e-9 to 1e6.
int32_t Gagelong::validate_options(const AnalysisRecord& r) const {
  for (double v : {r.doption[1], r.doption[2]})
    if (!is_missing(v) && !(v >= 1e-9 && v <= 1e6)) return gs::kToleranceRange;
  return 0;
}

bool Gagelong::text_pane(const Analysis& a, int pane, std::string& out) const {
  const GageView v = gage_view_of(a);
  if (v.variant == 4) {
    out = gage_report_text(v);
    return true;
  }
  const bool anova = v.variant == 3;
  if (pane == 1)
    out = gage_summary_text(v);
  else if (pane == 2)
    out = anova ? gage_anova_text(v) : gage_rr_text(v);
  else if (pane == 3 && anova)
    out = gage_rr_text(v);
  else
    return false;
  return true;
}

bool Gagelong::graph_pane(const Analysis& a, int pane, GraphBuilder& g) const {
  const GageView v = gage_view_of(a);
  if (v.variant == 4) {
    gage_report_graph(v, g);
    return true;
  }
  using G = GageGraph;
  static const G kVariant2[] = {G::appraiser_part, G::range_by_appraiser, G::range_by_part, G::box,
                                G::deviation,      G::measurement};
  static const G kVariant3[] = {G::appraiser_part, G::box, G::deviation, G::measurement};
  const int i = pane - 8;
  if (v.variant == 3) {
    if (i < 0 || i >= 4) return false;
    gage_graph(v, kVariant3[i], g);
  } else {
    if (i < 0 || i >= 6) return false;
    gage_graph(v, kVariant2[i], g);
  }
  return true;
}

const Gagelong& gagelong() {
  static const Gagelong p;
  return p;
}

namespace {
const RegisterProcedure kRegister{&gagelong()};
}  // namespace

}  // namespace ztq

ZTQ_EXPORT int32_t GagelongDialog(int32_t index, HostContext* context, int32_t reuse, int32_t) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_dialog(ztq::gagelong(), index, context, reuse); });
}

ZTQ_EXPORT void GagelongSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                              char* out_text, int32_t reuse, int32_t variant) {
  ztq::guarded_void([&] {
    ztq::lifecycle_setup(ztq::gagelong(), index, record, window, out_text, reuse, variant);
  });
}

ZTQ_EXPORT int32_t GagelongBegin(int32_t index, int32_t) {
  return ztq::guarded_export([&] { return ztq::lifecycle_begin(ztq::gagelong(), index); });
}

ZTQ_EXPORT int32_t GagelongBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                      HostContext* context, SheetState* sheet_state,
                                      SheetWindow* sheet_window, int32_t variant) {
  return ztq::guarded_export([&] {
    return ztq::lifecycle_begin_again(ztq::gagelong(), index, record, window, context, sheet_state,
                                      sheet_window, variant);
  });
}

ZTQ_EXPORT int32_t GagelongItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                                ZtGraphDescriptor* descriptor, int32_t) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_item(ztq::gagelong(), pane_window, index, pane, descriptor); });
}

// Every options call first re-reads the digits and the "BOXPLOT" keys.
ZTQ_EXPORT int32_t GagelongOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                                ZtGraphDescriptor* descriptor, int32_t) {
  return ztq::guarded_export([&] {
    AnalysisRecord* r = ztq::record_at(index);
    if (r != nullptr) ztq::Gagelong::read_box_profile(*r);
    const int32_t done = ztq::lifecycle_opts(ztq::gagelong(), pane_window, index, pane, descriptor);
    // The box plot's options are remembered for every later study.
    if (done != 0 && r != nullptr && pane == (r->variant == 3 ? 9 : 11))
      ztq::gagelong().write_profile(*r);
    return done;
  });
}
