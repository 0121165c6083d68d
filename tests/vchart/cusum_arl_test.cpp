// The run length of the decision-interval cumulative sum against a published
// table and against a second method (the Markov chain of Brook and Evans).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "charts/cusum_arl.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

// The normal cdf by the standard library's erfc: independent of the module's.
double Phi(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// Brook and Evans (1972), Biometrika 59, 539-548: the upper sum on [0, h] as
// a Markov chain of M states (state 0 the interval [0, w/2), state i centred
// at i w, w = 2h / (2M - 1)); the run length from 0 solves (I - P) L = 1.
double markov_arl(double h, double k, double delta, int m) {
  const double w = 2.0 * h / (2.0 * m - 1.0);
  std::vector<std::vector<double>> a(static_cast<std::size_t>(m),
                                     std::vector<double>(static_cast<std::size_t>(m)));
  std::vector<double> b(static_cast<std::size_t>(m), 1.0);
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < m; ++j) {
      const double p =
          j == 0 ? Phi(-i * w + k + w / 2 - delta)
                 : Phi((j - i) * w + k + w / 2 - delta) - Phi((j - i) * w + k - w / 2 - delta);
      a[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = (i == j ? 1.0 : 0.0) - p;
    }
  }
  for (int c = 0; c < m; ++c) {  // Gaussian elimination; I - P is diagonally dominant
    for (int r = c + 1; r < m; ++r) {
      const double f = a[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] /
                       a[static_cast<std::size_t>(c)][static_cast<std::size_t>(c)];
      for (int j = c; j < m; ++j)
        a[static_cast<std::size_t>(r)][static_cast<std::size_t>(j)] -=
            f * a[static_cast<std::size_t>(c)][static_cast<std::size_t>(j)];
      b[static_cast<std::size_t>(r)] -= f * b[static_cast<std::size_t>(c)];
    }
  }
  for (int r = m - 1; r >= 0; --r) {
    double v = b[static_cast<std::size_t>(r)];
    for (int j = r + 1; j < m; ++j)
      v -= a[static_cast<std::size_t>(r)][static_cast<std::size_t>(j)] *
           b[static_cast<std::size_t>(j)];
    b[static_cast<std::size_t>(r)] =
        v / a[static_cast<std::size_t>(r)][static_cast<std::size_t>(r)];
  }
  return b[0];
}

struct Row {
  double h, shift, want, rel_tol;
  const char* source;
};

// Montgomery, Introduction to Statistical Quality Control, 6th ed. (2009),
// Table 9.3 "ARL performance of the tabular cusum with k = 1/2 and h = 4 or
// h = 5": two-sided run lengths to three significant digits.
const Row kMontgomery[] = {
    {4, 0.0, 168, 0.005, "h 4, no shift"},    {4, 0.5, 26.6, 0.005, "h 4, shift 0.5"},
    {4, 1.0, 8.38, 0.005, "h 4, shift 1"},    {4, 2.0, 3.34, 0.005, "h 4, shift 2"},
    {4, 3.0, 2.19, 0.005, "h 4, shift 3"},    {5, 0.0, 465, 0.005, "h 5, no shift"},
    {5, 0.25, 139, 0.005, "h 5, shift 0.25"}, {5, 1.0, 10.4, 0.005, "h 5, shift 1"},
    {5, 2.0, 4.01, 0.005, "h 5, shift 2"},    {5, 4.0, 2.01, 0.005, "h 5, shift 4"}};

TEST(CusumArl, MontgomeryTableKHalf) {
  for (const Row& r : kMontgomery)
    EXPECT_NEAR(cusum_arl(r.h, 0.5, 0.0, r.shift, 0), r.want, r.want * r.rel_tol) << r.source;
}

TEST(CusumArl, VanceOneSided) {
  // Vance (1986), J. Quality Technology 18(3), 189-193: one-sided in-control
  // run length 930.89 for h = 5, k = 0.5 (the Markov chain below with 800
  // states gives 930.88). The library's normal cdf (Abramowitz and Stegun
  // 26.2.17, error 7.5e-8) enters every row of the system; with erfc in its
  // place the same 33 points give 930.887, with it 931.5: 0.1 % is allowed.
  EXPECT_NEAR(cusum_arl_one_sided(5, 0.5, 0, 0), 930.89, 0.001 * 930.89);
}

TEST(CusumArl, OneSidedAgreesWithTheMarkovChain) {
  // 400 states: the chain's error falls as 1 / M^2, well below 0.2 % here.
  struct Case {
    double h, k, delta;
  };
  for (const Case c : {Case{4, 0.5, 0}, Case{5, 0.5, 0.5}, Case{3, 0.25, -0.5}, Case{8, 1, 1.5}}) {
    const double chain = markov_arl(c.h, c.k, c.delta, 400);
    EXPECT_NEAR(cusum_arl_one_sided(c.h, c.k, 0, c.delta), chain, 0.002 * chain)
        << c.h << " " << c.k << " " << c.delta;
  }
}

TEST(CusumArl, SidesAndCombination) {
  // No shift: both sides alike, so the two-sided run length is half of one.
  const double one = cusum_arl_one_sided(4, 0.5, 0, 0);
  EXPECT_NEAR(cusum_arl(4, 0.5, 0, 0, 0), one / 2, 1e-9 * one);
  EXPECT_NEAR(cusum_arl(4, 0.5, 0, 1, 1), cusum_arl_one_sided(4, 0.5, 0, 1), 1e-9);
  EXPECT_NEAR(cusum_arl(4, 0.5, 0, 1, 2), cusum_arl_one_sided(4, 0.5, 0, -1), 1e-9);
  EXPECT_NEAR(cusum_arl_combined(20, 30), 12, 1e-12);  // 1 / (1/20 + 1/30)
  EXPECT_EQ(cusum_arl_combined(kMissing, 30), 30);
  // A headstart shortens every run length, most of all under a shift.
  EXPECT_LT(cusum_arl_one_sided(5, 0.5, 2.5, 1), cusum_arl_one_sided(5, 0.5, 0, 1));
}

TEST(CusumArl, BadInputGivesMissing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double bad[][4] = {{0, 0.5, 0, 0},   {-1, 0.5, 0, 0},  {nan, 0.5, 0, 0},
                           {4, inf, 0, 0},   {4, 0.5, 4, 0},   {4, 0.5, -1, 0},
                           {4, 0.5, 0, nan}, {1e6, 0.5, 0, 0}, {kMissing, 0.5, 0, 0}};
  for (const auto& b : bad) EXPECT_EQ(cusum_arl_one_sided(b[0], b[1], b[2], b[3]), kMissing);
  EXPECT_EQ(cusum_arl(0, 0.5, 0, 0, 0), kMissing);
}

}  // namespace
}  // namespace ztq
