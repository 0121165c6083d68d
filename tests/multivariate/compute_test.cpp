// The T-squared computation against hand calculations, closed-form quantiles
// and a published example.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "multivariate/mv_compute.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

MvInput input_of(std::vector<std::vector<double>> columns) {
  MvInput in;
  in.columns = std::move(columns);
  return in;
}

// Five points; means (3, 4); deviations (-2,-2) (-1,-1) (0,1) (1,0) (2,2):
// s11 = (4+1+0+1+4)/4 = 2.5, s22 = 2.5, s12 = (4+1+0+0+4)/4 = 2.25,
// det = 2.5 x 2.5 - 2.25^2 = 1.1875.
const std::vector<double> kX1 = {1, 2, 3, 4, 5};
const std::vector<double> kX2 = {2, 3, 5, 4, 6};

TEST(MvCompute, TwoVariablesAgainstClosedFormInverse) {
  const MvResults r = compute_mv(input_of({kX1, kX2}), {}, {});
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.n, 5);
  EXPECT_DOUBLE_EQ(r.covariance[0], 2.5);
  EXPECT_DOUBLE_EQ(r.covariance[1], 2.25);
  EXPECT_DOUBLE_EQ(r.covariance[3], 2.5);
  // 2 x 2 inverse: [s22 -s12; -s12 s11] / det.
  EXPECT_NEAR(r.inverse[0], 2.5 / 1.1875, 1e-12);
  EXPECT_NEAR(r.inverse[1], -2.25 / 1.1875, 1e-12);
  // T2 = (s22 d1^2 - 2 s12 d1 d2 + s11 d2^2) / det.
  const double want[] = {(10 - 18 + 10) / 1.1875, (2.5 - 4.5 + 2.5) / 1.1875, 2.5 / 1.1875,
                         2.5 / 1.1875, (10 - 18 + 10) / 1.1875};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(r.t2[i], want[i], 1e-12) << "point " << i + 1;
}

// The T-squared of the used points about their own mean and covariance sum
// to trace(S^-1 (n - 1) S) = (n - 1) p.
TEST(MvCompute, UsedTSquaredSumToNMinusOneTimesP) {
  std::vector<std::vector<double>> cols(3, std::vector<double>(30));
  for (int i = 0; i < 30; ++i) {
    cols[0][i] = std::sin(i * 1.3) + 0.01 * i;
    cols[1][i] = std::cos(i * 0.7) + 0.5 * cols[0][i];
    cols[2][i] = std::sin(i * 2.9) * 3.0 - cols[1][i];
  }
  cols[1][7] = kMissing;  // incomplete: left out of n and of the sum
  std::vector<int32_t> flags(30, 0);
  flags[3] = 1;  // excluded: has a T2 but is outside the sum
  const MvResults r = compute_mv(input_of(cols), {}, flags);
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.n, 28);
  EXPECT_EQ(r.excluded_count, 1);
  EXPECT_TRUE(is_missing(r.t2[7]));
  EXPECT_FALSE(is_missing(r.t2[3]));
  double sum = 0;
  for (int i = 0; i < 30; ++i)
    if (r.complete[i] && !r.excluded[i]) sum += r.t2[i];
  EXPECT_NEAR(sum, 27.0 * 3.0, 1e-9);
}

struct LimitRow {
  int n, p;
  double alpha;
  bool standard;
  int known_n;
  double want, tol;
  const char* source;
};

