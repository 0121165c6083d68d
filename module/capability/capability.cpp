// The capability computation. The indices follow Kane (1986), Process
// capability indices, J. Quality Technology 18(1), 41-52, and Montgomery,
// Introduction to Statistical Quality Control (2009), chapter 8; non-normal
// indices use the equivalent normal Z of each tail area (Bothe 1997).
#include "capability/capability.h"

#include <algorithm>
#include <cmath>

#include "capability/fit.h"
#include "capability/subgroups.h"
#include "stats/distributions.h"

namespace ztq {

namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

// Step 1: one column as it is, several row by row (row 1 column 1, row 1
// column 2, ...). Non-finite values become missing.
std::vector<double> gather(const std::vector<std::vector<double>>& columns) {
  std::vector<double> out;
  if (columns.size() == 1) {
    out = columns[0];
  } else {
    size_t rows = 0;
    for (const auto& c : columns) rows = std::max(rows, c.size());
    out.reserve(rows * columns.size());
    for (size_t i = 0; i < rows; ++i)
      for (const auto& c : columns) out.push_back(i < c.size() ? c[i] : kMissing);
  }
  for (double& v : out)
    if (!std::isfinite(v)) v = kMissing;
  return out;
}

// Steps 2 and 3: each given limit has a first value; USL > nominal > LSL.
bool limits_in_order(const CapabilityInput& in) {
  for (const CapLimit* l : {&in.usl, &in.nominal, &in.lsl})
    if (l->given && !present(l->value)) return false;
  if (in.usl.given && in.nominal.given && !(in.usl.value > in.nominal.value)) return false;
  if (in.lsl.given && in.nominal.given && !(in.lsl.value < in.nominal.value)) return false;
  if (in.usl.given && in.lsl.given && !(in.lsl.value < in.usl.value)) return false;
  return true;
}

// Step 10 for a fitted law other than the normal: the normal quantiles of the
// tail areas. Z USL is taken as -Phi^-1(P above) rather than Phi^-1(1 - P
// above), which would round to Phi^-1(1) for a tail below 1e-16. A tail area
// of exactly 0 or 1 has no finite Z: missing.
double z_of_tail(double tail, bool upper) {
  if (!(tail > 0.0) || !(tail < 1.0)) return kMissing;
  const double z = norm_quantile(tail);
  return upper ? -z : z;
}

double ratio(double a, double b) {
  if (!present(a) || !present(b) || b == 0.0) return kMissing;
  const double v = a / b;
  return std::isfinite(v) ? v : kMissing;
}

}  // namespace

bool is_capability_distribution(int code) {
  switch (code) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 12:
    case 13:
    case 14:
      return true;
    default:
      return false;
  }
}

void describe_data(const std::vector<double>& data, CapabilityResults& r) {
  std::vector<double> x;
  x.reserve(data.size());
  for (double v : data)
    if (present(v)) x.push_back(v);
  r.n = static_cast<int64_t>(x.size());
  if (x.empty()) return;
  const double n = static_cast<double>(x.size());
  double sum = 0;
  r.minimum = r.maximum = x[0];
  for (double v : x) {
    sum += v;
    r.minimum = std::min(r.minimum, v);
    r.maximum = std::max(r.maximum, v);
  }
  r.mean = sum / n;
  double m2 = 0, m3 = 0, m4 = 0;
  for (double v : x) {
    const double d = v - r.mean, d2 = d * d;
    m2 += d2;
    m3 += d2 * d;
    m4 += d2 * d2;
  }
  r.sd = n > 1 ? std::sqrt(m2 / (n - 1)) : kMissing;
  // Median: the middle order statistic, or the mean of the two middle ones.
  const size_t mid = x.size() / 2;
  std::nth_element(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(mid), x.end());
  r.median = x[mid];
  if (x.size() % 2 == 0)
    r.median = 0.5 * (r.median +
                      *std::max_element(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(mid)));
  const double s = r.sd;
  // Joanes and Gill (1998): the bias-adjusted sample skewness G1 and excess kurtosis G2.
  if (n > 2 && present(s) && s > 0) r.skewness = n * m3 / ((n - 1) * (n - 2) * s * s * s);
  if (n > 3 && present(s) && s > 0)
    r.kurtosis = n * (n + 1) * m4 / ((n - 1) * (n - 2) * (n - 3) * s * s * s * s) -
                 3 * (n - 1) * (n - 1) / ((n - 2) * (n - 3));
}

