// The advisor through qualty as a black box: --advice appends each pane's
// interpretation, --json lists it under "advice" with its sentence numbers,
// golden advice texts whose key numbers are worked out here from the data,
// and the custom chart's frame and lines.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using harness::Outcome;
using harness::qualty;
using harness::slurp;

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kData = std::string(QUALTY_SOURCE) + "/data/";
const std::string kGolden = std::string(QUALTY_SOURCE) + "/tests/golden/";

fs::path scratch(const std::string& name) { return harness::scratch("advice-" + name); }

// ARGS up to the data FILE (the options that take lists must not meet the file).
json run_json(const std::string& args, const std::string& file, int want_status = 0) {
  const Outcome o = qualty("run " + args + " --json " + file);
  EXPECT_EQ(o.status, want_status) << args << "\n" << o.err;
  return json::parse(o.out, nullptr, false);
}

std::vector<int> sentences(const json& doc, const std::string& pane) {
  return doc["advice"][pane]["sentences"].get<std::vector<int>>();
}

std::string six(double v) {  // six significant digits, as the sentences write numbers
  char b[32];
  std::snprintf(b, sizeof b, "%.6g", v);
  return b;
}

// The advice of every pane built, keyed by pane; graph panes too.
TEST(Advice, EveryPaneBuiltHasItsEntry) {
  const json doc = run_json("vchart --chart 0 --var data=Diameter --var subgroup=Sample --advice",
                            kData + "diameters.csv");
  ASSERT_TRUE(doc.contains("advice"));
  std::vector<std::string> keys;
  for (const auto& [k, v] : doc["advice"].items()) {
    keys.push_back(k);
    EXPECT_TRUE(v["text"].is_string()) << k;
    EXPECT_FALSE(v["sentences"].empty()) << k;
    // with --advice a text pane ends with its interpretation
    if (doc["panes"].contains(k)) {
      const std::string pane = doc["panes"][k], advice = v["text"];
      EXPECT_EQ(pane.substr(pane.size() - advice.size()), advice) << k;
    }
  }
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<std::string>{"1", "10", "2", "3", "4", "8", "9"}));
  // no point beyond either chart: the counts, and the verdict for P = 1
  EXPECT_EQ(sentences(doc, "1"), (std::vector<int>{44010, 44011, 44011, 44015, 6166, 6167, 6090}));
}

// X-bar and R of data/diameters.csv, 25 subgroups of 5: the golden advice of
// panes 1 and 2, whose numbers are the grand mean, x-bar-bar +- A2 R-bar,
// R-bar, D4 R-bar and R-bar / d2, with the factors for n = 5 from d2 = 2.326
// and d3 = 0.864 (the table to three places): A2 = 3 / (d2 sqrt 5) = 0.576797,
// D4 = 1 + 3 d3 / d2 = 2.114359.
TEST(Advice, GoldenControlChart) {
  std::ifstream in(kData + "diameters.csv");
  std::string line;
  std::getline(in, line);
  std::map<int, std::vector<double>> groups;
  while (std::getline(in, line)) {
    const size_t c = line.find(',');
    groups[std::stoi(line.substr(0, c))].push_back(std::stod(line.substr(c + 1)));
  }
  double sum_mean = 0, sum_range = 0;
  for (const auto& [g, x] : groups) {
    double s = 0;
    for (double v : x) s += v;
    sum_mean += s / static_cast<double>(x.size());
    sum_range += *std::max_element(x.begin(), x.end()) - *std::min_element(x.begin(), x.end());
  }
  const double k = static_cast<double>(groups.size());
  const double xbb = sum_mean / k, rbar = sum_range / k;
  const double a2 = 3 / (2.326 * std::sqrt(5.0)), d4 = 1 + 3 * 0.864 / 2.326;
  const json doc = run_json("vchart --chart 0 --var data=Diameter --var subgroup=Sample",
                            kData + "diameters.csv");
  const std::string g1 = slurp(kGolden + "advice_vchart_0_pane1.txt");
  ASSERT_FALSE(g1.empty());
  EXPECT_EQ(doc["advice"]["1"]["text"], g1);
  EXPECT_EQ(doc["advice"]["2"]["text"], slurp(kGolden + "advice_vchart_0_pane2.txt"));
  for (double v : {xbb, xbb - a2 * rbar, xbb + a2 * rbar, rbar, d4 * rbar, rbar / 2.326})
    EXPECT_NE(g1.find(six(v)), std::string::npos) << six(v) << " in\n" << g1;
  EXPECT_NE(g1.find("plots 25 points"), std::string::npos);
}

