// The GageSet family: the plan of a long-form gage study as a procedure.
#pragma once

#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/procedure.h"
#include "interpret/interpret.h"

namespace ztq {

class GageSet final : public Procedure {
 public:
  const char* name() const override { return "gageset"; }
  std::string summary() const override;
  int32_t title_number() const override { return 2170; }
  int32_t procedure_code(int32_t) const override { return 32889; }
  const std::vector<VariableRole>& roles() const override {
    static const std::vector<VariableRole> kNone;
    return kNone;
  }
  void set_defaults(AnalysisRecord& r) const override;
  void masks(const AnalysisRecord&, int32_t out[2]) const override { out[0] = out[1] = 0; }
  bool load_variables(Analysis&) const override { return true; }
  void compute(Analysis& a) const override;
  bool text_pane(const Analysis& a, int pane, std::string& text) const override;
  std::vector<PaneInfo> panes() const override { return {{1, static_cast<Str>(2171)}}; }
  std::vector<OptionField> analysis_options(const AnalysisRecord& r) const override;
  std::string results_json(const Analysis& a) const override;
  // GageSetVsave: the four columns of the run list.
  void save(int32_t index, int32_t automatic) const;
};

const GageSet& gageset();

// The setup interpretation (title 2170): sentences 8071 to 8075.
Interpretation interpret_gageset(const void* record, int pane);

}  // namespace ztq
