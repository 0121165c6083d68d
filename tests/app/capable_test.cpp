// qualty run capable as a black box on data/diameters.csv (limits 25.37 and
// 25.43, nominal 25.40): golden panes 1, 2 and 6 with their key numbers
// recomputed here by plain loops, the results JSON, the variants and the
// error states.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
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
const std::string kLimits = "--var usl=25.43 --var nominal=25.40 --var lsl=25.37 ";

fs::path scratch(const std::string& name) { return harness::scratch("capable-" + name); }

std::vector<double> diameters() {
  std::ifstream in(kData + "diameters.csv");
  std::string line;
  std::getline(in, line);
  std::vector<double> x;
  while (std::getline(in, line)) x.push_back(std::stod(line.substr(line.find(',') + 1)));
  return x;
}

// The data file goes last, after a flag: --var takes every word up to the next option.
json run_json(const std::string& args, const std::string& file) {
  const Outcome r = qualty("run capable " + args + " --json " + file);
  return json::parse(r.out, nullptr, false);
}

TEST(CapableRun, GoldenPanesAndTheirNumbers) {
  const fs::path dir = scratch("golden");
  const Outcome r =
      qualty("run capable --var data=Diameter " + kLimits + "--pane 1 --pane 2 --pane 6 --out " +
             dir.string() + " " + kData + "diameters.csv");
  ASSERT_EQ(r.status, 0);
  for (int pane : {1, 2, 6}) {
    const std::string golden = slurp(fs::path(QUALTY_SOURCE) / "tests/golden" /
                                     ("capable_pane" + std::to_string(pane) + ".txt"));
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(slurp(dir / ("pane" + std::to_string(pane) + ".txt")), golden) << "pane " << pane;
  }
  // The golden numbers by hand: mean, s, Cp = 0.06 / 6s, CPU = (25.43 - mean) / 3s,
  // K = (mean - 25.40) / 0.03, P above = 1 - Phi((25.43 - mean) / s).
  const std::vector<double> x = diameters();
  double sum = 0, ss = 0;
  for (double v : x) sum += v;
  const double n = static_cast<double>(x.size()), mean = sum / n;
  for (double v : x) ss += (v - mean) * (v - mean);
  const double s = std::sqrt(ss / (n - 1));
  EXPECT_NEAR(mean, 25.4003, 5e-5);
  EXPECT_NEAR(s, 0.00969087, 5e-9);
  EXPECT_NEAR(0.06 / (6 * s), 1.0319, 5e-5);
  EXPECT_NEAR((25.43 - mean) / (3 * s), 1.02227, 5e-6);
  EXPECT_NEAR((mean - 25.37) / (3 * s), 1.04153, 5e-6);
  EXPECT_NEAR((mean - 25.40) / 0.03, 0.00933333, 5e-9);
  EXPECT_NEAR(mean + 3 * s, 25.4294, 5e-5);
  // (the library's normal cdf is good to about 1e-7, 0.1 ppm)
  EXPECT_NEAR(0.5 * std::erfc((25.43 - mean) / s / std::sqrt(2.0)) * 1e6, 1081.87, 0.12);
  EXPECT_NEAR(0.5 * std::erfc((mean - 25.37) / s / std::sqrt(2.0)) * 1e6, 890.33, 0.12);
  // Cp's 95 % interval: chi2(0.025, 124) = 94.0 and chi2(0.975, 124) = 157.8 (Wilson-Hilferty).
  const double z = 1.959963985, c = 2.0 / (9 * 124);
  const double lo = 124 * std::pow(1 - c - z * std::sqrt(c), 3);
  const double hi = 124 * std::pow(1 - c + z * std::sqrt(c), 3);
  EXPECT_NEAR(0.06 / (6 * s) * std::sqrt(lo / 124), 0.903518, 2e-4);
  EXPECT_NEAR(0.06 / (6 * s) * std::sqrt(hi / 124), 1.16007, 2e-4);
  // Pearson pane: Cp = (USL - LSL) / (U - L) and CPU = (USL - M) / (U - M) with its U, M, L.
  EXPECT_NEAR(0.06 / (25.4185 - 25.374), 1.34916, 2e-3);
  // (from the printed six digits: U - M = 0.0174 is known to 0.5 %)
  EXPECT_NEAR((25.43 - 25.4011) / (25.4185 - 25.4011), 1.65801, 1e-2);
}

