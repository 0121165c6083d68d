// The Gagerr family: the range-method gage study that the common lifecycle
// drives, and its exports GagerrDialog .. GagerrOpts.
//
// Record layout of the procedure's own options:
//   variables[0] first reading, [1] second reading
//   variant      0, 1, 2: title string bases 2170, 2250, 2266 (numbers alike)
//   doption[0] sigma multiple k     doption[1] tolerance (missing: none)
//   option[0..3] pane slots; option[2], option[3] marks of the readings plot
//   option[6] significant digits    option[22..25] box plot ("BOXPLOT" keys)
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "bridge/export_guard.h"
#include "bridge/json.h"
#include "bridge/lifecycle.h"
#include "bridge/messages.h"
#include "bridge/procedures.h"
#include "bridge/profile.h"
#include "gage/gage_panes.h"
#include "gage/gage_rr_family.h"
#include "gage/gage_strings.h"
#include "stats/guarded.h"
#include "ztqualty_procedures.h"

namespace ztq {

namespace {

std::vector<double> numbers_of(const Analysis& a, int i) {
  const auto v = a.numbers(i);
  return {v.begin(), v.end()};
}

}  // namespace

std::string Gagerr::summary() const {
  return "Gage R&R study, range method: two readings of each part (variants 0, 1, 2)";
}

int32_t Gagerr::title_number_of(int32_t variant) const {
  return variant == 0 ? 2170 : variant == 2 ? 2266 : 2250;
}

// The HostContext code by variant: 0, 1 or 2 (others write nothing).
int32_t Gagerr::procedure_code(int32_t variant) const {
  return variant == 0 ? 32889 : variant == 1 ? 32894 : variant == 2 ? 32895 : 0;
}

const std::vector<VariableRole>& Gagerr::roles() const {
  static const std::vector<VariableRole> kRoles = {
      {"first", static_cast<Str>(46150), 1, true, false},
      {"second", static_cast<Str>(46151), 1, true, false}};
  return kRoles;
}

void Gagerr::set_defaults(AnalysisRecord& r) const {
  r.doption[0] = 5.15;
  r.doption[1] = kMissing;
  r.option[0] = r.option[1] = 0;
  r.option[2] = r.option[3] = 1;
  r.option[6] = 6;
  r.option[22] = 1;
  r.option[23] = 0;
  r.option[24] = 1;
  r.option[25] = 1;
}

void Gagerr::read_profile(AnalysisRecord& r) const {
  const Profile pr = host_profile();
  const int32_t digits = pr.get_int("Snap", "SignificantDigits", 6);
  r.option[6] = digits >= 1 && digits <= 15 ? digits : 6;
  for (int n = 22; n <= 25; ++n)
    r.option[n] = pr.get_int("BOXPLOT", ("option" + std::to_string(n)).c_str(), r.option[n]);
}

void Gagerr::write_profile(const AnalysisRecord& r) const {
  const Profile pr = host_profile();
  for (int n = 22; n <= 25; ++n)
    pr.write_int("BOXPLOT", ("option" + std::to_string(n)).c_str(), r.option[n]);
}

bool Gagerr::load_variables(Analysis& a) const {
  for (int i = 0; i < 2; ++i) {
    if (!a.load(i, true)) return false;
    if (a.is_character(i)) {
      show_formatted_warning(Str::kCharacterVariable, i + 1);
      a.record().error_state = static_cast<int32_t>(Str::kErrVariableCheck);
      return false;
    }
  }
  return true;
}

void Gagerr::compute(Analysis& a) const {
  AnalysisRecord& r = a.record();
  RangeMethodState& s = a.results<RangeMethodState>();
  r.error_state = 0;
  try {
    s.first = numbers_of(a, 0);
    s.second = numbers_of(a, 1);
    s.results = compute_range_method(s.first, s.second, r.doption[0]);
    r.error_state = s.results.error;
  } catch (const std::bad_alloc&) {
    s = RangeMethodState{};
    r.error_state = 2;
  }
}

std::vector<PaneInfo> Gagerr::panes() const {
  return {{1, static_cast<Str>(2251)},
          {8, static_cast<Str>(2258)},
          {9, static_cast<Str>(2259)},
          {10, static_cast<Str>(2260)}};
}

std::vector<OptionField> Gagerr::analysis_options(const AnalysisRecord&) const {
  using S = OptionField::Store;
  return {{"multiple", static_cast<Str>(46159), S::doption, 0, 1e-10, ZTQ_MISSING, ZTQ_FIELD_REAL},
          {"tolerance", static_cast<Str>(gs::kOptTolerance), S::doption, 1, ZTQ_MISSING,
           ZTQ_MISSING, ZTQ_FIELD_REAL}};
}

std::vector<OptionField> Gagerr::pane_options(const AnalysisRecord&, int pane) const {
  using S = OptionField::Store;
  auto t = [](int32_t n) { return static_cast<Str>(n); };
  if (pane == 8)
    return {{"option0", t(46166), S::option, 0, 0, 1, ZTQ_FIELD_INTEGER},
            {"option1", t(46166), S::option, 1, 0, 1, ZTQ_FIELD_INTEGER},
            {"option2", t(46162), S::option, 2, 0, 1, ZTQ_FIELD_INTEGER},
            {"option3", t(46163), S::option, 3, 0, 1, ZTQ_FIELD_INTEGER}};
  if (pane == 10)
    return {{"option22", t(gs::kOptBoxReadings), S::option, 22, 0, 1, ZTQ_FIELD_INTEGER},
            {"option23", t(gs::kOptBoxMedians), S::option, 23, 0, 1, ZTQ_FIELD_INTEGER},
            {"option24", t(gs::kOptBoxFences), S::option, 24, 0, 1, ZTQ_FIELD_INTEGER},
            {"option25", t(gs::kOptBoxMean), S::option, 25, 0, 1, ZTQ_FIELD_INTEGER}};
  return {};
}

int32_t Gagerr::validate_options(const AnalysisRecord& r) const {
  const double v = r.doption[1];
  return !is_missing(v) && !(v >= 1e-9 && v <= 1e6) ? gs::kToleranceRange : 0;
}

std::string Gagerr::results_json(const Analysis& a) const {
  const RangeMethodState* s = a.results<RangeMethodState>();
  if (s == nullptr) return {};
  const RangeMethodResults& r = s->results;
  const AnalysisRecord& rec = a.record();
  JsonObject o;
  o.add_number("n", r.n);
  o.add_number("last_row", r.last_row);
  o.add_number("rbar", r.rbar);
  o.add_number("d2star", r.d2star);
  o.add_number("nu", r.nu);
  o.add_number("sigma_grr", r.sigma_grr);
  o.add_number("variance", r.variance());
  o.add_number("k_multiple", r.k);
  o.add_number("study_variation", r.study_variation());
  o.add_number("percent_tolerance", r.percent_tolerance(rec.doption[1]));
  JsonObject rc;
  rc.add_number("centre", r.rbar);
  rc.add_number("ucl", r.ucl);
  rc.add_number("beyond", r.beyond);
  o.add_raw("range_chart", rc.str());
  if (rec.option[24] == 0) {
    o.add_raw("boxplot", "null");
  } else {
    const BoxCounts b = range_method_box_counts(s->first, s->second);
    JsonObject bo;
    bo.add_number("outside", b.outside);
    bo.add_number("far_outside", b.far_outside);
    o.add_raw("boxplot", bo.str());
  }
  return o.members();
}

const Gagerr& gagerr() {
  static const Gagerr p;
  return p;
}

namespace {
const RegisterProcedure kRegister{&gagerr()};
}  // namespace

}  // namespace ztq

