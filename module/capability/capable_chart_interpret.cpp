#include "capability/capable_chart_interpret.h"

#include <cmath>
#include <cstdint>

#include "capability/capable_family.h"
#include "capability/capable_interpret.h"
#include "charts/factors.h"
#include "interpret/sentence.h"
#include "ztqualty.h"

namespace ztq {

namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

int32_t n(Str s) { return static_cast<int32_t>(s); }

// One sentence for none, one for a single point, one with the count for more.
void say_count(Interpretation& out, long long count, Str none, Str one, Str many) {
  if (count == 0)
    say(out, n(none));
  else if (count == 1)
    say(out, n(one));
  else
    say(out, n(many), {count});
}

long long count_if(const std::vector<double>& x, double lo, double hi) {
  long long c = 0;
  for (double v : x)
    if (present(v) && ((present(hi) && v > hi) || (present(lo) && v < lo))) ++c;
  return c;
}

long long nonzero(const std::vector<int32_t>& marks) {
  long long c = 0;
  for (int32_t m : marks) c += m != 0;
  return c;
}

void composite(Interpretation& out, const AnalysisRecord& r, const CapableState& s) {
  const CapabilityResults& c = s.results;
  const CapChartResults& ch = s.chart;
  const CapChartOptions& o = ch.options;
  if (r.variant == 1) {
    say(out, n(Str::kCapSaysIndividuals), {c.n});
  } else {
    say(out, n(Str::kCapSaysSubgroups), {c.subgroups.count, c.subgroups.nbar});
  }
  const double nbar = c.subgroups.nbar;
  switch (within_sigma_sentence(r.variant, nbar, r.option[45])) {
    case Str::kCapSaysWithinMr:
      say(out, n(Str::kCapSaysWithinMr), {ch.within_sigma, ch.dispersion.centre});
      break;
    case Str::kCapSaysWithinS:
      say(out, n(Str::kCapSaysWithinS), {ch.within_sigma, c.subgroups.sbar, c4(nbar)});
      break;
    default:
      say(out, n(Str::kCapSaysWithinR),
          {ch.within_sigma, c.subgroups.rbar, factor(Factor::d2, nbar)});
  }
  say(out, n(Str::kCapSaysOverall), {c.sd});
  end_line(out);
  const CapChartSide& loc = ch.location;
  // Without limits (a within sigma of 0) nothing is said of points beyond them.
  if (say(out, n(Str::kCapSaysLocationLines), {loc.centre, loc.lcl, loc.ucl}))
    say_count(out, count_if(loc.series, loc.lcl, loc.ucl), Str::kCapSaysLocationNone,
              Str::kCapSaysLocationOne, Str::kCapSaysLocationMany);
  const CapChartSide& dis = ch.dispersion;
  if (say(out, n(Str::kCapSaysDispersionLines), {dis.centre, dis.ucl}))
    say_count(out, count_if(dis.series, kMissing, dis.ucl), Str::kCapSaysDispersionNone,
              Str::kCapSaysDispersionOne, Str::kCapSaysDispersionMany);
  if (o.show_runs) {
    const long long runs = nonzero(loc.runs);
    if (runs == 0)
      say(out, n(Str::kCapSaysNoRuns), {o.run_length, o.run_length});
    else
      say(out, n(Str::kCapSaysRuns), {o.run_length, o.run_length, runs});
    if (const long long zones = nonzero(loc.zone_marks); zones > 0)
      say(out, n(Str::kCapSaysZones), {zones});
  }
  if (o.smoother == 1) say(out, n(Str::kCapSaysMovingAverage), {o.span});
  if (o.smoother == 2) say(out, n(Str::kCapSaysEwma), {o.weight});
  end_line(out);
  if (c.usl_given && c.lsl_given) {
    long long above = 0, below = 0;
    for (double v : c.data)
      if (present(v)) above += v > c.usl, below += v < c.lsl;
    say(out, n(Str::kCapSaysBeyondSpec), {above, below});
  }
  if (present(c.cp)) {
    const Str band = c.cp < 1.0    ? Str::kCapCpBelow1
                     : c.cp < 1.33 ? Str::kCapCpBelow133
                     : c.cp < 2.0  ? Str::kCapCpBelow2
                                   : Str::kCapCpAbove2;
    say(out, n(band), {c.cp});
  }
  // The indices of the normal law with the within sigma: Cp = (USL - LSL) / (k sw),
  // Cpk = min(USL - mu, mu - LSL) / (k/2 sw).
  const double sw = ch.within_sigma;
  if (c.distribution == 3 && c.usl_given && c.lsl_given && present(sw) && sw > 0) {
    const double mu = c.param[0];
    const double cp = (c.usl - c.lsl) / (c.k * sw);
    const double cpk = std::fmin(c.usl - mu, mu - c.lsl) / (c.k / 2 * sw);
    say(out, n(Str::kCapSaysWithinIndices), {cp, cpk});
  }
}

}  // namespace

Str within_sigma_sentence(int variant, double nbar, int dispersion_option) {
  if (variant == 1) return Str::kCapSaysWithinMr;
  return nbar > 25 || dispersion_option == 1 ? Str::kCapSaysWithinS : Str::kCapSaysWithinR;
}

Interpretation capability_chart_interpretation(const void* record, int pane) {
  Interpretation out;
  const auto* r = static_cast<const AnalysisRecord*>(record);
  if (r == nullptr || r->results == nullptr || r->error_state != 0 || r->computed == 0 ||
      (pane != 1 && pane != 8))
    return out;
  const CapableState& state = *static_cast<const CapableState*>(r->results);
  if (!state.computed || state.results.status != 0) return out;
  const std::string name = text(capability_distribution_sentence(state.results.distribution));
  // The sentence that names the distribution, without its trailing blank.
  std::string rest = text_with(Str::kCapSaysRestOn, name);
  while (!rest.empty() && rest.back() == ' ') rest.pop_back();
  out.add(n(Str::kCapSaysRestOn), rest);
  if (pane == 8 && state.chart.computed) composite(out, *r, state);
  return out;
}

namespace {
const bool kRegistered =
    (register_interpreter(n(Str::kCapChartTitle1), &capability_chart_interpretation),
     register_interpreter(n(Str::kCapChartTitle2), &capability_chart_interpretation), true);
}  // namespace

}  // namespace ztq
