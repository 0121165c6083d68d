#include "host/profile/ini_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace qualty {
namespace {

namespace fs = std::filesystem;

fs::path temp_dir(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("qualty-profile-" + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

TEST(IniProfile, ReadsSectionsAndKeysWithoutRegardToCase) {
  IniProfile p;
  ASSERT_TRUE(p.load_text("[Intl]\nsDecimal=,\niLzero=0\n[VCHART]\noption34 = 9\n"));
  EXPECT_EQ(p.get_string("intl", "SDECIMAL", "."), ",");
  EXPECT_EQ(p.get_int("Intl", "iLzero", 1), 0);
  EXPECT_EQ(p.get_int("vchart", "Option34", 5), 9);
  EXPECT_EQ(p.get_int("VCHART", "option35", 5), 5) << "absent: the fallback";
  EXPECT_EQ(p.get_string("Snap", "x", "none"), "none");
}

TEST(IniProfile, IntegersAreTheLeadingNumber) {
  IniProfile p;
  p.load_text("[S]\na=12abc\nb=abc\nc=-7\nd=99999999999\n");
  EXPECT_EQ(p.get_int("S", "a", 0), 12);
  EXPECT_EQ(p.get_int("S", "b", 4), 4);
  EXPECT_EQ(p.get_int("S", "c", 0), -7);
  EXPECT_EQ(p.get_int("S", "d", 3), 3) << "out of the 32-bit range";
}

TEST(IniProfile, WritesSurviveAReload) {
  const fs::path dir = temp_dir("reload");
  const std::string path = (dir / "sub" / "qualty.ini").string();
  {
    IniProfile p(path);
    EXPECT_TRUE(p.error().empty()) << "a missing file is an empty profile";
    EXPECT_TRUE(p.set("VCHART", "doption21", "0.25"));
    EXPECT_TRUE(p.set("Snap", "SignificantDigits", "8"));
    EXPECT_TRUE(p.set("vchart", "DOPTION21", "0.5")) << "replaces, whatever the case";
  }
  IniProfile again(path);
  EXPECT_EQ(again.get_string("VCHART", "doption21", ""), "0.5");
  EXPECT_EQ(again.get_int("Snap", "SignificantDigits", 6), 8);
  EXPECT_FALSE(again.set("Snap", "x", "two\nlines")) << "a line break would corrupt the file";
  EXPECT_EQ(again.get("Snap", "x"), std::nullopt);
  fs::remove_all(dir);
}

TEST(IniProfile, BadFilesLeaveAnEmptyProfileWithAReason) {
  const fs::path dir = temp_dir("bad");
  { std::ofstream(dir / "bad.ini") << "[Intl\nsDecimal=,\n"; }
  IniProfile malformed((dir / "bad.ini").string());
  EXPECT_FALSE(malformed.error().empty());
  EXPECT_EQ(malformed.get("Intl", "sDecimal"), std::nullopt);
  IniProfile directory(dir.string());  // a folder is not readable as a file
  EXPECT_EQ(directory.get("Intl", "sDecimal"), std::nullopt);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace qualty
