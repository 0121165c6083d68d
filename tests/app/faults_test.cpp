// Faults mended in qualty and the module, each tested through qualty run with
// the expected values computed here from the data by plain loops.
#include <gtest/gtest.h>

#include <algorithm>
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
using nlohmann::json;

const std::string kData = std::string(QUALTY_SOURCE) + "/data/";

// The bundled defect log has one cost per defect row; reading the i-th cost
// as the i-th class's weight ranked wrongly and lost 4 of its 120 defects.
TEST(Faults, ParetoRawWeightsArePerObservationRow) {
  const Outcome r =
      qualty("run pareto --var raw=Defect --var weights=Cost --json " + kData + "defects.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  const json doc = json::parse(r.out);
  // Unit,Shift,Defect,Cost: sum the cost and count the rows of each defect.
  std::ifstream in(kData + "defects.csv");
  std::string line;
  std::getline(in, line);
  std::map<std::string, double> cost, count;
  double total_cost = 0, total_count = 0;
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    std::string unit, shift, defect, c;
    std::getline(ss, unit, ',');
    std::getline(ss, shift, ',');
    std::getline(ss, defect, ',');
    std::getline(ss, c, ',');
    if (defect.empty() || c.empty()) continue;
    cost[defect] += std::stod(c);
    count[defect] += 1;
    total_cost += std::stod(c);
    total_count += 1;
  }
  const json& res = doc["results"];
  EXPECT_EQ(res["total_count"].get<double>(), total_count);
  EXPECT_EQ(total_count, 120) << "every defect of the log";
  EXPECT_DOUBLE_EQ(res["total_score"].get<double>(), total_cost);
  ASSERT_EQ(res["classes"].size(), cost.size()) << "every class kept";
  double previous = 1e300;
  for (const json& c : res["classes"]) {
    std::string label = c["label"];
    label.erase(label.find_last_not_of(' ') + 1);
    EXPECT_DOUBLE_EQ(c["score"].get<double>(), cost[label]) << label;
    EXPECT_EQ(c["count"].get<double>(), count[label]) << label;
    EXPECT_LE(c["score"].get<double>(), previous) << "ranked by total cost";
    previous = c["score"].get<double>();
  }
}

// A subgroup column holding only "5" in its first row forms subgroups of five
// rows, as the Sample codes of the same file do (25 subgroups of 5).
TEST(Faults, SubgroupColumnWithOneValueIsAFixedSize) {
  const std::filesystem::path csv = harness::temp("one-size.csv");
  {
    std::ifstream in(kData + "diameters.csv");
    std::ofstream out(csv);
    std::string line;
    std::getline(in, line);
    out << "Size,Diameter\n";
    for (bool first = true; std::getline(in, line); first = false)
      out << (first ? "5" : "") << "," << line.substr(line.find(',') + 1) << "\n";
  }
  const Outcome fixed = qualty(
      "run vchart --chart xbar-r --var data=Diameter --var subgroup=Size "
      "--json " +
      csv.string());
  ASSERT_EQ(fixed.status, 0) << fixed.err;
  const Outcome coded =
      qualty("run vchart --chart xbar-r --var data=Diameter --var subgroup=Sample --json " + kData +
             "diameters.csv");
  ASSERT_EQ(coded.status, 0) << coded.err;
  const json a = json::parse(fixed.out)["results"], b = json::parse(coded.out)["results"];
  EXPECT_EQ(a["points"], 25);
  EXPECT_EQ(a["nbar"], 5);
  EXPECT_EQ(a["limits"], b["limits"]);
  std::filesystem::remove(csv);
}

// 25 classes (class i holds i + 1 rows): the chart shows message 1051 and the
// command line says how many to fold: 25 - 20 + 1 = 6 leave 20 bars.
TEST(Faults, TooManyParetoClassesWarnWithTheFoldThatFits) {
  const std::filesystem::path csv = harness::temp("many.csv");
  {
    std::ofstream out(csv);
    out << "Defect\n";
    for (int i = 0; i < 25; ++i)
      for (int j = 0; j <= i; ++j) out << "D" << (i < 10 ? "0" : "") << i << "\n";
  }
  const std::filesystem::path dir = harness::temp("many");
  std::filesystem::remove_all(dir);
  Outcome r = qualty("run pareto --var raw=Defect --out " + dir.string() + " " + csv.string());
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("warning: 25 classes are more than a Pareto chart shows (20): fold the "
                       "smallest with --set combine=3 --set n_fold=6"),
            std::string::npos)
      << r.err;
  EXPECT_NE(harness::slurp(dir / "pane8.svg").find("More than 20 classes"), std::string::npos);
  r = qualty("run pareto --var raw=Defect --set combine=3 --set n_fold=6 --json " + csv.string());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "") << "20 classes fit";
  EXPECT_EQ(json::parse(r.out)["results"]["classes_after"], 20);
  std::filesystem::remove(csv);
  std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

// Five data columns, one subgroup a row: the 25 rows of 5 of the long file
// laid out wide give its chart; the centre is the mean of every value.
TEST(Wide, SeveralDataColumnsMakeOneSubgroupARow) {
  std::ifstream in(kData + "diameters.csv");
  std::string line;
  std::getline(in, line);
  std::vector<double> values;
  while (std::getline(in, line)) values.push_back(std::stod(line.substr(line.find(',') + 1)));
  ASSERT_EQ(values.size(), 125u);
  const std::filesystem::path csv = harness::temp("wide.csv");
  {
    std::ofstream out(csv);
    out.precision(17);
    out << "Day,X1,X2,X3,X4,X5\n";
    for (size_t s = 0; s < 25; ++s) {
      out << "D" << s + 1;
      for (size_t k = 0; k < 5; ++k) out << "," << values[s * 5 + k];
      out << "\n";
    }
  }
  double mean = 0;
  for (double v : values) mean += v / 125;
  const Outcome wide = qualty(
      "run vchart --chart xbar-r --var data=X1 --var data=X2 --var data=X3 "
      "--var data=X4 --var data=X5 --var label=Day --json " +
      csv.string());
  ASSERT_EQ(wide.status, 0) << wide.err;
  const Outcome lng =
      qualty("run vchart --chart xbar-r --var data=Diameter --var subgroup=Sample --json " + kData +
             "diameters.csv");
  const json a = json::parse(wide.out)["results"], b = json::parse(lng.out)["results"];
  EXPECT_EQ(a["points"], 25);
  EXPECT_EQ(a["nbar"], 5);
  EXPECT_NEAR(a["centre"].get<double>(), mean, 1e-12);
  EXPECT_EQ(a["limits"], b["limits"]);
  EXPECT_EQ(a["series"]["stat2"], b["series"]["stat2"]) << "the ranges of the rows";
  EXPECT_EQ(a["series"]["label"][24], "D25") << "the label of the subgroup's row";

  std::filesystem::remove(csv);
}

}  // namespace