void capability_intervals(CapabilityResults& r, double confidence, double sum_sq_from_nominal) {
  r.cp_ci = r.cpk_ci = r.cpm_ci = CapInterval{};
  if (r.distribution != 3 || !r.usl_given || !r.lsl_given || confidence == 0) return;
  if (!(confidence > 0 && confidence < 100) || r.n < 2) return;
  const double n = static_cast<double>(r.n);
  const double alpha = 1.0 - confidence / 100.0;
  const double z = norm_quantile(1.0 - alpha / 2.0);
  // Chou, Owen and Borrego (1990): Cp sqrt(chi2(p, n - 1) / (n - 1)).
  if (present(r.cp)) {
    r.cp_ci.lower = std::max(0.0, r.cp * std::sqrt(chisq_quantile(alpha / 2.0, n - 1) / (n - 1)));
    r.cp_ci.upper = r.cp * std::sqrt(chisq_quantile(1.0 - alpha / 2.0, n - 1) / (n - 1));
  }
  // Bissell (1990): Cpk -/+ z sqrt(Cpk^2 / (2n - 2) + 1 / (9n)); the lower bound is not clipped.
  if (present(r.cpk)) {
    const double half = z * std::sqrt(r.cpk * r.cpk / (2 * n - 2) + 1.0 / (9 * n));
    r.cpk_ci = {r.cpk - half, r.cpk + half};
  }
  // Boyles (1991): Cpm with a chi-square of df = (n + a)^2 / (n + 2a), a = n ((mu - T) / sigma)^2.
  (void)sum_sq_from_nominal;
  if (present(r.cpm) && r.nominal_given && present(r.param[1]) && r.param[1] > 0) {
    const double d = (r.param[0] - r.nominal) / r.param[1];
    const double a = n * d * d;
    const double df = (n + a) * (n + a) / (n + 2 * a);
    r.cpm_ci.lower = std::max(0.0, r.cpm * std::sqrt(chisq_quantile(alpha / 2.0, df) / df));
    r.cpm_ci.upper = r.cpm * std::sqrt(chisq_quantile(1.0 - alpha / 2.0, df) / df);
  }
}

