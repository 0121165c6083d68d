#include <cstdlib>

#include "bridge/export_guard.h"
#include "interpret/interpret.h"
#include "ztqualty.h"

namespace ztq {

int32_t record_title_number(const void* record) {
  return record == nullptr ? 0 : static_cast<const AnalysisRecord*>(record)->title_number;
}

}  // namespace ztq

namespace {

void release_slot(VariableSlot& slot) {
  std::free(slot.data);
  slot.data = nullptr;
  slot.rows = 0;
}

}  // namespace

ZTQ_EXPORT void QualReleaseRecord(AnalysisRecord* record) {
  ztq::guarded_void([&] {
    if (record == nullptr) return;
    for (VariableSlot& slot : record->variables) release_slot(slot);
    release_slot(record->selection);
    release_slot(record->auxiliary1);
    release_slot(record->auxiliary2);
    std::free(record->excluded);
    record->excluded = nullptr;
    record->point_count = 0;
    if (record->results != nullptr && record->release_results != nullptr)
      record->release_results(record->results);
    record->results = nullptr;
    for (PaneText& pane : record->pane_text) {
      std::free(pane.lines);
      pane = PaneText{};
    }
  });
}
