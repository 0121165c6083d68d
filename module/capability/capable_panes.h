// The text panes of the capability analysis: 1 summary, 2 indices with their
// confidence intervals, 6 Pearson-curve capability.
#pragma once

#include <cstdint>
#include <string>

#include "capability/capability.h"
#include "capability/pearson.h"

namespace ztq {

// What a pane shows beyond the results: the names and the display options.
struct CapPaneInfo {
  std::string data_name;
  int32_t status = 0;  // the analysis status (0 computed)
  int digits = 6;      // significant digits of the general format
  bool show[7] = {true, true, true, true, false, false, true};  // Cp Cpk CPU CPL CR Cpm K
  int label_set = 1;                                            // option 40
  double sigma_multiple = 6.0;                                  // double option 0
  double confidence = 95.0;                                     // double option 12
};

// The message of a status: 1007 for no data and too few, 1005 for status 1.
int32_t capability_status_message(int32_t status);

std::string capability_summary_text(const CapabilityResults& r, const CapPaneInfo& info);
std::string capability_indices_text(const CapabilityResults& r, const CapPaneInfo& info);
std::string capability_pearson_text(const CapabilityResults& r, const PearsonResults& p,
                                    const CapPaneInfo& info);

// The label of index i (0 Cp .. 5 Cpm) in label set 0 or 1.
int32_t capability_index_label(int i, int label_set);
// The name of a distribution code (pane 1).
int32_t capability_distribution_label(int code);

}  // namespace ztq
