// The graph panes G, R0, R1, Rc, M1, M2, the V-mask and the decision-interval
// sums, and the listing T2z: element counts and coordinates worked by hand on
// small results, and the message-only graphs of error states.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "bridge/module_state.h"
#include "bridge/strings.h"
#include "charts/cusum_arl.h"
#include "charts/vchart_panes.h"

namespace ztq {
namespace {

struct Built {
  ZtGraphDescriptor d{};
  GraphBuilder g;
  bool made = false;
};

// The texts of one role (ZTG_TEXT_NOTE, ZTG_TEXT_LEGEND).
std::vector<std::string> texts_of(const ZtGraphDescriptor& d, int32_t role) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < d.text_count; ++i)
    if (d.texts[i].role == role) out.push_back(d.texts[i].text);
  return out;
}

std::vector<std::string> line_labels(const ZtGraphDescriptor& d) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < d.line_count; ++i)
    if (d.lines[i].label != nullptr) out.push_back(d.lines[i].label);
  return out;
}

bool has(const std::vector<std::string>& v, const std::string& s) {
  for (const std::string& x : v)
    if (x == s) return true;
  return false;
}

// Decision sums about mu0 0 in one phase: the points X with standard errors
// S and reference value K (SH = max(0, SH + x - k s), SL = max(0, SL - k s - x)),
// decision lines DECISION; the statistic is SH or -SL, STAT.
void decision_results(ChartResults& r, std::vector<double> x, PointLine s, double k,
                      PointLine decision, std::vector<double> stat) {
  const std::size_t n = x.size();
  r.phases.assign(1, PhaseResult{});
  r.phases[0].first = 1;
  r.phases[0].last = static_cast<int>(n);
  r.series.stat1 = std::move(stat);
  r.series.excluded.assign(n, 0);
  r.tabular.chart1.k = k;
  r.tabular.x = std::move(x);
  r.tabular.s = std::move(s);
  r.tabular.target = {0};
  r.tabular.decision1 = std::move(decision);
}

class VchartGraphs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { module_startup(QUALTY_BIN); }
  void SetUp() override {
    options = default_chart_options();
    view.options = &options;
    view.data_name = "X";
  }
  template <class F>
  const ZtGraphDescriptor& build(F&& f) {
    b.made = f(b.g);
    b.d = ZtGraphDescriptor{};
    b.g.finish(b.d);
    return b.d;
  }
  ChartOptions options;
  VchartView view;
  ChartResults r;
  Built b;
};

TEST_F(VchartGraphs, HistogramClassesCurveAndSpecificationLines) {
  // Ten values in four classes of width (5 - 1) / 4 = 1: [1,2) 1, [2,3) 2,
  // [3,4) 3, [4,5] 4 (the largest value in the last class).
  view.code = 0;
  const std::vector<double> x = {1, 2, 2, 3, 3, 3, 4, 4, 5, 5, kMissing};
  view.observations = x;
  view.pane_option[0] = 4;
  options.doption[16] = 6, options.doption[17] = 3, options.doption[18] = 0;
  const auto& d = build([&](GraphBuilder& g) { return vchart_histogram_graph(r, view, g); });
  ASSERT_TRUE(b.made);
  ASSERT_EQ(d.bar_count, 4);
  for (int c = 0; c < 4; ++c) {
    EXPECT_DOUBLE_EQ(d.bars[c].x0, 1.0 + c);
    EXPECT_DOUBLE_EQ(d.bars[c].x1, 2.0 + c);
    EXPECT_DOUBLE_EQ(d.bars[c].y1, 1.0 + c);
  }
  // The curve and three specification lines.
  ASSERT_EQ(d.line_count, 4);
  EXPECT_EQ(d.lines[0].count, 121);
  // Mean 32 / 10 = 3.2; squares of deviations 4.84 + 2 x 1.44 + 3 x 0.04 + 2 x 0.64
  // + 2 x 3.24 = 15.6, sd = sqrt(15.6 / 9) = 1.316561; the curve's peak at the
  // mean is n x width / (sd sqrt(2 pi)) = 10 / (1.316561 x 2.506628) = 3.030185.
  const ZtgCoord peak = d.coords[d.lines[0].first + 60];
  EXPECT_NEAR(peak.x, 3.2, 1e-12);
  EXPECT_NEAR(peak.y, 3.030185, 2e-6);
  // The chart labels' rule: six significant digits of the largest (6), then
  // trailing zeros dropped.
  for (const char* label : {"USL = 6", "Target = 3", "LSL = 0"})
    EXPECT_TRUE(has(line_labels(d), label)) << label;
  EXPECT_NEAR(d.layout.panels[0].y.max, 4.4, 1e-12);  // 1.1 x the tallest class
  EXPECT_EQ(texts_of(d, ZTG_TEXT_LEGEND).size(), 1u);
  EXPECT_EQ(d.point_count, 0);
}