// data/defects.csv: 120 defects in 8 classes; Scratch 34 (28.33 percent),
// the first five 34 + 25 + 18 + 14 + 11 = 102 (85.00 percent, the first to
// reach 80).
TEST(Advice, GoldenPareto) {
  const json doc = run_json("pareto --var raw=Defect --pane 1 --pane 2", kData + "defects.csv");
  const std::string g2 = slurp(kGolden + "advice_pareto_pane2.txt");
  EXPECT_EQ(doc["advice"]["1"]["text"], slurp(kGolden + "advice_pareto_pane1.txt"));
  EXPECT_EQ(doc["advice"]["2"]["text"], g2);
  EXPECT_EQ(sentences(doc, "2"), (std::vector<int>{8061, 8062, 8064}));
  EXPECT_NE(g2.find("Scratch, holds 28.33 percent"), std::string::npos) << g2;
  EXPECT_NE(g2.find("first 5 classes"), std::string::npos) << g2;
  EXPECT_NE(g2.find("85.00 percent"), std::string::npos) << g2;
}

// Capability on the X-bar and R chart of data/diameters.csv: sigma = R-bar /
// d2 = 0.02288 / 2.326 = 0.0098366, mean 25.40032. With LSL 25.35 and USL
// 25.43, Cp = 0.08 / (6 sigma) = 1.3555 (third band) and Cpk = (25.43 -
// 25.40032) / (3 sigma) = 1.0058, a quarter below Cp: off centre. With LSL
// 25.37, Cp = 0.06 / (6 sigma) = 1.0166 (second band), Cpk 1.0058: centred.
TEST(Advice, CapabilityOnTheChart) {
  struct Row {
    std::string options;
    std::vector<int> want;
  };
  const Row rows[] = {
      {"--set doption16=25.43 --set doption18=25.35", {44061, 8096, 8099, 8100}},
      {"--set doption16=25.43 --set doption18=25.37", {44061, 8095, 8099}},
      {"--set doption16=25.43 --set doption18=25.35 --set option25=0", {44061, 8096}},
      {"", {44060}},
  };
  for (const Row& r : rows) {
    const json doc =
        run_json("vchart --chart 0 --var data=Diameter --var subgroup=Sample --pane 4 " + r.options,
                 kData + "diameters.csv");
    EXPECT_EQ(sentences(doc, "4"), r.want) << r.options;
  }
}

// 20 individuals 10, 11, 10, 11, ... with point 10 at 20: moving ranges 1,
// except 10 and 10 beside the outlier, MR-bar = (17 + 20) / 19 = 1.94737,
// sigma = 1.94737 / 1.128 = 1.72639, mean 219 / 20 = 10.95, UCL 16.1292: one
// point beyond chart 1; MR UCL 3.267 x 1.94737 = 6.362: two beyond chart 2.
// Chart 2 has more, so the chance is of 2 or more of its 19 points beyond
// 3-sigma limits: 1 - (1-q)^19 - 19 q (1-q)^18, q = 0.0026998, = 0.0012087.
TEST(Advice, IndividualsWithAnOutlier) {
  const fs::path dir = scratch("ind");
  std::ofstream csv(dir / "x.csv");
  csv << "X\n";
  for (int i = 0; i < 20; ++i) csv << (i == 9 ? 20 : 10 + i % 2) << "\n";
  csv.close();
  const json doc = run_json("vchart --chart 3 --var data=X", (dir / "x.csv").string());
  EXPECT_EQ(sentences(doc, "1"),
            (std::vector<int>{44010, 44011, 44011, 44015, 6083, 6086, 6087, 6088}));
  const std::string t = doc["advice"]["1"]["text"];
  EXPECT_NE(t.find("2 or more of 19 points"), std::string::npos) << t;
  const double q = 0.0026998;
  const double p = 1 - std::pow(1 - q, 19) - 19 * q * std::pow(1 - q, 18);
  const size_t at = t.find("with probability ", t.find("2 or more"));
  ASSERT_NE(at, std::string::npos);
  EXPECT_NEAR(std::stod(t.substr(at + 17)), p, 2e-7) << t;
  EXPECT_EQ(sentences(doc, "2"), (std::vector<int>{44030, 44031, 44031}));
  EXPECT_NE(doc["advice"]["2"]["text"].get<std::string>().find("moving range chart: 10, 11."),
            std::string::npos);
}

// A cumulative sum of 20 values 10, 11, 10, ... then 20 values 2 higher: the
// V-mask at the last point has points outside its arms, and the summary
// speaks of the mask, not of chart 1's limits (a cumulative sum has none).
TEST(Advice, CusumSpeaksThroughItsMask) {
  const fs::path dir = scratch("cusum");
  std::ofstream csv(dir / "x.csv");
  csv << "X\n";
  for (int i = 0; i < 40; ++i) csv << 10 + i % 2 + (i >= 20 ? 2 : 0) << "\n";
  csv.close();
  const json doc =
      run_json("vchart --chart 10 --var data=X --pane 1 --pane 8", (dir / "x.csv").string());
  for (const char* pane : {"1", "8"}) {
    const std::vector<int> n = sentences(doc, pane);
    EXPECT_NE(std::find(n.begin(), n.end(), 44077), n.end()) << pane;  // the mask
    EXPECT_NE(std::find(n.begin(), n.end(), 44078), n.end()) << pane;  // points outside it
    for (int not_said : {6166, 6083, 6084, 6087})
      EXPECT_EQ(std::find(n.begin(), n.end(), not_said), n.end()) << pane << " " << not_said;
  }
}

