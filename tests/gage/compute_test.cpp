// The long-form gage study against the AIAG manual's worked example and hand
// calculations written out beside each expected value.
#include <gtest/gtest.h>

#include <cmath>

#include "gage/d2star.h"
#include "gage/gage_compute.h"
#include "gage_data.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

using test::design;
using test::study_input;

GageOptions options(int variant, bool interaction = false, double k = 5.15) {
  GageOptions o;
  o.variant = variant;
  o.interaction = interaction;
  o.k = k;
  return o;
}

TEST(D2Star, TableAndPatnaikFormula) {
  struct Row {
    int m, g;
    double d2s, nu, tol;
    const char* source;
  };
  const Row rows[] = {
      {3, 1, 1.91, 2.0, 0, "tabulated, g 1, m 3"},
      {2, 2, 1.28, 1.9, 0, "tabulated, g 2, m 2"},
      {4, 2, 2.15, 5.7, 0, "tabulated, g 2, m 4"},
      // r = 0.853 / 1.128 = 0.756206; 2 r^2 / 30 = 0.0381232; sqrt(1.0381232) = 1.0188833;
      // nu = 1 / 0.0377666 = 26.4785; d2* = 1.128 (1 + 1 / 105.914) = 1.138650
      {2, 30, 1.138650, 26.4785, 5e-6, "m 2, g 30: the EV of 3 x 10 x 2"},
      // r = 0.797 / 3.078 = 0.258934; 2 r^2 = 0.134093; sqrt(1.134093) = 1.0649380;
      // nu = 1 / 0.129876 = 7.69959; d2* = 3.078 (1 + 1 / 30.7984) = 3.177940
      {10, 1, 3.177940, 7.69959, 5e-6, "m 10, g 1: the PV of 10 parts"},
      // r = 0.888 / 1.693 = 0.524513; 2 r^2 / 30 = 0.0183409; nu = 54.7718;
      // d2* = 1.693 (1 + 1 / 219.087) = 1.700728
      {3, 30, 1.700728, 54.7718, 5e-6, "m 3, g 30: the EV of the AIAG example"},
      // Duncan (1986) Table D3 prints d2*(5, 5) = 2.35 and nu = 17.8 to its 3 figures.
      {5, 5, 2.35, 17.8, 0.05, "Duncan (1986), Table D3"},
  };
  for (const Row& r : rows) {
    const D2Star d = d2_star(r.m, r.g);
    EXPECT_NEAR(d.value, r.d2s, r.tol) << r.source;
    EXPECT_NEAR(d.nu, r.nu, r.tol * 20 + 1e-4 * (r.tol > 0)) << r.source;
  }
  EXPECT_EQ(d2_star(26, 1).value, kMissing);  // beyond the d2 table
  EXPECT_EQ(d2_star(1, 5).value, kMissing);
}

// AIAG (2010), III.B, the average-and-range worksheet: the appraiser averages
// and ranges, R-bar-bar, X-diff and Rp are exact sums of the readings.
TEST(GageStudy, AiagWorksheetSums) {
  const GageResults r = compute_gage(study_input(), options(2));
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.a, 3);
  EXPECT_EQ(r.p, 10);
  EXPECT_EQ(r.t, 3);
  // Sums of the 30 readings of A, B, C: 5.71, 2.05, -7.63; of their 10 ranges: 1.84, 5.13, 3.28.
  const double xbar[] = {5.71 / 30, 2.05 / 30, -7.63 / 30};
  const double rbar[] = {0.184, 0.513, 0.328};
  for (int a = 0; a < 3; ++a) {
    EXPECT_NEAR(r.appraiser_xbar[a], xbar[a], 1e-12);
    EXPECT_NEAR(r.appraiser_rbar[a], rbar[a], 1e-12);
  }
  EXPECT_NEAR(r.rbarbar, 10.25 / 30, 1e-12);         // (1.84 + 5.13 + 3.28) / 30 = 0.3417
  EXPECT_NEAR(r.xdiff, (5.71 + 7.63) / 30, 1e-12);   // 0.1903 - (-0.2543) = 0.4447
  EXPECT_NEAR(r.rp, (17.46 - (-14.14)) / 9, 1e-12);  // part 9 sums 17.46, part 10 -14.14
  EXPECT_NEAR(r.part_xbar[8], 1.94, 1e-12);          // the manual's 1.940
  EXPECT_NEAR(r.grand_mean, 0.13 / 90, 1e-12);       // 0.0014
  EXPECT_EQ(r.appraisers.labels[1], "B                   ");
}

