// The results of the long-form gage study as JSON members (see the command
// line's `results` keys): missing values are null.
#include <string>

#include "bridge/json.h"
#include "gage/gage_family.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

std::string components(const Components& c, bool six = true) {
  JsonObject o;
  o.add_number("ev", c.ev);
  o.add_number("av", c.av);
  o.add_number("int", c.int_);
  if (six) {
    o.add_number("grr", c.grr);
    o.add_number("pv", c.pv);
    o.add_number("tv", c.tv);
  }
  return o.str();
}

std::string pair(const std::vector<double>& rbar, const std::vector<double>& xbar,
                 const char* first = "rbar", const char* second = "xbar") {
  JsonObject o;
  o.add_numbers(first, rbar);
  o.add_numbers(second, xbar);
  return o.str();
}

std::string interval(const Interval& i) {
  if (is_missing(i.lower) && is_missing(i.upper)) return "null";
  return "[" + json_number(i.lower) + "," + json_number(i.upper) + "]";
}

std::string anova_row(const AnovaRow& row, bool test) {
  JsonObject o;
  o.add_number("ss", row.ss);
  o.add_number("df", row.df);
  if (!is_missing(row.ms)) o.add_number("ms", row.ms);
  if (test) {
    o.add_number("f", row.f);
    o.add_number("p", row.p);
  }
  return o.str();
}

}  // namespace

std::string Gagelong::results_json(const Analysis& a) const {
  const GageState* s = a.results<GageState>();
  if (s == nullptr) return {};
  const GageResults& r = s->results;
  const AnalysisRecord& rec = a.record();
  JsonObject o;
  o.add_number("a", r.a);
  o.add_number("p", r.p);
  o.add_number("t", r.t);
  o.add_number("method", r.method == GageMethod::anova ? 1 : 0);
  o.add_number("interaction", r.interaction ? 1 : 0);
  o.add_number("k_multiple", r.k);
  o.add_number("grand_mean", r.grand_mean);
  o.add_number("ss_total", r.ss_total);
  o.add_raw("appraisers", pair(r.appraiser_rbar, r.appraiser_xbar));
  o.add_raw("parts", pair(r.part_rbar, r.part_xbar));
  o.add_raw("cells", pair(r.cell_range, r.cell_mean, "range", "mean"));
  o.add_number("rbarbar", r.rbarbar);
  o.add_number("xdiff", r.xdiff);
  o.add_number("rp", r.rp);
  o.add_number("rbar_parts", r.rbar_parts);
  o.add_number("rbar_cells", r.rbar_cells);
  if (is_missing(r.d1)) {
    o.add_raw("range_factors", "null");
  } else {
    JsonObject f;
    f.add_number("d1", r.d1);
    f.add_number("d2", r.d2);
    o.add_raw("range_factors", f.str());
  }
  JsonObject ss;
  ss.add_number("appraisers", r.ss_a);
  ss.add_number("parts", r.ss_p);
  ss.add_number("interaction", r.ss_ap);
  o.add_raw("ss", ss.str());
  o.add_raw("study", components(r.study));
  JsonObject nu;
  nu.add_number("ev", r.nu_ev);
  nu.add_number("av", r.nu_av);
  nu.add_number("pv", r.nu_pv);
  o.add_raw("nu", nu.str());
  o.add_number("ms_error", r.ms_error);
  o.add_raw("sigma", components(r.sigma()));
  o.add_raw("variance", components(r.variance()));
  const double v = r.rr_variance();
  const Components var = r.variance();
  o.add_raw("percent_grr_variance",
            v > 0 ? components(percent_of({var.ev, var.av, var.int_, 0, 0, 0}, v), false)
                  : std::string("null"));
  o.add_raw("percent_tv",
            r.study.tv > 0 ? components(percent_of(r.study, r.study.tv)) : std::string("null"));
  o.add_raw("percent_contribution",
            r.study.tv > 0 ? components(percent_contribution(r.study)) : std::string("null"));
  const double tol = rec.doption[1], ref = rec.doption[2];
  o.add_raw("percent_tolerance",
            !is_missing(tol) && tol > 0 ? components(percent_of(r.study, tol)) : "null");
  o.add_raw("percent_reference",
            !is_missing(ref) && ref > 0 ? components(percent_of(r.study, ref)) : "null");
  o.add_number("coverage", r.coverage());
  if (r.intervals) {
    JsonObject iv;
    iv.add_raw("ev", interval(r.iv_ev));
    iv.add_raw("av", interval(r.iv_av));
    iv.add_raw("int", r.interaction ? interval(r.iv_int) : "null");
    iv.add_raw("grr", interval(r.iv_grr));
    iv.add_raw("pv", interval(r.iv_pv));
    o.add_raw("intervals", iv.str());
  } else {
    o.add_raw("intervals", "null");
  }
  if (rec.variant == 3 && r.method == GageMethod::anova) {
    JsonObject an;
    an.add_raw("appraisers", anova_row(r.anova_a, true));
    an.add_raw("parts", anova_row(r.anova_p, true));
    an.add_raw("interaction", r.interaction ? anova_row(r.anova_ap, true) : "null");
    an.add_raw("error", anova_row(r.anova_e, false));
    AnovaRow total;
    total.ss = r.ss_total;
    total.df = static_cast<double>(r.a) * r.p * r.t - 1;
    an.add_raw("total", anova_row(total, false));
    o.add_raw("anova", an.str());
  } else {
    o.add_raw("anova", "null");
  }
  if (is_missing(r.range_ucl)) {
    o.add_raw("range_chart", "null");
  } else {
    JsonObject rc;
    rc.add_number("centre", r.range_centre);
    rc.add_number("ucl", r.range_ucl);
    rc.add_number("beyond", r.range_beyond);
    o.add_raw("range_chart", rc.str());
  }
  if (rec.variant == 4 || rec.option[24] == 0) {
    o.add_raw("boxplot", "null");
  } else {
    const BoxCounts b = gage_box_counts(r, true);
    JsonObject bo;
    bo.add_number("outside", b.outside);
    bo.add_number("far_outside", b.far_outside);
    o.add_raw("boxplot", bo.str());
  }
  o.add_number("ndc", r.ndc());
  return o.members();
}

}  // namespace ztq
