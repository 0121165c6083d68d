// The coded family: density, cumulative probability and quantile of every code
// against hand calculations written out beside each row.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kLogisticUnitSd = kPi / 1.7320508075689;  // sd giving logistic scale 1

struct Dist {
  int code;
  std::array<double, 4> p;
};

// The parameters with P2, P3 filled by fill_derived.
Dist dist(int code, double p0, double p1, double p2 = 0.0, double p3 = 0.0) {
  Dist d{code, {p0, p1, p2, p3}};
  fill_derived(code, d.p.data());
  return d;
}

// The parameters as given, P2 and P3 included.
Dist raw(int code, double p0, double p1, double p2, double p3) {
  return Dist{code, {p0, p1, p2, p3}};
}

struct Row {
  Dist d;
  double x;
  double want;
  double tol;
  const char* source;
};

TEST(CodedDensity, EveryCode) {
  const double e = std::exp(1.0);
  const Row rows[] = {
      {dist(0, 2, 0), 1, std::exp(-0.5) / 2, 1e-15, "e^(-1/2)/2"},
      {dist(1, 0, 1), 0, 1 / e, 1e-15, "e^0 exp(-e^0)"},
      {raw(2, 0, 0, 0, 1), 1, 1 / 2.50662827462, 1e-15, "lognormal(0, 1) at 1"},
      {dist(3, 0, 1), 0, 0.3989422804014327, 1e-11, "1/sqrt(2 pi)"},
      {dist(4, 2, 1, 0), 1, 2 / e, 1e-15, "Weibull(2, 1): 2 x e^(-x^2) at 1"},
      {dist(5, 3, 0), 2, std::exp(-3.0) * 9 / 2, 1e-6, "Poisson(3): e^-3 3^2/2!"},
      {dist(6, 2, 3), 0.5, 1.5, 1e-9, "beta(2, 3): 12 x (1-x)^2 at 0.5 = 1.5"},
      {dist(7, 4, 0), 2, 2 * std::exp(-1.0) / 4, 1e-9, "chi2(4): x e^(-x/2)/4"},
      {dist(8, 3, 2), 1, 4 * std::exp(-2.0), 1e-9, "Erlang(3, 2): 2^3 x^2 e^(-2x)/2!"},
      {dist(9, 0.3, 0), 0, 0.7, 1e-15, "Bernoulli(0.3), x = 0"},
      {dist(9, 0.3, 0), 1, 0.3, 1e-15, "Bernoulli(0.3), x = 1"},
      {dist(10, 0.3, 10), 3, 120 * 0.027 * std::pow(0.7, 7), 1e-5,
       "binomial(10, 0.3): C(10,3) .3^3 .7^7 = 0.26683"},
      {dist(11, 2, 2), 1, 0.25, 1e-9, "F(2, 2): 1/(1 + x)^2"},
      {dist(12, 2, 1), 1, 1 / e, 1e-9, "gamma(2, 1): x e^-x"},
      {dist(13, 1, 2), 2, std::exp(-2.0), 1e-15, "Laplace(1, 2): 0.5 x 2 e^(-2)"},
      {dist(14, 0, kLogisticUnitSd), 0, 0.25, 1e-12, "logistic, scale 1: e/(1 + e)^2 at 0"},
      {dist(15, 1, 6), 4, 1.0 / 6, 1e-15, "die"},
      {dist(16, 0.25, 0), 2, 0.25 * 0.75 * 0.75, 1e-15, "geometric: .25 x .75^2"},
      {dist(17, 1, 0), 1, 1 / (2 * kPi), 1e-9, "t(1) = Cauchy: 1/(pi (1 + 1))"},
      {dist(18, 2, 0), 2, 0.25, 1e-15, "Pareto(2): 2 x 2^-3"},
      {dist(19, 0, 1, 3), 0.5, 1.0 / 3, 1e-15, "triangular(0, 1, 3): 2(.5)/(1 x 3)"},
      {dist(19, 0, 1, 3), 2, 1.0 / 3, 1e-15, "triangular(0, 1, 3): 2(1)/(2 x 3)"},
      {dist(20, 2, 6), 3, 0.25, 1e-15, "uniform(2, 6)"},
      {dist(21, 0.5, 2), 3, 0.25, 1e-5, "neg. binomial: C(2, 1) .5^2 .5^1"},
      {dist(22, 0.4, 3, 10), 1, 0.5, 1e-5, "hypergeometric: C(4,1) C(6,2)/C(10,3) = 60/120"},
      {dist(23, 0, 1), 1, 1 / (2 * kPi), 1e-15, "Cauchy(0, 1): 1/(2 pi)"},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(coded_density(r.d.code, r.d.p.data(), r.x), r.want, r.tol) << r.source;
  }
}

