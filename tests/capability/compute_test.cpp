// The capability computation against hand calculations and a published
// example: the status codes in their order, the indices, their intervals,
// one-sided limits, the sigma multiple, several data columns and subgroups.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "capability/capability.h"
#include "capability/subgroups.h"

namespace ztq {
namespace {

constexpr double M = kMissing;

CapLimit given(double v) { return {true, v}; }

CapabilityInput input(std::vector<double> x, CapLimit usl, CapLimit lsl, int dist = 3) {
  CapabilityInput in;
  in.columns = {std::move(x)};
  in.usl = usl;
  in.lsl = lsl;
  in.distribution = dist;
  return in;
}

const std::vector<double> kSix = {2, 3, 5, 7, 11, 13};

TEST(CapabilityStatus, CodesInTheirOrder) {
  struct Row {
    std::vector<double> x;
    CapLimit usl, nominal, lsl;
    int dist;
    int32_t want;
    const char* why;
  };
  const CapLimit none{};
  const Row rows[] = {
      {{M, M, M}, given(20), none, none, 3, 3, "no non-missing value"},
      {{}, given(20), none, none, 3, 3, "an empty column"},
      {{1, 2, 3, 4, 5}, given(20), none, none, 3, 1007, "5 observations fail"},
      {{1, 2, 3, 4, 5, 6}, given(20), none, none, 3, 0, "6 observations pass"},
      {{1, 2, 3, 4, 5, M, M}, given(20), none, none, 3, 1007, "missing values do not count"},
      {{1, 2, 3, 4, 5}, given(3), given(3), none, 3, 1170, "limits are checked before n"},
      {kSix, given(7), given(7), none, 3, 1170, "USL equal to the nominal"},
      {kSix, none, given(7), given(7), 3, 1170, "LSL equal to the nominal"},
      {kSix, given(4), none, given(4), 3, 1170, "LSL equal to USL"},
      {kSix, given(4), none, given(5), 3, 1170, "LSL above USL"},
      {kSix, given(M), none, none, 3, 1170, "a given limit without value"},
      {{-1, 2, 3, 4, 5}, given(20), none, none, 0, 1007, "n is checked before the sign"},
      {{-1, 2, 3, 4, 5, 6}, given(20), none, none, 0, 1063, "negative data, exponential"},
      {{0, 2, 3, 4, 5, 6}, given(20), none, none, 0, 0, "zero is allowed for the exponential"},
      {{0, 2, 3, 4, 5, 6}, given(20), none, none, 2, 1069, "zero, lognormal"},
      {{0, 2, 3, 4, 5, 6}, given(20), none, none, 4, 1069, "zero, Weibull"},
      {{0, 2, 3, 4, 5, 6}, given(20), none, none, 12, 1069, "zero, gamma"},
      {{-3, -3, -3, -3, -3, -3}, given(20), none, none, 0, 1063, "the sign before equality"},
      {{4, 4, 4, 4, 4, 4}, given(20), none, none, 3, 1042, "every value equal"},
  };
  for (const Row& r : rows) {
    CapabilityInput in = input(r.x, r.usl, r.lsl, r.dist);
    in.nominal = r.nominal;
    EXPECT_EQ(compute_capability(in).status, r.want) << r.why;
  }
}

TEST(CapabilityStatus, NonFiniteValuesAreMissing) {
  const CapabilityResults r =
      compute_capability(input({1, 2, std::nan(""), HUGE_VAL, 3, 4, 5, 6}, given(20), CapLimit{}));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.n, 6);
  EXPECT_DOUBLE_EQ(r.mean, 3.5);
}

TEST(CapabilityDescriptive, MomentsOfSixValues) {
  // x = 2 3 5 7 11 13: mean 41/6; deviations -4.8333 -3.8333 -1.8333 0.1667 4.1667 6.1667;
  // sum d^2 = 377 - 41^2 / 6 = 581/6 = 96.8333, s = sqrt(96.8333 / 5) = 4.40076; median (5 + 7) / 2
  // = 6.
  const CapabilityResults r = compute_capability(input(kSix, given(20), CapLimit{}));
  EXPECT_NEAR(r.mean, 41.0 / 6, 1e-12);
  EXPECT_NEAR(r.sd, std::sqrt(581.0 / 6 / 5), 1e-9);
  EXPECT_EQ(r.median, 6);
  EXPECT_EQ(r.minimum, 2);
  EXPECT_EQ(r.maximum, 13);
  // g1 = n sum d^3 / ((n - 1)(n - 2) s^3), g2 as Joanes and Gill (1998) give it
  double d3 = 0, d4 = 0;
  for (double v : kSix) {
    d3 += std::pow(v - 41.0 / 6, 3);
    d4 += std::pow(v - 41.0 / 6, 4);
  }
  const double s = std::sqrt(581.0 / 6 / 5);
  EXPECT_NEAR(r.skewness, 6 * d3 / (5 * 4 * s * s * s), 1e-9);
  EXPECT_NEAR(r.kurtosis, 6 * 7 * d4 / (5 * 4 * 3 * std::pow(s, 4)) - 3.0 * 25 / (4 * 3), 1e-9);
}

// Montgomery, Introduction to Statistical Quality Control (6th ed., 2009),
// Examples 8.2 and 8.4: the piston-ring process with centre 74.00118 and
// sigma 0.009785, limits 73.95 and 74.05, n = 125. Entered parameters make
// the data count only through n, so 125 values around the centre serve.
TEST(CapabilityIndices, PistonRingsMatchThePublishedIntervals) {
  std::vector<double> x;
  for (int i = 0; i < 125; ++i) x.push_back(74.0 + 0.001 * ((i * 7) % 23 - 11));
  CapabilityInput in = input(x, given(74.05), given(73.95));
  in.keep_parameters = true;
  in.entered1 = 74.00118;
  in.entered2 = 0.009785;
  const CapabilityResults r = compute_capability(in);
  ASSERT_EQ(r.status, 0);
  EXPECT_NEAR(r.cp, 1.703, 5e-4);  // 0.1 / (6 x 0.009785)
  EXPECT_NEAR(r.cp_ci.lower, 1.491, 6e-4);
  EXPECT_NEAR(r.cp_ci.upper, 1.915, 6e-4);
  EXPECT_NEAR(r.cpk, 1.663, 5e-4);  // (74.05 - 74.00118) / (3 x 0.009785)
  EXPECT_NEAR(r.cpk_ci.lower, 1.448, 6e-4);
  EXPECT_NEAR(r.cpk_ci.upper, 1.878, 6e-4);
  EXPECT_EQ(r.param[0], 74.00118);          // kept, not refitted
  EXPECT_TRUE(is_missing(r.cpm_ci.lower));  // no nominal
}

TEST(CapabilityIndices, NormalIndicesByHand) {
  // mean 41/6 = 6.8333, s = 4.40076; USL 25, nominal 8, LSL -5.
  CapabilityInput in = input(kSix, given(25), given(-5));
  in.nominal = given(8);
  const CapabilityResults r = compute_capability(in);
  const double mu = 41.0 / 6, s = std::sqrt(581.0 / 6 / 5);
  EXPECT_NEAR(r.cp, 30 / (6 * s), 1e-12);
  EXPECT_NEAR(r.cpu, (25 - mu) / (3 * s), 1e-12);
  EXPECT_NEAR(r.cpl, (mu + 5) / (3 * s), 1e-12);
  EXPECT_EQ(r.cpk, r.cpl);
  EXPECT_NEAR(r.cr, 6 * s / 30, 1e-12);
  EXPECT_NEAR(r.z_usl, (25 - mu) / s, 1e-12);
  EXPECT_NEAR(r.z_lsl, (-5 - mu) / s, 1e-12);
  // tau^2 = sum (x - 8)^2 / 5 = (36 + 25 + 9 + 1 + 9 + 25) / 5 = 21
  EXPECT_NEAR(r.cpm, 30 / (6 * std::sqrt(21.0)), 1e-12);
  EXPECT_NEAR(r.k_index, (mu - 8) / 15, 1e-12);
  EXPECT_NEAR(r.natural_upper, mu + 3 * s, 1e-12);
  // Within the library normal cdf's accuracy (about 1e-7 absolute).
  EXPECT_NEAR(r.estimated_above, (1 - 0.5 * std::erfc(-(25 - mu) / s / std::sqrt(2.0))) * 100,
              1e-5);
}

TEST(CapabilityIndices, OneSidedLimits) {
  const CapabilityResults upper = compute_capability(input(kSix, given(25), CapLimit{}));
  EXPECT_TRUE(is_missing(upper.cp));
  EXPECT_TRUE(is_missing(upper.cr));
  EXPECT_TRUE(is_missing(upper.cpl));
  EXPECT_EQ(upper.cpk, upper.cpu);
  EXPECT_EQ(upper.z_lsl, 0);
  EXPECT_EQ(upper.estimated_below, 0);
  EXPECT_TRUE(is_missing(upper.cp_ci.lower));  // intervals need both limits
  const CapabilityResults lower = compute_capability(input(kSix, CapLimit{}, given(-5)));
  EXPECT_EQ(lower.cpk, lower.cpl);
  EXPECT_TRUE(is_missing(lower.cpu));
  // K with the nominal and one limit: h = T - LSL.
  CapabilityInput in = input(kSix, CapLimit{}, given(-5));
  in.nominal = given(8);
  EXPECT_NEAR(compute_capability(in).k_index, (41.0 / 6 - 8) / 13, 1e-12);
}

TEST(CapabilityIndices, SigmaMultiple) {
  CapabilityInput in = input(kSix, given(25), given(-5));
  in.use_sigma_multiple = true;
  in.sigma_multiple = 5.15;
  const double s = std::sqrt(581.0 / 6 / 5);
  CapabilityResults r = compute_capability(in);
  EXPECT_EQ(r.k, 5.15);
  EXPECT_NEAR(r.cp, 30 / (5.15 * s), 1e-12);
  EXPECT_NEAR(r.natural_upper, 41.0 / 6 + 2.575 * s, 1e-12);
  in.use_sigma_multiple = false;  // the natural limits follow k0 whether or not it is used
  r = compute_capability(in);
  EXPECT_EQ(r.k, 6);
  EXPECT_NEAR(r.natural_upper, 41.0 / 6 + 2.575 * s, 1e-12);
  in.use_sigma_multiple = true;  // not for another distribution: (Z USL - Z LSL) / 6
  in.distribution = 14;
  r = compute_capability(in);
  EXPECT_EQ(r.k, 6);
  EXPECT_NEAR(r.cp, (r.z_usl - r.z_lsl) / 6, 1e-12);
  EXPECT_TRUE(is_missing(r.natural_upper));
}

TEST(CapabilityIndices, CpkLowerBoundIsNotClipped) {
  // The mean 6.8333 lies above USL 6: Cpk < 0, and so is its lower bound.
  const CapabilityResults r = compute_capability(input(kSix, given(6), given(-40)));
  ASSERT_LT(r.cpk, 0);
  EXPECT_LT(r.cpk_ci.lower, r.cpk);
  EXPECT_GE(r.cp_ci.lower, 0);
  const double half = 1.959963985 * std::sqrt(r.cpk * r.cpk / 10 + 1.0 / 54);
  EXPECT_NEAR(r.cpk_ci.lower, r.cpk - half, 1e-6);
}

TEST(CapabilityIndices, IntervalsOffAtZeroConfidence) {
  CapabilityInput in = input(kSix, given(25), given(-5));
  in.confidence = 0;
  const CapabilityResults r = compute_capability(in);
  EXPECT_TRUE(is_missing(r.cp_ci.lower) && is_missing(r.cpk_ci.upper));
}

// Vanishing tails: an index whose tail area is 0 is missing, not 3.3e199.
TEST(CapabilityIndices, ZeroTailAreaGivesMissingIndex) {
  const std::vector<double> x = {1, 2, 3, 4, 5, 6, 7, 8};
  for (int dist : {0, 2, 4, 12}) {
    const CapabilityResults r = compute_capability(input(x, given(20), given(-1), dist));
    ASSERT_EQ(r.status, 0) << dist;
    EXPECT_EQ(r.estimated_below, 0) << dist;  // F(LSL) = 0 below the support
    EXPECT_TRUE(is_missing(r.z_lsl)) << dist;
    EXPECT_TRUE(is_missing(r.cpl)) << dist;
    EXPECT_TRUE(is_missing(r.cp)) << dist;
    EXPECT_EQ(r.cpk, r.cpu) << dist;
    EXPECT_LT(std::fabs(r.cpu), 100) << dist;
  }
  // A short upper tail: the extreme-value law far above its data.
  const CapabilityResults r = compute_capability(input(x, given(1e6), given(-1), 1));
  EXPECT_TRUE(is_missing(r.cpu));
  EXPECT_EQ(r.cpk, r.cpl);
}

TEST(CapabilityIndices, ExponentialBelowZeroIsZero) {
  // F(x) = 0 for x <= 0: no negative percentage, no abandoned analysis.
  const CapabilityResults r = compute_capability(input(kSix, given(20), given(-3), 0));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.estimated_below, 0);
  EXPECT_NEAR(r.estimated_above, 100 * std::exp(-20 / (41.0 / 6)), 1e-9);
}

