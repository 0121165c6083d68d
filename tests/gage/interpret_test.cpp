// The gage interpretation: which sentences each pane gets, in order, and the
// verdict bands at their exact boundaries.
#include <gtest/gtest.h>

#include <vector>

#include "gage/gage_family.h"
#include "gage/gage_interpret.h"
#include "gage/gage_rr_family.h"
#include "gage/gage_setup_family.h"
#include "gage/gage_strings.h"
#include "gage_data.h"

namespace ztq {
namespace {

// A record of the AIAG study as Begin leaves it: options, results, variables.
struct StudyRecord {
  AnalysisRecord record{};
  GageState state;
  StudyRecord(int variant, bool interaction, double tolerance = -32768.0) {
    gagelong().set_defaults(record);
    record.variant = variant;
    record.title_number = gagelong().title_number_of(variant);
    record.variable_count = 4;  // appraiser, part, trial, measurement
    record.option[4] = interaction ? 1 : 0;
    record.doption[1] = tolerance;
    state.results = compute_gage(test::study_input(), gage_options_of(record));
    record.results = &state;
  }
};

std::vector<int32_t> numbers(const Interpretation& in) {
  std::vector<int32_t> out;
  for (const Sentence& s : in.sentences) out.push_back(s.number);
  return out;
}

TEST(GageInterpret, VerdictBoundaries) {
  struct Row {
    double x;
    int32_t want;
  } tolerance[] = {{0, 8185}, {10, 8185}, {10.0001, 8186}, {25, 8186}, {25.0001, 8187}},
    interaction[] = {{0.5, 8195},    {0.1, 8195},  {0.0999, 8196}, {0.05, 8196},
                     {0.0499, 8197}, {0.01, 8197}, {0.0099, 8198}};
  for (const Row& r : tolerance) EXPECT_EQ(gage_tolerance_verdict(r.x), r.want) << r.x;
  for (const Row& r : interaction) EXPECT_EQ(gage_interaction_verdict(r.x), r.want) << r.x;
}

TEST(GageInterpret, PaneSentencesInOrder) {
  StudyRecord ar(2, false, 5.0);  // GRR 1.572 of 5: 31.4 %, above 25
  EXPECT_EQ(numbers(interpret_gagelong(&ar.record, 1)),
            (std::vector<int32_t>{8161, 8162, 8163, 8164, 8165}));
  EXPECT_EQ(numbers(interpret_gagelong(&ar.record, 2)),
            (std::vector<int32_t>{8171, 8172, 8173, 8174, 8175, 8176, 8177, 8178, 8179, 8180, 8190,
                                  8181, 8182, 8183, 8184, 8187}));
  // One cell range (1.02) above the limit 0.8793.
  EXPECT_EQ(numbers(interpret_gagelong(&ar.record, 9)),
            (std::vector<int32_t>{gs::kRangeOpening, 6007, 6009}));
  // No reading of A, B or C lies beyond its fences (the box plot pane shows none).
  EXPECT_EQ(numbers(interpret_gagelong(&ar.record, 11)),
            (std::vector<int32_t>{6012, 7312, 7313, 7314, 7315, 7316, 7317, 7318}));
  ar.record.option[24] = 0;
  EXPECT_EQ(numbers(interpret_gagelong(&ar.record, 11)).back(), 7328);

  // Variant 3: pane 2 is the ANOVA table; the interaction's P is about 0.97.
  StudyRecord anova(3, true);
  EXPECT_EQ(numbers(interpret_gagelong(&anova.record, 2)),
            (std::vector<int32_t>{8191, 8192, 8194, 8195, 8199}));
  EXPECT_EQ(numbers(interpret_gagelong(&anova.record, 3)).front(), 8171);
  EXPECT_EQ(numbers(interpret_gagelong(&anova.record, 9)).front(), 6012);  // its box plots
  const Interpretation via = interpret(&anova.record, 2346, 2);
  EXPECT_EQ(via.sentences.size(), 5u);  // registered under the ANOVA title
}

TEST(GageInterpret, ReportSentences) {
  StudyRecord rep(4, false, 5.0);
  const std::vector<int32_t> got = numbers(interpret_gagelong(&rep.record, 1));
  const std::vector<int32_t> want = {8161, 8162, 8163, 8164, 8178, 8179, 8180, 8181, 8182,
                                     8183, 8184, 8187, 4034, 4035, 4036, 6006, 6009};
  EXPECT_EQ(got, want);
  // Two decimals in the report: 100 x 1.57234 / 5 = 31.45.
  EXPECT_NE(interpret_gagelong(&rep.record, 1).text.find("31.45"), std::string::npos);
}

TEST(GageInterpret, NothingForAnAnalysisInError) {
  StudyRecord bad(2, false);
  bad.record.error_state = 9004;
  EXPECT_TRUE(interpret_gagelong(&bad.record, 1).sentences.empty());
  EXPECT_TRUE(interpret_gagelong(nullptr, 1).sentences.empty());
}

// The range method: 8166 with n and sigma; the tolerance verdict from
// 100 k sigma / tolerance = 100 x 5.15 x 0.058864 / 1 = 30.3 %: 8187.
TEST(GageInterpret, RangeMethodAndSetup) {
  AnalysisRecord rec{};
  gagerr().set_defaults(rec);
  rec.variant = 2;
  rec.variable_count = 2;
  rec.title_number = gagerr().title_number_of(2);  // 2266, the long form's title too
  rec.doption[1] = 1.0;
  RangeMethodState state;
  state.first = {0.85, 0.75, 1.00, 0.45, 0.50};
  state.second = {0.80, 0.70, 0.95, 0.55, 0.60};
  state.results = compute_range_method(state.first, state.second, 5.15);
  rec.results = &state;
  const Interpretation summary = interpret(&rec, rec.title_number, 1);
  EXPECT_EQ(numbers(summary), (std::vector<int32_t>{8166, 8181, 8182, 8183, 8184, 8187}));
  EXPECT_NE(summary.text.find(" 5 pairs"), std::string::npos);
  EXPECT_EQ(numbers(interpret(&rec, 2266, 9)), (std::vector<int32_t>{6011, 6007, 6008}));
  rec.doption[1] = -32768.0;  // no tolerance: no verdict
  EXPECT_EQ(numbers(interpret(&rec, 2266, 1)), (std::vector<int32_t>{8166}));

  AnalysisRecord plan{};
  gageset().set_defaults(plan);
  plan.title_number = 2170;
  const Interpretation setup = interpret(&plan, 2170, 1);
  EXPECT_EQ(numbers(setup), (std::vector<int32_t>{8071, 8072, 8073, 8074, 8075}));
  EXPECT_NE(setup.text.find("3 appraisers, 10 parts and 3 trials"), std::string::npos);
}

TEST(GageStrings, TableHoldsEveryNumber) {
  for (int32_t n : gs::kAll) EXPECT_FALSE(gs::str(n).empty()) << n;
  for (int32_t n = gs::kMeasurement; n <= gs::kPv; ++n) EXPECT_FALSE(gs::str(n).empty()) << n;
  for (int32_t n = gs::kAxisAverage; n <= gs::kAxisPart; ++n) EXPECT_FALSE(gs::str(n).empty()) << n;
  for (int32_t n :
       {8161, 8171, 8181, 8187, 8191, 8199, 6001, 6006, 6010, 6012, 7312, 7326, 7328, 4034, 4036})
    EXPECT_FALSE(gs::str(n).empty()) << n;
}

}  // namespace
}  // namespace ztq
