// The control-chart panes on the bundled data sets: golden text of panes 1 to
// 4 for codes 0, 3, 4 and 14, whose numbers are checked against hand
// arithmetic from plain sums and the published factor table; the listing's
// cut; the runs-rule letters; the routing table and masks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "bridge/module_state.h"
#include "bridge/strings.h"
#include "charts/engine.h"
#include "charts/vchart_data.h"
#include "charts/vchart_panes.h"

namespace ztq {
namespace {

std::vector<std::vector<double>> read_csv(const std::string& name) {
  std::ifstream in(std::string(QUALTY_SOURCE) + "/data/" + name);
  std::vector<std::vector<double>> cols;
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::string cell;
    for (std::size_t c = 0; std::getline(row, cell, ','); ++c) {
      if (cols.size() <= c) cols.resize(c + 1);
      cols[c].push_back(std::stod(cell));
    }
  }
  return cols;
}

// "%.6g" of a hand-computed value: six significant digits written independently.
std::string six(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%.6g", v);
  return b;
}

struct Built {
  ChartResults results;
  VchartView view;
  ChartOptions options = default_chart_options();
};

void build(Built& b, int code, const VchartColumns& c, const std::string& data_name,
           const std::string& subgroup_name) {
  for (int k = 24; k <= 27; ++k) b.options.option[k] = 1;  // as a new analysis has them
  VchartData d = vchart_data(code, false, c);
  b.results = compute_chart(d.input, b.options);
  b.view.code = code;
  b.view.options = &b.options;
  b.view.data_name = data_name;
  b.view.subgroup_name = subgroup_name;
  b.view.labels = d.labels;
}

std::string pane_text(const Built& b, int pane) {
  switch (vchart_pane_of(b.view.code, pane)) {
    case VchartPane::S:
      return vchart_summary_text(b.results, b.view);
    case VchartPane::T2:
      return vchart_listing_text(b.results, b.view);
    case VchartPane::T2z:
      return vchart_sums_text(b.results, b.view);
    case VchartPane::T3:
      return vchart_rules_text(b.results, b.view);
    case VchartPane::T4:
      return vchart_capability_text(b.results, b.view);
    default:
      return {};
  }
}

// Compares with tests/golden/vchart_CODE_paneN.txt; QUALTY_UPDATE_GOLDEN=1
// rewrites the file (a reviewed change).
void expect_golden(const Built& b, int pane) {
  const std::string got = pane_text(b, pane);
  const std::string path = std::string(QUALTY_SOURCE) + "/tests/golden/vchart_" +
                           std::to_string(b.view.code) + "_pane" + std::to_string(pane) + ".txt";
  if (const char* u = std::getenv("QUALTY_UPDATE_GOLDEN"); u != nullptr && u[0] == '1') {
    std::ofstream(path, std::ios::binary) << got;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in.good()) << path;
  std::stringstream want;
  want << in.rdbuf();
  EXPECT_EQ(got, want.str()) << path;
}

class VchartPanes : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { module_startup(QUALTY_BIN); }
};

