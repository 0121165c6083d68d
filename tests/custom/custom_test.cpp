// The custom chart frame: the axis check of the input form, the segments of
// the reference lines, and the sentences that describe the frame.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "bridge/module_state.h"
#include "custom/custom_frame.h"
#include "interpret/interpret.h"
#include "ztqualty.h"

namespace ztq {
namespace {

TEST(CustomAxisCheck, RefusesAsTheInputFormMust) {
  struct Row {
    CustomAxis axis;
    int32_t want;
    const char* why;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Row rows[] = {
      {{0, 100, 20}, 0, "the defaults"},
      {{0, 0, 20}, kCustomMaxNotAboveMin, "maximum equal to minimum"},
      {{5, 1, 1}, kCustomMaxNotAboveMin, "maximum below minimum"},
      {{0, 1e-10, 1}, kCustomMaxNotAboveMin, "exactly 1e-10 above is not above"},
      {{0, 2e-10, 1e-10}, 0, "2e-10 above, the least increment"},
      {{0, 100, 0.99e-10}, kCustomIncrementTooSmall, "increment just below 1e-10"},
      {{0, 100, 1e-300}, kCustomIncrementTooSmall, "a tiny increment"},
      {{0, 100, -5}, kCustomIncrementTooSmall, "a negative increment"},
      {{-1e308, 1e308, 1e307}, 0, "the largest axes: their span overflows, still ordered"},
      {{0, inf, 1}, kCustomMaxNotAboveMin, "not finite"},
      {{0, 100, inf}, kCustomIncrementTooSmall, "not finite"},
  };
  for (const Row& r : rows) EXPECT_EQ(check_custom_axis(r.axis), r.want) << r.why;
}

CustomSettings three_lines() {
  CustomSettings s;
  s.x = {10, 60, 10};
  s.y = {-5, 5, 1};
  s.position.fill(ZTQ_MISSING);
  s.position[0] = 25;  // vertical at X = 25
  s.orientation[0] = 1;
  s.position[2] = 1.5;  // horizontal at Y = 1.5, after a missing line 2
  s.position[7] = -2;   // horizontal, orientation neither 0 nor 1
  s.orientation[7] = 7;
  return s;
}

TEST(CustomFrame, LinesRunAcrossTheAxes) {
  const CustomFrame f = custom_frame(three_lines());
  ASSERT_EQ(f.lines.size(), 3u);
  struct Want {
    int line, orientation;
    double x0, y0, x1, y1;
  };
  const Want want[] = {{1, 1, 25, -5, 25, 5}, {3, 0, 10, 1.5, 60, 1.5}, {8, 0, 10, -2, 60, -2}};
  for (size_t i = 0; i < 3; ++i) {
    const CustomLine& l = f.lines[i];
    EXPECT_EQ(l.line, want[i].line);
    EXPECT_EQ(l.orientation, want[i].orientation);
    EXPECT_EQ(l.from_x, want[i].x0);
    EXPECT_EQ(l.from_y, want[i].y0);
    EXPECT_EQ(l.to_x, want[i].x1);
    EXPECT_EQ(l.to_y, want[i].y1);
  }
}

TEST(CustomFrame, EightLinesAtOnePositionAndNone) {
  CustomSettings s;
  s.position.fill(50);
  EXPECT_EQ(custom_frame(s).lines.size(), 8u) << "the same position eight times: eight lines";
  s.position.fill(ZTQ_MISSING);
  EXPECT_TRUE(custom_frame(s).lines.empty()) << "all missing: the bare frame";
  s.position[4] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(custom_frame(s).lines.empty()) << "a position that is no number draws nothing";
}

// The interpretation of a custom record: the axes, then each line.
TEST(CustomInterpretation, AxesAndLines) {
  module_startup(QUALTY_BIN);
  AnalysisRecord r{};
  r.title_number = 2186;
  const CustomSettings s = three_lines();
  const double axes[6] = {10, 60, 10, -5, 5, 1};
  for (int i = 0; i < 6; ++i) r.doption[i] = axes[i];
  for (int k = 0; k < kCustomLines; ++k) {
    r.doption[6 + k] = s.position[static_cast<size_t>(k)];
    r.option[k] = s.orientation[static_cast<size_t>(k)];
  }
  std::vector<int32_t> n(16);
  ASSERT_EQ(QualAdviceSentences(&r, 8, n.data(), 16), 5);
  n.resize(5);
  EXPECT_EQ(n, (std::vector<int32_t>{8056, 8057, 8059, 8060, 8060}));
  ASSERT_EQ(QualAdviceSentences(&r, 1, n.data(), 16), 2) << "the note: axes and count only";
  char out[8192];
  CallQualityInterpret(&r, out, 8);
  const std::string t = out;
  EXPECT_NE(t.find("from 10 to 60 in steps of 10"), std::string::npos) << t;
  EXPECT_NE(t.find("Line 1 is vertical at X = 25."), std::string::npos) << t;
  EXPECT_NE(t.find("Line 8 is horizontal at Y = -2."), std::string::npos) << t;
  for (int k = 0; k < kCustomLines; ++k) r.doption[6 + k] = ZTQ_MISSING;
  EXPECT_EQ(QualAdviceSentences(&r, 8, n.data(), 16), 2);
  EXPECT_EQ(n[1], 8058) << "no reference lines";
  EXPECT_EQ(QualAdviceSentences(&r, 2, n.data(), 16), 0) << "no such pane";
}

}  // namespace
}  // namespace ztq
