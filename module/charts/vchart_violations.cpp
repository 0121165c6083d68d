// The out-of-control points of a chart as data: the points beyond a chart's
// limits (as the point listing marks them) and the runs rules that fired on
// each chart (as the runs-rules pane lists them), one entry per point and chart.
#include <string>
#include <vector>

#include "bridge/json.h"
#include "bridge/strings.h"
#include "charts/vchart_json.h"
#include "charts/vchart_panes.h"

namespace ztq {

std::string vchart_violations_json(const ChartResults& r, const PointLabels& labels) {
  std::string out = "[";
  const ChartSeries& s = r.series;
  for (std::size_t i = 0; i < s.stat1.size(); ++i) {
    const int word = i < s.flags.size() ? s.flags[i] : 0;
    for (int chart = 1; chart <= 2; ++chart) {
      const bool beyond = chart == 1 ? beyond_chart1(r, i) : beyond_chart2(r, i);
      const int bits = (word >> (chart == 1 ? 0 : 6)) & 63;  // rules 1-6: bits 0-5, then 6-11
      if (!beyond && bits == 0) continue;
      std::string letters;
      for (int rule = 0; rule < 6; ++rule)
        if ((bits >> rule) & 1) letters += static_cast<char>('A' + rule);
      JsonObject o;
      o.add_raw("point", std::to_string(i + 1));
      o.add_string("label", labels[i]);
      o.add_raw("chart", std::to_string(chart));
      o.add_raw("beyond", beyond ? "true" : "false");
      o.add_string("rules", letters);
      out += (out.size() > 1 ? "," : "") + o.str();
    }
  }
  return out + "]";
}

}  // namespace ztq
