// qualty run gagerr and gageset as a black box: the AIAG range-method
// example (data/gage_range.csv), golden panes, refused options, the plan's
// seed and its save into the data sheet.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "harness.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kSource = QUALTY_SOURCE;
const std::string kRange = kSource + "/data/gage_range.csv";
const std::string kPair = " --var first=AppraiserA --var second=AppraiserB ";

using harness::Outcome;
using harness::slurp;

fs::path scratch() { return harness::scratch("gage-short", false); }

Outcome qualty(const std::string& args, const std::string& profile_text = {}) {
  return harness::qualty_with_profile(args, profile_text);
}

json as_json(const Outcome& o) {
  const json j = json::parse(o.out, nullptr, false);
  return j.is_discarded() ? json::object() : j;
}

fs::path sheet() {
  const fs::path p = scratch() / "sheet.csv";
  std::ofstream(p) << "Note\n";
  return p;
}

// AIAG (2010), range method: R-bar 0.07, d2*(2, 5) = 1.189185 (1.19 in the
// manual), sigma 0.058864, with tolerance 1: 100 x 5.15 x 0.058864 = 30.315 %.
TEST(GagerrRun, AiagExampleAndGoldenSummary) {
  const json j =
      as_json(qualty("run gagerr --variant 1" + kPair + "--set tolerance=1 --json " + kRange));
  ASSERT_EQ(j.value("error", -1), 0);
  const json& r = j["results"];
  EXPECT_EQ(r["n"], 5);
  EXPECT_EQ(r["last_row"], 5);
  EXPECT_NEAR(r["rbar"].get<double>(), 0.07, 1e-12);
  EXPECT_NEAR(r["sigma_grr"].get<double>(), 0.058864, 1e-6);
  EXPECT_NEAR(r["percent_tolerance"].get<double>(), 30.315, 1e-3);
  EXPECT_NEAR(r["range_chart"]["ucl"].get<double>(), 0.07 * (1 + 3 * 0.853 / 1.128), 1e-12);
  EXPECT_EQ(j["panes"].value("1", ""), slurp(kSource + "/tests/golden/gagerr_1_pane1.txt"));
  const json plain = as_json(qualty("run gagerr" + kPair + "--json " + kRange));
  EXPECT_EQ(plain["variant"], 1);  // the default variant
  EXPECT_TRUE(plain["results"]["percent_tolerance"].is_null());
}

TEST(GagerrRun, RefusalsAndErrors) {
  struct Row {
    const char* args;
    int status;
  } rows[] = {{"--set tolerance=0", 2},  {"--set tolerance=1e7", 2}, {"--set multiple=0", 2},
              {"--set multiple=100", 0}, {"--variant 3", 2},         {"--variant 0", 0}};
  for (const Row& r : rows)
    EXPECT_EQ(qualty("run gagerr" + kPair + r.args + " " + kRange).status, r.status) << r.args;
  const fs::path one = scratch() / "one.csv";
  std::ofstream(one) << "A,B\n1.0,1.2\n,3\n";
  const Outcome o = qualty("run gagerr --var first=A --var second=B --json " + one.string());
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(as_json(o)["error"], 1007);
}

TEST(GageSetRun, PlanListingAndSeed) {
  Outcome o =
      qualty("run gageset --set option0=2 --set option1=3 --set option2=2 --pane 1 --json " +
             sheet().string());
  ASSERT_EQ(o.status, 0);
  json j = as_json(o);
  EXPECT_EQ(j["panes"].value("1", ""), slurp(kSource + "/tests/golden/gageset_pane1.txt"));
  EXPECT_EQ(j["results"]["n"], 12);
  EXPECT_EQ(j["results"]["runs"][3], json::parse(R"(["A", 1, 2])"));
  EXPECT_EQ(j["results"]["runs"][11], json::parse(R"(["B", 3, 2])"));
  // The seeded plan of the unit test (first block 5 1 4 2 3), names cut to 20.
  o = qualty(
      "run gageset --set option0=2 --set option1=5 --set option2=2 --set option3=1"
      " --set seed=12345 --set option4=1 --set \"name1=Anne-Marie Longname-Smithers\""
      " --set name2=Bob --pane 1 --json " +
      sheet().string());
  j = as_json(o);
  EXPECT_EQ(j["results"]["seed"], 12345);
  EXPECT_EQ(j["results"]["runs"][0], json::parse(R"(["Anne-Marie Longname-", 5, 1])"));
  EXPECT_EQ(j["panes"].value("1", ""), slurp(kSource + "/tests/golden/gageset_seeded_pane1.txt"));
  // Without a seed the clock's is reported, and giving it back draws the same plan.
  const json clock = as_json(qualty("run gageset --set option3=1 --json " + sheet().string()));
  const double seed = clock["results"]["seed"].get<double>();
  const json again =
      as_json(qualty("run gageset --set option3=1 --set seed=" +
                     std::to_string(static_cast<long long>(seed)) + " --json " + sheet().string()));
  EXPECT_EQ(again["results"]["runs"], clock["results"]["runs"]);
  for (const char* bad :
       {"seed=-1", "seed=1099511627776", "option0=1", "option0=19", "option1=501", "option2=1"})
    EXPECT_EQ(qualty(std::string("run gageset --set ") + bad + " " + sheet().string()).status, 2)
        << bad;
}

