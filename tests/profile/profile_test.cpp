// The settings profile: reading and writing keys, and the profile as a file
// the user owns: edited in place, never erased, never written back when it
// could not be read whole, followed through a link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "host/profile/ini_profile.h"
#include "temp_dir.h"

namespace qualty {
namespace {

namespace fs = std::filesystem;

using testing::slurp;
using testing::TempDir;

void put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

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
  const TempDir tmp("profile-reload");
  const fs::path& dir = tmp.path();
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
}

TEST(IniProfile, BadFilesLeaveAnEmptyProfileWithAReason) {
  const TempDir tmp("profile-bad");
  const fs::path& dir = tmp.path();
  { std::ofstream(dir / "bad.ini") << "[Intl\nsDecimal=,\n"; }
  IniProfile malformed((dir / "bad.ini").string());
  EXPECT_FALSE(malformed.error().empty());
  EXPECT_EQ(malformed.get("Intl", "sDecimal"), std::nullopt);
  IniProfile directory(dir.string());  // a folder is not readable as a file
  EXPECT_EQ(directory.get("Intl", "sDecimal"), std::nullopt);
}

TEST(IniProfile, EditsInPlaceKeepingForeignLinesCommentsAndOrder) {
  const TempDir tmp("profile-edit");
  const fs::path& dir = tmp.path();
  const fs::path file = dir / "q.ini";
  put(file,
      "; my settings\r\n[Other tool]\r\nwidth : 80 ; columns\r\n\r\n[VCHART]\r\n"
      "# remembered\r\noption34 = 5 ; span\r\n[Graph]\r\nFont=Sans\r\n");
  IniProfile p(file.string());
  ASSERT_TRUE(p.error().empty()) << p.error();
  EXPECT_EQ(p.get_string("other tool", "WIDTH", ""), "80") << "':' delimits, ' ;' comments";
  ASSERT_TRUE(p.set("VCHART", "option34", "9"));
  ASSERT_TRUE(p.set("vchart", "option35", "2"));
  ASSERT_TRUE(p.set("Snap", "SignificantDigits", "8"));
  // Only the edited value changes; the new key follows its section's last
  // key, the new section goes at the end; CR LF line ends stay.
  EXPECT_EQ(slurp(file),
            "; my settings\r\n[Other tool]\r\nwidth : 80 ; columns\r\n\r\n[VCHART]\r\n"
            "# remembered\r\noption34 = 9 ; span\r\noption35=2\r\n[Graph]\r\nFont=Sans\r\n"
            "\r\n[Snap]\r\nSignificantDigits=8\r\n");
}

// A malformed line made the loader drop every setting, and the next save
// wrote the empty profile over the user's file.
TEST(IniProfile, MalformedProfileIsNeverWrittenBack) {
  const TempDir tmp("profile-malformed");
  const fs::path& dir = tmp.path();
  const fs::path file = dir / "q.ini";
  const std::string text = "[Intl]\nsDecimal=,\n[Graph\nFont=Sans\n[VCHART]\noption34=7\n";
  put(file, text);
  IniProfile p(file.string());
  EXPECT_NE(p.error().find("line 3"), std::string::npos) << p.error();
  EXPECT_FALSE(p.writable());
  EXPECT_EQ(p.get_string("Intl", "sDecimal", "."), ",") << "the readable settings are used";
  EXPECT_EQ(p.get_int("VCHART", "option34", 5), 7);
  EXPECT_TRUE(p.set("VCHART", "option34", "9")) << "kept for the run";
  EXPECT_EQ(p.get_int("VCHART", "option34", 5), 9);
  EXPECT_EQ(slurp(file), text) << "the file is untouched";
}

TEST(IniProfile, ContinuationLinesAreRefusedNotJoined) {
  const struct {
    const char* text;
    bool whole;
    const char* why;
  } cases[] = {
      {"[S]\nkey=first\n  second\n", false, "an indented line after a key is a continuation"},
      {"[S]\n  key=1\n", true, "an indented key after a header is a key"},
      {"[S]\nkey=1\n\n  ; comment\n", true, "an indented comment is a comment"},
      {"[S]\nno delimiter\n", false, "neither a key nor a comment"},
      {"[S]\n=1\n", false, "no key"},
      {"[S] ; note\nk=1\n", true, "a comment after a header"},
      {"[S] x\n", false, "text after a header"},
  };
  for (const auto& c : cases) {
    IniProfile p;
    EXPECT_EQ(p.load_text(c.text), c.whole) << c.why;
  }
}

TEST(IniProfile, FifoProfileIsRefusedWithoutWaiting) {
  const TempDir tmp("profile-fifo");
  const fs::path& dir = tmp.path();
  ASSERT_EQ(mkfifo((dir / "q.ini").c_str(), 0600), 0);
  IniProfile p((dir / "q.ini").string());  // opening it would block until a writer came
  EXPECT_NE(p.error().find("not a regular file"), std::string::npos) << p.error();
  EXPECT_FALSE(p.writable());
}

TEST(IniProfile, SymlinkedProfileIsFollowedAndKept) {
  const TempDir tmp("profile-link");
  const fs::path& dir = tmp.path();
  put(dir / "real.ini", "[A]\nx=1\n");
  fs::create_symlink("real.ini", dir / "link.ini");
  IniProfile p((dir / "link.ini").string());
  ASSERT_TRUE(p.set("A", "x", "2"));
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "link.ini")));
  EXPECT_EQ(slurp(dir / "real.ini"), "[A]\nx=2\n");
}

