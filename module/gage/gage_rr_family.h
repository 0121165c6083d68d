// The Gagerr family: the range-method gage study as a procedure of the
// common lifecycle, its panes and its interpretation.
#pragma once

#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/procedure.h"
#include "gage/gage_panes.h"
#include "gage/gage_rr.h"
#include "interpret/interpret.h"

namespace ztq {

struct RangeMethodState {
  RangeMethodResults results;
  std::vector<double> first, second;  // the readings as loaded (for the plots)
};

class Gagerr final : public Procedure {
 public:
  const char* name() const override { return "gagerr"; }
  std::string summary() const override;
  int32_t title_number() const override { return 2250; }
  int32_t title_number_of(int32_t variant) const override;
  int32_t procedure_code(int32_t variant) const override;
  const std::vector<VariableRole>& roles() const override;
  int variant_count() const override { return 3; }

  void set_defaults(AnalysisRecord& r) const override;
  void read_profile(AnalysisRecord& r) const override;
  void write_profile(const AnalysisRecord& r) const override;
  void masks(const AnalysisRecord&, int32_t out[2]) const override {
    out[0] = 1;
    out[1] = 7;
  }
  bool load_variables(Analysis& a) const override;
  void compute(Analysis& a) const override;
  bool text_pane(const Analysis& a, int pane, std::string& text) const override;
  bool graph_pane(const Analysis& a, int pane, GraphBuilder& g) const override;
  std::vector<PaneInfo> panes() const override;
  std::vector<OptionField> analysis_options(const AnalysisRecord& r) const override;
  std::vector<OptionField> pane_options(const AnalysisRecord& r, int pane) const override;
  int32_t validate_options(const AnalysisRecord& r) const override;
  std::string results_json(const Analysis& a) const override;
};

const Gagerr& gagerr();

// The outlying readings of the two box plots (fences on), both sides summed.
BoxCounts range_method_box_counts(const std::vector<double>& first,
                                  const std::vector<double>& second);

// The interpretation of a range-method record (any of its three titles).
Interpretation interpret_gagerr(const void* record, int pane);

}  // namespace ztq
