// The Pareto family through its exports: input modes, default labels,
// weights, selection, options, error states and the results as JSON.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/strings.h"
#include "pareto/pareto_compute.h"
#include "pareto_session.h"

namespace ztq {
namespace {

using testing::character;
using testing::numeric;
using testing::ParetoSession;

constexpr double kM = ZTQ_MISSING;

// The labels of the frequency table's rows, in order, trimmed.
std::vector<std::string> table_labels(ParetoSession& s) {
  const std::string t = s.pane(2) + "\r\n";
  std::vector<std::string> labels;
  const std::string rule = text(Str::kParetoRule) + "\r\n";
  size_t at = t.find(rule, t.find(rule) + 1);  // the rule under the headings
  if (at == std::string::npos) return labels;
  at += rule.size();
  while (at < t.size() && t.compare(at, rule.size(), rule) != 0) {
    const size_t end = t.find("\r\n", at);
    std::string label = t.substr(at, kLabelWidth);
    labels.push_back(label.substr(0, label.find_last_not_of(' ') + 1));
    at = end + 2;
  }
  return labels;
}

std::string results_json(ParetoSession& s) {
  char out[4096] = {};
  QualResultsJson(&s.record, out, sizeof out);
  return out;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ParetoFamily, CountsWithDefaultLabelsInParetoOrder) {
  // Counts 5, 12, 5, 3: 12 (row 2), 5 (row 3), 5 (row 1), 3 (row 4).
  ParetoSession s;
  s.sheet.columns = {numeric("N", {5, 12, 5, 3})};
  ASSERT_EQ(s.start({{"counts", "N"}}, 1), 1);
  EXPECT_EQ(s.record.input_mode, 1);
  EXPECT_EQ(s.record.procedure, 32875);
  EXPECT_EQ(s.ctx.procedure_code[0], 32875);
  EXPECT_EQ(table_labels(s),
            (std::vector<std::string>{"Class 2", "Class 3", "Class 1", "Class 4"}));
  const std::string json = results_json(s);
  EXPECT_TRUE(contains(json, "\"total_count\":25")) << json;
  EXPECT_TRUE(contains(json, "\"classes_before\":4,\"classes_after\":4")) << json;
  EXPECT_TRUE(contains(json,
                       "{\"label\":\"Class 2\",\"count\":12,\"weight\":1,\"score\":12,"
                       "\"cum_score\":12,\"percent\":48,\"cum_percent\":48}"))
      << json;  // 12 of 25 is 48 percent
}

TEST(ParetoFamily, LabelsVariableNamesTheClassesOfRawData) {
  // Raw numbers 7, 7, 9: classes 7 (2) and 9 (1); labels are read by class row.
  ParetoSession s;
  s.sheet.columns = {numeric("X", {7, 9, 7}), character("L", {"seven", "nine", "unused"})};
  ASSERT_EQ(s.start({{"raw", "X"}, {"labels", "L"}}), 1);
  EXPECT_EQ(s.record.option[3], 1) << "labels present";
  EXPECT_EQ(table_labels(s), (std::vector<std::string>{"seven", "nine"}));
}

TEST(ParetoFamily, SelectionDropsRows) {
  ParetoSession s;
  s.sheet.columns = {character("Kind", {"A", "A", "B", "B", "B"}),
                     numeric("Keep", {1, 1, 0, kM, 1})};
  ASSERT_EQ(s.start({{"raw", "Kind"}, {"select", "Keep"}}), 1);
  // B keeps only its last row: A 2, B 1.
  EXPECT_EQ(table_labels(s), (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(contains(s.pane(1), text(Str::kLabelSelection) + "Keep\r\n\r\n"));
}

TEST(ParetoFamily, RuleThreeThroughTheOptionsForm) {
  ParetoSession s;
  s.sheet.columns = {numeric("N", {9, 1, 7, 3, 5})};
  ASSERT_EQ(s.start({{"counts", "N"}}, 1), 1);
  s.answers = {{"combine", "3"}, {"n_fold", "3"}};
  ASSERT_EQ(ParetoOpts(&s.window, 0, 2, nullptr), 1) << "pane 2 opens the analysis options";
  EXPECT_EQ(s.record.option[0], 3);
  for (int32_t d : s.record.dirty) EXPECT_EQ(d, 1);
  // 9 and 7 kept; 5 + 3 + 1 = 9 folded and shown last.
  EXPECT_EQ(table_labels(s), (std::vector<std::string>{"Class 1", "Class 3", "Other classes"}));
  const std::string json = results_json(s);
  EXPECT_TRUE(contains(json, "\"classes_before\":5,\"classes_after\":3")) << json;
  EXPECT_TRUE(contains(s.pane(1), text_with(Str::kParetoClassCount, 5)));
}

TEST(ParetoFamily, RuleOneFoldsAllScoresOfOne) {
  ParetoSession s;
  s.sheet.columns = {character("Kind", {"a", "b", "c"})};
  ASSERT_EQ(s.start({{"raw", "Kind"}}), 1);
  s.answers = {{"combine", "1"}};
  ASSERT_EQ(ParetoOpts(&s.window, 0, 1, nullptr), 1);
  EXPECT_EQ(s.record.doption[0], 2.0) << "default score threshold";
  EXPECT_EQ(table_labels(s), (std::vector<std::string>{"Other classes"}));
}

TEST(ParetoFamily, BarLabelOptionIsSharedByBothCharts) {
  ParetoSession s;
  s.sheet.columns = {numeric("N", {3, 1})};
  ASSERT_EQ(s.start({{"counts", "N"}}, 1), 1);
  ZtGraphDescriptor d{};
  s.answers = {{"bar_label", "1"}};
  ASSERT_EQ(ParetoOpts(&s.window, 0, 8, &d), 1);
  EXPECT_EQ(s.graph.bar_labels, (std::vector<std::string>{"3.0", "4.0"}));  // cumulative values
  s.pane(9);
  EXPECT_EQ(s.graph.bar_labels, (std::vector<std::string>{"3.0", "4.0"}));
  s.answers = {{"bar_label", "2"}};
  ASSERT_EQ(ParetoOpts(&s.window, 0, 9, &d), 1);
  EXPECT_EQ(s.graph.bar_labels, (std::vector<std::string>{"", ""}));
  s.answers = {{"bar_label", "3"}};  // outside 0..2: refused twice, cancelled
  EXPECT_EQ(ParetoOpts(&s.window, 0, 8, &d), 0);
  EXPECT_EQ(s.record.option[4], 2);
}

TEST(ParetoFamily, TwentyOneClassesAreTabledButNotCharted) {
  std::vector<double> counts;
  for (int i = 1; i <= 21; ++i) counts.push_back(i);
  ParetoSession s;
  s.sheet.columns = {numeric("N", counts)};
  ASSERT_EQ(s.start({{"counts", "N"}}, 1), 1);
  EXPECT_EQ(table_labels(s).size(), 21u);
  for (int pane : {8, 9}) {
    s.pane(pane);
    EXPECT_EQ(s.graph.bars, 0) << pane;
    EXPECT_EQ(s.graph.texts, std::vector<std::string>{text(Str::kTooManyClasses)}) << pane;
  }
}

TEST(ParetoFamily, NoValidValueIsErrorStateThree) {
  const struct {
    testing::SheetColumn column;
    int mode;
    const char* role;
    const char* why;
  } rows[] = {
      {character("V", {"", "  ", ""}), 0, "raw", "all blank"},
      {numeric("V", {kM, kM}), 0, "raw", "all missing"},
      {numeric("V", {kM, kM}), 1, "counts", "all counts missing"},
      {numeric("V", {}), 0, "raw", "empty sheet"},
  };
  for (const auto& row : rows) {
    ParetoSession s;
    s.sheet.columns = {row.column};
    ASSERT_EQ(s.start({{row.role, "V"}}, row.mode), 1) << row.why;
    EXPECT_EQ(s.record.error_state, 3) << row.why;
    const std::string p1 = s.pane(1);
    EXPECT_EQ(p1.substr(p1.size() - text(Str::kErrNoValidData).size()), text(Str::kErrNoValidData))
        << row.why;
    EXPECT_FALSE(contains(p1, text(Str::kParetoTotalCount))) << row.why;
    EXPECT_EQ(s.pane(2), text(Str::kNoResults)) << row.why;
    for (int pane : {8, 9}) {
      s.pane(pane);
      EXPECT_EQ(s.graph.texts, std::vector<std::string>{text(Str::kNoResults)}) << row.why;
    }
    EXPECT_FALSE(contains(results_json(s), "\"classes\"")) << "no results in error: " << row.why;
    EXPECT_EQ(ParetoOpts(&s.window, 0, 8, nullptr), 0) << "charts refuse options in error";
  }
}

TEST(ParetoFamily, WeightsOfTextAreRefused) {
  ParetoSession s;
  s.sheet.columns = {numeric("N", {1, 2}), character("W", {"x", "y"})};
  EXPECT_EQ(s.start({{"counts", "N"}, {"weights", "W"}}, 1), 0);
  EXPECT_EQ(s.record.error_state, 1025);
  ASSERT_FALSE(s.host.boxes.empty());
  EXPECT_TRUE(contains(s.host.boxes.back(), text_with(Str::kCharacterVariable, 4)));
  // Reopening checks the variables first and fails the same way.
  EXPECT_EQ(ParetoBeginAgain(0, &s.record, nullptr, &s.ctx, nullptr, nullptr), 0);
  EXPECT_EQ(s.record.error_state, 1025);
}

TEST(ParetoFamily, BeginAgainRecomputesFromTheSheet) {
  ParetoSession s;
  s.sheet.columns = {character("Kind", {"A", "B", "B"})};
  ASSERT_EQ(s.start({{"raw", "Kind"}}), 1);
  s.sheet.columns[0].texts = {"A", "A", "A", "B"};
  EXPECT_EQ(ParetoBeginAgain(0, &s.record, nullptr, &s.ctx, nullptr, nullptr), 1);
  EXPECT_EQ(s.record.row_count, 4);
  EXPECT_EQ(table_labels(s), (std::vector<std::string>{"A", "B"}));
}

TEST(ParetoFamily, DateClassesAreLabelledAsDates) {
  // Day 36525 is 1 January 2000, day 36526 the 2nd (default date order m/d/yy).
  ParetoSession s;
  s.sheet.columns = {numeric("Day", {36526, 36525, 36526}, 'D')};
  ASSERT_EQ(s.start({{"raw", "Day"}}), 1);
  EXPECT_EQ(table_labels(s), (std::vector<std::string>{"1/2/00", "1/1/00"}));
}

TEST(ParetoFamily, DescribeNamesTheRolesAndOptions) {
  ParetoSession s;
  std::vector<char> out(16384);
  ASSERT_GT(QualDescribe("pareto", out.data(), static_cast<int32_t>(out.size())), 0);
  const std::string d = out.data();
  for (const char* name :
       {"\"raw\"", "\"counts\"", "\"labels\"", "\"weights\"", "\"select\"", "\"combine\"",
        "\"score_threshold\"", "\"percent_threshold\"", "\"n_fold\""})
    EXPECT_TRUE(contains(d, name)) << name << " in " << d;
}

TEST(ParetoFamily, RawTextWithBlankRowAsJsonAndSummary) {
  // Dent 1, Scratch 2 and a blank row: Scratch first; totals 3, two classes.
  ParetoSession s;
  s.sheet.columns = {character("Defect", {"Dent", "Scratch", "", "Scratch"})};
  ASSERT_EQ(s.start({{"raw", "Defect"}}), 1);
  const std::string json = results_json(s);
  EXPECT_TRUE(contains(json,
                       "\"classes\":[{\"label\":\"Scratch\",\"count\":2,\"weight\":1,"
                       "\"score\":2,\"cum_score\":2,"))
      << json;
  EXPECT_TRUE(contains(json,
                       "\"total_count\":3,\"total_score\":3,\"classes_before\":2,"
                       "\"classes_after\":2"))
      << json;
  EXPECT_TRUE(contains(s.pane(1), text(Str::kParetoTotalCount) + " 3.0\r\n"));
  EXPECT_TRUE(contains(s.pane(1), text_with(Str::kParetoClassCount, 2)));
}

}  // namespace
}  // namespace ztq