TEST(MvCompute, LimitsAgainstClosedFormQuantiles) {
  const double a = 0.0027;
  const LimitRow rows[] = {
      // Beta(1, b): I_x(1, b) = 1 - (1 - x)^b, so x = 1 - a^(1/b).
      {20, 2, 0.27, false, 0, 361.0 / 20.0 * (1.0 - std::pow(a, 1.0 / 8.5)), 1e-10,
       "(19^2/20) Beta^-1(0.9973; 1, 8.5)"},
      {20, 2, 0.27, false, 0, 9.0491, 5e-5, "printed to five digits"},
      // Beta(a, 1): I_x(a, 1) = x^a, so x = (1 - alpha)^(1/a); p 4, n 7: b = 1.
      {7, 4, 0.27, false, 0, 36.0 / 7.0 * std::pow(1.0 - a, 0.5), 1e-10,
       "(6^2/7) Beta^-1(0.9973; 2, 1)"},
      {3, 2, 0.27, false, 0, 4.0 / 3.0, 1e-15, "n = p + 1: point mass, (n - 1)^2 / n"},
      // Chi-square with 2 degrees of freedom: -2 ln(alpha).
      {20, 2, 0.27, true, 0, -2.0 * std::log(a), 1e-6, "chi2(0.9973, 2) = 11.829"},
      // F with 2 numerator degrees: F = (m/2)(alpha^(-2/m) - 1), m = N - p = 28.
      {20, 2, 0.27, true, 30, 2.0 * 29 * 31 / (30.0 * 28) * 14.0 * (std::pow(a, -2.0 / 28) - 1.0),
       1e-6, "p(N-1)(N+1)/(N(N-p)) F(0.9973; 2, 28)"},
      {20, 2, 0.27, true, 2, kMissing, 0, "N = p: no F limit"},
      {20, 3, 0.27, true, 1, kMissing, 0, "N below p: no F limit"},
      {2, 2, 0.27, false, 0, kMissing, 0, "n below p + 1"},
      // As n grows the limit tends to chi2(1 - a, p) = 26.9009 for p 10
      // (Tracy, Young and Mason 1992); at n = 10^6 it lies within 1e-3 of it.
      {1000000, 10, 0.27, false, 0, 26.9009, 1e-3, "n 10^6, p 10: near chi2(0.9973, 10)"},
  };
  for (const LimitRow& row : rows)
    EXPECT_NEAR(mv_ucl(row.n, row.p, row.alpha, row.standard, row.known_n), row.want, row.tol)
        << row.source;
}

// n = p + 1: every T-squared equals the limit (n - 1)^2 / n and none is beyond.
TEST(MvCompute, PointMassLimitAtNEqualPPlusOne) {
  const MvResults r = compute_mv(input_of({{1, 2, 4}, {3, 1, 2}}), {}, {});
  ASSERT_EQ(r.error, 0);
  EXPECT_DOUBLE_EQ(r.ucl, 4.0 / 3.0);
  for (double t : r.t2) EXPECT_NEAR(t, 4.0 / 3.0, 1e-12);
  EXPECT_EQ(r.beyond_count, 0);
}

struct ErrorRow {
  MvInput in;
  MvOptions o;
  int32_t want;
  const char* what;
};

