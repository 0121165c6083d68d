// The long-form gage R&R study.
// References: Automotive Industry Action Group (2010), Measurement Systems
// Analysis, 4th ed., chapter III.B (average-and-range method, ANOVA method);
// Montgomery, D. C. and Runger, G. C. (1993), "Gauge capability and designed
// experiments. Part II", Quality Engineering 6(2), 289-305 (variance
// components of the two-way random model); Burdick, R. K., Borror, C. M. and
// Montgomery, D. C. (2005), Design and Analysis of Gauge R&R Studies, SIAM
// (confidence intervals of the components).
#include "gage/gage_compute.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "charts/factors.h"
#include "gage/d2star.h"
#include "gage/gage_fdist.h"
#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

constexpr double kM = kMissing;

// The failures of the study, in the order they are checked.
enum : int32_t {
  kErrMemory = 2,
  kErrConstant = 1070,
  kErrPartsAnova = 1097,
  kErrFewParts = 1098,
  kErrTrialsRange = 1130,
  kErrPartsRange = 1131,
  kErrFewTrials = 9000,
  kErrTrialsAnova = 9001,
  kErrFewAppraisers = 9002,
  kErrManyAppraisers = 9003,
  kErrUnbalanced = 9004
};

double sq(double v) { return v * v; }

// The limits on A, P and T, in their order.
int32_t check_limits(int32_t a, int32_t p, int32_t t, bool range_method) {
  if (a < 2) return kErrFewAppraisers;
  if (a > 18) return kErrManyAppraisers;
  if (p < 2) return kErrFewParts;
  if (range_method && p > 25) return kErrPartsRange;
  if (range_method && t > 25) return kErrTrialsRange;
  if (!range_method && p > 500) return kErrPartsAnova;
  if (!range_method && t > 500) return kErrTrialsAnova;
  if (t < 2) return kErrFewTrials;
  return 0;
}

// Study variation k sigma from a variance estimate; negative estimates give 0
// (the comparisons are strict: equal mean squares give 0).
double component(double k, double above, double below, double n) {
  return below < above ? k * std::sqrt((above - below) / n) : 0.0;
}

// Chi-square interval of a component estimated with nu degrees of freedom:
// C / sqrt(chi2(1 - alpha/2; nu) / nu) .. C / sqrt(chi2(alpha/2; nu) / nu).
Interval chi_interval(double c, double nu, double alpha) {
  Interval out;
  if (is_missing(c) || is_missing(nu) || !(nu > 0)) return out;
  const double hi = chisq_quantile(1.0 - alpha / 2.0, nu);
  const double lo = chisq_quantile(alpha / 2.0, nu);
  if (hi > 0) out.lower = c / std::sqrt(hi / nu);
  if (lo > 0) out.upper = c / std::sqrt(lo / nu);
  return out;
}

// The F-based bound k sqrt((MS_X / F - MS_D) / n), the algebraic form of
// k sqrt((MS_X / (F MS_D) - 1) MS_D / n) that stays finite when MS_D is 0;
// negative radicands give 0.
double f_bound(double k, double ms_x, double f, double ms_d, double n) {
  if (!(f > 0) || !std::isfinite(f)) return kM;
  return k * std::sqrt(std::max(0.0, (ms_x / f - ms_d) / n));
}

Interval f_interval(double k, double ms_x, double ms_d, double df_x, double df_d, double n,
                    double alpha) {
  Interval out;
  if (!(df_x > 0) || !(df_d > 0)) return out;
  out.lower = f_bound(k, ms_x, f_quantile(1.0 - alpha / 2.0, df_x, df_d), ms_d, n);
  out.upper = f_bound(k, ms_x, f_quantile(alpha / 2.0, df_x, df_d), ms_d, n);
  return out;
}

// F ratio and its upper-tail P-value by the gage F distribution; both missing
// when the denominator mean square is not above 0.
void f_test(AnovaRow& row, double ms_den, double df_den) {
  if (!(ms_den > 0) || !(df_den > 0) || !(row.df > 0)) return;
  row.f = row.ms / ms_den;
  row.p = 1.0 - gage_f_cdf(row.f, row.df, df_den);
}