// AIAG (2010) reports sigma values with K1 = 0.5908, K2 = 0.5231, K3 = 0.3146
// (1 / 1.6926, 1 / 1.9117, 1 / 3.1786): EV 0.20188, AV 0.22963, GRR 0.30575,
// PV 1.10456, TV 1.14610, %GRR 26.68, ndc 5. This module uses d2*(3, 30) =
// 1.7007 from Patnaik's formula, d2*(3, 1) = 1.91 and d2*(10, 1) = 3.1779:
// EV 0.3416667 / 1.7007275 = 0.2008944 (0.5 % below), w = 0.4446667 / 1.91 =
// 0.2328098, AV = sqrt(w^2 - EV^2 / 30) = 0.2299024, GRR = 0.3053091,
// PV = 3.5111111 / 3.1779404 = 1.1048386, TV = 1.1462469.
TEST(GageStudy, AiagAverageAndRangeComponents) {
  const GageResults r = compute_gage(study_input(), options(2));
  ASSERT_EQ(r.error, 0);
  const Components s = r.sigma();
  struct Row {
    double got, mine, manual;
    const char* name;
  } rows[] = {{s.ev, 0.2008944, 0.20188, "EV"},
              {s.av, 0.2299024, 0.22963, "AV"},
              {s.grr, 0.3053091, 0.30575, "GRR"},
              {s.pv, 1.1048386, 1.10456, "PV"},
              {s.tv, 1.1462469, 1.14610, "TV"}};
  for (const Row& row : rows) {
    EXPECT_NEAR(row.got, row.mine, 1e-6) << row.name;
    EXPECT_NEAR(row.got / row.manual, 1.0, 0.006) << row.name << " against the manual";
  }
  EXPECT_EQ(s.int_, 0.0);
  EXPECT_NEAR(percent_of(r.study, r.study.tv).grr, 26.6355, 1e-3);  // manual 26.68
  EXPECT_EQ(r.ndc(), 5.0);  // floor(1.41 x 1.1048 / 0.3053) = floor(5.10); manual 5
  EXPECT_NEAR(r.study.ev, 5.15 * 0.2008944, 1e-6);
}

// The ANOVA of the same readings. AIAG (2010), III.B, ANOVA table: SS 3.1673,
// 88.3619, 0.3590, 2.7589, total 94.6471; F 79.41 and 492.29 against the
// interaction, 0.434 for the interaction. Pooled (no interaction): MS_E =
// (0.3590 + 2.7589) / 78 = 0.039973; EV = sqrt(0.039973) = 0.19993;
// AV = sqrt((1.583631 - 0.039973) / 30) = 0.22684; PV = sqrt((9.817993 -
// 0.039973) / 9) = 1.04233; ndc = floor(1.41 x 1.04233 / 0.30237) = 4.
TEST(GageStudy, AiagAnova) {
  const GageResults with = compute_gage(study_input(), options(3, true));
  ASSERT_EQ(with.error, 0);
  EXPECT_NEAR(with.anova_a.ss, 3.16726, 1e-5);
  EXPECT_NEAR(with.anova_p.ss, 88.36193, 1e-5);
  EXPECT_NEAR(with.anova_ap.ss, 0.35898, 1e-5);
  EXPECT_NEAR(with.anova_e.ss, 2.75893, 1e-5);
  EXPECT_NEAR(with.ss_total, 94.64711, 1e-5);
  EXPECT_EQ(with.anova_ap.df, 18.0);  // (10 - 1)(3 - 1)
  EXPECT_EQ(with.anova_e.df, 60.0);   // 10 x 3 x (3 - 1)
  EXPECT_NEAR(with.anova_a.f, 79.406, 1e-3);
  EXPECT_NEAR(with.anova_p.f, 492.29, 1e-2);
  EXPECT_NEAR(with.anova_ap.f, 0.43372, 1e-5);
  // MS_AP < MS_E: the interaction component is 0 and AV, PV use MS_AP.
  EXPECT_EQ(with.study.int_, 0.0);
  EXPECT_NEAR(with.sigma().av, std::sqrt((1.5836311 - 0.0199435) / 30), 1e-6);
  EXPECT_GT(with.anova_ap.p, 0.9);  // F 0.43 on 18 and 60 df: P about 0.97

  const GageResults pooled = compute_gage(study_input(), options(3, false));
  ASSERT_EQ(pooled.error, 0);
  EXPECT_EQ(pooled.df_e, 78.0);  // 90 - 3 - 10 + 1
  EXPECT_NEAR(pooled.ms_error, 0.0399733, 1e-7);
  const Components s = pooled.sigma();
  EXPECT_NEAR(s.ev, 0.1999332, 1e-6);
  EXPECT_NEAR(s.av, 0.2268375, 1e-6);
  EXPECT_NEAR(s.pv, 1.0423275, 1e-6);
  EXPECT_EQ(pooled.ndc(), 4.0);
  EXPECT_NEAR(pooled.anova_a.f, 1.5836311 / 0.0399733, 1e-3);  // against MS_E without it
}

