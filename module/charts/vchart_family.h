// The control-chart procedure that the common lifecycle drives (the family
// file wires its exports; the options file lists its forms and saved series).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bridge/procedure.h"
#include "charts/chart_options.h"
#include "charts/chart_results.h"
#include "charts/vchart_data.h"
#include "charts/vchart_panes.h"

namespace ztq {

// What the procedure keeps per analysis beside the record.
struct VchartState {
  ChartResults results;
  PointLabels labels;  // one per point
  // The raw observations of the included points (the histogram G): the data
  // column's loaded rows read in place when every point is in and the data are
  // one column, else KEPT. Loading the columns again resets the state first.
  std::span<const double> observations;
  std::vector<double> kept;
  int missing_role = 0;  // a required column not given (1-based role)
  // The counts over every point that the summary and the sentences of each
  // pane draw on, formed on first use and kept with these results (a new
  // computation replaces the whole state).
  const VchartCounts& counts() const {
    if (!counts_) counts_ = vchart_counts(results);
    return *counts_;
  }
  mutable std::optional<VchartCounts> counts_;
};

// The record's numbered options as the engine reads them, and back.
ChartOptions chart_options_of(const AnalysisRecord& r);
void store_chart_options(const ChartOptions& o, AnalysisRecord& r);
// Gives the options form's fields their readable aliases and named values.
void name_chart_options(std::vector<OptionField>& fields);

class Vchart final : public Procedure {
 public:
  const char* name() const override;
  std::string summary() const override;
  int32_t title_number() const override;
  int32_t procedure_code(int32_t variant) const override;
  int variant_count() const override { return 22; }  // chart-type codes 0 to 21
  std::vector<std::pair<std::string, Str>> variant_names() const override;
  std::vector<OptionGroup> option_groups() const override;
  const std::vector<VariableRole>& roles() const override;
  void set_defaults(AnalysisRecord& r) const override;
  void read_profile(AnalysisRecord& r) const override;
  void write_profile(const AnalysisRecord& r) const override;
  void masks(const AnalysisRecord& r, int32_t out[2]) const override;
  bool load_variables(Analysis& a) const override;
  void compute(Analysis& a) const override;
  bool has_exclusion() const override { return true; }
  bool text_pane(const Analysis& a, int pane, std::string& text) const override;
  bool graph_pane(const Analysis& a, int pane, GraphBuilder& g) const override;
  std::vector<PaneInfo> panes() const override;
  std::vector<OptionField> analysis_options(const AnalysisRecord& r) const override;
  std::vector<OptionField> pane_options(const AnalysisRecord& r, int pane) const override;
  int32_t validate_options(const AnalysisRecord& r) const override;
  std::vector<SavedSeries> saved_series(const Analysis& a) const override;
  int32_t error_message(const AnalysisRecord& r) const override;
  std::string results_json(const Analysis& a) const override;
  void write_results_json(const Analysis& a, JsonObject& out) const override;
  std::string violations_json(const Analysis& a) const override;
  void write_violations_json(const Analysis& a, JsonSink& sink) const override;  // violations.cpp

  // The panes' view of the analysis; PANE (1 to 14) selects the pane options.
  VchartView view_of(const Analysis& a, const ChartOptions& options, int pane = 0) const;
};

const Vchart& vchart();

}  // namespace ztq
