// The summary pane S of the control charts, the routing table of the panes,
// the pane masks and the helpers the pane files share.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "bridge/strings.h"
#include "charts/chart_kind.h"
#include "charts/vchart_panes.h"
#include "format/numfmt.h"

namespace ztq {

using namespace vchart_detail;

namespace vchart_detail {

std::string pad(std::string s, std::size_t w) {
  s.resize(w, ' ');
  return s;
}

std::string chart_title(int code) {
  if (code < 0 || code >= kChartCodeCount) return text(Str::kVcTitle);
  return text(static_cast<Str>(static_cast<int32_t>(Str::kVcChart0) + code));
}

int32_t error_message_of(int32_t error_state) { return message_of_error_state(error_state); }

bool individuals_wording(int code) {
  switch (code) {
    case 3:
    case 7:
    case 8:
    case 9:
    case 10:
    case 17:
    case 19:
    case 21:
      return true;
    default:
      return false;
  }
}

}  // namespace vchart_detail

VchartPane vchart_pane_of(int code, int pane) {
  using P = VchartPane;
  // Panes 1, 2, 3, 4, 8, 9, 10, 11, 12 by group of codes.
  static const P kGroups[][9] = {
      {P::S, P::T2, P::T3, P::T4, P::C1, P::C2, P::G, P::R0, P::R1},            // 0, 1, 2
      {P::S, P::T2, P::T3, P::T4, P::C1, P::C2, P::R0, P::R1, P::none},         // 3
      {P::S, P::T2, P::T3, P::none, P::C1, P::R0, P::R1, P::none, P::none},     // 4 to 7
      {P::S, P::T2, P::T4, P::none, P::C1, P::C2, P::R0, P::R1, P::none},       // 8, 9
      {P::S, P::T2, P::T4, P::none, P::C1, P::C2, P::G, P::R0, P::R1},          // 11, 12
      {P::S, P::T2, P::none, P::none, P::C1, P::C2, P::Rc, P::none, P::none},   // 10, 13
      {P::S, P::T2z, P::none, P::none, P::C1, P::C2, P::Rc, P::none, P::none},  // 14, 15
      {P::S, P::T2, P::T3, P::T4, P::C1, P::C2, P::M1, P::M2, P::G},            // 16, 17
      {P::S, P::T2, P::T3, P::none, P::C1, P::C2, P::G, P::none, P::none},      // 18, 19
      {P::S, P::T2, P::T4, P::none, P::C1, P::C2, P::G, P::R0, P::R1},          // 20
      {P::S, P::T2, P::T4, P::none, P::C1, P::C2, P::R0, P::R1, P::none},       // 21
  };
  static const int kGroupOf[kChartCodeCount] = {0, 0, 0, 1, 2, 2, 2, 2, 3, 3, 5,
                                                4, 4, 5, 6, 6, 7, 7, 8, 8, 9, 10};
  if (code < 0 || code >= kChartCodeCount) return P::none;
  int column = -1;
  if (pane >= 1 && pane <= 4) column = pane - 1;
  if (pane >= 8 && pane <= 12) column = pane - 4;
  return column < 0 ? P::none : kGroups[kGroupOf[code]][column];
}

void vchart_masks(int code, int32_t out[2]) {
  static const int32_t kMasks[kChartCodeCount][2] = {
      {15, 7},  {15, 7},  {15, 7}, {15, 3}, {7, 1}, {7, 1}, {7, 1}, {7, 1},
      {7, 3},   {7, 3},   {3, 2},  {7, 7},  {7, 7}, {3, 2}, {3, 3}, {3, 3},
      {15, 31}, {15, 31}, {7, 7},  {7, 7},  {7, 7}, {7, 3}};
  const bool valid = code >= 0 && code < kChartCodeCount;
  out[0] = valid ? kMasks[code][0] : 0;
  out[1] = valid ? kMasks[code][1] : 0;
}

namespace {

bool usable(const ChartResults& r, std::size_t i) {
  const ChartSeries& s = r.series;
  return i < s.stat1.size() && !is_missing(s.stat1[i]) &&
         !(i < s.excluded.size() && s.excluded[i] != 0);
}

bool beyond(double x, double ucl, double lcl) {
  return (!is_missing(ucl) && x > ucl) || (!is_missing(lcl) && x < lcl);
}

double at(const PointLine& v, std::size_t i) { return i < v.size() ? v[i] : kMissing; }

std::string value_cell(double v) { return pad(format_six(v, 16), 16); }

// What the rules of a code without a runs-rules pane were applied to: the
// smoothed charts test their smoothed points (the zones from the smoothed
// statistic's own limits), the cumulative sums only their chart 2.
std::string rules_applied_to(const VchartView& v) {
  ChartTraits t;
  chart_traits(v.code, &t);
  if (t.kind == ChartKind::cusum || t.kind == ChartKind::decision_cusum)
    return text(Str::kVcRulesNotOnSums);
  bool zone = false;
  for (int k = 3; k <= 6; ++k) zone |= v.options->rule_enabled(k);
  return text(zone ? Str::kVcRulesOnSmoothedZones : Str::kVcRulesOnSmoothed);
}

}  // namespace

bool beyond_chart1(const ChartResults& r, std::size_t i) {
  return usable(r, i) && beyond(r.series.stat1[i], at(r.series.ucl1, i), at(r.series.lcl1, i));
}

bool beyond_chart2(const ChartResults& r, std::size_t i) {
  const double x = r.series.stat2_at(i);
  return usable(r, i) && !is_missing(x) && beyond(x, at(r.series.ucl2, i), at(r.series.lcl2, i));
}

namespace {

// VISIT(first, end, ucl1, lcl1, ucl2, lcl2) for the runs of points over which
// none of the limits changes (one a phase when they are constant).
template <class Visit>
void each_run(const ChartResults& r, Visit visit) {
  const ChartSeries& s = r.series;
  const std::size_t n = s.stat1.size();
  for (std::size_t i = 0; i < n;) {
    std::size_t end = n;
    for (const PointLine* line : {&s.ucl1, &s.lcl1, &s.ucl2, &s.lcl2})
      if (i < line->size()) end = std::min(end, line->run_end(i));  // past its size: missing
    visit(i, end, at(s.ucl1, i), at(s.lcl1, i), at(s.ucl2, i), at(s.lcl2, i));
    i = end;
  }
}

// VISIT(from, to, x2) for points FIRST to END - 1 a block at a time, X2 chart
// 2's values of the block (missing past its end): the moving ranges may be
// formed as they are read.
template <class Visit>
void each_stat2_block(const ChartSeries& s, std::size_t first, std::size_t end, Visit visit) {
  constexpr std::size_t kBlock = 1024;
  double x2[kBlock];
  for (std::size_t from = first; from < end; from += kBlock) {
    const std::size_t to = std::min(end, from + kBlock);
    s.read_stat2(from, to - from, x2);
    visit(from, to, static_cast<const double*>(x2));
  }
}

// A run's limits as bounds: a missing limit is no limit, an infinite one,
// which no point passes.
struct Bounds {
  double hi1, lo1, hi2, lo2;
};
Bounds bounds_of(double u1, double l1, double u2, double l2) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  return {is_missing(u1) ? kInf : u1, is_missing(l1) ? -kInf : l1, is_missing(u2) ? kInf : u2,
          is_missing(l2) ? -kInf : l2};
}

}  // namespace