TEST_F(VchartPanes, XbarRGoldenAndHandArithmetic) {
  const auto csv = read_csv("diameters.csv");
  VchartColumns c;
  c.subgroup_given = true;
  c.subgroup = csv[0];
  c.data = csv[1];
  Built b;
  build(b, 0, c, "Diameter", "Sample");
  double sum_means = 0, sum_ranges = 0;
  for (int s = 0; s < 25; ++s) {
    double sum = 0, lo = 1e300, hi = -1e300;
    for (int j = 0; j < 5; ++j) {
      const double v = csv[1][static_cast<std::size_t>(5 * s + j)];
      sum += v;
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    }
    sum_means += sum / 5;
    sum_ranges += hi - lo;
  }
  const double xbar = sum_means / 25, rbar = sum_ranges / 25;
  const double sigma = rbar / 2.326;                      // d2(5) = 2.326
  const double ucl1 = xbar + 3 * sigma / std::sqrt(5.0);  // A2 = 3 / (d2 sqrt 5) = 0.577
  const double ucl2 = rbar + 3 * 0.864 * sigma;           // d3(5) = 0.864: D4 R-bar = 2.114 R-bar
  const std::string s = pane_text(b, 1);
  for (const std::string& row : std::vector<std::string>{
           "Upper limit, chart 1    " + six(ucl1), "Centre line, chart 1    " + six(xbar),
           "Upper limit, chart 2    " + six(ucl2), "Centre line, chart 2    " + six(rbar),
           std::string("Lower limit, chart 2    0.0 "), "Process sigma           " + six(sigma),
           std::string("                        #1-25           \r\n"),
           std::string("Subgroups used:        25\r\n")})
    EXPECT_NE(s.find(row), std::string::npos) << row << "\n" << s;
  for (int pane : {1, 2, 3, 4}) expect_golden(b, pane);
}

TEST_F(VchartPanes, IndividualsGoldenAndHandArithmetic) {
  const auto csv = read_csv("diameters.csv");
  VchartColumns c;
  c.data = csv[1];
  Built b;
  build(b, 3, c, "Diameter", "");
  double sum = 0, mr = 0;
  for (std::size_t i = 0; i < c.data.size(); ++i) {
    sum += c.data[i];
    if (i > 0) mr += std::fabs(c.data[i] - c.data[i - 1]);
  }
  const double mean = sum / 125, mrbar = mr / 124, sigma = mrbar / 1.128;  // d2(2) = 1.128
  const std::string s = pane_text(b, 1);
  for (const std::string& row : std::vector<std::string>{
           "Upper limit, chart 1    " + six(mean + 3 * sigma),
           "Centre line, chart 1    " + six(mean),
           "Lower limit, chart 1    " + six(mean - 3 * sigma),
           "Centre line, chart 2    " + six(mrbar),
           "Upper limit, chart 2    " + six(mrbar + 3 * 0.853 * sigma),  // d3(2) = 0.853
           std::string("Observations used:     125\r\n")})
    EXPECT_NE(s.find(row), std::string::npos) << row << "\n" << s;
  for (int pane : {1, 2, 3, 4}) expect_golden(b, pane);
}

TEST_F(VchartPanes, PChartGoldenAndHandArithmetic) {
  const auto csv = read_csv("defectives.csv");  // Day, Inspected, Defective
  VchartColumns c;
  c.subgroup_given = true;
  c.subgroup = csv[0];
  c.size_given = true;
  c.size = csv[1];
  double defective = 0, inspected = 0;
  std::vector<double> proportion;
  for (std::size_t i = 0; i < csv[1].size(); ++i) {
    proportion.push_back(csv[2][i] / csv[1][i]);
    defective += csv[2][i];
    inspected += csv[1][i];
  }
  c.data = proportion;
  Built b;
  build(b, 4, c, "Defective/Inspected", "Day");
  b.view.size_name = "Inspected";
  const double pbar = defective / inspected, nbar = inspected / 20;
  const double half = 3 * std::sqrt(pbar * (1 - pbar) / nbar);
  const std::string s = pane_text(b, 1);
  for (const std::string& row : std::vector<std::string>{
           "Upper limit, chart 1    " + six(pbar + half), "Centre line, chart 1    " + six(pbar),
           std::string("Lower limit, chart 1    0.0 "),  // pbar - half < 0: shown as 0
           "Average size            " + six(nbar) + ".0",
           std::string(" - limits from the data: Defective/Inspected & Inspected\r\n")})
    EXPECT_NE(s.find(row), std::string::npos) << row << "\n" << s;
  // Day 14: 21 of 200 = 0.105 lies above p-bar + 3 sqrt(p-bar (1 - p-bar) / 200) with
  // p-bar = 170 / 4000 = 0.0425: 0.0425 + 3 x 0.014264 = 0.08529.
  const std::string t2 = pane_text(b, 2);
  EXPECT_NE(t2.find("14                  200       * 0.105\r\n"), std::string::npos) << t2;
  for (int pane : {1, 2, 3}) expect_golden(b, pane);
  EXPECT_TRUE(pane_text(b, 4).empty()) << "the attribute charts have no capability pane";
}

