// Option defaults, the profile lists and the options check.
#include <gtest/gtest.h>

#include <cstring>

#include "charts/chart_messages.h"
#include "charts/chart_options.h"

namespace ztq {
namespace {

TEST(ChartOptions, Defaults) {
  const ChartOptions o = default_chart_options();
  EXPECT_EQ(o.option[0], 0);
  for (int i = 10; i <= 15; ++i) EXPECT_EQ(o.option[i], i <= 13 ? 1 : 0) << i;
  const int lengths[] = {8, 8, 5, 4, 3, 2, 15, 8};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(o.option[16 + i], lengths[i]);
  EXPECT_EQ(o.span(), 9);
  EXPECT_EQ(o.span2(), 9);
  EXPECT_EQ(o.k_upper(), 3.0);
  EXPECT_EQ(o.k2_lower(), -3.0);
  for (int i = 4; i <= 11; ++i) EXPECT_EQ(o.doption[i], kMissing) << i;
  EXPECT_EQ(o.zone_width(3), 1.0);
  EXPECT_EQ(o.zone_width(6), 2.0);
  EXPECT_EQ(o.usl(), kMissing);
  EXPECT_EQ(o.lambda(), 0.2);
  EXPECT_EQ(o.doption[37], 0.01);
  EXPECT_EQ(o.doption[39], 1.0);
  EXPECT_EQ(o.trend_slope(), kMissing);
  EXPECT_EQ(o.acceptance_delta(), 0.0001);
  EXPECT_EQ(o.acceptance_alpha(), 0.05);
  EXPECT_EQ(validate_chart_options(o, 0), 0);
}

TEST(ChartOptions, ProfileListsAndSnapKeys) {
  int count = 0;
  for (int k : kChartProfileIntOptions) {
    EXPECT_TRUE((k >= 10 && k <= 30) || k == 34 || (k >= 36 && k <= 40) || k == 44 ||
                (k >= 71 && k <= 73))
        << k;
    ++count;
  }
  EXPECT_EQ(count, 21 + 1 + 5 + 1 + 3);
  EXPECT_STREQ(kChartProfileSection, "VCHART");
  EXPECT_EQ(sizeof(kSnapChartKeys) / sizeof(kSnapChartKeys[0]), 10u);
  EXPECT_STREQ(kSnapChartKeys[5].key, "ControlParameter");
  EXPECT_STREQ(kSnapChartKeys[5].text_default, "0.2");
  EXPECT_EQ(kSnapChartKeys[7].int_default, 100);
}

TEST(ChartOptions, MeaninglessValuesAreRefused) {
  struct Case {
    int code;
    bool is_double;
    int index;
    double value;
    int want;
    const char* why;
  };
  const Case cases[] = {
      {0, true, 0, 0.0, kMsgSigmaMultiple, "zones divide by the multiple"},
      {0, true, 3, 1e300, kMsgSigmaMultiple, "absurd multiple"},
      {0, true, 1, kMissing, 0, "a missing multiple removes its line"},
      {8, false, 34, 0, kMsgSpan, "span 0"},
      {8, false, 34, 1e9, kMsgSpan, "span 10^9"},
      {9, true, 21, 0.0, kMsgWeight, "lambda 0"},
      {9, true, 21, 1.5, kMsgWeight, "lambda 1.5"},
      {9, true, 21, 1.0, 0, "lambda 1 is allowed"},
      {0, false, 16, 0, kMsgRunsRule, "run length 0"},
      {0, false, 19, 6, kMsgRunsRule, "4 of 5 became 6 of 5"},
      {0, true, 13, -1.0, kMsgRunsRule, "negative zone"},
      {20, true, 55, 1.0, kMsgWeight, "acceptance delta 1"},
  };
  for (const Case& c : cases) {
    ChartOptions o = default_chart_options();
    if (c.is_double) {
      o.doption[c.index] = c.value;
    } else {
      o.option[c.index] = static_cast<std::int32_t>(c.value);
    }
    EXPECT_EQ(validate_chart_options(o, c.code), c.want) << c.why;
  }
}

TEST(ChartOptions, StandardAndPhasesChecked) {
  ChartOptions o = default_chart_options();
  o.option[1] = 1;
  EXPECT_EQ(validate_chart_options(o, 0), kMsgStandardMissing);
  o.doption[4] = 10;
  EXPECT_EQ(validate_chart_options(o, 0), kMsgStandardMissing);  // sigma0 too
  EXPECT_EQ(validate_chart_options(o, 7), 0);                    // c0 is enough
  o.doption[5] = 2;
  EXPECT_EQ(validate_chart_options(o, 0), 0);
  EXPECT_EQ(validate_chart_options(o, 19), kMsgTrendMissing);
  o.option[4] = 1;  // entered limits need no standards
  o.doption[4] = kMissing;
  EXPECT_EQ(validate_chart_options(o, 0), 0);

  ChartOptions p = default_chart_options();
  p.option[67] = 10;
  p.option[68] = 5;
  EXPECT_EQ(validate_chart_options(p, 0), kMsgPhaseBreaks);
  p.option[68] = 20;
  EXPECT_EQ(validate_chart_options(p, 0), 0);
}

}  // namespace
}  // namespace ztq
