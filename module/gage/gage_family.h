// The long-form gage study as a procedure of the common lifecycle.
#pragma once

#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/procedure.h"
#include "gage/gage_compute.h"
#include "gage/gage_panes.h"

namespace ztq {

// What the record's results pointer holds for a gage study.
struct GageState {
  GageResults results;
};

GageOptions gage_options_of(const AnalysisRecord& r);
GageView gage_view_of(const Analysis& a);

class Gagelong final : public Procedure {
 public:
  const char* name() const override;
  std::string summary() const override;
  int32_t title_number() const override;
  int32_t title_number_of(int32_t variant) const override;
  int32_t procedure_code(int32_t variant) const override;
  const std::vector<VariableRole>& roles() const override;
  int variant_count() const override { return 5; }

  void set_defaults(AnalysisRecord& r) const override;
  void read_profile(AnalysisRecord& r) const override;
  void write_profile(const AnalysisRecord& r) const override;
  // The digits and the "BOXPLOT" keys, read at setup and before every options call.
  static void read_box_profile(AnalysisRecord& r);
  void masks(const AnalysisRecord& r, int32_t out[2]) const override;

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

const Gagelong& gagelong();

}  // namespace ztq
