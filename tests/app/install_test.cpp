// The installed qualty: bin/qualty is a link into the installed folder, and
// qualty finds its module, string table and data from its real path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "harness.h"

namespace {

namespace fs = std::filesystem;

TEST(Install, InstalledQualtyRunsTheDemoFromAnotherFolder) {
  const fs::path prefix = harness::temp("prefix");
  const fs::path elsewhere = harness::temp("elsewhere");
  fs::remove_all(prefix);
  fs::remove_all(elsewhere);
  fs::create_directories(elsewhere);
  const std::string build = fs::path(QUALTY_BIN).parent_path().string();
  const std::string install = "cmake --install " + build + " --prefix " + prefix.string() + " > " +
                              harness::temp("install.log").string() + " 2>&1";
  ASSERT_EQ(std::system(install.c_str()), 0) << harness::slurp(harness::temp("install.log"));
  ASSERT_TRUE(fs::is_symlink(prefix / "bin" / "qualty"));

  const std::string qualty = (prefix / "bin" / "qualty").string();
  const std::string log = harness::temp("demo.log").string();
  const std::string demo = "cd " + elsewhere.string() + " && " + qualty + " --profile " +
                           harness::temp("install.ini").string() + " demo --out d > " + log +
                           " 2>&1";
  EXPECT_EQ(std::system(demo.c_str()), 0) << harness::slurp(log);
  EXPECT_TRUE(fs::exists(elsewhere / "d" / "xbar-r" / "pane8.png"));
  EXPECT_TRUE(fs::exists(elsewhere / "d" / "pareto" / "pane8.png"));

  // QUALTY_HOME names another folder for the module and the data.
  const std::string moved = "QUALTY_HOME=" + (elsewhere / "nothing").string() + " " + qualty +
                            " describe > " + log + " 2>&1";
  const int status = std::system(moved.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(harness::slurp(log).find("cannot load the quality module"), std::string::npos);
  fs::remove_all(prefix);
  fs::remove_all(elsewhere);
}

}  // namespace
