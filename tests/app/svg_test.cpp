// Every graph of every chart-type code, written by qualty run --out as SVG:
// well-formed XML (xmllint when installed, else a structural check) that an
// SVG renderer draws (rsvg-convert when installed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "harness.h"

namespace {

namespace fs = std::filesystem;
using harness::qualty;
using harness::slurp;

bool have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The roles of a chart-type code on the bundled data sets.
std::string roles_of(int code) {
  const std::string data = std::string(QUALTY_SOURCE) + "/data/";
  const std::string limits = " --set usl=25.43 --set lsl=25.37 ";
  switch (code) {
    case 4:
    case 6:
      return "--var data=Defective/Inspected --var size=Inspected " + data + "defectives.csv";
    case 5:
      return "--var data=Defective --var size=Inspected " + data + "defectives.csv";
    case 7:
      return "--var data=Defective " + data + "defectives.csv";
    case 3:
    case 8:
    case 9:
    case 10:
    case 15:
    case 17:
    case 19:
    case 21:
      return "--var data=Diameter" + limits + data + "diameters.csv";
    default:
      return "--var data=Diameter --var subgroup=Sample" + limits + data + "diameters.csv";
  }
}

TEST(Svg, EveryChartOfEveryCodeIsWellFormedAndRenders) {
  const bool xmllint = have("xmllint"), rsvg = have("rsvg-convert");
  const fs::path dir = harness::temp("svg");
  for (int code = 0; code <= 21; ++code) {
    fs::remove_all(dir);
    const harness::Outcome r = qualty("run vchart --chart " + std::to_string(code) + " --out " +
                                      dir.string() + " " + roles_of(code));
    ASSERT_EQ(r.status, 0) << code << ": " << r.err;
    int svgs = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
      if (e.path().extension() != ".svg") continue;
      ++svgs;
      const std::string where = std::to_string(code) + " " + e.path().filename().string();
      const std::string svg = slurp(e.path());
      // Structure: one root element from the start (after the declaration) to the end.
      const std::size_t root = svg.rfind("<?xml", 0) == 0 ? svg.find('<', 1) : 0;
      EXPECT_EQ(svg.compare(root, 4, "<svg"), 0) << where;
      EXPECT_EQ(svg.rfind("</svg>"), svg.size() - 7) << where;
      for (const char* bad : {"=\"nan", "=\"-nan", "inf\""})
        EXPECT_EQ(svg.find(bad), std::string::npos) << where << ": a non-finite number";
      if (xmllint) {
        EXPECT_EQ(std::system(("xmllint --noout " + e.path().string()).c_str()), 0) << where;
      }
      if (rsvg) {
        const fs::path png = dir / "rendered.png";
        EXPECT_EQ(std::system(
                      ("rsvg-convert -o " + png.string() + " " + e.path().string() + " 2>/dev/null")
                          .c_str()),
                  0)
            << where;
        EXPECT_GT(fs::exists(png) ? fs::file_size(png) : 0, 1000u) << where;
        fs::remove(png);
      }
    }
    EXPECT_GE(svgs, 2) << code << ": a chart and its page, or two panes";
  }
  fs::remove_all(dir);
}

}  // namespace
