// qualty run mvchart as a black box on the sweat data (data/sweat.csv:
// Johnson and Wichern 2007, Table 5.1). Expected numbers come from the CSV by
// plain loops and closed forms written out here.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
const std::string kSweat = kData + "sweat.csv";
const std::string kTwo = "--var data=SweatRate --var data=Sodium ";

fs::path scratch(const std::string& name) { return harness::scratch("mv-" + name); }

json results_of(const std::string& args, int want_status = 0) {
  const Outcome o = qualty("run mvchart " + args + " --json --pane 1 " + kSweat);
  EXPECT_EQ(o.status, want_status) << args << "\n" << o.err;
  const json j = json::parse(o.out, nullptr, false);
  return j.is_object() ? j : json::object();
}

struct Column2 {
  std::vector<double> x1, x2;
};

// SweatRate and Sodium from the CSV.
Column2 sweat_two() {
  std::ifstream in(kSweat);
  std::string line;
  std::getline(in, line);
  Column2 c;
  while (std::getline(in, line)) {
    std::stringstream row(line);
    std::string id, a, b;
    std::getline(row, id, ',');
    std::getline(row, a, ',');
    std::getline(row, b, ',');
    c.x1.push_back(std::stod(a));
    c.x2.push_back(std::stod(b));
  }
  return c;
}

// T-squared of point k with the 2 x 2 inverse in closed form, estimated from
// the points whose flag is 0.
double t2_closed_form(const Column2& c, const std::vector<int>& out, size_t k) {
  double n = 0, m1 = 0, m2 = 0;
  for (size_t i = 0; i < c.x1.size(); ++i)
    if (!out[i]) n += 1, m1 += c.x1[i], m2 += c.x2[i];
  m1 /= n, m2 /= n;
  double s11 = 0, s22 = 0, s12 = 0;
  for (size_t i = 0; i < c.x1.size(); ++i)
    if (!out[i]) {
      s11 += (c.x1[i] - m1) * (c.x1[i] - m1);
      s22 += (c.x2[i] - m2) * (c.x2[i] - m2);
      s12 += (c.x1[i] - m1) * (c.x2[i] - m2);
    }
  s11 /= n - 1, s22 /= n - 1, s12 /= n - 1;
  const double d1 = c.x1[k] - m1, d2 = c.x2[k] - m2;
  return (s22 * d1 * d1 - 2 * s12 * d1 * d2 + s11 * d2 * d2) / (s11 * s22 - s12 * s12);
}

TEST(Mvchart, GoldenPanesAndTheirKeyNumbers) {
  const fs::path dir = scratch("golden");
  const Outcome o = qualty("run mvchart " + kTwo +
                           "--var label=Subject --set doption0=5 --exclude 15 --pane 1 --pane 2 "
                           "--pane 3 --out " +
                           dir.string() + " " + kSweat);
  ASSERT_EQ(o.status, 0) << o.err;
  for (int pane : {1, 2, 3}) {
    const std::string golden = slurp(fs::path(QUALTY_SOURCE) / "tests/golden" /
                                     ("mvchart_pane" + std::to_string(pane) + ".txt"));
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(slurp(dir / ("pane" + std::to_string(pane) + ".txt")), golden) << "pane " << pane;
  }
  // n 19 (S15 excluded), p 2, alpha 5 %: (18^2/19)(1 - 0.05^(1/8)) = 5.32629.
  const double ucl = 18.0 * 18.0 / 19.0 * (1.0 - std::pow(0.05, 1.0 / 8.0));
  EXPECT_NEAR(ucl, 5.32629, 5e-6);
  const std::string pane2 = slurp(dir / "pane2.txt");
  EXPECT_NE(pane2.find("UCL: 5.32629"), std::string::npos);
  // S01 by the closed form; S16 beyond (*), S15 excluded (X).
  const Column2 c = sweat_two();
  std::vector<int> out(20, 0);
  out[14] = 1;
  EXPECT_NEAR(t2_closed_form(c, out, 0), 0.583762, 5e-7);
  EXPECT_GT(t2_closed_form(c, out, 15), ucl);
  EXPECT_NE(pane2.find("S16                 *              5.57881"), std::string::npos);
  EXPECT_NE(pane2.find("S15                 X"), std::string::npos);
  // The rule: 38 dashes plus 20 per variable shown; 38 without the values.
  EXPECT_NE(pane2.find("\r\n" + std::string(78, '-') + "\r\n"), std::string::npos);
  const Outcome bare = qualty("run mvchart " + kTwo + "--set option2=0 --pane 3 " + kSweat);
  EXPECT_NE(bare.out.find("\n" + std::string(38, '-') + "\n"), std::string::npos) << bare.out;
}

