#include "capability/capable_test_panes.h"

#include <cmath>
#include <cstdio>

#include "bridge/strings.h"
#include "format/numfmt.h"

namespace ztq {

namespace {

constexpr const char* kEol = "\r\n";
constexpr size_t kLabelWidth = 40;

std::string pad(std::string s, size_t w) {
  if (s.size() < w) s.resize(w, ' ');
  return s;
}

std::string right(std::string s, size_t w) {
  if (s.size() < w) s.insert(0, w - s.size(), ' ');
  return s;
}

// General format in 16 characters; blanks when missing or not finite.
std::string general(double v, int digits) {
  if (is_missing(v) || !std::isfinite(v)) return std::string(16, ' ');
  return right(format_sig(v, 16, digits), 16);
}

std::string value_line(Str label, double v, int digits) {
  return pad(text(label), kLabelWidth) + general(v, digits) + kEol;
}

// A test's line: label, statistic, then the P-value.
std::string test_line(Str label, double stat, double p, int digits) {
  return pad(text(label), kLabelWidth) + general(stat, digits) + "   " + text(Str::kCapPValue) +
         general(p, digits) + kEol;
}

std::string heading(Str title, const CapPaneInfo& info) {
  return text(title) + kEol + text(Str::kLabelVariable) + info.data_name + kEol + kEol;
}

std::string limits_rows(const CapabilityResults& r, int g) {
  std::string t;
  if (r.usl_given) t += value_line(Str::kCapUsl, r.usl, g);
  if (r.nominal_given) t += value_line(Str::kCapNominal, r.nominal, g);
  if (r.lsl_given) t += value_line(Str::kCapLsl, r.lsl, g);
  return t;
}

// fixed(14, 2), or the text "infinite" for an infinite contribution.
std::string fixed14(double v) {
  if (std::isinf(v)) return right("inf", 14);
  return format_fixed(v, 14, 2);
}

}  // namespace

std::string capability_normality_text(const NormalityResults& t, const CapPaneInfo& info) {
  std::string s = heading(Str::kCapNormalityTitle, info);
  if (info.status != 0) return s + text(Str::kNoResults) + kEol;
  const int g = info.digits;
  if (t.chi2_done) {
    s += test_line(Str::kCapChi2Equi, t.chi2, t.chi2_p, g);
    s += pad("  " + text(Str::kCapChi2Classes), kLabelWidth) +
         general(static_cast<double>(t.chi2_classes), g) + "   " + text(Str::kCapGofDf) + " " +
         std::to_string(t.chi2_df) + kEol;
  } else {
    s += text(Str::kCapChi2TooFew) + kEol;
  }
  if (t.sw_state == 0)
    s += test_line(Str::kCapShapiro, t.w, t.w_p, g);
  else
    s += text(t.sw_state == 1 ? Str::kCapShapiroTooMany : Str::kCapShapiroFailed) + kEol;
  s += t.skew_done ? test_line(Str::kCapSkewZ, t.skew_z, t.skew_p, g)
                   : text(Str::kCapSkewTooFew) + kEol;
  s += t.kurt_done ? test_line(Str::kCapKurtZ, t.kurt_z, t.kurt_p, g)
                   : text(Str::kCapKurtTooFew) + kEol;
  return s;
}

std::string capability_fit_text(const GofResults& f, const CapPaneInfo& info) {
  std::string s = heading(Str::kCapGofTitle, info);
  if (info.status != 0) return s + text(Str::kNoResults) + kEol;
  const int g = info.digits;
  if (f.iqr_fallback) s += text(Str::kCapGofIqrZero) + kEol;
  s += value_line(Str::kCapGofClassCount, static_cast<double>(f.classes), g) + kEol;
  s += right(text(Str::kCapGofLower), 14) + right(text(Str::kCapGofUpper), 14) +
       right(text(Str::kCapGofObserved), 14) + right(text(Str::kCapGofExpected), 14) +
       right(text(Str::kCapGofContribution), 14) + kEol;
  const auto bound = [&](double v) { return right(format_sig(v, 14, g), 14); };
  for (size_t i = 0; i < f.groups.size(); ++i) {
    const GofGroup& gr = f.groups[i];
    std::string row;
    if (i == 0 && is_missing(gr.lower))
      row = right(text(Str::kCapGofBelow), 14) + bound(gr.upper);
    else if (is_missing(gr.upper))
      row = right(text(Str::kCapGofAbove), 14) + bound(gr.lower);
    else
      row = bound(gr.lower) + bound(gr.upper);
    char obs[32];
    std::snprintf(obs, sizeof obs, "%14lld", static_cast<long long>(gr.observed));
    s += row + obs + format_fixed(gr.expected, 14, 2) + fixed14(gr.contribution) + kEol;
  }
  s += kEol;
  if (f.chi2_done) {
    s += test_line(Str::kCapGofChi2, f.chi2, f.chi2_p, g);
    s += value_line(Str::kCapGofDf, static_cast<double>(f.chi2_df), g);
  } else {
    s += text(Str::kCapGofTooFew) + kEol;
  }
  s += kEol + value_line(Str::kCapKsPlus, f.d_plus, g) +
       value_line(Str::kCapKsMinus, f.d_minus, g) + value_line(Str::kCapKsD, f.d, g) +
       value_line(Str::kCapKsP, f.ks_p, g);
  return s;
}

std::string capability_normal_tolerance_text(const CapabilityResults& r, const NormalTolerance& t,
                                             const CapPaneInfo& info) {
  std::string s = heading(Str::kCapTolNormalTitle, info);
  if (info.status != 0) return s + text(Str::kNoResults) + kEol;
  if (r.n < 5) return s + text(Str::kErrNoValidData) + kEol;
  const int g = info.digits;
  s += value_line(Str::kCapTolCoverage, t.coverage, g) +
       value_line(Str::kCapTolConfidence, t.confidence, g);
  s += value_line(t.two_sided ? Str::kCapTolK2 : Str::kCapTolK1, t.k, g) + kEol;
  if (r.usl_given) s += value_line(Str::kCapTolUpper, t.upper, g);
  if (r.lsl_given) s += value_line(Str::kCapTolLower, t.lower, g);
  return s + kEol + limits_rows(r, g);
}

std::string capability_free_tolerance_text(const CapabilityResults& r,
                                           const NonparametricTolerance& t,
                                           const CapPaneInfo& info) {
  std::string s = heading(Str::kCapTolFreeTitle, info);
  if (info.status != 0) return s + text(Str::kNoResults) + kEol;
  if (r.n < 5) return s + text(Str::kErrNoValidData) + kEol;
  const int g = info.digits;
  s += value_line(Str::kCapTolOrder, static_cast<double>(t.m), g);
  if (t.r == 0) return s + text(Str::kCapTolNoOrder) + kEol;
  s += value_line(Str::kCapTolRemoved, static_cast<double>(t.r), g);
  s += value_line(Str::kCapTolCoverage, t.coverage, g) +
       value_line(Str::kCapTolConfidence, t.confidence, g) + kEol;
  s += value_line(Str::kCapTolUpper, t.upper, g) + value_line(Str::kCapTolLower, t.lower, g);
  return s + kEol + limits_rows(r, g);
}

}  // namespace ztq
