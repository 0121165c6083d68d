// The drawing and workbook plugins: qualty links neither cairo nor libzip nor
// expat, opens a plugin only when a run needs it, and stops with one message
// and nothing written when the plugin is not there.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "harness.h"
#include "make_xlsx.h"

namespace {

namespace fs = std::filesystem;
using harness::Outcome;

// ldd's report of a file in the build's bin folder.
std::string libraries_of(const std::string& file) {
  const fs::path out = harness::temp("ldd.txt");
  const std::string cmd =
      "ldd " + std::string(QUALTY_BIN) + "/" + file + " > " + out.string() + " 2>&1";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  return harness::slurp(out);
}

TEST(Plugins, OnlyThePluginsLinkTheDrawingAndArchiveLibraries) {
  struct Row {
    const char* file;
    const char* library;
    bool linked;
  };
  const Row kRows[] = {
      {"qualty", "libcairo.so", false},
      {"qualty", "libzip.so", false},
      {"qualty", "libexpat.so", false},
      {"qualty", "libc.so", true},
      {"libqualty_cairo.so", "libcairo.so", true},
      {"libqualty_cairo.so", "libzip.so", false},
      {"libqualty_xlsx.so", "libzip.so", true},
      {"libqualty_xlsx.so", "libexpat.so", true},
      {"libqualty_xlsx.so", "libcairo.so", false},
  };
  for (const Row& r : kRows) {
    const std::string ldd = libraries_of(r.file);
    EXPECT_EQ(ldd.find(r.library) != std::string::npos, r.linked) << r.file << ":\n" << ldd;
  }
}

// A folder with the module, its string table and the data, but no plugin.
fs::path home_without_plugins() {
  const fs::path home = harness::scratch("no-plugins");
  for (const char* name : {"libztqualty.so", "qualres.txt", "data"})
    fs::create_symlink(fs::path(QUALTY_BIN) / name, home / name);
  return home;
}

TEST(Plugins, AMissingPluginStopsTheRunsThatNeedIt) {
  const fs::path home = home_without_plugins();
  const fs::path out = harness::scratch("plugin-out");
  const std::string data = std::string(QUALTY_SOURCE) + "/data/diameters.csv";
  const std::string book = (home / "diameters.xlsx").string();
  qualty::testing::write_xlsx(book, {{"Sheet1", qualty::testing::xrow(1, "")}});
  const std::string xbar = "run vchart --chart 0 --var data=Diameter --var subgroup=Sample ";
  const std::string files =
      "--sheet-out " + (out / "s.csv").string() + " --analysis-out " + (out / "a.json").string();
  struct Row {
    std::string args;
    int status;
    const char* plugin;  // the message names it; nullptr: the run needs none
  };
  const Row kRows[] = {
      {xbar + "--out " + out.string() + " --format png " + files + " " + data, 1,
       "graph renderer ("},
      // SVG is our own writer, but it lays text out with the plugin's font metrics.
      {xbar + "--out " + out.string() + " --format svg " + data, 1, "graph renderer ("},
      {xbar + "--report " + (out / "r.pdf").string() + " " + files + " " + data, 1,
       "graph renderer ("},
      {"run vchart --chart imr --var data=Diameter " + book, 1, "workbook reader ("},
      {xbar + "--pane 1 " + data, 0, nullptr},
  };
  for (const Row& r : kRows) {
    fs::remove_all(out);
    fs::create_directories(out);
    const Outcome got =
        harness::qualty_with_profile(r.args, "", "QUALTY_HOME=" + home.string() + " ");
    EXPECT_EQ(got.status, r.status) << r.args << "\n" << got.err;
    if (r.plugin == nullptr) {
      EXPECT_EQ(got.err, "") << r.args;
      EXPECT_NE(got.out.find("X-bar and R Chart"), std::string::npos) << r.args;
      continue;
    }
    // One line: "qualty: cannot load the <plugin> (<the loader's reason>)".
    EXPECT_EQ(got.err.rfind(std::string("qualty: cannot load the ") + r.plugin, 0), 0u) << got.err;
    EXPECT_NE(got.err.find("libqualty_"), std::string::npos) << got.err;
    EXPECT_EQ(got.err.find('\n'), got.err.size() - 1) << got.err;
    EXPECT_EQ(got.out, "") << r.args;
    EXPECT_TRUE(fs::is_empty(out)) << r.args << ": something was written";
  }
}

}  // namespace