void average_and_range(GageResults& r) {
  const double p = r.p, t = r.t, k = r.k;
  const D2Star ev = d2_star(r.t, r.a * r.p);
  const D2Star av = d2_star(r.a, 1);
  const D2Star pv = d2_star(r.p, 1);
  r.study.ev = r.rbarbar * k / ev.value;
  r.nu_ev = ev.nu;
  const double w = r.xdiff * k / av.value;
  r.nu_av = av.nu;
  const double v = sq(w) - sq(r.study.ev) / (p * t);
  r.study.av = v > 0 ? std::sqrt(v) : 0.0;
  r.study.int_ = 0.0;
  r.study.grr = std::sqrt(sq(r.study.ev) + sq(r.study.av));
  r.study.pv = r.rp * k / pv.value;
  r.nu_pv = pv.nu;
  r.study.tv = std::sqrt(sq(r.study.pv) + sq(r.study.grr));
}

void anova(GageResults& r) {
  const double a = r.a, p = r.p, t = r.t, k = r.k;
  r.anova_a = {r.ss_a, a - 1, r.ss_a / (a - 1)};
  r.anova_p = {r.ss_p, p - 1, r.ss_p / (p - 1)};
  const double df_ap = (a - 1) * (p - 1);
  if (r.interaction) {
    r.anova_ap = {r.ss_ap, df_ap, r.ss_ap / df_ap};
    r.ss_e = r.ss_total - r.ss_a - r.ss_p - r.ss_ap;
    r.df_e = p * a * (t - 1);
  } else {
    r.ss_e = r.ss_total - r.ss_a - r.ss_p;  // the interaction pooled into error
    r.df_e = p * a * t - a - p + 1;
  }
  r.ss_e = std::max(0.0, r.ss_e);  // a zero found by subtraction may come out as -1e-17
  r.ms_error = r.ss_e / r.df_e;
  r.anova_e = {r.ss_e, r.df_e, r.ms_error};
  r.nu_ev = r.df_e;
  const double ms_a = r.anova_a.ms, ms_p = r.anova_p.ms, ms_e = r.ms_error;
  r.study.ev = k * std::sqrt(ms_e);
  if (r.interaction) {
    const double ms_ap = r.anova_ap.ms;
    r.study.av = component(k, ms_a, ms_ap, p * t);
    r.study.int_ = component(k, ms_ap, ms_e, t);
    r.study.pv = component(k, ms_p, ms_ap, a * t);
    if (r.ss_e > 0) f_test(r.anova_ap, ms_e, r.df_e);
    f_test(r.anova_a, ms_ap, df_ap);
    f_test(r.anova_p, ms_ap, df_ap);
  } else {
    r.study.av = component(k, ms_a, ms_e, p * t);
    r.study.int_ = 0.0;
    r.study.pv = component(k, ms_p, ms_e, a * t);
    f_test(r.anova_a, ms_e, r.df_e);
    f_test(r.anova_p, ms_e, r.df_e);
  }
  r.study.grr = std::sqrt(sq(r.study.int_) + sq(r.study.av) + sq(r.study.ev));
  r.study.tv = std::sqrt(sq(r.study.pv) + sq(r.study.grr));
}

void intervals(GageResults& r, double confidence) {
  if (!(confidence > 0)) return;
  r.intervals = true;
  const double alpha = 1.0 - confidence / 100.0;
  const double a = r.a, p = r.p, t = r.t, k = r.k;
  if (r.method == GageMethod::average_range) {
    r.iv_ev = chi_interval(r.study.ev, r.nu_ev, alpha);
    r.iv_av = chi_interval(r.study.av, r.nu_av, alpha);
    r.iv_grr = chi_interval(r.study.grr, r.nu_ev + r.nu_av, alpha);
    r.iv_pv = chi_interval(r.study.pv, r.nu_pv, alpha);
    return;
  }
  const double ms_a = r.anova_a.ms, ms_p = r.anova_p.ms, ms_e = r.ms_error;
  r.iv_ev = chi_interval(r.study.ev, r.df_e, alpha);
  const double ms_d = r.interaction ? r.anova_ap.ms : ms_e;
  const double df_d = r.interaction ? (p - 1) * (a - 1) : r.df_e;
  r.iv_av = f_interval(k, ms_a, ms_d, a - 1, df_d, p * t, alpha);
  r.iv_pv = f_interval(k, ms_p, ms_d, p - 1, df_d, a * t, alpha);
  if (r.interaction)
    r.iv_int = f_interval(k, r.anova_ap.ms, ms_e, (p - 1) * (a - 1), p * a * (t - 1), t, alpha);
  // GRR: the appraiser mean square scaled by its chi-square quantile.
  auto grr = [&](double q) {
    if (!(q > 0)) return kM;
    const double scaled = ms_a / (q / (a - 1));
    const double v = r.interaction
                         ? (scaled + p * (t - 1) * ms_e + (p - 1) * r.anova_ap.ms) / (p * t)
                         : ((p * t - 1) * ms_e + scaled) / (p * t);
    return k * std::sqrt(std::max(0.0, v));
  };
  r.iv_grr.lower = grr(chisq_quantile(1.0 - alpha / 2.0, a - 1));
  r.iv_grr.upper = grr(chisq_quantile(alpha / 2.0, a - 1));
}

}  // namespace

