// qualty's names for options and chart types, its options in force and
// violations in --json, its profile handling and its messages, as a black box.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include "harness.h"

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

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kDiameters = std::string(QUALTY_SOURCE) + "/data/diameters.csv";

using harness::Outcome;
using harness::qualty;
using harness::slurp;
using harness::temp;

json run_json(const std::string& args, const std::string& profile = "profile.ini") {
  const Outcome r = qualty("run vchart " + args + " --json " + kDiameters, profile);
  EXPECT_EQ(r.status, 0) << args << "\n" << r.err;
  return json::parse(r.out, nullptr, false);
}

TEST(Names, AliasesAndChartNamesGiveTheNumberedResults) {
  struct Row {
    const char* named;
    const char* numbered;
  };
  const Row kRows[] = {
      {"--chart imr --var data=Diameter", "--chart 3 --var data=Diameter"},
      {"--chart XBAR_R --var data=Diameter --var subgroup=Sample",
       "--chart 0 --var data=Diameter --var subgroup=Sample"},
      {"--chart imr --var data=Diameter --set usl=25.43 --set lsl=25.37 --set target=25.40",
       "--chart 3 --var data=Diameter --set doption16=25.43 --set doption18=25.37 "
       "--set doption17=25.40"},
      // Western Electric: the defaults without rule B.
      {"--chart imr --var data=Diameter --set rules=western-electric",
       "--chart 3 --var data=Diameter --set option11=0"},
      // Nelson: every rule, lengths 9 and 6 for A and B, rule F zone 1 sigma.
      {"--chart imr --var data=Diameter --set rules=Nelson",
       "--chart 3 --var data=Diameter --set option11=1 --set option14=1 --set option15=1 "
       "--set option16=9 --set option17=6 --set doption15=1"},
      {"--chart imr --var data=Diameter --set phases=18,31",
       "--chart 3 --var data=Diameter --set option67=18 --set option68=31"},
      {"--chart imr --var data=Diameter --set sigma_multiple=2.5",
       "--chart 3 --var data=Diameter --set doption0=2.5 --set doption1=-2.5 "
       "--set doption2=2.5 --set doption3=-2.5"},
      {"--chart ma --var data=Diameter --set span=4 --set ma_start=average",
       "--chart 8 --var data=Diameter --set option34=4 --set option73=2"},
      {"--chart imr --var data=Diameter --set rule_a=off",
       "--chart 3 --var data=Diameter "
       "--set option10=0"},
  };
  for (const Row& row : kRows) {
    const json a = run_json(row.named);
    const json b = run_json(row.numbered);
    ASSERT_TRUE(a.is_object() && b.is_object()) << row.named;
    EXPECT_EQ(a["variant"], b["variant"]) << row.named;
    EXPECT_EQ(a["results"], b["results"]) << row.named;
    EXPECT_EQ(a["options"], b["options"]) << row.named;
  }
}

TEST(Names, OptionsInForceUseTheReadableNames) {
  const json doc = run_json("--chart imr --var data=Diameter --set usl=25.43 --set rules=none");
  const json& o = doc["options"];
  EXPECT_EQ(o["usl"], 25.43);
  EXPECT_TRUE(o["lsl"].is_null()) << "a missing limit is null";
  for (const char* rule : {"rule_a", "rule_b", "rule_c", "rule_d", "rule_e", "rule_f"})
    EXPECT_EQ(o[rule], 0) << rule;
  EXPECT_EQ(o["span"], 9) << "the default";
  EXPECT_FALSE(o.contains("option34")) << "an option with an alias appears once, by its alias";
}

TEST(Names, BadNamesAreRefusedWithTheNearestNames) {
  struct Row {
    const char* args;
    const char* message;
  };
  const Row kRows[] = {
      {"--chart imrr --var data=Diameter", "no chart type 'imrr' (did you mean imr?)"},
      {"--chart 22 --var data=Diameter", "from 0 to 21"},
      {"--var data=Diameter --set uls=3", "no option 'uls' (did you mean usl"},
      {"--var data=Diameter --set rules=westen", "no preset 'westen'"},
      {"--var data=Diameter --set usl=3 --set doption16=4", "give doption16 two values"},
      {"--var data=Diameter --set phases=1,2,3,4,5", "at most 4 values"},
      {"--var data=Diameter --set sigma_multiple=wide", "'wide' is not a number"},
      {"--var dat=Diameter", "no role 'dat' (did you mean data?)"},
      {"--var data=Diameter --var subgroup=Sub",
       "role subgroup: no column 'Sub' (columns: Sample, Diameter)"},
      {"--var \"data=Diameter * Foo\"", "role data: 'Diameter * Foo': position 12"},
      {"--var data=Diameter --var subgroup=Sample --save", "--save without --sheet-out"},
      {"--var data=Diameter --var subgroup=Sample --pane 7",
       "--pane 7: this analysis does not build it (it shows panes 1, 2, 3, 4, 8, 9, 10)"},
  };
  for (const Row& row : kRows) {
    const Outcome r = qualty(std::string("run vchart ") + row.args + " " + kDiameters);
    EXPECT_EQ(r.status, 2) << row.args;
    EXPECT_NE(r.err.find(row.message), std::string::npos) << row.args << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("qualty: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
  }
  // The same values under two spellings are no conflict.
  EXPECT_EQ(qualty("run vchart --chart imr --var data=Diameter --set usl=3 --set doption16=3.0 " +
                   kDiameters)
                .status,
            0);
}

TEST(Names, ExcludeOutsideThePointsWarnsAndRuns) {
  const Outcome r =
      qualty("run vchart --var data=Diameter --var subgroup=Sample --exclude 40 " + kDiameters);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("warning: --exclude 40: the chart has points 1 to 25"), std::string::npos)
      << r.err;
}

