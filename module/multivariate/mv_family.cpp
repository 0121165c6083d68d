// The T-squared chart family: the procedure that the common lifecycle drives,
// and its exports MvchartDialog .. MvchartExclude.
//
// Record layout of the procedure's own options:
//   variables[0] the p variables, their expressions separated by ';'
//   variables[1] standard means, [2] standard covariance, [3] labels
//   option[2]  listings show the variable values (1) or not (0)
//   option[3]  chart style: 0 joined points, otherwise vertical segments
//   option[10] subgroup size m, always 1 (individual observations)
//   option[33] N behind the standard covariance (0: known exactly)
//   option[39] legend decimals (profile "Page Setup", "Legenddecimals")
//   option[40] analysis-options action: 0 apply the point numbers,
//              1 exclude automatically, 2 include all; applied once, then reset
//   option[41], option[42] point to exclude, to include (1-based; -32768 none)
//   doption[0] alpha in percent
#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/export_guard.h"
#include "bridge/lifecycle.h"
#include "bridge/messages.h"
#include "bridge/module_state.h"
#include "bridge/procedures.h"
#include "bridge/profile.h"
#include "bridge/variables.h"
#include "multivariate/mv_family.h"
#include "multivariate/mv_strings.h"
#include "stats/guarded.h"
#include "ztqualty_procedures.h"

namespace ztq {

namespace {

enum Slot { kData = 0, kMeans = 1, kCovariance = 2, kLabel = 3 };
constexpr int32_t kNone = -32768;  // no point number entered

int32_t& show_values(AnalysisRecord& r) { return r.option[2]; }
int32_t& chart_style(AnalysisRecord& r) { return r.option[3]; }
int32_t& subgroup_size(AnalysisRecord& r) { return r.option[10]; }
int32_t& known_n(AnalysisRecord& r) { return r.option[33]; }
int32_t& legend_decimals(AnalysisRecord& r) { return r.option[39]; }
int32_t& action(AnalysisRecord& r) { return r.option[40]; }
int32_t& exclude_point(AnalysisRecord& r) { return r.option[41]; }
int32_t& include_point(AnalysisRecord& r) { return r.option[42]; }
double& alpha(AnalysisRecord& r) { return r.doption[0]; }

ZtSpread* spread() {
  HostApplication* app = module_state().app;
  return app != nullptr ? app->spread : nullptr;
}

bool refuse_text(AnalysisRecord& r, int position) {
  show_formatted_warning(Str::kCharacterVariable, position);
  r.error_state = static_cast<int32_t>(Str::kErrVariableCheck);
  return false;
}

// Loads one expression into a column of numbers: rows values, the selection
// (when given) blanking rows. False with the error state set on failure.
bool load_column(AnalysisRecord& r, const std::string& expression, int position, bool selected,
                 std::vector<double>& out) {
  VariableSlot slot{};
  const size_t n = std::min(expression.size(), sizeof slot.expression - 1);
  std::memcpy(slot.expression, expression.data(), n);
  slot.expression[n] = '\0';
  const VariableSlot* sel = selected && r.selection.data != nullptr ? &r.selection : nullptr;
  const int32_t error = load_slot(spread(), slot, r.row_count, sel);
  if (error != 0) {
    r.error_state = error;
    return false;
  }
  if (slot.type == 'C') {
    free_slot(slot);
    return refuse_text(r, position);
  }
  const auto* v = static_cast<const double*>(slot.data);
  out.assign(v, v + slot.rows);
  free_slot(slot);
  return true;
}

std::string pad_label(std::string s) {
  for (char& c : s)
    if (c == '\0') c = ' ';
  s.resize(kMvLabelWidth, ' ');
  return s;
}

std::vector<std::string> point_labels(const Analysis& a, int32_t points) {
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(points));
  const bool given = a.given(kLabel) && a.loaded(kLabel);
  const auto numbers = a.numbers(kLabel);
  for (int32_t i = 0; i < points; ++i) {
    std::string s;
    if (given && a.is_character(kLabel)) {
      const std::string_view t = a.text_row(kLabel, i);
      s.assign(t.substr(0, std::min<size_t>(t.size(), kMvLabelWidth)));
    } else if (given && static_cast<size_t>(i) < numbers.size()) {
      s = label_text(numbers[static_cast<size_t>(i)], a.slot(kLabel).type);
    } else {
      s = std::to_string(i + 1);
    }
    out.push_back(pad_label(s));
  }
  return out;
}

// The pending action of the analysis options, applied once to the flags.
void apply_action(Analysis& a, const MvState& s, const MvOptions& o) {
  AnalysisRecord& r = a.record();
  const int32_t points = r.point_count;
  if (action(r) == 1) {
    std::vector<int32_t> flags(r.excluded, r.excluded + points);
    mv_exclude_automatically(s.input, o, flags);
    std::copy(flags.begin(), flags.end(), r.excluded);
  } else {
    if (action(r) == 2) std::fill(r.excluded, r.excluded + points, 0);
    if (exclude_point(r) >= 1 && exclude_point(r) <= points) r.excluded[exclude_point(r) - 1] = 1;
    if (include_point(r) >= 1 && include_point(r) <= points) r.excluded[include_point(r) - 1] = 0;
  }
  action(r) = 0;
  exclude_point(r) = kNone;
  include_point(r) = kNone;
}

class Mvchart final : public Procedure {
 public:
  const char* name() const override { return "mvchart"; }
  std::string summary() const override {
    return "Hotelling T-squared control chart of p variables with its control ellipse";
  }
  int32_t title_number() const override { return static_cast<int32_t>(mvs::kTitle); }
  int32_t procedure_code(int32_t) const override { return 32888; }
  bool has_exclusion() const override { return true; }