TEST(CapabilityIndices, NonNormalZFromTailAreas) {
  // Exponential with mean 41/6: P above 20 = exp(-20 / 6.8333) = 0.05357,
  // Z USL = -Phi^-1(0.05357) = 1.6114 (tables: Phi(1.61) = 0.9463).
  const CapabilityResults r = compute_capability(input(kSix, given(20), CapLimit{}, 0));
  EXPECT_NEAR(r.z_usl, 1.6114, 2e-3);
  EXPECT_NEAR(r.cpu, r.z_usl / 3, 1e-12);
}

TEST(CapabilityData, TwoColumnsRowByRow) {
  CapabilityInput in;
  std::vector<double> a, b;
  for (int i = 0; i < 10; ++i) {
    a.push_back(1 + 2 * i);
    b.push_back(2 + 2 * i);
  }
  in.columns = {a, b};
  in.usl = given(30);
  in.variant = 2;
  const CapabilityResults r = compute_capability(in);
  ASSERT_EQ(r.n, 20);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(r.data[static_cast<size_t>(i)], i + 1);
  ASSERT_TRUE(r.has_subgroups);
  EXPECT_TRUE(r.subgroups.fixed_size);
  EXPECT_EQ(r.subgroups.size, 2);  // each row one subgroup
  EXPECT_EQ(r.subgroups.count, 10);
  EXPECT_EQ(r.subgroups.means[3], 7.5);
  EXPECT_EQ(r.subgroups.rbar, 1);
  EXPECT_NEAR(r.subgroups.sbar, std::sqrt(0.5), 1e-15);
}

