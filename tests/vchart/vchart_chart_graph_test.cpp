// The chart graphs C1 and C2 as descriptions: stepped limits, phase dividers
// and labels, the marks and their legend, the label number format, and the
// reduction of dense series.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bridge/module_state.h"
#include "bridge/strings.h"
#include "charts/engine.h"
#include "charts/vchart_chart_parts.h"
#include "charts/vchart_panes.h"

namespace ztq {
namespace {

using vchart_detail::LabelFormat;

class ChartGraph : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { module_startup(QUALTY_BIN); }
  void SetUp() override {
    options = default_chart_options();
    view.options = &options;
    view.data_name = "X";
  }
  const ZtGraphDescriptor& build(bool first = true) {
    made = vchart_chart_graph(r, view, first, g);
    d = ZtGraphDescriptor{};
    g.finish(d);
    return d;
  }
  // N points of value 10 with limits 7 and 13 around 10, one phase.
  void flat(std::size_t n) {
    ChartSeries& s = r.series;
    s.stat1.values().assign(n, 10);
    s.stat2 = std::vector<double>(n, kMissing);
    s.ucl1.assign(n, 13), s.cl1.assign(n, 10), s.lcl1.assign(n, 7);
    s.ucl1_unclipped = s.ucl1, s.lcl1_unclipped = s.lcl1;
    s.flags.assign(n, 0), s.excluded.assign(n, 0);
    r.limits.ucl1 = 13, r.limits.cl1 = 10, r.limits.lcl1 = 7;
    r.phases.assign(1, PhaseResult{});
    r.phases[0].first = 1, r.phases[0].last = static_cast<int>(n);
    r.phases[0].lines = r.limits;
  }
  const ZtgLine* line_labelled(const std::string& prefix) const {
    for (int32_t i = 0; i < d.line_count; ++i)
      if (d.lines[i].label != nullptr && std::string(d.lines[i].label).rfind(prefix, 0) == 0)
        return &d.lines[i];
    return nullptr;
  }
  std::vector<std::string> texts_of(int32_t role) const {
    std::vector<std::string> out;
    for (int32_t i = 0; i < d.text_count; ++i)
      if (d.texts[i].role == role) out.push_back(d.texts[i].text);
    return out;
  }
  ChartOptions options;
  VchartView view;
  ChartResults r;
  GraphBuilder g;
  ZtGraphDescriptor d{};
  bool made = false;
};

TEST_F(ChartGraph, UnequalSizesGiveOneHorizontalSegmentPerPoint) {
  // A p chart, p-bar 0.1, n = 100, 400, 25: 3-sigma limits 0.1 +- 3 sqrt(0.09 / n)
  // = 0.19 / 0.01, 0.145 / 0.055, 0.28 / 0 (clipped at 0).
  view.code = 4;
  flat(3);
  r.series.stat1 = {0.12, 0.08, 0.1};
  r.series.ucl1 = {0.19, 0.145, 0.28};
  r.series.lcl1 = {0.01, 0.055, 0.0};
  r.series.cl1 = {0.1, 0.1, 0.1};
  r.limits.ucl1 = 0.19, r.limits.cl1 = 0.1, r.limits.lcl1 = 0.01;
  build();
  ASSERT_TRUE(made);
  const ZtgLine* ucl = line_labelled(text(Str::kVcUclLabel) + " = ");
  ASSERT_NE(ucl, nullptr);
  ASSERT_EQ(ucl->count, 6);  // two vertices per point
  for (int i = 0; i < 3; ++i) {
    const ZtgCoord& a = d.coords[ucl->first + 2 * i];
    const ZtgCoord& b = d.coords[ucl->first + 2 * i + 1];
    EXPECT_DOUBLE_EQ(a.y, r.series.ucl1[static_cast<std::size_t>(i)]) << i;
    EXPECT_DOUBLE_EQ(b.y, a.y) << "horizontal across the slot of point " << i + 1;
    EXPECT_DOUBLE_EQ(a.x, i + 0.5);
    EXPECT_DOUBLE_EQ(b.x, i + 1.5);
  }
  // Between points only vertical risers: no diagonal anywhere.
  for (int k = 1; k + 1 < ucl->count; k += 2)
    EXPECT_DOUBLE_EQ(d.coords[ucl->first + k].x, d.coords[ucl->first + k + 1].x);
  // The flat centre line stays one labelled line.
  const ZtgLine* cl = line_labelled(text(Str::kVcClLabel) + " = ");
  ASSERT_NE(cl, nullptr);
  EXPECT_EQ(cl->count, 2);
}

TEST_F(ChartGraph, PhaseChangeGivesDividerAndLabelsWhereLinesDiffer) {
  // Phase 1: points 1-4 around 10 (limits 7, 13); phase 2: points 5-8 around 20
  // (limits 17, 23); phase 2's lines go to the margin, phase 1's at x = 4.5.
  view.code = 3;
  flat(8);
  for (std::size_t i = 4; i < 8; ++i)
    r.series.ucl1[i] = 23, r.series.cl1[i] = 20, r.series.lcl1[i] = 17,
    r.series.stat1.values()[i] = 20;
  r.series.ucl1_unclipped = r.series.ucl1, r.series.lcl1_unclipped = r.series.lcl1;
  r.phases.resize(2);
  r.phases[0].last = 4;
  r.phases[1].first = 5, r.phases[1].last = 8;
  r.phases[1].lines.ucl1 = 23, r.phases[1].lines.cl1 = 20, r.phases[1].lines.lcl1 = 17;
  r.limits = r.phases[1].lines;
  view.labels = {"a", "b", "c", "d", "e", "f", "g", "h"};
  build();
  int dividers = 0;
  for (int32_t i = 0; i < d.line_count; ++i) {
    const ZtgLine& l = d.lines[i];
    if (l.count != 2 || d.coords[l.first].x != d.coords[l.first + 1].x) continue;
    ++dividers;
    EXPECT_DOUBLE_EQ(d.coords[l.first].x, 4.5);
    EXPECT_EQ(std::string(l.label), text_with(Str::kGrPhaseFrom, "e"));
  }
  EXPECT_EQ(dividers, 1);
  const std::vector<std::string> plain = texts_of(ZTG_TEXT_PLAIN);
  for (const char* v : {" = 13", " = 10", " = 7"}) {
    bool found = false;
    for (const std::string& t : plain) found |= t.size() > 4 && t.ends_with(v);
    EXPECT_TRUE(found) << "phase 1 label ending" << v;
  }
  for (int32_t i = 0; i < d.text_count; ++i)
    if (d.texts[i].role == ZTG_TEXT_PLAIN) {
      EXPECT_DOUBLE_EQ(d.texts[i].x, 4.5);
    }
  EXPECT_NE(line_labelled(text(Str::kVcUclLabel) + " = 23"), nullptr);
}

TEST_F(ChartGraph, LegendListsExactlyTheMarkKindsPresent) {
  const std::string beyond = text(Str::kGrBeyondLimits), rule = text(Str::kGrRunsRule),
                    excluded = text(Str::kGrExcluded);
  struct Row {
    double value2;  // point 2's value (beyond when outside 7..13)
    int flags3;     // point 3's rule bits
    int excluded4;  // point 4 excluded
    std::vector<std::string> legend;
  };
  const Row kRows[] = {
      {10, 0, 0, {}},
      {14, 0, 0, {beyond}},
      {10, 4, 0, {rule}},
      {10, 0, 1, {excluded}},
      {6, 4 | 8, 1, {beyond, rule, excluded}},
  };
  for (const Row& row : kRows) {
    view.code = 3;
    flat(6);
    r.series.stat1.values()[1] = row.value2;
    r.series.flags[2] = static_cast<std::uint16_t>(row.flags3);
    r.series.excluded[3] = static_cast<char>(row.excluded4);
    build();
    EXPECT_EQ(texts_of(ZTG_TEXT_LEGEND), row.legend) << row.value2 << " " << row.flags3;
    // Rule letters: rules 3 and 4 are C and D.
    if (row.flags3 != 0) {
      EXPECT_EQ(texts_of(ZTG_TEXT_MARK), std::vector<std::string>{row.flags3 == 4 ? "C" : "CD"});
    }
  }
}

TEST_F(ChartGraph, SmootherLinesThatAreOnAreDrawnWithTheirLegend) {
  // x = 1, 3, 4, 8, 9, 9; moving ranges -, 2, 1, 4, 1, 0.
  // Moving average of span 3 over x (no padding): 1, 2, 8/3, 5, 7, 26/3.
  // EWMA of weight 0.5 over the moving ranges, from the first present one:
  // 2, 1.5, 2.75, 1.875, 0.9375 (missing at the first point).
  const std::vector<double> x = {1, 3, 4, 8, 9, 9};
  struct Row {
    int code;
    bool first;
    int ma_option, ewma_option;  // 33 / 35 on chart 1, 43 / 45 on chart 2
    std::string legend;          // the smoother's legend entry, empty: none
    std::vector<double> line;
  };
  const Row kRows[] = {
      {3, true, 33, 0, "Moving average (span 3)", {1, 2, 8.0 / 3, 5, 7, 26.0 / 3}},
      {3, false, 0, 45, "EWMA (lambda 0.5)", {kMissing, 2, 1.5, 2.75, 1.875, 0.9375}},
      {3, true, 0, 0, "", {}},
      // The EWMA chart keeps its unsmoothed values in the EWMA line's slot:
      // they are not a line of their own.
      {9, true, 0, 35, "", {}},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.legend);
    options = default_chart_options();
    options.option[34] = options.option[44] = 3;
    options.doption[21] = options.doption[31] = 0.5;
    if (row.ma_option) options.option[row.ma_option] = 1;
    if (row.ewma_option) options.option[row.ewma_option] = 1;
    view.code = row.code;
    r = compute_chart(chart_input_from_raw(row.code, x, {}), options);
    ASSERT_TRUE(r.computed);
    build(row.first);
    std::vector<std::string> smoothers;
    for (const std::string& t : texts_of(ZTG_TEXT_LEGEND))
      if (t.rfind("Moving average", 0) == 0 || t.rfind("EWMA", 0) == 0) smoothers.push_back(t);
    EXPECT_EQ(smoothers, row.legend.empty() ? std::vector<std::string>{}
                                            : std::vector<std::string>{row.legend});
    // The line in the smoothers' width, its vertices the smoothed values (a
    // missing one, where the component breaks the line, kept as missing).
    std::vector<double> drawn;
    for (int32_t i = 0; i < d.line_count; ++i)
      if (d.attributes[d.lines[i].attribute].width == 1.6)
        for (int32_t k = 0; k < d.lines[i].count; ++k)
          drawn.push_back(d.coords[d.lines[i].first + k].y);
    const std::vector<double>& expected = row.line;
    ASSERT_EQ(drawn.size(), expected.size());
    for (std::size_t k = 0; k < drawn.size(); ++k) EXPECT_NEAR(drawn[k], expected[k], 1e-12) << k;
  }
}

