// Quantiles of the Pearson system of frequency curves with mean 0, variance 1
// and given skewness and excess kurtosis, and the three fixed-width tables of
// standardized percentiles that the capability module reads.
//
// Elderton and Johnson (1969), Systems of Frequency Curves, Cambridge: the
// differential equation d ln f / dx = -(D x + C1) / (C0 + C1 x + C2 x^2) with
// D = 10 b2 - 12 b1 - 18, C0 = 4 b2 - 3 b1, C1 = g1 (b2 + 3), C2 = 2 b2 - 3 b1 - 6
// (b1 = g1^2, b2 = excess + 3), and the type chosen by
// kappa = C1^2 / (4 C0 C2).
#pragma once

#include <array>
#include <string>

namespace pearson {

enum class Type { impossible, normal, I, II, III, IV, V, VI, VII };

struct Curve {
  Type type = Type::impossible;
  double skewness = 0, excess = 0;
};

Curve classify(double skewness, double excess);
const char* type_name(Type t);

// The p-quantile of the standardized curve (mean 0, variance 1); NaN when the
// moments are impossible.
double quantile(const Curve& c, double p);

// The three table files as their bytes: file 1 (x(0.99865) - mean) / sd,
// file 2 (mean - median) / sd, file 3 (mean - x(0.00135)) / sd, for positive
// skewness; rows end with CR LF in files 1 and 3, LF in file 2.
std::array<std::string, 3> tables();

// Cell (row, column) of the grid: excess kurtosis -1.4 + 0.2 row, skewness
// 0.1 column. Filled: excess kurtosis strictly above skewness^2 - 2.
bool cell_filled(int row, int column);

}  // namespace pearson
