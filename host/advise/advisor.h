// The advisor component (ZTADVISE): the advice for a pane is the module's own
// interpretation of it, asked through CallQualityInterpret.
#pragma once

#include <cstdint>

#include "ztqualty.h"

namespace qualty {

using InterpretExport = int32_t (*)(void* record, char* out, int32_t pane);

class Advisor {
 public:
  explicit Advisor(InterpretExport interpret);
  Advisor(const Advisor&) = delete;
  Advisor& operator=(const Advisor&) = delete;

  ZtAdvise* component() { return &table_; }
  int32_t advice(AnalysisRecord* record, int32_t pane, char* buffer, int32_t size) const;

 private:
  InterpretExport interpret_;
  ZtAdvise table_{};
};

}  // namespace qualty
