// JSON of the control-chart results: estimates, lines at n-bar, phases,
// per-point series (left out on request), capability, trend, standard and the
// results of the smoothed, cumulative-sum and model kinds.
#include "charts/vchart_json.h"

#include <span>
#include <vector>

#include "bridge/json.h"
#include "charts/tabular_series.h"

namespace ztq {
namespace {

std::string lines_json(const ChartLines& l) {
  JsonObject o;
  o.add_number("ucl1", l.ucl1);
  o.add_number("cl1", l.cl1);
  o.add_number("lcl1", l.lcl1);
  o.add_number("ucl2", l.ucl2);
  o.add_number("cl2", l.cl2);
  o.add_number("lcl2", l.lcl2);
  return o.str();
}

std::string phases_json(const std::vector<PhaseResult>& phases) {
  std::string s = "[";
  for (std::size_t i = 0; i < phases.size(); ++i) {
    const PhaseResult& p = phases[i];
    JsonObject o;
    o.add_raw("first", std::to_string(p.first));
    o.add_raw("last", std::to_string(p.last));
    o.add_number("centre", p.estimates.centre);
    o.add_number("sigma", p.estimates.sigma);
    o.add_number("nbar", p.estimates.nbar);
    o.add_number("dispersion", p.estimates.dispersion);
    ChartLines l = p.lines;
    for (int k = 0; k < 6; ++k) {
      static const char* const kNames[6] = {"ucl1", "cl1", "lcl1", "ucl2", "cl2", "lcl2"};
      o.add_number(kNames[k], l.line(k));
    }
    s += (i ? "," : "") + o.str();
  }
  return s + "]";
}

void series_json(const ChartSeries& s, const PointLabels& labels, JsonObject o) {
  if (labels.numbered_only() && !labels.empty())
    o.add_numbered_strings("label", labels.size());
  else if (!labels.empty())
    o.add_strings("label", labels.size(),
                  [&](std::size_t i, std::string& text) { labels.write(i, text); });
  o.add_line("size", s.size);
  o.add_numbers("stat1", s.stat1);
  o.add_numbers("stat2", s.stat2.size(), [&s](std::size_t first, std::size_t count, double* out) {
    s.read_stat2(first, count, out);
  });
  o.add_line("ucl1", s.ucl1);
  o.add_line("lcl1", s.lcl1);
  o.add_line("ucl2", s.ucl2);
  o.add_line("lcl2", s.lcl2);
  o.add_line("ucl1_unclipped", s.ucl1_unclipped);
  o.add_line("lcl1_unclipped", s.lcl1_unclipped);
  o.add_line("ucl2_unclipped", s.ucl2_unclipped);
  o.add_line("lcl2_unclipped", s.lcl2_unclipped);
  o.add_line("cl1", s.cl1);
  o.add_ints("flags", s.flags);
  o.add_ints("excluded", s.excluded);
}

std::string capability_json(const ChartCapability& c) {
  JsonObject o;
  o.add_number("cp", c.cp);
  o.add_number("cpk", c.cpk);
  o.add_number("cpu", c.cpu);
  o.add_number("cpl", c.cpl);
  o.add_number("cr", c.cr);
  o.add_number("cpm", c.cpm);
  o.add_number("k", c.k);
  return o.str();
}

// The results of the chart kinds that transform chart 1.
void kind_json(const ChartResults& r, JsonObject& out) {
  const SmootherLines& sm = r.smoothers;
  if (out.series() &&
      (!sm.ma1.empty() || !sm.ewma1.empty() || !sm.ma2.empty() || !sm.ewma2.empty())) {
    JsonObject o = out.object("smoothers");
    if (!sm.ma1.empty()) o.add_series("ma1", sm.ma1);
    if (!sm.ewma1.empty()) o.add_series("ewma1", sm.ewma1);
    if (!sm.ma2.empty()) o.add_series("ma2", sm.ma2);
    if (!sm.ewma2.empty()) o.add_series("ewma2", sm.ewma2);
  }
  if (r.code == 10 || r.code == 13) {
    const CusumResult& c = r.cusum;
    JsonObject o = out.object("cusum");
    o.add_series("upper_arm", c.upper_arm);
    o.add_series("lower_arm", c.lower_arm);
    o.add_number("lead_distance", c.lead_distance);
    o.add_number("mean_deviation", c.mean_deviation);
    o.add_raw("reference_point", std::to_string(c.reference_point));
  }
  if (r.code == 14 || r.code == 15) {
    const TabularResult& t = r.tabular;
    JsonObject o = out.object("tabular");
    // The sums, z and W are formed from what the chart kept, when written.
    const auto by_point = [&](TabularSeries s) {
      return o.series() ? tabular_values(r, s) : std::vector<double>{};
    };
    o.add_series("sh1", by_point(TabularSeries::sh1));
    o.add_series("sl1", by_point(TabularSeries::sl1));
    o.add_series("sh2", by_point(TabularSeries::sh2));
    o.add_series("sl2", by_point(TabularSeries::sl2));
    o.add_series_line("decision1", t.decision1);
    o.add_number("decision2", t.decision2);
    o.add_series("z", by_point(TabularSeries::z));
    o.add_series("w", by_point(TabularSeries::w));
  }
  if (r.code == 16 || r.code == 17) {
    const ModelResult& m = r.model;
    JsonObject o = out.object("model");
    o.add_raw("ar_order", std::to_string(m.ar_order));
    o.add_raw("ma_order", std::to_string(m.ma_order));
    o.add_raw("differences", std::to_string(m.differences));
    o.add_raw("constant", m.constant ? "true" : "false");
    o.add_numbers("coefficients", m.coefficients);
    o.add_numbers("standard_errors", m.standard_errors);
    o.add_number("residual_sd", m.residual_sd);
    o.add_raw("iterations", std::to_string(m.iterations));
    o.add_raw("converged", m.converged ? "true" : "false");
    o.add_series("fitted", m.fitted);
    o.add_series("residuals", m.residuals);
  }
  if (r.code == 9 || r.code == 12) out.add_number("arl", r.arl);
}

}  // namespace

void write_vchart_results_json(const ChartResults& r, const PointLabels& labels, JsonObject& out) {
  out.add_raw("chart", std::to_string(r.code));
  out.add_raw("points", std::to_string(r.points));
  out.add_number("centre", r.centre);
  out.add_number("sigma", r.sigma);
  out.add_number("nbar", r.nbar);
  out.add_number("dispersion", r.dispersion);
  out.add_raw("limits", lines_json(r.limits));
  out.add_raw("limits_unclipped", lines_json(r.limits_unclipped));
  out.add_raw("phases", phases_json(r.phases));
  if (out.series()) series_json(r.series, labels, out.object("series"));
  out.add_raw("capability", capability_json(r.capability));
  if (r.code == 18 || r.code == 19) {
    JsonObject t;
    t.add_number("a", r.trend.a);
    t.add_number("b", r.trend.b);
    out.add_raw("trend", t.str());
  }
  if (!is_missing(r.standard.centre) || !is_missing(r.standard.sigma)) {
    JsonObject s;
    s.add_number("centre", r.standard.centre);
    s.add_number("sigma", r.standard.sigma);
    out.add_raw("standard", s.str());
  }
  kind_json(r, out);
}

std::string vchart_results_json(const ChartResults& r, const PointLabels& labels) {
  JsonObject out;
  write_vchart_results_json(r, labels, out);
  return out.members();
}

}  // namespace ztq
