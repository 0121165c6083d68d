// T-squared panes: the listing's rule and cut, the flag characters, and the
// control ellipse's trace lying on T-squared = UCL.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "multivariate/mv_family.h"
#include "multivariate/mv_strings.h"

namespace ztq {
namespace {

MvState state_of(int points) {
  MvState s;
  s.input.columns.assign(2, std::vector<double>(static_cast<size_t>(points)));
  for (int i = 0; i < points; ++i) {
    s.input.columns[0][static_cast<size_t>(i)] = std::sin(i * 1.3);
    s.input.columns[1][static_cast<size_t>(i)] = 0.4 * std::sin(i * 1.3) + std::cos(i * 0.7);
  }
  s.names = {"A", "B"};
  for (int i = 0; i < points; ++i) {
    std::string l = std::to_string(i + 1);
    l.resize(kMvLabelWidth, ' ');
    s.labels.push_back(l);
  }
  return s;
}

TEST(MvPanes, ListingRuleFlagsAndCut) {
  MvState s = state_of(3000);
  std::vector<int32_t> flags(3000, 0);
  flags[1] = 1;
  s.results = compute_mv(s.input, {}, flags);
  MvView v;
  v.state = &s;
  std::string text = mv_listing_text(v, false);
  // 38 dashes and 20 per variable; "%-16d", the flag, a blank, T2 in 20.
  EXPECT_NE(text.find("\r\n" + std::string(78, '-') + "\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n2               X "), std::string::npos);
  // 3000 lines of 78 characters pass 59952: the listing stops with "...".
  ASSERT_GT(text.size(), 59952u);
  EXPECT_EQ(text.substr(text.size() - 5), "...\r\n");
  EXPECT_LT(text.size(), 59952u + 90u);
  v.show_values = false;
  text = mv_listing_text(v, true);
  EXPECT_NE(text.find("\r\n" + std::string(38, '-') + "\r\n"), std::string::npos);
  // Each line: label (20), flag, blank, T2 right-justified in 20.
  const size_t first = text.find(std::string(38, '-')) + 40;
  EXPECT_EQ(text[first + 20], ' ');
  EXPECT_EQ(text.substr(first + 42, 2), "\r\n");
}

// Every string the chart asks for is in the table.
TEST(MvPanes, StringTableHoldsEveryNumber) {
  std::vector<int32_t> numbers = {1008, 1095, 1096, 1459, 1460, 1469, 2154, 3003, 4384, 4385, 4386};
  for (int32_t n = 4375; n <= 4382; ++n) numbers.push_back(n);
  for (int32_t n = 47001; n <= 47039; ++n) numbers.push_back(n);
  for (int32_t n = 6022; n <= 6040; ++n) numbers.push_back(n);
  for (int32_t n : numbers) EXPECT_FALSE(text(mvs::str(n)).empty()) << n;
}

TEST(MvPanes, ErrorStateShowsTheMessage) {
  MvView v;
  v.error_state = 1008;
  v.error_message = 1008;
  EXPECT_NE(mv_summary_text(v).find("singular"), std::string::npos);
  EXPECT_NE(mv_listing_text(v, true).find("No results"), std::string::npos);
}

// Every traced point (x1, x2) satisfies (x - mu)' S^-1 (x - mu) = UCL, and the
// outward and return paths meet at both ends of the ellipse.
TEST(MvPanes, EllipseTraceLiesOnTheLimit) {
  MvState s = state_of(40);
  s.results = compute_mv(s.input, {}, {});
  const MvResults& r = s.results;
  const double half = std::sqrt(r.ucl * r.covariance[0]);
  const EllipseTrace t = trace_ellipse(r, r.means[0] - half, r.means[0] + half, 100);
  ASSERT_EQ(t.x1.size(), 202u);
  int on = 0;
  for (size_t k = 0; k < t.x1.size(); ++k) {
    if (t.x2[k] == -32768.0) continue;
    const double d1 = t.x1[k] - r.means[0], d2 = t.x2[k] - r.means[1];
    const double q = r.inverse[0] * d1 * d1 + 2 * r.inverse[1] * d1 * d2 + r.inverse[3] * d2 * d2;
    EXPECT_NEAR(q, r.ucl, 1e-6 * r.ucl) << k;
    ++on;
  }
  EXPECT_EQ(on, 202);
  EXPECT_NEAR(t.x2.front(), t.x2.back(), 1e-6);  // closed at the left end
  EXPECT_NEAR(t.x2[100], t.x2[101], 1e-6);       // and at the right
}

}  // namespace
}  // namespace ztq
