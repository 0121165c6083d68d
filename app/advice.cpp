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
    // Room for the usual few first, so that the advice is formed once more,
    // not twice (a chart of 10^6 points counts its points each time).
    a.sentences.resize(64);
    int32_t count = module.advice_sentences(record, pane, a.sentences.data(), 64);
    if (count > 64) {
      a.sentences.resize(static_cast<size_t>(count));
      count = std::min(count, module.advice_sentences(record, pane, a.sentences.data(), count));
    }
    a.sentences.resize(static_cast<size_t>(std::max(0, count)));
  }
  return a;
}

}  // namespace qualty
