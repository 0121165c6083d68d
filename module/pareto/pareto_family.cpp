// The Pareto family: the procedure that the common lifecycle drives, and its
// exports ParetoDialog .. ParetoOpts.
//
// Record layout of the procedure's own options:
//   variables[0] raw data (mode 0), [1] counts (mode 1), [2] labels, [3] weights
//   option[0]  combine rule: 0 none, 1 by score, 2 by percent, 3 fold the last N
//   option[1]  N of rule 3
//   option[2]  weights present (set by Begin)
//   option[3]  labels present (set by Begin)
//   option[4]  bar label of panes 8 and 9: 0 cumulative percent, 1 cumulative value, 2 none
//   doption[0] score threshold of rule 1
//   doption[1] percent threshold of rule 2
// The bar label is kept in option[] rather than pane_option[] so that the two
// chart panes share one value.
#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/export_guard.h"
#include "bridge/json.h"
#include "bridge/lifecycle.h"
#include "bridge/messages.h"
#include "bridge/procedures.h"
#include "bridge/variables.h"
#include "pareto/pareto_compute.h"
#include "pareto/pareto_panes.h"
#include "ztqualty_procedures.h"

namespace ztq {

namespace {

enum Slot { kRaw = 0, kCounts = 1, kLabels = 2, kWeights = 3 };

int32_t& combine_rule(AnalysisRecord& r) { return r.option[0]; }
int32_t& n_fold(AnalysisRecord& r) { return r.option[1]; }
int32_t& weights_present(AnalysisRecord& r) { return r.option[2]; }
int32_t& labels_present(AnalysisRecord& r) { return r.option[3]; }
int32_t& bar_label(AnalysisRecord& r) { return r.option[4]; }
double& score_threshold(AnalysisRecord& r) { return r.doption[0]; }
double& percent_threshold(AnalysisRecord& r) { return r.doption[1]; }

int main_slot(const AnalysisRecord& r) { return r.input_mode == 1 ? kCounts : kRaw; }

ParetoColumn column_of(const Analysis& a, int i) {
  ParetoColumn c;
  if (!a.given(i) || !a.loaded(i)) return c;
  const VariableSlot& s = a.slot(i);
  c.type = s.type;
  if (a.is_character(i)) {
    c.texts.reserve(static_cast<size_t>(s.rows));
    for (int row = 0; row < s.rows; ++row) c.texts.emplace_back(a.text_row(i, row));
  } else {
    const auto v = a.numbers(i);
    c.numbers.assign(v.begin(), v.end());
  }
  return c;
}

// A variable that must be numeric holds text: the check's warning and state.
bool refuse_text(AnalysisRecord& r, int position) {
  show_formatted_warning(Str::kCharacterVariable, position);
  r.error_state = static_cast<int32_t>(Str::kErrVariableCheck);
  return false;
}

class Pareto final : public Procedure {
 public:
  const char* name() const override { return "pareto"; }
  std::string summary() const override {
    return "Pareto analysis: defect classes ranked by count or weighted score";
  }
  int32_t title_number() const override { return static_cast<int32_t>(Str::kParetoTitle); }
  int32_t error_message(const AnalysisRecord& r) const override {
    return pareto_error_message(r.error_state);
  }
  int32_t procedure_code(int32_t) const override { return 32875; }
  int mode_count() const override { return 2; }

  const std::vector<VariableRole>& roles() const override {
    static const std::vector<VariableRole> kRoles = {
        {"raw", Str::kParetoRoleRaw, 0b01, true, true},
        {"counts", Str::kParetoRoleCounts, 0b10, true, false},
        {"labels", Str::kParetoRoleLabels, 0b11, false, true},
        {"weights", Str::kParetoRoleWeights, 0b11, false, false}};
    return kRoles;
  }

  void set_defaults(AnalysisRecord& r) const override {
    r.input_mode = 0;
    combine_rule(r) = 0;
    n_fold(r) = 3;
    weights_present(r) = 0;
    labels_present(r) = 0;
    bar_label(r) = 0;
    score_threshold(r) = 2.0;
    percent_threshold(r) = 5.0;
  }

