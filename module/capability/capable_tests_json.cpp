#include "capability/capable_tests_json.h"

#include "bridge/json.h"

namespace ztq {

namespace {

std::string integer(int64_t v) { return std::to_string(v); }

std::string stat_p(const char* name, double stat, double p) {
  JsonObject o;
  o.add_number(name, stat);
  o.add_number("p", p);
  return o.str();
}

std::string normality_json(const NormalityResults& t) {
  JsonObject o;
  if (t.chi2_done) {
    JsonObject c;
    c.add_number("stat", t.chi2);
    c.add_raw("df", integer(t.chi2_df));
    c.add_number("p", t.chi2_p);
    c.add_raw("classes", integer(t.chi2_classes));
    o.add_raw("chi2", c.str());
  } else {
    o.add_raw("chi2", "null");
  }
  o.add_raw("shapiro_wilk", t.sw_state == 0 ? stat_p("w", t.w, t.w_p) : "null");
  o.add_raw("skewness", t.skew_done ? stat_p("z", t.skew_z, t.skew_p) : "null");
  o.add_raw("kurtosis", t.kurt_done ? stat_p("z", t.kurt_z, t.kurt_p) : "null");
  return o.str();
}

std::string fit_json(const GofResults& f) {
  JsonObject o;
  JsonObject cl;
  cl.add_raw("count", integer(f.classes));
  cl.add_number("lower", f.lower);
  cl.add_number("upper", f.upper);
  o.add_raw("classes", cl.str());
  std::string groups = "[";
  for (size_t i = 0; i < f.groups.size(); ++i) {
    const GofGroup& g = f.groups[i];
    JsonObject j;
    j.add_number("lower", g.lower);
    j.add_number("upper", g.upper);
    j.add_raw("observed", integer(g.observed));
    j.add_number("expected", g.expected);
    j.add_number("contribution", g.contribution);
    groups += (i ? "," : "") + j.str();
  }
  o.add_raw("groups", groups + "]");
  if (f.chi2_done) {
    JsonObject c;
    c.add_number("stat", f.chi2);
    c.add_raw("df", integer(f.chi2_df));
    c.add_number("p", f.chi2_p);
    o.add_raw("chi2", c.str());
  } else {
    o.add_raw("chi2", "null");
  }
  JsonObject ks;
  ks.add_number("d_plus", f.d_plus);
  ks.add_number("d_minus", f.d_minus);
  ks.add_number("d", f.d);
  ks.add_number("lambda", f.lambda);
  ks.add_number("p", f.ks_p);
  o.add_raw("ks", ks.str());
  return o.str();
}

std::string normal_json(const NormalTolerance& t) {
  JsonObject o;
  o.add_number("coverage", t.coverage);
  o.add_number("confidence", t.confidence);
  o.add_raw("two_sided", t.two_sided ? "true" : "false");
  o.add_number("k", t.k);
  o.add_number("upper", t.upper);
  o.add_number("lower", t.lower);
  return o.str();
}

std::string free_json(const NonparametricTolerance& t) {
  JsonObject o;
  o.add_number("coverage", t.coverage);
  o.add_number("confidence", t.confidence);
  o.add_raw("m", integer(t.m));
  o.add_raw("r", t.r > 0 ? integer(t.r) : "null");
  o.add_number("upper", t.upper);
  o.add_number("lower", t.lower);
  return o.str();
}

std::string side_json(const CapChartSide& c, bool location, int statistic) {
  JsonObject o;
  if (!location) o.add_raw("statistic", std::to_string(statistic));
  o.add_number("centre", c.centre);
  if (location) o.add_number("sigma", c.sigma);
  o.add_number("ucl", c.ucl);
  o.add_number("lcl", c.lcl);
  const auto pair = [](bool on, double u, double l) {
    if (!on) return std::string("null");
    JsonObject w;
    w.add_number("upper", u);
    w.add_number("lower", l);
    return w.str();
  };
  o.add_raw("outer_warning", pair(c.has_outer, c.outer_upper, c.outer_lower));
  o.add_raw("inner_warning", pair(c.has_inner, c.inner_upper, c.inner_lower));
  o.add_numbers("series", c.series);
  o.add_raw("smoother", c.smoother.empty() ? "null" : json_numbers(c.smoother));
  return o.str();
}

}  // namespace

std::string capable_chart_json(const CapableState& s, int) {
  JsonObject o;
  const CapChartResults& c = s.chart;
  if (s.results.status != 0 || !c.computed) {
    for (const char* k : {"within_sigma", "location", "dispersion"}) o.add_raw(k, "null");
    return o.members();
  }
  o.add_number("within_sigma", c.within_sigma);
  // The location object ends with its runs.
  std::string loc = side_json(c.location, true, 0);
  loc.pop_back();
  std::string runs = "null";
  if (!c.location.runs.empty()) {
    runs = "[";
    for (size_t i = 0; i < c.location.runs.size(); ++i)
      runs += (i ? "," : "") + std::to_string(c.location.runs[i]);
    runs += "]";
  }
  o.add_raw("location", loc + ",\"runs\":" + runs + "}");
  o.add_raw("dispersion", side_json(c.dispersion, false, c.statistic));
  return o.members();
}

std::string capable_tests_json(const CapableState& s) {
  JsonObject o;
  if (s.results.status != 0) {
    for (const char* k : {"normality", "fit", "tolerance_normal", "tolerance_nonparametric"})
      o.add_raw(k, "null");
    return o.members();
  }
  o.add_raw("normality", normality_json(s.normality));
  o.add_raw("fit", fit_json(s.fit));
  o.add_raw("tolerance_normal", normal_json(s.tolerance_normal));
  o.add_raw("tolerance_nonparametric", free_json(s.tolerance_free));
  return o.members();
}

}  // namespace ztq
