// The distribution routines of the statistical library: normal, Student t,
// chi-square, F and beta with their quantiles, the incomplete beta and its
// inverse, the gamma function and its logarithms, and the coded family of
// distributions. Each function's definition cites its method.
#pragma once

namespace ztq {

double norm_cdf(double z);                                  // Phi(z)
double norm_cdf_of(double x, double mean, double sd);       // Phi((x - mean) / sd)
double norm_quantile(double p);                             // z with Phi(z) = p
double norm_quantile_of(double p, double mean, double sd);  // mean + sd z(p)
double t_cdf(double t, double nu);
double t_quantile(double p, double nu);
double chisq_cdf(double x, double nu);
double chisq_quantile(double p, double nu);
double f_density(double x, double nu1, double nu2);
double f_cdf(double x, double nu1, double nu2);
double f_quantile(double p, double nu1, double nu2);
double ibeta(double x, double a, double b);  // regularized incomplete beta I_x(a, b)
double ibeta_inv(double p, double a, double b);
double gamma_fn(double x);    // Gamma(x)
double log_gamma(double x);   // ln Gamma(x), the short series
double log_gamma2(double x);  // ln Gamma(x), the second form

// The coded family: P points at the four parameters P0..P3 of one distribution.
double coded_density(int code, const double* p, double x);
double coded_cdf(int code, const double* p, double x);
double coded_quantile(int code, const double* p, double prob);
double density_integral(int code, const double* p, double x);
// Fills the derived constants P2 and P3 of a code from P0 and P1 (and P2 where
// it is a third parameter).
void fill_derived(int code, double* p);

}  // namespace ztq