TEST(Mvchart, ResultsKeysAndPerPointValues) {
  const json j = results_of(kTwo + "--set doption0=5");
  ASSERT_EQ(j.value("error", -1), 0);
  const json& r = j["results"];
  std::set<std::string> keys;
  for (const auto& [k, v] : r.items()) keys.insert(k);
  const std::set<std::string> want = {"points",
                                      "n",
                                      "p",
                                      "excluded_count",
                                      "beyond_count",
                                      "means_given",
                                      "covariance_given",
                                      "complete",
                                      "excluded",
                                      "t2",
                                      "beyond",
                                      "labels",
                                      "means",
                                      "estimated_means",
                                      "covariance",
                                      "inverse",
                                      "ucl",
                                      "ellipse",
                                      "contributions"};
  EXPECT_EQ(keys, want);
  EXPECT_EQ(r["points"], 20);
  EXPECT_EQ(r["labels"][0], "1");  // no label column: the point number
  const Column2 c = sweat_two();
  const std::vector<int> none(20, 0);
  for (size_t k = 0; k < 20; ++k)
    EXPECT_NEAR(r["t2"][k].get<double>(), t2_closed_form(c, none, k), 1e-9) << k;
  // n 20, alpha 5 %: (19^2/20)(1 - 0.05^(1/8.5)); the library's incomplete
  // beta is good to about 2e-8 near x = 0.3, hence 1e-6 here.
  EXPECT_NEAR(r["ucl"].get<double>(), 361.0 / 20 * (1 - std::pow(0.05, 1 / 8.5)), 1e-6);
  EXPECT_EQ(r["ellipse"]["m"], 1);
  double sum = 0;
  for (const auto& t : r["t2"]) sum += t.get<double>();
  EXPECT_NEAR(sum, 19.0 * 2, 1e-9);  // (n - 1) p
  for (size_t k = 0; k < 20; ++k) {
    const bool beyond = r["beyond"][k] == 1;
    EXPECT_EQ(r["contributions"][k].is_null(), !beyond) << k;
    if (beyond) {
      const double d1 = c.x1[k] - r["means"][0].get<double>();
      EXPECT_NEAR(r["contributions"][k][0].get<double>(),
                  d1 * d1 / r["covariance"][0][0].get<double>(), 1e-12);
    }
  }
  EXPECT_TRUE(
      results_of(
          "--var data=SweatRate --var data=Sodium --var data=Potassium")["results"]["ellipse"]
          .is_null());
}

TEST(Mvchart, OptionsDialogActions) {
  // Action 1 excludes automatically until none is beyond; action 2 includes
  // all and then applies the point numbers.
  const json a = results_of(kTwo + "--set doption0=10 --set action=1");
  EXPECT_GT(a["results"]["excluded_count"].get<int>(), 0);
  EXPECT_EQ(a["results"]["beyond_count"], 0);
  const json b = results_of(kTwo + "--exclude 3 --exclude 4 --set action=2 --set exclude_point=7");
  EXPECT_EQ(b["results"]["excluded_count"], 1);
  EXPECT_EQ(b["results"]["excluded"][6], 1);
  const json c = results_of(kTwo + "--exclude 3 --exclude 4 --set include_point=3");
  EXPECT_EQ(c["results"]["excluded_count"], 1);
  EXPECT_EQ(c["results"]["excluded"][3], 1);
  // Toggling a point twice restores every number; out of range changes nothing.
  const json d = results_of(kTwo + "--exclude 5 --exclude 5 --exclude 99");
  const json e = results_of(kTwo);
  EXPECT_EQ(d["results"], e["results"]);
}

