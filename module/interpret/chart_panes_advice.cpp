// The sentences of the control-chart panes beside the summary, the listing
// and the charts: runs rules, capability, the V-mask and decision sums, the
// model and trend lines, the histogram and the run-length curves.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "charts/tabular_series.h"
#include "interpret/chart_advice.h"
#include "interpret/sentence.h"

namespace ztq::chart_advice {

// Points of the decision-interval sums beyond the decision interval. The
// statistic is the larger sum (SH, or -SL): a point is beyond when its
// magnitude is. A statistic that reads missing (no sums, or an SL of
// exactly 32768) sends the count to the sums themselves.
int past_decision(const ChartResults& r) {
  const TabularResult& t = r.tabular;
  const Series& stat = r.series.stat1;
  const double* y = stat.data();
  int n = 0;
  bool gaps = false;
  for (size_t i = 0; i < stat.size();) {
    const size_t run = std::clamp(t.decision1.run_end(i), i + 1, stat.size());
    const double h = at(t.decision1, i);
    if (!present(h)) {
      i = run;
      continue;
    }
    for (; i < run; ++i) {
      if (excluded_point(r, i)) continue;
      gaps |= is_missing(y[i]);
      n += present(y[i]) && std::fabs(y[i]) > h ? 1 : 0;
    }
  }
  if (!gaps) return n;
  n = 0;
  for_each_sums(r, 1, [&](size_t i, double hi, double lo) {
    const double h = at(t.decision1, i);
    if (!present(h) || excluded_point(r, i)) return;
    const bool up = t.chart1.upper && present(hi) && hi > h;
    const bool down = t.chart1.lower && present(lo) && lo > h;  // only the sides formed
    n += up || down ? 1 : 0;
  });
  return n;
}

void say_decision_count(Interpretation& out, int n) {
  if (n == 0) say(out, kPastDecisionNone);
  if (n == 1) say(out, kPastDecisionOne);
  if (n > 1) say(out, kPastDecisionMany, {n});
}

// Runs rules: bit 2^(r-1) of a point's flags on chart 1, 2^(r+5) on chart 2.
void rules(Interpretation& out, const Facts& f) {
  static const char* const kLetters[] = {"A", "B", "C", "D", "E", "F"};
  std::string in_force;
  for (int rule = 1; rule <= 6; ++rule)
    if (f.o.rule_enabled(rule))
      in_force += (in_force.empty() ? "" : ", ") + std::string(kLetters[rule - 1]);
  if (in_force.empty()) {
    say(out, kNoRules);
    return;
  }
  say(out, kRulesInForce, {in_force});
  bool any = false;
  for (int chart = 1; chart <= (f.has2 ? 2 : 1); ++chart)
    for (int rule = 1; rule <= 6; ++rule) {
      if (!f.o.rule_enabled(rule)) continue;
      const int bit = 1 << (chart == 1 ? rule - 1 : rule + 5);
      int n = 0;
      for (size_t i = 0; i < f.r->series.flags.size(); ++i)
        n += (f.r->series.flags[i] & bit) != 0 && !excluded_point(*f.r, i) ? 1 : 0;
      const std::string& name = chart == 1 ? f.name1 : f.name2;
      if (n == 1) say(out, kRuleFlagsOne, {kLetters[rule - 1], name});
      if (n > 1) say(out, kRuleFlagsMany, {kLetters[rule - 1], n, name});
      any |= n > 0;
    }
  say(out, any ? kRulesAdvice : kNoRuleFlags);
}

// Capability on the chart, under the chart's own rows (`option24` Cp, `option25` Cpk).
void capability(Interpretation& out, const Facts& f) {
  const ChartCapability& c = f.r->capability;
  const bool cp_row = f.o.option[24] != 0, cpk_row = f.o.option[25] != 0;
  if (!present(c.cp) && !present(c.cpk)) {
    say(out, kNoSpecification);
    return;
  }
  say(out, kCapabilitySigma, {f.r->sigma});
  if (cp_row && present(c.cp)) say(out, cp_band_sentence(c.cp), {c.cp});
  if (cpk_row) say(out, kCpk, {c.cpk});
  if (cp_row && cpk_row && present(c.cp) && present(c.cpk) && c.cp != 0 &&
      (c.cp - c.cpk) / c.cp >= 0.25)
    say(out, kOffCentre);
}

// The V-mask: points before its vertex outside its arms.
void vmask(Interpretation& out, const Facts& f) {
  const ChartResults& r = *f.r;
  const CusumResult& m = r.cusum;
  if (m.reference_point <= 0) return;
  say(out, kVmask, {m.reference_point, m.lead_distance});
  int outside = 0;
  for (size_t i = 0; i < r.series.stat1.size(); ++i) {
    const double y = r.series.stat1[i], up = at(m.upper_arm, i), lo = at(m.lower_arm, i);
    if (!present(y) || excluded_point(r, i)) continue;
    outside += (present(up) && y > up) || (present(lo) && y < lo) ? 1 : 0;
  }
  if (outside == 0) say(out, kInsideMask);
  if (outside == 1) say(out, kOutsideMaskOne);
  if (outside > 1) say(out, kOutsideMaskMany, {outside});
}

void chart_kind(Interpretation& out, const Facts& f) {
  const ChartResults& r = *f.r;
  switch (f.code) {
    case 8:
    case 11:
      say(out, kMaPoints, {f.o.span()});
      break;
    case 9:
    case 12:
      say(out, kEwmaPoints, {f.o.lambda()});
      say(out, kInControlArl, {r.arl});
      break;
    case 10:
    case 13:
      vmask(out, f);
      break;
    case 14:
    case 15:
      say(out, kDecision, {f.o.decision_interval(), f.o.reference_value()});
      say_decision_count(out, past_decision(r));
      break;
    case 16:
    case 17:
      say(out, kModel,
          {r.model.ar_order, r.model.differences, r.model.ma_order, r.model.residual_sd});
      break;
    case 18:
    case 19:
      say(out, kTrend, {r.trend.a, r.trend.b});
      break;
    case 20:
    case 21:
      say(out, kAcceptance);
      break;
    default:
      break;
  }
}

void histogram(Interpretation& out, const Facts& f) {
  int n = 0;
  for (double x : f.state->observations) n += present(x) ? 1 : 0;
  say(out, kHistogram, {n, f.r->centre, f.r->sigma});
  say(out, kHistogramSpec, {f.o.lsl(), f.o.usl()});
}

void run_length(Interpretation& out, const Facts& f, bool arl) {
  if (!arl) {
    say(out, kOcCurve, {f.name1});
    return;
  }
  const double q = f.code < 8 ? expected_fraction(f.o.k_upper(), f.o.k_lower()) : 0.0;
  if (!(q > 0) || !say(out, kArlCurve, {1.0 / q})) say(out, kArlCurvePlain);
}

}  // namespace ztq::chart_advice
