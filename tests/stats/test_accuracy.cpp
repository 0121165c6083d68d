// Largest errors of each routine over fixed grids, against the independent
// long double methods of reference.h and the C library's tgamma/lgamma. The
// bounds asserted here are the figures of docs/accuracy.md; the test prints the
// measured values so the document can be checked against a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "reference.h"
#include "stats/distributions.h"

namespace ztq {
namespace {

using ld = long double;

struct Worst {
  double err = 0.0;
  double at1 = 0.0, at2 = 0.0, at3 = 0.0;
  void see(double e, double a, double b = 0.0, double c = 0.0) {
    if (e > err) *this = {e, a, b, c};
  }
};

void report(const char* what, const Worst& w, double bound) {
  std::printf("%-44s %.2e at (%g, %g, %g)\n", what, w.err, w.at1, w.at2, w.at3);
  EXPECT_LE(w.err, bound) << what;
}

TEST(Accuracy, Normal) {
  Worst cdf, q, tail;
  for (double z = -8.0; z <= 8.0; z += 0.001) {
    cdf.see(std::fabs(norm_cdf(z) - static_cast<double>(ref::norm_cdf(z))), z);
  }
  for (double p = 0.0005; p < 0.9999; p += 0.0005) {
    q.see(std::fabs(norm_quantile(p) - static_cast<double>(ref::norm_quantile(p))), p);
  }
  for (double p : {1e-12, 1e-10, 1e-8, 1e-6, 1e-5, 1e-4}) {
    tail.see(std::fabs(norm_quantile(p) - static_cast<double>(ref::norm_quantile(p))), p);
  }
  report("norm_cdf abs, z in [-8, 8] step 0.001", cdf, 3e-6);
  report("norm_quantile abs in z, p in [0.0005, 0.9995]", q, 7e-6);
  report("norm_quantile abs in z, p 1e-12..1e-4", tail, 1.5e-5);
}

const double kDfs[] = {1, 2, 3, 4, 5, 7, 10, 15, 20, 30, 50, 100, 300, 600};

TEST(Accuracy, StudentT) {
  Worst cdf, q;
  for (double nu : kDfs) {
    for (double t = -10.0; t <= 10.0; t += 0.05) {
      cdf.see(std::fabs(t_cdf(t, nu) - static_cast<double>(ref::t_cdf(t, nu))), nu, t);
    }
    for (double p : {0.0005, 0.001, 0.005, 0.01, 0.025, 0.05,  0.1,  0.2,   0.3,   0.4,   0.45,
                     0.6,    0.7,   0.8,   0.9,  0.95,  0.975, 0.99, 0.995, 0.999, 0.9995}) {
      const ld exact = ref::bisect([&](ld t) { return ref::t_cdf(t, nu); }, p, -1e4L, 1e4L);
      const double got = t_quantile(p, nu);
      q.see(std::fabs(got - static_cast<double>(exact)) / std::fabs(static_cast<double>(exact)), nu,
            p);
    }
  }
  report("t_cdf abs, nu 1..600, t in [-10, 10] step 0.05", cdf, 3e-6);
  report("t_quantile rel, nu 1..600, p 0.0005..0.9995", q, 2e-5);
}

TEST(Accuracy, ChiSquare) {
  Worst cdf, q, wh_cdf, wh_q;
  for (double nu : {0.5, 1.0, 1.5, 2.0, 3.0, 4.0, 5.0, 7.0, 10.0, 15.0, 20.0, 30.0, 50.0, 75.0,
                    99.0, 100.0, 150.0, 300.0}) {
    const double top = 4.0 * nu + 20.0;
    for (int i = 1; i <= 400; ++i) {
      const double x = top * i / 400.0;
      (nu < 100.0 ? cdf : wh_cdf)
          .see(std::fabs(chisq_cdf(x, nu) - static_cast<double>(ref::chisq_cdf(x, nu))), nu, x);
    }
    if (nu < 1.0) continue;  // reported separately below
    for (double p :
         {0.001, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 0.75, 0.9, 0.95, 0.975, 0.99, 0.999}) {
      const ld exact = ref::bisect([&](ld x) { return ref::chisq_cdf(x, nu); }, p, 0.0L, 1e4L);
      (nu < 100.0 ? q : wh_q)
          .see(std::fabs(chisq_quantile(p, nu) - static_cast<double>(exact)) /
                   static_cast<double>(exact),
               nu, p);
    }
  }
  report("chisq_cdf abs, nu 0.5..99, x in (0, 4 nu + 20]", cdf, 3e-5);
  report("chisq_cdf abs, nu 100..300 (Wilson-Hilferty)", wh_cdf, 1.5e-4);
  report("chisq_quantile rel, nu 1..99, p 0.001..0.999", q, 1e-4);
  report("chisq_quantile rel, nu 100..300 (Wilson-Hilferty)", wh_q, 1e-3);
  Worst low;
  for (double p : {0.001, 0.01, 0.05, 0.5, 0.95}) {
    const ld exact = ref::bisect([&](ld x) { return ref::chisq_cdf(x, 0.5L); }, p, 0.0L, 1e3L);
    low.see(
        std::fabs(chisq_quantile(p, 0.5) - static_cast<double>(exact)) / static_cast<double>(exact),
        0.5, p);
  }
  report("chisq_quantile rel, nu 0.5, p 0.001..0.95", low, 0.2);
}

const double kFDfs[] = {1, 2, 3, 5, 10, 20, 50, 200};

TEST(Accuracy, F) {
  Worst cdf, q;
  for (double n1 : kFDfs) {
    for (double n2 : kFDfs) {
      for (int i = 1; i <= 200; ++i) {
        const double x = 0.1 * i;
        cdf.see(std::fabs(f_cdf(x, n1, n2) - static_cast<double>(ref::f_cdf(x, n1, n2))), n1, n2,
                x);
      }
      for (double p : {0.01, 0.05, 0.1, 0.5, 0.9, 0.95, 0.99, 0.999}) {
        const ld exact = ref::bisect([&](ld x) { return ref::f_cdf(x, n1, n2); }, p, 0.0L, 1e7L);
        q.see(std::fabs(f_quantile(p, n1, n2) - static_cast<double>(exact)) /
                  static_cast<double>(exact),
              n1, n2, p);
      }
    }
  }
  report("f_cdf abs, nu1, nu2 1..200, x in (0, 20]", cdf, 2e-5);
  report("f_quantile rel, nu1, nu2 1..200, p 0.01..0.999", q, 3e-3);
}

TEST(Accuracy, IncompleteBeta) {
  Worst cdf, q;
  const double shapes[] = {0.5, 1.0, 2.0, 5.0, 10.0, 50.0, 250.0};
  for (double a : shapes) {
    for (double b : shapes) {
      for (int i = 1; i < 100; ++i) {
        const double x = 0.01 * i;
        cdf.see(std::fabs(ibeta(x, a, b) - static_cast<double>(ref::ibeta(x, a, b))), a, b, x);
      }
      for (double p : {0.001, 0.01, 0.1, 0.5, 0.9, 0.99, 0.999}) {
        const ld exact = ref::bisect([&](ld x) { return ref::ibeta(x, a, b); }, p, 0.0L, 1.0L);
        q.see(std::fabs(ibeta_inv(p, a, b) - static_cast<double>(exact)), a, b, p);
      }
    }
  }
  report("ibeta abs, a, b 0.5..250, x 0.01..0.99", cdf, 2e-6);
  report("ibeta_inv abs in x, a, b 0.5..250, p 0.001..0.999", q, 3e-5);
}

TEST(Accuracy, GammaFunctions) {
  Worst g, gneg, lg, lg23, lg2;
  for (double x = 0.01; x <= 30.0; x += 0.01) {
    const double rel = std::fabs(gamma_fn(x) - std::tgamma(x)) / std::tgamma(x);
    (x > 2.0 && x < 3.0 ? lg23 : g).see(rel, x);
  }
  for (double x = -9.995; x < 0.0; x += 0.01) {
    if (std::floor(x) == x) continue;
    gneg.see(std::fabs(gamma_fn(x) - std::tgamma(x)) / std::fabs(std::tgamma(x)), x);
  }
  for (double x = 0.01; x <= 100.0; x += 0.01) {
    lg.see(std::fabs(log_gamma(x) - std::lgamma(x)), x);
  }
  for (double x = 0.01; x < 170.0; x += 0.01) {
    lg2.see(std::fabs(log_gamma2(x) - std::lgamma(x)), x);
  }
  report("gamma_fn rel, x in (0, 30] minus (2, 3)", g, 1.5e-6);
  report("gamma_fn rel, x in (2, 3)", lg23, 3.1e-4);
  report("gamma_fn rel, x in (-10, 0)", gneg, 5e-7);
  report("log_gamma abs, x in (0, 100]", lg, 3.1e-4);
  report("log_gamma2 abs, x in (0, 170)", lg2, 5e-10);
}

// Exact discrete probabilities in long double with lgammal.
ld binom_pmf(ld k, ld n, ld p) {
  return std::exp(std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1) +
                  k * std::log(p) + (n - k) * std::log1p(-p));
}

TEST(Accuracy, DiscreteCodes) {
  Worst bin, poi, nb, hyp;
  for (double n : {1.0, 5.0, 20.0, 50.0, 200.0}) {
    for (double pr : {0.05, 0.3, 0.5, 0.9}) {
      double p[4] = {pr, n, 0, 0};
      fill_derived(10, p);
      ld cum = 0;
      for (double k = 0; k <= n; k += 1) {
        cum += binom_pmf(k, n, pr);
        bin.see(std::fabs(coded_cdf(10, p, k) - static_cast<double>(std::min(cum, 1.0L))), n, pr,
                k);
      }
    }
  }
  for (double m : {0.5, 3.0, 20.0, 100.0}) {
    double p[4] = {m, 0, 0, 0};
    fill_derived(5, p);
    ld cum = 0;
    for (double k = 0; k <= 3 * m + 20; k += 1) {
      cum += std::exp(k * std::log(static_cast<ld>(m)) - m - std::lgamma(k + 1.0L));
      poi.see(std::fabs(coded_cdf(5, p, k) - static_cast<double>(cum)), m, k);
    }
  }
  for (double kk : {1.0, 3.0, 10.0}) {
    for (double pr : {0.2, 0.5, 0.8}) {
      double p[4] = {pr, kk, 0, 0};
      fill_derived(21, p);
      ld cum = 0;
      for (double x = kk; x <= kk / pr * 4 + 20; x += 1) {
        cum += binom_pmf(kk - 1, x - 1, pr) * pr;  // C(x-1, k-1) p^k (1-p)^(x-k)
        nb.see(std::fabs(coded_cdf(21, p, x) - static_cast<double>(cum)), kk, pr, x);
      }
    }
  }
  for (double big_n : {10.0, 50.0}) {
    for (double frac : {0.2, 0.5}) {
      for (double n : {3.0, 8.0}) {
        double p[4] = {frac, n, big_n, 0};
        const ld m = std::floor(frac * big_n + 0.5);
        ld cum = 0;
        for (double x = 0; x <= n; x += 1) {
          if (x <= m && n - x <= big_n - m) {
            cum += std::exp(std::lgamma(m + 1) - std::lgamma(x + 1.0L) - std::lgamma(m - x + 1) +
                            std::lgamma(big_n - m + 1) - std::lgamma(n - x + 1.0L) -
                            std::lgamma(big_n - m - n + x + 1) - std::lgamma(big_n + 1.0L) +
                            std::lgamma(n + 1.0L) + std::lgamma(big_n - n + 1.0L));
          }
          hyp.see(std::fabs(coded_cdf(22, p, x) - static_cast<double>(std::min(cum, 1.0L))), big_n,
                  frac, x);
        }
      }
    }
  }
  report("binomial cdf abs, n 1..200", bin, 1e-6);
  report("Poisson cdf abs, mean 0.5..100", poi, 1e-13);
  report("negative binomial cdf abs, k 1..10", nb, 1e-6);
  report("hypergeometric cdf abs, N 10, 50", hyp, 1.5e-6);
}

}  // namespace
}  // namespace ztq
