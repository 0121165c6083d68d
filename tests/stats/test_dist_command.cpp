// The distribution calculator's line evaluator, as the command line sees it.
#include <gtest/gtest.h>

#include <string>

#include "stats/dist_command.h"

namespace ztq {
namespace {

struct Line {
  const char* in;
  DistStatus status;
  const char* out;
};

TEST(DistCommand, ResultsAbortsAndErrors) {
  const Line lines[] = {
      {"norm-cdf 0", DistStatus::ok, "0.5"},
      {"norm-quantile 0.5", DistStatus::ok, "0"},
      {"norm-quantile 1", DistStatus::ok, "9.9999999999999997e+199"},  // 1e200 in %.17g
      {"  t-quantile   0.5  0 ", DistStatus::ok, "-32768"},
      {"gamma 0", DistStatus::ok, "-32768"},
      {"gamma -1", DistStatus::ok, "-32768"},
      {"lgamma2 170", DistStatus::ok, "-32768"},
      {"div 7 2", DistStatus::ok, "3.5"},
      {"pow -2 3", DistStatus::ok, "-8"},
      {"sqrt 2.25", DistStatus::ok, "1.5"},
      {"exp -250", DistStatus::ok, "0"},
      {"log10 1000", DistStatus::ok, "3"},
      {"ln 1", DistStatus::ok, "0"},
      {"chisq-cdf 0 3", DistStatus::ok, "0"},
      {"f-quantile 1 3 4", DistStatus::ok, "9.9999999999999997e+199"},
      {"coded-cdf 23 0 1 0 0 1", DistStatus::ok, "0.75"},
      {"coded-quantile 20 2 6 0 0 0.25", DistStatus::ok, "3"},
      {"coded-density 9 0.3 0 0 0 1", DistStatus::ok, "0.29999999999999999"},
      {"coded-density 99 0 0 0 0 1", DistStatus::ok, "-32768"},
      {"coded-cdf 20 0 4 0 0 2", DistStatus::ok, "0.5"},
      // 2 x 0.25 x (sum of the eight-decimal weights 0.499999995)
      {"density-integral 20 0 4 0 0 2", DistStatus::ok, "0.49999999499999997"},
      {"div 1 0", DistStatus::abort, "abort"},
      {"pow -8 0.5", DistStatus::abort, "abort"},
      {"sqrt -1", DistStatus::abort, "abort"},
      {"exp 250", DistStatus::abort, "abort"},
      {"ln 0", DistStatus::abort, "abort"},
      {"log10 -3", DistStatus::abort, "abort"},
      {"lgamma -0.5", DistStatus::abort, "abort"},
      {"coded-cdf 0 0 0 0 0 1", DistStatus::abort, "abort"},  // exponential with mean 0
      {"", DistStatus::error, "error"},
      {"norm-cdf", DistStatus::error, "error"},
      {"norm-cdf 1 2", DistStatus::error, "error"},
      {"norm-cdf x", DistStatus::error, "error"},
      {"norm-cdf 1.5e", DistStatus::error, "error"},
      {"norm-cdf 0x10", DistStatus::error, "error"},
      {"NORM-CDF 1", DistStatus::error, "error"},
      {"normcdf 1", DistStatus::error, "error"},
      {"coded-cdf 2.5 0 1 0 0 1", DistStatus::error, "error"},
      {"coded-cdf 3 0 1 0 0", DistStatus::error, "error"},
      {"t-cdf 1 2 3 4 5 6 7 8 9", DistStatus::error, "error"},
      {"div +1e2 -4", DistStatus::ok, "-25"},
      {"coded-cdf 1e300 0 1 0 0 1", DistStatus::ok, "-32768"},  // no such code
      // "nan" and "inf" were taken as numbers while 1e400 was refused, and
      // finite arguments could print -nan or inf.
      {"norm-cdf nan", DistStatus::error, "error"},
      {"norm-cdf inf", DistStatus::error, "error"},
      {"norm-cdf -inf", DistStatus::error, "error"},
      {"norm-cdf -INFINITY", DistStatus::error, "error"},
      {"norm-cdf 1e400", DistStatus::error, "error"},  // overflows a double
      {"t-cdf 1 nan", DistStatus::error, "error"},
      {"chisq-cdf 1e308 1e308", DistStatus::abort, "abort"},  // gave -nan
      {"gamma 1e308", DistStatus::abort, "abort"},            // Gamma overflows past 171.6
      {"exp 1000", DistStatus::abort, "abort"},               // e^1000 overflows
      {"norm-cdf 1e308", DistStatus::ok, "1"},
  };
  for (const Line& l : lines) {
    std::string out = "unset";
    EXPECT_EQ(run_dist_line(l.in, out), l.status) << l.in;
    EXPECT_EQ(out, l.out) << l.in;
  }
}

}  // namespace
}  // namespace ztq
