// qualty run and reopen as a black box, on the bundled data sets. Expected
// numbers are computed here from the CSV files by plain loops and the
// published factor table, never taken from qualty's own output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "harness.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kData = std::string(QUALTY_SOURCE) + "/data/";

using harness::Outcome;
using harness::slurp;

fs::path scratch(const std::string& name) { return harness::scratch("run-" + name); }

Outcome qualty(const std::string& args) { return harness::qualty(args, "run-test.ini"); }

// The cells of a CSV file without quotes, by column name.
std::map<std::string, std::vector<std::string>> read_plain_csv(const fs::path& p) {
  std::ifstream in(p);
  std::string line;
  std::getline(in, line);
  std::vector<std::string> names;
  std::stringstream header(line);
  for (std::string cell; std::getline(header, cell, ',');) names.push_back(cell);
  std::map<std::string, std::vector<std::string>> columns;
  while (std::getline(in, line)) {
    std::stringstream row(line);
    size_t i = 0;
    for (std::string cell; i < names.size(); ++i) {
      if (!std::getline(row, cell, ',')) cell.clear();
      columns[names[i]].push_back(cell);
    }
  }
  return columns;
}

TEST(Run, ParetoJsonCountsTheClasses) {
  const Outcome r = qualty("run pareto --var raw=Defect --json " + kData + "defects.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  const json doc = json::parse(r.out, nullptr, false);
  ASSERT_FALSE(doc.is_discarded()) << r.out;
  EXPECT_EQ(doc["procedure"], "pareto");
  EXPECT_EQ(doc["error"], 0);
  // A second tally of the same column: blank rows are no class.
  std::map<std::string, int> tally;
  int total = 0;
  auto columns = read_plain_csv(kData + "defects.csv");
  for (const std::string& d : columns["Defect"])
    if (!d.empty()) ++tally[d], ++total;
  const json& res = doc["results"];
  EXPECT_EQ(res["total_count"], total);
  EXPECT_EQ(res["classes_before"], static_cast<int>(tally.size()));
  ASSERT_EQ(res["classes"].size(), tally.size());
  double previous = 1e300;
  double cum = 0;
  for (const json& c : res["classes"]) {
    const std::string label = c["label"];
    EXPECT_EQ(c["count"], tally[label]) << label;
    EXPECT_LE(c["score"].get<double>(), previous) << "highest score first";
    previous = c["score"].get<double>();
    cum += c["count"].get<double>();
    EXPECT_NEAR(c["cum_percent"].get<double>(), 100.0 * cum / total, 1e-9);
  }
  EXPECT_TRUE(doc["panes"].contains("1"));
}

TEST(Run, XbarRJsonMatchesTheFactorTable) {
  const Outcome r =
      qualty("run vchart --chart 0 --var data=Diameter --var subgroup=Sample --json " + kData +
             "diameters.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  const json doc = json::parse(r.out);
  auto cols = read_plain_csv(kData + "diameters.csv");
  // Subgroup means and ranges by plain loops over consecutive equal codes.
  std::vector<double> means, ranges;
  for (size_t i = 0; i < cols["Sample"].size();) {
    size_t j = i;
    double sum = 0, lo = 1e300, hi = -1e300;
    while (j < cols["Sample"].size() && cols["Sample"][j] == cols["Sample"][i]) {
      const double x = std::stod(cols["Diameter"][j++]);
      sum += x, lo = std::min(lo, x), hi = std::max(hi, x);
    }
    means.push_back(sum / static_cast<double>(j - i));
    ranges.push_back(hi - lo);
    i = j;
  }
  ASSERT_EQ(means.size(), 25u);
  double xbar = 0, rbar = 0;
  for (size_t k = 0; k < means.size(); ++k) xbar += means[k] / 25, rbar += ranges[k] / 25;
  const double sigma = rbar / 2.326;  // d2(5) = 2.326
  const json& res = doc["results"];
  EXPECT_NEAR(res["centre"].get<double>(), xbar, 1e-9);
  EXPECT_NEAR(res["sigma"].get<double>(), sigma, 1e-9);
  EXPECT_NEAR(res["limits"]["ucl1"].get<double>(), xbar + 3 * sigma / std::sqrt(5.0), 1e-9);
  EXPECT_NEAR(res["limits"]["ucl2"].get<double>(), rbar + 3 * 0.864 * sigma, 1e-9)
      << "d3(5) = 0.864";
  EXPECT_EQ(res["limits"]["lcl2"].get<double>(), 0.0) << "negative R lower limit clipped";
  EXPECT_EQ(res["series"]["stat1"].size(), 25u);
}

TEST(Run, JsonWithoutSeriesIsTheResultsLessTheirSeries) {
  struct Row {
    const char* args;  // the options: --json goes before the file
    const char* file;
    std::size_t points;  // rows of the file, or its subgroups
  };
  // A small outcome (printed indented) and one of 150,000 individuals whose
  // results pass the 4 MiB at which qualty writes them as the module forms them.
  const fs::path big = scratch("json-big") / "big.csv";
  {
    std::ofstream f(big);
    f << "X\n";
    for (int i = 0; i < 150000; ++i) f << 10 + (i % 7) * 0.25 << "\n";
  }
  const std::string small = kData + "diameters.csv", big_name = big.string();
  const Row kRows[] = {
      {"run vchart --chart 0 --var data=Diameter --var subgroup=Sample", small.c_str(), 25},
      {"run vchart --chart 9 --var data=X", big_name.c_str(), 150000}};
  for (const Row& row : kRows) {
    const Outcome all = qualty(std::string(row.args) + " --json " + row.file);
    const Outcome summary = qualty(std::string(row.args) + " --json --no-series " + row.file);
    ASSERT_EQ(all.status, 0) << all.err;
    ASSERT_EQ(summary.status, 0) << summary.err;
    const json a = json::parse(all.out, nullptr, false),
               s = json::parse(summary.out, nullptr, false);
    ASSERT_TRUE(a.is_object() && s.is_object()) << row.args;
    EXPECT_EQ(a["results"]["series"]["stat1"].size(), row.points) << row.args;
    EXPECT_EQ(a["results"]["series"]["label"].size(), row.points) << row.args;
    json less = a["results"];
    for (const char* key : {"series", "smoothers"}) less.erase(key);
    EXPECT_EQ(s["results"], less) << row.args;
    EXPECT_EQ(s["violations"], a["violations"]) << row.args;
    EXPECT_TRUE(a["violations"].is_array()) << row.args;
    EXPECT_EQ(s["panes"], a["panes"]) << row.args;
  }
  fs::remove_all(big.parent_path());
}

TEST(Run, GraphsInEveryFormatAndOnePaneAlone) {
  const fs::path dir = scratch("graphs");
  for (const char* format : {"svg", "png", "pdf"}) {
    const Outcome r = qualty("run pareto --var raw=Defect --out " + dir.string() + " --format " +
                             format + " " + kData + "defects.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* pane : {"pane8.", "pane9."})
      EXPECT_TRUE(fs::exists(dir / (std::string(pane) + format))) << pane << format;
  }
  EXPECT_EQ(slurp(dir / "pane8.png").substr(1, 3), "PNG");
  EXPECT_EQ(slurp(dir / "pane8.pdf").substr(0, 4), "%PDF");
  EXPECT_NE(slurp(dir / "pane8.svg").find("<svg"), std::string::npos);
  const fs::path one = scratch("one-pane");
  ASSERT_EQ(qualty("run pareto --var raw=Defect --pane 8 --format png --out " + one.string() + " " +
                   kData + "defects.csv")
                .status,
            0);
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(one)) files.push_back(e.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"pane8.png"});
}

TEST(Run, SaveWritesColumnsAndReplacesOnlyAfterYes) {
  const fs::path dir = scratch("save");
  const std::string input = kData + "diameters.csv";
  const std::string before = slurp(input);
  const std::string out1 = (dir / "out1.csv").string();
  const std::string chart =
      "run vchart --chart 0 --var data=Diameter --var subgroup=Sample --save ";
  Outcome r = qualty(chart + "--sheet-out " + out1 + " " + input);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(slurp(input), before) << "the input file is never written";
  auto saved = read_plain_csv(out1);
  auto original = read_plain_csv(input);
  ASSERT_EQ(saved["Diameter"].size(), original["Diameter"].size());
  for (size_t i = 0; i < original["Diameter"].size(); ++i)
    EXPECT_EQ(std::stod(saved["Diameter"][i]), std::stod(original["Diameter"][i])) << i;
  EXPECT_EQ(saved["Sample"], original["Sample"]);
  EXPECT_GT(saved.size(), original.size()) << "new columns";

  // Saving again into a sheet that has the columns: No keeps them, Yes replaces.
  const std::string out2 = (dir / "out2.csv").string();
  r = qualty(chart + "--exclude 1 --sheet-out " + out2 + " " + out1);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("[No]"), std::string::npos) << r.err;
  EXPECT_EQ(read_plain_csv(out2), saved) << "without --yes nothing is replaced";
  const std::string out3 = (dir / "out3.csv").string();
  r = qualty("--yes " + chart + "--exclude 1 --sheet-out " + out3 + " " + out1);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(read_plain_csv(out3)["Diameter_Centre"], saved["Diameter_Centre"])
      << "replaced after Yes (point 1 excluded moves the centre)";
  EXPECT_EQ(read_plain_csv(out3).size(), saved.size()) << "replaced in place, no new columns";
}