TEST(CapabilitySubgroups, FixedSizeFloorsAndCountsBlocks) {
  CapabilityInput in = input({1, 2, 3, 4, 5, 6, 7, 8, 9, M}, given(30), CapLimit{});
  in.variant = 2;
  in.subgroup_given = true;
  in.subgroup = {4.7};
  EXPECT_EQ(fixed_subgroup_size(in), 4);
  const CapabilityResults r = compute_capability(in);
  // 9 values in blocks of 4: ceiling(9 / 4) = 3 blocks, the last holding one value.
  EXPECT_EQ(r.subgroups.count, 3);
  EXPECT_EQ(r.subgroups.sizes, (std::vector<int64_t>{4, 4, 1}));
  EXPECT_EQ(r.subgroups.sds[2], 0);     // count below 2
  EXPECT_EQ(r.subgroups.ranges[1], 3);  // 8 - 5
  EXPECT_NEAR(r.subgroups.nbar, 3, 0);  // 9 / 3
  EXPECT_NEAR(r.subgroups.rbar, 2, 0);  // (3 + 3 + 0) / 3
}

TEST(CapabilitySubgroups, CodesInAscendingOrder) {
  CapabilityInput in = input({10, 20, 30, 40, 50, 60, 70}, given(100), CapLimit{});
  in.variant = 2;
  in.subgroup_given = true;
  in.subgroup = {3, 1, 2, 1, 3, M, 2};
  const CapabilityResults r = compute_capability(in);
  EXPECT_EQ(r.n, 6);  // the row with a missing code is dropped
  ASSERT_EQ(r.subgroups.count, 3);
  EXPECT_FALSE(r.subgroups.fixed_size);
  EXPECT_EQ(r.subgroups.means, (std::vector<double>{30, 50, 30}));  // codes 1, 2, 3
  EXPECT_EQ(r.subgroups.ranges, (std::vector<double>{20, 40, 40}));
}

TEST(CapabilityBadInput, SweepNeverCrashes) {
  for (double usl : {M, std::nan(""), 1e300, -1e300, 0.0})
    for (int dist : {0, 1, 2, 3, 4, 12, 13, 14}) {
      try {  // a domain error abandons the computation (the family reports status 1)
        const CapabilityResults r =
            compute_capability(input({1e-300, 1e300, 1, 2, 3, 4}, given(usl), CapLimit{}, dist));
        for (double v : {r.cp, r.cpk, r.cpu, r.cpl, r.z_usl})
          EXPECT_TRUE(is_missing(v) || std::isfinite(v)) << dist;
      } catch (const DomainAbort&) {
      }
    }
}

}  // namespace
}  // namespace ztq
