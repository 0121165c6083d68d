// Juran (1951), Quality Control Handbook: the vital few classes that carry
// most of the defects, taken here as those that first reach 80 percent.
#include "interpret/pareto_interpret.h"

#include <cstdint>

#include "interpret/sentence.h"
#include "ztqualty.h"

namespace ztq {

namespace {

enum : int32_t {
  kRanksByCount = 8052,
  kRanksByScore = 8053,
  kTotalCount = 8054,
  kTotalScore = 8055,
  kLeader = 8061,
  kVitalFew = 8062,
  kFewDominate = 8063,
  kSpread = 8064,
  kFolded = 8065,
  kParetoChart = 8066,
  kParetoChartScores = 8067,
  kCumulativeChart = 8068,
  kCumulativePlain = 44100,
};

constexpr int kListedLabels = 6;  // labels named in a sentence before "..."

std::string trimmed(const std::string& s) {
  const size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

// How many classes are ranked (the folded class stands for several).
int ranked(const ParetoResults& r) {
  return static_cast<int>(r.classes.size()) - (r.folded && !r.classes.empty() ? 1 : 0);
}

std::string first_labels(const ParetoResults& r, int k) {
  std::string list;
  for (int i = 0; i < k; ++i) {
    if (i == kListedLabels) return list + ", ...";
    list += (i > 0 ? ", " : "") + trimmed(r.classes[static_cast<size_t>(i)].label);
  }
  return list;
}

// A share of the total score with two decimals, as the frequency table shows it.
SentenceArg percent(const ParetoResults& r, double score) {
  return SentenceArg::fixed(r.percent(score), 2);
}

void summary(Interpretation& out, const ParetoResults& r, const std::string& variable) {
  say(out, r.weighted ? kRanksByScore : kRanksByCount, {variable, r.classes_before});
  say(out, kTotalCount, {r.total_count});
  if (r.weighted) say(out, kTotalScore, {r.total_score});
}

void table(Interpretation& out, const ParetoResults& r) {
  if (r.classes.empty() || r.total_score <= 0) return;
  const ParetoClass& lead = r.classes.front();
  if (!(r.folded && r.classes.size() == 1))
    say(out, kLeader, {trimmed(lead.label), percent(r, lead.score)});
  const int k = vital_few(r);
  if (k > 1) {
    const double share = r.percent(r.classes[static_cast<size_t>(k - 1)].cum_score);
    say(out, kVitalFew, {k, first_labels(r, k), SentenceArg::fixed(share, 2)});
  }
  // A verdict: do a few classes carry most of the total?
  if (k > 0) say(out, 2 * k <= r.classes_before ? kFewDominate : kSpread);
  if (r.folded) {
    const ParetoClass& rest = r.classes.back();
    const int folded = r.classes_before - ranked(r);
    say(out, kFolded, {folded, trimmed(rest.label), percent(r, rest.score)});
  }
}

}  // namespace

int vital_few(const ParetoResults& r) {
  const int n = ranked(r);
  for (int i = 0; i < n; ++i)
    if (r.percent(r.classes[static_cast<size_t>(i)].cum_score) >= kVitalShare - 1e-9) return i + 1;
  return 0;
}

Interpretation pareto_sentences(const ParetoResults& r, const std::string& variable, int pane) {
  Interpretation out;
  switch (pane) {
    case 1:
      summary(out, r, variable);
      break;
    case 2:
      table(out, r);
      break;
    case 8:
      say(out, r.weighted ? kParetoChartScores : kParetoChart,
          {static_cast<int>(r.classes.size())});
      break;
    case 9:
      if (vital_few(r) == 0 || !say(out, kCumulativeChart, {vital_few(r), kVitalShare}))
        say(out, kCumulativePlain);
      break;
    default:
      break;
  }
  return out;
}

namespace {

Interpretation pareto_interpretation(const void* record, int pane) {
  const auto& rec = *static_cast<const AnalysisRecord*>(record);
  if (rec.results == nullptr) return {};
  return pareto_sentences(*static_cast<const ParetoResults*>(rec.results),
                          rec.variables[0].expression[0] != '\0' ? rec.variables[0].expression
                                                                 : rec.variables[1].expression,
                          pane);
}

// The Pareto records carry title 1946; only the Pareto procedure uses it.
[[maybe_unused]] const bool kRegistered = [] {
  register_interpreter(1946, pareto_interpretation);
  return true;
}();

}  // namespace

}  // namespace ztq
