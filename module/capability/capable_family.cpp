// The Capable family's procedure: variables, options, computation and panes.
#include "capability/capable_family.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

#include "bridge/analysis.h"
#include "bridge/messages.h"
#include "bridge/procedures.h"
#include "bridge/profile.h"
#include "bridge/variables.h"
#include "capability/capable_graphs.h"
#include "capability/capable_json.h"
#include "capability/capable_panes.h"
#include "capability/capable_steps.h"
#include "capability/capable_test_panes.h"
#include "capability/capable_tests_json.h"
#include "format/options.h"
#include "format/regional.h"

namespace ztq {

namespace {

enum Slot { kData = 0, kUsl = 1, kNominal = 2, kLsl = 3, kSubgroup = 4, kMoreData = 5 };
constexpr const char* kSection = "CAPABLE";
constexpr int kProfileInts[] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 40};
constexpr int kProfileReals[] = {4, 5, 6, 7, 12};

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

// A text that is a plain number (a constant subgroup size such as "5").
bool is_number_text(const std::string& s) {
  const std::string t = strip_expression(s);
  if (t.empty()) return false;
  char* end = nullptr;
  std::strtod(t.c_str(), &end);
  return end != nullptr && *end == '\0';
}

// Parameters an entered set must satisfy: the spread (or rate, shape) above 0,
// and a positive mean for the exponential and lognormal laws.
bool parameters_possible(int code, double p1, double p2) {
  if (!present(p1)) return false;
  switch (code) {
    case 0:
      return p1 > 0;
    case 2:
      return p1 > 0 && present(p2) && p2 > 0;
    case 4:
    case 12:
      return p1 > 0 && present(p2) && p2 > 0;
    default:
      return present(p2) && p2 > 0;
  }
}

std::vector<double> numbers_of(const Analysis& a, int slot) {
  const auto v = a.numbers(slot);
  return {v.begin(), v.end()};
}

CapLimit limit_of(const Analysis& a, int slot) {
  CapLimit l;
  l.given = a.given(slot) && a.loaded(slot);
  if (l.given) {
    const auto v = a.numbers(slot);
    l.value = v.empty() ? kMissing : v[0];
  }
  return l;
}

class Capable final : public Procedure {
 public:
  const char* name() const override { return "capable"; }
  std::string summary() const override {
    return "Process capability: fitted distribution, percentages beyond the limits, indices "
           "with confidence intervals, Pearson-curve percentiles";
  }
  int32_t title_number() const override { return static_cast<int32_t>(Str::kCapTitle); }
  int32_t title_number_of(int32_t variant) const override {
    return static_cast<int32_t>(variant == 1   ? Str::kCapChartTitle1
                                : variant == 2 ? Str::kCapChartTitle2
                                               : Str::kCapTitle);
  }
  int32_t procedure_code(int32_t variant) const override {
    return variant == 1 ? 33906 : variant == 2 ? 33907 : 32876;
  }
  int variant_count() const override { return 3; }
  int32_t error_message(const AnalysisRecord& r) const override {
    return capability_status_message(r.error_state);
  }
  bool results_with_error() const override { return true; }

  const std::vector<VariableRole>& roles() const override {
    static const std::vector<VariableRole> kRoles = {
        {"data", Str::kCapRoleData, 1, true, false},
        {"usl", Str::kCapRoleUsl, 1, false, false},
        {"nominal", Str::kCapRoleNominal, 1, false, false},
        {"lsl", Str::kCapRoleLsl, 1, false, false},
        {"subgroup", Str::kCapRoleSubgroup, 1, false, false},
        {"data2", Str::kCapRoleColumn, 1, false, false},
        {"data3", Str::kCapRoleColumn, 1, false, false},
        {"data4", Str::kCapRoleColumn, 1, false, false}};
    return kRoles;
  }

