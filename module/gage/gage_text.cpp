// The text panes of the long-form gage study: the summary, the gage R&R
// table, the ANOVA table and the one-page report's table.
#include <cmath>
#include <cstdio>
#include <string>

#include "format/numfmt.h"
#include "gage/boxplot.h"
#include "gage/gage_panes.h"
#include "gage/gage_strings.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

constexpr const char* kEol = "\r\n";
constexpr int kField = 20;  // every number of the tables, left-aligned

std::string num(double v, int digits) {
  if (is_missing(v) || !std::isfinite(v)) return {};
  return format_sig(v, kField, digits);
}

std::string pad(std::string s, size_t w) {
  if (s.size() < w) s.resize(w, ' ');
  return s;
}

std::string rpad(const std::string& s, size_t w) {
  return s.size() >= w ? s : std::string(w - s.size(), ' ') + s;
}

// A factor label at the start of a row: cut to w - 1 and padded to w.
std::string row_label(const std::string& label, size_t w) { return pad(label.substr(0, w - 1), w); }

std::string strip_end(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// One table row: label (18) and number fields (20 each), trailing blanks cut.
std::string row(const std::string& label, std::initializer_list<std::string> cells) {
  std::string out = row_label(label, 18);
  for (const std::string& c : cells) out += pad(c, kField);
  return strip_end(out) + kEol;
}

std::string title(const GageView& v, int pane) {
  const int32_t base = v.variant == 3 ? gs::kTitleAnova : gs::kTitleAverageRange;
  return gs::str(base + pane) + kEol + kEol;
}

// The four input variables with their labels.
std::string variables(const GageView& v) {
  const std::string labels[4] = {v.appraisers, v.parts, v.trials, gs::str(gs::kMeasurement)};
  std::string t;
  for (int i = 0; i < 4; ++i) t += labels[i] + ": " + v.columns[i] + kEol;
  return t + kEol;
}

struct ComponentRow {
  int32_t label;  // 0: the parts label
  double Components::*member;
};

// The rows of the components in their order; INT only where it is shown.
std::vector<ComponentRow> component_rows(bool with_int) {
  std::vector<ComponentRow> rows = {{gs::kEv, &Components::ev}, {gs::kAv, &Components::av}};
  if (with_int) rows.push_back({gs::kInt, &Components::int_});
  rows.push_back({gs::kGrr, &Components::grr});
  rows.push_back({0, &Components::pv});
  rows.push_back({gs::kTv, &Components::tv});
  return rows;
}

std::string label_of(const GageView& v, int32_t label) {
  return label == 0 ? v.parts : gs::str(label);
}

}  // namespace

std::string gage_error_text(int32_t error_state) {
  return text(static_cast<Str>(message_of_error_state(error_state)));
}

BoxCounts gage_box_counts(const GageResults& r, bool fences) {
  BoxCounts c;
  if (!fences || r.x.empty()) return c;
  for (int32_t a = 0; a < r.a; ++a) {
    std::vector<double> values;
    values.reserve(static_cast<size_t>(r.p) * r.t);
    for (int32_t p = 0; p < r.p; ++p)
      for (int32_t t = 0; t < r.t; ++t) values.push_back(r.reading(a, p, t));
    const BoxStats b = box_stats(std::move(values), true);
    c.outside += b.outside_low + b.outside_high;
    c.far_outside += b.far_low + b.far_high;
  }
  return c;
}

std::string gage_summary_text(const GageView& v) {
  std::string t = title(v, 1) + variables(v);
  if (!v.ok()) return t + gage_error_text(v.error) + kEol;
  const GageResults& r = *v.r;
  const int d = v.digits;
  if (v.variant == 2) {
    t += pad(gs::str(gs::kRbarbar), 44) + num(r.rbarbar, d) + kEol;
    t += pad(gs::str(gs::kXdiff), 44) + num(r.xdiff, d) + kEol + kEol;
  }
  t += gs::str(gs::kVarianceComponents) + kEol;
  t += row(gs::str(gs::kSource),
           {gs::str(gs::kSigma), gs::str(gs::kVariance), gs::str(gs::kPercentRr)});
  const Components s = r.sigma(), var = r.variance();
  const double total = r.rr_variance();
  auto share = [&](double c) { return total > 0 ? num(100.0 * c / total, d) : std::string(); };
  const bool with_int = v.shows_int();
  t += row(gs::str(gs::kEv), {num(s.ev, d), num(var.ev, d), share(var.ev)});
  t += row(gs::str(gs::kAv), {num(s.av, d), num(var.av, d), share(var.av)});
  if (with_int) t += row(gs::str(gs::kInt), {num(s.int_, d), num(var.int_, d), share(var.int_)});
  t += row(gs::str(gs::kGrr), {num(s.grr, d), num(var.grr, d), share(var.grr)});
  t += row(v.parts, {num(s.pv, d), num(var.pv, d)});
  t += row(gs::str(gs::kTotal), {num(s.tv, d), num(var.tv, d)});
  return t;
}

