// The fitted model of codes 16 and 17: an ARIMA(p, d, q) model without
// seasonal terms, fitted by conditional least squares.
#pragma once

#include <vector>

#include "charts/chart_kind_results.h"

namespace ztq {

inline constexpr int kMaxModelOrder = 10;       // largest p and q the options accept
inline constexpr int kMaxDifferences = 3;       // largest d
inline constexpr int kMaxModelIterations = 10;  // Gauss-Newton steps

struct ModelOrders {
  int p = 1;             // `option55`: autoregressive order
  int q = 0;             // `option56`: moving-average order
  bool constant = true;  // `option57`: constant term
  int d = 0;             // `option58`: differences
};

// The series differenced D times: w_t = y_t - y_(t-1), missing where either
// value is missing (and at the first position of each pass).
std::vector<std::vector<double>> difference_levels(const std::vector<double>& y, int d);

// Integrates the fitted values F of level J back to level J - 1 (LOWER):
// just before the first present value of F, the value of LOWER that the
// differencing removed is put back; then every present value has the
// present value before it added, in order (a missing value stays missing
// and is bridged).
std::vector<double> integrate_once(const std::vector<double>& f, const std::vector<double>& lower);

// Fits the model of ORDERS to Y (missing values allowed: residuals that would need them are
// left out) and fills OUT: coefficients, their standard errors, the residual
// standard deviation, the one-step fitted values integrated back to the
// level of Y, and the residuals. Returns 0, 1277 for orders out of range or
// 1278 when the usable points do not exceed the number of coefficients.
int fit_model(const std::vector<double>& y, const ModelOrders& orders, ModelResult* out);

}  // namespace ztq