TEST(MvCompute, ErrorStates) {
  auto with = [](MvInput in, auto f) {
    f(in);
    return in;
  };
  const MvInput base = input_of({kX1, kX2});
  const ErrorRow rows[] = {
      {input_of({{1, 2, 3}, {2, 1, 3}, {0, 5, 1}}), {}, kMvTooFewPoints, "p 3 with 3 points"},
      {input_of({{1, 2, 3, 5}, {2, 1, 3, 1}, {0, 5, 1, 2}}), {}, 0, "p 3 with 4 points"},
      {with(base, [](MvInput& i) { i.means_given = true, i.std_means = {3}; }),
       {},
       kMvMeansIncomplete,
       "means shorter than p"},
      {with(base,
            [](MvInput& i) {
              i.means_given = true, i.std_means = {3, kMissing};
            }),
       {},
       kMvMeansIncomplete,
       "a standard mean missing"},
      {with(base,
            [](MvInput& i) {
              i.covariance_given = true, i.std_covariance = {1, 0.5, 0.5};
            }),
       {},
       kMvCovarianceBad,
       "covariance shorter than p x p"},
      {with(base,
            [](MvInput& i) {
              i.covariance_given = true, i.std_covariance = {1, 0.5, 0.5001, 1};
            }),
       {},
       kMvCovarianceBad,
       "covariance not symmetric"},
      {with(base,
            [](MvInput& i) {
              i.covariance_given = true, i.std_covariance = {1, 1, 1, 1};
            }),
       {},
       kMvSingular,
       "standard covariance singular"},
      {with(base,
            [](MvInput& i) {
              i.covariance_given = true, i.std_covariance = {1, 2, 2, 1};
            }),
       {},
       kMvCovarianceBad,
       "standard covariance not positive definite"},
      {input_of({kX1, kX1}), {}, kMvSingular, "identical columns"},
      {input_of({kX1, {7, 7, 7, 7, 7}}), {}, kMvSingular, "a constant column"},
      {with(base,
            [](MvInput& i) {
              i.covariance_given = true, i.std_covariance = {1, 0, 0, 1};
            }),
       {0.27, 2},
       kMvBadKnownN,
       "N = p"},
      {base, {0.0, 0}, kMvBadAlpha, "alpha 0"},
      {base, {50.0, 0}, kMvBadAlpha, "alpha 50 percent"},
  };
  for (const ErrorRow& row : rows)
    EXPECT_EQ(compute_mv(row.in, row.o, {}).error, row.want) << row.what;
}

TEST(MvCompute, StandardMeansAndCovarianceInUse) {
  MvInput in = input_of({kX1, kX2});
  in.means_given = true;
  in.std_means = {3, 3, 99};  // only the first p values count
  in.covariance_given = true;
  in.std_covariance = {4, 0, 0, 1};
  const MvResults r = compute_mv(in, {}, {});
  ASSERT_EQ(r.error, 0);
  // Point 5 (5, 6): (2^2)/4 + (3^2)/1 = 10; the limit is chi2(0.9973, 2).
  EXPECT_NEAR(r.t2[4], 10.0, 1e-12);
  EXPECT_NEAR(r.ucl, -2.0 * std::log(0.0027), 1e-6);
  EXPECT_EQ(r.beyond_count, 0);
  EXPECT_DOUBLE_EQ(r.estimated_means[1], 4.0);  // computed all the same
}

// Contributions of a signal: (x_j - mu_j)^2 / s_jj with the known matrix.
TEST(MvCompute, ContributionsOfASignal) {
  MvInput in = input_of({{0, 1, -1, 0, 6}, {0, -1, 1, 0, 1}});
  in.means_given = true;
  in.std_means = {0, 0};
  in.covariance_given = true;
  in.std_covariance = {1, 0, 0, 4};
  const MvResults r = compute_mv(in, {}, {});
  ASSERT_EQ(r.error, 0);
  ASSERT_EQ(r.beyond_count, 1);  // 36 + 1/4 > 11.83
  const auto c = r.contributions_of(4);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_DOUBLE_EQ(c[0], 36.0);
  EXPECT_DOUBLE_EQ(c[1], 0.25);
  EXPECT_TRUE(r.contributions_of(0).empty());
}

TEST(MvCompute, LuInverseWithPivoting) {
  // A zero in the leading position needs a row swap; A A^-1 = I.
  const std::vector<double> a = {0, 2, 1, 1, 1, 0, 3, 0, 1};
  std::vector<double> inv;
  ASSERT_TRUE(lu_inverse(a, 3, inv));
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double s = 0;
      for (int k = 0; k < 3; ++k) s += a[i * 3 + k] * inv[k * 3 + j];
      EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-14);
    }
  EXPECT_FALSE(lu_inverse(std::vector<double>{1, 2, 2, 4}, 2, inv));
}