TEST(CapableRun, ResultsJsonKeys) {
  const json doc = run_json("--var data=Diameter " + kLimits, kData + "diameters.csv");
  ASSERT_TRUE(doc.is_object());
  EXPECT_EQ(doc["error"], 0);
  const json& r = doc["results"];
  std::set<std::string> keys;
  for (const auto& [k, v] : r.items()) keys.insert(k);
  const std::set<std::string> want = {"status",
                                      "n",
                                      "mean",
                                      "sd",
                                      "median",
                                      "skewness",
                                      "kurtosis",
                                      "min",
                                      "max",
                                      "distribution",
                                      "params",
                                      "dist_mean",
                                      "observed",
                                      "estimated",
                                      "ppm",
                                      "z",
                                      "k_multiple",
                                      "indices",
                                      "intervals",
                                      "natural_limits",
                                      "pearson",
                                      "normality",
                                      "fit",
                                      "tolerance_normal",
                                      "tolerance_nonparametric"};
  EXPECT_EQ(keys, want);
  EXPECT_EQ(r["status"], 0);
  EXPECT_EQ(r["n"], 125);
  EXPECT_EQ(r["distribution"], 3);
  EXPECT_TRUE(r["params"][2].is_null());
  EXPECT_EQ(r["observed"]["total"], 0);
  EXPECT_NEAR(r["ppm"]["above"].get<double>(), r["estimated"]["above"].get<double>() * 1e4, 1e-9);
  EXPECT_NEAR(r["indices"]["cp"].get<double>(), 1.0319, 5e-5);
  EXPECT_EQ(r["intervals"]["cp"].size(), 2u);
  EXPECT_TRUE(r["pearson"]["message"].is_null());
  EXPECT_EQ(r["k_multiple"], 6);
}

TEST(CapableRun, SigmaMultipleAndAnotherDistribution) {
  json r = run_json("--var data=Diameter " + kLimits + "--set option10=1 --set doption0=5.15",
                    kData + "diameters.csv")["results"];
  EXPECT_EQ(r["k_multiple"], 5.15);
  EXPECT_NEAR(r["indices"]["cp"].get<double>(), 0.06 / (5.15 * 0.00969087), 1e-5);
  r = run_json("--var data=Diameter " + kLimits + "--set option0=14",
               kData + "diameters.csv")["results"];
  EXPECT_EQ(r["distribution"], 14);
  EXPECT_TRUE(r["intervals"]["cp"].is_null());  // normal distribution only
  EXPECT_TRUE(r["natural_limits"]["upper"].is_null());
}

// Options arrive after the first computation: a new distribution refits
// (the normal mean and sd are not carried over as its parameters), while
// parameters entered with option 38 are kept.
TEST(CapableRun, ChangedDistributionRefitsAndEnteredParametersStay) {
  json r = run_json("--var data=Diameter " + kLimits + "--set option0=4",
                    kData + "diameters.csv")["results"];
  EXPECT_EQ(r["params"][2], 0);                  // the Weibull threshold
  EXPECT_GT(r["params"][0].get<double>(), 100);  // a shape, not the mean 25.4
  EXPECT_NEAR(r["dist_mean"].get<double>(), 25.4003, 1e-3);
  // Entered mean 25.40 and sd 0.01: Cp = 0.06 / (6 x 0.01) = 1, Cpk = 0.03 / 0.03 = 1.
  r = run_json("--var data=Diameter " + kLimits +
                   "--set option38=1 --set doption13=25.40 --set doption14=0.01",
               kData + "diameters.csv")["results"];
  EXPECT_EQ(r["params"][0], 25.4);
  EXPECT_NEAR(r["indices"]["cp"].get<double>(), 1, 1e-9);
  EXPECT_NEAR(r["indices"]["cpk"].get<double>(), 1, 1e-9);
  EXPECT_EQ(r["n"], 125);
}

TEST(CapableRun, SubgroupedVariant) {
  // 25 samples of 5: by the Sample codes and by the fixed size 5 alike.
  for (const std::string sub : {"Sample", "5"}) {
    const json r = run_json("--variant 2 --var data=Diameter --var subgroup=" + sub + " " + kLimits,
                            kData + "diameters.csv")["results"];
    ASSERT_TRUE(r.contains("subgroups")) << sub;
    EXPECT_FALSE(r.contains("pearson"));
    const json& g = r["subgroups"];
    EXPECT_EQ(g["count"], 25) << sub;
    EXPECT_EQ(g["nbar"], 5) << sub;
    EXPECT_EQ(g["fixed_size"], sub == "5" ? 1 : 0);
    EXPECT_EQ(g["sizes"].size(), 25u);
  }
  // Two data columns of 10 rows: 20 observations, each row one subgroup of 2.
  const fs::path dir = scratch("two");
  std::ofstream(dir / "two.csv")
      << "A,B\n1,2\n3,4\n5,6\n7,8\n9,10\n11,12\n13,14\n15,16\n17,18\n19,20\n";
  const json r = run_json("--variant 2 --var data=A --var data=B --var usl=30",
                          (dir / "two.csv").string())["results"];
  EXPECT_EQ(r["n"], 20);
  EXPECT_EQ(r["subgroups"]["count"], 10);
  EXPECT_EQ(r["subgroups"]["means"][0], 1.5);
}

