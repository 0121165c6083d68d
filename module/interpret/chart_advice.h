// What the control-chart interpretation shares between its files: the
// sentence numbers, the facts of a chart that every pane's sentences draw
// on, and the sentences of each kind of pane.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "charts/vchart_family.h"
#include "interpret/chart_verdict.h"
#include "interpret/interpret.h"

namespace ztq::chart_advice {

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
  kGraphShowsSums = 44071,
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

inline bool present(double v) { return !is_missing(v) && std::isfinite(v); }
inline double at(const std::vector<double>& v, size_t i) { return i < v.size() ? v[i] : kMissing; }
inline double at(const PointLine& v, size_t i) { return i < v.size() ? v[i] : kMissing; }

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

inline bool excluded_point(const ChartResults& r, size_t i) {
  return i < r.series.excluded.size() && r.series.excluded[i] != 0;
}

// The V-mask (codes 10, 13) and the decision-interval sums (14, 15) take the
// place of chart 1's limits.
inline bool shift_chart(int code) { return code == 10 || code == 13 || code == 14 || code == 15; }

// Sentences of the panes other than the summary, listing and charts.
int past_decision(const ChartResults& r);
void say_decision_count(Interpretation& out, int n);
void rules(Interpretation& out, const Facts& f);
void capability(Interpretation& out, const Facts& f);
void chart_kind(Interpretation& out, const Facts& f);
void histogram(Interpretation& out, const Facts& f);
void run_length(Interpretation& out, const Facts& f, bool arl);

}  // namespace ztq::chart_advice