  const std::vector<VariableRole>& roles() const override {
    static const std::vector<VariableRole> kRoles = {
        {"data", mvs::kRoleData, 0b1, true, false, true},
        {"means", mvs::kRoleMeans, 0b1, false, false},
        {"covariance", mvs::kRoleCovariance, 0b1, false, false},
        {"label", mvs::kRoleLabel, 0b1, false, true}};
    return kRoles;
  }

  void set_defaults(AnalysisRecord& r) const override {
    r.input_mode = 0;
    alpha(r) = 0.27;
    show_values(r) = 1;
    chart_style(r) = 0;
    subgroup_size(r) = 1;
    known_n(r) = 0;
    legend_decimals(r) = 2;
    action(r) = 0;
    exclude_point(r) = kNone;
    include_point(r) = kNone;
  }

  void read_profile(AnalysisRecord& r) const override {
    legend_decimals(r) = host_profile().get_int("Page Setup", "Legenddecimals", 2);
  }

  void masks(const AnalysisRecord& r, int32_t out[2]) const override {
    out[0] = 0b111;  // text panes 1, 2, 3
    const auto* s = static_cast<const MvState*>(r.results);
    const bool two = s != nullptr ? s->input.p() == 2
                                  : split_variables(r.variables[kData].expression).size() == 2;
    out[1] = two ? 0b111 : 0b011;  // graph panes 8, 9 and, for two variables, 10
  }

  bool load_variables(Analysis& a) const override {
    AnalysisRecord& r = a.record();
    MvState& s = a.results<MvState>();
    s = MvState{};
    s.names = split_variables(r.variables[kData].expression);
    if (s.names.empty()) {
      show_formatted_warning(Str::kRequiredMissing, kData + 1);
      r.error_state = static_cast<int32_t>(Str::kErrVariableCheck);
      return false;
    }
    s.input.columns.resize(s.names.size());
    for (size_t j = 0; j < s.names.size(); ++j)
      if (!load_column(r, s.names[j], kData + 1, true, s.input.columns[j])) return false;
    if (a.given(kMeans)) {
      s.input.means_given = true;
      if (!load_column(r, r.variables[kMeans].expression, kMeans + 1, false, s.input.std_means))
        return false;
    }
    if (a.given(kCovariance)) {
      s.input.covariance_given = true;
      if (!load_column(r, r.variables[kCovariance].expression, kCovariance + 1, false,
                       s.input.std_covariance))
        return false;
    }
    free_slot(a.slot(kLabel));
    if (a.given(kLabel) && !a.load(kLabel, false)) return false;
    const int32_t points = s.input.points();
    // A new number of points clears the flags; a reopened analysis (not yet
    // computed) brings flags sized by its highest excluded point.
    if (r.computed_once != 0 && points != r.point_count) a.ensure_points(0);
    if (!a.ensure_points(points)) {
      r.error_state = 2;
      return false;
    }
    s.labels = point_labels(a, points);
    return true;
  }

  void compute(Analysis& a) const override {
    AnalysisRecord& r = a.record();
    MvState& s = a.results<MvState>();
    r.error_state = 0;
    try {
      subgroup_size(r) = 1;
      MvOptions o;
      o.alpha_percent = alpha(r);
      o.known_n = known_n(r);
      apply_action(a, s, o);
      s.results = compute_mv(
          s.input, o, {r.excluded, static_cast<size_t>(r.excluded != nullptr ? r.point_count : 0)});
      r.error_state = s.results.error;
    } catch (const std::bad_alloc&) {
      s.results = MvResults{};
      r.error_state = 2;
    }
  }

  bool text_pane(const Analysis& a, int pane, std::string& out) const override {
    if (pane < 1 || pane > 3) return false;
    const MvView v = view(a);
    out = pane == 1 ? mv_summary_text(v) : mv_listing_text(v, pane == 2);
    return true;
  }

  bool graph_pane(const Analysis& a, int pane, GraphBuilder& g) const override {
    const MvView v = view(a);
    switch (pane) {
      case 8:
        mv_t2_chart(v, g);
        return true;
      case 9:
        mv_star_key(v, g);
        return true;
      case 10:
        mv_ellipse(v, g);
        return true;
      default:
        return false;
    }
  }

  std::vector<PaneInfo> panes() const override {
    return {{1, mvs::kSummaryTitle}, {2, mvs::kPaneByLabel}, {3, mvs::kPaneByNumber},
            {8, mvs::kChartTitle},   {9, mvs::kPaneStarKey}, {10, mvs::kPaneEllipse}};
  }