  void set_defaults(AnalysisRecord& r) const override {
    r.option[0] = 3;
    const int rows[7] = {1, 1, 1, 1, 0, 0, 1};
    for (int k = 0; k < 7; ++k) r.option[3 + k] = rows[k];
    r.option[10] = 0;
    r.option[11] = 0;
    r.option[12] = 1;
    r.option[38] = 0;
    r.option[40] = 1;
    r.option[61] = 6;
    r.doption[0] = 6.0;
    for (int k : {1, 2, 3, 13, 14}) r.doption[k] = kMissing;
    r.doption[4] = r.doption[5] = r.doption[6] = 95.0;
    r.doption[7] = 99.73;
    r.doption[12] = 95.0;
    r.option[19] = 0;
    r.option[35] = 0;
    r.option[21] = 100;
    r.option[36] = 1;
    r.option[39] = 2;
    r.option[15] = 1;
    r.option[16] = 8;
    for (int k : {41, 42, 43, 45}) r.option[k] = 0;
    r.option[44] = 9;
    r.option[27] = 0;  // the capability plot in frequencies
    r.option[37] = 100;
    r.option[29] = 0;  // the probability plot: quantiles across, with the reference line
    r.option[30] = 1;
    r.option[46] = 0;
    r.option[47] = 100;
    r.option[48] = 0;
    r.option[49] = 20;
    r.doption[10] = r.doption[11] = 0;
  }

  void read_profile(AnalysisRecord& r) const override {
    const Profile profile = host_profile();
    for (int k : kProfileInts) read_int_option(profile, kSection, k, r.option);
    for (int k : kProfileReals) read_real_option(profile, kSection, k, r.doption);
    r.option[61] = profile.get_int("Snap", "SignificantDigits", 6);
    r.option[48] = profile.get_int("Snap", "HistogramRule", 0);
    r.option[49] = profile.get_int("Snap", "HistogramClasses", 20);
    r.option[39] = profile.get_int("Page Setup", "Legenddecimals", 2);
    static constexpr std::pair<int, const char*> kSnap[] = {
        {15, "ControlShowRuns"},     {16, "ControlRunLength"},  {41, "ControlOuterWarning"},
        {42, "ControlInnerWarning"}, {43, "ControlSmoother"},   {44, "ControlSpan"},
        {45, "ControlDispersion"},   {46, "ControlPlotRecent"}, {47, "ControlRecentSize"}};
    for (const auto& [k, key] : kSnap) r.option[k] = profile.get_int("Snap", key, r.option[k]);
    for (int k : {29, 30}) read_int_option(profile, "PROBPLOT", k, r.option);
  }
  void write_profile(const AnalysisRecord& r) const override {
    const Profile profile = host_profile();
    for (int k : kProfileInts) write_int_option(profile, kSection, k, r.option);
    for (int k : kProfileReals) write_real_option(profile, kSection, k, r.doption);
    for (int k : {29, 30}) write_int_option(profile, "PROBPLOT", k, r.option);
  }

  void masks(const AnalysisRecord& r, int32_t out[2]) const override {
    const bool chart = r.variant == 1 || r.variant == 2;
    out[0] = chart ? 1 : 83;  // panes 1, 2, 5 and 7 of the analysis
    out[1] = chart ? 1 : 3;   // graph panes 8 and 9; the composite pane
  }

  bool load_variables(Analysis& a) const override {
    for (int slot = 0; slot < static_cast<int>(roles().size()); ++slot) {
      free_slot(a.slot(slot));
      if (!a.given(slot)) continue;
      if (!a.load(slot, slot == kData || slot >= kMoreData || slot == kSubgroup)) return false;
      if (a.is_character(slot)) {
        free_slot(a.slot(slot));
        show_formatted_warning(Str::kCharacterVariable, slot + 1);
        a.record().error_state = static_cast<int32_t>(Str::kErrVariableCheck);
        return false;
      }
    }
    return true;
  }

