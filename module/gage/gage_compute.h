// The long-form gage R&R study: appraisers x parts x trials readings split
// into equipment variation (EV), appraiser variation (AV), the appraiser-by-
// part interaction (INT), R&R (GRR), part variation (PV) and total variation
// (TV), by the average-and-range method or by two-way ANOVA.
//
// Pure computation: columns and options in, GageResults out. Every study
// variation is k x sigma; missing values are -32768.0 (kMissing).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gage/gage_levels.h"

namespace ztq {

enum class GageMethod { average_range = 0, anova = 1 };

struct GageOptions {
  int variant = 2;        // 2 average and range, 3 ANOVA, 4 one-page report
  int method_option = 0;  // GageMethod of the profile: consulted by variant 4 only
  bool interaction = false;
  double k = 5.15;
  double tolerance = -32768.0;
  double reference = -32768.0;
  double confidence = 95.0;  // percent; 0 or less: no intervals

  GageMethod method() const {
    if (variant == 2) return GageMethod::average_range;
    if (variant == 4 && method_option == 0) return GageMethod::average_range;
    return GageMethod::anova;
  }
  bool with_interaction() const { return method() == GageMethod::anova && interaction; }
};

struct GageInput {
  GageColumn appraiser, part, trial;
  std::vector<double> measurement;
};

// The components in their order of the tables; int_ is INT.
struct Components {
  double ev = -32768.0, av = -32768.0, int_ = -32768.0, grr = -32768.0, pv = -32768.0,
         tv = -32768.0;
};

struct Interval {
  double lower = -32768.0, upper = -32768.0;
};

struct AnovaRow {
  double ss = -32768.0, df = -32768.0, ms = -32768.0, f = -32768.0, p = -32768.0;
};

struct GageResults {
  int32_t error = 0;  // 0 or the message number of the failure
  GageLevels appraisers, parts, trials;
  int32_t a = 0, p = 0, t = 0;
  GageMethod method = GageMethod::average_range;
  bool interaction = false;
  double k = 5.15;

  double grand_mean = -32768.0, ss_total = -32768.0;
  std::vector<double> appraiser_rbar, appraiser_xbar;  // A each
  std::vector<double> part_rbar, part_xbar;            // P each
  std::vector<double> cell_range, cell_mean;           // A x P, cell (a, p) at a x P + p
  double rbarbar = -32768.0, xdiff = -32768.0, rp = -32768.0;
  double rbar_parts = -32768.0, rbar_cells = -32768.0;
  double d1 = -32768.0, d2 = -32768.0;  // range-chart factors D1(T), D2(T); missing above 25
  double ss_a = -32768.0, ss_p = -32768.0, ss_ap = -32768.0;

  Components study;  // k x sigma
  double nu_ev = -32768.0, nu_av = -32768.0, nu_pv = -32768.0;
  double ms_error = -32768.0;  // ANOVA only

  // ANOVA table rows (filled for the ANOVA method).
  AnovaRow anova_a, anova_p, anova_ap, anova_e;
  double ss_e = -32768.0;
  double df_e = -32768.0;

  // Intervals (missing when the confidence level is 0 or an interval is not defined).
  bool intervals = false;
  Interval iv_ev, iv_av, iv_int, iv_grr, iv_pv;

  // The range chart of the cell ranges: centre, upper limit, ranges above it.
  double range_centre = -32768.0, range_ucl = -32768.0;
  int32_t range_beyond = 0;

  // Every reading by its codes: (a, p, t), 0-based, at (a x P + p) x T + t.
  std::vector<double> x;
  double reading(int32_t ai, int32_t pi, int32_t ti) const {
    return x[(static_cast<size_t>(ai) * p + pi) * t + ti];
  }

  Components sigma() const;
  Components variance() const;  // tv = sigma_GRR^2 + sigma_PV^2
  double rr_variance() const;   // sigma_INT^2 + sigma_AV^2 + sigma_EV^2
  double coverage() const;      // 100 (1 - 2 (1 - Phi(k / 2)))
  double ndc() const;           // floor(1.41 PV / GRR), at least 1; missing when GRR is 0
};

// Options: tolerance and reference in 1e-9..1e6 or missing, k in 1e-10..20.
// The caller refuses other values; the computation takes what it is given.
GageResults compute_gage(const GageInput& in, const GageOptions& o);

// 100 C / base for every component; all missing when base is not above 0.
Components percent_of(const Components& c, double base);
// 100 (C / TV)^2; all missing when TV is 0.
Components percent_contribution(const Components& c);

}  // namespace ztq