TEST(Run, ReopenGivesTheSamePanes) {
  const fs::path dir = scratch("reopen");
  const std::string file = (dir / "pareto.qa").string();
  const std::string data = kData + "defects.csv";
  const Outcome first = qualty(
      "run pareto --var raw=Defect --set combine=3 --set n_fold=4 --json "
      "--analysis-out " +
      file + " " + data);
  ASSERT_EQ(first.status, 0) << first.err;
  const Outcome again = qualty("reopen " + file + " " + data + " --json");
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(json::parse(again.out)["panes"], json::parse(first.out)["panes"]);
  EXPECT_EQ(json::parse(again.out)["results"], json::parse(first.out)["results"]);
  EXPECT_EQ(json::parse(again.out)["results"]["classes_after"], 5) << "8 classes, last 4 folded";

  // A damaged analysis file is refused with exit status 2.
  const std::string text = slurp(file);
  std::ofstream(dir / "cut.qa") << text.substr(0, text.size() / 2);
  EXPECT_EQ(qualty("reopen " + (dir / "cut.qa").string() + " " + data).status, 2);
  std::string edited = text;
  edited.replace(edited.find("\"input_mode\": 0"), 15, "\"input_mode\": 99");
  std::ofstream(dir / "edited.qa") << edited;
  EXPECT_EQ(qualty("reopen " + (dir / "edited.qa").string() + " " + data).status, 2);
}