TEST(CapableRun, CapabilityChartOnePaneAndItsAdvice) {
  // --out writes the summary and the composite once, under pane 8.
  const fs::path dir = scratch("chart");
  const Outcome o = qualty("run capable --variant 1 --var data=Diameter " + kLimits + "--out " +
                           dir.string() + " " + kData + "diameters.csv");
  ASSERT_EQ(o.status, 0) << o.err;
  std::set<std::string> files;
  for (const auto& e : fs::directory_iterator(dir)) files.insert(e.path().filename().string());
  EXPECT_EQ(files, (std::set<std::string>{"pane1.txt", "pane8.svg"}));
  // The within-sigma sentence: moving ranges; subgroups of 5 by R-bar, or by
  // S-bar when the dispersion option asks for standard deviations.
  struct Row {
    std::string args;
    int32_t want;
  };
  const Row rows[] = {{"--variant 1", 8083},
                      {"--variant 2 --var subgroup=5", 8085},
                      {"--variant 2 --var subgroup=5 --set dispersion=1", 8084}};
  for (const Row& r : rows) {
    const json doc = run_json(r.args + " --var data=Diameter " + kLimits, kData + "diameters.csv");
    ASSERT_TRUE(doc["advice"].contains("8")) << r.args;
    const json& said = doc["advice"]["8"]["sentences"];
    EXPECT_NE(std::find(said.begin(), said.end(), r.want), said.end()) << r.args << said;
  }
}

TEST(CapableRun, ClassRuleAndCountTakeEffect) {
  // n 125, classes on [25.37, 25.43]: Sturges ceil(3.322 log10 125 + 1) = ceil(7.966) = 8,
  // 10 log10 125 = 20.97 -> 21, or the given count.
  struct Row {
    std::string set;
    int want;
  };
  const Row rows[] = {
      {"", 8}, {"--set class_rule=1 ", 21}, {"--set class_rule=4 --set classes=7 ", 7}};
  for (const Row& r : rows) {
    const json doc = run_json("--var data=Diameter " + r.set, kData + "diameters.csv");
    EXPECT_EQ(doc["results"]["fit"]["classes"]["count"], r.want) << r.set;
  }
  // 35 of 40 values tied: rule 3 has an interquartile range of 0 and says so.
  const fs::path dir = scratch("ties");
  std::ofstream csv(dir / "ties.csv");
  csv << "x\n";
  for (int i = 0; i < 40; ++i)
    csv << (i < 35 ? 5 : 5 + i) << "\n";  // quartiles at 10.25, 30.75: both 5
  csv.close();
  const Outcome o =
      qualty("run capable --var data=x --set class_rule=3 --pane 4 " + (dir / "ties.csv").string());
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_NE(o.out.find("interquartile range is 0"), std::string::npos) << o.out;
}

TEST(CapableRun, ErrorStates) {
  const fs::path dir = scratch("errors");
  std::ofstream(dir / "five.csv") << "X,T\n1,a\n2,b\n3,c\n4,d\n5,e\n";
  std::ofstream(dir / "blank.csv") << "X,Y\n,1\n,2\n,3\n";
  std::ofstream(dir / "same.csv") << "X\n4\n4\n4\n4\n4\n4\n";
  struct Row {
    std::string args, file;
    int exit, error, status;
  };
  const Row rows[] = {
      {"--var data=X", (dir / "five.csv").string(), 1, 1007, 1007},
      {"--var data=X", (dir / "blank.csv").string(), 1, 1007, 3},
      {"--var data=X", (dir / "same.csv").string(), 1, 1042, 1042},
      {"--var data=Diameter --var usl=25.40 --var nominal=25.40", kData + "diameters.csv", 1, 1170,
       1170},
      {"--var data=Diameter --set option0=0 --var usl=30", kData + "diameters.csv", 0, 0, 0},
  };
  for (const Row& row : rows) {
    const Outcome o = qualty("run capable " + row.args + " --json " + row.file);
    EXPECT_EQ(o.status, row.exit) << row.args;
    const json doc = json::parse(o.out, nullptr, false);
    ASSERT_TRUE(doc.is_object()) << row.args;
    EXPECT_EQ(doc["error"], row.error) << row.args;
    EXPECT_EQ(doc["results"]["status"], row.status) << row.args;
  }
  // A text data column and a refused sigma multiple.
  EXPECT_EQ(qualty("run capable --var data=T --json " + (dir / "five.csv").string()).status, 1);
  EXPECT_EQ(
      qualty("run capable --var data=Diameter --set doption0=0 --json " + kData + "diameters.csv")
          .status,
      2);
  EXPECT_EQ(qualty("run capable --var data=Diameter --set doption0=1e300 --json " + kData +
                   "diameters.csv")
                .status,
            2);
}

