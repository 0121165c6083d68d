// The interpretation of the control-chart panes: what each pane shows, its
// key numbers, and the verdict on the points beyond the limits (the binomial
// chance of chart_verdict.h). The summary, the listing and the two charts are
// here; the other panes in chart_panes_advice.cpp.
#include <algorithm>
#include <cctype>
#include <string>

#include "bridge/procedures.h"
#include "interpret/chart_advice.h"
#include "interpret/sentence.h"

namespace ztq {
namespace {

using namespace chart_advice;
using vchart_detail::chart_title;
using vchart_detail::statistic_name;

constexpr int kListedLabels = 12;  // labels named in a sentence before "..."

// A name as it reads inside a sentence: "Range" becomes "range", "EWMA" stays.
std::string in_sentence(std::string name) {
  if (name.size() >= 2 && std::isupper(static_cast<unsigned char>(name[0])) &&
      !std::isupper(static_cast<unsigned char>(name[1])))
    name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
  return name;
}

Facts facts_of(const AnalysisRecord& rec, const VchartState& s) {
  Facts f;
  f.state = &s;
  f.r = &s.results;
  f.o = chart_options_of(rec);
  f.code = rec.variant;
  ChartTraits t;
  f.has2 = chart_traits(f.code, &t) && t.has_chart2;
  f.name1 = in_sentence(text(statistic_name(f.code, true)));
  f.name2 = in_sentence(text(statistic_name(f.code, false)));
  f.data = rec.variables[0].expression;
  const VchartCounts& counted = s.counts();  // every pane's sentences read them: counted once
  f.excluded = counted.excluded;
  f.n1 = counted.present1;
  f.n2 = f.has2 ? counted.present2 : 0;
  f.c1 = counted.marked1;
  f.c2 = f.has2 ? counted.marked2 : 0;
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
  if (shift_chart(f.code)) {  // chart 1 spoke through its mask or decision lines
    if (f.has2) say_count(out, true, f.c2, f.name2);
    return;
  }
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
  if (shift_chart(f.code))
    chart_kind(out, f);
  else
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
    list += f.state->labels[i];
  }
  return list;
}

void listing(Interpretation& out, const Facts& f) {
  say(out, kListing, {f.r->points});
  if (f.c1 > 0) say(out, kListedBeyond, {f.name1, labels_beyond(f, false)});
  if (f.has2 && f.c2 > 0) say(out, kListedBeyond, {f.name2, labels_beyond(f, true)});
  if (f.c1 == 0) say_count(out, false, 0, f.name1);
  if (f.has2 && f.c2 == 0) say_count(out, true, 0, f.name2);
  say_excluded(out, f.excluded);
}

void chart_graph(Interpretation& out, const Facts& f, bool first) {
  const ChartResults& r = *f.r;
  const std::string& name = first ? f.name1 : f.name2;
  if (first && shift_chart(f.code)) {
    // the V-mask and the decision-interval sums have no control limits: their
    // own lines say whether the mean has shifted
    say(out, kGraphShowsSums, {name});
    chart_kind(out, f);
    return;
  }
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