TEST(Run, BadInputExitsWithTwoAndErrorStatesWithOne) {
  const fs::path dir = scratch("bad");
  std::ofstream(dir / "dup.csv") << "A,a\n1,2\n";
  std::ofstream(dir / "blank.csv") << "Defect,N\n,1\n,2\n";
  struct Row {
    std::string args;
    int status;
    std::string says = {};  // a part of the message, when it matters
  };
  const Row rows[] = {
      {"run pareto --var raw=Defect /nonexistent/file.csv", 2},
      {"run pareto --var raw=A " + (dir / "dup.csv").string(), 2},
      {"run pareto --var nosuchrole=A " + kData + "defects.csv", 2},
      {"run pareto --var raw=Defect --set nosuchoption=1 " + kData + "defects.csv", 2},
      {"run pareto --var raw=Defect --format gif " + kData + "defects.csv", 2},
      {"run nosuchprocedure " + kData + "defects.csv", 2},
      {"run vchart --chart 22 --var data=Diameter " + kData + "diameters.csv", 2},
      {"run pareto --var raw=Defect --set combine=9 " + kData + "defects.csv", 2},
      {"run pareto --var raw=Defect " + (dir / "blank.csv").string(), 1},
      // The module counts its form's variables; the message names the role too.
      {"run vchart --var data=Appraiser " + kData + "gage_study.csv", 1,
       "Variable 1 (data) holds text"},
  };
  for (const Row& r : rows) {
    const Outcome o = qualty(r.args);
    EXPECT_EQ(o.status, r.status) << r.args << "\n" << o.err;
    EXPECT_FALSE(o.err.empty()) << r.args << ": a message on standard error";
    EXPECT_NE(o.err.find(r.says), std::string::npos) << r.args << "\n" << o.err;
  }
  const Outcome blank =
      qualty("run pareto --var raw=Defect --json " + (dir / "blank.csv").string());
  EXPECT_EQ(json::parse(blank.out)["error"], 1007) << "no valid data";
}

