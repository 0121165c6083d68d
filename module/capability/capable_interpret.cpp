#include "capability/capable_interpret.h"

#include <cmath>
#include <initializer_list>
#include <string>

#include "bridge/strings.h"
#include "capability/capable_family.h"
#include "format/numfmt.h"
#include "ztqualty.h"

namespace ztq {

namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

// A number as the sentences show it: the general format without its padding.
std::string number(double v, int digits) {
  std::string s = format_sig(v, 16, digits);
  const size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

// The Cp bands: below 1, 1 to below 1.33, 1.33 to below 2, 2 and above.
Str cp_band(double cp) {
  if (cp < 1.0) return Str::kCapCpBelow1;
  if (cp < 1.33) return Str::kCapCpBelow133;
  if (cp < 2.0) return Str::kCapCpBelow2;
  return Str::kCapCpAbove2;
}

void add(Interpretation& out, Str id, const std::string& text) {
  out.add(static_cast<int32_t>(id), text);
}

// The band of a P-value: 0 for 0.1 or more, 1 from 0.05, 2 from 0.01, 3 below.
int p_band(double p) { return p >= 0.1 ? 0 : p >= 0.05 ? 1 : p >= 0.01 ? 2 : 3; }

// The smallest present P-value, or missing when none is present.
double smallest(std::initializer_list<double> ps) {
  double m = kMissing;
  for (double p : ps)
    if (present(p) && (is_missing(m) || p < m)) m = p;
  return m;
}

// Panes 3 and 4: the smallest P-value of the pane's tests, banded.
void test_sentences(Interpretation& out, const CapableState& s, int pane, int digits) {
  const NormalityResults& t = s.normality;
  const double p = pane == 3 ? smallest({t.chi2_p, t.w_p, t.skew_p, t.kurt_p})
                             : smallest({s.fit.chi2_p, s.fit.ks_p});
  if (is_missing(p)) return;
  static constexpr Str kNormal[4] = {Str::kCapNormalP1, Str::kCapNormalP2, Str::kCapNormalP3,
                                     Str::kCapNormalP4};
  static constexpr Str kFit[4] = {Str::kCapFitP1, Str::kCapFitP2, Str::kCapFitP3, Str::kCapFitP4};
  static constexpr Str kFixed[4] = {Str::kCapFixedP1, Str::kCapFixedP2, Str::kCapFixedP3,
                                    Str::kCapFixedP4};
  const int b = p_band(p);
  const Str id = pane == 3 ? kNormal[b] : s.results.distribution < 2 ? kFixed[b] : kFit[b];
  add(out, id, text_with(id, number(p, digits)));
}

}  // namespace

// The sentence that names the fitted distribution.
Str capability_distribution_sentence(int code) {
  switch (code) {
    case 0:
      return Str::kCapSaysExponential;
    case 1:
      return Str::kCapSaysExtreme;
    case 2:
      return Str::kCapSaysLognormal;
    case 4:
      return Str::kCapSaysWeibull;
    case 12:
      return Str::kCapSaysGamma;
    case 13:
      return Str::kCapSaysLaplace;
    case 14:
      return Str::kCapSaysLogistic;
    default:
      return Str::kCapSaysNormal;
  }
}

Interpretation capability_interpretation(const void* record, int pane) {
  Interpretation out;
  const auto* r = static_cast<const AnalysisRecord*>(record);
  if (r == nullptr || r->results == nullptr || r->error_state != 0 || r->computed == 0 ||
      pane < 1 || pane > 4)
    return out;
  const CapableState& state = *static_cast<const CapableState*>(r->results);
  const CapabilityResults& c = state.results;
  const int digits = r->option[61] >= 1 && r->option[61] <= 15 ? r->option[61] : 6;
  const std::string name = text(capability_distribution_sentence(c.distribution));
  add(out, Str::kCapSaysRestOn, text_with(Str::kCapSaysRestOn, name));
  if (pane == 3 || pane == 4) {
    if (r->variant != 1 && r->variant != 2) test_sentences(out, state, pane, digits);
    return out;
  }
  if (pane != 2) return out;

  const bool show_cp = r->option[3] != 0, show_cpk = r->option[4] != 0, show_k = r->option[9] != 0;
  if (present(c.cp)) add(out, cp_band(c.cp), text_with(cp_band(c.cp), number(c.cp, digits)));
  if (show_cpk && present(c.cpk)) {
    const Str s = r->option[40] == 0 ? Str::kCapCpkSays1 : Str::kCapCpkSays0;
    add(out, s, text_with(s, number(c.cpk, digits)));
    if (show_cp && present(c.cp) && c.cp != 0 && (c.cp - c.cpk) / c.cp >= 0.25)
      add(out, Str::kCapOffCentre, text(Str::kCapOffCentre));
  }
  if (show_k && present(c.k_index)) {
    for (Str s : {Str::kCapKSays1, Str::kCapKSays2, Str::kCapKSays3}) add(out, s, text(s));
    out.separator(number(std::fabs(100 * c.k_index), digits));
    const Str side = c.k_index < 0 ? Str::kCapKBelow : Str::kCapKAbove;
    add(out, side, text(side));
  }
  if (c.distribution == 3 && r->doption[12] != 0 && c.usl_given && c.lsl_given) {
    add(out, Str::kCapIntervals1, text(Str::kCapIntervals1));
    add(out, Str::kCapIntervals2, text(Str::kCapIntervals2));
  }
  return out;
}

namespace {
const bool kRegistered =
    (register_interpreter(static_cast<int32_t>(Str::kCapTitle), &capability_interpretation), true);
}  // namespace

}  // namespace ztq