  void masks(const AnalysisRecord&, int32_t out[2]) const override {
    out[0] = 1;  // text pane 1
    out[1] = 3;  // graph panes 8 and 9
  }

  bool load_variables(Analysis& a) const override {
    AnalysisRecord& r = a.record();
    weights_present(r) = 0;
    labels_present(r) = 0;
    const int main = main_slot(r);
    if (!a.load(main, true)) return false;
    if (main == kCounts && a.is_character(kCounts)) return refuse_text(r, kCounts + 1);
    free_slot(a.slot(main == kRaw ? kCounts : kRaw));  // the other mode's variable is unused
    free_slot(a.slot(kLabels));
    free_slot(a.slot(kWeights));
    if (a.given(kLabels)) {
      if (!a.load(kLabels, false)) return false;
      labels_present(r) = 1;
    }
    if (a.given(kWeights)) {
      if (!a.load(kWeights, false)) return false;
      if (a.is_character(kWeights)) {
        free_slot(a.slot(kWeights));
        return refuse_text(r, kWeights + 1);
      }
      weights_present(r) = 1;
    }
    return true;
  }

  void compute(Analysis& a) const override {
    AnalysisRecord& r = a.record();
    ParetoResults& results = a.results<ParetoResults>();
    r.error_state = 0;
    try {
      ParetoInput in;
      in.mode = r.input_mode == 1 ? 1 : 0;
      in.main = column_of(a, main_slot(r));
      in.labels = column_of(a, kLabels);
      if (weights_present(r) != 0) in.weights = column_of(a, kWeights);
      if (in.mode == 1 && !in.labels.given()) {
        // Default labels: "Class 1", "Class 2", ... by row.
        in.default_labels.reserve(in.main.rows());
        for (size_t i = 0; i < in.main.rows(); ++i)
          in.default_labels.push_back(text_with(
              Str::kDefaultClassLabel, static_cast<int>(std::min<size_t>(i + 1, INT32_MAX))));
      }
      ParetoOptions o;
      o.combine = combine_rule(r);
      o.n_fold = n_fold(r);
      o.score_threshold = score_threshold(r);
      o.percent_threshold = percent_threshold(r);
      o.folded_label = text(Str::kParetoRest);
      results = compute_pareto(in, o);
      r.error_state = results.error;
    } catch (const std::bad_alloc&) {
      results = ParetoResults{};
      r.error_state = 2;  // the per-class arrays or the ranking could not be allocated
    }
  }

  bool text_pane(const Analysis& a, int pane, std::string& out) const override {
    const AnalysisRecord& r = a.record();
    static const ParetoResults kNone;
    const ParetoResults* res = a.results<ParetoResults>();
    const ParetoResults& results = res != nullptr ? *res : kNone;
    if (pane == 1) {
      ParetoSummaryInfo info;
      info.main_expression = r.variables[main_slot(r)].expression;
      info.weighted = r.option[2] != 0;
      info.weights_expression = r.variables[kWeights].expression;
      info.selection_expression = r.selection.expression;
      info.error_state = r.error_state;
      out = pareto_summary_text(results, info);
      return true;
    }
    if (pane == 2) {
      out = pareto_table_text(results, r.error_state);
      return true;
    }
    return false;
  }

  bool graph_pane(const Analysis& a, int pane, GraphBuilder& g) const override {
    if (pane != 8 && pane != 9) return false;
    const AnalysisRecord& r = a.record();
    pareto_chart(a.results<ParetoResults>(), r.error_state, pane, r.option[4], g,
                 r.variables[main_slot(r)].expression, r.pane_option[7][0] != 0);
    return true;
  }

  std::vector<PaneInfo> panes() const override {
    return {{1, Str::kParetoSummary},
            {2, Str::kParetoTableTitle},
            {8, Str::kParetoChartTitle},
            {9, Str::kParetoCumTitle}};
  }

