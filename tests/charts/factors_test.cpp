// Reference values of the chart factors: the published tables (ASTM STP 15D,
// Table 49) and c4 in closed form at whole and half-integer sizes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "charts/factors.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

struct Row {
  Factor kind;
  double n;
  double want;
  double tol;
  const char* source;
};

TEST(Factor, TableAndInterpolation) {
  const Row rows[] = {
      {Factor::d2, 1.0, 1.128, 0, "sizes below 2 read as 2"},
      {Factor::d2, 0.5, 1.128, 0, "sizes below 2 read as 2"},
      {Factor::d2, 4.5, 2.1925, 1e-12, "2.059 + 0.5 x (2.326 - 2.059)"},
      {Factor::d2, 14.0 / 3.0, 2.059 + (2.0 / 3.0) * (2.326 - 2.059), 1e-12,
       "n-bar 14/3: 2.059 + (2/3)(2.326 - 2.059)"},
      {Factor::d2, 25.0, 3.931, 0, "last table entry"},
      {Factor::d3, 2.0, 0.853, 0, "d3 table, n = 2"},
      {Factor::d3, 3.0, 0.888, 0, "d3 rises from 2 to 3, used as stored"},
      {Factor::d3, 2.5, 0.853 + 0.5 * (0.888 - 0.853), 1e-12, "interpolated d3"},
      {Factor::D1, 6.0, 0.0, 0, "D1 is 0 up to n = 6"},
      {Factor::D1, 7.0, 0.205, 0, "D1(7) as stored, not 0.204"},
      {Factor::D2, 25.0, 6.058, 0, "D2 table, n = 25"},
      {Factor::D2, 10.0, 5.469, 0, "D2 table, n = 10"},
  };
  for (const Row& r : rows) EXPECT_NEAR(factor(r.kind, r.n), r.want, r.tol) << r.source;
}

TEST(Factor, RejectsSizesBeyondTheTable) {  // read past the table before the check
  for (Factor kind : {Factor::d2, Factor::d3, Factor::D1, Factor::D2}) {
    for (double n : {25.01, 26.0, 1e9, 1e300, std::nan(""), kMissing, double(INFINITY)}) {
      EXPECT_EQ(factor(kind, n), kMissing) << n;
    }
  }
}

TEST(Factor, C4FromTheGammaFunction) {
  const double pi = std::numbers::pi;
  const Row rows[] = {
      {Factor::c4, 2.0, std::sqrt(2.0 / pi), 1e-12, "sqrt(2) Gamma(1) / Gamma(0.5)"},
      {Factor::c4, 5.0, 0.75 * std::sqrt(pi / 2.0), 1e-12,
       "sqrt(1/2) Gamma(2.5) / Gamma(2) = 0.75 sqrt(pi/2) = 0.9399856"},
      {Factor::c4, 5.0, 0.9399856, 1e-7, "issue value, not the short series' 0.939974"},
      {Factor::c4, 6.0, std::sqrt(0.4) * 2.0 / (0.75 * std::sqrt(pi)), 1e-12,
       "sqrt(2/5) Gamma(3) / Gamma(2.5)"},
      {Factor::c4, 6.0, 0.9515329, 1e-7, "not the short series' 0.951543"},
      {Factor::c4, 4.5, std::sqrt(2.0 / 3.5) * std::tgamma(2.25) / std::tgamma(1.75), 1e-7,
       "non-integer size through tgamma directly"},
      {Factor::c4, 10.0, 0.9727, 5e-5, "published c4 table, 4 decimals"},
      {Factor::c4, 25.0, 0.9896, 5e-5, "published c4 table, 4 decimals"},
      {Factor::c4, 30.0, 116.0 / 117.0, 1e-15, "4(n - 1) / (4n - 3) above 25"},
  };
  for (const Row& r : rows) EXPECT_NEAR(factor(r.kind, r.n), r.want, r.tol) << r.source;
  EXPECT_EQ(c4(1.0), kMissing);  // would divide by zero
  EXPECT_EQ(c4(std::nan("")), kMissing);
}

}  // namespace
}  // namespace ztq