TEST(Run, OutWritesEveryOfferedGraphTheChartPageAndTheAskedSize) {
  // Code 10 shows only chart 2 by default; a run writing files also writes
  // its V-mask chart (pane 8) and both on one page.
  const fs::path dir = scratch("vmask");
  const Outcome r = qualty("run vchart --chart 10 --var data=Diameter --size 640x480 --out " +
                           dir.string() + " " + kData + "diameters.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* file : {"pane8.svg", "pane9.svg", "chart.svg"})
    EXPECT_TRUE(fs::exists(dir / file)) << file;
  EXPECT_NE(slurp(dir / "pane8.svg").find("width=\"640\" height=\"480\""), std::string::npos);
  EXPECT_NE(slurp(dir / "chart.svg").find("width=\"640\""), std::string::npos);
  const bool have_checker = std::system("command -v xmllint >/dev/null 2>&1") == 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    EXPECT_EQ(e.path().extension().string().find("part"), std::string::npos) << "no leftovers";
    if (have_checker && e.path().extension() == ".svg") {
      EXPECT_EQ(std::system(("xmllint --noout " + e.path().string()).c_str()), 0) << e.path();
    }
  }
  for (const char* size : {"1x1", "100000x100000", "640", "640x480x2"}) {
    const Outcome bad = qualty(std::string("run vchart --chart 3 --var data=Diameter --size ") +
                               size + " --out " + dir.string() + " " + kData + "diameters.csv");
    EXPECT_EQ(bad.status, 2) << size;
    EXPECT_EQ(bad.err.rfind("qualty: ", 0), 0u) << bad.err;
  }
}

// The numbers of the text elements of an SVG that are plain decimals (tick
// labels), by the separator they use.
std::pair<int, int> decimal_ticks(const std::string& svg) {
  int points = 0, commas = 0;
  for (std::size_t at = svg.find("\">"); at != std::string::npos; at = svg.find("\">", at + 2)) {
    const std::size_t end = svg.find('<', at);
    const std::string t = svg.substr(at + 2, end == std::string::npos ? 0 : end - at - 2);
    const std::size_t sep = t.find_first_of(".,");
    if (t.empty() || sep == std::string::npos || sep == 0 || sep + 1 == t.size()) continue;
    if (t.find_first_not_of("0123456789.,-") != std::string::npos) continue;
    (t[sep] == '.' ? points : commas)++;
  }
  return {points, commas};
}

TEST(Run, TickLabelsFollowTheDecimalSeparatorInForce) {
  // The diameters with semicolons and decimal commas.
  const fs::path dir = scratch("decimal");
  std::ifstream in(kData + "diameters.csv");
  std::ofstream comma(dir / "comma.csv");
  for (std::string line; std::getline(in, line);) {
    for (char& c : line) c = c == ',' ? ';' : (c == '.' ? ',' : c);
    comma << line << "\n";
  }
  comma.close();
  const fs::path profile = harness::temp("run-test.ini");  // the profile qualty() gives
  struct Row {
    const char* intl;  // the profile's [Intl] section
    std::string args, data;
    bool commas;
  };
  const std::string chart = "run vchart --chart xbar-r --var data=Diameter --var subgroup=Sample ";
  // --decimal says how the file is written; what qualty writes follows Intl.
  const Row kRows[] = {{"", chart + "--decimal ,", (dir / "comma.csv").string(), false},
                       {"[Intl]\nsDecimal=,\n", chart, (dir / "comma.csv").string(), true},
                       {"", chart, kData + "diameters.csv", false}};
  for (const Row& row : kRows) {
    std::ofstream(profile) << row.intl;
    fs::remove_all(dir / "out");
    const Outcome r = qualty(row.args + " --out " + (dir / "out").string() + " " + row.data);
    ASSERT_EQ(r.status, 0) << r.err;
    // Ticks of 25.380 to 25.420 on the X-bar chart, 0.00 to 0.05 on the R chart.
    for (const char* pane : {"pane8.svg", "pane9.svg"}) {
      const auto [points, commas] = decimal_ticks(slurp(dir / "out" / pane));
      EXPECT_GE(row.commas ? commas : points, 3) << row.args << " " << pane;
      EXPECT_EQ(row.commas ? points : commas, 0) << row.args << " " << pane;
    }
  }
  fs::remove(profile);
}

TEST(Run, AcceptanceChartWithoutLimitsSaysWhyOnOneLine) {
  const Outcome r = qualty("run vchart --chart 21 --var data=Diameter " + kData + "diameters.csv");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "qualty: No specification limits are given, so this acceptance chart has no "
            "acceptance limits.\n");
}

}  // namespace
