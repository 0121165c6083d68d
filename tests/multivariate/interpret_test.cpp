// The T-squared chart's interpretation: which sentences, with which values,
// and the binomial P that chooses between 6036 and 6037.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "interpret/interpret.h"
#include "multivariate/mv_interpret.h"
#include "ztqualty.h"

namespace ztq {
namespace {

std::vector<int32_t> numbers(const Interpretation& in) {
  std::vector<int32_t> out;
  for (const Sentence& s : in.sentences) out.push_back(s.number);
  return out;
}

bool has(const Interpretation& in, int32_t n) {
  for (const Sentence& s : in.sentences)
    if (s.number == n) return true;
  return false;
}

MvState state_of(std::vector<std::vector<double>> cols, const MvOptions& o) {
  MvState s;
  s.input.columns = std::move(cols);
  for (size_t j = 0; j < s.input.columns.size(); ++j)
    s.names.push_back("V" + std::to_string(j + 1));
  for (int i = 0; i < s.input.points(); ++i) s.labels.push_back("P" + std::to_string(i + 1));
  s.results = compute_mv(s.input, o, {});
  return s;
}

TEST(MvInterpret, BinomialTailAgainstDirectSums) {
  // P(X >= 1) = 1 - (1 - a)^n; P(X >= 2) = 1 - (1 - a)^n - n a (1 - a)^(n - 1).
  // The library's incomplete beta is good to about 1e-6 relative here.
  const double a = 0.0027;
  EXPECT_NEAR(binomial_tail(1, 20, a), 1 - std::pow(1 - a, 20), 1e-8);
  EXPECT_NEAR(binomial_tail(2, 20, a), 1 - std::pow(1 - a, 20) - 20 * a * std::pow(1 - a, 19),
              1e-8);
  EXPECT_EQ(binomial_tail(0, 20, a), 1.0);
  EXPECT_EQ(binomial_tail(21, 20, a), 0.0);
}

TEST(MvInterpret, NoSignalGivesTheChanceVerdict) {
  const MvState s = state_of({{1, 2, 3, 4, 5}, {2, 3, 5, 4, 6}}, {});
  MvView v;
  v.state = &s;
  const Interpretation in = mv_interpretation(v);
  EXPECT_EQ(numbers(in),
            (std::vector<int32_t>{6022, 6023, 6027, 6030, 6031, 6032, 6034, 6035, 6037}));
  EXPECT_NE(in.text.find("5 of the 5 points"), std::string::npos) << in.text;
}

// One signal among 40 points at alpha 0.27 %: P = 1 - 0.9973^40 = 0.1025, not
// below 0.05; at alpha 0.1 % with two signals P = 1 - 0.999^40 - 40 (0.001)
// 0.999^39 = 7.7e-4, below 0.05.
TEST(MvInterpret, SignalsChooseTheVerdictByBinomialP) {
  std::vector<std::vector<double>> cols(2, std::vector<double>(40));
  for (int i = 0; i < 40; ++i) {
    cols[0][i] = std::sin(i * 1.7);
    cols[1][i] = 0.5 * cols[0][i] + 0.3 * std::cos(i * 2.3);
  }
  cols[1][5] += 3.0;
  MvOptions o;
  MvState s = state_of(cols, o);
  ASSERT_EQ(s.results.beyond_count, 1);
  MvView v;
  v.state = &s;
  Interpretation in = mv_interpretation(v);
  EXPECT_TRUE(has(in, 6033));
  EXPECT_TRUE(has(in, 6037));
  EXPECT_TRUE(has(in, 6038));
  EXPECT_NE(in.text.find("At point P6 the largest contribution comes from V2."), std::string::npos)
      << in.text;

  cols[0][30] += 3.0;
  o.alpha_percent = 0.1;
  s = state_of(cols, o);
  ASSERT_EQ(s.results.beyond_count, 2);
  v.alpha_percent = 0.1;
  in = mv_interpretation(v);
  EXPECT_TRUE(has(in, 6036));
  EXPECT_FALSE(has(in, 6037));
}

TEST(MvInterpret, RegisteredUnderTheTitleAndSilentInError) {
  MvState s = state_of({{1, 2, 3, 4, 5}, {2, 3, 5, 4, 6}}, {});
  AnalysisRecord r{};
  r.results = &s;
  r.doption[0] = 0.27;
  EXPECT_TRUE(has(interpret(&r, 2154, 1), 6031));
  EXPECT_TRUE(interpret(&r, 2154, 2).sentences.empty());  // the listings carry none
  r.error_state = 1008;
  EXPECT_TRUE(interpret(&r, 2154, 1).sentences.empty());
  r.results = nullptr;
}

}  // namespace
}  // namespace ztq
