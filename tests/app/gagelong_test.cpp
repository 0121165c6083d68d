// qualty run gagelong as a black box on data/gage_study.csv (the AIAG
// average-and-range example): golden panes, the results keys against hand
// arithmetic, refused options, error states and the profile keys.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "harness.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kSource = QUALTY_SOURCE;
const std::string kStudy = kSource + "/data/gage_study.csv";
const std::string kRoles =
    " --var appraiser=Appraiser --var part=Part --var trial=Trial --var measurement=Measurement ";

using harness::Outcome;
using harness::slurp;

fs::path scratch() { return harness::scratch("gagelong", false); }

// Runs qualty with a profile of the given text (empty: a fresh profile).
Outcome qualty(const std::string& args, const std::string& profile_text = {}) {
  return harness::qualty_with_profile(args, profile_text);
}

json run_json(const std::string& args, const std::string& data = kStudy,
              const std::string& profile = {}) {
  const Outcome o = qualty("run gagelong" + kRoles + args + " --json " + data, profile);
  const json j = json::parse(o.out, nullptr, false);
  return j.is_discarded() ? json::object() : j;
}

fs::path write_csv(const std::string& name, const std::string& text) {
  const fs::path p = scratch() / name;
  std::ofstream(p) << text;
  return p;
}

TEST(GagelongRun, GoldenPanes) {
  struct Case {
    const char* args;
    const char* golden;
    int pane;
  } cases[] = {
      {"--variant 2 --set tolerance=5 --set reference=6", "gagelong_2_pane1", 1},
      {"--variant 2 --set tolerance=5 --set reference=6", "gagelong_2_pane2", 2},
      {"--variant 3", "gagelong_3_pane1", 1},
      {"--variant 3", "gagelong_3_pane2", 2},
      {"--variant 3", "gagelong_3_pane3", 3},
      {"--variant 3 --set option4=1 --set tolerance=5", "gagelong_3i_pane1", 1},
      {"--variant 3 --set option4=1 --set tolerance=5", "gagelong_3i_pane2", 2},
      {"--variant 3 --set option4=1 --set tolerance=5", "gagelong_3i_pane3", 3},
      {"--variant 4 --set tolerance=5", "gagelong_4_pane1", 1},
  };
  for (const Case& c : cases) {
    const json j = run_json(std::string(c.args) + " --pane " + std::to_string(c.pane));
    const std::string want = slurp(kSource + "/tests/golden/" + c.golden + ".txt");
    ASSERT_FALSE(want.empty()) << c.golden;
    EXPECT_EQ(j["panes"].value(std::to_string(c.pane), ""), want) << c.golden;
  }
}

// The golden files' key numbers by hand: R-bar-bar (1.84 + 5.13 + 3.28) / 30 =
// 0.341667, X-diff (5.71 + 7.63) / 30 = 0.444667, Rp (17.46 + 14.14) / 9 =
// 3.511111, EV = 5.15 x 0.341667 / d2*(3, 30) = 5.15 x 0.341667 / 1.700728 =
// 1.034606, %GRR of TV = 26.6355 (the compute test's chain), ndc = 5.
TEST(GagelongRun, ResultsOfTheAverageAndRangeStudy) {
  const json j = run_json("--variant 2");
  ASSERT_EQ(j.value("error", -1), 0);
  const json& r = j["results"];
  EXPECT_EQ(r["a"], 3);
  EXPECT_EQ(r["p"], 10);
  EXPECT_EQ(r["t"], 3);
  EXPECT_EQ(r["method"], 0);
  EXPECT_EQ(r["interaction"], 0);
  EXPECT_NEAR(r["rbarbar"].get<double>(), 10.25 / 30, 1e-12);
  EXPECT_NEAR(r["xdiff"].get<double>(), 13.34 / 30, 1e-12);
  EXPECT_NEAR(r["rp"].get<double>(), 31.6 / 9, 1e-12);
  EXPECT_NEAR(r["appraisers"]["xbar"][2].get<double>(), -7.63 / 30, 1e-12);
  EXPECT_NEAR(r["study"]["ev"].get<double>(), 5.15 * (10.25 / 30) / 1.7007275, 1e-6);
  EXPECT_EQ(r["study"]["int"], 0.0);
  EXPECT_NEAR(r["percent_tv"]["grr"].get<double>(), 26.6355, 1e-3);
  EXPECT_EQ(r["ndc"], 5);
  EXPECT_EQ(r["cells"]["range"].size(), 30u);
  EXPECT_NEAR(r["cells"]["range"][13].get<double>(), 1.02, 1e-12);  // B (a 1), part 4 (p 3)
  EXPECT_EQ(r["range_chart"]["beyond"], 1);
  // D2(3) of the published table: 4.358 (d2 + 3 d3 = 1.693 + 2.664 to rounding).
  EXPECT_NEAR(r["range_factors"]["d2"].get<double>(), 4.358, 1e-12);
  EXPECT_TRUE(r["anova"].is_null());
  EXPECT_TRUE(r["percent_tolerance"].is_null());
  EXPECT_TRUE(r["ms_error"].is_null());
  EXPECT_NEAR(r["nu"]["av"].get<double>(), 2.0, 0);  // d2*(3, 1) tabulated with nu 2
  EXPECT_TRUE(r["intervals"]["int"].is_null());
  EXPECT_FALSE(r["boxplot"].is_null());
  EXPECT_NEAR(r["coverage"].get<double>(), 98.9976, 1e-3);  // 100 (1 - 2 (1 - Phi(2.575)))
}