TEST_F(ChartGraph, RuleLettersOnlyUpToFiftyFlaggedPoints) {
  for (const std::size_t flagged : {50u, 51u}) {
    view.code = 3;
    flat(100);
    for (std::size_t i = 0; i < flagged; ++i) r.series.flags[i] = 1;  // rule A
    build();
    EXPECT_EQ(texts_of(ZTG_TEXT_MARK).size(), flagged <= 50 ? flagged : 0u);
    EXPECT_EQ(texts_of(ZTG_TEXT_LEGEND), std::vector<std::string>{text(Str::kGrRunsRule)});
  }
}

TEST_F(ChartGraph, MillionPointsReduceToAFewThousandVerticesKeepingEveryFlaggedPoint) {
  view.code = 3;
  const std::size_t n = 1000000;
  flat(n);
  std::size_t flagged = 0;
  for (std::size_t i = 0; i < n; ++i) {
    r.series.stat1.values()[i] = 10 + std::sin(static_cast<double>(i) * 0.001);
    if (i % 33 == 0) r.series.flags[i] = 2, ++flagged;  // about 3 % flagged by rule B
  }
  r.series.stat1.values()[777778] = 20, ++flagged;  // beyond UCL 13 (777778 = 33 x 23569 + 1)
  build();
  int32_t vertices = 0;
  for (int32_t i = 0; i < d.line_count; ++i) vertices += d.lines[i].count;
  EXPECT_LE(vertices, 4 * GraphBuilder::kColumns + 16);
  // Every flagged point is in the description; no ordinary markers.
  EXPECT_EQ(static_cast<std::size_t>(d.point_count), flagged);
  // The spike survives the envelope.
  bool spike = false;
  for (int32_t k = 0; k < d.coord_count; ++k) spike |= d.coords[k].y == 20;
  EXPECT_TRUE(spike);
  EXPECT_TRUE(texts_of(ZTG_TEXT_MARK).empty());
}

