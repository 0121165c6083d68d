// Point labels formatted on demand: the number format of a code (printf's
// %.0f for whole numbers, %.10g otherwise), which points take their number
// instead, which row labels each point, and the capped longest length the X
// axis reads.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "charts/point_labels.h"
#include "charts/vchart_data.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

TEST(LabelOfNumber, MatchesThePrintfFormats) {
  struct Row {
    double v;
    const char* want;
    const char* why;
  };
  const Row kRows[] = {
      {3.0, "3", "whole: no decimals"},
      {-7.0, "-7", "negative whole"},
      {-0.0, "-0", "%.0f keeps the sign of a negative zero"},
      {999999999999999.0, "999999999999999", "the largest whole number below 10^15"},
      {1e15, "1e+15", "10^15 itself: %.10g"},
      {12.5, "12.5", "%.10g"},
      {0.1 + 0.2, "0.3", "%.10g rounds 0.30000000000000004 to ten digits"},
      {123456789012.5, "1.23456789e+11", "%.10g: 1.234567890125e11 to ten digits"},
      {0.000012345, "1.2345e-05", "%.10g: below 10^-4 in exponent form"},
      {kMissing, "", "missing"},
      {std::numeric_limits<double>::infinity(), "", "not finite"},
      {std::numeric_limits<double>::quiet_NaN(), "", "not finite"},
  };
  for (const Row& r : kRows) EXPECT_EQ(label_of_number(r.v), r.want) << r.why;
}

TEST(PointLabels, KindsAndTheirFallbacks) {
  const PointLabels codes = PointLabels::values({3.0, kMissing, 2.5});
  EXPECT_EQ(codes.size(), 3u);
  EXPECT_EQ(codes[0], "3");
  EXPECT_EQ(codes[1], "2");  // a missing code: the point's own number
  EXPECT_EQ(codes[2], "2.5");
  EXPECT_EQ(codes[9], "10");                                          // past the end: the number
  EXPECT_EQ(PointLabels::values({3.0, kMissing}, 'N', true)[1], "");  // a blank label cell

  const PointLabels texts = {"a", "", "long label"};
  EXPECT_EQ(texts[1], "");  // an empty text stays empty
  EXPECT_EQ(texts[2], "long label");

  const PointLabels numbered = PointLabels::numbered(120);
  EXPECT_EQ(numbered.size(), 120u);
  EXPECT_EQ(numbered[0], "1");
  EXPECT_EQ(numbered[119], "120");
  EXPECT_TRUE(PointLabels().empty());

  const PointLabels copy = codes;  // copies share, and read the same
  EXPECT_EQ(copy[2], "2.5");
}

TEST(PointLabels, LongestIsCapped) {
  struct Row {
    PointLabels labels;
    std::size_t cap, want;
    const char* why;
  };
  std::vector<double> eleven_then_missing(12, 1.0);
  eleven_then_missing[11] = kMissing;
  const Row kRows[] = {
      {PointLabels::numbered(120), 6, 3, "\"120\""},
      {PointLabels::numbered(1234567), 6, 6, "7 digits, capped at 6"},
      {PointLabels({"ab", "abcd"}), 6, 4, "\"abcd\""},
      {PointLabels({"", ""}), 6, 0, "all empty"},
      {PointLabels::values(eleven_then_missing), 6, 2, "a missing code at point 12: \"12\""},
      {PointLabels::values(eleven_then_missing, 'N', true), 6, 1, "a blank cell counts 0"},
      {PointLabels::values({1.0, 12.25}), 6, 5, "\"12.25\""},
      {PointLabels::values({0.1 + 0.2}), 2, 2, "\"0.3\" capped at 2"},
  };
  for (const Row& r : kRows) EXPECT_EQ(r.labels.longest(r.cap), r.want) << r.why;
}

TEST(VchartDataLabels, FromTheSubgroupAndLabelColumns) {
  // Individuals (code 3) of four rows.
  VchartColumns c;
  const std::vector<double> x = {1, 2, 3, 4};
  c.data = x;
  c.subgroup_given = true;
  const std::vector<double> same = {7, 7, 7, 7};  // one value throughout: a size, not a label
  c.subgroup = same;
  EXPECT_EQ(vchart_data(3, false, c).labels[3], "4");
  const std::vector<double> codes = {10, 20, kMissing, 40.5};
  c.subgroup = codes;
  const VchartData d = vchart_data(3, false, c);
  ASSERT_EQ(d.labels.size(), 4u);
  EXPECT_EQ(d.labels[0], "10");
  EXPECT_EQ(d.labels[2], "3");  // missing code: the point's number
  EXPECT_EQ(d.labels[3], "40.5");

  // X-bar/R (code 0): subgroups by the codes 5,5,6,6, labelled by their first rows.
  const std::vector<double> pairs = {5, 5, 6, 6};
  c.subgroup = pairs;
  const VchartData xbar = vchart_data(0, false, c);
  ASSERT_EQ(xbar.labels.size(), 2u);
  EXPECT_EQ(xbar.labels[0], "5");
  EXPECT_EQ(xbar.labels[1], "6");

  // A numeric label column wins over the subgroup codes; its blank cells and
  // the rows past its end stay blank. Rows 1 and 3 start the two subgroups.
  const std::vector<double> days = {101, kMissing, 103};
  c.row_label_values = days;
  const VchartData labelled = vchart_data(0, false, c);
  ASSERT_EQ(labelled.labels.size(), 2u);
  EXPECT_EQ(labelled.labels[0], "101");
  EXPECT_EQ(labelled.labels[1], "103");
  const VchartData individuals = vchart_data(3, false, c);
  EXPECT_EQ(individuals.labels[1], "");
  EXPECT_EQ(individuals.labels[3], "");
  c.row_label_values = {};

  // Text subgroups, fewer texts than rows: the missing ones empty.
  c.subgroup_text = true;
  c.subgroup_labels = {"mon", "tue"};
  const VchartData t = vchart_data(3, false, c);
  ASSERT_EQ(t.labels.size(), 4u);
  EXPECT_EQ(t.labels[1], "tue");
  EXPECT_EQ(t.labels[3], "");
}

TEST(VchartDataLabels, WideRowsLabelTheirPoints) {
  // Two data columns of two rows gathered row by row: X-bar (code 0) has one
  // subgroup a row, individuals (code 3) two points a row, each labelled by its row.
  VchartColumns c;
  const std::vector<double> gathered = {1, 2, 3, 4};
  c.data = gathered;
  c.wide_columns = 2;
  c.row_labels = {"first", "second"};
  const VchartData xbar = vchart_data(0, false, c);
  ASSERT_EQ(xbar.labels.size(), 2u);
  EXPECT_EQ(xbar.labels[1], "second");
  const VchartData individuals = vchart_data(3, false, c);
  ASSERT_EQ(individuals.labels.size(), 4u);
  EXPECT_EQ(individuals.labels[1], "first");
  EXPECT_EQ(individuals.labels[2], "second");
}

}  // namespace
}  // namespace ztq
