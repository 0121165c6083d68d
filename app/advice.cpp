#include "app/advice.h"

#include <array>

namespace qualty {

PaneAdvice pane_advice(const ModuleExports& module, AnalysisRecord* record, int pane) {
  PaneAdvice a;
  std::array<char, 8192> text{};  // CallQualityInterpret writes into 8192 characters
  if (module.interpret != nullptr) module.interpret(record, text.data(), pane);
  text.back() = '\0';
  a.text = text.data();
  if (module.advice_sentences != nullptr) {
    const int32_t count = module.advice_sentences(record, pane, nullptr, 0);
    if (count > 0) {
      a.sentences.resize(static_cast<size_t>(count));
      const int32_t again = module.advice_sentences(record, pane, a.sentences.data(), count);
      a.sentences.resize(static_cast<size_t>(std::max(0, std::min(again, count))));
    }
  }
  return a;
}

}  // namespace qualty
