#include "bridge/analysis.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "bridge/messages.h"
#include "bridge/module_state.h"
#include "bridge/variables.h"

namespace ztq {

namespace {
std::array<AnalysisRecord*, ZTQ_MAX_ANALYSES> g_records{};
std::array<AnalysisWindow*, ZTQ_MAX_ANALYSES> g_windows{};
}  // namespace

bool valid_index(int32_t index) { return index >= 0 && index < ZTQ_MAX_ANALYSES; }

AnalysisRecord* record_at(int32_t index) {
  return valid_index(index) ? g_records[static_cast<size_t>(index)] : nullptr;
}

AnalysisWindow* window_at(int32_t index) {
  return valid_index(index) ? g_windows[static_cast<size_t>(index)] : nullptr;
}

void set_record(int32_t index, AnalysisRecord* record, AnalysisWindow* window) {
  if (!valid_index(index)) return;
  g_records[static_cast<size_t>(index)] = record;
  g_windows[static_cast<size_t>(index)] = window;
}

std::span<const double> Analysis::numbers(int i) const {
  const VariableSlot& s = record_.variables[i];
  if (s.data == nullptr || s.type == 'C') return {};
  return {static_cast<const double*>(s.data), static_cast<size_t>(s.rows)};
}

std::string_view Analysis::text_row(int i, int r) const {
  const VariableSlot& s = record_.variables[i];
  if (s.data == nullptr || s.type != 'C' || r < 0 || r >= s.rows) return {};
  const auto w = static_cast<size_t>(s.width);
  return {static_cast<const char*>(s.data) + static_cast<size_t>(r) * w, w};
}

bool Analysis::ensure_points(int32_t points) {
  points = std::max<int32_t>(points, 0);
  if (points == record_.point_count && (points == 0 || record_.excluded != nullptr)) return true;
  auto* block =
      static_cast<int32_t*>(std::calloc(static_cast<size_t>(std::max(points, 1)), sizeof(int32_t)));
  if (block == nullptr) return false;
  const int32_t keep = record_.excluded != nullptr ? std::min(points, record_.point_count) : 0;
  if (keep > 0) std::memcpy(block, record_.excluded, static_cast<size_t>(keep) * sizeof(int32_t));
  std::free(record_.excluded);
  record_.excluded = block;
  record_.point_count = points;
  return true;
}

bool Analysis::load(int i, bool with_selection) {
  HostApplication* app = module_state().app;
  const VariableSlot* sel =
      with_selection && record_.selection.data != nullptr ? &record_.selection : nullptr;
  const int32_t error =
      load_slot(app ? app->spread : nullptr, record_.variables[i], record_.row_count, sel);
  if (error != 0) {
    record_.error_state = error;
    return false;
  }
  // Text where the procedure needs numbers would be read as garbage: refused
  // as BeginAgain's variable check refuses it.
  const auto& roles = procedure_.roles();
  if (record_.variables[i].type == 'C' && i < static_cast<int>(roles.size()) &&
      !roles[static_cast<size_t>(i)].character_allowed) {
    show_formatted_warning(Str::kCharacterVariable, i + 1);
    record_.error_state = static_cast<int32_t>(Str::kErrVariableCheck);
    return false;
  }
  return true;
}

}  // namespace ztq