GageResults compute_gage(const GageInput& in, const GageOptions& o) {
  GageResults r;
  r.k = o.k;
  r.method = o.method();
  r.interaction = o.with_interaction();
  try {
    r.appraisers = code_levels(in.appraiser);
    r.parts = code_levels(in.part);
    r.trials = code_levels(in.trial);
  } catch (const std::bad_alloc&) {
    r.error = kErrMemory;
    return r;
  }
  r.a = r.appraisers.count();
  r.p = r.parts.count();
  r.t = r.trials.count();
  r.error = check_limits(r.a, r.p, r.t, r.method == GageMethod::average_range);
  if (r.error != 0) return r;

  // Balance: every appraiser x part x trial holds exactly one usable reading.
  const size_t ap = static_cast<size_t>(r.a) * r.p, n = ap * r.t;
  std::vector<int32_t> count;
  try {
    count.assign(n, 0);
    r.x.assign(n, kM);
  } catch (const std::bad_alloc&) {
    r.error = kErrMemory;
    return r;
  }
  const size_t rows = std::min(
      {in.measurement.size(), r.appraisers.code.size(), r.parts.code.size(), r.trials.code.size()});
  for (size_t i = 0; i < rows; ++i) {
    const int32_t ca = r.appraisers.code[i], cp = r.parts.code[i], ct = r.trials.code[i];
    const double v = in.measurement[i];
    if (ca == kNoLevel || cp == kNoLevel || ct == kNoLevel || is_missing(v) || !std::isfinite(v))
      continue;
    const size_t at = (static_cast<size_t>(ca - 1) * r.p + (cp - 1)) * r.t + (ct - 1);
    ++count[at];
    r.x[at] = v;
  }
  for (int32_t c : count)
    if (c != 1) {
      r.error = kErrUnbalanced;
      return r;
    }
  // Grand mean and total sum of squares (two passes, Welford-free but centred).
  double sum = 0;
  for (double v : r.x) sum += v;
  r.grand_mean = sum / static_cast<double>(n);
  double ss = 0;
  bool constant = true;
  for (double v : r.x) {
    ss += sq(v - r.grand_mean);
    constant = constant && v == r.x[0];
  }
  r.ss_total = ss;
  if (constant) {
    r.error = kErrConstant;
    return r;
  }

  // Ranges and averages of the cells, appraisers and parts.
  const int32_t A = r.a, P = r.p, T = r.t;
  r.cell_range.assign(ap, 0.0);
  r.cell_mean.assign(ap, 0.0);
  r.appraiser_rbar.assign(A, 0.0);
  r.appraiser_xbar.assign(A, 0.0);
  r.part_rbar.assign(P, 0.0);
  r.part_xbar.assign(P, 0.0);
  for (int32_t ai = 0; ai < A; ++ai)
    for (int32_t pi = 0; pi < P; ++pi) {
      double lo = r.reading(ai, pi, 0), hi = lo, s = 0;
      for (int32_t ti = 0; ti < T; ++ti) {
        const double v = r.reading(ai, pi, ti);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        s += v;
      }
      const size_t c = static_cast<size_t>(ai) * P + pi;
      r.cell_range[c] = hi - lo;
      r.cell_mean[c] = s / T;
      r.appraiser_rbar[ai] += hi - lo;
      r.appraiser_xbar[ai] += s;
      r.part_rbar[pi] += hi - lo;
      r.part_xbar[pi] += s;
    }
  for (int32_t ai = 0; ai < A; ++ai) {
    r.appraiser_rbar[ai] /= P;
    r.appraiser_xbar[ai] /= static_cast<double>(P) * T;
  }
  for (int32_t pi = 0; pi < P; ++pi) {
    r.part_rbar[pi] /= A;
    r.part_xbar[pi] /= static_cast<double>(A) * T;
  }
  auto mean = [](const std::vector<double>& v) {
    double s = 0;
    for (double e : v) s += e;
    return s / static_cast<double>(v.size());
  };
  r.rbarbar = mean(r.appraiser_rbar);
  r.rbar_parts = mean(r.part_rbar);
  r.rbar_cells = mean(r.cell_range);
  const auto [amin, amax] = std::minmax_element(r.appraiser_xbar.begin(), r.appraiser_xbar.end());
  r.xdiff = *amax - *amin;
  const auto [pmin, pmax] = std::minmax_element(r.part_xbar.begin(), r.part_xbar.end());
  r.rp = *pmax - *pmin;
  if (T <= 25) {
    r.d1 = factor(Factor::D1, T);
    r.d2 = factor(Factor::D2, T);
    // Range chart of the cell ranges: R-bar + 3 d3(T) R-bar / d2(T) (Shewhart limits).
    r.range_centre = r.rbar_cells;
    r.range_ucl = r.rbar_cells + 3.0 * factor(Factor::d3, T) * r.rbar_cells / factor(Factor::d2, T);
    for (double c : r.cell_range) r.range_beyond += c > r.range_ucl ? 1 : 0;
  }

  // Sums of squares of the two-way layout.
  double sa = 0, sp = 0, sc = 0;
  for (double v : r.appraiser_xbar) sa += sq(v - r.grand_mean);
  for (double v : r.part_xbar) sp += sq(v - r.grand_mean);
  for (double v : r.cell_mean) sc += sq(v - r.grand_mean);
  r.ss_a = static_cast<double>(P) * T * sa;
  r.ss_p = static_cast<double>(A) * T * sp;
  r.ss_ap = std::max(0.0, T * sc - r.ss_a - r.ss_p);  // clamp the subtraction's residue

  if (r.method == GageMethod::average_range)
    average_and_range(r);
  else
    anova(r);
  intervals(r, o.confidence);
  return r;
}

