#include "capability/capable_steps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "bridge/profile.h"

namespace ztq {

std::vector<double> sorted_present(const std::vector<double>& data) {
  std::vector<double> x;
  x.reserve(data.size());
  for (double v : data)
    if (!is_missing(v) && std::isfinite(v)) x.push_back(v);
  std::sort(x.begin(), x.end());
  return x;
}

void capable_tests_and_limits(AnalysisRecord& r, const CapableState& previous,
                              CapableState& state) {
  const CapabilityResults& c = state.results;
  // Sorted once: the tests, the limits and the probability plot need the order.
  state.sorted = sorted_present(c.data);
  state.normality = normality_tests(state.sorted);
  GofInput g;
  g.rule = std::clamp(r.option[48], 0, 4);
  g.classes = r.option[49];
  const bool same_range = previous.computed && previous.results.status == 0 &&
                          previous.results.minimum == c.minimum &&
                          previous.results.maximum == c.maximum;
  // A class rule or count changed since the last computation chooses the classes anew.
  const bool same_rule = !previous.computed || (previous.class_rule == r.option[48] &&
                                                previous.class_option == r.option[49]);
  g.keep = r.option[19] > 0 && same_rule && (r.option[35] != 0 || same_range);
  g.kept_count = r.option[19];
  g.kept_lower = r.doption[10];
  g.kept_upper = r.doption[11];
  state.fit = goodness_of_fit(state.sorted, c.distribution, c.param, c.sd, g);
  r.option[19] = state.fit.classes;
  state.class_rule = r.option[48];
  state.class_option = r.option[49];
  r.doption[10] = state.fit.lower;
  r.doption[11] = state.fit.upper;
  const bool normal = c.distribution == 3;
  state.tolerance_normal =
      normal_tolerance(c.n, normal ? c.param[0] : c.mean, normal ? c.param[1] : c.sd, c.usl_given,
                       c.lsl_given, r.doption[7], r.doption[6]);
  const bool both = c.usl_given == c.lsl_given;
  const int mode = r.option[11] == 1 ? 1 : 0;
  state.tolerance_free = nonparametric_tolerance(state.sorted, r.option[12], both, mode,
                                                 mode == 0 ? r.doption[4] : r.doption[5]);
}

// Variants 1 and 2: the charts from options 15, 16 and 41 to 45 and the
// smoother weight of the profile, and the capability plot's classes.
void capable_chart_step(const AnalysisRecord& r, CapableState& state) {
  CapChartOptions o;
  o.show_runs = r.option[15] != 0;
  o.run_length = std::clamp(r.option[16], 1, 1000000);
  o.outer_warning = r.option[41] != 0;
  o.inner_warning = r.option[42] != 0;
  o.smoother = r.option[43];
  o.span = std::clamp(r.option[44], 1, 1000000);
  o.dispersion_sd = r.option[45] == 1;
  const std::string w = host_profile().get_string("Snap", "ControlParameter", "0.2");
  char* end = nullptr;
  const double weight = std::strtod(w.c_str(), &end);
  o.weight = end != w.c_str() && weight > 0 && weight <= 1 ? weight : 0.2;
  state.chart = capability_chart(state.results, r.variant, o);
  state.sorted = sorted_present(state.results.data);
  GofInput g;  // the capability plot's classes
  g.rule = std::clamp(r.option[48], 0, 4);
  g.classes = r.option[49];
  state.fit = goodness_of_fit(state.sorted, state.results.distribution, state.results.param,
                              state.results.sd, g);
}

}  // namespace ztq
