// The capability interpretation of panes 1 and 2: which sentences, by their
// numbers, for the Cp bands, the Cpk sentence of each label set, the
// off-centre verdict, K and the intervals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/module_state.h"
#include "capability/capable_chart_interpret.h"
#include "capability/capable_family.h"
#include "capability/capable_interpret.h"

namespace ztq {
namespace {

struct Case {
  AnalysisRecord record{};
  CapableState state;

  Case() {
    module_startup(QUALTY_BIN);
    record.title_number = 1962;
    record.computed = 1;
    for (int k = 3; k <= 9; ++k) record.option[k] = 1;
    record.option[40] = 1;
    record.option[61] = 6;
    record.doption[12] = 95;
    state.results.distribution = 3;
    state.results.usl_given = state.results.lsl_given = true;
    state.results.cp = 1.5;
    state.results.cpk = 1.4;
    state.computed = true;
    record.results = &state;
  }
  std::vector<int32_t> numbers(int pane) const {
    std::vector<int32_t> out;
    for (const Sentence& s : capability_interpretation(&record, pane).sentences)
      out.push_back(s.number);
    return out;
  }
};

using N = std::vector<int32_t>;

TEST(CapabilityInterpretation, CpBands) {
  struct Row {
    double cp;
    int32_t want;
  };
  const Row rows[] = {{0.99, 8094},   {1.0, 8095}, {1.3299, 8095}, {1.33, 8096},
                      {1.9999, 8096}, {2.0, 8097}, {3.5, 8097}};
  for (const Row& r : rows) {
    Case c;
    c.state.results.cp = r.cp;
    c.state.results.cpk = r.cp;  // centred: no off-centre sentence
    c.record.option[9] = 0;
    c.record.doption[12] = 0;
    EXPECT_EQ(c.numbers(2), (N{45035, r.want, 8098})) << r.cp;
  }
}

TEST(CapabilityInterpretation, CpkSentenceByLabelSetAndOffCentre) {
  Case c;
  c.record.option[9] = 0;
  c.record.doption[12] = 0;
  c.state.results.cp = 2.0;
  c.state.results.cpk = 1.5;  // (2 - 1.5) / 2 = 0.25 exactly: off centre
  EXPECT_EQ(c.numbers(2), (N{45035, 8097, 8098, 8100}));
  c.record.option[40] = 0;  // the descriptive label set
  EXPECT_EQ(c.numbers(2), (N{45035, 8097, 8099, 8100}));
  c.state.results.cpk = 1.51;  // 0.245: centred enough
  EXPECT_EQ(c.numbers(2), (N{45035, 8097, 8099}));
  c.record.option[4] = 0;  // Cpk row off: neither Cpk nor off-centre
  c.state.results.cpk = 0.5;
  EXPECT_EQ(c.numbers(2), (N{45035, 8097}));
  c.record.option[4] = 1;
  c.state.results.cpk = kMissing;  // a missing value suppresses its sentence
  c.state.results.cp = kMissing;
  EXPECT_EQ(c.numbers(2), (N{45035}));
}

TEST(CapabilityInterpretation, KAndIntervals) {
  Case c;
  c.state.results.k_index = -0.1;
  const Interpretation i = capability_interpretation(&c.record, 2);
  std::vector<int32_t> got;
  for (const Sentence& s : i.sentences) got.push_back(s.number);
  EXPECT_EQ(got, (N{45035, 8096, 8098, 8101, 8102, 8103, 8105, 8106, 8107}));
  // |100 K| = 10 sits between sentence 8103 and 8105.
  const std::string between = i.sentences[5].text + "10" + i.sentences[6].text;
  EXPECT_NE(i.text.find(between), std::string::npos);
  c.state.results.k_index = 0.05;
  EXPECT_EQ(c.numbers(2)[6], 8104);
  c.state.results.distribution = 14;  // intervals: normal distribution only
  EXPECT_EQ(c.numbers(2).back(), 8104);
  c.state.results.distribution = 3;
  c.state.results.lsl_given = false;  // and both limits
  EXPECT_EQ(c.numbers(2).back(), 8104);
}

TEST(CapabilityInterpretation, PaneOneNamesTheDistribution) {
  Case c;
  c.state.results.distribution = 12;
  const Interpretation i = capability_interpretation(&c.record, 1);
  ASSERT_EQ(i.sentences.size(), 1u);
  EXPECT_NE(i.text.find("gamma"), std::string::npos);
  EXPECT_TRUE(capability_interpretation(&c.record, 6).sentences.empty());
  c.record.error_state = 1007;  // an analysis in error says nothing
  EXPECT_TRUE(capability_interpretation(&c.record, 1).sentences.empty());
}

TEST(CapabilityInterpretation, RegisteredUnderTheTitle) {
  Case c;
  // The framework ends the pane's text with a line end; the sentences are the generator's.
  EXPECT_EQ(interpret(&c.record, 1962, 2).text,
            capability_interpretation(&c.record, 2).text + "\r\n");
  EXPECT_FALSE(interpret(&c.record, 1962, 2).text.empty());
}

}  // namespace
TEST(CapabilityInterpretation, TestPanesBandTheSmallestPValue) {
  struct Row {
    int pane, distribution;
    double a, b;  // two of the pane's P-values (the others missing)
    int32_t want;
  };
  // Bands 0.1 / 0.05 / 0.01 inclusive below; pane 4 has its own sentences for
  // the distributions of fixed shape (codes 0 and 1).
  const Row rows[] = {
      {3, 3, 0.5, 0.1, 7764},    {3, 3, 0.5, 0.0999, 7765},     {3, 3, 0.05, 0.9, 7765},
      {3, 3, 0.0499, 0.9, 7766}, {3, 3, 0.01, 0.2, 7766},       {3, 3, 0.2, 0.0099, 7767},
      {4, 3, 0.3, 0.1, 49030},   {4, 3, 0.3, 0.02, 49032},      {4, 0, 0.3, 0.1, 49034},
      {4, 1, 0.001, 0.5, 49037}, {4, 12, 0.07, kMissing, 49031}};
  for (const Row& r : rows) {
    Case c;
    c.state.results.distribution = r.distribution;
    if (r.pane == 3) {
      c.state.normality.chi2_p = r.a;
      c.state.normality.kurt_p = r.b;
    } else {
      c.state.fit.chi2_p = r.a;
      c.state.fit.ks_p = r.b;
    }
    EXPECT_EQ(c.numbers(r.pane), (N{45035, r.want})) << r.pane << " " << r.a << " " << r.b;
  }
  Case none;  // no P-value present: nothing said about the tests
  EXPECT_EQ(none.numbers(3), (N{45035}));
}

TEST(CapabilityChartInterpretation, WithinSigmaSentence) {
  struct Row {
    int variant;
    double nbar;
    int dispersion;  // option 45
    int32_t want;
  };
  // Individuals: always the moving range. Subgroups: S-bar / c4 above an
  // average size of 25 or with option 45 = 1, else R-bar / d2 (25 itself: R).
  const Row rows[] = {{1, 0, 0, 8083},       {1, 30, 1, 8083}, {2, 5, 0, 8085}, {2, 25, 0, 8085},
                      {2, 25.0001, 0, 8084}, {2, 26, 0, 8084}, {2, 4, 1, 8084}, {2, 4, 2, 8085}};
  for (const Row& r : rows)
    EXPECT_EQ(static_cast<int32_t>(within_sigma_sentence(r.variant, r.nbar, r.dispersion)), r.want)
        << r.variant << " " << r.nbar << " " << r.dispersion;
}

TEST(CapabilityChartInterpretation, CompositeSentences) {
  Case c;
  c.record.title_number = 12144;
  c.record.variant = 1;
  CapabilityResults& r = c.state.results;
  r.n = 6;
  r.data = {10, 12, 11, 30, 11, 10};
  r.mean = 14;
  r.sd = 7.8;
  r.usl = 25, r.lsl = 5;
  r.param[0] = 14;
  r.k = 6;
  CapChartOptions o;
  o.run_length = 3;
  c.state.chart = capability_chart(r, 1, o);
  const auto numbers = [&](int pane) {
    std::vector<int32_t> out;
    for (const Sentence& s : capability_chart_interpretation(&c.record, pane).sentences)
      out.push_back(s.number);
    return out;
  };
  // Moving ranges 2, 1, 19, 19, 1: MR-bar 8.4, within sigma 7.447, limits 14 +/- 22.34:
  // no point beyond; the dispersion UCL 8.4 + 3 x 0.853 x 7.447 = 27.46: none above.
  // Runs of 3 below-or-on 14: 10, 12, 11 (third point), then 11, 10 after 30: one mark
  // at point 3, none at 5 and 6 (two in a row) -> one marked point. 30 lies above USL.
  // Cp 1.5 falls in the third band; with the within sigma Cp = 20 / (6 x 7.447) = 0.448.
  EXPECT_EQ(numbers(8),
            (N{45035, 8081, 8083, 3782, 3783, 3784, 3787, 3788, 3792, 3795, 8096, 3794}));
  EXPECT_EQ(numbers(1), (N{45035}));
  EXPECT_TRUE(numbers(9).empty());  // one composite pane, number 8
  const std::string text = capability_chart_interpretation(&c.record, 8).text;
  EXPECT_NE(text.find("0.447619"), std::string::npos) << text;   // 20 / (6 x 8.4 / 1.128)
  EXPECT_NE(text.find("steps: 1."), std::string::npos) << text;  // one marked point
  EXPECT_NE(text.find("USL: 1; below the LSL: 0"), std::string::npos) << text;
  EXPECT_EQ(interpret(&c.record, 12144, 8).text, text + "\r\n");
  EXPECT_EQ(interpret(&c.record, 12160, 8).text, text + "\r\n");
}

}  // namespace ztq