TEST_F(VchartGraphs, HistogramClassRules) {
  struct Row {
    std::vector<double> x;
    int asked;
    std::size_t classes;
    double width;
    const char* source;
  };
  const Row kRows[] = {
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0, 5, 1.8, "Sturges: 1 + log2 10 = 4.3 -> 5; 9 / 5"},
      {std::vector<double>(1000, 0.0), 0, 1, 1.0, "one value: one class of width 1"},
      {{}, 0, 0, 1.0, "no values: no classes"},
      {{0, 1}, 300, 200, 0.005, "at most 200 classes"}};
  for (const Row& row : kRows) {
    const HistogramClasses h = histogram_classes(row.x, row.asked);
    EXPECT_EQ(h.counts.size(), row.classes) << row.source;
    EXPECT_NEAR(h.width, row.width, 1e-12) << row.source;
  }
  std::vector<double> many(4096);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<double>(i);
  EXPECT_EQ(histogram_classes(many, 0).counts.size(), 13u) << "1 + log2 4096 = 13";
}

TEST_F(VchartGraphs, HistogramOfEnteredStatisticsShowsItsMessageOnly) {
  view.code = 0;
  const std::vector<double> x = {1, 2, 3};
  view.observations = x;
  options.option[0] = 1;  // subgroup statistics entered
  const auto& d = build([&](GraphBuilder& g) { return vchart_histogram_graph(r, view, g); });
  EXPECT_EQ(d.bar_count + d.line_count + d.point_count, 0);
  EXPECT_EQ(texts_of(d, ZTG_TEXT_NOTE), std::vector<std::string>{text(Str::kVcNoRawData)});
}

// An X-bar chart with sigma 2, n-bar 4 (s = 1), centre 10 and limits 7 and 13.
void xbar_results(ChartResults& r) {
  r.sigma = 2, r.nbar = 4;
  r.limits.cl1 = 10, r.limits.ucl1 = 13, r.limits.lcl1 = 7;
}

// The library's normal cdf (Abramowitz and Stegun 26.2.17) is good to 7.5e-8
// on each side, so beta to 1.5e-7 and 1 / (1 - beta) near 370 to 370^2 x
// 1.5e-7 = 0.021; the chi-square cdf behind the Poisson sums to about 2e-7.
constexpr double kBetaTol = 1.5e-7;

TEST_F(VchartGraphs, OperatingCharacteristicByHand) {
  view.code = 0;
  xbar_results(r);
  EXPECT_DOUBLE_EQ(vchart_point_sd(r, view), 1.0);  // 2 / sqrt(4)
  const auto& d = build([&](GraphBuilder& g) { return vchart_curve_graph(r, view, false, g); });
  ASSERT_EQ(d.line_count, 2);  // the curve and the centre line
  ASSERT_EQ(d.lines[0].count, 121);
  const ZtgCoord* c = d.coords + d.lines[0].first;
  // From 10 - 6 to 10 + 6 in steps of 0.1: point 60 at the centre, 90 at the UCL.
  EXPECT_NEAR(c[0].x, 4.0, 1e-12);
  EXPECT_NEAR(c[60].y, 0.9973002039, kBetaTol);  // Phi(3) - Phi(-3)
  EXPECT_NEAR(c[90].x, 13.0, 1e-12);
  EXPECT_NEAR(c[90].y, 0.5, kBetaTol);  // Phi(0) - Phi(-6) = 0.5 - 9.9e-10
  EXPECT_EQ(d.layout.panels[0].y.max, 1.0);
}

