// The interpretation entry. Each procedure's generator is chosen by the title
// string number of its record; a record of no known procedure gets the empty
// text, a record in an error state one sentence that says so.
#include "interpret/interpret.h"

#include <algorithm>
#include <cstring>

#include "bridge/export_guard.h"
#include "bridge/procedures.h"
#include "bridge/strings.h"
#include "interpret/sentence.h"
#include "ztqualty.h"

namespace ztq {

namespace {

std::vector<InterpretEntry>& generators() {
  static std::vector<InterpretEntry> list;
  return list;
}

const InterpretEntry* generator_of(int32_t title_number) {
  for (const InterpretEntry& e : generators())
    if (e.title_number == title_number) return &e;
  return nullptr;
}

constexpr size_t kAdviceSize = 8192;  // the advice buffers of the host, NUL included

}  // namespace

void register_interpreter(int32_t title_number, InterpretFn fn) {
  generators().push_back({title_number, fn});
}

Interpretation interpret(const void* record, int32_t title_number, int pane) {
  const InterpretEntry* e = generator_of(title_number);
  if (e == nullptr || record == nullptr || pane < 1 || pane > ZTQ_PANES) return {};
  const auto& r = *static_cast<const AnalysisRecord*>(record);
  Interpretation out;
  if (r.error_state != 0) {
    const Procedure* p = procedure_of(r);
    const int32_t message =
        p != nullptr ? p->error_message(r) : message_of_error_state(r.error_state);
    say(out, kSentenceErrorState, {sentence_format(message)});
  } else {
    out = e->fn(record, pane);
  }
  end_line(out);
  return out;
}

size_t advice_cut(const std::string& text) {
  size_t n = std::min(text.size(), kAdviceSize - 1);
  // never part a UTF-8 sequence: back off to the start of a character
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return n;
}

}  // namespace ztq

ZTQ_EXPORT int32_t CallQualityInterpret(void* record, char* out, int32_t pane) {
  ztq::guarded_void([&] {
    if (out == nullptr) return;
    out[0] = '\0';
    if (record == nullptr) return;
    const std::string text = ztq::interpret(record, ztq::record_title_number(record), pane).text;
    const size_t n = ztq::advice_cut(text);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
  });
  return 1;
}

ZTQ_EXPORT int32_t QualAdviceSentences(void* record, int32_t pane, int32_t* numbers, int32_t size) {
  return ztq::guarded_export([&]() -> int32_t {
    if (record == nullptr) return 0;
    const ztq::Interpretation i = ztq::interpret(record, ztq::record_title_number(record), pane);
    const int32_t count = static_cast<int32_t>(i.sentences.size());
    for (int32_t k = 0; numbers != nullptr && k < std::min(count, size); ++k)
      numbers[k] = i.sentences[static_cast<size_t>(k)].number;
    return count;
  });
}
