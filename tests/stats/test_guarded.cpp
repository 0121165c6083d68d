// Guarded arithmetic: the domain errors abort through DomainAbort, everything
// else is the plain function.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stats/guarded.h"

namespace ztq {
namespace {

TEST(Guarded, DomainErrorsAbort) {
  EXPECT_THROW(g_div(1.0, 0.0), DomainAbort);
  EXPECT_THROW(g_div(0.0, -0.0), DomainAbort);
  EXPECT_THROW(g_pow(-8.0, 1.0 / 3.0), DomainAbort);
  EXPECT_THROW(g_pow(-2.0, 0.5), DomainAbort);
  EXPECT_THROW(g_sqrt(-1e-300), DomainAbort);
  EXPECT_THROW(g_exp(250.0), DomainAbort);
  EXPECT_THROW(g_exp(200.0000001), DomainAbort);
  EXPECT_THROW(g_ln(0.0), DomainAbort);
  EXPECT_THROW(g_ln(-1.0), DomainAbort);
  EXPECT_THROW(g_log10(0.0), DomainAbort);
  EXPECT_THROW(g_log10(-5.0), DomainAbort);
}

TEST(Guarded, ValuesInsideTheDomain) {
  struct Row {
    double got;
    double want;
    const char* source;
  };
  const Row rows[] = {
      {g_div(7.0, -2.0), -3.5, "7 / -2"},
      {g_pow(-2.0, 3.0), -8.0, "a whole exponent takes a negative base"},
      {g_pow(9.0, 0.5), 3.0, "sqrt 9"},
      {g_sqrt(0.0), 0.0, "boundary of the domain"},
      {g_sqrt(2.25), 1.5, "1.5^2 = 2.25"},
      {g_exp(-250.0), 0.0, "below -200 the exponential is 0"},
      {g_exp(-200.0), std::exp(-200.0), "-200 is still evaluated"},
      {g_exp(200.0), std::exp(200.0), "200 is the last allowed argument"},
      {g_ln(std::exp(1.0)), 1.0, "ln e"},
      {g_log10(1000.0), 3.0, "log10 1000"},
  };
  for (const Row& r : rows) EXPECT_DOUBLE_EQ(r.got, r.want) << r.source;
}

TEST(Guarded, MissingValueIsRecognised) {
  EXPECT_TRUE(is_missing(-32768.0));
  EXPECT_FALSE(is_missing(-32767.999));
  EXPECT_FALSE(is_missing(std::numeric_limits<double>::quiet_NaN()));
}

}  // namespace
}  // namespace ztq