TEST_F(VchartGraphs, RunLengthCurveByHand) {
  view.code = 0;
  xbar_results(r);
  const auto& d = build([&](GraphBuilder& g) { return vchart_curve_graph(r, view, true, g); });
  ASSERT_EQ(d.line_count, 2);
  const ZtgCoord* c = d.coords + d.lines[0].first;
  // 1 / (1 - 0.9973002039) = 370.3983; at 2 s above the centre Phi(1) - Phi(-5)
  // = 0.8413447 - 0.0000003 = 0.8413444, 1 / 0.1586556 = 6.30297.
  EXPECT_NEAR(c[60].y, 370.3983, 0.021);
  EXPECT_NEAR(c[120].x, 12.0, 1e-12);
  EXPECT_NEAR(c[120].y, 6.30297, 1e-4);
  EXPECT_NEAR(d.layout.panels[0].y.max, 1.2 * 370.3983, 1.2 * 0.021);
  ASSERT_EQ(texts_of(d, ZTG_TEXT_LEGEND).size(), 1u);
  // Six significant digits of about 370.398: at most three decimals.
  const std::string arl = texts_of(d, ZTG_TEXT_LEGEND)[0];
  const std::string head = "In-control run length: ";
  ASSERT_EQ(arl.substr(0, head.size()), head);
  const std::string number = arl.substr(head.size());
  EXPECT_NEAR(std::stod(number), 370.3983, 0.021 + 5e-4) << number;
  EXPECT_LE(number.size() - number.find('.'), 4u) << number;
}

TEST_F(VchartGraphs, CurveCentreLabelledAsTheChartLabelsIt) {
  struct Row {
    double cl, ucl, lcl;
    int digits;
    const char* want;
    const char* source;
  };
  const Row kRows[] = {
      {10, 13, 7, 6, "CL = 10", "largest 13: 4 decimals, zeros dropped"},
      {0.0852927, 0.2, 0, 6, "CL = 0.085293", "largest 0.2: 6 decimals"},
      {0.0852927, 0.2, 0, 3, "CL = 0.085", "three digits of 0.2: 3 decimals"},
      {1234.5678, 1300.25, 1100, 6, "CL = 1234.57", "largest 1300.25: 2 decimals"}};
  view.code = 0;
  for (const Row& row : kRows) {
    r = ChartResults{};
    r.sigma = 2, r.nbar = 4;
    r.limits.cl1 = row.cl, r.limits.ucl1 = row.ucl, r.limits.lcl1 = row.lcl;
    view.digits = row.digits;
    const auto& d = build([&](GraphBuilder& g) { return vchart_curve_graph(r, view, false, g); });
    EXPECT_TRUE(has(line_labels(d), row.want)) << row.source;
  }
}

TEST_F(VchartGraphs, AttributeCurvesUseWholeCounts) {
  // c chart, c-bar 4: limits 4 +- 6, the lower shown as 0. Inside: X <= 10.
  view.code = 7;
  r.limits.cl1 = 4, r.limits.ucl1 = 10, r.limits.lcl1 = 0;
  double poisson = 0, term = std::exp(-4.0);
  for (int x = 0; x <= 10; ++x, term *= 4.0 / x) poisson += term;  // sum e^-4 4^x / x!
  EXPECT_NEAR(vchart_inside_probability(r, view, 4.0, 2.0), poisson, 2 * kBetaTol);
  // p chart, p-bar 0.1, n-bar 50: UCL 0.1 + 3 sqrt(0.09 / 50) = 0.227279, 11.36
  // nonconforming: inside while X <= 11, with mean 50 x 0.1 = 5.
  view.code = 4;
  r.nbar = 50, r.limits.cl1 = 0.1, r.limits.ucl1 = 0.1 + 3 * std::sqrt(0.09 / 50);
  r.limits.lcl1 = 0;
  poisson = 0, term = std::exp(-5.0);
  for (int x = 0; x <= 11; ++x, term *= 5.0 / x) poisson += term;
  EXPECT_NEAR(vchart_inside_probability(r, view, 0.1, vchart_point_sd(r, view)), poisson,
              2 * kBetaTol);
  EXPECT_NEAR(vchart_point_sd(r, view), std::sqrt(0.09 / 50), 1e-15);
}