// AIAG (2010) ANOVA table: F 79.41 and 492.29 against MS_AP, 0.434 for the
// interaction; degrees of freedom 2, 9, 18, 60, 89.
TEST(GagelongRun, AnovaTableWithInteraction) {
  const json j = run_json("--variant 3 --set option4=1");
  const json& a = j["results"]["anova"];
  ASSERT_TRUE(a.is_object());
  EXPECT_EQ(j["results"]["interaction"], 1);
  EXPECT_EQ(a["interaction"]["df"], 18);
  EXPECT_EQ(a["error"]["df"], 60);
  EXPECT_EQ(a["total"]["df"], 89);
  EXPECT_NEAR(a["interaction"]["f"].get<double>(), 0.4337, 1e-4);
  EXPECT_NEAR(a["appraisers"]["f"].get<double>(), 79.41, 1e-2);
  EXPECT_NEAR(a["parts"]["f"].get<double>(), 492.29, 1e-2);
  EXPECT_GT(a["interaction"]["p"].get<double>(), 0.9);
  EXPECT_FALSE(a["total"].contains("ms"));
  EXPECT_TRUE(j["results"]["nu"]["pv"].is_null());
  const json pooled = run_json("--variant 3");
  EXPECT_TRUE(pooled["results"]["anova"]["interaction"].is_null());
  EXPECT_EQ(pooled["results"]["anova"]["error"]["df"], 78);
}

TEST(GagelongRun, RefusedAndAcceptedOptions) {
  struct Row {
    const char* set;
    int status;
  } rows[] = {{"tolerance=0", 2},   {"tolerance=1e7", 2},  {"reference=0", 2},
              {"multiple=0", 2},    {"multiple=21", 2},    {"tolerance=1e-9", 0},
              {"tolerance=1e6", 0}, {"multiple=20", 0},    {"multiple=1e-10", 0},
              {"confidence=0", 0},  {"confidence=100", 2}, {"bogus=1", 2}};
  for (const Row& r : rows) {
    const Outcome o = qualty("run gagelong --variant 2" + kRoles + "--set " + r.set + " " + kStudy);
    EXPECT_EQ(o.status, r.status) << r.set;
  }
  EXPECT_TRUE(run_json("--variant 2 --set confidence=0")["results"]["intervals"].is_null());
}

// k = 6 multiplies every study variation by 6 / 5.15 and leaves %TV alone.
TEST(GagelongRun, SigmaMultiple) {
  const json a = run_json("--variant 3")["results"],
             b = run_json("--variant 3 --set multiple=6")["results"];
  EXPECT_NEAR(b["study"]["grr"].get<double>(), a["study"]["grr"].get<double>() * 6 / 5.15, 1e-9);
  EXPECT_NEAR(b["percent_tv"]["grr"].get<double>(), a["percent_tv"]["grr"].get<double>(), 1e-9);
  EXPECT_EQ(b["k_multiple"], 6.0);
}

TEST(GagelongRun, ErrorStatesExitOne) {
  const fs::path one = write_csv("one.csv",
                                 "Appraiser,Part,Trial,Measurement\nA,1,1,1.0\nA,1,2,1.1\n"
                                 "A,2,1,2.0\nA,2,2,2.2\n");
  Outcome o = qualty("run gagelong --variant 2" + kRoles + "--json " + one.string());
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(json::parse(o.out)["error"], 9002);
  std::string text = slurp(kStudy);
  text.erase(text.rfind("C,10,3"));  // the last reading gone: unbalanced
  const fs::path short_one = write_csv("short.csv", text);
  o = qualty("run gagelong --variant 3" + kRoles + "--json " + short_one.string());
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(json::parse(o.out)["error"], 9004);
  const fs::path words = write_csv("words.csv", "Appraiser,Part,Trial,Measurement\nA,1,1,x\n");
  EXPECT_NE(qualty("run gagelong --variant 2" + kRoles + words.string()).status, 0);
}

// Labels, GageMultiple and GageMethod from the profile's "Snap" section.
TEST(GagelongRun, ProfileKeys) {
  const std::string profile =
      "[Snap]\nAppraisers=Operators\nGageMultiple=6\nGageMethod=1\n[BOXPLOT]\noption24=0\n";
  const json j = run_json("--variant 4 --pane 1", kStudy, profile);
  EXPECT_EQ(j["results"]["method"], 1);
  EXPECT_EQ(j["results"]["interaction"], 1);
  EXPECT_EQ(j["results"]["k_multiple"], 6.0);
  EXPECT_NE(j["panes"]["1"].get<std::string>().find("Operators: Appraiser"), std::string::npos);
  EXPECT_TRUE(run_json("--variant 2", kStudy, profile)["results"]["boxplot"].is_null());
  const json text_method = run_json("--variant 4", kStudy, "[Snap]\nGageMethod=abc\n");
  EXPECT_EQ(text_method["results"]["method"], 0);
}

TEST(GagelongRun, Describe) {
  const Outcome o = qualty("describe gagelong --json");
  ASSERT_EQ(o.status, 0);
  for (const char* name : {"multiple", "tolerance", "reference", "confidence", "method", "option4",
                           "option2", "option22"})
    EXPECT_NE(o.out.find(std::string("\"") + name + "\""), std::string::npos) << name;
}

}  // namespace
