// The procedure families as the host calls them: each family's exports take
// their own number of arguments (a variant, host values), so the host binds
// each one with the shape of its family.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/module_loader.h"
#include "ztqualty.h"

namespace qualty {

struct FamilyCalls {
  std::string prefix;  // "Pareto", "Vchart", ...
  std::function<int32_t(int32_t index, HostContext*, int32_t reuse)> dialog;
  std::function<void(int32_t index, AnalysisRecord*, AnalysisWindow*, char*, int32_t reuse)> setup;
  std::function<int32_t(int32_t index)> begin;
  std::function<int32_t(int32_t index, AnalysisRecord*, AnalysisWindow*, HostContext*, SheetState*,
                        SheetWindow*)>
      begin_again;
  std::function<int32_t(PaneWindow*, int32_t index, int32_t pane, ZtGraphDescriptor*)> item;
  std::function<int32_t(PaneWindow*, int32_t index, int32_t pane, ZtGraphDescriptor*)> opts;
  std::function<void(int32_t index, int32_t automatic)> vsave;   // empty when the family has none
  std::function<int32_t(int32_t index, int32_t point)> exclude;  // likewise
};

// Binds the exports of procedure (the command-line name) for the given
// variant. False with the reason when the module lacks the family.
bool bind_family(const Module& module, const std::string& procedure, int32_t variant,
                 FamilyCalls& calls, std::string& error);

}  // namespace qualty
