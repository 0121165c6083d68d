// Hotelling's T-squared control chart for individual observations: the pure
// computation (data and options in, results out; no host calls).
//
// References:
//   Hotelling, H. (1947). Multivariate quality control. In Eisenhart et al.,
//     Techniques of Statistical Analysis, McGraw-Hill, 111-184.
//   Tracy, N. D., Young, J. C. and Mason, R. L. (1992). Multivariate control
//     charts for individual observations. J. Quality Technology 24(2), 88-95.
//   Montgomery, D. C. (2009). Introduction to Statistical Quality Control,
//     6th ed., Wiley, section 11.3 (the three limits used here).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace ztq {

// Error states of the computation (message numbers).
inline constexpr int32_t kMvTooFewPoints = 1007;     // fewer than p + 1 usable points
inline constexpr int32_t kMvSingular = 1008;         // covariance matrix singular
inline constexpr int32_t kMvMeansIncomplete = 1095;  // standard means incomplete
inline constexpr int32_t kMvCovarianceBad = 1096;    // standard covariance incomplete or asymmetric
inline constexpr int32_t kMvBadKnownN = 47001;       // N from 1 to p with a standard covariance
inline constexpr int32_t kMvBadAlpha = 47002;        // alpha outside the accepted range
inline constexpr double kMvAlphaMin = 1e-4;          // alpha in percent, inclusive bounds
inline constexpr double kMvAlphaMax = 25.0;

struct MvInput {
  // p columns of equal length (one value per point); missing = -32768.
  std::vector<std::vector<double>> columns;
  bool means_given = false;
  std::vector<double> std_means;  // the standard means column (its first p values are used)
  bool covariance_given = false;
  std::vector<double> std_covariance;  // first p x p values, column order

  int32_t p() const { return static_cast<int32_t>(columns.size()); }
  int32_t points() const { return columns.empty() ? 0 : static_cast<int32_t>(columns[0].size()); }
};

struct MvOptions {
  double alpha_percent = 0.27;  // false-alarm probability of the limit, in percent
  int32_t known_n = 0;          // observations behind the standard covariance (0: known exactly)
};

struct MvResults {
  int32_t error = 0;  // 0 or a message number (above)
  int32_t points = 0, n = 0, p = 0, excluded_count = 0, beyond_count = 0;
  bool means_given = false, covariance_given = false;
  std::vector<uint8_t> complete;        // per point
  std::vector<uint8_t> excluded;        // per point: the flags the computation used
  std::vector<uint8_t> beyond;          // per point
  std::vector<double> t2;               // per point, missing for an incomplete point
  std::vector<double> means;            // mu that t2 is measured from
  std::vector<double> estimated_means;  // averages over the used points
  std::vector<double> covariance;       // p x p, row-major (symmetric)
  std::vector<double> inverse;          // p x p, row-major
  double ucl = -32768.0;
  // For each point beyond the limit (in point order): its index and its p
  // unconditional terms (x_j - mu_j)^2 / s_jj.
  std::vector<int32_t> signal_points;
  std::vector<double> contributions;  // signal_points.size() x p

  // The contribution terms of point i, empty when it is not beyond the limit.
  std::span<const double> contributions_of(int32_t i) const;
};

// The whole computation with the given exclusion flags (one per point; a
// shorter span counts the rest as included).
MvResults compute_mv(const MvInput& in, const MvOptions& o, std::span<const int32_t> excluded);

// The upper control limit for n used points: estimated covariance, standard
// covariance known exactly (known_n 0) or estimated from known_n earlier
// observations. Missing when a formula is meaningless.
double mv_ucl(int32_t n, int32_t p, double alpha_percent, bool covariance_given, int32_t known_n);

// The x with 1 - I_x(a, b) = upper (the regularized incomplete beta);
// missing outside 0 < upper < 1 or for shapes not above 0.
double beta_upper_quantile(double upper, double a, double b);

// Inverts the p x p row-major matrix a by LU decomposition with partial
// pivoting; false when a pivot is exactly zero (singular).
bool lu_inverse(std::span<const double> a, int32_t p, std::vector<double>& inverse);

// Automatic exclusion: repeatedly excludes the used point whose T-squared
// exceeds the limit by the most, until none is beyond, fewer than 3 used
// points lie within, or one more exclusion would leave fewer than p + 1 used
// points. flags (one per point) are updated; returns how many were excluded.
int32_t mv_exclude_automatically(const MvInput& in, const MvOptions& o,
                                 std::vector<int32_t>& flags);

}  // namespace ztq
