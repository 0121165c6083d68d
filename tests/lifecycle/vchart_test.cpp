// The control-chart family driven through its exports against the stand-in
// host's data sheet: exclusion and re-inclusion, Opts in an error state, the
// JSON results, the saved series and the options remembered in the profile.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "bridge/analysis.h"
#include "bridge/lifecycle.h"
#include "bridge/module_state.h"
#include "charts/vchart_family.h"
#include "sheet_session.h"
#include "ztqualty_procedures.h"

namespace ztq {
namespace {

class VchartFamily : public testing::SheetSession {
 protected:
  void SetUp() override {
    SheetSession::SetUp();
    // 20 individuals: 10, 12, 11, 13, ... (a small saw-tooth).
    std::vector<double> x;
    for (int i = 0; i < 20; ++i) x.push_back(10.0 + (i % 4) + (i % 2) * 0.5);
    use_sheet(qualty::DataSheet::from_columns({numeric("X", x)}));
  }
  int32_t start(int code, std::map<std::string, std::string> with) {
    answers = std::move(with);
    ctx.row_count = static_cast<int32_t>(sheet.row_count());
    if (VchartDialog(0, &ctx, 0, code, 0, 0) == 0) return -1;
    VchartSetup(0, &record, nullptr, setup_text, 0, code);
    return VchartBegin(0, code, 1);
  }
  std::string json() {
    std::string out(1 << 20, '\0');
    const int32_t n = QualResultsJson(&record, out.data(), static_cast<int32_t>(out.size()));
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
  }
  std::string pane(int p) {
    PaneWindow w{};
    w.host = &pane_out;
    w.set_text = [](PaneWindow* pw, const char* t) { *static_cast<std::string*>(pw->host) = t; };
    pane_out.clear();
    VchartItem(&w, 0, p, nullptr, record.variant);
    return pane_out;
  }