TEST(IniProfile, SettingsThatWouldReadBackDifferentlyAreRefused) {
  IniProfile p;
  for (const char* key : {"a=b", "a:b", "[a", " a", "a;b"})
    EXPECT_FALSE(p.set("S", key, "1")) << key;
  for (const char* value : {" lead", "trail ", "x ; y", "a\nb"})
    EXPECT_FALSE(p.set("S", "k", value)) << value;
  EXPECT_TRUE(p.set("S", "k", "a;b:c=d"));
  IniProfile again;
  ASSERT_TRUE(again.load_text(p.to_text()));
  EXPECT_EQ(again.get_string("S", "k", ""), "a;b:c=d");
}

// A procedure remembers its options one key at a time: deferred, the file is
// written once, by flush() or at the end.
TEST(IniProfile, DeferredChangesAreWrittenOnceOnFlush) {
  const TempDir tmp("profile-deferred");
  const fs::path& dir = tmp.path();
  const fs::path file = dir / "q.ini";
  put(file, "[A]\nx=1\n");
  {
    IniProfile p(file.string());
    p.set_deferred(true);
    ASSERT_TRUE(p.set("A", "x", "2"));
    ASSERT_TRUE(p.set("A", "y", "3"));
    EXPECT_EQ(slurp(file), "[A]\nx=1\n") << "not yet written";
    EXPECT_TRUE(p.flush());
    EXPECT_EQ(slurp(file), "[A]\nx=2\ny=3\n");
    ASSERT_TRUE(p.set("A", "x", "4"));
  }
  EXPECT_EQ(slurp(file), "[A]\nx=4\ny=3\n") << "the destructor flushes";
}

// Each key was searched linearly in its section: 80,000 keys took 22.8 s.
TEST(IniProfile, LargeProfileLoadsInWellUnderASecond) {
  std::string text;
  for (int s = 0; s < 1000; ++s) {
    text += "[Section" + std::to_string(s) + "]\n";
    for (int k = 0; k < 100; ++k) text += "key" + std::to_string(k) + "=value\n";
  }
  ASSERT_GT(text.size(), 1u << 20);
  const auto start = std::chrono::steady_clock::now();
  IniProfile p;
  ASSERT_TRUE(p.load_text(text));
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(p.get_string("section999", "KEY99", ""), "value");
  // A guard against the quadratic search (22.8 s for this file), not a speed
  // test: bench_profile measures the load (35 ms); sanitizers and a loaded
  // machine are several times slower.
  EXPECT_LT(seconds, 10.0);
}

}  // namespace
}  // namespace qualty