TEST(CapableRun, GoldenTestPanesAndTheirNumbers) {
  const fs::path dir = scratch("golden-tests");
  const Outcome r = qualty("run capable --var data=Diameter " + kLimits +
                           "--pane 3 --pane 4 --pane 5 --pane 7 --out " + dir.string() + " " +
                           kData + "diameters.csv");
  ASSERT_EQ(r.status, 0);
  for (int pane : {3, 4, 5, 7}) {
    const std::string golden = slurp(fs::path(QUALTY_SOURCE) / "tests/golden" /
                                     ("capable_pane" + std::to_string(pane) + ".txt"));
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(slurp(dir / ("pane" + std::to_string(pane) + ".txt")), golden) << "pane " << pane;
  }
  // Pane 4's rows by hand: each contribution is (O - E)^2 / E of its row, and
  // the chi-square their sum: 2.03 + 0.25 + 0.39 + 0.17 + 3.56 + 2.04 = 8.44.
  const double o[6] = {11, 17, 31, 33, 29, 4}, e[6] = {7.18, 19.20, 34.68, 35.43, 20.47, 8.05};
  const double c[6] = {2.03, 0.25, 0.39, 0.17, 3.56, 2.04};
  double sum = 0, n = 0;
  for (int i = 0; i < 6; ++i) {
    EXPECT_NEAR((o[i] - e[i]) * (o[i] - e[i]) / e[i], c[i], 0.006) << i;
    sum += c[i];
    n += o[i];
  }
  EXPECT_EQ(n, 125);
  EXPECT_NEAR(sum, 8.43681, 0.02);
  // Pane 7: A = 4 x 125 - 2 (2 - 1) = 498, chi2(0.95, 4) = 9.487729 (tables):
  // coverage = (498 / 9.487729 - 1) / (498 / 9.487729 + 1) = 96.2609 %.
  const double a = 498 / 9.487729;
  EXPECT_NEAR(100 * (a - 1) / (a + 1), 96.2609, 5e-5);
  // Pane 5 against Howe's (1969) approximation z sqrt((n - 1)(1 + 1/n) / chi2(0.05, n - 1)):
  // z(0.99865) = 3.0000, chi2(0.05, 124) = 99.28 (Wilson-Hilferty): K = 3.3661.
  const json j = run_json("--var data=Diameter " + kLimits, kData + "diameters.csv");
  const json& t = j["results"]["tolerance_normal"];
  EXPECT_NEAR(t["k"].get<double>(), 3.0 * std::sqrt(124 * 1.008 / 99.28), 0.001);
  EXPECT_EQ(t["two_sided"], true);
  EXPECT_NEAR(t["upper"].get<double>(), 25.4003 + t["k"].get<double>() * 0.00969087, 1e-4);
}

TEST(CapableRun, TestKeysNullOnErrorAndOrderBeyondData) {
  const json beyond =
      run_json("--var data=Diameter " + kLimits + "--set option12=200", kData + "diameters.csv");
  const json& np = beyond["results"]["tolerance_nonparametric"];
  EXPECT_TRUE(np["r"].is_null());
  EXPECT_TRUE(np["upper"].is_null());
  EXPECT_TRUE(np["coverage"].is_null());
  EXPECT_EQ(np["m"], 200);
  // Limits out of order: status 1170, the four keys null.
  const json bad =
      run_json("--var data=Diameter --var usl=25.3 --var lsl=25.5", kData + "diameters.csv");
  for (const char* k : {"normality", "fit", "tolerance_normal", "tolerance_nonparametric"})
    EXPECT_TRUE(bad["results"][k].is_null()) << k;
  // Percentages of 0, 100 and 150 and a class count of 0 or 10^9 are refused.
  for (const char* set :
       {"doption7=0", "doption6=100", "doption4=150", "option49=0", "option49=1000000000"})
    EXPECT_NE(qualty("run capable --var data=Diameter --set " + std::string(set) + " --json " +
                     kData + "diameters.csv")
                  .status,
              0)
        << set;
}

}  // namespace