TEST(Names, SetHoldsForOneRunAndRememberKeepsIt) {
  fs::remove(temp("remember.ini"));
  const std::string args = "--var data=Diameter --var subgroup=Sample";
  EXPECT_EQ(run_json(args + " --set option10=0", "remember.ini")["options"]["rule_a"], 0);
  EXPECT_EQ(run_json(args, "remember.ini")["options"]["rule_a"], 1) << "the default again";
  EXPECT_EQ(run_json(args + " --set rule_a=0 --remember", "remember.ini")["options"]["rule_a"], 0);
  EXPECT_EQ(run_json(args, "remember.ini")["options"]["rule_a"], 0) << "kept by --remember";
  fs::remove(temp("remember.ini"));
}

// An individuals chart with one point far out (beyond the limits only) and a
// run of nine points just above the centre line (rule A only, no point
// beyond): the violations must list exactly what the series say.
TEST(Names, ViolationsListExactlyTheFlaggedPoints) {
  const fs::path csv = temp("violations.csv");
  {
    std::ofstream f(csv);
    f << "Day,X\n";
    const double base[] = {10.0, 10.4, 9.6, 10.2, 9.8, 10.3, 9.7, 10.1, 9.9, 10.0};
    int day = 1;
    for (double x : base) f << day++ << "," << x << "\n";
    f << day++ << ",14.0\n";  // point 11: far above any 3-sigma limit here
    for (double x : base) f << day++ << "," << x << "\n";
    for (int i = 0; i < 9; ++i) f << day++ << "," << (i % 2 ? 10.5 : 10.6) << "\n";  // 22-30
  }
  const Outcome r =
      qualty("run vchart --chart imr --var data=X --var label=Day --json " + csv.string());
  ASSERT_EQ(r.status, 0) << r.err;
  const json doc = json::parse(r.out);
  const json& s = doc["results"]["series"];
  // A second reading of the series: beyond a chart's limits, or its rule bits.
  json expected = json::array();
  for (size_t i = 0; i < s["stat1"].size(); ++i) {
    const int word = s["flags"][i];
    for (int chart = 1; chart <= 2; ++chart) {
      const json& x = s[chart == 1 ? "stat1" : "stat2"][i];
      const json& hi = s[chart == 1 ? "ucl1" : "ucl2"][i];
      const json& lo = s[chart == 1 ? "lcl1" : "lcl2"][i];
      const bool beyond = !x.is_null() && ((!hi.is_null() && x.get<double>() > hi.get<double>()) ||
                                           (!lo.is_null() && x.get<double>() < lo.get<double>()));
      const int bits = (word >> (chart == 1 ? 0 : 6)) & 63;
      if (!beyond && bits == 0) continue;
      std::string rules;
      for (int b = 0; b < 6; ++b)
        if ((bits >> b) & 1) rules += static_cast<char>('A' + b);
      expected.push_back({{"point", i + 1},
                          {"label", std::to_string(i + 1)},
                          {"chart", chart},
                          {"beyond", beyond},
                          {"rules", rules}});
    }
  }
  EXPECT_EQ(doc["violations"], expected);
  bool outlier = false, run_only = false;
  for (const json& v : doc["violations"]) {
    outlier |= v["point"] == 11 && v["chart"] == 1 && v["beyond"] == true;
    run_only |= v["point"] == 30 && v["chart"] == 1 && v["beyond"] == false &&
                v["rules"].get<std::string>().find('A') != std::string::npos;
  }
  EXPECT_TRUE(outlier) << doc["violations"];
  EXPECT_TRUE(run_only) << "nine points above the centre line set rule A on the ninth";
  fs::remove(csv);
}

TEST(Names, DescribeIsATableAndJsonOnRequest) {
  const Outcome t = qualty("describe vchart");
  ASSERT_EQ(t.status, 0);
  for (const char* row :
       {"  3     imr ", "doption16  usl ", "rules ", "western-electric", "Roles (--var ROLE=EXPR)"})
    EXPECT_NE(t.out.find(row), std::string::npos) << row;
  const Outcome j = qualty("describe vchart --json");
  ASSERT_EQ(j.status, 0);
  const json d = json::parse(j.out, nullptr, false);
  ASSERT_TRUE(d.is_object());
  EXPECT_EQ(d["variants"].size(), 22u);
  EXPECT_EQ(d["variants"][15]["name"], "tabular-cusum");
}