TEST(Advice, ErrorStateSaysSoInOneSentence) {
  const fs::path dir = scratch("err");
  std::ofstream(dir / "x.csv") << "X\n-32768\n-32768\n";
  const json doc = run_json("vchart --chart 3 --var data=X", (dir / "x.csv").string(), 1);
  ASSERT_TRUE(doc["advice"].contains("1"));
  EXPECT_EQ(sentences(doc, "1"), (std::vector<int>{44000}));
}

TEST(Advice, GraphPanesPrintTheirAdvice) {
  const Outcome o =
      qualty("run pareto --var raw=Defect --pane 8 --advice " + kData + "defects.csv");
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("pane 8:\nThe Pareto chart shows 8 bars"), std::string::npos) << o.out;
}

// Three lines, one vertical and two horizontal, on a sheet with a header only.
TEST(CustomChart, LinesInJsonAndOnTheChart) {
  const fs::path dir = scratch("custom");
  std::ofstream(dir / "empty.csv") << "A\n";
  const std::string args =
      "custom --set title1=Wear --set title2=Hours --set doption0=10 --set doption1=60 "
      "--set doption6=25 --set option0=1 --set doption8=1.5 --set doption9=80 --pane 1 --pane 8 "
      "--out " +
      (dir / "out").string();
  const json doc = run_json(args, (dir / "empty.csv").string());
  const json& r = doc["results"];
  EXPECT_EQ(r["line_count"], 3);
  EXPECT_EQ(r["titles"], json::array({"Wear", "Hours", ""}));
  EXPECT_EQ(r["x_axis"], json({{"min", 10}, {"max", 60}, {"increment", 20}}));
  const json want = json::parse(R"([
    {"line": 1, "orientation": 1, "position": 25, "from": [25, 0], "to": [25, 100]},
    {"line": 3, "orientation": 0, "position": 1.5, "from": [10, 1.5], "to": [60, 1.5]},
    {"line": 4, "orientation": 0, "position": 80, "from": [10, 80], "to": [60, 80]}])");
  EXPECT_EQ(r["lines"], want);
  EXPECT_EQ(sentences(doc, "8"), (std::vector<int>{8056, 8057, 8059, 8060, 8060}));
  const std::string svg = slurp(dir / "out" / "pane8.svg");
  for (const char* label : {"Line 1", "Line 3", "Line 4", "Wear", "Hours"})
    EXPECT_NE(svg.find(label), std::string::npos) << label;
}

// The orientation is read as the form's label (or 1): any other text is horizontal.
TEST(CustomChart, OrientationByLabel) {
  const fs::path dir = scratch("orient");
  std::ofstream(dir / "empty.csv") << "A\n";
  const json doc = run_json(
      "custom --set doption6=5 --set option0=vertical --set doption7=6 --set option1=sideways "
      "--set doption8=7 --set option2=1",
      (dir / "empty.csv").string());
  const json& lines = doc["results"]["lines"];
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0]["orientation"], 1);
  EXPECT_EQ(lines[1]["orientation"], 0);
  EXPECT_EQ(lines[2]["orientation"], 1);
}

// A saved custom analysis reopens with its titles, axes and lines.
TEST(CustomChart, ReopensWithItsTitles) {
  const fs::path dir = scratch("reopen");
  std::ofstream(dir / "empty.csv") << "A\n";
  const std::string sheet = (dir / "empty.csv").string(), saved = (dir / "c.qa").string();
  const json first = run_json(
      "custom --set title1=Wear --set title3=um --set doption1=50 --set doption6=40 --set "
      "option0=1 "
      "--analysis-out " +
          saved,
      sheet);
  const Outcome o = qualty("reopen " + saved + " " + sheet + " --json");
  ASSERT_EQ(o.status, 0) << o.err;
  const json again = json::parse(o.out, nullptr, false);
  EXPECT_EQ(again["results"], first["results"]);
  EXPECT_EQ(again["results"]["titles"], json::array({"Wear", "", "um"}));
}

TEST(CustomChart, InputFormRefusals) {
  const fs::path dir = scratch("refuse");
  std::ofstream(dir / "empty.csv") << "A\n";
  const std::string sheet = " " + (dir / "empty.csv").string();
  for (const char* bad :
       {"--set doption1=0", "--set doption4=-1", "--set doption2=1e-300", "--set doption5=0"}) {
    const Outcome o = qualty(std::string("run custom ") + bad + sheet);
    EXPECT_EQ(o.status, 2) << bad;
    EXPECT_EQ(o.err.rfind("qualty: ", 0), 0u) << o.err;
    EXPECT_TRUE(o.out.empty()) << "no frame: " << bad;
  }
  // the largest axes are accepted and drawn
  const Outcome big = qualty(
      "run custom --set doption0=-1e308 --set doption1=1e308 --set doption2=1e307 "
      "--set doption6=0 --set option0=1 --pane 8 --out " +
      (dir / "big").string() + sheet);
  EXPECT_EQ(big.status, 0) << big.err;
  EXPECT_TRUE(fs::exists(dir / "big" / "pane8.svg"));
}

}  // namespace