TEST(GageSetRun, SaveWritesFourColumnsWithProfileLabels) {
  const fs::path out = scratch() / "plan.csv";
  const Outcome o = qualty(
      "run gageset --set option0=2 --set option1=3 --set option2=2 --save "
      "--sheet-out " +
          out.string() + " " + sheet().string(),
      "[Snap]\nAppraisers=Operator\n");
  ASSERT_EQ(o.status, 0);
  std::ifstream in(out);
  std::string header, first, line;
  std::getline(in, header);
  std::getline(in, first);
  int rows = 1;
  while (std::getline(in, line)) ++rows;
  EXPECT_EQ(header, "Note,Operator,Parts,Trials,Measurement");
  EXPECT_EQ(first, ",A,1,1,");
  EXPECT_EQ(rows, 12);
}

// The save form's re-save box: a reopened plan writes its four columns again
// at once, but never over columns that hold measurements without a Yes.
TEST(GageSetRun, ResaveWhenReopened) {
  const fs::path plan = scratch() / "resave.qan", first = scratch() / "first.csv";
  const std::string make = "run gageset --set option0=2 --set option1=3 --set option2=2 --save ";
  ASSERT_EQ(qualty(make + "--resave --analysis-out " + plan.string() + " --sheet-out " +
                   first.string() + " " + sheet().string())
                .status,
            0);
  struct Row {
    std::string sheet, extra, first_run;  // the sheet reopened on, flags, its first plan row
  } rows[] = {{sheet().string(), "", ",A,1,1,"},  // empty sheet: the plan is written again
              {"measured", "", ",A,1,1,4.5"},     // measurements kept (no Yes)
              {"measured", "--yes", ",A,1,1,"}};  // Yes: the plan replaces the columns
  const fs::path measured = scratch() / "measured.csv";
  std::ofstream(measured) << "Note,Appraisers,Parts,Trials,Measurement\n,A,1,1,4.5\n";
  for (const Row& r : rows) {
    const fs::path out = scratch() / "again.csv";
    fs::remove(out);
    const std::string on = r.sheet == "measured" ? measured.string() : r.sheet;
    EXPECT_EQ(qualty("reopen " + plan.string() + " " + on + " " + r.extra + " --sheet-out " +
                     out.string())
                  .status,
              0);
    std::ifstream in(out);
    std::string header, line;
    std::getline(in, header);
    std::getline(in, line);
    EXPECT_EQ(header, "Note,Appraisers,Parts,Trials,Measurement") << r.sheet << r.extra;
    EXPECT_EQ(line, r.first_run) << r.sheet << r.extra;
  }
  // Without the box a reopen leaves the sheet alone; other procedures have no box.
  ASSERT_EQ(qualty(make + "--analysis-out " + plan.string() + " --sheet-out " + first.string() +
                   " " + sheet().string())
                .status,
            0);
  const fs::path out = scratch() / "plain.csv";
  EXPECT_EQ(
      qualty("reopen " + plan.string() + " " + sheet().string() + " --sheet-out " + out.string())
          .status,
      0);
  EXPECT_EQ(slurp(out), "Note\n");
  EXPECT_EQ(
      qualty("run gagerr" + kPair + "--save --resave --sheet-out " + out.string() + " " + kRange)
          .status,
      2);
}

// 18 x 500 x 2 = 18,000 runs: the listing stops after 59,952 characters
// with "...", the save still writes every run.
TEST(GageSetRun, LargePlanListingCutAndFullSave) {
  const fs::path out = scratch() / "large.csv";
  const Outcome o = qualty(
      "run gageset --set option0=18 --set option1=500 --set option2=2"
      " --set option3=1 --set seed=3 --pane 1 --json --save --sheet-out " +
      out.string() + " " + sheet().string());
  ASSERT_EQ(o.status, 0);
  const std::string listing = as_json(o)["panes"].value("1", "");
  const size_t cut = listing.find("...\r\n");
  ASSERT_NE(cut, std::string::npos);
  EXPECT_GT(cut, 59952u);
  EXPECT_LE(cut, 59952u + 42);  // at most one line of 42 characters past the bound
  std::ifstream in(out);
  std::string line;
  int rows = -1;  // the header
  while (std::getline(in, line)) ++rows;
  EXPECT_EQ(rows, 18000);
}

}  // namespace