TEST(CodedDensity, OutsideTheSupport) {
  const Row rows[] = {
      {dist(0, 2, 0), -1, kMissing, 0, "exponential below 0"},
      {dist(1, 0, 1), 300, 0, 0, "extreme value, z > 200"},
      {dist(1, 0, 1), 5.5, 0, 0, "extreme value, e^z = 245 > 200"},
      {raw(2, 0, 0, 0, 1), 0, 0, 0, "lognormal at 0"},
      {raw(2, 0, 0, 0, 1), -1, kMissing, 0, "lognormal below 0"},
      {dist(4, 2, 1, 0), 0, 0, 0, "Weibull shape > 1 at the threshold"},
      {dist(4, 1, 4, 0), 0, 0.25, 0, "Weibull shape 1 at the threshold: 1/scale"},
      {dist(4, 0.5, 1, 0), 0, kMissing, 0, "Weibull shape < 1 at the threshold"},
      {dist(6, 2, 3), 1.5, kMissing, 0, "beta above 1"},
      {dist(9, 0.3, 0), 0.5, kMissing, 0, "Bernoulli between 0 and 1"},
      {dist(10, 0.3, 10), 11, kMissing, 0, "binomial above n"},
      {dist(12, 0.5, 1), 0, kMissing, 0, "gamma shape < 1 at 0"},
      {dist(12, 1, 3), 0, 3, 0, "gamma shape 1 at 0: the rate"},
      {dist(14, 0, 1), 1e4, 0, 0, "logistic far tail: 0, not inf/inf"},
      {dist(15, 1, 6), 7, kMissing, 0, "die above 6"},
      {dist(18, 2, 0), 0.5, kMissing, 0, "Pareto below 1"},
      {dist(21, 0.5, 2), 1, kMissing, 0, "fewer trials than successes"},
      {dist(22, 0.4, 3, 10), 4, 0, 0, "hypergeometric x > n"},
      {dist(22, 0.8, 5, 10), 0, 0, 0, "hypergeometric n - x = 5 > N - M = 2"},
      {dist(22, 0.4, 3, 10), -1, kMissing, 0, "hypergeometric below 0"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(coded_density(r.d.code, r.d.p.data(), r.x), r.want) << r.source;
  }
  const double p[4] = {1, 2, 3, 4};
  EXPECT_EQ(coded_density(24, p, 1.0), kMissing);
  EXPECT_EQ(coded_density(-1, p, 1.0), kMissing);
}

TEST(CodedCdf, EveryCode) {
  const double e = std::exp(1.0);
  const Row rows[] = {
      {dist(0, 2, 0), 1, 1 - std::exp(-0.5), 1e-15, "1 - e^(-1/2)"},
      {dist(1, 0, 1), 0, 1 - 1 / e, 1e-15, "1 - exp(-e^0)"},
      {raw(2, 0, 0, 0, 1), e, 0.8413447461, 3e-6, "Phi(ln e) = Phi(1), A&S 26.1"},
      {dist(3, 10, 2), 13, 0.9331927987, 3e-6, "Phi(1.5), A&S 26.1"},
      {dist(4, 2, 1, 0), 1, 1 - 1 / e, 1e-15, "1 - e^(-1)"},
      {dist(5, 3, 0), 2, 8.5 * std::exp(-3.0), 1e-15, "e^-3 (1 + 3 + 9/2)"},
      {dist(6, 2, 3), 0.3, 0.3483, 1e-6, "P(Bin(4, .3) >= 2)"},
      {dist(7, 2, 0), 2, 1 - 1 / e, 1e-6, "chi2(2): 1 - e^(-x/2)"},
      {dist(8, 3, 2), 1, 1 - 5 * std::exp(-2.0), 1e-15, "1 - e^-2 (1 + 2 + 2^2/2)"},
      {dist(9, 0.3, 0), 0.5, 0.7, 1e-15, "Bernoulli: floor 0"},
      {dist(10, 0.3, 10), 3, 0.6496107184, 3e-5, "sum of C(10,k) .3^k .7^(10-k), k <= 3"},
      {dist(11, 2, 2), 3, 0.75, 1e-6, "F(2, 2): x/(1 + x)"},
      {dist(12, 2, 1), 1, 1 - 2 / e, 1e-6, "gamma(2, 1): 1 - e^-x (1 + x)"},
      {dist(12, 0.5, 1), 3, std::erf(std::sqrt(3.0)), 1e-5,
       "gamma(1/2, 1) = chi2(1)/2: erf(sqrt 3) = 0.98569 (the 32-point rule gave 0.9595)"},
      {dist(12, 1, 2), 1.5, 1 - std::exp(-3.0), 1e-6, "gamma shape 1, rate 2: 1 - e^(-2 x 1.5)"},
      {dist(13, 1, 2), 2, 1 - 0.5 * std::exp(-2.0), 1e-15, "1 - 0.5 e^-2"},
      {dist(13, 1, 2), 0, 0.5 * std::exp(-2.0), 1e-15, "0.5 e^-2"},
      {dist(14, 0, kLogisticUnitSd), 1, 1 / (1 + 1 / e), 1e-12, "1/(1 + e^-1)"},
      {dist(15, 1, 6), 3.5, 0.5, 1e-15, "die: 3 of 6"},
      {dist(16, 0.25, 0), 2, 1 - 0.75 * 0.75 * 0.75, 1e-15, "1 - .75^3"},
      {dist(17, 1, 0), 1, 0.75, 1e-6, "t(1): 1/2 + atan(1)/pi"},
      {dist(18, 2, 0), 2, 0.75, 1e-15, "1 - 2^-2"},
      {dist(19, 0, 1, 3), 0.5, 0.25 / 3, 1e-15, ".5^2/(1 x 3)"},
      {dist(19, 0, 1, 3), 2, 1 - 1.0 / 6, 1e-15, "1 - 1^2/(2 x 3)"},
      {dist(20, 2, 6), 3, 0.25, 1e-15, "(3 - 2)/4"},
      {dist(21, 0.5, 2), 3, 0.5, 2e-5, "P(2) + P(3) = .25 + .25"},
      {dist(22, 0.4, 3, 10), 1, 2.0 / 3, 2e-5, "(20 + 60)/120"},
      {dist(22, 0.8, 5, 10), 3, 56.0 / 252, 2e-5, "C(8,3) C(2,2)/C(10,5): sum starts at 3"},
      {dist(23, 0, 1), -1, 0.25, 1e-15, "Cauchy: 1/2 + atan(-1)/pi"},
      {dist(23, 0, 1), 1, 0.75, 1e-15, "Cauchy: 1/2 + atan(1)/pi"},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(coded_cdf(r.d.code, r.d.p.data(), r.x), r.want, r.tol) << r.source;
  }
}

TEST(CodedCdf, LimitsAndMendedRanges) {
  const Row rows[] = {
      {dist(0, 2, 0), -1, 0, 0, "exponential below 0 (was 1 - e^(1/2) < 0)"},
      {dist(1, 0, 1), 300, 1, 0, "extreme value, z > 200"},
      {dist(1, 0, 1), 5.5, 1, 0, "extreme value, e^z > 200"},
      {dist(1, 0, 1), -300, 0, 0, "extreme value, z < -200"},
      {raw(2, 0, 0, 0, 1), 0, 0, 0, "lognormal at 0"},
      {dist(5, 3, 0), -1, 0, 0, "Poisson below 0"},
      {dist(5, 3, 0), 1e300, 1, 1e-12, "Poisson: the sum ends once it stops growing"},
      {dist(9, 0.3, 0), -0.5, 0, 0, "Bernoulli below 0"},
      {dist(10, 0.5, 80), 1e300, 1, 1e-3, "binomial: sum ends at n"},
      {dist(14, 0, 1), 1e4, 1, 0, "logistic far right"},
      {dist(14, 0, 1), -1e4, 0, 0, "logistic far left"},
      {dist(15, 1, 6), 0, 0, 0, "die below 1"},
      {dist(15, 1, 6), 60, 1, 0, "die above 6"},
      {dist(16, 0.25, 0), -3, 0, 0, "geometric below 0 (was 1 - .75^-2 < 0)"},
      {dist(21, 0.5, 2), 1e300, 1, 1e-3, "negative binomial: the sum ends"},
      {dist(22, 0.4, 3, 10), 50, 1, 1e-4, "hypergeometric capped at 1"},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(coded_cdf(r.d.code, r.d.p.data(), r.x), r.want, r.tol) << r.source;
    EXPECT_LE(coded_cdf(r.d.code, r.d.p.data(), r.x), 1.0) << r.source;
  }
}

TEST(CodedQuantile, EveryCode) {
  const double e = std::exp(1.0);
  const Row rows[] = {
      {dist(0, 2, 0), 0.5, 2 * std::log(2.0), 1e-15, "-2 ln(1/2)"},
      {dist(1, 0, 1), 1 - 1 / e, 0, 1e-15, "ln(ln(1/e^-1)) = 0"},
      {raw(2, 0, 0, 0, 1), 0.975, std::exp(1.959963985), 1e-4, "e^z(.975)"},
      {dist(3, 10, 2), 0.975, 10 + 2 * 1.959963985, 2e-5, "10 + 2 z(.975)"},
      {dist(4, 2, 1, 0.5), 1 - 1 / e, 1.5, 1e-15, "0.5 + (-ln e^-1)^(1/2)"},
      {dist(5, 3, 0), 0.42, 2, 0, "Poisson(3): P(<=1) = .199, P(<=2) = .423"},
      {dist(6, 2, 2), 0.5, 0.5, 1e-6, "symmetric beta"},
      {dist(7, 2, 0), 0.95, 5.991465, 1e-4, "A&S 26.8"},
      {dist(8, 3, 2), 1 - 5 / (e * e), 1, 1e-4, "inverse of the cdf row"},
      {dist(9, 0.3, 0), 0.7, 0, 0, "Bernoulli: P(0) = .7 reaches .7"},
      {dist(9, 0.3, 0), 0.71, 1, 0, "Bernoulli above .7"},
      {dist(10, 0.3, 10), 0.6, 3, 0, "binomial: P(<=2) = .383, P(<=3) = .650"},
      {dist(11, 2, 2), 0.95, 19, 1e-3, "F(2, 2): x/(1+x) = .95"},
      {dist(12, 2, 1), 1 - 2 / e, 1, 1e-4, "inverse of the cdf row"},
      {dist(13, 1, 2), 0.25, 1 + std::log(0.5) / 2, 1e-15, "1 + ln(2 x .25)/2"},
      {dist(13, 1, 2), 0.75, 1 - std::log(0.5) / 2, 1e-15, "1 - ln(2 x .25)/2"},
      {dist(14, 0, kLogisticUnitSd), 1 / (1 + 1 / e), 1, 1e-12, "ln(p/(1-p)) = 1"},
      {dist(15, 1, 6), 0.5, 3, 0, "die: 3/6 reaches .5"},
      {dist(15, 1, 6), 0.51, 4, 0, "die: above .5"},
      {dist(15, -5, 4), 0.1, -5, 0, "uniform on -5..4: one of ten (stepping from 0 gave 0)"},
      {dist(16, 0.25, 0), 0.578125, 2, 0, "1 - .75^3 = .578125"},
      {dist(16, 0.25, 0), 0.58, 3, 0, "just above"},
      {dist(17, 1, 0), 0.75, 1, 1e-6, "t(1): tan(pi/4)"},
      {dist(18, 2, 0), 0.75, 2, 1e-15, "(1/.25)^(1/2)"},
      {dist(19, 0, 1, 3), 1.0 / 12, 0.5, 1e-15, "inverse of .5^2/3"},
      {dist(19, 0, 1, 3), 5.0 / 6, 2, 1e-15, "inverse of 1 - 1/6"},
      {dist(20, 2, 6), 0.25, 3, 1e-15, "2 + .25 x 4"},
      {dist(21, 0.5, 2), 0.2, 2, 0, "P(2) = .25 reaches .2"},
      {dist(21, 0.5, 2), 0.45, 3, 0, "P(<=3) = .5 reaches .45"},
      {dist(22, 0.4, 3, 10), 0.5, 1, 0, "1/6 < .5 <= 2/3"},
      {dist(23, 0, 1), 0.75, 1, 1e-15, "Cauchy: tan(pi/4)"},
      {dist(23, 2, 3), 0.1, 2 + 3 * std::tan(kPi * -0.4), 1e-12, "Cauchy closed form"},
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(coded_quantile(r.d.code, r.d.p.data(), r.x), r.want, r.tol) << r.source;
  }
}

TEST(CodedQuantile, EndsOfTheUnitInterval) {
  const Row rows[] = {
      {dist(9, 0.3, 0), 1, 1, 0, "Bernoulli"},
      {dist(10, 0.3, 10), 1, 10, 0, "binomial: n"},
      {dist(15, 1, 6), 1, 6, 0, "discrete uniform: upper"},
      {dist(20, 2, 6), 1, 6, 0, "uniform: upper"},
      {dist(19, 0, 1, 3), 1, 3, 0, "triangular: upper"},
      {dist(3, 0, 1), 1, kMissing, 0, "normal at 1: missing"},
      {dist(0, 2, 0), 0, 0, 0, "exponential at 0"},
      {dist(1, 0, 1), 0, 0, 0, "extreme value at 0"},
      {raw(2, 0, 0, 0, 1), 0, 0, 0, "lognormal at 0"},
      {dist(18, 2, 0), 0, 0, 0, "Pareto at 0"},
      {dist(4, 2, 1, 0.5), 0, 0.5, 0, "Weibull at 0: the threshold"},
      {dist(19, 0, 1, 3), 0, 0, 0, "triangular at 0: lower"},
      {dist(20, 2, 6), 0, 2, 0, "uniform at 0: lower"},
      {dist(3, 0, 1), 0, kMissing, 0, "normal at 0: missing"},
      {dist(5, 3, 0), 0, kMissing, 0, "Poisson at 0: missing"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(coded_quantile(r.d.code, r.d.p.data(), r.x), r.want) << r.source;
  }
}

TEST(CodedQuantile, DiscreteStepsStopAtTheSupportEnd) {
  // The probabilities of binomial(80, 1/2) sum to a total that may round below
  // 0.99999999: stepping went on past n for ever.
  const Dist b = dist(10, 0.5, 80);
  const double x = coded_quantile(10, b.p.data(), 0.99999999);
  EXPECT_GE(x, 40.0);
  EXPECT_LE(x, 80.0);
  // Hypergeometric steps end at min(n, M) = 4.
  const Dist h = dist(22, 0.4, 6, 10);
  EXPECT_LE(coded_quantile(22, h.p.data(), 0.9999999999), 4.0);
  // Poisson with a total that stops growing below p.
  const Dist po = dist(5, 20, 0);
  const double xp = coded_quantile(5, po.p.data(), 1 - 1e-15);
  EXPECT_GT(xp, 20.0);
  EXPECT_LT(xp, 200.0);
}

TEST(CodedQuantile, RoundTripContinuous) {
  const Dist ds[] = {dist(0, 2, 0),      dist(1, 3, 0.5),  raw(2, 0, 0, 1.5, 0.4), dist(3, -1, 4),
                     dist(4, 1.7, 2, 0), dist(6, 2.5, 4),  dist(7, 6, 0),          dist(8, 4, 0.5),
                     dist(11, 5, 12),    dist(12, 0.7, 3), dist(13, 2, 0.5),       dist(14, 1, 2),
                     dist(17, 9, 0),     dist(18, 3, 0),   dist(19, -1, 0, 4),     dist(20, -3, 3),
                     dist(23, 1, 2)};
  for (const Dist& d : ds) {
    for (double p : {0.01, 0.2, 0.5, 0.77, 0.99}) {
      const double x = coded_quantile(d.code, d.p.data(), p);
      EXPECT_NEAR(coded_cdf(d.code, d.p.data(), x), p, 2e-4) << "code " << d.code << " p " << p;
    }
  }
}

TEST(FillDerived, HandValues) {
  // lognormal mean 1, sd 1: sigma2 = ln 2, mu = ln(1/sqrt 2) = -ln(2)/2
  Dist ln = dist(2, 1, 1);
  EXPECT_NEAR(ln.p[2], -std::log(2.0) / 2, 1e-15);
  EXPECT_NEAR(ln.p[3], std::sqrt(std::log(2.0)), 1e-15);
  EXPECT_NEAR(dist(5, 3, 0).p[2], std::exp(-3.0), 1e-15);
  EXPECT_NEAR(dist(6, 2, 3).p[2], 1.0 / 12, 1e-10);                           // B(2, 3) = 1! 2!/4!
  EXPECT_NEAR(dist(12, 3, 2).p[2], 3 * std::log(2.0) - std::log(2.0), 1e-9);  // ln(2^3/2!)
  EXPECT_NEAR(dist(17, 1, 0).p[2], -std::log(kPi), 1e-10);                    // 1/(pi(1 + x^2))
  EXPECT_NEAR(dist(10, 0.3, 10).p[2], std::log(3628800.0), 1e-9);             // ln 10!
  EXPECT_NEAR(dist(10, 0.3, 10).p[3], std::log(0.7), 1e-15);
  double w[4] = {2, 1, kMissing, 0};
  fill_derived(4, w);
  EXPECT_EQ(w[2], 0.0);  // Weibull without a threshold: 0
}

TEST(DensityIntegral, AgreesWithClosedForms) {
  const Dist n = dist(3, 0, 1);
  // The weights are tabulated to eight decimals: about 1e-8 of the integral.
  EXPECT_NEAR(density_integral(3, n.p.data(), 2.0), 0.4772498681, 2e-8);  // Phi(2) - 1/2
  const Dist x = dist(0, 2, 0);
  EXPECT_NEAR(density_integral(0, x.p.data(), 3.0), 1 - std::exp(-1.5), 2e-8);
  // Missing densities count as 0: the exponential has no mass below 0.
  EXPECT_EQ(density_integral(0, x.p.data(), -3.0), 0.0);
}

}  // namespace
}  // namespace ztq
