// Round tick values after the "nice numbers" idea of Heckbert, P. S. (1990),
// "Nice numbers for graph labels", Graphics Gems, 61-63, restricted to steps of
// 1, 2 and 5 times a power of ten and scored by the number of divisions.
#include "host/graph/ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qualty {
namespace {

constexpr double kHuge = 1e300;  // ends beyond this are clamped so that hi - lo stays finite
constexpr double kSlack = 1e-9;  // relative slack for values that sit on a multiple of the step

double floor_to(double v, double step) { return std::floor(v / step + kSlack) * step; }
double ceil_to(double v, double step) { return std::ceil(v / step - kSlack) * step; }

// Distance of a division count from the preferred band of 4 to 6.
double band_distance(double n) { return n < 4 ? 4 - n : (n > 6 ? n - 6 : 0); }

std::vector<double> multiples(double lo, double hi, double step) {
  std::vector<double> out;
  const double first = std::ceil(lo / step - kSlack);
  const double last = std::floor(hi / step + kSlack);
  for (double k = first; k <= last && out.size() < 200; k += 1) {
    double v = k * step;
    if (std::fabs(v) < step * 1e-9) v = 0;  // no -0 and no 1e-17 for zero
    out.push_back(v);
  }
  return out;
}

}  // namespace

void widen_range(double& lo, double& hi) {
  if (!std::isfinite(lo) || !std::isfinite(hi)) {
    const bool lo_ok = std::isfinite(lo), hi_ok = std::isfinite(hi);
    if (lo_ok != hi_ok) {  // one usable end: treat it as a single value
      lo = hi = lo_ok ? lo : hi;
    } else {
      lo = 0, hi = 1;
      return;
    }
  }
  lo = std::clamp(lo, -kHuge, kHuge);
  hi = std::clamp(hi, -kHuge, kHuge);
  if (lo > hi) std::swap(lo, hi);
  const double mid = 0.5 * lo + 0.5 * hi;
  // A range below 1e-12 of its magnitude cannot be divided in doubles: widen it.
  if (hi - lo <= std::fabs(mid) * 1e-12) {
    const double w = mid == 0 ? 1 : std::fabs(mid) * 0.1;
    lo = mid - w, hi = mid + w;
  }
}

AxisScale nice_scale(double lo, double hi) {
  widen_range(lo, hi);
  const double range = hi - lo;
  const double base = std::pow(10.0, std::floor(std::log10(range / 6)));
  AxisScale best;
  double best_score = 1e300, best_span = 1e300, best_n = 0;
  for (double decade = base / 10; decade <= base * 100; decade *= 10) {
    for (double m : {1.0, 2.0, 5.0}) {
      const double step = m * decade;
      const double a = floor_to(lo, step), b = ceil_to(hi, step);
      const double n = std::round((b - a) / step);
      const double score = band_distance(n), span = b - a;
      const bool better = score < best_score ||
                          (score == best_score &&
                           (span < best_span * (1 - kSlack) || (span <= best_span && n > best_n)));
      if (better) {
        best_score = score, best_span = span, best_n = n;
        best.min = a, best.max = b, best.step = step;
      }
    }
  }
  best.ticks = multiples(best.min, best.max, best.step);
  return best;
}

AxisScale fixed_scale(double lo, double hi, double increment) {
  widen_range(lo, hi);
  AxisScale s;
  s.min = lo, s.max = hi;
  const double divisions = std::isfinite(increment) && increment > 0 ? (hi - lo) / increment : 0;
  if (divisions >= 2 - kSlack && divisions <= 50 + kSlack) {
    s.step = increment;
    for (double k = 0; lo + k * increment <= hi + increment * kSlack; k += 1) {
      double v = lo + k * increment;
      if (std::fabs(v) < increment * 1e-9) v = 0;
      s.ticks.push_back(v);
    }
    return s;
  }
  // Round multiples inside the range: the 1-2-5 step whose tick count is nearest 4 to 6 divisions.
  const double base = std::pow(10.0, std::floor(std::log10((hi - lo) / 6)));
  double best_score = 1e300;
  for (double decade = base / 10; decade <= base * 100; decade *= 10) {
    for (double m : {1.0, 2.0, 5.0}) {
      std::vector<double> ticks = multiples(lo, hi, m * decade);
      const double n = ticks.empty() ? 0 : static_cast<double>(ticks.size() - 1);
      const double score = band_distance(n);
      if (score < best_score) best_score = score, s.step = m * decade, s.ticks = std::move(ticks);
    }
  }
  return s;
}

AxisScale log_scale(double lo, double hi) {
  AxisScale s;
  s.log = true;
  if (!(lo > 0) || !(hi > 0) || !std::isfinite(lo) || !std::isfinite(hi)) lo = 1, hi = 10;
  if (lo > hi) std::swap(lo, hi);
  double a = std::floor(std::log10(lo)), b = std::ceil(std::log10(hi));
  a = std::clamp(a, -300.0, 300.0);
  b = std::clamp(b, a + 1, 300.0);
  s.min = std::pow(10.0, a), s.max = std::pow(10.0, b);
  s.step = 0;
  const bool few = b - a <= 2;  // one or two decades: 2 and 5 multiples as well
  const double every = std::max(1.0, std::ceil((b - a) / 8));
  for (double e = a; e <= b; e += every) {
    const double p = std::pow(10.0, e);
    s.ticks.push_back(p);
    if (few && e < b) s.ticks.insert(s.ticks.end(), {2 * p, 5 * p});
  }
  return s;
}

std::string tick_label(double value, double step, char decimal) {
  char buf[64];
  if (!std::isfinite(value)) return "";
  const double mag = std::max(std::fabs(value), std::fabs(step));
  if (mag >= 1e7 || (step > 0 && step < 1e-5) || (step <= 0 && mag < 1e-4 && value != 0)) {
    std::snprintf(buf, sizeof buf, "%.4g", value);
  } else {
    int decimals = 0;
    if (step > 0) {
      while (decimals < 6) {
        const double scaled = step * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled) break;
        ++decimals;
      }
    } else {  // log axes: as many decimals as the value needs
      while (decimals < 6 && std::fabs(value * std::pow(10.0, decimals) -
                                       std::round(value * std::pow(10.0, decimals))) > 1e-9)
        ++decimals;
    }
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  }
  std::string s = buf;
  if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-') s.erase(0, 1);  // "-0.0"
  if (decimal != '.')  // printf wrote the C locale's point; the exponent has none
    for (char& c : s)
      if (c == '.') c = decimal;
  return s;
}

}  // namespace qualty
