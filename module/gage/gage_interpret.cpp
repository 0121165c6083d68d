// Sentences that explain the long-form gage study's panes: the split of the
// R&R variance, the study variation against the tolerance (AIAG 2010, III.B:
// at most 10 % acceptable, above 30 % not; this module's middle band ends at
// 25 %), the interaction's P-value, the range charts and the box plots.
#include <cmath>
#include <string>

#include "format/numfmt.h"
#include "gage/gage_family.h"
#include "gage/gage_interpret.h"
#include "gage/gage_rr_family.h"
#include "gage/gage_setup_family.h"
#include "gage/gage_strings.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

std::string trimmed(std::string s) {
  s.erase(s.find_last_not_of(' ') + 1);
  s.erase(0, s.find_first_not_of(' '));
  return s;
}

// Numbers as the sentences insert them: significant digits in a field of 16,
// or two decimals for the report.
std::string number(double v, bool report) {
  if (is_missing(v) || !std::isfinite(v)) return {};
  return trimmed(report ? format_fixed(v, 16, 2) : format_sig(v, 16, 6));
}

std::string count(int n) { return std::to_string(n); }

class Writer {
 public:
  Writer(Interpretation& out, bool report) : out_(out), report_(report) {}
  void say(int32_t n) { out_.add(n, gs::str(n)); }
  void say(int32_t n, std::initializer_list<std::string> values) {
    out_.add(n, gs::fill(n, values));
  }
  void value(double v) { out_.separator(" " + number(v, report_)); }

 private:
  Interpretation& out_;
  bool report_;
};

void beyond_verdict(Writer& w, int beyond) {
  if (beyond == 0)
    w.say(6008);
  else if (beyond == 1)
    w.say(6009);
  else
    w.say(6010, {count(beyond)});
}

struct Context {
  const AnalysisRecord& record;
  const GageResults& r;
  GageView view;
  bool with_int;
  double v;  // sigma_INT^2 + sigma_AV^2 + sigma_EV^2
};

void opening(Writer& w, const Context& c) {
  w.say(8161,
        {count(c.r.a), count(c.r.p), count(c.r.t), c.view.appraisers, c.view.parts, c.view.trials});
}

void shares(Writer& w, const Context& c) {
  if (!(c.v > 0)) return;  // a perfect gage: no variance to share
  const Components var = c.r.variance();
  w.say(8162);
  w.value(100.0 * var.av / c.v);
  w.say(8163);
  w.value(100.0 * var.ev / c.v);
  w.say(8164);
}

void tolerance_block(Writer& w, const Context& c) {
  const double tol = c.view.tolerance, ref = c.view.reference;
  if (!is_missing(tol) && tol > 0) {
    const double x = 100.0 * c.r.study.grr / tol;
    w.say(8181);
    w.value(tol / 2);
    w.say(8182);
    w.say(8183);
    w.value(x);
    w.say(8184);
    w.say(gage_tolerance_verdict(x));
  }
  if (!is_missing(ref) && ref > 0) {
    w.say(8188);
    w.value(100.0 * c.r.study.grr / ref);
    w.say(8189);
  }
}

void variance_shares(Writer& w, const Context& c) {
  if (!(c.r.study.tv > 0)) return;
  w.say(8178, {c.view.parts});
  w.value(100.0 * std::pow(c.r.study.grr / c.r.study.tv, 2));
  w.say(8179);
  w.value(100.0 * std::pow(c.r.study.pv / c.r.study.tv, 2));
  w.say(8180, {c.view.parts});
}

void box_sentences(Writer& w, const Context& c) {
  w.say(6012, {count(c.r.a)});
  w.say(7312);
  w.say(7313);
  if (c.record.option[25] != 0) w.say(7314);
  if (c.record.option[24] == 0) return w.say(7328);
  w.say(7315);
  w.say(7316);
  w.say(7317);
  const BoxCounts b = gage_box_counts(c.r, true);
  const int o = b.outside > 1 ? 2 : b.outside, f = b.far_outside > 1 ? 2 : b.far_outside;
  const int32_t n = 7318 + 3 * o + f;
  if (o == 2 && f == 2)
    w.say(n, {count(b.outside), count(b.far_outside)});
  else if (o == 2)
    w.say(n, {count(b.outside)});
  else if (f == 2)
    w.say(n, {count(b.far_outside)});
  else
    w.say(n);
}

Interpretation report(const Context& c) {
  Interpretation out;
  Writer w(out, true);
  opening(w, c);
  shares(w, c);
  variance_shares(w, c);
  const bool tol = !is_missing(c.view.tolerance) && c.view.tolerance > 0;
  const bool ref = !is_missing(c.view.reference) && c.view.reference > 0;
  if (tol || ref) {
    tolerance_block(w, c);
    w.say(4034);
    w.say(4035);
  }
  w.say(4036);
  w.say(6006, {count(c.r.t), count(c.r.a), c.view.parts});
  beyond_verdict(w, c.r.range_beyond);
  return out;
}

}  // namespace

