// qualty as a black box: the built program is run as a user runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using harness::Outcome;

// Runs qualty with the arguments, standard error folded into the output.
Outcome qualty(const std::string& args, const std::string& env = "",
               const std::string& input = "") {
  std::string redirect;
  if (!input.empty()) {
    const auto path = harness::temp("cli-input.txt");
    std::ofstream(path) << input;
    redirect = " < " + path.string();
  }
  return harness::shell(env + " " + std::string(QUALTY_BIN) + "/qualty " + args + redirect +
                        " 2>&1");
}

std::string profile_arg() { return "--profile " + harness::temp("absent.ini").string(); }

TEST(Cli, Version) {
  const Outcome r = qualty("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("qualty ") + QUALTY_VERSION_TEXT + "\n");
}

TEST(Cli, DescribeListsTheModule) {
  const Outcome r = qualty(profile_arg() + " describe");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("DIZIDA QUALITY MODULE"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("title: Quality Control"), std::string::npos) << r.out;
}

TEST(Cli, GlobalOptionsMayFollowTheCommand) {
  EXPECT_EQ(qualty("describe pareto " + profile_arg() + " --yes").status, 0);
  EXPECT_EQ(qualty("dist " + profile_arg(), "", "norm-cdf 0\n").out, "0.5\n");
}

TEST(Cli, BadUsageExitsWithTwo) {
  EXPECT_EQ(qualty("--no-such-option").status, 2);
  EXPECT_EQ(qualty(profile_arg() + " describe no-such-procedure").status, 2);
}

TEST(Cli, MissingModuleIsAClearError) {
  const Outcome r = qualty(profile_arg() + " describe", "QUALTY_MODULE=/nonexistent/lib.so");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("cannot load the quality module"), std::string::npos) << r.out;
}

}  // namespace

namespace {

TEST(Cli, DistOneResultPerLine) {
  // Published values: t(0.975; 1) = 12.706 and z(0.975) = 1.95996 (Student's t
  // table, normal table); Phi(0) = 0.5 exactly; exp(250) is above the guard.
  const Outcome r = qualty(profile_arg() + " dist", "",
                           "norm-cdf 0\nt-quantile 0.975 1\nexp 250\nno-such 1\n"
                           "norm-cdf\nnorm-quantile 0.975\ndiv 1 0\n");
  ASSERT_EQ(r.status, 0) << r.out;
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < r.out.size()) {
    const size_t nl = r.out.find('\n', at);
    lines.push_back(r.out.substr(at, nl - at));
    at = nl == std::string::npos ? r.out.size() : nl + 1;
  }
  ASSERT_EQ(lines.size(), 7u) << r.out;
  EXPECT_EQ(lines[0], "0.5");
  EXPECT_NEAR(std::stod(lines[1]), 12.706, 5e-4);
  EXPECT_EQ(lines[2], "abort");
  EXPECT_EQ(lines[3], "error") << "an unknown name";
  EXPECT_EQ(lines[4], "error") << "too few arguments";
  EXPECT_NEAR(std::stod(lines[5]), 1.95996, 1e-5);
  EXPECT_EQ(lines[6], "abort") << "division by zero";
}

}  // namespace