  std::vector<OptionField> analysis_options(const AnalysisRecord&) const override {
    using S = OptionField::Store;
    return {{"doption0", mvs::kOptAlpha, S::doption, 0, kMvAlphaMin, kMvAlphaMax, ZTQ_FIELD_REAL},
            {"option33", mvs::kOptKnownN, S::option, 33, 0, 1e9, ZTQ_FIELD_INTEGER},
            {"action", mvs::kOptAction, S::option, 40, 0, 2, ZTQ_FIELD_CHOICE},
            {"exclude_point", mvs::kOptExcludePoint, S::option, 41, ZTQ_MISSING, ZTQ_MISSING,
             ZTQ_FIELD_INTEGER},
            {"include_point", mvs::kOptIncludePoint, S::option, 42, ZTQ_MISSING, ZTQ_MISSING,
             ZTQ_FIELD_INTEGER}};
  }

  std::vector<OptionField> pane_options(const AnalysisRecord&, int pane) const override {
    using S = OptionField::Store;
    if (pane == 2 || pane == 3)
      return {{"option2", mvs::kOptShowValues, S::option, 2, 0, 1, ZTQ_FIELD_CHOICE}};
    if (pane == 8)
      return {{"option3", mvs::kOptChartStyle, S::option, 3, 0, 1, ZTQ_FIELD_CHOICE},
              {"option39", mvs::kOptLegendDecimals, S::option, 39, 0, 9, ZTQ_FIELD_INTEGER}};
    return {};
  }

  std::vector<int> panes_sharing_options(int pane) const override {
    if (pane == 2 || pane == 3) return {2, 3};
    return {pane};
  }

  int32_t validate_options(const AnalysisRecord& r) const override {
    if (!(r.doption[0] >= kMvAlphaMin && r.doption[0] <= kMvAlphaMax)) return kMvBadAlpha;
    const auto p = static_cast<int32_t>(split_variables(r.variables[kData].expression).size());
    const int32_t n = r.option[33];
    const bool covariance = r.variables[kCovariance].expression[0] != '\0';
    if (n < 0 || (covariance && n != 0 && n <= p)) return kMvBadKnownN;
    return 0;
  }

  std::vector<SavedSeries> saved_series(const Analysis& a) const override {
    const MvState* s = a.results<MvState>();
    if (s == nullptr) return {};
    return mv_saved_series(s->results);
  }

  std::string results_json(const Analysis& a) const override {
    const MvState* s = a.results<MvState>();
    return s != nullptr ? mv_results_json(*s) : std::string();
  }

 private:
  MvView view(const Analysis& a) const {
    const AnalysisRecord& r = a.record();
    MvView v;
    v.state = a.results<MvState>();
    v.error_state = r.error_state;
    v.error_message = r.error_state != 0 ? error_message(r) : 0;
    v.alpha_percent = r.doption[0];
    v.known_n = r.option[33];
    v.show_values = r.option[2] != 0;
    v.chart_style = r.option[3];
    v.legend_decimals = std::clamp(r.option[39], 0, 9);
    return v;
  }
};

const Mvchart& mvchart() {
  static const Mvchart p;
  return p;
}

const RegisterProcedure kRegister{&mvchart()};

}  // namespace

}  // namespace ztq

ZTQ_EXPORT int32_t MvchartDialog(int32_t index, HostContext* context, int32_t reuse, int32_t,
                                 int32_t) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_dialog(ztq::mvchart(), index, context, reuse); });
}

ZTQ_EXPORT void MvchartSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                             char* out_text, int32_t reuse) {
  ztq::guarded_void(
      [&] { ztq::lifecycle_setup(ztq::mvchart(), index, record, window, out_text, reuse, 0); });
}

ZTQ_EXPORT int32_t MvchartBegin(int32_t index, int32_t) {
  return ztq::guarded_export([&] { return ztq::lifecycle_begin(ztq::mvchart(), index); });
}

ZTQ_EXPORT int32_t MvchartBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                     HostContext* context, SheetState* sheet_state,
                                     SheetWindow* sheet_window) {
  return ztq::guarded_export([&] {
    return ztq::lifecycle_begin_again(ztq::mvchart(), index, record, window, context, sheet_state,
                                      sheet_window, 0);
  });
}

ZTQ_EXPORT int32_t MvchartItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                               ZtGraphDescriptor* descriptor) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_item(ztq::mvchart(), pane_window, index, pane, descriptor); });
}

ZTQ_EXPORT int32_t MvchartOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                               ZtGraphDescriptor* descriptor) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_opts(ztq::mvchart(), pane_window, index, pane, descriptor); });
}

ZTQ_EXPORT void MvchartVsave(int32_t index, int32_t automatic) {
  ztq::guarded_void([&] { ztq::lifecycle_vsave(ztq::mvchart(), index, automatic); });
}

ZTQ_EXPORT int32_t MvchartExclude(int32_t index, int32_t point) {
  return ztq::guarded_export([&] { return ztq::lifecycle_exclude(ztq::mvchart(), index, point); });
}