std::string gage_rr_text(const GageView& v) {
  std::string t = title(v, v.variant == 3 ? 3 : 2);
  if (!v.ok()) return t + gage_error_text(v.error) + kEol;
  const GageResults& r = *v.r;
  const int d = v.digits;
  t += v.appraisers + ": " + std::to_string(r.a) + "   " + v.parts + ": " + std::to_string(r.p) +
       "   " + v.trials + ": " + std::to_string(r.t) + kEol;
  t += gs::fill(gs::kCoverage, {num(r.k, d), num(r.coverage(), d)}) + kEol + kEol;
  const auto rows = component_rows(v.shows_int());
  const Components pt = percent_of(r.study, r.study.tv), pc = percent_contribution(r.study);
  t += row(gs::str(gs::kSource), {gs::str(gs::kStudyVariation), gs::str(gs::kPercentTv),
                                  gs::str(gs::kPercentContribution)});
  for (const ComponentRow& c : rows)
    t += row(label_of(v, c.label),
             {num(r.study.*c.member, d), num(pt.*c.member, d), num(pc.*c.member, d)});
  const double ndc = r.ndc();
  t += kEol + gs::fill(gs::kNdc, {is_missing(ndc) ? std::string() : num(ndc, d)}) + kEol;

  const bool tol = !is_missing(v.tolerance) && v.tolerance > 0;
  const bool ref = !is_missing(v.reference) && v.reference > 0;
  if (tol || ref) {
    const Components ptol = percent_of(r.study, v.tolerance),
                     pref = percent_of(r.study, v.reference);
    t += kEol;
    std::string head = row_label(gs::str(gs::kSource), 18);
    if (tol) head += pad(gs::str(gs::kPercentTolerance), kField);
    if (ref) head += pad(gs::str(gs::kPercentReference), kField);
    t += strip_end(head) + kEol;
    for (const ComponentRow& c : rows) {
      std::string line = row_label(label_of(v, c.label), 18);
      if (tol) line += pad(num(ptol.*c.member, d), kField);
      if (ref) line += pad(num(pref.*c.member, d), kField);
      t += strip_end(line) + kEol;
    }
    if (tol) t += pad(gs::str(gs::kTolerance), 18) + num(v.tolerance, d) + kEol;
    if (ref) t += pad(gs::str(gs::kReference), 18) + num(v.reference, d) + kEol;
  }
  if (r.intervals) {
    t += kEol + gs::fill(gs::kConfidenceHeading, {num(v.confidence, d)}) + kEol;
    t += row(gs::str(gs::kSource),
             {gs::str(gs::kLower), gs::str(gs::kEstimate), gs::str(gs::kUpper)});
    auto line = [&](int32_t label, const Interval& i, double c) {
      t += row(label_of(v, label), {num(i.lower, d), num(c, d), num(i.upper, d)});
    };
    line(gs::kEv, r.iv_ev, r.study.ev);
    line(gs::kAv, r.iv_av, r.study.av);
    if (v.shows_int()) line(gs::kInt, r.iv_int, r.study.int_);
    line(gs::kGrr, r.iv_grr, r.study.grr);
    line(0, r.iv_pv, r.study.pv);
  }
  return t;
}

std::string gage_anova_text(const GageView& v) {
  std::string t = title(v, 2);
  if (!v.ok()) return t + gage_error_text(v.error) + kEol;
  const GageResults& r = *v.r;
  const int d = v.digits;
  const bool test = r.interaction;
  auto cell = [&](double x, int w) { return rpad(num(x, d), w); };
  auto df = [](double x) {
    char b[32];
    std::snprintf(b, sizeof b, "%10.0f", x);
    return std::string(b);
  };
  auto p_value = [](double p) {
    if (is_missing(p)) return std::string(14, ' ');
    return format_fixed(p, 14, 4);
  };
  std::string head = row_label(gs::str(gs::kSource), 20) + rpad(gs::str(gs::kSumSquares), 20) +
                     rpad(gs::str(gs::kDf), 10) + rpad(gs::str(gs::kMeanSquare), 20) +
                     rpad(gs::str(gs::kFRatio), 14) + rpad(gs::str(gs::kPValue), 14);
  t += head + kEol;
  const std::string rule =
      std::string(20, '-') + std::string(20, '-') + std::string(20, '-') + std::string(20, '-');
  t += rule + kEol;
  auto line = [&](const std::string& label, const AnovaRow& a, bool f) {
    std::string s = row_label(label, 20) + cell(a.ss, 20) + df(a.df) + cell(a.ms, 20);
    if (f) s += cell(a.f, 14) + p_value(a.p);
    t += strip_end(s) + kEol;
  };
  line(v.appraisers, r.anova_a, true);
  line(v.parts, r.anova_p, true);
  if (test) line(gs::str(gs::kInteractionRow), r.anova_ap, true);
  line(gs::str(gs::kErrorRow), r.anova_e, false);
  t += rule + kEol;
  AnovaRow total;
  total.ss = r.ss_total;
  total.df = static_cast<double>(r.a) * r.p * r.t - 1;
  line(gs::str(gs::kTotal), total, false);
  return t;
}

std::string gage_report_text(const GageView& v) {
  std::string t = gs::str(gs::kTitleReport) + kEol + kEol + variables(v);
  if (!v.ok()) return t + gage_error_text(v.error) + kEol;
  const GageResults& r = *v.r;
  const int d = v.digits;
  const bool tol = !is_missing(v.tolerance) && v.tolerance > 0;
  const Components s = r.sigma(), var = r.variance();
  const Components ptol = percent_of(r.study, v.tolerance);
  t += row(gs::str(gs::kSource), {gs::str(gs::kSigma), gs::str(gs::kPercentContribution),
                                  tol ? gs::str(gs::kPercentTolerance) : std::string()});
  for (const ComponentRow& c : component_rows(r.interaction)) {
    const double share = var.tv > 0 ? 100.0 * (var.*c.member) / var.tv : kMissing;
    t += row(label_of(v, c.label),
             {num(s.*c.member, d), num(share, d), tol ? num(ptol.*c.member, d) : std::string()});
  }
  if (tol) t += kEol + pad(gs::str(gs::kTolerance), 18) + num(v.tolerance, d) + kEol;
  return t;
}

}  // namespace ztq