// Johnson and Wichern (2007), Applied Multivariate Statistical Analysis, 6th
// ed., Example 5.2 with Table 5.1 (data/sweat.csv): 20 women, sweat rate,
// sodium, potassium. Printed: xbar = (4.640, 45.400, 9.965), S11 = 2.879,
// S12 = 10.010, S13 = -1.810, S22 = 199.788, S23 = -5.640, S33 = 3.628, and
// T2 = 20 (xbar - mu0)' S^-1 (xbar - mu0) = 9.74 for mu0 = (4, 50, 10).
TEST(MvCompute, PublishedSweatExample) {
  const MvInput in = input_of({{3.7, 5.7, 3.8, 3.2, 3.1, 4.6, 2.4, 7.2, 6.7, 5.4,
                                3.9, 4.5, 3.5, 4.5, 1.5, 8.5, 4.5, 6.5, 4.1, 5.5},
                               {48.5, 65.1, 47.2, 53.2, 55.5, 36.1, 24.8, 33.1, 47.4, 54.1,
                                36.9, 58.8, 27.8, 40.2, 13.5, 56.4, 71.6, 52.8, 44.1, 40.9},
                               {9.3,  8.0,  10.9, 12.0, 9.7,  7.9, 14.0, 7.6,  8.5,  11.3,
                                12.7, 12.3, 9.8,  8.4,  10.1, 7.1, 8.2,  10.9, 11.2, 9.4}});
  const MvResults r = compute_mv(in, {}, {});
  ASSERT_EQ(r.error, 0);
  const double means[] = {4.640, 45.400, 9.965};
  for (int j = 0; j < 3; ++j) EXPECT_NEAR(r.estimated_means[j], means[j], 5e-4);
  const double s[] = {2.879, 10.010, -1.810, 10.010, 199.788, -5.640, -1.810, -5.640, 3.628};
  // Printed to three decimals; S13 reads -1.810 where the data give -1.8091.
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(r.covariance[k], s[k], 1e-3) << "element " << k;
  const double d[] = {4.640 - 4, 45.400 - 50, 9.965 - 10};
  double t2 = 0;
  for (int j = 0; j < 3; ++j)
    for (int k = 0; k < 3; ++k) t2 += d[j] * r.inverse[j * 3 + k] * d[k];
  EXPECT_NEAR(20 * t2, 9.74, 5e-3);
}

}  // namespace
}  // namespace ztq

namespace ztq {
namespace {

// The beta quantile of the limit against the shapes with closed forms:
// a = 1: 1 - I_x(1, b) = (1 - x)^b, so x = 1 - u^(1/b); b = 1: 1 - x^a = u,
// so x = (1 - u)^(1/a). Large b is where the limit of 10^6 points lives.
TEST(MvBeta, UpperQuantileAgainstClosedForms) {
  struct Row {
    double u, a, b, want;
  };
  const Row rows[] = {
      {0.0027, 1, 8.5, -std::expm1(std::log(0.0027) / 8.5)},
      {0.05, 1, 8.5, -std::expm1(std::log(0.05) / 8.5)},
      {0.0027, 1, 499994.5, -std::expm1(std::log(0.0027) / 499994.5)},
      {1e-6, 1, 50, -std::expm1(std::log(1e-6) / 50)},
      {0.0027, 2, 1, std::pow(1 - 0.0027, 0.5)},
      {0.3, 7.5, 1, std::pow(0.7, 1 / 7.5)},
  };
  for (const Row& r : rows)
    // 1e-10 relative: ln Gamma(a + b) - ln Gamma(b) at b near 5e5 keeps about
    // 3e-11 of the result.
    EXPECT_NEAR(beta_upper_quantile(r.u, r.a, r.b), r.want, 1e-10 * r.want)
        << r.u << " " << r.a << " " << r.b;
  EXPECT_EQ(beta_upper_quantile(0.0, 1, 2), kMissing);
  EXPECT_EQ(beta_upper_quantile(0.5, 1, 0), kMissing);
}

}  // namespace
}  // namespace ztq