TEST_F(VchartPanes, DecisionCusumGolden) {
  const auto csv = read_csv("diameters.csv");
  VchartColumns c;
  c.subgroup_given = true;
  c.subgroup = csv[0];
  c.data = csv[1];
  Built b;
  build(b, 14, c, "Diameter", "Sample");
  ASSERT_EQ(b.results.error, 0);
  const std::string s = pane_text(b, 1);
  EXPECT_NE(s.find(" Decision interval h                  5.0\r\n"), std::string::npos) << s;
  EXPECT_NE(s.find(" Reference value k                    0.5\r\n"), std::string::npos) << s;
  for (int pane : {1, 2}) expect_golden(b, pane);
}

TEST_F(VchartPanes, ListingStopsAfterItsCut) {
  std::vector<double> x(100000);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = 10.0 + static_cast<double>(i % 7) * 0.1;
  VchartColumns c;
  c.data = x;
  Built b;
  build(b, 3, c, "X", "");
  const std::string t = vchart_listing_text(b.results, b.view);
  const std::string tail = std::string("...\r\n") + std::string(66, '-') + "\r\n";
  ASSERT_GE(t.size(), tail.size());
  EXPECT_EQ(t.substr(t.size() - tail.size()), tail);
  // The cut is tested before each line: the text before "..." passed 59952 by less than a line.
  const std::size_t before = t.size() - tail.size();
  EXPECT_GT(before, 59952u);
  EXPECT_LT(before, 59952u + 80u);
}

TEST_F(VchartPanes, RulesPaneListsLettersOnBothCharts) {
  // Eight means above the centre, then eight below: rule A on the eighth and
  // sixteenth point of chart 1; the ranges stay inside their limits.
  VchartColumns c;
  std::vector<double> data;
  for (int i = 0; i < 16; ++i) {
    const double m = i < 8 ? 10.5 : 9.5;
    for (double d : {-1.0, 0.0, 1.0}) data.push_back(m + d);
  }
  c.data = data;
  c.subgroup_given = true;
  const double three[] = {3};  // fixed subgroups of 3
  c.subgroup = three;
  Built b;
  b.options.option[11] = 0;  // rule B off
  b.options.option[12] = 0;
  b.options.option[13] = 0;
  build(b, 0, c, "X", "");
  const std::string t = vchart_rules_text(b.results, b.view);
  EXPECT_NE(t.find("   8                     A               "), std::string::npos) << t;
  EXPECT_NE(t.find("   16                    A               "), std::string::npos) << t;
  EXPECT_EQ(t.find("   7 "), std::string::npos) << t;
  EXPECT_EQ(t.find("B: "), std::string::npos) << "a rule switched off has no sentence";
}

TEST_F(VchartPanes, ErrorStateShowsItsMessageOnly) {
  Built b;
  VchartColumns c;
  const double data[] = {1, 2, 3};
  c.data = data;
  build(b, 0, c, "X", "");
  b.view.error_state = 1171;
  const std::string s = vchart_summary_text(b.results, b.view);
  EXPECT_EQ(s.substr(s.find("\r\n\r\n") + 4), text(static_cast<Str>(1171)) + "\r\n");
  for (int pane : {2, 3, 4}) EXPECT_EQ(pane_text(b, pane), text(Str::kNoResults) + "\r\n") << pane;
}

