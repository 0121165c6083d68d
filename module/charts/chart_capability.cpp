// Capability indices Cp, Cpk, CPU, CPL, CR, Cpm and K (Kane (1986), Process
// capability indices, J. Qual. Technol. 18(1), 41-52; Chan, Cheng and Spiring
// (1988), A new measure of process capability: Cpm, J. Qual. Technol. 20(3)).
#include "charts/chart_capability.h"

#include <cmath>
#include <span>

namespace ztq {
namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

double finite_or_missing(double v) { return std::isfinite(v) ? v : kMissing; }

// s_T = sqrt(sum (x - T)^2 / (count - 1)) over the non-missing observations.
double deviation_from_target(std::span<const double> x, double target) {
  double ss = 0.0;
  double count = 0.0;
  for (double v : x) {
    if (!present(v)) continue;
    ss += (v - target) * (v - target);
    count += 1.0;
  }
  if (count <= 1.0) return kMissing;
  return std::sqrt(ss / (count - 1.0));
}

}  // namespace

ChartCapability chart_capability(double centre, double sigma, const ChartOptions& o,
                                 std::span<const double> observations) {
  ChartCapability c;
  const double usl = o.usl(), lsl = o.lsl(), target = o.target();
  const bool has_u = present(usl), has_l = present(lsl), has_t = present(target);
  const bool has_sigma = present(sigma) && sigma > 0.0;  // sigma 0: no index divides by it
  const bool has_centre = present(centre);

  if (has_u && has_l && has_sigma) {
    c.cp = finite_or_missing((usl - lsl) / (6.0 * sigma));
    if (!is_missing(c.cp) && c.cp != 0.0) c.cr = finite_or_missing(1.0 / c.cp);
  }
  if (has_u && has_sigma && has_centre) c.cpu = finite_or_missing((usl - centre) / (3.0 * sigma));
  if (has_l && has_sigma && has_centre) c.cpl = finite_or_missing((centre - lsl) / (3.0 * sigma));
  if (!is_missing(c.cpu) && !is_missing(c.cpl)) {
    c.cpk = c.cpu < c.cpl ? c.cpu : c.cpl;
  } else {
    c.cpk = is_missing(c.cpu) ? c.cpl : c.cpu;
  }
  if (!o.statistics_entered() && has_u && has_l && has_t) {
    const double s_t = deviation_from_target(observations, target);
    if (!is_missing(s_t) && s_t > 0.0) c.cpm = finite_or_missing((usl - lsl) / (6.0 * s_t));
  }
  if (has_u && has_l && has_t && has_centre && usl != lsl) {
    c.k = finite_or_missing((centre - target) / ((usl - lsl) / 2.0));
  }
  return c;
}

}  // namespace ztq
