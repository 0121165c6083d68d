// The interpretation of the custom chart: its axes and its reference lines.
// There are no data, so there is no verdict.
#include <string>

#include "custom/custom_frame.h"
#include "interpret/interpret.h"
#include "interpret/sentence.h"
#include "ztqualty.h"

namespace ztq {

namespace {

enum : int32_t {
  kFrame = 8056,
  kLineCount = 8057,
  kNoLines = 8058,
  kVerticalLine = 8059,
  kHorizontalLine = 8060,
};

// The record's settings (see the custom family's record layout).
CustomSettings settings_of(const AnalysisRecord& r) {
  CustomSettings s;
  s.x = {r.doption[0], r.doption[1], r.doption[2]};
  s.y = {r.doption[3], r.doption[4], r.doption[5]};
  for (int k = 0; k < kCustomLines; ++k) {
    s.position[static_cast<size_t>(k)] = r.doption[6 + k];
    s.orientation[static_cast<size_t>(k)] = r.option[k];
  }
  return s;
}

Interpretation custom_interpretation(const void* record, int pane) {
  Interpretation out;
  if (pane != 1 && pane != 8) return out;
  const CustomFrame f = custom_frame(settings_of(*static_cast<const AnalysisRecord*>(record)));
  say(out, kFrame, {f.x.min, f.x.max, f.x.increment, f.y.min, f.y.max, f.y.increment});
  if (f.lines.empty())
    say(out, kNoLines);
  else
    say(out, kLineCount, {static_cast<int>(f.lines.size())});
  if (pane == 8)
    for (const CustomLine& l : f.lines)
      say(out, l.orientation == 1 ? kVerticalLine : kHorizontalLine, {l.line, l.position});
  return out;
}

[[maybe_unused]] const bool kRegistered = [] {
  register_interpreter(2186, custom_interpretation);
  return true;
}();

}  // namespace

}  // namespace ztq
