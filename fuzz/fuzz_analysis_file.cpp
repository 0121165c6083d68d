// libFuzzer: the analysis-file reader, then the record it fills.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/analysis_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  qualty::AnalysisFile file;
  std::string error;
  if (!qualty::parse_analysis_text(text, "fuzz input", file, error)) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  auto* record = static_cast<AnalysisRecord*>(std::calloc(1, sizeof(AnalysisRecord)));
  if (record == nullptr) return 0;
  qualty::apply_analysis_file(file, *record, error);
  std::free(record->excluded);
  std::free(record);
  return 0;
}