TEST_F(VchartPanes, RoutingAndMasks) {
  struct Row {
    int code, pane;
    VchartPane want;
  };
  const Row kRows[] = {
      {0, 10, VchartPane::G},    {3, 10, VchartPane::R0},  {4, 9, VchartPane::R0},
      {4, 4, VchartPane::none},  {8, 3, VchartPane::T4},   {14, 2, VchartPane::T2z},
      {13, 10, VchartPane::Rc},  {16, 12, VchartPane::G},  {21, 11, VchartPane::R1},
      {22, 1, VchartPane::none}, {0, 5, VchartPane::none}, {0, 13, VchartPane::none}};
  for (const Row& r : kRows)
    EXPECT_EQ(vchart_pane_of(r.code, r.pane), r.want) << r.code << " " << r.pane;
  const int32_t kMasks[][3] = {{0, 15, 7}, {3, 15, 3},   {6, 7, 1},
                               {10, 3, 2}, {16, 15, 31}, {21, 7, 3}};
  for (const auto& m : kMasks) {
    int32_t out[2];
    vchart_masks(m[0], out);
    EXPECT_EQ(out[0], m[1]) << m[0];
    EXPECT_EQ(out[1], m[2]) << m[0];
  }
}

TEST(VchartCounts, PointsBeyondLimitsThatChangeByPhaseAndByPoint) {
  // Eight points; chart 1's upper limit 10 then 20 from point 5 (two runs),
  // its lower limit one value per point; chart 2's limits cover five points
  // only (missing after them). Point 3 is excluded. PRESENT: points not
  // excluded whose value is neither missing nor infinite.
  struct Case {
    const char* why;
    std::vector<double> stat1, stat2;
    int marked1, marked2, excluded, present1, present2;
  };
  constexpr double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      // 11 > 10 (pt 1), 15 excluded (pt 3), 21 > 20 (pt 6), 1 < 2 (pt 8: lower 2).
      {"two phases", {11, 5, 15, 5, 15, 21, 5, 1}, {1, 9, 9, 1, 9, 99, 99, 99}, 3, 2, 1, 7, 7},
      // 9 > 8 at points 2 and 5 (pt 3 excluded); nothing past the 5th point of chart 2.
      {"chart 2 after its limits",
       {5, 5, 5, 5, 5, 5, 5, 5},
       {1, 9, 9, 1, 9, 99, 99, 99},
       0,
       2,
       1,
       7,
       7},
      // Missing at points 1 and 3 (3 excluded anyway): six present on each chart.
      {"missing points",
       {kMissing, 11, kMissing, 5, 5, 5, 5, 5},
       {kMissing, 1, 9, 1, 1, 1, 1, 1},
       1,
       0,
       1,
       6,
       6},
      // An infinite moving range at point 2 is beyond 8 but not present.
      {"infinite point", {5, 5, 5, 5, 5, 5, 5, 5}, {1, inf, 1, 1, 1, 1, 1, 1}, 0, 1, 1, 7, 6},
  };
  for (const Case& c : cases) {
    ChartResults r;
    r.series.stat1 = c.stat1;
    r.series.stat2 = c.stat2;
    r.series.ucl1.assign(8, 10.0);
    r.series.ucl1.fill(4, 8, 20.0);
    r.series.lcl1 = PointLine(std::vector<double>{0, 0, 0, 0, 0, 0, 0, 2});
    r.series.ucl2.assign(5, 8.0);
    r.series.lcl2.assign(5, 0.0);
    r.series.excluded = {0, 0, 1, 0, 0, 0, 0, 0};
    const VchartCounts k = vchart_counts(r);
    EXPECT_EQ(k.marked1, c.marked1) << c.why;
    EXPECT_EQ(k.marked2, c.marked2) << c.why;
    EXPECT_EQ(k.excluded, c.excluded) << c.why;
    EXPECT_EQ(k.present1, c.present1) << c.why;
    EXPECT_EQ(k.present2, c.present2) << c.why;
  }
}

}  // namespace
}  // namespace ztq
