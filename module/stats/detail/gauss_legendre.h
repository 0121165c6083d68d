// 32-point Gauss-Legendre quadrature over [0, x] with the 16 positive nodes and
// their weights tabulated to eight decimals (Abramowitz and Stegun, Handbook
// of Mathematical Functions, Table 25.4).
#pragma once

namespace ztq::detail {

struct GaussNode {
  double t;  // node on [-1, 1]
  double w;  // weight
};

inline constexpr GaussNode kGauss32[16] = {
    {0.04830767, 0.09654009}, {0.14447196, 0.09563872}, {0.23928736, 0.09384440},
    {0.33186860, 0.09117388}, {0.42135128, 0.08765209}, {0.50689991, 0.08331192},
    {0.58771576, 0.07819390}, {0.66304427, 0.07234579}, {0.73218212, 0.06582222},
    {0.79448380, 0.05868409}, {0.84936761, 0.05099806}, {0.89632116, 0.04283590},
    {0.93490608, 0.03427386}, {0.96476226, 0.02539207}, {0.98561151, 0.01627439},
    {0.99726386, 0.00701861}};

// (x/2) sum w_i (f((x + x t_i)/2) + f((x - x t_i)/2)): the integral of f from 0 to x.
template <class F>
double gauss32_from_zero(F&& f, double x) {
  double sum = 0.0;
  for (const GaussNode& n : kGauss32) {
    sum += n.w * (f(0.5 * (x + x * n.t)) + f(0.5 * (x - x * n.t)));
  }
  return 0.5 * x * sum;
}

}  // namespace ztq::detail