// k = 6 against 5.15 scales every study variation by 6 / 5.15 and leaves the
// percentages of TV as they are.
TEST(GageStudy, SigmaMultipleScalesVariationsOnly) {
  for (int variant : {2, 3}) {
    const GageResults a = compute_gage(study_input(), options(variant, true, 5.15));
    const GageResults b = compute_gage(study_input(), options(variant, true, 6.0));
    EXPECT_NEAR(b.study.grr, a.study.grr * 6.0 / 5.15, 1e-12);
    EXPECT_NEAR(b.study.tv, a.study.tv * 6.0 / 5.15, 1e-12);
    EXPECT_NEAR(percent_of(b.study, b.study.tv).grr, percent_of(a.study, a.study.tv).grr, 1e-9);
  }
}

// Trials numbered 10, 20, 30 code like 1, 2, 3: only the sorted order counts.
TEST(GageLevels, TrialNumbersOnlyOrderMatters) {
  GageInput in = study_input();
  const GageResults a = compute_gage(in, options(2));
  for (double& t : in.trial.numbers) t *= 10;
  const GageResults b = compute_gage(in, options(2));
  ASSERT_EQ(b.error, 0);
  EXPECT_EQ(b.study.grr, a.study.grr);
  EXPECT_EQ(b.trials.labels[2], "30                  ");
}

TEST(GageLevels, TextsSortCaseSensitiveAndBlanksDrop) {
  GageColumn c;
  c.character = true;
  c.texts = {"b ", "B ", "a ", "  ", "b ", "B"};
  const GageLevels l = code_levels(c);
  ASSERT_EQ(l.count(), 3);  // "B" < "a" < "b" in character order
  EXPECT_EQ(l.code[0], 3);
  EXPECT_EQ(l.code[1], 1);
  EXPECT_EQ(l.code[5], 1);  // padding does not make a new level
  EXPECT_EQ(l.code[3], kNoLevel);
  GageColumn n;
  n.numbers = {2.5, kMissing, 1.0, 2.5};
  const GageLevels m = code_levels(n);
  EXPECT_EQ(m.count(), 2);
  EXPECT_EQ(m.code[1], kNoLevel);
  EXPECT_EQ(m.labels[1], "2.5                 ");
}

// AV of exactly 0 gives GRR = EV by both methods. Every appraiser reads the
// same values (x = part + 0.1 trial), so X-diff = 0 and MS_A = 0.
TEST(GageStudy, NoAppraiserEffectGivesGrrEqualEv) {
  const GageInput in = design(3, 5, 2, [](int, int p, int t) { return p + 0.1 * t; });
  for (int variant : {2, 3}) {
    const GageResults r = compute_gage(in, options(variant, variant == 3));
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(r.study.av, 0.0) << variant;
    EXPECT_NEAR(r.study.grr, r.study.ev, 1e-12) << variant;
  }
}