  void compute(Analysis& a) const override {
    AnalysisRecord& r = a.record();
    CapableState& state = a.results<CapableState>();
    const CapableState previous = std::move(state);
    state = CapableState{};
    r.error_state = 0;
    try {
      settle_parameters(r, previous);
      CapabilityInput in;
      in.variant = r.variant;
      in.columns.push_back(numbers_of(a, kData));
      for (int s = kMoreData; s < static_cast<int>(roles().size()); ++s)
        if (a.given(s) && a.loaded(s)) in.columns.push_back(numbers_of(a, s));
      warn_non_finite(in.columns);
      in.usl = limit_of(a, kUsl);
      in.nominal = limit_of(a, kNominal);
      in.lsl = limit_of(a, kLsl);
      in.subgroup_given = a.given(kSubgroup) && a.loaded(kSubgroup);
      if (in.subgroup_given) {
        in.subgroup = numbers_of(a, kSubgroup);
        // A constant or a one-value column is a fixed size: keep its first value.
        if (is_number_text(r.variables[kSubgroup].expression) || a.slot(kSubgroup).count <= 1) {
          double first = kMissing;
          for (double v : in.subgroup)
            if (present(v)) {
              first = v;
              break;
            }
          in.subgroup.assign(1, first);
        }
      }
      in.distribution = r.option[0];
      in.use_sigma_multiple = r.option[10] != 0;
      in.sigma_multiple = r.doption[0];
      in.keep_parameters = r.option[38] != 0;
      in.entered1 = r.doption[13];
      in.entered2 = r.doption[14];
      in.confidence = r.doption[12];
      if (in.keep_parameters && !parameters_possible(in.distribution, in.entered1, in.entered2)) {
        r.error_state = static_cast<int32_t>(Str::kCapBadParameter);
        state.computed = true;
        state.results.status = r.error_state;
        return;
      }
      state.results = compute_capability(in);
      r.option[1] = in.usl.given ? 1 : 0;
      r.option[2] = in.lsl.given ? 1 : 0;
      r.doption[1] = in.usl.value;
      r.doption[2] = in.lsl.value;
      r.doption[3] = in.nominal.value;
      r.option[13] = static_cast<int32_t>(std::min<int64_t>(state.results.n, INT32_MAX));
      r.error_state = state.results.status;
      if (r.error_state == 0) {
        r.doption[13] = state.results.param[0];
        r.doption[14] = state.results.param[1];
        if (r.variant != 1 && r.variant != 2) {
          state.pearson = pearson_of(state.results);
          capable_tests_and_limits(r, previous, state);
        } else {
          capable_chart_step(r, state);
        }
      }
    } catch (const DomainAbort&) {
      state.results = CapabilityResults{};
      r.error_state = 1;  // a domain error abandoned the computation
    } catch (const std::bad_alloc&) {
      state.results = CapabilityResults{};
      r.error_state = 2;
    }
    state.results.status = r.error_state;
    state.computed = true;
  }

  bool text_pane(const Analysis& a, int pane, std::string& out) const override {
    const CapableState* s = a.results<CapableState>();
    static const CapableState kNone;
    const CapableState& state = s != nullptr ? *s : kNone;
    const CapPaneInfo info = pane_info(a.record());
    if (pane == 1) {
      out = capability_summary_text(state.results, info);
      return true;
    }
    if (a.record().variant == 1 || a.record().variant == 2) return false;
    if (pane == 2) {
      out = capability_indices_text(state.results, info);
      return true;
    }
    if (pane == 3) {
      out = capability_normality_text(state.normality, info);
      return true;
    }
    if (pane == 4) {
      out = capability_fit_text(state.fit, info);
      return true;
    }
    if (pane == 5) {
      out = capability_normal_tolerance_text(state.results, state.tolerance_normal, info);
      return true;
    }
    if (pane == 7) {
      out = capability_free_tolerance_text(state.results, state.tolerance_free, info);
      return true;
    }
    if (pane == 6) {
      // The method reads its table cells anew for the pane.
      const PearsonResults p = info.status == 0 ? pearson_of(state.results) : PearsonResults{};
      out = capability_pearson_text(state.results, p, info);
      return true;
    }
    return false;
  }

  bool graph_pane(const Analysis& a, int pane, GraphBuilder& g) const override {
    // The capability charts draw one composite pane, under number 8.
    const bool chart = a.record().variant == 1 || a.record().variant == 2;
    if (chart ? pane != 8 : pane != 8 && pane != 9) return false;
    const CapableState* s = a.results<CapableState>();
    static const CapableState kNone;
    const CapableState& state = s != nullptr ? *s : kNone;
    const AnalysisRecord& r = a.record();
    CapGraphInfo info;
    info.pane = pane_info(r);
    info.curve_points = r.option[21] > 0 ? r.option[21] : 100;
    info.legend = r.option[36] != 0;
    info.legend_decimals = r.option[39];
    info.percent = r.option[27] != 0;
    info.bar_width = r.option[37];
    info.swap_axes = r.option[29] != 0;
    info.reference = r.option[30] != 0;
    info.recent = r.option[46] != 0 ? std::max(1, r.option[47]) : 0;
    if (!state.sorted.empty()) info.sorted = &state.sorted;
    if (chart)
      capability_composite(state.results, state.fit, state.chart, info, g);
    else if (pane == 8)
      capability_plot(state.results, state.fit, info, g);
    else
      probability_plot(state.results, info, g);
    return true;
  }