TEST_F(ChartGraph, PointLabelsBecomeRoundlySpacedTicks) {
  // 125 points: about 12 labels wanted, 125 / 12 = 10.4, so every 20th point
  // (the next of 1, 2, 5, 10, 20): points 20, 40, ..., 120.
  view.code = 3;
  flat(125);
  std::vector<std::string> labels;
  for (int i = 1; i <= 125; ++i) labels.push_back("s" + std::to_string(i));
  view.labels = labels;
  build();
  const ZtgAxis& x = d.layout.panels[0].x;
  ASSERT_EQ(x.category_count, 6);
  EXPECT_DOUBLE_EQ(x.category_origin, 20);
  EXPECT_DOUBLE_EQ(x.category_step, 20);
  EXPECT_STREQ(x.categories[0], "s20");
  EXPECT_STREQ(x.categories[5], "s120");
}

TEST_F(ChartGraph, AllPointsMissingGiveAFrameAndANote) {
  view.code = 3;
  flat(5);
  r.series.stat1.values().assign(5, kMissing);
  build();
  ASSERT_TRUE(made);
  EXPECT_EQ(d.point_count, 0);
  EXPECT_EQ(texts_of(ZTG_TEXT_NOTE), std::vector<std::string>{text(Str::kGrNoPoints)});
}

