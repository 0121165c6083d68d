// The Pareto computation: tabulation, participation, ranking, folding, totals.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "format/numfmt.h"
#include "pareto/pareto_compute.h"

namespace ztq {
namespace {

constexpr double kM = -32768.0;

ParetoColumn numbers(std::vector<double> v, int32_t type = 'N') {
  ParetoColumn c;
  c.type = type;
  c.numbers = std::move(v);
  return c;
}
ParetoColumn texts(std::vector<std::string> v) {
  ParetoColumn c;
  c.type = 'C';
  c.texts = std::move(v);
  return c;
}

ParetoInput counts_input(std::vector<double> counts) {
  ParetoInput in;
  in.mode = 1;
  in.main = numbers(std::move(counts));
  for (size_t i = 0; i < in.main.numbers.size(); ++i)
    in.default_labels.push_back("row " + std::to_string(i + 1));
  return in;
}

std::vector<int32_t> sources(const ParetoResults& r) {
  std::vector<int32_t> s;
  for (const ParetoClass& c : r.classes) s.push_back(c.source);
  return s;
}

std::string trim(const std::string& s) { return s.substr(0, s.find_last_not_of(' ') + 1); }

TEST(ParetoOrder, TiesPutTheLaterClassFirst) {
  // Counts 5, 12, 5, 3: 12 (row 2), then the 5 of row 3 before the 5 of row 1, then 3.
  const ParetoResults r = compute_pareto(counts_input({5, 12, 5, 3}), {});
  EXPECT_EQ(sources(r), (std::vector<int32_t>{1, 2, 0, 3}));
  EXPECT_EQ(trim(r.classes[1].label), "row 3");
  EXPECT_EQ(r.total_count, 25);
  EXPECT_EQ(r.classes_before, 4);
  EXPECT_EQ(r.classes_after, 4);
  EXPECT_FALSE(r.folded);
  // Cumulative scores 12, 17, 22, 25.
  const double cum[] = {12, 17, 22, 25};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(r.classes[i].cum_score, cum[i]);
}

TEST(ParetoOrder, AllEqualScoresReverseTheRows) {
  EXPECT_EQ(pareto_order({1, 1, 1, 1}), (std::vector<size_t>{3, 2, 1, 0}));
  EXPECT_EQ(pareto_order({}), std::vector<size_t>{});
  EXPECT_EQ(pareto_order({-1, 0.5, -1}), (std::vector<size_t>{1, 2, 0}));
}

TEST(Tabulation, TextClassesInAscendingOrderWithoutBlanks) {
  // B, A, B, blank, C: classes A 1, B 2, C 1; Pareto order B, then C (later of the ties), then A.
  ParetoInput in;
  in.main = texts({"B   ", "A   ", "B   ", "    ", "C   "});
  const std::vector<TabulatedClass> t = tabulate_raw(in.main);
  ASSERT_EQ(t.size(), 3u);
  const struct {
    const char* label;
    double count;
  } want[] = {{"A", 1}, {"B", 2}, {"C", 1}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(trim(t[i].label), want[i].label);
    EXPECT_EQ(t[i].label.size(), 20u);
    EXPECT_EQ(t[i].count, want[i].count);
  }
  const ParetoResults r = compute_pareto(in, {});
  ASSERT_EQ(r.classes.size(), 3u);
  EXPECT_EQ(trim(r.classes[0].label), "B");
  EXPECT_EQ(trim(r.classes[1].label), "C");
  EXPECT_EQ(trim(r.classes[2].label), "A");
  EXPECT_EQ(r.total_count, 4);
}

TEST(Tabulation, NumericClassesSkipMissingAndLabelByValue) {
  ParetoInput in;
  in.main = numbers({3, kM, 1.5, 3, -2, 0, 1e-13, 12345678, std::nan(""), 1.5, 3});
  const std::vector<TabulatedClass> t = tabulate_raw(in.main);
  // Ascending: -2, 0, 1e-13, 1.5 (x2), 3 (x3), 12345678; NaN and missing skipped.
  const struct {
    const char* label;
    double count;
    const char* why;
  } want[] = {{"-2", 1, "whole number"},
              {"0", 1, "zero"},
              {"0", 1, "within 1e-12 of 0: a class of its own, labelled 0"},
              {"1.5", 2, "six significant digits"},
              {"3", 3, "whole number"},
              {"12345678", 1, "whole numbers keep all their digits"}};
  ASSERT_EQ(t.size(), std::size(want));
  for (size_t i = 0; i < t.size(); ++i) {
    EXPECT_EQ(trim(t[i].label), want[i].label) << want[i].why;
    EXPECT_EQ(t[i].count, want[i].count) << want[i].why;
  }
}

TEST(Tabulation, LabelsOfOtherValues) {
  const struct {
    double v;
    int32_t type;
    const char* want;
    const char* why;
  } rows[] = {
      {0.25, 'N', "0.25", "six significant digits"},
      {1234567.5, 'N', "1.23457E6", "not whole: six significant digits with exponent"},
      {36525, 'D', "1/1/00", "day 36525 is 1 January 2000 (default order m/d/y)"},
      {kM, 'N', "", "missing gives a blank label"},
  };
  for (const auto& r : rows) {
    const std::string got = numeric_label(r.v, r.type);
    EXPECT_EQ(got.size(), 20u) << r.why;
    EXPECT_EQ(trim(got), r.want) << r.why;
  }
  // Whole numbers beyond 1e15 are not printed digit by digit but as six significant digits.
  EXPECT_EQ(trim(numeric_label(1e20, 'N')), format_six(1e20, 20));
}

TEST(Weights, ScoreIsCountTimesWeight) {
  // Counts 10 and 30 with weights 2 and 0.5: scores 20 and 15, total 35.
  ParetoInput in = counts_input({10, 30});
  in.weights = numbers({2, 0.5});
  const ParetoResults r = compute_pareto(in, {});
  ASSERT_EQ(r.classes.size(), 2u);
  EXPECT_TRUE(r.weighted);
  EXPECT_EQ(r.classes[0].score, 20);
  EXPECT_EQ(r.classes[1].score, 15);
  EXPECT_EQ(r.total_score, 35);
  EXPECT_EQ(r.total_count, 40);
  EXPECT_NEAR(r.percent(r.classes[0].score), 100.0 * 20 / 35, 1e-12);  // 57.142857...
  EXPECT_NEAR(r.percent(r.classes[1].score), 100.0 * 15 / 35, 1e-12);  // 42.857142...
}

TEST(Weights, MissingWeightLeavesTheRowOutOfEveryTotal) {
  ParetoInput in = counts_input({10, 30, 5});
  in.weights = numbers({1, kM, 2});  // row 2 drops out: totals 10 + 5 and 10 + 10
  const ParetoResults r = compute_pareto(in, {});
  EXPECT_EQ(r.total_count, 15);
  EXPECT_EQ(r.total_score, 20);
  EXPECT_EQ(r.classes_before, 2);
  EXPECT_EQ(sources(r), (std::vector<int32_t>{2, 0}));  // scores 10 (row 3) and 10 (row 1)
}

// Weights in raw-data mode belong to the observation rows: each class scores
// the sum of its rows' weights (a cost per defect). Read by class instead,
// the weights of rows 1 and 2 went to the classes A and B and row 3's was lost.
TEST(Weights, RawDataSumsTheWeightOfEachObservationRow) {
  struct Row {
    std::vector<std::string> raw;
    std::vector<double> weights;
    std::vector<std::string> labels;  // Pareto order
    std::vector<double> scores;
    std::vector<double> weight;  // score / count
    const char* source;
  };
  const Row kRows[] = {
      {{"A", "B", "A"}, {3, 10, 99}, {"A", "B"}, {102, 10}, {51, 10}, "A: 3 + 99; B: 10"},
      {{"A", "B", "A", "C"},
       {12, 5, 12, 4},
       {"A", "B", "C"},
       {24, 5, 4},
       {12, 5, 4},
       "equal weights in a class: count x weight, 2 x 12"},
      {{"A", "B", "A"}, {2, kM, 2}, {"A"}, {4}, {2}, "a row without a weight takes no part"},
  };
  for (const Row& row : kRows) {
    ParetoInput in;
    in.main = texts(row.raw);
    in.weights = numbers(row.weights);
    const ParetoResults r = compute_pareto(in, {});
    ASSERT_EQ(r.classes.size(), row.labels.size()) << row.source;
    for (size_t i = 0; i < r.classes.size(); ++i) {
      EXPECT_EQ(trim(r.classes[i].label), row.labels[i]) << row.source;
      EXPECT_EQ(r.classes[i].score, row.scores[i]) << row.source;
      EXPECT_EQ(r.classes[i].weight, row.weight[i]) << row.source;
    }
  }
}

struct FoldRow {
  std::vector<double> counts;
  int32_t combine;
  double score_min, percent_min;
  int32_t n;
  std::vector<double> want_scores;  // in Pareto order, the folded class last
  bool folded;
  const char* why;
};

TEST(Folding, TheThreeRules) {
  const FoldRow rows[] = {
      {{9, 7, 5, 3, 1},
       3,
       2,
       5,
       3,
       {9, 7, 9},
       true,
       "rule 3, N 3 on 5 classes: keep 2, fold 5+3+1"},
      {{2, 1, 40, 1, 3},
       3,
       2,
       5,
       3,
       {40, 3, 4},
       true,
       "folded sum 2+1+1 = 4 exceeds the kept 3 and still comes last"},
      {{1, 1, 1, 1, 1}, 3, 2, 5, 3, {1, 1, 3}, true, "rule 3 with ties"},
      {{5, 1, 1, 1}, 3, 2, 5, 3, {5, 3}, true, "folded sum 3 is shown last"},
      {{4, 3}, 3, 2, 5, 3, {7}, true, "rule 3 with k <= N folds everything"},
      {{4, 3}, 3, 2, 5, 0, {4, 3}, false, "rule 3 with N 0 folds nothing"},
      {{1, 1, 1}, 1, 2, 5, 3, {3}, true, "rule 1, threshold 2, all scores 1: one class"},
      {{5, 2, 1.5, 1}, 1, 2, 5, 3, {5, 2, 2.5}, true, "rule 1 keeps scores reaching 2"},
      {{5, 2}, 1, 2, 5, 3, {5, 2}, false, "rule 1, nothing below the threshold"},
      // rule 2: total 100; shares 60, 30, 6, 4 percent; threshold 5 keeps 3 classes
      {{60, 30, 6, 4}, 2, 2, 5, 3, {60, 30, 6, 4}, true, "rule 2 folds the 4 percent class"},
      {{60, 30, 6, 4}, 2, 2, 70, 3, {100}, true, "rule 2, no class reaches 70 percent"},
      {{60, 30, 6, 4}, 0, 2, 5, 0, {60, 30, 6, 4}, false, "rule 0 never folds"},
  };
  for (const FoldRow& row : rows) {
    ParetoOptions o;
    o.combine = row.combine;
    o.score_threshold = row.score_min;
    o.percent_threshold = row.percent_min;
    o.n_fold = row.n;
    o.folded_label = "Others";
    const ParetoResults r = compute_pareto(counts_input(row.counts), o);
    ASSERT_EQ(r.classes.size(), row.want_scores.size()) << row.why;
    for (size_t i = 0; i < r.classes.size(); ++i)
      EXPECT_EQ(r.classes[i].score, row.want_scores[i]) << row.why << " at " << i;
    EXPECT_EQ(r.folded, row.folded) << row.why;
    EXPECT_EQ(r.classes_before, static_cast<int32_t>(row.counts.size())) << row.why;
    EXPECT_EQ(r.classes_after, static_cast<int32_t>(row.want_scores.size())) << row.why;
    if (row.folded) {
      EXPECT_EQ(trim(r.classes.back().label), "Others") << row.why;
      EXPECT_EQ(r.classes.back().source, -1) << row.why;
    }
    EXPECT_EQ(r.classes.back().cum_score, r.total_score) << row.why;
  }
}

TEST(Folding, RuleTwoWithZeroTotalFoldsEverything) {
  ParetoOptions o;
  o.combine = 2;
  const ParetoResults r = compute_pareto(counts_input({3, -3}), o);
  ASSERT_EQ(r.classes.size(), 1u);
  EXPECT_EQ(r.total_score, 0);
  EXPECT_EQ(r.percent(r.classes[0].score), 0);
}

TEST(BadInput, NoValidValueIsErrorThree) {
  const struct {
    ParetoInput in;
    const char* why;
  } rows[] = {
      {counts_input({}), "empty"},
      {counts_input({kM, kM}), "all missing"},
      {[] {
         ParetoInput in;
         in.main = texts({"   ", "", "  "});
         return in;
       }(),
       "all blank text"},
      {[] {
         ParetoInput in = counts_input({4, 5});
         in.weights = numbers({kM, kM});
         return in;
       }(),
       "counts valid but every weight missing: nothing takes part"},
      {[] {
         ParetoInput in;
         in.main = numbers({std::nan(""), std::numeric_limits<double>::infinity()});
         return in;
       }(),
       "NaN and infinity are no observations"},
  };
  for (const auto& row : rows) {
    const ParetoResults r = compute_pareto(row.in, {});
    EXPECT_EQ(r.error, 3) << row.why;
    EXPECT_TRUE(r.classes.empty()) << row.why;
  }
}

TEST(BadInput, NegativeAndFractionalCountsTakePart) {
  // 2.5 + (-1) + 4 = 5.5; order 4, 2.5, -1.
  const ParetoResults r = compute_pareto(counts_input({2.5, -1, 4}), {});
  EXPECT_EQ(r.error, 0);
  EXPECT_EQ(r.total_count, 5.5);
  EXPECT_EQ(sources(r), (std::vector<int32_t>{2, 0, 1}));
  EXPECT_NEAR(r.percent(r.classes[2].cum_score), 100.0, 1e-12);
}

TEST(BadInput, OverflowingScoresDropOut) {
  ParetoInput in = counts_input({1e300, 2});
  in.weights = numbers({1e300, 3});  // 1e600 is no number
  const ParetoResults r = compute_pareto(in, {});
  EXPECT_EQ(r.total_score, 6);
  EXPECT_EQ(r.classes_before, 1);
}

TEST(BadInput, LongTextLabelsAreCutToTwenty) {
  const std::string a(500, 'x');
  const std::string b = std::string(499, 'x') + "y";  // differs only after character 20
  ParetoInput in;
  in.main = texts({a, b, a});
  const ParetoResults r = compute_pareto(in, {});
  ASSERT_EQ(r.classes.size(), 2u);  // two classes, both labelled by their first 20 characters
  for (const ParetoClass& c : r.classes) EXPECT_EQ(c.label, std::string(20, 'x'));
  EXPECT_EQ(r.classes[0].count, 2);
}

}  // namespace
}  // namespace ztq