// As beyond_chart1, beyond_chart2 and the flag words point by point, in one
// pass over plain arrays; MARK only for the points flagged.
void each_flagged(const ChartResults& r, const std::function<void(std::size_t, bool, bool)>& mark) {
  const ChartSeries& s = r.series;
  const double* y = s.stat1.data();
  const char* ex = s.excluded.data();
  const std::uint16_t* words = s.flags.data();
  const std::size_t n_ex = s.excluded.size(), n_fl = s.flags.size();
  each_run(r, [&](std::size_t first, std::size_t end, double u1, double l1, double u2, double l2) {
    const Bounds b = bounds_of(u1, l1, u2, l2);
    const auto visit = [&](std::size_t i, bool out, double v, double x, bool flagged) {
      const bool use = !out & !is_missing(v);
      const bool beyond1 = use & ((v > b.hi1) | (v < b.lo1));
      const bool beyond2 = use & !is_missing(x) & ((x > b.hi2) | (x < b.lo2));
      if (beyond1 | beyond2 | flagged) mark(i, beyond1, beyond2);
    };
    each_stat2_block(s, first, end, [&](std::size_t from, std::size_t to, const double* x2) {
      // Where every array reaches, plain reads; past the end of one, its default.
      const std::size_t full = std::max(from, std::min({to, n_ex, n_fl}));
      for (std::size_t i = from; i < full; ++i)
        visit(i, ex[i] != 0, y[i], x2[i - from], words[i] != 0);
      for (std::size_t i = full; i < to; ++i)
        visit(i, i < n_ex && ex[i] != 0, y[i], x2[i - from], i < n_fl && words[i] != 0);
    });
  });
}

