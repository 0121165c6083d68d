#include "capability/cap_chart.h"

#include <algorithm>
#include <cmath>

#include "charts/chart_options.h"
#include "charts/factors.h"
#include "charts/runs_rules.h"

namespace ztq {

namespace {

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

// Limits and warning lines at centre +/- 3, 2, 1 times `unit`; lower lines
// raised to 0 when `floor_zero`.
// No lines when the unit is not above 0: a within sigma of 0 (subgroups of
// one observation, or no spread inside any subgroup) gives no limits.
void set_lines(CapChartSide& s, double unit, const CapChartOptions& o, bool floor_zero) {
  if (!(present(unit) && unit > 0)) return;
  const auto low = [&](double v) { return floor_zero ? std::max(0.0, v) : v; };
  s.ucl = s.centre + 3 * unit;
  s.lcl = low(s.centre - 3 * unit);
  s.has_outer = o.outer_warning;
  s.has_inner = o.inner_warning;
  if (o.outer_warning) {
    s.outer_upper = s.centre + 2 * unit;
    s.outer_lower = low(s.centre - 2 * unit);
  }
  if (o.inner_warning) {
    s.inner_upper = s.centre + unit;
    s.inner_lower = low(s.centre - unit);
  }
}

}  // namespace

// Moving average of the last `span` positions' present values, or an EWMA
// z = (1 - w) z + w x started at the first present value (Roberts 1959).
std::vector<double> chart_smoother(const std::vector<double>& x, int kind, int span, double w) {
  std::vector<double> out(x.size(), kMissing);
  if (kind == 1) {
    const size_t s = static_cast<size_t>(std::max(1, span));
    for (size_t i = 0; i < x.size(); ++i) {
      if (!present(x[i])) continue;
      double sum = 0;
      int n = 0;
      for (size_t j = i + 1 > s ? i + 1 - s : 0; j <= i; ++j)
        if (present(x[j])) sum += x[j], ++n;
      out[i] = sum / n;
    }
  } else if (kind == 2) {
    bool started = false;
    double z = 0;
    for (size_t i = 0; i < x.size(); ++i) {
      if (!present(x[i])) continue;
      z = started ? (1 - w) * z + w * x[i] : x[i];
      started = true;
      out[i] = z;
    }
  }
  return out;
}

std::vector<int32_t> run_marks(const std::vector<double>& x, double centre, int length) {
  std::vector<int32_t> out(x.size(), 0);
  int above = 0, below = 0, rise = 0, fall = 0;
  double prev = kMissing;
  for (size_t i = 0; i < x.size(); ++i) {
    const double v = x[i];
    if (!present(v)) continue;
    above = v >= centre ? above + 1 : 0;  // a point on the centre counts for both
    below = v <= centre ? below + 1 : 0;
    if (present(prev)) {
      rise = v > prev ? rise + 1 : 0;
      fall = v < prev ? fall + 1 : 0;
    }
    prev = v;
    out[i] =
        (above >= length || below >= length ? 1 : 0) + (rise >= length || fall >= length ? 2 : 0);
  }
  return out;
}

// Western Electric (1956) zone tests as the control charts run them: four of
// the last five points beyond one sigma, two of the last three beyond two
// sigma, on the same side.
std::vector<int32_t> zone_marks(const std::vector<double>& x, double centre, double sigma,
                                bool inner, bool outer) {
  std::vector<int32_t> out;
  if (!(inner || outer) || !present(centre) || !present(sigma) || !(sigma > 0)) return out;
  ChartOptions o{};
  o.option[12] = inner ? 1 : 0;  // rule 3: 4 of 5 beyond 1 sigma
  o.option[18] = 5;
  o.option[19] = 4;
  o.doption[12] = 1.0;
  o.option[13] = outer ? 1 : 0;  // rule 4: 2 of 3 beyond 2 sigma
  o.option[20] = 3;
  o.option[21] = 2;
  o.doption[13] = 2.0;
  PointLine cl, ucl, lcl;  // constant lines: one value each
  cl.assign(x.size(), centre);
  ucl.assign(x.size(), centre + 3 * sigma);
  lcl.assign(x.size(), centre - 3 * sigma);
  RulesChart chart;
  chart.x = x;
  chart.cl = &cl;
  chart.ucl = &ucl;
  chart.lcl = &lcl;
  std::vector<std::uint16_t> flags(x.size(), 0);
  apply_runs_rules(chart, {}, o, kChart1RuleShift, &flags);
  out.assign(flags.begin(), flags.end());
  return out;
}

// Within sigma: MR-bar / 1.128 (individuals), S-bar / c4 or R-bar / d2 of the
// average subgroup size (subgroups); Shewhart limits at 3 sigma (Montgomery
// 2009, ch. 6).
CapChartResults capability_chart(const CapabilityResults& r, int variant,
                                 const CapChartOptions& o) {
  CapChartResults c;
  c.options = o;
  if (r.status != 0) return c;
  CapChartSide& loc = c.location;
  CapChartSide& dis = c.dispersion;
  loc.centre = r.mean;
  if (variant == 1) {
    loc.series = r.data;
    dis.series.assign(r.data.size(), kMissing);
    double prev = kMissing, sum = 0;
    int64_t n = 0;
    for (size_t i = 0; i < r.data.size(); ++i) {
      const double v = r.data[i];
      if (!present(v)) {
        loc.series[i] = kMissing;
        continue;
      }
      if (present(prev)) {
        dis.series[i] = std::fabs(v - prev);
        sum += dis.series[i];
        ++n;
      }
      prev = v;
    }
    if (n == 0) return c;
    const double mrbar = sum / static_cast<double>(n);
    c.within_sigma = mrbar / 1.128;
    loc.sigma = c.within_sigma;
    dis.centre = mrbar;
    set_lines(dis, 0.853 * c.within_sigma, o, true);
  } else {
    const CapSubgroups& s = r.subgroups;
    if (s.count == 0 || !present(s.nbar) || !present(s.rbar) || !present(s.sbar)) return c;
    c.statistic = (s.nbar > 25 || o.dispersion_sd) ? 1 : 0;
    if (c.statistic == 1) {
      const double k = c4(s.nbar);
      c.within_sigma = s.sbar / k;
      dis.centre = k * c.within_sigma;
      set_lines(dis, std::sqrt(std::max(0.0, 1 - k * k)) * c.within_sigma, o, true);
      dis.series = s.sds;
    } else {
      c.within_sigma = s.rbar / factor(Factor::d2, s.nbar);
      dis.centre = s.rbar;
      set_lines(dis, factor(Factor::d3, s.nbar) * c.within_sigma, o, true);
      dis.series = s.ranges;
    }
    loc.series = s.means;
    loc.sigma = c.within_sigma / std::sqrt(s.nbar);
    for (size_t i = 0; i < dis.series.size() && i < s.sizes.size(); ++i)
      if (s.sizes[i] == 0) dis.series[i] = kMissing;
  }
  set_lines(loc, loc.sigma, o, false);
  if (o.smoother == 1 || o.smoother == 2) {
    loc.smoother = chart_smoother(loc.series, o.smoother, o.span, o.weight);
    dis.smoother = chart_smoother(dis.series, o.smoother, o.span, o.weight);
  }
  if (o.show_runs) {
    loc.runs = run_marks(loc.series, loc.centre, std::max(1, o.run_length));
    loc.zone_marks =
        zone_marks(loc.series, loc.centre, loc.sigma, o.inner_warning, o.outer_warning);
  }
  c.computed = present(c.within_sigma);
  return c;
}

}  // namespace ztq