TEST_F(VchartGraphs, NoSpreadShowsItsMessageOnly) {
  for (int code : {0, 4, 10, 14}) {
    view.code = code;
    r = ChartResults{};
    r.sigma = 0, r.nbar = 5, r.limits.cl1 = 0;
    for (int which = 0; which < 3; ++which) {
      const auto& d = build([&](GraphBuilder& g) {
        return which == 2 ? vchart_cusum_arl_graph(r, view, g)
                          : vchart_curve_graph(r, view, which == 1, g);
      });
      if (which == 2 && code < 10) {
        EXPECT_FALSE(b.made) << code;
        continue;
      }
      EXPECT_EQ(d.line_count + d.point_count + d.bar_count, 0) << code << " " << which;
      EXPECT_EQ(texts_of(d, ZTG_TEXT_NOTE), std::vector<std::string>{text(Str::kVcNoSpread)})
          << code << " " << which;
    }
  }
}

TEST_F(VchartGraphs, CusumRunLengthCurve) {
  view.code = 14;  // h 5, k 0.5 by default
  r.sigma = 1, r.nbar = 1;
  const auto& d = build([&](GraphBuilder& g) { return vchart_cusum_arl_graph(r, view, g); });
  ASSERT_EQ(d.line_count, 1);
  EXPECT_EQ(d.lines[0].count, 121);
  EXPECT_NEAR(d.coords[d.lines[0].first].x, -3.0, 1e-12);
  // In-control 465 (Montgomery's table for h 5, k 1/2); the axis to 1.2 x that.
  EXPECT_NEAR(d.layout.panels[0].y.max, 1.2 * 465, 1.2 * 465 * 0.005);
  EXPECT_NEAR(d.coords[d.lines[0].first + 60].y, 465, 465 * 0.005);
  // Codes 10 and 13: the V-mask of alpha = beta = 0.01, delta 1, n-bar 1 has
  // the lead d = 2 ln 198 = 10.5765; k = 1 / 2, h = d k = ln 198 = 5.28827.
  view.code = 10;
  r.cusum.lead_distance = 2 * std::log(198.0);
  const auto& v = build([&](GraphBuilder& g) { return vchart_cusum_arl_graph(r, view, g); });
  EXPECT_NE(std::string(v.layout.subtitle).find("h = 5.28827,  k = 0.5"), std::string::npos)
      << v.layout.subtitle;
  EXPECT_NEAR(v.coords[v.lines[0].first + 60].y, cusum_arl(std::log(198.0), 0.5, 0, 0, 0), 1e-6);
}

