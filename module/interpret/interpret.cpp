// The interpretation entry. Each procedure's generator is chosen by the title
// string number of its record; a record of no known procedure gets the empty text.
#include <algorithm>
#include <cstring>

#include "bridge/export_guard.h"
#include "interpret/interpret.h"
#include "ztqualty.h"

namespace ztq {

namespace {
std::vector<InterpretEntry>& generators() {
  static std::vector<InterpretEntry> list;
  return list;
}
}  // namespace

void register_interpreter(int32_t title_number, InterpretFn fn) {
  generators().push_back({title_number, fn});
}

Interpretation interpret(const void* record, int32_t title_number, int pane) {
  for (const InterpretEntry& e : generators())
    if (e.title_number == title_number) return e.fn(record, pane);
  return {};
}

}  // namespace ztq

ZTQ_EXPORT int32_t CallQualityInterpret(void* record, char* out, int32_t pane) {
  ztq::guarded_void([&] {
    if (out == nullptr) return;
    out[0] = '\0';
    if (record == nullptr) return;
    const std::string text =
        ztq::interpret(record, ztq::record_title_number(record), pane).text;
    const size_t n = std::min<size_t>(text.size(), 8191);  // the advice buffers hold 8192
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
  });
  return 1;
}
