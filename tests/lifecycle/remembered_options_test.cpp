// Options remembered in the profile are checked as an options form checks
// them: --set option16=-5 was refused, the same value in the profile was
// applied silently ("A: -5 points in a row").
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "bridge/lifecycle.h"
#include "bridge/module_state.h"
#include "form_answers.h"
#include "host/profile/host_application.h"
#include "host/sheet/spread_ops.h"
#include "ztqualty_procedures.h"

namespace ztq {
namespace {

class RememberedOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    module_startup(QUALTY_BIN);
    ui.quiet = true;
    ui.answer_form = testing::answer_from(answers, forms);
    qualty::Column c;
    c.name = "X";
    for (int i = 0; i < 20; ++i) c.numbers.push_back(10.0 + (i % 4));
    sheet = qualty::DataSheet::from_columns({c});
    state = std::make_unique<qualty::SpreadState>(sheet);
    spread = qualty::make_spread_ops(*state);
    host.c_object()->spread = &spread;
    IsQualityLoaded(host.c_object(), advice, 0);
  }
  void TearDown() override {
    QualReleaseRecord(&record);
    module_state().app = nullptr;
  }
  // An individuals chart (code 3) of X, its options read from the profile.
  void start(const std::string& profile_text) {
    ASSERT_TRUE(profile.load_text(profile_text));
    answers = {{"data", "X"}};
    ctx.row_count = static_cast<int32_t>(sheet.row_count());
    ASSERT_NE(VchartDialog(0, &ctx, 0, 3, 0, 0), 0);
    VchartSetup(0, &record, nullptr, setup_text, 0, 3);
  }
  std::string shown() const {
    std::string all;
    for (const auto& m : ui.messages()) all += m.text + "\n";
    return all;
  }

  qualty::DataSheet sheet;
  std::unique_ptr<qualty::SpreadState> state;
  ZtSpread spread{};
  qualty::IniProfile profile;
  qualty::UiService ui;
  qualty::HostApp host{profile, ui};
  HostContext ctx{};
  AnalysisRecord record{};
  char advice[8192] = {};
  char setup_text[8 * 1024 + 16 * 512] = {};
  std::map<std::string, std::string> answers;
  int forms = 0;
};

TEST_F(RememberedOptions, OutOfRangeValuesFallBackToTheirDefaultsWithAWarning) {
  start("[VCHART]\noption16=-5\noption17=9\noption34=0\n");
  EXPECT_EQ(record.option[16], 8) << "runs rule A: 8 in a row by default, -5 is below 1";
  EXPECT_EQ(record.option[17], 9) << "a value in range is used";
  EXPECT_NE(record.option[34], 0) << "a span of 0 is below its minimum of 1";
  const std::string text = shown();
  EXPECT_NE(text.find("option16 = -5"), std::string::npos) << text;
  EXPECT_NE(text.find("option34 = 0"), std::string::npos) << text;
  EXPECT_EQ(text.find("option17"), std::string::npos) << text;
}

TEST_F(RememberedOptions, ValuesInRangeAreUsedSilently) {
  start("[VCHART]\noption16=7\n");
  EXPECT_EQ(record.option[16], 7);
  EXPECT_EQ(shown(), "");
}

}  // namespace
}  // namespace ztq