TEST(Names, UsageAndHelpListWhatExists) {
  const Outcome none = qualty("");
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("Subcommands:"), std::string::npos);
  const Outcome run = qualty("run --help");
  EXPECT_EQ(run.status, 0);
  // The procedures the module lists (describe: "  NAME  SUMMARY" under
  // "procedures:"), and no other.
  const Outcome listing = qualty("describe");
  std::stringstream lines(listing.out.substr(listing.out.find("procedures:")));
  std::string entry, names;
  std::getline(lines, entry);
  while (std::getline(lines, entry) && entry.rfind("  ", 0) == 0) {
    const std::string name = entry.substr(2, entry.find(' ', 2) - 2);
    names += (names.empty() ? "" : ", ") + name;
  }
  EXPECT_NE(names.find("vchart"), std::string::npos) << listing.out;
  EXPECT_NE(run.out.find("the procedure: " + names + "\n"), std::string::npos) << run.out;
  // Every routine that dist --help names evaluates with the arguments it shows.
  const Outcome help = qualty("dist --help");
  EXPECT_EQ(help.status, 0);
  const char* const kLines[] = {"norm-cdf 0.5",      "t-quantile 0.9 5", "f-cdf 1 2 3",
                                "ibeta-inv 0.5 2 3", "lgamma2 3",        "coded-cdf 0 0 1 0 0 0.5",
                                "log10 100"};
  std::string input;
  for (const char* line : kLines) {
    const std::string name = std::string(line).substr(0, std::string(line).find(' '));
    EXPECT_NE(help.out.find("  " + name + " "), std::string::npos) << name;
    input += std::string(line) + "\n";
  }
  std::ofstream(temp("dist.txt")) << input;
  const Outcome out = qualty("dist < " + temp("dist.txt").string());
  EXPECT_EQ(out.out.find("error"), std::string::npos) << out.out;
}

}  // namespace

namespace {

// The header and the first data row of a CSV file.
std::vector<std::string> cells(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream ss(line);
  for (std::string c; std::getline(ss, c, ',');) out.push_back(c);
  return out;
}

TEST(Names, SavedColumnsTakeTheVariableNameAndExtrasOnlyWhenAsked) {
  const fs::path plain = temp("saved.csv"), extra = temp("saved-extra.csv");
  const std::string chart = "run vchart --chart xbar-r --var data=Diameter --var subgroup=Sample ";
  ASSERT_EQ(qualty(chart + "--save --sheet-out " + plain.string() + " " + kDiameters).status, 0);
  std::stringstream a(slurp(plain));
  std::string header;
  std::getline(a, header);
  EXPECT_EQ(header,
            "Sample,Diameter,Diameter_Mean,Diameter_Range,Diameter_GroupSize,Diameter_PointLabel,"
            "Diameter_Centre,Diameter_Sigma");

  const Outcome r = qualty(chart + "--save --save-extra limits,flags --sheet-out " +
                           extra.string() + " " + kDiameters);
  ASSERT_EQ(r.status, 0) << r.err;
  std::stringstream b(slurp(extra));
  std::string row;
  std::getline(b, header);
  std::getline(b, row);
  const std::vector<std::string> names = cells(header), first = cells(row);
  ASSERT_EQ(names.size(), first.size());
  std::map<std::string, double> v;
  for (size_t i = 2; i < names.size(); ++i)
    if (names[i] != "Diameter_PointLabel") v[names[i]] = std::stod(first[i]);
  for (const char* n :
       {"Diameter_UCL1", "Diameter_LCL1", "Diameter_UCL2", "Diameter_LCL2", "Diameter_RuleFlags"})
    EXPECT_TRUE(v.count(n)) << n;
  // X-bar and R, n = 5: UCL1 = centre + A2 R-bar = centre + 3 sigma / sqrt 5 with
  // sigma = R-bar / d2; UCL2 = D4 R-bar = 2.114 R-bar, LCL2 = D3 R-bar = 0.
  const double centre = v["Diameter_Centre"], sigma = v["Diameter_Sigma"];
  EXPECT_NEAR(v["Diameter_UCL1"], centre + 3 * sigma / std::sqrt(5.0), 1e-4);
  EXPECT_NEAR(v["Diameter_LCL1"], centre - 3 * sigma / std::sqrt(5.0), 1e-4);
  EXPECT_NEAR(v["Diameter_UCL2"], 2.114 * 2.326 * sigma, 1e-4);
  EXPECT_EQ(v["Diameter_LCL2"], 0.0);
  EXPECT_EQ(v["Diameter_RuleFlags"], 0.0) << "the first subgroup sets no rule";

  const Outcome bad =
      qualty(chart + "--save --save-extra limit --sheet-out " + extra.string() + " " + kDiameters);
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("--save-extra takes limits and flags, not 'limit'"), std::string::npos);
  fs::remove(plain);
  fs::remove(extra);
}

}  // namespace
