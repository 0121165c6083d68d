// The Pareto sentences: the leading class, the vital few that first reach 80
// percent of the total, the verdict on how concentrated the total is, and the
// folded class. Percentages worked out by hand from the counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/module_state.h"
#include "interpret/pareto_interpret.h"

namespace ztq {
namespace {

// Classes in Pareto order with unit weights; FOLDED: the last is the folded class.
ParetoResults classes(const std::vector<std::pair<std::string, double>>& counts, int before = 0,
                      bool folded = false) {
  ParetoResults r;
  for (const auto& [label, n] : counts) {
    r.total_count += n;
    r.total_score += n;
    r.classes.push_back({label, n, 1, n, r.total_score, 0});
  }
  r.folded = folded;
  r.classes_after = static_cast<int32_t>(r.classes.size());
  r.classes_before = before > 0 ? before : r.classes_after;
  return r;
}

std::vector<int32_t> numbers(const Interpretation& i) {
  std::vector<int32_t> n;
  for (const Sentence& s : i.sentences) n.push_back(s.number);
  return n;
}

class ParetoSentences : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { module_startup(QUALTY_BIN); }
};

TEST_F(ParetoSentences, VitalFew) {
  struct Row {
    std::vector<std::pair<std::string, double>> counts;
    int vital;          // classes that first reach 80 percent
    int32_t verdict;    // 8063 when they are at most half the classes, else 8064
    const char* share;  // their cumulative percent
    const char* why;
  };
  const Row rows[] = {
      {{{"A", 50}, {"B", 30}, {"C", 10}, {"D", 5}, {"E", 5}},
       2,
       8063,
       "80.00",
       "50 + 30 = 80 of 100: exactly 80 percent counts"},
      {{{"A", 25}, {"B", 25}, {"C", 25}, {"D", 25}},
       4,
       8064,
       "100.00",
       "75 after three classes, so all four are needed"},
      {{{"A", 7}, {"B", 2}, {"C", 1}},
       2,
       8064,
       "90.00",
       "7 of 10 is 70, 9 of 10 is 90: two of three"},
  };
  for (const Row& r : rows) {
    const ParetoResults res = classes(r.counts);
    EXPECT_EQ(vital_few(res), r.vital) << r.why;
    const Interpretation i = pareto_sentences(res, "Defect", 2);
    EXPECT_EQ(numbers(i), (std::vector<int32_t>{8061, 8062, r.verdict})) << r.why;
    EXPECT_NE(i.text.find(std::string(r.share) + " percent"), std::string::npos) << i.text;
  }
}

TEST_F(ParetoSentences, LeaderWithItsShare) {
  const Interpretation i = pareto_sentences(classes({{"Scratch   ", 34}, {"Dent", 66}}), "x", 2);
  ASSERT_FALSE(i.sentences.empty());
  // 34 of 100, trailing blanks of the label removed
  EXPECT_NE(i.sentences[0].text.find("Scratch, holds 34.00 percent"), std::string::npos)
      << i.sentences[0].text;
}

TEST_F(ParetoSentences, FoldedClass) {
  // 8 classes, the 4 smallest folded into "Other": 34, 25, 18, 14, other 29 of 120
  ParetoResults r = classes(
      {{"Scratch", 34}, {"Dent", 25}, {"Misalignment", 18}, {"Burr", 14}, {"Other", 29}}, 8, true);
  const Interpretation i = pareto_sentences(r, "Defect", 2);
  // ranked classes reach 75.83 percent only, so no vital few is named
  EXPECT_EQ(numbers(i), (std::vector<int32_t>{8061, 8065}));
  EXPECT_NE(i.text.find("4 smallest classes are folded into Other, which holds 24.17 percent"),
            std::string::npos)
      << i.text;
  EXPECT_EQ(numbers(pareto_sentences(r, "Defect", 9)), (std::vector<int32_t>{44100}));
  EXPECT_EQ(numbers(pareto_sentences(r, "Defect", 8)), (std::vector<int32_t>{8066}));
}

TEST_F(ParetoSentences, SummaryAndWeights) {
  ParetoResults r = classes({{"A", 3}, {"B", 1}});
  EXPECT_EQ(numbers(pareto_sentences(r, "Defect", 1)), (std::vector<int32_t>{8052, 8054}));
  r.weighted = true;
  EXPECT_EQ(numbers(pareto_sentences(r, "Defect", 1)), (std::vector<int32_t>{8053, 8054, 8055}));
  EXPECT_EQ(numbers(pareto_sentences(r, "Defect", 8)), (std::vector<int32_t>{8067}));
}

TEST_F(ParetoSentences, NothingToSay) {
  const ParetoResults empty;
  EXPECT_TRUE(pareto_sentences(empty, "x", 2).sentences.empty());
  EXPECT_TRUE(pareto_sentences(classes({{"A", 0}}), "x", 2).sentences.empty()) << "total 0";
  for (int pane : {3, 4, 10, 14}) EXPECT_TRUE(pareto_sentences(empty, "x", pane).text.empty());
}

}  // namespace
}  // namespace ztq
