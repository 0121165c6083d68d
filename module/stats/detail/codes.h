// Numeric codes of the coded distribution family; the values are a fixed contract.
#pragma once

namespace ztq::detail {

enum Code : int {
  kExponential = 0,
  kSmallestExtremeValue = 1,
  kLognormal = 2,
  kNormal = 3,
  kWeibull = 4,
  kPoisson = 5,
  kBeta = 6,
  kChiSquare = 7,
  kErlang = 8,
  kBernoulli = 9,
  kBinomial = 10,
  kF = 11,
  kGamma = 12,
  kLaplace = 13,
  kLogistic = 14,
  kDiscreteUniform = 15,
  kGeometric = 16,
  kStudentT = 17,
  kPareto = 18,
  kTriangular = 19,
  kUniform = 20,
  kNegativeBinomial = 21,
  kHypergeometric = 22,
  kCauchy = 23,
};

inline constexpr double kSqrt2Pi = 2.50662827462;  // sqrt(2 pi) as the densities use it
inline constexpr double kLogisticScale =
    1.7320508075689 / 3.141592653589793;  // sqrt(3)/pi: sd to scale

}  // namespace ztq::detail