TEST_F(VchartGraphs, VmaskArmsMeetAtTheVertex) {
  // Sums 0.5, 2, 3; reference point 3, lead 2, D / 2 = 0.5: upper arm 3 + 0.5 (2 + m)
  // = 5, 4.5, 4 and lower arm 1, 1.5, 2 at points 1, 2, 3; the vertex at (3 + 2, 3).
  view.code = 10;
  r.series.stat1 = {0.5, 2, 3};
  r.series.excluded = {0, 0, 0};
  r.cusum.upper_arm = {5, 4.5, 4};
  r.cusum.lower_arm = {1, 1.5, 2};
  r.series.ucl1 = r.cusum.upper_arm;
  r.series.lcl1 = r.cusum.lower_arm;
  r.cusum.reference_point = 3, r.cusum.lead_distance = 2;
  const auto& d = build([&](GraphBuilder& g) { return vchart_vmask_graph(r, view, g); });
  // Centre, two arms, two segments to the vertex, the sums.
  ASSERT_EQ(d.line_count, 6);
  EXPECT_TRUE(has(line_labels(d), text(Str::kVcVmask)));
  const ZtgLine& to_vertex = d.lines[3];
  EXPECT_EQ(d.coords[to_vertex.first].y, 4);
  EXPECT_EQ(d.coords[to_vertex.first + 1].x, 5);
  EXPECT_EQ(d.coords[to_vertex.first + 1].y, 3);
  EXPECT_EQ(d.point_count, 4);  // three sums, point 1 again as outside the mask (0.5 < 1)
  EXPECT_EQ(d.points[3].x, 1);
  EXPECT_NEAR(d.layout.panels[0].x.max, 5.5, 1e-12);
}

TEST_F(VchartGraphs, DecisionSumsWithTheirLines) {
  view.code = 14;
  // k 2: SH max(0, -3 - 2) = 0, 8 - 2 = 6, 6 - 2 - 2 = 2; SL 0 - 2 + 3 = 1,
  // max(0, 1 - 2 - 8) = 0, max(0, -2 + 2) = 0.
  decision_results(r, {-3, 8, -2}, {1, 1, 1}, 2, {5, 5, 5}, {-1, 6, 2});
  const auto& d = build([&](GraphBuilder& g) { return vchart_sums_graph(r, view, true, g); });
  ASSERT_EQ(d.line_count, 5);                 // centre, +h, -h, upper sums, lower sums
  EXPECT_TRUE(has(line_labels(d), "H = 5"));  // the chart label format drops the zero decimal
  EXPECT_TRUE(has(line_labels(d), "-H = -5"));
  ASSERT_EQ(d.point_count, 7);  // 3 upper, point 2 beyond h, 3 lower
  EXPECT_EQ(d.points[3].x, 2);
  EXPECT_EQ(d.points[3].y, 6);
  EXPECT_EQ(d.points[5].y, -0.0);  // -SL of point 2
  EXPECT_FALSE(vchart_sums_graph(r, view, false, b.g)) << "code 14 has no chart 2 sums";
  r.tabular.chart1.lower = false;  // `option53` 1: the upper sums only
  r.series.stat1 = {0, 6, 2};
  const auto& u = build([&](GraphBuilder& g) { return vchart_sums_graph(r, view, true, g); });
  EXPECT_EQ(u.line_count, 3);
}

TEST_F(VchartGraphs, ModelResidualsAndAutocorrelations) {
  view.code = 17;
  r.model.residuals = {1, -1, 1, -1};
  r.model.residual_sd = 0.2;
  const auto& m1 = build([&](GraphBuilder& g) { return vchart_model_graph(r, view, true, g); });
  EXPECT_EQ(m1.line_count, 4);  // 0, +-3 sd, the residuals
  EXPECT_EQ(m1.point_count, 8) << "each residual beyond 3 x 0.2 is marked again";
  // Mean 0, c0 = 4: r1 = (-1 - 1 - 1) / 4 = -0.75, r2 = (1 + 1) / 4 = 0.5.
  view.pane_option[0] = 2;
  const auto& m2 = build([&](GraphBuilder& g) { return vchart_model_graph(r, view, false, g); });
  ASSERT_EQ(m2.bar_count, 2);
  EXPECT_DOUBLE_EQ(m2.bars[0].y0, -0.75);
  EXPECT_DOUBLE_EQ(m2.bars[1].y1, 0.5);
  EXPECT_TRUE(has(line_labels(m2), text(Str::kVcAcfBound) + " = 1"));  // 2 / sqrt(4)
  EXPECT_TRUE(has(line_labels(m2), "-" + text(Str::kVcAcfBound) + " = -1"));
  view.code = 0;
  EXPECT_FALSE(vchart_model_graph(r, view, true, b.g));
}

