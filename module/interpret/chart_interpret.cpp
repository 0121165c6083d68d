// The interpretation of the control-chart panes: what each pane shows, its
// key numbers, and the verdict on the points beyond the limits (the binomial
// chance of chart_verdict.h) and on the capability shown on the chart.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "bridge/procedures.h"
#include "charts/vchart_family.h"
#include "interpret/chart_verdict.h"
#include "interpret/interpret.h"
#include "interpret/sentence.h"

namespace ztq {

namespace {

using vchart_detail::chart_title;
using vchart_detail::statistic_name;

// Sentence numbers: the counts, the chance and its verdict, the Cp bands and
// the Cpk sentences carry the numbers they are known by; the rest are ours.
enum : int32_t {
  kChartPlots = 44010,
  kLimits = 44011,
  kUpperLimitOnly = 44012,
  kLastPhase = 44014,
  kSigmaFromData = 44015,
  kFromStandard = 44016,
  kExcludedMany = 44017,
  kExcludedOne = 44018,
  kNotIndependent = 44019,
  kNoneBeyond1 = 6166,
  kOneBeyond1 = 6083,
  kManyBeyond1 = 6084,
  kNoneBeyond2 = 6167,
  kOneBeyond2 = 6085,
  kManyBeyond2 = 6086,
  kChance = 6087,
  kListing = 44030,
  kListedBeyond = 44031,
  kSumsListing = 44040,
  kRulesInForce = 44050,
  kNoRules = 44051,
  kRuleFlagsMany = 44052,
  kRuleFlagsOne = 44053,
  kNoRuleFlags = 44054,
  kRulesAdvice = 44055,
  kNoSpecification = 44060,
  kCapabilitySigma = 44061,
  kCpk = 8099,
  kOffCentre = 8100,
  kGraphShows = 44070,
  kMaLine = 44072,
  kEwmaLine = 44073,
  kMaPoints = 44074,
  kEwmaPoints = 44075,
  kInControlArl = 44076,
  kVmask = 44077,
  kOutsideMaskMany = 44078,
  kOutsideMaskOne = 44079,
  kInsideMask = 44080,
  kDecision = 44081,
  kPastDecisionMany = 44082,
  kPastDecisionNone = 44083,
  kPastDecisionOne = 44084,
  kModel = 44085,
  kTrend = 44086,
  kAcceptance = 44087,
  kHistogram = 44090,
  kHistogramSpec = 44091,
  kOcCurve = 44092,
  kArlCurve = 44093,
  kArlCurvePlain = 44094,
  kCusumArl = 44095,
  kResiduals = 44096,
  kResidualAcf = 44097,
};

constexpr int kListedLabels = 12;  // labels named in a sentence before "..."

bool present(double v) { return !is_missing(v) && std::isfinite(v); }
double at(const std::vector<double>& v, size_t i) { return i < v.size() ? v[i] : kMissing; }

// What the sentences of every pane draw on.
struct Facts {
  const ChartResults* r = nullptr;
  const VchartState* state = nullptr;
  ChartOptions o;
  int code = 0;
  bool has2 = false;
  std::string name1, name2, data;
  int n1 = 0, n2 = 0, c1 = 0, c2 = 0, excluded = 0;
  ChartTest test;
};

// A name as it reads inside a sentence: "Range" becomes "range", "EWMA" stays.
std::string in_sentence(std::string name) {
  if (name.size() >= 2 && std::isupper(static_cast<unsigned char>(name[0])) &&
      !std::isupper(static_cast<unsigned char>(name[1])))
    name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
  return name;
}

bool excluded_point(const ChartResults& r, size_t i) {
  return i < r.series.excluded.size() && r.series.excluded[i] != 0;
}

Facts facts_of(const AnalysisRecord& rec, const VchartState& s) {
  Facts f;
  f.state = &s;
  f.r = &s.results;
  const ChartResults& r = s.results;
  f.o = chart_options_of(rec);
  f.code = rec.variant;
  ChartTraits t;
  f.has2 = chart_traits(f.code, &t) && t.has_chart2;
  f.name1 = in_sentence(text(statistic_name(f.code, true)));
  f.name2 = in_sentence(text(statistic_name(f.code, false)));
  f.data = rec.variables[0].expression;
  for (size_t i = 0; i < r.series.stat1.size(); ++i) {
    const bool used = !excluded_point(r, i);
    f.excluded += used ? 0 : 1;
    f.n1 += used && present(r.series.stat1[i]) ? 1 : 0;
    f.n2 += used && f.has2 && present(at(r.series.stat2, i)) ? 1 : 0;
    f.c1 += beyond_chart1(r, i) ? 1 : 0;
    f.c2 += f.has2 && beyond_chart2(r, i) ? 1 : 0;
  }
  ChartCounts k;
  k.code = f.code;
  k.n1 = f.n1;
  k.c1 = f.c1;
  k.n2 = f.n2;
  k.c2 = f.c2;
  k.q1 = expected_fraction(f.o.k_upper(), f.o.k_lower());
  k.q2 = f.has2 ? expected_fraction(f.o.k2_upper(), f.o.k2_lower()) : 0.0;
  f.test = chart_test(k);
  return f;
}

void say_lines(Interpretation& out, const std::string& name, double cl, double lcl, double ucl) {
  if (!say(out, kLimits, {name, cl, lcl, ucl})) say(out, kUpperLimitOnly, {name, cl, ucl});
}

void say_count(Interpretation& out, bool second, int count, const std::string& name) {
  if (count == 0)
    say(out, second ? kNoneBeyond2 : kNoneBeyond1, {name});
  else if (count == 1)
    say(out, second ? kOneBeyond2 : kOneBeyond1, {name});
  else
    say(out, second ? kManyBeyond2 : kManyBeyond1, {count, name});
}

// The counts beyond the limits of each chart and the verdict on the larger.
void counts_and_verdict(Interpretation& out, const Facts& f) {
  say_count(out, false, f.c1, f.name1);
  if (f.has2) say_count(out, true, f.c2, f.name2);
  if (f.test.chart != 0) {
    // no point beyond: P is 1, and only the verdict is worth saying
    if (f.test.count > 0) say(out, kChance, {f.test.q, f.test.count, f.test.n, f.test.p});
    say(out, verdict_sentence(f.test.p));
  } else if (f.c1 + f.c2 > 0 && f.code >= 8) {
    say(out, kNotIndependent);
  }
}

void say_excluded(Interpretation& out, int excluded) {
  if (excluded == 1) say(out, kExcludedOne);
  if (excluded > 1) say(out, kExcludedMany, {excluded});
}

void summary(Interpretation& out, const Facts& f) {
  const ChartResults& r = *f.r;
  say(out, kChartPlots, {chart_title(f.code), f.data, r.points});
  say_lines(out, f.name1, r.limits.cl1, r.limits.lcl1, r.limits.ucl1);
  if (f.has2) say_lines(out, f.name2, r.limits.cl2, r.limits.lcl2, r.limits.ucl2);
  if (r.phases.size() > 1) say(out, kLastPhase, {static_cast<int>(r.phases.size())});
  if (f.o.to_standard())
    say(out, kFromStandard, {r.standard.centre, r.standard.sigma});
  else
    say(out, kSigmaFromData, {r.sigma});
  say_excluded(out, f.excluded);
  end_line(out);
  counts_and_verdict(out, f);
}

// The labels of the points beyond one chart's limits, the first few of them.
std::string labels_beyond(const Facts& f, bool second) {
  std::string list;
  int named = 0;
  for (size_t i = 0; i < f.r->series.stat1.size(); ++i) {
    if (!(second ? beyond_chart2(*f.r, i) : beyond_chart1(*f.r, i))) continue;
    if (named++ == kListedLabels) return list + ", ...";
    if (!list.empty()) list += ", ";
    list += i < f.state->labels.size() ? f.state->labels[i] : std::to_string(i + 1);
  }
  return list;
}

void listing(Interpretation& out, const Facts& f) {
  say(out, kListing, {f.r->points});
  if (f.c1 > 0) say(out, kListedBeyond, {f.name1, labels_beyond(f, false)});
  if (f.has2 && f.c2 > 0) say(out, kListedBeyond, {f.name2, labels_beyond(f, true)});
  if (f.c1 == 0 && (!f.has2 || f.c2 == 0)) say_count(out, false, 0, f.name1);
  say_excluded(out, f.excluded);
}

// Points of the decision-interval sums beyond the decision interval.
int past_decision(const ChartResults& r) {
  const TabularResult& t = r.tabular;
  int n = 0;
  for (size_t i = 0; i < r.series.stat1.size(); ++i) {
    const double h = at(t.decision1, i);
    if (!present(h) || excluded_point(r, i)) continue;
    const double hi = at(t.sh1, i), lo = at(t.sl1, i);
    n += (present(hi) && hi > h) || (present(lo) && lo > h) ? 1 : 0;
  }
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

void chart_graph(Interpretation& out, const Facts& f, bool first) {
  const ChartResults& r = *f.r;
  const std::string& name = first ? f.name1 : f.name2;
  say(out, kGraphShows, {name});
  if (first) {
    say_lines(out, name, r.limits.cl1, r.limits.lcl1, r.limits.ucl1);
    if (f.o.ma_line1()) say(out, kMaLine, {f.o.span()});
    if (f.o.ewma_line1()) say(out, kEwmaLine, {f.o.lambda()});
    chart_kind(out, f);
    end_line(out);
    counts_and_verdict(out, f);
    return;
  }
  say_lines(out, name, r.limits.cl2, r.limits.lcl2, r.limits.ucl2);
  if (f.o.ma_line2()) say(out, kMaLine, {f.o.span2()});
  if (f.o.ewma_line2()) say(out, kEwmaLine, {f.o.lambda2()});
  say_count(out, true, f.c2, name);
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

Interpretation chart_interpretation(const void* record, int pane) {
  const auto& rec = *static_cast<const AnalysisRecord*>(record);
  Interpretation out;
  if (procedure_of(rec) != &vchart() || rec.results == nullptr) return out;
  const auto& state = *static_cast<const VchartState*>(rec.results);
  if (!state.results.computed) return out;
  const Facts f = facts_of(rec, state);
  switch (vchart_pane_of(f.code, pane)) {
    case VchartPane::S:
      summary(out, f);
      break;
    case VchartPane::T2:
      listing(out, f);
      break;
    case VchartPane::T2z:
      say(out, kSumsListing);
      say_decision_count(out, past_decision(*f.r));
      break;
    case VchartPane::T3:
      rules(out, f);
      break;
    case VchartPane::T4:
      capability(out, f);
      break;
    case VchartPane::C1:
      chart_graph(out, f, true);
      break;
    case VchartPane::C2:
      chart_graph(out, f, false);
      break;
    case VchartPane::G:
      histogram(out, f);
      break;
    case VchartPane::R0:
      run_length(out, f, false);
      break;
    case VchartPane::R1:
      run_length(out, f, true);
      break;
    case VchartPane::Rc:
      say(out, kCusumArl);
      break;
    case VchartPane::M1:
      say(out, kResiduals);
      break;
    case VchartPane::M2:
      say(out, kResidualAcf);
      break;
    case VchartPane::none:
      break;
  }
  return out;
}

// Every control chart carries the one title of the procedure; its chart-type
// code (the record's variant) chooses what is said.
[[maybe_unused]] const bool kRegistered = [] {
  register_interpreter(static_cast<int32_t>(Str::kVcTitle), chart_interpretation);
  return true;
}();

}  // namespace

}  // namespace ztq