  std::vector<OptionField> analysis_options(const AnalysisRecord&) const override {
    using S = OptionField::Store;
    return {{"combine", Str::kParetoCombine, S::option, 0, 0, 3, ZTQ_FIELD_CHOICE},
            {"score_threshold", Str::kParetoScoreMin, S::doption, 0, ZTQ_MISSING, ZTQ_MISSING,
             ZTQ_FIELD_INTEGER},
            {"percent_threshold", Str::kParetoPercentMin, S::doption, 1, 0, 100, ZTQ_FIELD_REAL},
            {"n_fold", Str::kParetoFoldLast, S::option, 1, 0, 1e6, ZTQ_FIELD_INTEGER}};
  }

  std::vector<OptionField> pane_options(const AnalysisRecord&, int pane) const override {
    if (pane != 8 && pane != 9) return {};
    if (pane == 9)
      return {{"bar_label", Str::kParetoBarLabel, OptionField::Store::option, 4, 0, 2,
               ZTQ_FIELD_CHOICE}};
    return {
        {"bar_label", Str::kParetoBarLabel, OptionField::Store::option, 4, 0, 2, ZTQ_FIELD_CHOICE},
        {"reference", Str::kGrPaneReference, OptionField::Store::pane_option, 0, 0, 1,
         ZTQ_FIELD_INTEGER}};
  }

  std::vector<int> panes_sharing_options(int pane) const override {
    if (pane == 8 || pane == 9) return {8, 9};
    return {pane};
  }

  std::string results_json(const Analysis& a) const override {
    const ParetoResults* r = a.results<ParetoResults>();
    if (r == nullptr) return {};
    std::string classes = "[";
    for (const ParetoClass& c : r->classes) {
      std::string label = c.label;
      label.erase(label.find_last_not_of(' ') + 1);
      label.erase(0, label.find_first_not_of(' '));
      JsonObject o;
      o.add_string("label", label);
      o.add_number("count", c.count);
      o.add_number("weight", c.weight);
      o.add_number("score", c.score);
      o.add_number("cum_score", c.cum_score);
      o.add_number("percent", r->percent(c.score));
      o.add_number("cum_percent", r->percent(c.cum_score));
      classes += (classes.size() > 1 ? "," : "") + o.str();
    }
    JsonObject out;
    out.add_raw("classes", classes + "]");
    out.add_number("total_count", r->total_count);
    out.add_number("total_score", r->total_score);
    out.add_number("classes_before", r->classes_before);
    out.add_number("classes_after", r->classes_after);
    return out.members();
  }
};

const Pareto& pareto() {
  static const Pareto p;
  return p;
}

const RegisterProcedure kRegister{&pareto()};

}  // namespace

}  // namespace ztq

ZTQ_EXPORT int32_t ParetoDialog(int32_t index, HostContext* context, int32_t reuse) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_dialog(ztq::pareto(), index, context, reuse); });
}

ZTQ_EXPORT void ParetoSetup(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                            char* out_text, int32_t reuse) {
  ztq::guarded_void(
      [&] { ztq::lifecycle_setup(ztq::pareto(), index, record, window, out_text, reuse, 0); });
}

ZTQ_EXPORT int32_t ParetoBegin(int32_t index) {
  return ztq::guarded_export([&] { return ztq::lifecycle_begin(ztq::pareto(), index); });
}

ZTQ_EXPORT int32_t ParetoBeginAgain(int32_t index, AnalysisRecord* record, AnalysisWindow* window,
                                    HostContext* context, SheetState* sheet_state,
                                    SheetWindow* sheet_window) {
  return ztq::guarded_export([&] {
    return ztq::lifecycle_begin_again(ztq::pareto(), index, record, window, context, sheet_state,
                                      sheet_window, 0);
  });
}

ZTQ_EXPORT int32_t ParetoItem(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_item(ztq::pareto(), pane_window, index, pane, descriptor); });
}

ZTQ_EXPORT int32_t ParetoOpts(PaneWindow* pane_window, int32_t index, int32_t pane,
                              ZtGraphDescriptor* descriptor) {
  return ztq::guarded_export(
      [&] { return ztq::lifecycle_opts(ztq::pareto(), pane_window, index, pane, descriptor); });
}
