// The interpretation entry: dispatch by title, the error-state sentence, the
// pane range, the cut at the advice buffer, and the scratch formatting of one
// sentence (conversions, numbers in a field of 16, missing values).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bridge/module_state.h"
#include "interpret/interpret.h"
#include "interpret/sentence.h"
#include "ztqualty.h"

namespace ztq {
namespace {

// Titles no procedure uses, for generators of the tests only.
constexpr int32_t kTitleTwoSentences = 44990;
constexpr int32_t kTitleLong = 44991;
constexpr int32_t kTitleMissing = 44992;

Interpretation two_sentences(const void*, int pane) {
  Interpretation out;
  say(out, 44000, {"first"});
  end_line(out);
  say(out, 44000, {std::to_string(pane)});
  return out;
}

// 9,000 characters: more than the advice buffer holds.
Interpretation long_text(const void*, int) {
  Interpretation out;
  out.add(44000, std::string(9000, 'x'));
  return out;
}

Interpretation with_missing(const void*, int) {
  Interpretation out;
  say(out, 44000, {ZTQ_MISSING});
  say(out, 44000, {2.5});
  return out;
}

class Interpret : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_startup(QUALTY_BIN);
    static const bool registered = [] {
      register_interpreter(kTitleTwoSentences, two_sentences);
      register_interpreter(kTitleLong, long_text);
      register_interpreter(kTitleMissing, with_missing);
      return true;
    }();
    (void)registered;
  }
  std::string call(int32_t pane) {
    std::vector<char> out(8192, '#');
    EXPECT_EQ(CallQualityInterpret(&record, out.data(), pane), 1);
    return std::string(out.data());
  }
  std::vector<int32_t> numbers(int32_t pane) {
    std::vector<int32_t> n(16, -1);
    const int32_t count = QualAdviceSentences(&record, pane, n.data(), 16);
    n.resize(static_cast<size_t>(std::max(count, 0)));
    return n;
  }
  AnalysisRecord record{};
};

TEST_F(Interpret, UnknownTitleGivesTheEmptyText) {
  record.title_number = 44998;
  EXPECT_EQ(call(1), "");
  EXPECT_TRUE(numbers(1).empty());
  std::vector<char> out(8, '#');
  EXPECT_EQ(CallQualityInterpret(nullptr, out.data(), 1), 1) << "no record: still 1";
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(CallQualityInterpret(&record, nullptr, 1), 1) << "no buffer: still 1";
}

TEST_F(Interpret, SentencesJoinedAndListed) {
  record.title_number = kTitleTwoSentences;
  const std::string want = fill_sentence(sentence_format(44000), {"first"}) + "\r\n" +
                           fill_sentence(sentence_format(44000), {"3"}) + "\r\n";
  EXPECT_EQ(call(3), want);
  EXPECT_EQ(numbers(3), (std::vector<int32_t>{44000, 44000}));
}

TEST_F(Interpret, PaneOutsideOneToFourteenIsEmpty) {
  record.title_number = kTitleTwoSentences;
  for (int32_t pane : {0, -1, 15, 1 << 30}) {
    EXPECT_EQ(call(pane), "") << pane;
    EXPECT_TRUE(numbers(pane).empty()) << pane;
  }
  EXPECT_FALSE(call(14).empty());
}

TEST_F(Interpret, ErrorStateSaysSoInOneSentence) {
  record.title_number = kTitleTwoSentences;
  record.error_state = 1007;  // no valid data
  const std::string t = call(2);
  EXPECT_NE(t.find(sentence_format(1007)), std::string::npos) << t;
  EXPECT_EQ(numbers(2), (std::vector<int32_t>{kSentenceErrorState}));
  EXPECT_EQ(t.find("first"), std::string::npos);
}

TEST_F(Interpret, LongTextCutAt8191WithItsNul) {
  record.title_number = kTitleLong;
  std::vector<char> out(8192, '#');
  CallQualityInterpret(&record, out.data(), 1);
  EXPECT_EQ(std::strlen(out.data()), 8191u);
  EXPECT_EQ(out[8191], '\0');
  // a multi-byte character across the cut is left out whole
  EXPECT_EQ(advice_cut(std::string(8190, 'a') + "\xc3\xa9"), 8190u);
  EXPECT_EQ(advice_cut("short"), 5u);
}

TEST_F(Interpret, MissingValueSuppressesItsSentence) {
  record.title_number = kTitleMissing;
  EXPECT_EQ(numbers(1), (std::vector<int32_t>{44000}));
  EXPECT_EQ(call(1).find("-32768"), std::string::npos);
}

TEST(SentenceFormat, Conversions) {
  struct Row {
    const char* format;
    std::string want;
  };
  const Row rows[] = {
      {"%d of %s", "4 of ab"},         // in order
      {"%s %s %s", "4 ab "},           // a conversion with no argument left is empty
      {"100%% at %d", "100% at 4"},    // a percent sign
      {"%.2f stays", "%.2f stays"},    // not a conversion of ours
      {"ends with %", "ends with %"},  // a lone percent at the end
  };
  for (const Row& r : rows) EXPECT_EQ(fill_sentence(r.format, {4, "ab"}), r.want) << r.format;
}

TEST(SentenceFormat, NumbersInAFieldOfSixteen) {
  module_startup(QUALTY_BIN);
  struct Row {
    double v;
    const char* want;
  };
  const Row rows[] = {
      {0.0027, "0.0027"},         // six significant digits, trailing zeros dropped
      {1.0 / 3.0, "0.333333"},    // rounded to six
      {12345678.0, "1.23457E7"},  // exponent past six digits
      {-2.5, "-2.5"},             // sign kept
      {ZTQ_MISSING, ""},          // missing: nothing
      {1e308, "1.E308"},          // exponent form: digit, separator, rest (none), E
  };
  for (const Row& r : rows) EXPECT_EQ(SentenceArg(r.v).text(), r.want) << r.v;
  EXPECT_TRUE(SentenceArg(ZTQ_MISSING).missing());
  EXPECT_TRUE(SentenceArg(1e308 * 10).missing()) << "infinite is never printed";
  EXPECT_EQ(SentenceArg::fixed(12.375, 2).text(), "12.38");  // 12.375 is exact in binary: half up
  EXPECT_TRUE(SentenceArg::fixed(ZTQ_MISSING, 2).missing());
  EXPECT_EQ(SentenceArg(7).text(), "7");
  EXPECT_FALSE(SentenceArg(-32768).missing()) << "an integer is a count, never missing";
}

}  // namespace
}  // namespace ztq
