#include "host/advise/advisor.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace qualty {

Advisor::Advisor(InterpretExport interpret) : interpret_(interpret) {
  table_.self = this;
  table_.GetAdviceText = [](void* self, AnalysisRecord* record, int32_t pane, char* buffer,
                            int32_t size, int32_t, int32_t) {
    return static_cast<const Advisor*>(self)->advice(record, pane, buffer, size);
  };
}

int32_t Advisor::advice(AnalysisRecord* record, int32_t pane, char* buffer, int32_t size) const {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  if (interpret_ == nullptr || record == nullptr) return 0;
  std::array<char, 8192> text{};  // CallQualityInterpret writes into 8192 characters
  interpret_(record, text.data(), pane);
  text.back() = '\0';
  const size_t n = std::min(std::strlen(text.data()), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<int32_t>(n);
}

}  // namespace qualty
