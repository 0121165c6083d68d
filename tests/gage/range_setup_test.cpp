// The range-method study against the AIAG manual's example and the text's
// worked R-bar; the study plan against hand-run draws of its generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gage/gage_rr.h"
#include "gage/gage_setup.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

// AIAG (2010), III.B, range method: parts 1-5 read by A (0.85 0.75 1.00 0.45
// 0.50) and B (0.80 0.70 0.95 0.55 0.60); ranges 0.05 0.05 0.05 0.10 0.10,
// R-bar = 0.35 / 5 = 0.07; the manual divides by d2* = 1.19: GRR 0.0588.
// d2*(2, 5) by Patnaik: 2 r^2 / 5 = 0.228739, nu = 1 / (2 x 1.108485 - 2) =
// 4.60894, d2* = 1.128 (1 + 1 / 18.4358) = 1.189185; 0.07 / 1.189185 = 0.058864.
TEST(RangeMethod, AiagExample) {
  const RangeMethodResults r =
      compute_range_method({0.85, 0.75, 1.00, 0.45, 0.50}, {0.80, 0.70, 0.95, 0.55, 0.60}, 5.15);
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.n, 5);
  EXPECT_EQ(r.last_row, 5);
  EXPECT_NEAR(r.rbar, 0.07, 1e-15);
  EXPECT_NEAR(r.d2star, 1.189185, 1e-6);
  EXPECT_NEAR(r.sigma_grr, 0.058864, 1e-6);
  EXPECT_NEAR(r.sigma_grr, 0.0588, 1e-4);  // the manual's 0.07 / 1.19
  EXPECT_NEAR(r.percent_tolerance(1.0), 5.15 * 0.058864 * 100, 1e-3);
  EXPECT_EQ(r.percent_tolerance(kMissing), kMissing);
  EXPECT_NEAR(r.ucl, 0.07 * (1 + 3 * 0.853 / 1.128), 1e-12);  // D4(2) = 3.2686
  EXPECT_EQ(r.beyond, 0);
}

// Two pairs with differences 0.2 and 0.4: R-bar 0.3, sigma = 0.3 / 1.28 (the
// tabulated d2*(2, 2)); a pair with a missing reading is skipped but its row
// still counts for the row numbers.
TEST(RangeMethod, TwoPairsAndGaps) {
  const RangeMethodResults r =
      compute_range_method({1.0, kMissing, 2.0, 5.0}, {1.2, 3.0, 2.4, kMissing}, 5.15);
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.n, 2);
  EXPECT_EQ(r.last_row, 3);
  EXPECT_NEAR(r.rbar, 0.3, 1e-12);
  EXPECT_NEAR(r.sigma_grr, 0.3 / 1.28, 1e-12);
  EXPECT_EQ(r.d2star, 1.28);
}

TEST(RangeMethod, Errors) {
  EXPECT_EQ(compute_range_method({}, {}, 5.15).error, 3);
  EXPECT_EQ(compute_range_method({1.0}, {1.1}, 5.15).error, 1007);
  EXPECT_EQ(compute_range_method({kMissing, kMissing}, {1.0, 2.0}, 5.15).error, 1007);
  std::vector<double> a(501, 1.0), b(501, 1.5);
  EXPECT_EQ(compute_range_method(a, b, 5.15).error, 1097);
  a.resize(500);
  b.resize(500);
  const RangeMethodResults ok = compute_range_method(a, b, 5.15);
  EXPECT_EQ(ok.error, 0);  // 500 pairs are accepted
  EXPECT_NEAR(ok.rbar, 0.5, 1e-12);
  // Columns of different lengths: the shorter one's missing rows drop out.
  EXPECT_EQ(compute_range_method({1, 2, 3}, {1.5, 2.5}, 5.15).n, 2);
}

// 2 appraisers x 3 parts x 2 trials without randomising, in run order.
TEST(GagePlan, PlainOrder) {
  PlanOptions o;
  o.a = 2;
  o.p = 3;
  o.t = 2;
  const GagePlan plan = build_plan(o);
  ASSERT_EQ(plan.runs(), 12u);
  const int want[12][3] = {{0, 1, 1}, {0, 2, 1}, {0, 3, 1}, {0, 1, 2}, {0, 2, 2}, {0, 3, 2},
                           {1, 1, 1}, {1, 2, 1}, {1, 3, 1}, {1, 1, 2}, {1, 2, 2}, {1, 3, 2}};
  for (size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(plan.appraiser_of(i), want[i][0]) << i;
    EXPECT_EQ(plan.part[i], want[i][1]) << i;
    EXPECT_EQ(plan.trial_of(i), want[i][2]) << i;
  }
  EXPECT_EQ(plan.names[1], "B");
}

// Seed 12345, P = 5, the first block by hand: state' = 214013 state + 2531011
// mod 2^32, draw = (state' >> 16) & 32767, r = draw / (32767 / m):
//   m 5: state 2644521496, draw 7584, 7584 / 6553 = 1 -> part 1 to free position 2
//   m 4: state 1255958651, draw 19164, / 8191 = 2 -> part 2 to the 3rd free: position 4
//   m 3: state 3837989202, draw 25795, / 10922 = 2 -> part 3 to the 3rd free: position 5
//   m 2: state 1449997005, draw 22125, / 16383 = 1 -> part 4 to the 2nd free: position 3
//   m 1: state 2529458780, draw 5828, / 32767 = 0 -> part 5 to position 1
// Order: 5 1 4 2 3.
TEST(GagePlan, SeededDrawsByHand) {
  PlanOptions o;
  o.a = 2;
  o.p = 5;
  o.t = 2;
  o.randomise = true;
  o.seed = 12345;
  const GagePlan plan = build_plan(o);
  EXPECT_EQ(std::vector<int32_t>(plan.part.begin(), plan.part.begin() + 5),
            (std::vector<int32_t>{5, 1, 4, 2, 3}));
  EXPECT_EQ(plan.part, build_plan(o).part);  // the same seed, the same plan
  o.seed = 12346;
  EXPECT_NE(plan.part, build_plan(o).part);
}

TEST(GagePlan, EveryBlockAPermutation) {
  PlanOptions o;
  o.a = 18;
  o.p = 500;
  o.t = 3;
  o.randomise = true;
  o.seed = 7;
  const GagePlan plan = build_plan(o);
  ASSERT_EQ(plan.runs(), 27000u);
  for (size_t b = 0; b < plan.runs(); b += 500) {
    std::vector<int32_t> block(plan.part.begin() + static_cast<long>(b),
                               plan.part.begin() + static_cast<long>(b) + 500);
    std::sort(block.begin(), block.end());
    for (int32_t k = 0; k < 500; ++k) ASSERT_EQ(block[static_cast<size_t>(k)], k + 1) << b;
  }
}

TEST(GagePlan, Names) {
  PlanOptions o;
  o.user_names = true;
  o.names = {"Anne-Marie Longname-Smithers", "   ", "Bob   "};
  EXPECT_EQ(appraiser_name(o, 0), "Anne-Marie Longname-");  // cut to 20
  EXPECT_EQ(appraiser_name(o, 1), "B");                     // empty: the letter
  EXPECT_EQ(appraiser_name(o, 2), "Bob");
  EXPECT_EQ(appraiser_name(o, 5), "F");
  o.user_names = false;
  EXPECT_EQ(appraiser_name(o, 0), "A");
}

}  // namespace
}  // namespace ztq
