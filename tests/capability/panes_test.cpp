// Layout rules of the capability panes that the golden files do not cover:
// no limit given, the two label sets, rows switched off, a missing index, a
// status message, the Pearson pane's message line.
#include <gtest/gtest.h>

#include <string>

#include "bridge/module_state.h"
#include "bridge/strings.h"
#include "capability/capable_panes.h"

namespace ztq {
namespace {

CapabilityResults six_values(CapLimit usl, CapLimit lsl) {
  CapabilityInput in;
  in.columns = {{2, 3, 5, 7, 11, 13}};
  in.usl = usl;
  in.lsl = lsl;
  return compute_capability(in);
}

size_t count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

class CapabilityPanes : public ::testing::Test {
 protected:
  void SetUp() override { module_startup(QUALTY_BIN); }
  CapPaneInfo info;
};

TEST_F(CapabilityPanes, NoLimitShowsOnlyTheTotalRow) {
  const std::string t = capability_summary_text(six_values({}, {}), info);
  EXPECT_EQ(t.find(text(Str::kCapRowUsl) + " "), std::string::npos);
  EXPECT_EQ(t.find(text(Str::kCapRowLsl) + " "), std::string::npos);
  // Total: 0 % observed, 0 % estimated, 0 ppm.
  EXPECT_NE(t.find("Total                   0.000000%                  0.000000%           0.00"),
            std::string::npos)
      << t;
}

TEST_F(CapabilityPanes, LabelSetsChangeOnlyTheLabels) {
  const CapabilityResults r = six_values({true, 25}, {true, -5});
  info.label_set = 1;
  const std::string short_names = capability_indices_text(r, info);
  info.label_set = 0;
  const std::string long_names = capability_indices_text(r, info);
  EXPECT_NE(short_names, long_names);
  EXPECT_NE(long_names.find(text(Str::kCapCp0)), std::string::npos);
  // Same numbers in both: the value field of the Cp row.
  const std::string cp = short_names.substr(short_names.find("Cp ") + 24, 16);
  EXPECT_NE(long_names.find(cp), std::string::npos);
}

TEST_F(CapabilityPanes, RowsOffAndMissingIndicesBlank) {
  const CapabilityResults r = six_values({true, 25}, {});  // Cp missing
  for (bool& b : info.show) b = true;
  std::string t = capability_indices_text(r, info);
  // The Cp row is shown with a blank value; no interval header with one limit.
  EXPECT_NE(t.find("Cp" + std::string(22, ' ') + std::string(16, ' ') + "\r\n"), std::string::npos);
  EXPECT_EQ(t.find("confidence"), std::string::npos);
  for (bool& b : info.show) b = false;
  t = capability_indices_text(r, info);
  EXPECT_EQ(count(t, "\r\n"), 5u);  // title, variable, blank, blank, the k line
}

TEST_F(CapabilityPanes, StatusMessages) {
  info.status = 3;
  EXPECT_NE(capability_summary_text({}, info).find(text(Str::kErrNoValidData)), std::string::npos);
  info.status = 1063;  // the capability's own text for negative exponential data
  EXPECT_NE(capability_summary_text({}, info).find(text(Str::kCapExpNegative)), std::string::npos);
  EXPECT_NE(capability_indices_text({}, info).find(text(Str::kNoResults)), std::string::npos);
  info.status = 0;
  PearsonResults p;
  p.message = 4156;
  const std::string t = capability_pearson_text(six_values({true, 25}, {}), p, info);
  EXPECT_NE(t.find(text(Str::kCapPearsonNoCell)), std::string::npos);
  EXPECT_EQ(t.find(text(Str::kCapCp1)), std::string::npos);  // the message line alone
}

}  // namespace
}  // namespace ztq
