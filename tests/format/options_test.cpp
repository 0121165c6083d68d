#include "format/options.h"

#include <gtest/gtest.h>

#include "fake_host.h"

namespace ztq {
namespace {

TEST(OptionPersistence, IntegersUnderNumberedKeys) {
  testing::FakeHost host;
  const Profile profile(&host.app);
  int32_t option[40] = {};
  option[34] = 9;
  write_int_option(profile, "VCHART", 34, option);
  EXPECT_EQ(host.profile.at("VCHART/option34"), "9");
  int32_t fresh[40] = {};
  fresh[34] = 5;
  fresh[35] = 7;
  read_int_option(profile, "VCHART", 34, fresh);
  read_int_option(profile, "VCHART", 35, fresh);
  EXPECT_EQ(fresh[34], 9);
  EXPECT_EQ(fresh[35], 7) << "an absent key keeps the current value";
}

TEST(OptionPersistence, RealsAsPercentGText) {
  testing::FakeHost host;
  const Profile profile(&host.app);
  double doption[32] = {};
  doption[21] = 0.1234567;
  write_real_option(profile, "VCHART", 21, doption);
  EXPECT_EQ(host.profile.at("VCHART/doption21"), "0.123457") << "%g keeps six digits";
  double back[32] = {};
  read_real_option(profile, "VCHART", 21, back);
  EXPECT_NEAR(back[21], 0.1234567, 0.5e-6) << "the same value to six significant digits";

  struct Row {
    const char* stored;
    double want;
  };
  const Row rows[] = {{"", 3.5}, {"   ", 3.5}, {"abc", 3.5}, {"nan", 3.5}, {"2.5e-3", 0.0025}};
  for (const Row& r : rows) {
    host.profile["VCHART/doption31"] = r.stored;
    back[31] = 3.5;
    read_real_option(profile, "VCHART", 31, back);
    EXPECT_EQ(back[31], r.want) << "stored '" << r.stored << "'";
  }
}

TEST(OptionPersistence, NoHostKeepsDefaults) {
  const Profile none(nullptr);
  int32_t option[2] = {4, 0};
  read_int_option(none, "VCHART", 0, option);
  EXPECT_EQ(option[0], 4);
  write_int_option(none, "VCHART", 0, option);  // dropped, no crash
}

}  // namespace
}  // namespace ztq
