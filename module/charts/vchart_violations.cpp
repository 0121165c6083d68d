// The out-of-control points of a chart as data: the points beyond a chart's
// limits (as the point listing marks them) and the runs rules that fired on
// each chart (as the runs-rules pane lists them), one entry per point and chart.
#include <charconv>
#include <string>
#include <vector>

#include "bridge/json.h"
#include "bridge/strings.h"
#include "charts/vchart_json.h"
#include "charts/vchart_panes.h"

namespace ztq {

std::string vchart_violations_json(const ChartResults& r, const PointLabels& labels) {
  // Formed in one text (a chart of 10^6 points may flag 10^5 of them), each
  // entry as a JsonObject with members point, label, chart, beyond and rules
  // would write it.
  std::string out = "[";
  const ChartSeries& s = r.series;
  std::string label;
  char digits[24];
  each_flagged(r, [&](std::size_t i, bool beyond1, bool beyond2) {
    const int word = i < s.flags.size() ? s.flags[i] : 0;
    for (int chart = 1; chart <= 2; ++chart) {
      const bool beyond = chart == 1 ? beyond1 : beyond2;
      const int bits = (word >> (chart == 1 ? 0 : 6)) & 63;  // rules 1-6: bits 0-5, then 6-11
      if (!beyond && bits == 0) continue;
      if (out.size() > 1) out.push_back(',');
      out += "{\"point\":";
      out.append(digits, std::to_chars(digits, digits + sizeof digits, i + 1).ptr);
      out += ",\"label\":";
      labels.write(i, label);
      out += json_quote(label);
      out += chart == 1 ? ",\"chart\":1" : ",\"chart\":2";
      out += beyond ? ",\"beyond\":true" : ",\"beyond\":false";
      out += ",\"rules\":\"";
      for (int rule = 0; rule < 6; ++rule)
        if ((bits >> rule) & 1) out.push_back(static_cast<char>('A' + rule));
      out += "\"}";
    }
  });
  return out + "]";
}

}  // namespace ztq