TEST_F(ChartGraph, ZoneLinesFollowTheOptionAndTheZoneRules) {
  // Limits 7 and 13 around 10: zone lines at 10 +- 1 and 10 +- 2.
  struct Row {
    int pane_option;
    bool rule3;
    int lines;
  };
  const Row kRows[] = {{0, false, 3}, {0, true, 7}, {1, false, 7}, {2, true, 3}};
  for (const Row& row : kRows) {
    view.code = 3;
    flat(5);
    options.option[9 + 3] = row.rule3 ? 1 : 0;
    for (int k = 4; k <= 6; ++k) options.option[9 + k] = 0;
    view.pane_option[0] = row.pane_option;
    build();
    // limits and centre (3) plus the data line, plus four zone lines
    EXPECT_EQ(d.line_count, row.lines + 1) << row.pane_option << row.rule3;
    if (row.lines == 7) {
      std::vector<double> ys;
      for (int32_t i = 0; i < d.line_count; ++i)
        if (d.lines[i].label == nullptr && d.lines[i].count == 2)
          ys.push_back(d.coords[d.lines[i].first].y);
      std::sort(ys.begin(), ys.end());
      ASSERT_EQ(ys.size(), 4u);
      EXPECT_NEAR(ys[0], 8, 1e-12);
      EXPECT_NEAR(ys[1], 9, 1e-12);
      EXPECT_NEAR(ys[2], 11, 1e-12);
      EXPECT_NEAR(ys[3], 12, 1e-12);
    }
  }
}

