// The out-of-control points of a chart as data: the points beyond a chart's
// limits (as the point listing marks them) and the runs rules that fired on
// each chart (as the runs-rules pane lists them), one entry per point and chart.
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/json.h"
#include "bridge/strings.h"
#include "charts/vchart_family.h"
#include "charts/vchart_json.h"
#include "charts/vchart_panes.h"

namespace ztq {

namespace {

// Literal text at P (its length known when compiled); the end.
template <std::size_t N>
char* copy(char* p, const char (&text)[N]) {
  std::memcpy(p, text, N - 1);
  return p + N - 1;
}

}  // namespace

void write_vchart_violations_json(const ChartResults& r, const PointLabels& labels,
                                  JsonSink& sink) {
  // Each entry as a JsonObject with members point, label, chart, beyond and
  // rules would write it (a chart of 10^6 points may flag 10^5 of them),
  // formed in the sink's buffer before and after its label.
  const ChartSeries& s = r.series;
  std::string label;
  bool first = true;
  sink.put('[');
  each_flagged(r, [&](std::size_t i, bool beyond1, bool beyond2) {
    const int word = i < s.flags.size() ? s.flags[i] : 0;
    for (int chart = 1; chart <= 2; ++chart) {
      const bool beyond = chart == 1 ? beyond1 : beyond2;
      const int bits = (word >> (chart == 1 ? 0 : 6)) & 63;  // rules 1-6: bits 0-5, then 6-11
      if (!beyond && bits == 0) continue;
      char* p = sink.room(64);
      p = first ? copy(p, "{\"point\":") : copy(p, ",{\"point\":");
      first = false;
      p = std::to_chars(p, p + 24, i + 1).ptr;
      sink.done(copy(p, ",\"label\":"));
      labels.write(i, label);
      sink.put_quoted(label);
      p = sink.room(64);
      p = chart == 1 ? copy(p, ",\"chart\":1") : copy(p, ",\"chart\":2");
      p = beyond ? copy(p, ",\"beyond\":true") : copy(p, ",\"beyond\":false");
      p = copy(p, ",\"rules\":\"");
      for (int rule = 0; rule < 6; ++rule)
        if ((bits >> rule) & 1) *p++ = static_cast<char>('A' + rule);
      sink.done(copy(p, "\"}"));
    }
  });
  sink.put(']');
}

std::string vchart_violations_json(const ChartResults& r, const PointLabels& labels) {
  return json_gathered([&](JsonSink& sink) { write_vchart_violations_json(r, labels, sink); });
}

void Vchart::write_violations_json(const Analysis& a, JsonSink& sink) const {
  if (const VchartState* s = a.results<VchartState>(); s != nullptr)
    write_vchart_violations_json(s->results, s->labels, sink);
}

}  // namespace ztq
