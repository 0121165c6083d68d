// Module start-up, regional settings, the string table and the module-level exports.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "bridge/messages.h"
#include "bridge/module_state.h"
#include "bridge/strings.h"
#include "fake_host.h"
#include "format/regional.h"
#include "resources/string_table.h"
#include "ztqualty.h"

namespace ztq {
namespace {

const std::string kSource = QUALTY_SOURCE;

TEST(StringTable, EveryNumberTheModuleAsksForExists) {
  StringTable table;
  ASSERT_TRUE(table.load_file(kSource + "/resources/qualres.txt"));
  EXPECT_EQ(table.skipped_lines(), 0);
  for (int32_t id : kAllStringNumbers) {
    EXPECT_TRUE(table.contains(id)) << "string " << id << " is missing";
    EXPECT_FALSE(table.get(id).empty()) << "string " << id << " is empty";
  }
}

TEST(StringTable, ParsesEscapesAndSkipsMalformedLines) {
  StringTable table;
  const int loaded = table.load_text(
      "# comment\r\n"
      "12\tone\\ttab\\r\\n\r\n"
      "13\tback\\\\slash\n"
      "x14\tnot a number\n"
      "15 no tab\n"
      "\n"
      "16\t\n"
      "12\treplaced");
  EXPECT_EQ(loaded, 4);
  EXPECT_EQ(table.skipped_lines(), 2);
  EXPECT_EQ(table.get(12), "replaced");
  EXPECT_EQ(table.get(13), "back\\slash");
  EXPECT_TRUE(table.contains(16));
  EXPECT_EQ(table.get(99), "");
  table.load_text("20\tone\\ttab\\r\\n");
  EXPECT_EQ(table.get(20), "one\ttab\r\n");
}

TEST(Startup, MissingTableLeavesTheModuleWorking) {
  module_startup("/nonexistent-folder-for-test");
  EXPECT_FALSE(module_state().strings_loaded);
  EXPECT_EQ(module_state().title, "");
  EXPECT_EQ(text(Str::kNoMemory), "");
  module_startup(std::string(QUALTY_BIN));
  EXPECT_TRUE(module_state().strings_loaded);
  EXPECT_FALSE(module_state().title.empty()) << "string 57344 is the application title";
}

TEST(Startup, RegionalSettingsFromIntl) {
  testing::FakeHost host;
  host.system["Intl/sDecimal"] = ",";
  host.system["Intl/iLzero"] = "0";
  host.system["Intl/sShortdate"] = "dd.MM.yyyy";
  EXPECT_EQ(IsQualityLoaded(&host.app, nullptr, 0), 1);
  EXPECT_EQ(regional().decimal, ',');
  EXPECT_EQ(regional().lzero, 0);
  EXPECT_EQ(std::string(regional().date_slots, 3), "DMY");
  EXPECT_EQ(regional().date_sep, '.');
  IsQualityLoaded(nullptr, nullptr, 0);
  EXPECT_EQ(regional().decimal, '.') << "no host: the defaults";
}

TEST(Startup, AbsurdIntlValuesFallBackToDefaults) {
  testing::FakeHost host;
  host.system["Intl/sDecimal"] = "";
  host.system["Intl/sList"] = "7";
  host.system["Intl/sShortdate"] = std::string(200, 'D');
  host.system["Intl/s1159"] = std::string(300, 'A');
  host.app.sheet_dialog_state = 5;
  IsQualityLoaded(&host.app, nullptr, 0);
  EXPECT_EQ(host.app.sheet_dialog_state, 0) << "cleared at load";
  EXPECT_EQ(regional().decimal, '.');
  EXPECT_EQ(regional().list, ',');
  EXPECT_EQ(regional().short_date.size(), 20u) << "at most 20 characters are read";
  EXPECT_EQ(std::string(regional().date_slots, 3), "mdy") << "no separator: defaults";
  EXPECT_LE(regional().am.size(), 8u);
  for (const char* bad : {"5", "-", "e", " "}) {
    host.system["Intl/sDecimal"] = bad;
    IsQualityLoaded(&host.app, nullptr, 0);
    EXPECT_EQ(regional().decimal, '.') << "'" << bad << "' cannot separate decimals";
  }
  IsQualityLoaded(nullptr, nullptr, 0);
}

TEST(ModuleExports, IdleRunsUntilNothingIsLeft) {
  int calls = 0;
  module_state().on_idle = [&](int) {
    ++calls;
    return false;
  };
  EXPECT_EQ(ProcessDllIdle(), 0);
  EXPECT_EQ(calls, 1) << "nothing to do: one call";
  std::vector<int> counts;
  module_state().on_idle = [&](int count) {
    counts.push_back(count);
    return count < 2;
  };
  ProcessDllIdle();
  EXPECT_EQ(counts, (std::vector<int>{0, 1, 2}));
  module_state().on_idle = [](int) { return false; };
  EXPECT_EQ(FilterDllMsg(nullptr), 0);
}

TEST(ModuleExports, AddedTextIsKeptOnlyWhenNotEmpty) {
  QualSetAddedText("", 3);
  EXPECT_FALSE(module_state().added_text_pending);
  QualSetAddedText(nullptr, 3);
  EXPECT_FALSE(module_state().added_text_pending);
  QualSetAddedText("Lot 7", 12);
  EXPECT_TRUE(module_state().added_text_pending);
  EXPECT_EQ(module_state().added_text, "Lot 7");
  EXPECT_EQ(module_state().added_attribute, 12);
  QualSetAddedText("", 0);
}

TEST(Messages, GoThroughTheHostWithTheCaption) {
  module_startup(std::string(QUALTY_BIN));
  testing::FakeHost host;
  IsQualityLoaded(&host.app, nullptr, 0);
  ShowMessage(Str::kNoMemory);
  show_formatted_warning(Str::kRequiredMissing, 2);
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[0], "MERIDAX Plus|" + text(Str::kNoMemory));
  EXPECT_NE(host.boxes[1].find('2'), std::string::npos) << "the position is filled in";
  EXPECT_EQ(host.boxes[1].find("%d"), std::string::npos);
  host.answer = ZTQ_IDNO;
  EXPECT_EQ(AskYesNo(Str::kAskReplaceColumns), ZTQ_IDNO);
  host.answer = ZTQ_IDYES;
  EXPECT_EQ(AskYesNo(Str::kAskReplaceColumns), ZTQ_IDYES);
  IsQualityLoaded(nullptr, nullptr, 0);
  EXPECT_EQ(AskYesNo(Str::kAskReplaceColumns), ZTQ_IDNO) << "without a UI service: No";
}

}  // namespace
}  // namespace ztq