TEST_F(VchartGraphs, ErrorStateShowsItsMessageOnly) {
  view.error_state = 1171;
  const std::vector<std::string> want{text(static_cast<Str>(1171))};
  struct Pane {
    int code;
    bool (*f)(const ChartResults&, const VchartView&, GraphBuilder&);
  };
  const Pane kPanes[] = {
      {0, [](auto& res, auto& vw, auto& gb) { return vchart_histogram_graph(res, vw, gb); }},
      {0, [](auto& res, auto& vw, auto& gb) { return vchart_curve_graph(res, vw, false, gb); }},
      {4, [](auto& res, auto& vw, auto& gb) { return vchart_curve_graph(res, vw, true, gb); }},
      {13, [](auto& res, auto& vw, auto& gb) { return vchart_cusum_arl_graph(res, vw, gb); }},
      {13, [](auto& res, auto& vw, auto& gb) { return vchart_vmask_graph(res, vw, gb); }},
      {15, [](auto& res, auto& vw, auto& gb) { return vchart_sums_graph(res, vw, false, gb); }},
      {16, [](auto& res, auto& vw, auto& gb) { return vchart_model_graph(res, vw, true, gb); }},
      {17, [](auto& res, auto& vw, auto& gb) { return vchart_model_graph(res, vw, false, gb); }}};
  for (const Pane& p : kPanes) {
    view.code = p.code;
    const auto& d = build([&](GraphBuilder& g) { return p.f(r, view, g); });
    EXPECT_TRUE(b.made) << p.code;
    EXPECT_EQ(d.line_count + d.point_count + d.bar_count, 0) << p.code;
    EXPECT_EQ(texts_of(d, ZTG_TEXT_NOTE), want) << p.code;
    EXPECT_EQ(texts_of(d, ZTG_TEXT_LEGEND).size(), 0u) << p.code;
  }
  view.code = 14;
  EXPECT_EQ(vchart_sums_text(r, view), text(Str::kNoResults) + "\r\n");
}

TEST_F(VchartGraphs, SumsListingCountsRunsAboveZero) {
  view.code = 14;
  view.labels = {"a", "b", "c", "d"};
  // k 0, s 1 but t = 3.12344e-6 at b (six positional digits of t need 13
  // characters), h 5 (5 t at b). z = x / s: 0, -1, 6, -1.
  // SH: 0, max(0, -t) = 0, 6, 6 - 1 = 5;  SL: 0, 0 + t = t, max(0, t - 6) = 0, 1.
  const double tiny = 3.12344e-6;
  decision_results(r, {0, -tiny, 6, -1}, {1, tiny, 1, 1}, 0, {5, 5 * tiny, 5, 5}, {0, -tiny, 6, 5});
  const std::string t = vchart_sums_text(r, view);
  // Label (20), z (12), then per side: mark, sum (11), blank, run count "%-6d".
  const std::string pad20(19, ' '), pad11(9, ' ');  // "0.0" or "6.0" in 11, then a blank
  EXPECT_NE(
      t.find("a" + pad20 + "0.0         " + " 0.0" + pad11 + "0     " + " 0.0" + pad11 + "0     "),
      std::string::npos)
      << t;
  EXPECT_NE(
      t.find("b" + pad20 + "-1.0        " + " 0.0" + pad11 + "0     " + " 3.1234E-6   1     "),
      std::string::npos)
      << t;
  EXPECT_NE(
      t.find("c" + pad20 + "6.0         " + "*6.0" + pad11 + "1     " + " 0.0" + pad11 + "0     "),
      std::string::npos)
      << t;
  EXPECT_NE(
      t.find("d" + pad20 + "-1.0        " + " 5.0" + pad11 + "2     " + " 1.0" + pad11 + "1     "),
      std::string::npos)
      << t;
}

}  // namespace
}  // namespace ztq