int32_t gage_tolerance_verdict(double x) { return x <= 10 ? 8185 : x <= 25 ? 8186 : 8187; }

int32_t gage_interaction_verdict(double p) {
  return p >= 0.1 ? 8195 : p >= 0.05 ? 8196 : p >= 0.01 ? 8197 : 8198;
}

Interpretation interpret_gagelong(const void* record, int pane) {
  Interpretation out;
  if (record == nullptr) return out;
  const auto& rec = *static_cast<const AnalysisRecord*>(record);
  if (rec.variable_count != 4) return out;  // not a long-form record
  const auto* state = static_cast<const GageState*>(rec.results);
  if (state == nullptr || rec.error_state != 0 || state->results.error != 0) return out;
  const GageResults& r = state->results;
  GageView view;
  Analysis a(const_cast<AnalysisRecord&>(rec), gagelong());
  view = gage_view_of(a);
  const bool with_int = rec.variant == 3 && r.interaction;
  const Components var = r.variance();
  const double v = var.av + var.ev + (with_int ? var.int_ : 0.0);
  const Context c{rec, r, view, with_int, v};
  if (rec.variant == 4) {
    Context rc = c;
    rc.v = var.av + var.ev + (r.interaction ? var.int_ : 0.0);
    return report(rc);
  }
  if (rec.variant == 3) {
    if (pane == 2 || pane == 3)
      pane = 5 - pane;
    else if (pane >= 9 && pane <= 11)
      pane += 2;
  }
  Writer w(out, false);
  switch (pane) {
    case 1:
      opening(w, c);
      shares(w, c);
      if (c.v > 0) w.say(8165);
      break;
    case 2: {
      w.say(8171);
      w.value(r.k);
      w.say(8172);
      out.separator(" " + view.columns[3] + ".");
      w.say(8173);
      w.value(r.coverage());
      w.say(8174);
      w.say(8175, {view.parts});
      w.value(r.study.grr / 2);
      w.say(8176);
      w.value(r.study.grr);
      w.say(8177);
      variance_shares(w, c);
      w.say(8190);
      tolerance_block(w, c);
      break;
    }
    case 3:
      w.say(8191);
      w.say(8192);
      if (r.interaction) {
        w.say(8194);
        if (!is_missing(r.anova_ap.p)) w.say(gage_interaction_verdict(r.anova_ap.p));
      }
      w.say(8199);
      break;
    case 8:
      w.say(6001);
      w.say(6003);
      break;
    case 9:
    case 10:
      if (is_missing(r.range_ucl)) break;
      w.say(gs::kRangeOpening, {count(r.a), count(r.p), count(r.t)});
      w.say(6007);
      beyond_verdict(w, r.range_beyond);
      break;
    case 11:
      box_sentences(w, c);
      break;
    default:
      break;
  }
  return out;
}

// The setup interpretation: what the plan is for, with A, P and T.
Interpretation interpret_gageset(const void* record, int) {
  Interpretation out;
  if (record == nullptr) return out;
  const auto& rec = *static_cast<const AnalysisRecord*>(record);
  if (rec.error_state != 0) return out;
  out.add(8071, gs::str(8071));
  out.add(8072, gs::str(8072));
  out.add(8073, gs::fill(8073, {count(rec.option[0]), count(rec.option[1]), count(rec.option[2])}));
  out.add(8074, gs::str(8074));
  out.add(8075, gs::str(8075));
  return out;
}

namespace {

// The range-method study stores the titles 2170 and 2266 for its variants 0
// and 2 as well: its records (two variables) get its own interpretation.
bool is_range_method(const void* record) {
  return record != nullptr && static_cast<const AnalysisRecord*>(record)->variable_count == 2;
}

Interpretation by_setup_title(const void* record, int pane) {
  return is_range_method(record) ? interpret_gagerr(record, pane) : interpret_gageset(record, pane);
}

Interpretation by_average_range_title(const void* record, int pane) {
  return is_range_method(record) ? interpret_gagerr(record, pane)
                                 : interpret_gagelong(record, pane);
}

const bool kRegistered = [] {
  register_interpreter(2170, by_setup_title);
  register_interpreter(2250, interpret_gagerr);
  register_interpreter(gs::kTitleAverageRange, by_average_range_title);
  register_interpreter(gs::kTitleAnova, interpret_gagelong);
  register_interpreter(gs::kTitleReport, interpret_gagelong);
  return true;
}();
}  // namespace

}  // namespace ztq