CapabilityResults compute_capability(const CapabilityInput& in) {
  CapabilityResults r;
  r.distribution = in.distribution;
  r.usl_given = in.usl.given;
  r.nominal_given = in.nominal.given;
  r.lsl_given = in.lsl.given;
  r.usl = in.usl.value;
  r.nominal = in.nominal.value;
  r.lsl = in.lsl.value;

  // 1. Gather; 2 and 3. the limits.
  r.data = in.columns.empty() ? std::vector<double>{} : gather(in.columns);
  int64_t count = 0;
  for (double v : r.data) count += present(v) ? 1 : 0;
  if (count == 0) return r.status = kCapNoData, r;
  if (!limits_in_order(in)) return r.status = kCapBadLimits, r;

  // 4. Subgrouped chart, one column and a column of codes: a row missing in
  // either is missing in both.
  std::vector<double> codes = in.subgroup;
  const bool by_codes =
      in.variant == 2 && in.columns.size() == 1 && in.subgroup_given && codes.size() > 1;
  if (by_codes) {
    codes.resize(r.data.size(), kMissing);
    for (size_t i = 0; i < r.data.size(); ++i)
      if (!present(r.data[i]) || !present(codes[i])) r.data[i] = codes[i] = kMissing;
  }

  // 5. Validity, in this order; 6. descriptive statistics.
  describe_data(r.data, r);
  const int d = in.distribution;
  if (r.n < 6) return r.status = kCapTooFew, r;
  if (d == 0 && r.minimum < 0) return r.status = kCapNegativeExponential, r;
  if ((d == 2 || d == 4 || d == 12) && r.minimum <= 0) return r.status = kCapNotPositive, r;
  if (r.minimum == r.maximum) return r.status = kCapAllEqual, r;

  // 7. Fit, or keep the entered parameters.
  if (in.keep_parameters && present(in.entered1)) {
    r.param[0] = in.entered1;
    r.param[1] = present(in.entered2) ? in.entered2 : kMissing;
    derive_parameters(d, r.param, r.dist_mean);
  } else {
    FitData fd;
    fd.x.reserve(static_cast<size_t>(r.n));
    for (double v : r.data)
      if (present(v)) fd.x.push_back(v);
    fd.mean = r.mean;
    fd.sd = r.sd;
    fd.median = r.median;
    const FitResult f = fit_distribution(d, fd);
    std::copy(f.param, f.param + 4, r.param);
    r.dist_mean = f.dist_mean;
    r.fit_evaluations = f.evaluations;
  }

  // 8. Observed and 9. estimated percentages beyond the limits.
  const double n = static_cast<double>(r.n);
  int64_t above = 0, below = 0;
  double ss_nominal = 0;
  for (double v : r.data) {
    if (!present(v)) continue;
    if (r.usl_given && v > r.usl) ++above;
    if (r.lsl_given && v < r.lsl) ++below;
    if (r.nominal_given) ss_nominal += (v - r.nominal) * (v - r.nominal);
  }
  r.observed_above = static_cast<double>(above) * 100.0 / n;
  r.observed_below = static_cast<double>(below) * 100.0 / n;
  double p_above = 0, p_below = 0;
  if (r.usl_given) p_above = 1.0 - coded_cdf(d, r.param, r.usl);
  if (r.lsl_given) p_below = coded_cdf(d, r.param, r.lsl);
  p_above = std::clamp(p_above, 0.0, 1.0);  // a cdf never leaves [0, 1]
  p_below = std::clamp(p_below, 0.0, 1.0);
  r.estimated_above = p_above * 100.0;
  r.estimated_below = p_below * 100.0;

  // 10. Z values; 11. the sigma multiple; 12. the indices.
  const bool normal = d == 3;
  const double mu = r.param[0], sigma = r.param[1];
  if (normal) {
    if (r.usl_given) r.z_usl = ratio(r.usl - mu, sigma);
    if (r.lsl_given) r.z_lsl = ratio(r.lsl - mu, sigma);
  } else {
    if (r.usl_given) r.z_usl = z_of_tail(p_above, true);
    if (r.lsl_given) r.z_lsl = z_of_tail(p_below, false);
  }
  r.k = normal && in.use_sigma_multiple ? in.sigma_multiple : 6.0;
  const double k = r.k;
  if (normal && present(mu) && present(sigma)) {
    r.natural_upper = mu + in.sigma_multiple / 2.0 * sigma;
    r.natural_lower = mu - in.sigma_multiple / 2.0 * sigma;
  }
  if (normal) {
    if (r.usl_given && r.lsl_given) r.cp = ratio(r.usl - r.lsl, k * sigma);
    if (r.usl_given) r.cpu = ratio(r.usl - mu, k / 2.0 * sigma);
    if (r.lsl_given) r.cpl = ratio(mu - r.lsl, k / 2.0 * sigma);
  } else {
    if (r.usl_given && r.lsl_given && present(r.z_usl) && present(r.z_lsl))
      r.cp = (r.z_usl - r.z_lsl) / k;
    if (r.usl_given) r.cpu = ratio(r.z_usl, k / 2.0);
    if (r.lsl_given && present(r.z_lsl)) r.cpl = -r.z_lsl / (k / 2.0);
  }
  if (present(r.cpu) && present(r.cpl))
    r.cpk = r.cpu < r.cpl ? r.cpu : r.cpl;
  else
    r.cpk = present(r.cpu) ? r.cpu : r.cpl;
  r.cr = ratio(1.0, r.cp);
  if (normal && r.usl_given && r.lsl_given && r.nominal_given && r.n >= 2) {
    const double tau =
        std::sqrt(ss_nominal / (n - 1));  // spread about the target (Chan et al. 1988)
    r.cpm = ratio(r.usl - r.lsl, k * tau);
  }
  if (r.nominal_given && (r.usl_given || r.lsl_given)) {
    const double centre = normal ? mu : r.mean;
    const double h = r.usl_given && r.lsl_given ? (r.usl - r.lsl) / 2.0
                     : r.usl_given              ? r.usl - r.nominal
                                                : r.nominal - r.lsl;
    r.k_index = ratio(centre - r.nominal, h);
  }

  // 14. Subgroup statistics of the subgrouped chart; 15. the intervals.
  if (in.variant == 2) {
    r.has_subgroups = true;
    r.subgroups = by_codes ? subgroups_by_codes(r.data, codes)
                           : subgroups_by_size(r.data, fixed_subgroup_size(in));
  }
  capability_intervals(r, in.confidence, ss_nominal);
  return r;
}

}  // namespace ztq