// The limits in their order, each case failing only the condition it names.
TEST(GageStudy, ErrorStatesInOrder) {
  auto flat = [](int, int p, int t) { return p + 0.01 * t; };
  struct Row {
    int a, p, t, variant;
    int32_t error;
    const char* why;
  } rows[] = {
      {1, 5, 2, 2, 9002, "one appraiser"},
      {19, 2, 2, 2, 9003, "19 appraisers"},
      {19, 1, 1, 2, 9003, "appraisers are checked before parts and trials"},
      {2, 1, 2, 2, 1098, "one part"},
      {2, 26, 2, 2, 1131, "26 parts by average and range"},
      {2, 26, 30, 2, 1131, "parts before trials"},
      {2, 3, 26, 2, 1130, "26 trials by average and range"},
      {2, 501, 2, 3, 1097, "501 parts by ANOVA"},
      {2, 3, 501, 3, 9001, "501 trials by ANOVA"},
      {2, 3, 1, 2, 9000, "one trial"},
      {2, 26, 2, 3, 0, "26 parts are accepted by ANOVA"},
  };
  for (const Row& r : rows) {
    const GageResults g = compute_gage(design(r.a, r.p, r.t, flat), options(r.variant));
    EXPECT_EQ(g.error, r.error) << r.why;
  }
  // Variant 4 follows GageMethod: 0 average and range, else ANOVA.
  GageOptions o = options(4);
  EXPECT_EQ(compute_gage(design(2, 26, 2, flat), o).error, 1131);
  o.method_option = 1;
  EXPECT_EQ(compute_gage(design(2, 26, 2, flat), o).error, 0);
  // Constant readings: 1070.
  EXPECT_EQ(compute_gage(design(2, 3, 2, [](int, int, int) { return 4.0; }), options(2)).error,
            1070);
}

TEST(GageStudy, UnbalancedDesigns) {
  GageInput missing = study_input();
  missing.measurement[7] = kMissing;  // one cell one reading short
  EXPECT_EQ(compute_gage(missing, options(2)).error, 9004);
  GageInput duplicated = study_input();
  duplicated.trial.numbers[1] = 1;  // A, part 1: trial 1 twice, trial 2 never
  EXPECT_EQ(compute_gage(duplicated, options(3)).error, 9004);
  GageInput dropped = study_input();
  dropped.part.numbers[40] = kMissing;  // a missing identifier drops its row
  EXPECT_EQ(compute_gage(dropped, options(2)).error, 9004);
  // Every cell read twice over (c = 2 readings per combination): refused too.
  GageInput twice = study_input();
  const size_t n = twice.measurement.size();
  for (size_t i = 0; i < n; ++i) {
    twice.appraiser.texts.push_back(twice.appraiser.texts[i]);
    twice.part.numbers.push_back(twice.part.numbers[i]);
    twice.trial.numbers.push_back(twice.trial.numbers[i]);
    twice.measurement.push_back(twice.measurement[i]);
  }
  EXPECT_EQ(compute_gage(twice, options(2)).error, 9004);
}

// A perfect gage: every repeat equal and every appraiser and part average
// equal (cells [[1, 2], [2, 1]]): EV = AV = PV = 0 by average and range, so
// TV = 0 and every percentage of TV and of the R&R variance is missing.
TEST(GageStudy, PerfectGageLeavesPercentagesMissing) {
  const GageInput in = design(2, 2, 2, [](int a, int p, int) { return a == p ? 1.0 : 2.0; });
  const GageResults r = compute_gage(in, options(2));
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.study.tv, 0.0);
  EXPECT_EQ(percent_of(r.study, r.study.tv).grr, kMissing);
  EXPECT_EQ(percent_contribution(r.study).ev, kMissing);
  EXPECT_EQ(r.rr_variance(), 0.0);
  EXPECT_EQ(r.ndc(), kMissing);
  // By ANOVA with the interaction: SS_E is 0 (a residue is clamped), the
  // interaction takes everything: MS_AP = 4 x 0.25 x 2 / 1 = 2; INT = k sqrt(2 / 2).
  const GageResults v = compute_gage(in, options(3, true));
  ASSERT_EQ(v.error, 0);
  EXPECT_EQ(v.ss_e, 0.0);
  EXPECT_EQ(v.study.ev, 0.0);
  EXPECT_NEAR(v.study.int_, 5.15, 1e-12);
  EXPECT_EQ(v.anova_ap.f, kMissing);  // SS_E not above 0
  // The F intervals over MS_E = 0 stay finite: k sqrt(MS_AP / F / T).
  ASSERT_TRUE(v.intervals);
  EXPECT_GT(v.iv_int.upper, v.iv_int.lower);
  EXPECT_TRUE(std::isfinite(v.iv_int.upper));
}

