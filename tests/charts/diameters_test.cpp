// The bundled data set data/diameters.csv (25 subgroups of 5 diameters):
// X-bar/R limits from plain sums over the file and the published A2, D3, D4
// factors for n = 5 (A2 = 0.577, D3 = 0, D4 = 2.114).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chart_test_util.h"

namespace ztq {
namespace {

struct Csv {
  std::vector<double> sample, diameter;
};

Csv read_diameters() {
  Csv c;
  std::ifstream in(std::string(QUALTY_SOURCE) + "/data/diameters.csv");
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::string a, b;
    std::getline(row, a, ',');
    std::getline(row, b);
    c.sample.push_back(std::stod(a));
    c.diameter.push_back(std::stod(b));
  }
  return c;
}

TEST(Diameters, XbarRMatchesPublishedFactors) {
  const Csv c = read_diameters();
  ASSERT_EQ(c.diameter.size(), 125u);
  // Independent sums: five rows per sample, samples 1..25 in order.
  double sum_means = 0.0, sum_ranges = 0.0;
  for (int s = 0; s < 25; ++s) {
    double sum = 0.0, lo = 1e300, hi = -1e300;
    for (int j = 0; j < 5; ++j) {
      const double v = c.diameter[5 * s + j];
      ASSERT_EQ(c.sample[5 * s + j], s + 1.0);
      sum += v;
      lo = v < lo ? v : lo;
      hi = v > hi ? v : hi;
    }
    sum_means += sum / 5.0;
    sum_ranges += hi - lo;
  }
  const double xbar = sum_means / 25.0, rbar = sum_ranges / 25.0;

  const ChartResults r = testing::raw_chart(0, c.diameter, c.sample, default_chart_options());
  ASSERT_EQ(r.error, 0);
  EXPECT_EQ(r.points, 25);
  EXPECT_EQ(r.nbar, 5.0);
  EXPECT_NEAR(r.centre, xbar, 1e-9);
  EXPECT_NEAR(r.dispersion, rbar, 1e-9);
  EXPECT_NEAR(r.sigma, rbar / 2.326, 1e-9);
  // A2 and D4 are published to three decimals: tolerance 5e-4 x R-bar.
  EXPECT_NEAR(r.limits.ucl1, xbar + 0.577 * rbar, 5e-4 * rbar);
  EXPECT_NEAR(r.limits.lcl1, xbar - 0.577 * rbar, 5e-4 * rbar);
  EXPECT_NEAR(r.limits.ucl2, 2.114 * rbar, 5e-4 * rbar);
  EXPECT_EQ(r.limits.lcl2, 0.0);  // D3 = 0 for n = 5
  testing::expect_all_finite(r);
}

}  // namespace
}  // namespace ztq