  std::string pane_out;
};

TEST_F(VchartFamily, ExcludeAndIncludeAgainRestoresEveryNumber) {
  ASSERT_EQ(start(3, {{"data", "X"}}), 1);
  ASSERT_EQ(record.point_count, 20);
  const std::string before = json(), panes_before = pane(1) + pane(2);
  ASSERT_NE(before.find("\"points\":20"), std::string::npos) << before;
  EXPECT_EQ(VchartExclude(0, 5), 1);
  EXPECT_EQ(record.excluded[4], 1);
  EXPECT_NE(json(), before) << "excluding point 5 changes the estimates";
  for (int32_t d : record.dirty) EXPECT_EQ(d, 1);
  EXPECT_EQ(VchartExclude(0, 5), 1);
  EXPECT_EQ(json(), before);
  EXPECT_EQ(pane(1) + pane(2), panes_before);
}

// The statistic of an individuals chart reads the loaded column in place: a
// Begin that loads again, or fails to, must never leave the results reading
// the freed column (the sanitizer build checks the reads).
TEST_F(VchartFamily, BeginAgainReadsItsNewColumnAndAFailedOneShowsNoOldValue) {
  ASSERT_EQ(start(3, {{"data", "X"}}), 1);
  ASSERT_NE(pane(2).find("13.5"), std::string::npos) << pane_out;  // 10 + 3 + 0.5, point 4
  // The same column again: a fresh block, read as before.
  const std::string listing = pane(2);
  ASSERT_EQ(VchartBegin(0, 3, 1), 1);
  EXPECT_EQ(pane(2), listing);
  // A column that does not load: the earlier results go with their block.
  std::snprintf(record.variables[0].expression, ZTQ_EXPRESSION_SIZE, "Nowhere");
  EXPECT_EQ(VchartBegin(0, 3, 1), 0);
  EXPECT_EQ(pane(2).find("13.5"), std::string::npos) << pane_out;
  EXPECT_EQ(json().find("13.5"), std::string::npos);
}

TEST_F(VchartFamily, ExcludingTheFirstPointMovesEveryLaterEwmaValue) {
  ASSERT_EQ(start(9, {{"data", "X"}}), 1);
  ASSERT_EQ(record.error_state, 0);
  const auto stat1 = [&] {
    const Series& s = static_cast<const VchartState*>(record.results)->results.series.stat1;
    return std::vector<double>(s.begin(), s.end());
  };
  const std::vector<double> before = stat1();
  VchartExclude(0, 1);
  const std::vector<double> after = stat1();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 1; i < after.size(); ++i) EXPECT_NE(after[i], before[i]) << "point " << i + 1;
}

TEST_F(VchartFamily, VsaveWritesTheSeriesOfTheCode) {
  ASSERT_EQ(start(3, {{"data", "X"}}), 1);
  VchartExclude(0, 2);
  VchartVsave(0, 1);
  // Code 3: statistic, moving ranges, labels, centre, sigma, inclusion
  // indicator, each after the data variable's name; the extras only when asked.
  for (const char* name :
       {"X_Individual", "X_MovingRange", "X_PointLabel", "X_Centre", "X_Sigma", "X_Included"})
    EXPECT_GE(state->sheet().find(name), 0) << name;
  for (const char* name : {"X_UCL1", "X_LCL2", "X_RuleFlags"})
    EXPECT_LT(state->sheet().find(name), 0) << name;
  const qualty::Column& centre =
      state->sheet().column(static_cast<size_t>(state->sheet().find("X_Centre")));
  ASSERT_EQ(centre.numbers.size(), 20u);
  EXPECT_NE(centre.numbers[0], kMissing);
  for (size_t i = 1; i < 20; ++i) EXPECT_EQ(centre.numbers[i], kMissing) << "first row only";
  const qualty::Column& inc =
      state->sheet().column(static_cast<size_t>(state->sheet().find("X_Included")));
  EXPECT_EQ(inc.numbers[0], 1.0);
  EXPECT_EQ(inc.numbers[1], 0.0) << "point 2 is excluded";
  const qualty::Column& labels =
      state->sheet().column(static_cast<size_t>(state->sheet().find("X_PointLabel")));
  EXPECT_EQ(labels.type, 'C');
  EXPECT_EQ(labels.width, 20);
  EXPECT_EQ(labels.texts[4], "5");
}

TEST_F(VchartFamily, OptsOfAGraphPaneInErrorStateRefuses) {
  // Subgroups of one row each stop an X-bar chart with 1171.
  ASSERT_EQ(start(0, {{"data", "X"}, {"size", "1"}}), 1);
  EXPECT_EQ(record.error_state, 1171);
  const int before = forms;
  EXPECT_EQ(VchartOpts(nullptr, 0, 8, nullptr, 0), 0);
  EXPECT_EQ(forms, before) << "no form is opened";
  EXPECT_NE(pane(1).find(QualString(1171)), std::string::npos);
  EXPECT_EQ(pane(2), QualString(1101));
  const std::string j = json();
  EXPECT_NE(j.find("\"error\":1171"), std::string::npos) << j;
}

TEST_F(VchartFamily, OptsOfAPaneWithoutOptionsShows1100) {
  ASSERT_EQ(start(3, {{"data", "X"}}), 1);
  for (int32_t pane : {3, 4}) {  // T3 and T4 of code 3 have no options (C1 and C2: zones)
    ui.clear_messages();
    const int before = forms;
    EXPECT_EQ(VchartOpts(nullptr, 0, pane, nullptr, 3), 1) << pane;
    EXPECT_EQ(forms, before) << pane;
    ASSERT_EQ(ui.messages().size(), 1u) << pane;
    EXPECT_EQ(ui.messages()[0].text, QualString(1100)) << pane;
  }
}

// The histogram's bars count the observations of the included points only:
// 20 observations in 5 subgroups of 4; excluding subgroup 2 leaves 16.
TEST_F(VchartFamily, HistogramLeavesOutExcludedSubgroups) {
  ASSERT_EQ(start(0, {{"data", "X"}, {"subgroup", "4"}}), 1);
  Analysis a(record, vchart());
  auto counted = [&] {
    GraphBuilder g;
    EXPECT_TRUE(vchart().graph_pane(a, 10, g));
    ZtGraphDescriptor d{};
    g.finish(d);
    double n = 0;
    for (int32_t i = 0; i < d.bar_count; ++i) n += d.bars[i].y1 - d.bars[i].y0;
    return n;
  };
  EXPECT_EQ(counted(), 20.0);
  VchartExclude(0, 2);
  EXPECT_EQ(counted(), 16.0);
  VchartExclude(0, 2);
  EXPECT_EQ(counted(), 20.0);
}

TEST_F(VchartFamily, PaneOptionsReachTheirGraphs) {
  // X-bar chart of fixed subgroups of 4: pane 10 is the histogram, 11 and 12
  // the curves.
  ASSERT_EQ(start(0, {{"data", "X"}, {"subgroup", "4"}}), 1);
  ASSERT_EQ(record.error_state, 0);
  answers = {{"classes", "7"}};
  EXPECT_EQ(VchartOpts(nullptr, 0, 10, nullptr, 0), 1);
  EXPECT_EQ(record.pane_option[9][0], 7);
  Analysis a(record, vchart());
  GraphBuilder g;
  ASSERT_TRUE(vchart().graph_pane(a, 10, g));
  ZtGraphDescriptor d{};
  g.finish(d);
  EXPECT_EQ(d.bar_count, 7);
  answers = {{"arl_range", "4"}, {"arl_points", "41"}};
  EXPECT_EQ(VchartOpts(nullptr, 0, 12, nullptr, 0), 1);
  ASSERT_TRUE(vchart().graph_pane(a, 12, g));
  g.finish(d);
  ASSERT_GE(d.line_count, 1);
  EXPECT_EQ(d.lines[0].count, 41);
  // The histogram of subgroup statistics entered by the user is message 1187 alone.
  record.option[0] = 1;
  ASSERT_TRUE(vchart().graph_pane(a, 10, g));
  g.finish(d);
  EXPECT_EQ(d.bar_count + d.line_count, 0);
}

TEST_F(VchartFamily, AttributeListingOptionOffersExcludedPoints) {
  ASSERT_EQ(start(7, {{"data", "Row"}}), 1);  // counts 1 to 20
  ASSERT_EQ(record.error_state, 0);
  std::string label;
  double most = 0;
  ui.answer_form = [&](ZtForm& f) -> int32_t {
    label = f.fields[0].label;
    most = f.fields[0].maximum;
    std::snprintf(f.fields[0].value, sizeof f.fields[0].value, "2");
    return 1;
  };
  EXPECT_EQ(AchartOpts(nullptr, 0, 2, nullptr, 7), 1);
  EXPECT_EQ(label, QualString(5535));
  EXPECT_EQ(most, 2);
  EXPECT_EQ(record.option[9], 2);
}

TEST_F(VchartFamily, JsonHasEveryKeyWithNullsForMissing) {
  ASSERT_EQ(start(3, {{"data", "X"}}), 1);
  const std::string j = json();
  for (const char* key :
       {"\"chart\":3", "\"points\":20", "\"centre\":", "\"sigma\":", "\"nbar\":", "\"dispersion\":",
        "\"limits\":{", "\"limits_unclipped\":{", "\"phases\":[{\"first\":1,\"last\":20",
        "\"series\":{", "\"flags\":[", "\"excluded\":[0,", "\"cl1\":[",
        "\"capability\":{\"cp\":null", "\"stat2\":[null,"})
    EXPECT_NE(j.find(key), std::string::npos) << key << "\n" << j;
  EXPECT_EQ(j.find("nan"), std::string::npos);
}

TEST_F(VchartFamily, OptionsFormStoresAndRefuses) {
  ASSERT_EQ(start(3, {{"data", "X"}}), 1);
  answers = {{"doption0", "2.5"}};
  EXPECT_EQ(VchartOpts(nullptr, 0, 1, nullptr, 3), 1);
  EXPECT_EQ(record.doption[0], 2.5);
  answers = {{"doption0", "0"}};  // a multiple of 0 is refused twice, then cancelled
  EXPECT_EQ(VchartOpts(nullptr, 0, 1, nullptr, 3), 0);
  EXPECT_EQ(record.doption[0], 2.5);
}

// Options remembered in the profile are checked as an options form checks
// them: --set option16=-5 was refused, the same value in the profile was
// applied silently ("A: -5 points in a row").
TEST_F(VchartFamily, RememberedOptionsOutOfRangeFallBackToTheirDefaultsWithAWarning) {
  ASSERT_TRUE(profile.load_text("[VCHART]\noption16=-5\noption17=9\noption34=0\n"));
  ASSERT_EQ(start(3, {{"data", "X"}}), 1);
  EXPECT_EQ(record.option[16], 8) << "runs rule A: 8 in a row by default, -5 is below 1";
  EXPECT_EQ(record.option[17], 9) << "a value in range is used";
  EXPECT_NE(record.option[34], 0) << "a span of 0 is below its minimum of 1";
  std::string shown;
  for (const auto& m : ui.messages()) shown += m.text + "\n";
  EXPECT_NE(shown.find("option16 = -5"), std::string::npos) << shown;
  EXPECT_NE(shown.find("option34 = 0"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("option17"), std::string::npos) << "in range: used silently\n" << shown;
}

TEST_F(VchartFamily, SetupTakesTheProfileAndAcceptedOptionsGoBack) {
  profile.set("VCHART", "option34", "5");  // a profile option
  profile.set("VCHART", "option1", "1");   // not one the profile overwrites
  profile.set("VCHART", "doption21", "0.3");
  ASSERT_EQ(start(3, {{"data", "X"}}), 1);
  EXPECT_EQ(record.option[34], 5);
  EXPECT_EQ(record.option[1], 0);
  EXPECT_EQ(record.doption[21], 0.3);
  EXPECT_EQ(record.option[24], 1) << "Cp shown by default";
  answers = {{"option16", "7"}};
  ASSERT_EQ(VchartOpts(nullptr, 0, 1, nullptr, 3), 1);
  EXPECT_EQ(profile.get_int("VCHART", "option16", 0), 7);
}

}  // namespace
}  // namespace ztq