Components GageResults::sigma() const {
  auto s = [&](double c) { return is_missing(c) ? kM : c / k; };
  return {s(study.ev), s(study.av), s(study.int_), s(study.grr), s(study.pv), s(study.tv)};
}

Components GageResults::variance() const {
  const Components s = sigma();
  auto v = [](double c) { return is_missing(c) ? kM : c * c; };
  Components out{v(s.ev), v(s.av), v(s.int_), v(s.grr), v(s.pv), kM};
  if (!is_missing(out.grr) && !is_missing(out.pv)) out.tv = out.grr + out.pv;
  return out;
}

double GageResults::rr_variance() const {
  const Components v = variance();
  if (is_missing(v.ev)) return kM;
  return (is_missing(v.int_) ? 0.0 : v.int_) + v.av + v.ev;
}

// Phi of the normal library: the share of a normal population within k sigma.
double GageResults::coverage() const { return 100.0 * (1.0 - 2.0 * (1.0 - norm_cdf(k / 2.0))); }

// Number of distinct categories, AIAG (2010) III.B: 1.41 PV / GRR, truncated.
double GageResults::ndc() const {
  if (is_missing(study.grr) || is_missing(study.pv) || !(study.grr > 0)) return kM;
  return std::max(1.0, std::floor(1.41 * study.pv / study.grr));
}

Components percent_of(const Components& c, double base) {
  if (is_missing(base) || !(base > 0)) return {kM, kM, kM, kM, kM, kM};
  auto f = [&](double v) { return is_missing(v) ? kM : 100.0 * v / base; };
  return {f(c.ev), f(c.av), f(c.int_), f(c.grr), f(c.pv), f(c.tv)};
}

Components percent_contribution(const Components& c) {
  const Components p = percent_of(c, c.tv);
  auto f = [](double v) { return is_missing(v) ? kM : v * v / 100.0; };
  return {f(p.ev), f(p.av), f(p.int_), f(p.grr), f(p.pv), f(p.tv)};
}

}  // namespace ztq
