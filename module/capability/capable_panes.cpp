#include "capability/capable_panes.h"

#include <cmath>

#include "bridge/strings.h"
#include "format/numfmt.h"

namespace ztq {

namespace {

constexpr const char* kEol = "\r\n";
constexpr size_t kLabelWidth = 24;   // labels of the label-value lines
constexpr size_t kLimitColumn = 21;  // the limit rows' figures start here

std::string pad(std::string s, size_t w) {
  if (s.size() < w) s.resize(w, ' ');
  return s;
}

std::string trim(const std::string& s) {
  const size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// The general format: significant digits, right-aligned in 16; blanks when missing.
std::string general(double v, int digits) {
  if (is_missing(v) || !std::isfinite(v)) return std::string(16, ' ');
  std::string s = format_sig(v, 16, digits);
  if (s.size() < 16) s.insert(0, 16 - s.size(), ' ');
  return s;
}

std::string value_line(Str label, double v, int digits) {
  return pad(text(label), kLabelWidth) + general(v, digits) + kEol;
}

std::string heading(Str title, const CapPaneInfo& info) {
  return text(title) + kEol + text(Str::kLabelVariable) + info.data_name + kEol + kEol;
}

}  // namespace

int32_t capability_status_message(int32_t status) {
  switch (status) {
    case 1:
      return static_cast<int32_t>(Str::kErrReserved);
    case 2:
      return static_cast<int32_t>(Str::kErrNoDataBlock);
    case 3:
    case 1007:
      return static_cast<int32_t>(Str::kErrNoValidData);
    default:
      return status;
  }
}

int32_t capability_index_label(int i, int label_set) {
  static constexpr Str kSet0[6] = {Str::kCapCp0,  Str::kCapCpk0, Str::kCapCpu0,
                                   Str::kCapCpl0, Str::kCapCr0,  Str::kCapCpm0};
  static constexpr Str kSet1[6] = {Str::kCapCp1,  Str::kCapCpk1, Str::kCapCpu1,
                                   Str::kCapCpl1, Str::kCapCr1,  Str::kCapCpm1};
  if (i < 0 || i > 5) return static_cast<int32_t>(Str::kCapK);
  return static_cast<int32_t>(label_set == 0 ? kSet0[i] : kSet1[i]);
}

int32_t capability_distribution_label(int code) {
  switch (code) {
    case 0:
      return static_cast<int32_t>(Str::kCapExponential);
    case 1:
      return static_cast<int32_t>(Str::kCapExtreme);
    case 2:
      return static_cast<int32_t>(Str::kCapLognormal);
    case 4:
      return static_cast<int32_t>(Str::kCapWeibull);
    case 12:
      return static_cast<int32_t>(Str::kCapGamma);
    case 13:
      return static_cast<int32_t>(Str::kCapLaplace);
    case 14:
      return static_cast<int32_t>(Str::kCapLogistic);
    default:
      return static_cast<int32_t>(Str::kCapNormal);
  }
}

std::string capability_summary_text(const CapabilityResults& r, const CapPaneInfo& info) {
  std::string t = heading(Str::kCapSummaryTitle, info);
  if (info.status != 0) {
    // Status 1063 has a text of its own here (message 1063 is shared with the charts).
    const Str m = info.status == 1063 ? Str::kCapExpNegative
                                      : static_cast<Str>(capability_status_message(info.status));
    return t + text(m) + kEol;
  }
  const int g = info.digits;
  t += pad(text(Str::kCapDistribution), kLabelWidth) +
       text(static_cast<Str>(capability_distribution_label(r.distribution))) + kEol;
  t += value_line(Str::kCapSampleSize, static_cast<double>(r.n), g);
  switch (r.distribution) {
    case 0:
      t += value_line(Str::kCapMean, r.param[0], g);
      break;
    case 1:
      t += value_line(Str::kCapLocation, r.param[0], g) + value_line(Str::kCapScale, r.param[1], g);
      break;
    case 4:
    case 12:
      t += value_line(Str::kCapShape, r.param[0], g) + value_line(Str::kCapScale, r.param[1], g);
      break;
    case 13:
      t += value_line(Str::kCapMean, r.param[0], g) + value_line(Str::kCapScale, r.param[1], g);
      break;
    default:  // normal, lognormal, logistic
      t += value_line(Str::kCapMean, r.param[0], g) + value_line(Str::kCapSd, r.param[1], g);
      break;
  }
  if (r.distribution == 3) {
    t += pad(text(Str::kCapNaturalUpper), kLabelWidth - 6) + "     +" +
         general(r.natural_upper, g) + kEol;
    t += pad(text(Str::kCapNaturalLower), kLabelWidth - 6) + "     -" +
         general(r.natural_lower, g) + kEol;
  }
  t += kEol + text(Str::kCapHeading1) + kEol + text(Str::kCapHeading2) + kEol;
  const auto limit_row = [&](Str label, double limit, double observed, double z, double estimated) {
    return pad(pad(text(label), 4) + " " + trim(general(limit, g)), kLimitColumn) +
           format_fixed(observed, 11, 6) + "%" + format_fixed(z, 11, 2) +
           format_fixed(estimated, 15, 6) + "%" + format_fixed(estimated * 10000.0, 15, 2) + kEol;
  };
  if (r.usl_given)
    t += limit_row(Str::kCapRowUsl, r.usl, r.observed_above, r.z_usl, r.estimated_above);
  if (r.nominal_given)
    t += pad(text(Str::kCapRowNominal), 4) + " " + trim(general(r.nominal, g)) + kEol;
  if (r.lsl_given)
    t += limit_row(Str::kCapRowLsl, r.lsl, r.observed_below, r.z_lsl, r.estimated_below);
  const double observed = r.observed_above + r.observed_below;
  const double estimated = r.estimated_above + r.estimated_below;
  t += pad(text(Str::kCapRowTotal), kLimitColumn) + format_fixed(observed, 11, 6) + "%" +
       std::string(11, ' ') + format_fixed(estimated, 15, 6) + "%" +
       format_fixed(estimated * 10000.0, 15, 2) + kEol;
  return t;
}

std::string capability_indices_text(const CapabilityResults& r, const CapPaneInfo& info) {
  std::string t = heading(Str::kCapIndicesTitle, info);
  if (info.status != 0) return t + text(Str::kNoResults) + kEol;
  const int g = info.digits;
  const double values[7] = {r.cp, r.cpk, r.cpu, r.cpl, r.cr, r.cpm, r.k_index};
  for (int i = 0; i < 7; ++i)
    if (info.show[i])
      t += value_line(static_cast<Str>(capability_index_label(i, info.label_set)), values[i], g);
  t +=
      kEol + text(Str::kCapBasedOn) + " " + trim(general(r.k, g)) + text(Str::kCapSigmaUnit) + kEol;
  if (r.distribution == 3 && r.usl_given && r.lsl_given && info.confidence != 0) {
    t += kEol + text_with(Str::kCapConfidence, trim(general(info.confidence, g))) + kEol;
    const auto interval = [&](int i, const CapInterval& ci) {
      if (is_missing(ci.lower) || is_missing(ci.upper)) return std::string();
      return pad(text(static_cast<Str>(capability_index_label(i, info.label_set))), kLabelWidth) +
             "(" + trim(general(ci.lower, g)) + ", " + trim(general(ci.upper, g)) + ")" + kEol;
    };
    if (info.show[0]) t += interval(0, r.cp_ci);
    if (info.show[1]) t += interval(1, r.cpk_ci);
    if (info.show[5] && r.nominal_given) t += interval(5, r.cpm_ci);
  }
  return t;
}

std::string capability_pearson_text(const CapabilityResults& r, const PearsonResults& p,
                                    const CapPaneInfo& info) {
  std::string t = heading(Str::kCapPearsonTitle, info);
  if (info.status != 0) return t + text(Str::kNoResults) + kEol;
  if (p.message != 0) return t + text(static_cast<Str>(p.message)) + kEol;
  const int g = info.digits;
  const double values[5] = {p.cp, p.cpk, p.cpu, p.cpl, p.cr};
  for (int i = 0; i < 5; ++i)
    t += value_line(static_cast<Str>(capability_index_label(i, info.label_set)), values[i], g);
  t += value_line(Str::kCapK, p.k, g) + kEol;
  if (r.usl_given) t += value_line(Str::kCapUpperPercentile, p.upper, g);
  t += value_line(Str::kCapMedianPercentile, p.median, g);
  if (r.lsl_given) t += value_line(Str::kCapLowerPercentile, p.lower, g);
  t += kEol;
  if (r.usl_given) t += value_line(Str::kCapUsl, r.usl, g);
  if (r.nominal_given) t += value_line(Str::kCapNominal, r.nominal, g);
  if (r.lsl_given) t += value_line(Str::kCapLsl, r.lsl, g);
  return t;
}

}  // namespace ztq
