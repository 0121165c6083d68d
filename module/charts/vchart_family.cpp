// The control-chart family: the procedure that the common lifecycle drives
// for every chart-type code, and its exports VchartDialog .. VchartExclude,
// IndividDialog, AchartDialog and AchartOpts.
//
// Record layout:
//   variables[0] data, [1] subgroup, [2] size, [3] dispersion (roles below)
//   option[], doption[]  the numbered chart options (ChartOptions); a double
//                        option of -32768 is missing (the forms take numbers
//                        only, so -32768 is how a user clears a value)
//   option[9]            the listing's pane option: which points T2 lists
//   variant              the chart-type code (set by Setup and Begin)
//   excluded             one flag per point, kept across recomputations
// The results (ChartResults and the point labels) are module-owned.
#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/export_guard.h"
#include "bridge/lifecycle.h"
#include "bridge/messages.h"
#include "bridge/procedures.h"
#include "charts/chart_kind.h"
#include "charts/engine.h"
#include "charts/vchart_family.h"
#include "charts/vchart_json.h"
#include "format/options.h"
#include "ztqualty_procedures.h"

namespace ztq {

namespace {

enum Slot { kData = 0, kSubgroup = 1, kSize = 2, kDispersion = 3, kLabel = 4, kMoreData = 5 };
constexpr int kMaxDataColumns = 25;  // the wide layout: data, data2, ..., data25

// The code written into the HostContext's slot: a base plus the chart type.
constexpr int32_t kProcedureCodeBase = 32800;

std::string trimmed(std::string_view s) {
  const std::size_t e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

// A loaded numeric slot's rows, read in place; empty when not given.
std::span<const double> numbers_of(const Analysis& a, int i) { return a.numbers(i); }

// Several data columns (data, data2, ...): the data are rebuilt row by row,
// row 1 column 1, row 1 column 2, ..., and each row is one subgroup.
void gather_wide(const Analysis& a, VchartColumns& c) {
  std::vector<std::span<const double>> columns = {c.data};
  for (int slot = kMoreData; slot < kMoreData + kMaxDataColumns - 1; ++slot)
    if (a.given(slot) && a.loaded(slot)) columns.push_back(numbers_of(a, slot));
  if (columns.size() < 2) return;
  std::size_t rows = 0;
  for (const auto& col : columns) rows = std::max(rows, col.size());
  c.gathered.assign(rows * columns.size(), kMissing);
  for (std::size_t row = 0; row < rows; ++row)
    for (std::size_t k = 0; k < columns.size(); ++k)
      if (row < columns[k].size()) c.gathered[row * columns.size() + k] = columns[k][row];
  c.data = c.gathered;
  c.wide_columns = static_cast<int>(columns.size());
}

bool load_numeric(Analysis& a, int slot) {
  if (!a.given(slot)) return true;
  if (!a.load(slot, true)) return false;
  if (a.is_character(slot)) {
    show_formatted_warning(Str::kCharacterVariable, slot + 1);
    a.record().error_state = static_cast<int32_t>(Str::kErrVariableCheck);
    return false;
  }
  return true;
}

}  // namespace

ChartOptions chart_options_of(const AnalysisRecord& r) {
  ChartOptions o;
  for (int k = 0; k < ChartOptions::kIntCount; ++k) o.option[k] = r.option[k];
  for (int k = 0; k < ChartOptions::kDoubleCount; ++k) o.doption[k] = r.doption[k];
  return o;
}

void store_chart_options(const ChartOptions& o, AnalysisRecord& r) {
  for (int k = 0; k < ChartOptions::kIntCount; ++k) r.option[k] = o.option[k];
  for (int k = 0; k < ChartOptions::kDoubleCount; ++k) r.doption[k] = o.doption[k];
}

const char* Vchart::name() const { return "vchart"; }

std::string Vchart::summary() const {
  return "Control charts: variables, individuals, attribute, smoothed, cumulative-sum, model, "
         "trend and acceptance charts (--chart CODE 0 to 21)";
}

int32_t Vchart::title_number() const { return static_cast<int32_t>(Str::kVcTitle); }

int32_t Vchart::procedure_code(int32_t variant) const { return kProcedureCodeBase + variant; }

const std::vector<VariableRole>& Vchart::roles() const {
  // data2 ... data25: the further columns of a wide layout, one subgroup a row.
  static const std::vector<std::string> kMoreNames = [] {
    std::vector<std::string> names;
    for (int k = 2; k <= kMaxDataColumns; ++k) names.push_back("data" + std::to_string(k));
    return names;
  }();
  static const std::vector<VariableRole> kRoles = [] {
    std::vector<VariableRole> roles = {{"data", Str::kVcRoleData, 1u, true, false},
                                       {"subgroup", Str::kVcRoleSubgroup, 1u, false, true},
                                       {"size", Str::kVcRoleSize, 1u, false, false},
                                       {"dispersion", Str::kVcRoleDispersion, 1u, false, false},
                                       {"label", Str::kVcRoleLabel, 1u, false, true}};
    for (const std::string& n : kMoreNames)
      roles.push_back({n.c_str(), Str::kVcRoleDataMore, 1u, false, false});
    return roles;
  }();
  return kRoles;
}

void Vchart::set_defaults(AnalysisRecord& r) const {
  ChartOptions o = default_chart_options();
  // The capability pane shows Cp, Cpk, CPU and CPL unless switched off.
  for (int k = 24; k <= 27; ++k) o.option[k] = 1;
  store_chart_options(o, r);
}

void Vchart::read_profile(AnalysisRecord& r) const {
  const Profile profile = host_profile();
  for (int k : kChartProfileIntOptions) read_int_option(profile, kChartProfileSection, k, r.option);
  for (int k : kChartProfileDoubleOptions)
    read_real_option(profile, kChartProfileSection, k, r.doption);
}

void Vchart::write_profile(const AnalysisRecord& r) const {
  const Profile profile = host_profile();
  for (int k : kChartProfileIntOptions)
    write_int_option(profile, kChartProfileSection, k, r.option);
  for (int k : kChartProfileDoubleOptions)
    write_real_option(profile, kChartProfileSection, k, r.doption);
}

void Vchart::masks(const AnalysisRecord& r, int32_t out[2]) const { vchart_masks(r.variant, out); }

bool Vchart::load_variables(Analysis& a) const {
  // Results of an earlier Begin go before the columns they read are reloaded.
  a.results<VchartState>() = VchartState{};
  for (int slot : {kData, kSize, kDispersion})
    if (!load_numeric(a, slot)) return false;
  for (int slot = kMoreData; slot < kMoreData + kMaxDataColumns - 1; ++slot)
    if (!load_numeric(a, slot)) return false;
  if (a.given(kSubgroup) && !a.load(kSubgroup, true)) return false;
  if (a.given(kLabel) && !a.load(kLabel, true)) return false;
  return true;
}

void Vchart::compute(Analysis& a) const {
  AnalysisRecord& r = a.record();
  VchartState& state = a.results<VchartState>();
  state = VchartState{};
  r.error_state = 0;
  const int code = r.variant;
  ChartTraits traits;
  if (!chart_traits(code, &traits)) {
    r.error_state = static_cast<int32_t>(Str::kErrNoValidData);
    return;
  }
  VchartColumns c;
  c.data = numbers_of(a, kData);
  gather_wide(a, c);
  c.subgroup_given = a.given(kSubgroup) && a.loaded(kSubgroup);
  if (c.subgroup_given && a.is_character(kSubgroup)) {
    c.subgroup_text = true;
    for (int row = 0; row < a.slot(kSubgroup).rows; ++row)
      c.subgroup_labels.push_back(trimmed(a.text_row(kSubgroup, row)));
  } else if (c.subgroup_given) {
    c.subgroup = numbers_of(a, kSubgroup);
    c.subgroup_type = static_cast<char>(a.slot(kSubgroup).type);
  }
  if (a.given(kLabel) && a.loaded(kLabel)) {
    const int rows = a.slot(kLabel).rows;
    if (a.is_character(kLabel)) {
      for (int row = 0; row < rows; ++row) c.row_labels.push_back(trimmed(a.text_row(kLabel, row)));
    } else {
      c.row_label_values = a.numbers(kLabel);  // formatted when shown
      c.row_label_type = static_cast<char>(a.slot(kLabel).type);
    }
  }
  c.size_given = a.given(kSize) && a.loaded(kSize);
  if (c.size_given) c.size = numbers_of(a, kSize);
  c.dispersion_given = a.given(kDispersion) && a.loaded(kDispersion);
  if (c.dispersion_given) c.dispersion = numbers_of(a, kDispersion);

  const ChartOptions options = chart_options_of(r);
  VchartData data = vchart_data(code, options.statistics_entered(), c);
  if (data.missing_role != 0) {
    r.error_state = static_cast<int32_t>(Str::kErrVariableCheck);
    state.missing_role = data.missing_role;
    show_formatted_warning(Str::kRequiredMissing, data.missing_role);
    return;
  }
  const auto points = static_cast<int32_t>(data.input.statistic().size());
  if (!a.ensure_points(points)) {
    r.error_state = 2;  // the exclusion flags could not be allocated
    return;
  }
  for (int32_t i = 0; i < points; ++i) {  // none excluded: no flags (they read as 0)
    if (!a.excluded(i)) continue;
    data.input.excluded.resize(static_cast<std::size_t>(points), 0);
    data.input.excluded[static_cast<std::size_t>(i)] = 1;
  }
  // The loaded data column lives until the columns are loaded again, which
  // resets these results first: the statistic may read it in place.
  data.input.observations_outlive_results =
      !data.input.observations.empty() &&
      data.input.observations.data() == numbers_of(a, kData).data();
  state.results = compute_chart(std::move(data.input), options);  // its observations: a view
  state.labels = std::move(data.labels);
  // The histogram shows the observations of the included points only.
  const std::span<const double> x = data.input.observations;
  // Rows of a subgroup left out, or of no subgroup, are out: marked row by row
  // only when there are such rows.
  std::size_t grouped = 0;
  bool group_out = false;
  for (std::size_t g = 0; g < data.groups.size(); ++g) {
    grouped += data.groups[g].rows;
    group_out = group_out || a.excluded(static_cast<int32_t>(g));
  }
  const bool every_row = data.row_is_point || (!group_out && grouped == x.size());
  std::vector<char> in_kept_group(every_row ? 0 : x.size(), 0);
  for (std::size_t g = 0; g < data.groups.size() && !every_row; ++g) {
    const Subgroup& s = data.groups[g];
    for (std::size_t row = s.first_row; row < s.first_row + s.rows && row < x.size(); ++row)
      in_kept_group[row] = !a.excluded(static_cast<int32_t>(g));
  }
  const auto kept = [&](std::size_t row) {
    if (data.row_is_point) return !a.excluded(static_cast<int32_t>(row));
    return every_row || in_kept_group[row] != 0;
  };
  std::size_t count = 0;
  for (std::size_t row = 0; row < x.size(); ++row) count += kept(row) ? 1 : 0;
  if (count == x.size() && x.data() == numbers_of(a, kData).data()) {
    state.observations = x;  // all of them, the loaded column itself: no copy
  } else {
    if (count == x.size() && x.data() == c.gathered.data()) {
      state.kept = std::move(c.gathered);  // all of them, rebuilt from several columns
    } else {
      state.kept.reserve(count);
      for (std::size_t row = 0; row < x.size(); ++row)
        if (kept(row)) state.kept.push_back(x[row]);
    }
    state.observations = state.kept;
  }
  r.error_state = state.results.error;
  if (r.error_state == 0 && state.results.used == 0) r.error_state = 3;  // no usable point
  // Acceptance limits come from the specification limits: say so when there are none.
  if (r.error_state == 0 && traits.kind == ChartKind::acceptance &&
      is_missing(state.results.limits.ucl1) && is_missing(state.results.limits.lcl1))
    show_information(Str::kGrNoSpecLimits);
}

bool Vchart::text_pane(const Analysis& a, int pane, std::string& text) const {
  const VchartState* s = a.results<VchartState>();
  static const VchartState kNone;
  const VchartState& state = s != nullptr ? *s : kNone;
  const AnalysisRecord& r = a.record();
  const ChartOptions options = chart_options_of(r);
  VchartView v = view_of(a, options);
  switch (vchart_pane_of(r.variant, pane)) {
    case VchartPane::S:
      v.counts = &state.counts();  // the sentences read the same counts
      text = vchart_summary_text(state.results, v);
      return true;
    case VchartPane::T2:
      text = vchart_listing_text(state.results, v);
      return true;
    case VchartPane::T2z:
      text = vchart_sums_text(state.results, v);
      return true;
    case VchartPane::T3:
      text = vchart_rules_text(state.results, v);
      return true;
    case VchartPane::T4:
      text = vchart_capability_text(state.results, v);
      return true;
    default:
      return false;
  }
}

bool Vchart::graph_pane(const Analysis& a, int pane, GraphBuilder& g) const {
  const VchartState* s = a.results<VchartState>();
  if (s == nullptr) return false;
  const ChartOptions options = chart_options_of(a.record());
  const VchartView v = view_of(a, options, pane);
  const ChartResults& r = s->results;
  const int code = a.record().variant;
  const bool cusum = code == 10 || code == 13, sums = code == 14 || code == 15;
  switch (vchart_pane_of(code, pane)) {
    case VchartPane::C1:
      if (cusum) return vchart_vmask_graph(r, v, g);
      if (sums) return vchart_sums_graph(r, v, true, g);
      return vchart_chart_graph(r, v, true, g);
    case VchartPane::C2:
      if (code == 15) return vchart_sums_graph(r, v, false, g);
      return vchart_chart_graph(r, v, false, g);
    case VchartPane::G:
      return vchart_histogram_graph(r, v, g);
    case VchartPane::R0:
      return vchart_curve_graph(r, v, false, g);
    case VchartPane::R1:
      return vchart_curve_graph(r, v, true, g);
    case VchartPane::Rc:
      return vchart_cusum_arl_graph(r, v, g);
    case VchartPane::M1:
      return vchart_model_graph(r, v, true, g);
    case VchartPane::M2:
      return vchart_model_graph(r, v, false, g);
    default:
      return false;
  }
}

VchartView Vchart::view_of(const Analysis& a, const ChartOptions& options, int pane) const {
  const AnalysisRecord& r = a.record();
  VchartView v;
  v.code = r.variant;
  v.error_state = r.error_state;
  v.options = &options;
  v.data_name = r.variables[kData].expression;
  v.subgroup_name = r.variables[kSubgroup].expression;
  v.size_name = r.variables[kSize].expression;
  v.listing = r.option[9];
  if (const HostContext* ctx = host_context(); ctx != nullptr && ctx->save_digits > 0)
    v.digits = ctx->save_digits;
  if (pane >= 1 && pane <= ZTQ_PANES)
    for (std::size_t k = 0; k < v.pane_option.size(); ++k)
      v.pane_option[k] = r.pane_option[pane - 1][k];
  if (const VchartState* s = a.results<VchartState>(); s != nullptr) {
    v.labels = s->labels;
    v.observations = s->observations;
  }
  return v;
}

std::vector<PaneInfo> Vchart::panes() const {
  return {{1, Str::kVcTitle},    {2, Str::kVcListTitle}, {3, Str::kVcRulesTitle},
          {4, Str::kVcCapTitle}, {8, Str::kVcRowCl1},    {9, Str::kVcRowCl2},
          {10, Str::kVcPane10},  {11, Str::kVcPane11},   {12, Str::kVcPane12}};
}

int32_t Vchart::validate_options(const AnalysisRecord& r) const {
  return validate_chart_options(chart_options_of(r), r.variant);
}

int32_t Vchart::error_message(const AnalysisRecord& r) const {
  if (r.error_state >= 1 && r.error_state <= 3)
    return vchart_detail::error_message_of(r.error_state);
  return r.error_state;
}

std::string Vchart::results_json(const Analysis& a) const {
  const VchartState* s = a.results<VchartState>();
  return s != nullptr ? vchart_results_json(s->results, s->labels) : std::string();
}

void Vchart::write_results_json(const Analysis& a, JsonObject& out) const {
  if (const VchartState* s = a.results<VchartState>(); s != nullptr)
    write_vchart_results_json(s->results, s->labels, out);
}

std::string Vchart::violations_json(const Analysis& a) const {
  const VchartState* s = a.results<VchartState>();
  return s != nullptr ? vchart_violations_json(s->results, s->labels) : std::string();
}

const Vchart& vchart() {
  static const Vchart v;
  return v;
}

namespace {
const RegisterProcedure kRegister{&vchart()};
}  // namespace

}  // namespace ztq