ZTQ_EXPORT int32_t GagerrDialog(int32_t index, HostContext* context, int32_t reuse, int32_t) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_dialog(ztq::gagerr(), index, context, reuse); });
}

ZTQ_EXPORT void GagerrSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                            char* out_text, int32_t reuse, int32_t variant) {
  ztq::guarded_void([&] {
    ztq::lifecycle_setup(ztq::gagerr(), index, record, window, out_text, reuse, variant);
  });
}

ZTQ_EXPORT int32_t GagerrBegin(int32_t index, int32_t) {
  return ztq::guarded_export([&] { return ztq::lifecycle_begin(ztq::gagerr(), index); });
}

ZTQ_EXPORT int32_t GagerrBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                    HostContext* context, SheetState* sheet_state,
                                    SheetWindow* sheet_window, int32_t variant) {
  return ztq::guarded_export([&] {
    return ztq::lifecycle_begin_again(ztq::gagerr(), index, record, window, context, sheet_state,
                                      sheet_window, variant);
  });
}

ZTQ_EXPORT int32_t GagerrItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor, int32_t) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_item(ztq::gagerr(), pane_window, index, pane, descriptor); });
}

ZTQ_EXPORT int32_t GagerrOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor, int32_t) {
  return ztq::guarded_export([&] {
    const int32_t done = ztq::lifecycle_opts(ztq::gagerr(), pane_window, index, pane, descriptor);
    if (AnalysisRecord* r = ztq::record_at(index); done != 0 && r != nullptr && pane == 10)
      ztq::gagerr().write_profile(*r);
    return done;
  });
}
