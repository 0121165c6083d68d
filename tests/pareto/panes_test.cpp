// Pareto panes: golden text of panes 1 and 2 for data/defects.csv, the two
// charts as the graph component receives them, and the size limit of the table.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "bridge/analysis.h"
#include "bridge/procedures.h"
#include "bridge/strings.h"
#include "pareto/pareto_panes.h"
#include "pareto_session.h"
#include "temp_dir.h"

namespace ztq {
namespace {

using qualty::testing::slurp;
using testing::ParetoSession;

const std::string kSource = QUALTY_SOURCE;

// data/defects.csv as four columns: Unit, Shift, Defect, Cost (an empty cell is
// a blank text or a missing number).
void load_defects(testing::FakeSheet& sheet) {
  std::istringstream in(slurp(kSource + "/data/defects.csv"));
  std::string line;
  std::getline(in, line);  // header
  testing::SheetColumn unit = testing::numeric("Unit", {}), shift = testing::character("Shift", {}),
                       defect = testing::character("Defect", {}),
                       cost = testing::numeric("Cost", {});
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::stringstream ls(line);
    for (std::string cell; std::getline(ls, cell, ',');) f.push_back(cell);
    f.resize(4);
    unit.numbers.push_back(std::stod(f[0]));
    shift.texts.push_back(f[1]);
    defect.texts.push_back(f[2]);
    cost.numbers.push_back(f[3].empty() ? ZTQ_MISSING : std::stod(f[3]));
  }
  sheet.columns = {unit, shift, defect, cost};
}

std::string built_text(AnalysisRecord& record, int pane) {
  const Procedure* p = find_procedure("pareto");
  EXPECT_NE(p, nullptr);
  std::string text;
  if (p != nullptr) p->text_pane(Analysis(record, *p), pane, text);
  return text;
}

// Hand tally of data/defects.csv (122 rows; the Defect column read row by row
// and counted on paper, then checked with `sort | uniq -c`):
//   Scratch 34, Dent 25, Misalignment 18, Burr 14, Porosity 11, Crack 7,
//   Discolouration 7, Missing screw 4, and 2 blank rows; total 120, 8 classes.
// Pareto order: by count, and of the tie at 7 the later class in ascending
// text order first: Discolouration before Crack.
// Cumulative 34, 59, 77, 91, 102, 109, 116, 120; percent of 120, two decimals:
//   34 -> 28.33, 25 -> 20.83 (cum 59 -> 49.17), 18 -> 15.00 (77 -> 64.17),
//   14 -> 11.67 (91 -> 75.83), 11 -> 9.17 (102 -> 85.00), 7 -> 5.83 (109 -> 90.83,
//   116 -> 96.67), 4 -> 3.33 (120 -> 100.00).
// Every count, weight (1) and score is whole, so all three columns are "%10d".
TEST(ParetoGolden, DefectsPanesOneAndTwo) {
  ParetoSession s;
  load_defects(s.sheet);
  ASSERT_EQ(s.start({{"raw", "Defect"}}), 1);
  EXPECT_EQ(s.record.error_state, 0);
  for (int pane : {1, 2}) {
    const std::string golden =
        slurp(kSource + "/tests/golden/pareto_pane" + std::to_string(pane) + ".txt");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(built_text(s.record, pane), golden) << "pane " << pane;
    // Delivered without advice: the trailing line end is removed.
    EXPECT_EQ(s.pane(pane), golden.substr(0, golden.size() - 2)) << "pane " << pane;
  }
}

TEST(ParetoCharts, BarsAndCumulativeLine) {
  ParetoSession s;
  load_defects(s.sheet);
  ASSERT_EQ(s.start({{"raw", "Defect"}}), 1);
  s.pane(8);
  EXPECT_EQ(s.graph.created, 1);
  EXPECT_EQ(s.graph.bars, 8);
  EXPECT_EQ(s.graph.lines, 1);   // the cumulative line
  EXPECT_EQ(s.graph.points, 8);  // its markers at (i + 0.9) / k
  EXPECT_EQ(s.graph.title, text(Str::kParetoChartTitle));
  EXPECT_EQ(s.graph.y_title, text(Str::kAxisFrequency));
  EXPECT_EQ(s.graph.y_max, 120);
  ASSERT_EQ(s.graph.bar_labels.size(), 8u);
  EXPECT_EQ(s.graph.bar_labels.front(), "28.33");
  EXPECT_EQ(s.graph.bar_labels[5], "90.83");
  EXPECT_EQ(s.graph.bar_labels.back(), "100.00");
  s.pane(9);
  EXPECT_EQ(s.graph.bars, 8);
  EXPECT_EQ(s.graph.lines, 0);
}

TEST(ParetoCharts, GeometryOfBothCharts) {
  // Counts 6, 3, 1: k = 3; bars from (i + 0.1)/3 to (i + 0.9)/3.
  ParetoResults r;
  r.total_count = r.total_score = 10;
  const double score[] = {6, 3, 1}, cum[] = {6, 9, 10};
  for (int i = 0; i < 3; ++i)
    r.classes.push_back({pad_label("c" + std::to_string(i)), score[i], 1, score[i], cum[i], i});
  r.classes_before = r.classes_after = 3;
  GraphBuilder g;
  ZtGraphDescriptor d{};
  for (int pane : {8, 9}) {
    pareto_chart(&r, 0, pane, 1, g);
    g.finish(d);
    ASSERT_EQ(d.bar_count, 3);
    for (int i = 0; i < 3; ++i) {
      const ZtgBar& b = d.bars[i];
      EXPECT_NEAR(b.x0, (i + 0.1) / 3, 1e-12);
      EXPECT_NEAR(b.x1, (i + 0.9) / 3, 1e-12);
      EXPECT_EQ(b.y0, pane == 8 ? 0 : cum[i] - score[i]) << "pane 9 floats from the previous total";
      EXPECT_EQ(b.y1, pane == 8 ? score[i] : cum[i]);
    }
    EXPECT_STREQ(d.bars[0].label, "6.0");  // bar label 1: cumulative value, six digits
    EXPECT_STREQ(d.bars[2].label, "10.0");
    EXPECT_EQ(d.line_count, pane == 8 ? 1 : 0);
  }
  pareto_chart(&r, 0, 8, 2, g);  // bar label 2: none
  g.finish(d);
  for (int i = 0; i < d.bar_count; ++i) EXPECT_EQ(d.bars[i].label, nullptr);
  ASSERT_EQ(d.line_count, 1);
  ASSERT_EQ(d.lines[0].count, 3);
  EXPECT_NEAR(d.coords[d.lines[0].first + 1].x, 1.9 / 3, 1e-12);
  // The cumulative line on the percent axis: 9 of 10 is 90 %, the last 100 %.
  EXPECT_EQ(d.lines[0].coords, ZTG_COORDS_DATA2);
  EXPECT_DOUBLE_EQ(d.coords[d.lines[0].first + 1].y, 90);
  EXPECT_DOUBLE_EQ(d.coords[d.lines[0].first + 2].y, 100);
  EXPECT_DOUBLE_EQ(d.layout.panels[0].y2.min, 0);
  EXPECT_DOUBLE_EQ(d.layout.panels[0].y2.max, 100);
  // Each bar's count inside it, half-way up: 6 at y 3.
  ASSERT_GE(d.text_count, 3);
  EXPECT_STREQ(d.texts[0].text, "6");
  EXPECT_DOUBLE_EQ(d.texts[0].y, 3);
  // The subtitle names the variable; the 80 % line only when asked for.
  const int lines_without = d.line_count;
  pareto_chart(&r, 0, 8, 0, g, "Defect", true);
  g.finish(d);
  EXPECT_STREQ(d.layout.subtitle, "Defect");
  EXPECT_EQ(d.line_count, lines_without + 1);
  EXPECT_EQ(d.coords[d.lines[d.line_count - 1].first].y, 80);
}

TEST(ParetoTable, AMillionClassesStopWithDotsUnderTheSize) {
  ParetoSession s;  // for the string table
  ParetoInput in;
  in.main.type = 'N';
  for (int i = 0; i < 1000000; ++i) in.main.numbers.push_back(i);
  const ParetoResults r = compute_pareto(in, {});
  EXPECT_EQ(r.classes_before, 1000000);
  // All counts 1: the later class first, so the largest value leads.
  EXPECT_EQ(r.classes.front().label, pad_label("999999"));
  EXPECT_EQ(r.classes.back().label, pad_label("0"));
  const std::string t = pareto_table_text(r, 0);
  EXPECT_LT(t.size(), kTableLimit);
  EXPECT_GT(t.size(), kTableCut);
  const size_t dots = t.find("\r\n...\r\n");
  ASSERT_NE(dots, std::string::npos);
  EXPECT_GE(dots + 2, kTableCut) << "rows go on until the text passes the cut";
  EXPECT_NE(t.find(text(Str::kParetoTotal), dots), std::string::npos) << "the footer follows";
}

TEST(ParetoTable, FractionalColumnsUseSixDigitsAndPercentsFollowTheScore) {
  // Counts 10 and 30, weights 2 and 0.5: scores 20 and 15 of 35, so 57.14 and 42.86 percent;
  // the weight column is not whole (0.5) and is written with six digits.
  ParetoSession s;
  s.sheet.columns = {testing::numeric("N", {10, 30}), testing::numeric("W", {2, 0.5})};
  ASSERT_EQ(s.start({{"counts", "N"}, {"weights", "W"}}, 1), 1);
  EXPECT_EQ(s.record.option[2], 1) << "weights present";
  const std::string t = built_text(s.record, 2);
  EXPECT_NE(t.find(pad_label("Class 1") + "    1        10       2.0        20        20     57.14"
                                          "     57.14\r\n"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find(pad_label("Class 2") + "    2        30       0.5        15        35     42.86"
                                          "    100.00\r\n"),
            std::string::npos)
      << t;
  const std::string summary = built_text(s.record, 1);
  EXPECT_NE(summary.find(text(Str::kLabelWeights) + "W\r\n"), std::string::npos);
  EXPECT_NE(summary.find(text(Str::kParetoTotalScore) + " 35.0\r\n"), std::string::npos);
  s.pane(8);
  EXPECT_EQ(s.graph.y_title, "score");
  EXPECT_EQ(s.graph.y_max, 35);
}

}  // namespace
}  // namespace ztq
