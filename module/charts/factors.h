// Bias-correction factors of the control charts: d2, d3, D1, D2 from their
// published tables (sizes 2 to 25) and c4 from the gamma function.
// Contract: `factor` is the only way a chart obtains a factor. Sizes below 2
// read as 2 for the tabulated kinds; non-whole sizes interpolate linearly; a
// size above 25 (or NaN, or missing) is rejected with the missing value rather
// than read past the table.
#pragma once

namespace ztq {

enum class Factor { d2, d3, D1, D2, c4 };

// The factor of KIND at subgroup size N (a whole size or an average size).
double factor(Factor kind, double n);

// c4(n) = sqrt(2 / (n - 1)) Gamma(n / 2) / Gamma((n - 1) / 2) for n <= 25,
// 4 (n - 1) / (4 n - 3) above; missing for n <= 1.
double c4(double n);

}  // namespace ztq