TEST(Mvchart, SaveAppendsThreeColumns) {
  const fs::path dir = scratch("save");
  const fs::path out = dir / "sheet.csv";
  const Outcome o =
      qualty("run mvchart " + kTwo + "--save --sheet-out " + out.string() + " --pane 1 " + kSweat);
  ASSERT_EQ(o.status, 0) << o.err;
  std::ifstream in(out);
  std::string header, line;
  std::getline(in, header);
  EXPECT_EQ(header, "Subject,SweatRate,Sodium,Potassium,TSquared,MeanVector,CovMatrix");
  std::vector<std::vector<std::string>> rows;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::stringstream ss(line);
    for (std::string cell; std::getline(ss, cell, ',');) cells.push_back(cell);
    cells.resize(7);
    rows.push_back(cells);
  }
  ASSERT_EQ(rows.size(), 20u);
  const Column2 c = sweat_two();
  const std::vector<int> none(20, 0);
  // Six significant digits are saved: a relative tolerance of 1e-5.
  auto near = [](const std::string& cell, double want) {
    return !cell.empty() && std::fabs(std::stod(cell) - want) <= 1e-5 * std::fabs(want);
  };
  for (size_t k = 0; k < 20; ++k) EXPECT_TRUE(near(rows[k][4], t2_closed_form(c, none, k))) << k;
  // Means 4.64 and 45.4; the covariance in column order s11 s21 s12 s22 with
  // s11 = 2.879368, s12 = 10.01, s22 = 199.7884 (Johnson and Wichern print
  // 2.879, 10.010, 199.788); the rest of each column is empty.
  EXPECT_TRUE(near(rows[0][5], 4.64));
  EXPECT_TRUE(near(rows[1][5], 45.4));
  EXPECT_EQ(rows[2][5], "");
  EXPECT_TRUE(near(rows[0][6], 2.879368));
  EXPECT_TRUE(near(rows[1][6], 10.01));
  EXPECT_TRUE(near(rows[2][6], 10.01));
  EXPECT_TRUE(near(rows[3][6], 199.7884));
  EXPECT_EQ(rows[4][6], "");
}

TEST(Mvchart, BadInputAndErrorStates) {
  struct Row {
    std::string args;
    int status, error;
  };
  const Row rows[] = {
      {"--var data=SweatRate --var data=SweatRate", 1, 1008},
      {kTwo + "--var data=SweatRate*2+Sodium", 1, 1008},
      {kTwo + "--var means=Potassium --var covariance=Subject", 1, 1025},
      {kTwo + "--set doption0=0", 2, -1},
      {kTwo + "--set doption0=50", 2, -1},
      {kTwo + "--set doption0=100", 2, -1},
      {kTwo + "--var covariance=Sodium --set option33=2", 2, -1},
      {kTwo + "--var covariance=Sodium --set option33=1", 2, -1},
      {kTwo + "--var covariance=Sodium", 1, 1096},  // 48.5 65.1 / 47.2 53.2: not symmetric
      {"--var data=SweatRate", 0, 0},               // one variable is a chart all the same
  };
  for (const Row& row : rows) {
    const Outcome o = qualty("run mvchart " + row.args + " --json --pane 1 " + kSweat);
    EXPECT_EQ(o.status, row.status) << row.args << "\n" << o.err;
    if (row.error >= 0) {
      EXPECT_EQ(json::parse(o.out)["error"], row.error) << row.args;
    }
    if (row.status == 2) {
      EXPECT_EQ(o.err.rfind("qualty:", 0), 0u) << o.err;
    }
  }
}

}  // namespace

namespace {

// A saved analysis lists the variables in one expression and keeps its
// excluded points: reopened, it gives the same results.
TEST(Mvchart, ReopenKeepsVariablesAndExclusions) {
  const fs::path dir = scratch("reopen");
  const fs::path saved = dir / "t2.qan";
  const Outcome first =
      qualty("run mvchart " + kTwo + "--exclude 3 --json --pane 1 --analysis-out " +
             saved.string() + " " + kSweat);
  ASSERT_EQ(first.status, 0) << first.err;
  const Outcome again = qualty("reopen " + saved.string() + " --json --pane 1 " + kSweat);
  ASSERT_EQ(again.status, 0) << again.err;
  const json a = json::parse(first.out), b = json::parse(again.out);
  EXPECT_EQ(a["results"], b["results"]);
  EXPECT_EQ(b["results"]["excluded_count"], 1);
}

}  // namespace