// As beyond_chart1 and beyond_chart2 point by point, in one pass over plain
// arrays. Counted with bitwise operators: a branch on a point's side of a line
// would be mispredicted as often as the points scatter.
VchartCounts vchart_counts(const ChartResults& r) {
  VchartCounts c;
  const ChartSeries& s = r.series;
  const double* y = s.stat1.data();
  const char* ex = s.excluded.data();
  const std::size_t n_ex = s.excluded.size();
  auto finite = [](double v) { return !is_missing(v) & std::isfinite(v); };
  each_run(r, [&](std::size_t first, std::size_t end, double u1, double l1, double u2, double l2) {
    const auto [hi1, lo1, hi2, lo2] = bounds_of(u1, l1, u2, l2);
    each_stat2_block(s, first, end, [&](std::size_t from, std::size_t to, const double* x2) {
      // The block's counts in locals of its own, kept in registers.
      int excluded = 0, marked1 = 0, marked2 = 0, present1 = 0, present2 = 0;
      const auto count = [&](bool out, double v, double x) {
        const bool use = !out & !is_missing(v);
        excluded += out;
        marked1 += use & ((v > hi1) | (v < lo1));
        marked2 += use & !is_missing(x) & ((x > hi2) | (x < lo2));
        present1 += (!out) & finite(v);
        present2 += (!out) & finite(x);
      };
      // Where every array reaches, plain reads; past the end of one, its default.
      const std::size_t full = std::max(from, std::min(to, n_ex));
      for (std::size_t i = from; i < full; ++i) count(ex[i] != 0, y[i], x2[i - from]);
      for (std::size_t i = full; i < to; ++i) count(i < n_ex && ex[i] != 0, y[i], x2[i - from]);
      c.excluded += excluded, c.marked1 += marked1, c.marked2 += marked2;
      c.present1 += present1, c.present2 += present2;
    });
  });
  return c;
}