TEST_F(ChartGraph, SummaryOfCodesWithoutARulesPaneNamesTheRulesInForce) {
  // Defaults: rules 1 to 4 on (C and D are zone rules). The smoothed codes 8,
  // 9, 11, 12 test their smoothed points; the cumulative sums (10, 13, 14, 15)
  // only their chart 2; codes 3 and 0 have a runs-rules pane of their own.
  struct Row {
    int code;
    bool basic;  // rule A alone (the "basic" preset)
    const char* sentence;
    const char* why;
  };
  const std::string zones = "Zone rules were applied to the smoothed values of chart 1";
  const std::string smoothed = "The rules were applied to the smoothed values of chart 1";
  const std::string sums = "not to the cumulative sums.";
  const Row kRows[] = {{9, false, zones.c_str(), "EWMA, zone rules on"},
                       {12, false, zones.c_str(), "EWMA of means"},
                       {8, false, zones.c_str(), "moving average"},
                       {9, true, smoothed.c_str(), "no zone rule in force"},
                       {11, true, smoothed.c_str(), "moving average of means, rule A only"},
                       {10, false, sums.c_str(), "V-mask: no rules on the sums"},
                       {14, true, sums.c_str(), "decision interval"},
                       {3, false, nullptr, "own runs-rules pane"},
                       {0, false, nullptr, "own runs-rules pane"}};
  const std::string heading = text(Str::kVcRulesHead1);
  for (const Row& row : kRows) {
    options = default_chart_options();
    if (row.basic)
      for (int rule = 2; rule <= 6; ++rule) options.option[9 + rule] = 0;
    view.code = row.code;
    flat(5);
    const std::string summary = vchart_summary_text(r, view);
    const std::size_t at = summary.find(heading);
    if (row.sentence == nullptr) {
      EXPECT_EQ(at, std::string::npos) << row.why;
      continue;
    }
    ASSERT_NE(at, std::string::npos) << row.why;
    const std::string block = summary.substr(at);
    EXPECT_EQ(block.substr(0, vchart_rules_in_force(view).size()), vchart_rules_in_force(view));
    EXPECT_NE(block.find(row.sentence), std::string::npos) << row.why << "\n" << block;
    EXPECT_EQ(block.find("B: ") == std::string::npos, row.basic) << row.why;
    EXPECT_EQ(block.find("C: ") == std::string::npos, row.basic) << row.why;
    EXPECT_EQ(block.substr(block.size() - 2), "\r\n") << row.why;
  }
  for (int rule = 1; rule <= 6; ++rule) options.option[9 + rule] = 0;
  view.code = 9;
  EXPECT_EQ(vchart_summary_text(r, view).find(heading), std::string::npos) << "no rule on";
}

TEST(LabelFormat, OneRoundingForEveryLabelOfAChart) {
  struct Row {
    std::vector<double> values;
    int digits;
    std::vector<std::string> expected;
  };
  // The largest value sets the decimals: 0.0852927 has its first digit in the
  // second decimal, so 6 digits take 7 decimals and 4 digits take 5.
  const Row kRows[] = {
      {{0.0852927, 0.05, 0.0}, 6, {"0.0852927", "0.05", "0"}},
      {{0.0852927, 0.05, 0.0}, 4, {"0.08529", "0.05", "0"}},
      {{12.3456, 10, 7.6544}, 6, {"12.3456", "10", "7.6544"}},
      {{1234567.0, 2.5}, 6, {"1234567", "3"}},  // no decimals; 2.5 rounds half up
      {{-0.5, 0.25}, 3, {"-0.5", "0.25"}},
      {{-1e-9, 100}, 6, {"0", "100"}},  // a rounding to zero reads 0, not -0
  };
  for (const Row& row : kRows) {
    const LabelFormat f(row.values, row.digits);
    for (std::size_t i = 0; i < row.values.size(); ++i)
      EXPECT_EQ(f(row.values[i]), row.expected[i]) << row.values[i] << " at " << row.digits;
  }
  EXPECT_EQ(LabelFormat({kMissing}, 6)(kMissing), "");
}

}  // namespace
}  // namespace ztq