// Every repeat equal, so SS_E is 0; found by subtraction in double arithmetic
// it comes out as -2.8e-14 for these cells (2 appraisers x 6 parts x 2
// trials), and a negative MS_E would end the study in sqrt: it is clamped.
TEST(GageStudy, ErrorSumOfSquaresResidueIsClamped) {
  const double cells[2][6] = {{2.55, 4.95, 4.49, 6.52, 7.89, 0.94},
                              {0.28, 8.36, 4.33, 7.62, 0.02, 4.45}};
  const GageInput in = design(2, 6, 2, [&](int a, int p, int) { return cells[a][p]; });
  const GageResults r = compute_gage(in, options(3, true));
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.ss_e, 0.0);
  EXPECT_EQ(r.study.ev, 0.0);
  EXPECT_TRUE(std::isfinite(r.study.grr));
  EXPECT_TRUE(std::isfinite(r.iv_av.upper));
}

// Intervals of the pooled ANOVA at 95 %: EV with df_E = 78 degrees of freedom,
// lower = 0.19993 / sqrt(chi2(0.975; 78) / 78); chi2(0.975; 78) = 104.316
// (Wilson-Hilferty: 78 (1 - 2/702 + 1.95996 sqrt(2/702))^3 = 104.31).
TEST(GageStudy, IntervalsAndTheirSwitch) {
  GageOptions o = options(3);
  const GageResults r = compute_gage(study_input(), o);
  ASSERT_TRUE(r.intervals);
  EXPECT_NEAR(r.iv_ev.lower / 5.15, 0.1999332 / std::sqrt(104.316 / 78), 2e-4);
  EXPECT_LT(r.iv_av.lower, r.study.av);
  EXPECT_GT(r.iv_av.upper, r.study.av);
  EXPECT_LT(r.iv_grr.lower, r.study.grr);
  EXPECT_GT(r.iv_grr.upper, r.study.grr);
  EXPECT_EQ(r.iv_int.lower, kMissing);  // no interaction term
  o.confidence = 0;
  EXPECT_FALSE(compute_gage(study_input(), o).intervals);
  const GageResults ar = compute_gage(study_input(), options(2));
  EXPECT_LT(ar.iv_pv.lower, ar.study.pv);
  EXPECT_GT(ar.iv_pv.upper, ar.study.pv);
}

// Range chart of the 30 cell ranges: centre 10.25 / 30 = 0.341667; D4(3) =
// 1 + 3 x 0.888 / 1.693 = 2.573538, UCL = 0.879292. The largest cell ranges
// are B's part 4 (1.03 - 0.01 = 1.02) and B's part 2 (0.75): one above it.
TEST(GageStudy, RangeChartOfCells) {
  const GageResults r = compute_gage(study_input(), options(2));
  EXPECT_NEAR(r.range_centre, 0.341667, 1e-6);
  EXPECT_NEAR(r.range_ucl, 0.341667 * (1 + 3 * 0.888 / 1.693), 1e-6);
  EXPECT_EQ(r.range_beyond, 1);
}

TEST(GageStudy, BadInputNeverCrashes) {
  GageInput empty;
  EXPECT_EQ(compute_gage(empty, options(2)).error, 9002);
  GageInput ragged = study_input();
  ragged.measurement.resize(10);  // shorter than the identifiers
  EXPECT_EQ(compute_gage(ragged, options(3)).error, 9004);
  GageInput many = design(1, 1, 1, [](int, int, int) { return 1.0; });
  many.appraiser.numbers.clear();
  for (int i = 0; i < 100000; ++i) many.appraiser.numbers.push_back(i);
  EXPECT_EQ(compute_gage(many, options(2)).error, 9003);
}

}  // namespace
}  // namespace ztq
