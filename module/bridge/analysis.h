// An open analysis: its host-owned record and its procedure, with the module's
// tables of records and host windows by analysis index.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "bridge/procedure.h"
#include "ztqualty.h"

namespace ztq {

class Analysis {
 public:
  Analysis(AnalysisRecord& record, const Procedure& procedure)
      : record_(record), procedure_(procedure) {}

  AnalysisRecord& record() { return record_; }
  const AnalysisRecord& record() const { return record_; }
  const Procedure& procedure() const { return procedure_; }

  VariableSlot& slot(int i) { return record_.variables[i]; }
  const VariableSlot& slot(int i) const { return record_.variables[i]; }
  bool given(int i) const { return record_.variables[i].expression[0] != '\0'; }
  bool loaded(int i) const { return record_.variables[i].data != nullptr; }
  bool is_character(int i) const { return record_.variables[i].type == 'C'; }

  // The numeric rows of a loaded slot (empty when not loaded or character).
  std::span<const double> numbers(int i) const;
  // Row r (0-based) of a loaded character slot, trailing blanks kept.
  std::string_view text_row(int i, int r) const;

  // Loads slot i from the data sheet (loading of the lifecycle: message 1184
  // and error state 1010 on failure), applying the selection unless told not to.
  bool load(int i, bool with_selection);

  // Sizes the exclusion flags to the number of points, keeping the flags of
  // the points that remain (a reopened analysis brings its own). False when
  // the block cannot be allocated.
  bool ensure_points(int32_t points);
  bool excluded(int32_t i) const {
    return record_.excluded != nullptr && i >= 0 && i < record_.point_count &&
           record_.excluded[i] != 0;
  }

  // The procedure's results, made on first use and freed with the record.
  template <class T>
  T& results() {
    if (record_.results == nullptr) {
      record_.results = new T();
      record_.release_results = [](void* p) { delete static_cast<T*>(p); };
    }
    return *static_cast<T*>(record_.results);
  }
  template <class T>
  const T* results() const {
    return static_cast<const T*>(record_.results);
  }

 private:
  AnalysisRecord& record_;
  const Procedure& procedure_;
};

// The module's tables by analysis index (0 .. ZTQ_MAX_ANALYSES - 1).
bool valid_index(int32_t index);
AnalysisRecord* record_at(int32_t index);
void set_record(int32_t index, AnalysisRecord* record, AnalysisWindow* window);
AnalysisWindow* window_at(int32_t index);

}  // namespace ztq
