// The advisor's interpretation of the panes of a run, as --advice prints it
// and as the JSON member "advice" lists it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/module_loader.h"

namespace qualty {

struct PaneAdvice {
  std::string text;                // the whole interpretation (CR LF line ends)
  std::vector<int32_t> sentences;  // resource numbers of its sentences, in order
};

// What the module's interpretation says of PANE of the record.
PaneAdvice pane_advice(const ModuleExports& module, AnalysisRecord* record, int pane);

}  // namespace qualty