std::string vchart_summary_text(const ChartResults& r, const VchartView& v) {
  const bool attribute = is_attribute_code(v.code);
  const bool standard = v.options != nullptr && v.options->to_standard();
  std::string out = chart_title(v.code) + " - " +
                    text(standard ? Str::kVcFromStandard : Str::kVcFromData) + v.data_name;
  if (attribute && v.code != 7 && !v.size_name.empty()) out += " & " + v.size_name;
  out += std::string(kCrLf) + kCrLf;
  if (v.error_state != 0) {
    return out + text(static_cast<Str>(error_message_of(v.error_state))) + kCrLf;
  }

  // Counting lines.
  ChartTraits t;
  chart_traits(v.code, &t);
  const bool subgrouped = t.family == ChartFamily::subgrouped;
  out += text_with(individuals_wording(v.code) ? Str::kVcObservationsUsed : Str::kVcPointsUsed,
                   r.used) +
         kCrLf;
  if (subgrouped || (attribute && v.code != 7)) {
    out += text(attribute ? Str::kVcAverageSample : Str::kVcAverageSize) + " " +
           format_six_right(r.nbar, 16) + kCrLf;
  }
  if (subgrouped) {
    double observations = 0;
    for (std::size_t i = 0; i < r.series.size.size(); ++i)
      if (usable(r, i) && !is_missing(r.series.size[i])) observations += r.series.size[i];
    out += text_with(Str::kVcObservationCount, static_cast<int>(observations)) + kCrLf;
  }
  const VchartCounts counts = v.counts != nullptr ? *v.counts : vchart_counts(r);
  out += text_with(Str::kVcMarked1, counts.marked1) + kCrLf;
  if (t.has_chart2) out += text_with(Str::kVcMarked2, counts.marked2) + kCrLf;
  out += text_with(Str::kVcExcludedCount, counts.excluded) + kCrLf + kCrLf;

  // Parameters of the trend, decision-interval and acceptance codes.
  const auto row = [&](Str label, double value) {
    out += " " + pad(text(label), 24) + format_six_right(value, 16) + kCrLf;
  };
  const ChartOptions o = v.options != nullptr ? *v.options : default_chart_options();
  if (v.code == 14 || v.code == 15) {
    row(Str::kVcDecisionH, o.decision_interval());
    row(Str::kVcReferenceK, o.reference_value());
    row(Str::kVcHeadstart, o.headstart());
    row(Str::kVcTargetCentre, standard ? o.standard_centre() : r.centre);
    out += kCrLf;
  } else if (v.code >= 18) {
    if (v.code <= 19) {
      row(Str::kVcTrendIntercept, r.trend.a);
      row(Str::kVcTrendSlope, r.trend.b);
    } else {
      row(Str::kVcDelta, o.acceptance_delta());
      if (o.acceptance_alpha_given()) row(Str::kVcAlpha, o.acceptance_alpha());
    }
    if (!is_missing(o.usl())) row(Str::kVcUsl, o.usl());
    if (!is_missing(o.lsl())) row(Str::kVcLsl, o.lsl());
    out += kCrLf;
  }

  // Centre lines and limits by phase, one column each.
  out += text(Str::kVcLimitsHeading) + kCrLf;
  std::string head = std::string(24, ' '), rule = std::string(24, ' ');
  for (const PhaseResult& p : r.phases) {
    head += pad("#" + std::to_string(p.first) + "-" + std::to_string(p.last), 16);
    rule += "------------    ";
  }
  out += head + kCrLf + rule + kCrLf;
  const auto table_row = [&](Str label, auto value_of) {
    out += pad(text(label), 24);
    for (const PhaseResult& p : r.phases) out += value_cell(value_of(p));
    out += kCrLf;
  };
  table_row(Str::kVcRowUcl1, [](const PhaseResult& p) { return p.lines.ucl1; });
  table_row(Str::kVcRowCl1, [](const PhaseResult& p) { return p.lines.cl1; });
  table_row(Str::kVcRowLcl1, [](const PhaseResult& p) { return p.lines.lcl1; });
  if (t.has_chart2) {
    table_row(Str::kVcRowUcl2, [](const PhaseResult& p) { return p.lines.ucl2; });
    table_row(Str::kVcRowCl2, [](const PhaseResult& p) { return p.lines.cl2; });
    table_row(Str::kVcRowLcl2, [](const PhaseResult& p) { return p.lines.lcl2; });
  }
  table_row(Str::kVcRowCentre, [](const PhaseResult& p) { return p.estimates.centre; });
  table_row(Str::kVcRowSigma, [](const PhaseResult& p) { return p.estimates.sigma; });
  if (!attribute)
    table_row(Str::kVcRowDispersion, [](const PhaseResult& p) { return p.estimates.dispersion; });
  if (subgrouped || (attribute && v.code != 7))
    table_row(Str::kVcRowNbar, [](const PhaseResult& p) { return p.estimates.nbar; });
  if (standard) {
    const ChartStandard s = r.standard;
    table_row(Str::kVcRowStdCentre, [&](const PhaseResult&) { return s.centre; });
    table_row(Str::kVcRowStdSigma, [&](const PhaseResult&) { return s.sigma; });
  }
  // Codes without a runs-rules pane (smoothed and cumulative charts) name the
  // rules that marked their points here.
  if (vchart_pane_of(v.code, 3) != VchartPane::T3 && v.options != nullptr) {
    bool any = false;
    for (int k = 1; k <= 6; ++k) any |= v.options->rule_enabled(k);
    if (any) out += kCrLf + vchart_rules_in_force(v) + rules_applied_to(v) + kCrLf;
  }
  return out;
}

}  // namespace ztq