  std::vector<PaneInfo> panes() const override {
    return {{1, Str::kCapSummaryTitle}, {2, Str::kCapIndicesTitle},   {3, Str::kCapNormalityTitle},
            {4, Str::kCapGofTitle},     {5, Str::kCapTolNormalTitle}, {6, Str::kCapPearsonTitle},
            {7, Str::kCapTolFreeTitle}, {8, Str::kCapPlotTitle},      {9, Str::kCapProbTitle}};
  }

  std::vector<OptionField> analysis_options(const AnalysisRecord&) const override {
    return capable_options();
  }

  int32_t validate_options(const AnalysisRecord& r) const override {
    if (!is_capability_distribution(r.option[0]))
      return static_cast<int32_t>(Str::kCapBadDistribution);
    if (!(r.doption[0] > 0 && r.doption[0] <= 100))
      return static_cast<int32_t>(Str::kCapBadMultiple);
    // A spread, rate or scale at or below 0 is never possible; a whole set is
    // checked when it is to be kept.
    if (present(r.doption[14]) && r.doption[14] <= 0)
      return static_cast<int32_t>(Str::kCapBadParameter);
    for (int k : {4, 5, 6, 7})
      if (!(r.doption[k] > 0 && r.doption[k] < 100))
        return static_cast<int32_t>(Str::kCapBadPercent);
    if (r.option[49] < 0 || r.option[49] > 1000 || r.option[19] < 0 || r.option[19] > 1000)
      return static_cast<int32_t>(Str::kCapBadClasses);
    if (r.option[38] != 0 && !parameters_possible(r.option[0], r.doption[13], r.doption[14]))
      return static_cast<int32_t>(Str::kCapBadParameter);
    return 0;
  }

  std::string results_json(const Analysis& a) const override {
    const CapableState* s = a.results<CapableState>();
    if (s == nullptr) return {};
    std::string out = capable_results_json(s->results, s->pearson, a.record().variant);
    if (a.record().variant != 1 && a.record().variant != 2)
      out += "," + capable_tests_json(*s);
    else
      out += "," + capable_chart_json(*s, a.record().variant);
    return out;
  }

 private:
  static CapPaneInfo pane_info(const AnalysisRecord& r) {
    CapPaneInfo info;
    info.data_name = r.variables[kData].expression;
    info.status = r.error_state;
    info.digits = r.option[61] >= 1 && r.option[61] <= 15 ? r.option[61] : 6;
    for (int k = 0; k < 7; ++k) info.show[k] = r.option[3 + k] != 0;
    info.label_set = r.option[40] == 0 ? 0 : 1;
    info.sigma_multiple = r.doption[0];
    info.confidence = r.doption[12];
    return info;
  }

  static PearsonResults pearson_of(const CapabilityResults& c) {
    PearsonInput p;
    p.mean = c.mean;
    p.sd = c.sd;
    p.skewness = c.skewness;
    p.kurtosis = c.kurtosis;
    p.usl_given = c.usl_given;
    p.nominal_given = c.nominal_given;
    p.lsl_given = c.lsl_given;
    p.usl = c.usl;
    p.nominal = c.nominal;
    p.lsl = c.lsl;
    return pearson_capability(p, host_program_folder(), regional().decimal);
  }

  // The parameters the next fit keeps: edited ones are kept (option 38 set);
  // a change of distribution with untouched parameters fits anew.
  static void settle_parameters(AnalysisRecord& r, const CapableState& previous) {
    const CapabilityResults& p = previous.results;
    const bool before = previous.computed && p.status == 0;
    // The options form carries 15 significant digits: closer than that is untouched.
    const auto differs = [](double a, double b) {
      if (is_missing(a) || is_missing(b)) return a != b;
      return std::fabs(a - b) > 1e-13 * std::max(std::fabs(a), std::fabs(b));
    };
    const bool edited =
        before && (differs(r.doption[13], p.param[0]) || differs(r.doption[14], p.param[1]));
    if (edited && present(r.doption[13])) {
      r.option[38] = 1;
    } else if (before && p.distribution != r.option[0]) {
      r.option[38] = 0;
    }
    if (r.option[38] == 0) r.doption[13] = r.doption[14] = kMissing;
  }

  static void warn_non_finite(const std::vector<std::vector<double>>& columns) {
    for (const auto& c : columns)
      for (double v : c)
        if (!std::isfinite(v)) {
          show_warning_text(text(Str::kCapNonFinite));
          return;
        }
  }
};

const RegisterProcedure kRegister{&capable_procedure()};

}  // namespace

const Procedure& capable_procedure() {
  static const Capable p;
  return p;
}

}  // namespace ztq
