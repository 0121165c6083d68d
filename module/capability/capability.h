// The capability computation: data, specification limits and options in,
// descriptive statistics, fitted distribution, percentages beyond the limits,
// equivalent normal Z values, capability indices, their confidence intervals
// and (for the subgrouped chart) the subgroup statistics out. No host calls.
#pragma once

#include <cstdint>
#include <vector>

#include "stats/guarded.h"

namespace ztq {

// Distribution codes the capability analysis fits (the coded family's codes).
enum class CapDist : int {
  exponential = 0,
  smallest_extreme = 1,
  lognormal = 2,
  normal = 3,
  weibull = 4,
  gamma = 12,
  laplace = 13,
  logistic = 14,
};
bool is_capability_distribution(int code);

// Status codes, checked in this order; 0 is success.
enum CapStatus : int32_t {
  kCapOk = 0,
  kCapNoData = 3,
  kCapTooFew = 1007,
  kCapNegativeExponential = 1063,
  kCapNotPositive = 1069,
  kCapAllEqual = 1042,
  kCapBadLimits = 1170,
};

// A specification limit or nominal: its column (only the first value is used).
struct CapLimit {
  bool given = false;
  double value = kMissing;  // the first value of the column
};

struct CapabilityInput {
  int variant = 0;                           // 0 analysis, 1 individuals chart, 2 subgrouped chart
  std::vector<std::vector<double>> columns;  // one data column, or several (gathered row by row)
  CapLimit usl, nominal, lsl;
  bool subgroup_given = false;
  std::vector<double> subgroup;  // subgroup codes, or one value: a fixed size

  int distribution = 3;
  bool use_sigma_multiple = false;  // option 10
  double sigma_multiple = 6.0;      // double option 0
  bool keep_parameters = false;     // option 38
  double entered1 = kMissing;       // double options 13 and 14
  double entered2 = kMissing;
  double confidence = 95.0;  // percent; 0 turns the intervals off
};

struct CapInterval {
  double lower = kMissing, upper = kMissing;
};

struct CapSubgroups {
  int32_t count = 0;
  double nbar = kMissing;    // n / count
  int64_t observations = 0;  // non-missing observations in subgroups
  double rbar = kMissing, sbar = kMissing;
  bool fixed_size = false;
  int64_t size = 0;  // the fixed size s (fixed_size only)
  std::vector<int64_t> sizes;
  std::vector<double> means, ranges, sds;
  std::vector<int32_t> member;  // subgroup (0-based) of each gathered observation, -1 none
};

struct CapabilityResults {
  int32_t status = kCapOk;
  std::vector<double> data;  // the gathered observations (missing kept)
  int64_t n = 0;
  double mean = kMissing, sd = kMissing, median = kMissing, skewness = kMissing,
         kurtosis = kMissing, minimum = kMissing, maximum = kMissing;

  int distribution = 3;
  double param[4] = {kMissing, kMissing, kMissing, kMissing};
  double dist_mean = kMissing;
  int fit_evaluations = 0;  // objective evaluations of an iterative fit

  double usl = kMissing, nominal = kMissing, lsl = kMissing;
  bool usl_given = false, nominal_given = false, lsl_given = false;

  double observed_above = 0, observed_below = 0;    // percent
  double estimated_above = 0, estimated_below = 0;  // percent
  double z_usl = 0, z_lsl = 0;                      // missing when the tail area is exactly 0
  double k = 6.0;                                   // sigma multiple of the indices
  double natural_upper = kMissing, natural_lower = kMissing;

  double cp = kMissing, cpk = kMissing, cpu = kMissing, cpl = kMissing, cr = kMissing,
         cpm = kMissing, k_index = kMissing;
  CapInterval cp_ci, cpk_ci, cpm_ci;

  bool has_subgroups = false;
  CapSubgroups subgroups;
};

CapabilityResults compute_capability(const CapabilityInput& in);

// Descriptive statistics of the non-missing values (step 6 of the analysis):
// mean, sd (divisor n - 1), median, bias-adjusted skewness g1 and excess
// kurtosis g2. Fills the fields of r; the minimum and maximum too.
void describe_data(const std::vector<double>& data, CapabilityResults& r);

// Confidence intervals of Cp, Cpk and Cpm (Chou, Owen and Borrego 1990;
// Bissell 1990; Boyles 1991) at the confidence level in percent.
void capability_intervals(CapabilityResults& r, double confidence, double sum_sq_from_nominal);

}  // namespace ztq
