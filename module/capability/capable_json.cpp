#include "capability/capable_json.h"

#include <cmath>

#include "bridge/json.h"

namespace ztq {

namespace {

std::string integer(int64_t v) { return std::to_string(v); }

std::string interval(const CapInterval& ci) {
  if (is_missing(ci.lower) || is_missing(ci.upper)) return "null";
  return "[" + json_number(ci.lower) + "," + json_number(ci.upper) + "]";
}

std::string triple(double above, double below) {
  JsonObject o;
  o.add_number("above", above);
  o.add_number("below", below);
  o.add_number("total", above + below);
  return o.str();
}

std::string subgroups_json(const CapSubgroups& s) {
  JsonObject o;
  o.add_raw("count", integer(s.count));
  o.add_number("nbar", s.nbar);
  o.add_raw("observations", integer(s.observations));
  o.add_number("rbar", s.rbar);
  o.add_number("sbar", s.sbar);
  o.add_raw("fixed_size", s.fixed_size ? "1" : "0");
  o.add_raw("size", s.fixed_size ? integer(s.size) : "null");
  std::string sizes = "[";
  for (size_t i = 0; i < s.sizes.size(); ++i) sizes += (i ? "," : "") + integer(s.sizes[i]);
  o.add_raw("sizes", sizes + "]");
  o.add_numbers("means", s.means);
  o.add_numbers("ranges", s.ranges);
  o.add_numbers("sds", s.sds);
  return o.str();
}

std::string pearson_json(const PearsonResults& p) {
  JsonObject o;
  o.add_number("upper", p.upper);
  o.add_number("median", p.median);
  o.add_number("lower", p.lower);
  o.add_number("cp", p.cp);
  o.add_number("cpk", p.cpk);
  o.add_number("cpu", p.cpu);
  o.add_number("cpl", p.cpl);
  o.add_number("cr", p.cr);
  o.add_number("k", p.k);
  o.add_raw("message", p.message != 0 ? std::to_string(p.message) : "null");
  return o.str();
}

}  // namespace

std::string capable_results_json(const CapabilityResults& r, const PearsonResults& p, int variant) {
  JsonObject out;
  out.add_raw("status", std::to_string(r.status));
  if (r.status != 0) return out.members();
  out.add_raw("n", integer(r.n));
  out.add_number("mean", r.mean);
  out.add_number("sd", r.sd);
  out.add_number("median", r.median);
  out.add_number("skewness", r.skewness);
  out.add_number("kurtosis", r.kurtosis);
  out.add_number("min", r.minimum);
  out.add_number("max", r.maximum);
  out.add_raw("distribution", std::to_string(r.distribution));
  out.add_numbers("params", std::span<const double>(r.param, 4));
  out.add_number("dist_mean", r.dist_mean);
  out.add_raw("observed", triple(r.observed_above, r.observed_below));
  out.add_raw("estimated", triple(r.estimated_above, r.estimated_below));
  out.add_raw("ppm", triple(r.estimated_above * 10000.0, r.estimated_below * 10000.0));
  JsonObject z;
  z.add_number("usl", r.z_usl);
  z.add_number("lsl", r.z_lsl);
  out.add_raw("z", z.str());
  out.add_number("k_multiple", r.k);
  JsonObject idx;
  idx.add_number("cp", r.cp);
  idx.add_number("cpk", r.cpk);
  idx.add_number("cpu", r.cpu);
  idx.add_number("cpl", r.cpl);
  idx.add_number("cr", r.cr);
  idx.add_number("cpm", r.cpm);
  idx.add_number("k", r.k_index);
  out.add_raw("indices", idx.str());
  JsonObject ci;
  ci.add_raw("cp", interval(r.cp_ci));
  ci.add_raw("cpk", interval(r.cpk_ci));
  ci.add_raw("cpm", interval(r.cpm_ci));
  out.add_raw("intervals", ci.str());
  JsonObject nat;
  nat.add_number("upper", r.natural_upper);
  nat.add_number("lower", r.natural_lower);
  out.add_raw("natural_limits", nat.str());
  if (variant == 2) out.add_raw("subgroups", subgroups_json(r.subgroups));
  if (variant != 1 && variant != 2) out.add_raw("pearson", pearson_json(p));
  return out.members();
}

std::vector<OptionField> capable_options() {
  using S = OptionField::Store;
  const std::vector<std::pair<std::string, double>> laws = {
      {"exponential", 0}, {"extreme", 1}, {"lognormal", 2}, {"normal", 3},
      {"weibull", 4},     {"gamma", 12},  {"laplace", 13},  {"logistic", 14}};
  std::vector<OptionField> f = {
      {"option0", Str::kCapOptDistribution, S::option, 0, 0, 14, ZTQ_FIELD_CHOICE, "distribution",
       laws},
      {"option10", Str::kCapOptUseMultiple, S::option, 10, 0, 1, ZTQ_FIELD_INTEGER,
       "use_sigma_multiple"},
      {"doption0", Str::kCapOptMultiple, S::doption, 0, 1e-6, 100, ZTQ_FIELD_REAL,
       "sigma_multiple"},
      {"option38", Str::kCapOptKeep, S::option, 38, 0, 1, ZTQ_FIELD_INTEGER, "keep_parameters"},
      {"doption13", Str::kCapOptParam1, S::doption, 13, ZTQ_MISSING, ZTQ_MISSING, ZTQ_FIELD_REAL,
       "parameter1"},
      {"doption14", Str::kCapOptParam2, S::doption, 14, ZTQ_MISSING, ZTQ_MISSING, ZTQ_FIELD_REAL,
       "parameter2"},
      {"doption12", Str::kCapOptConfidence, S::doption, 12, 0, 99.9999, ZTQ_FIELD_REAL,
       "confidence"},
  };
  const char* rows[7] = {"show_cp", "show_cpk", "show_cpu", "show_cpl",
                         "show_cr", "show_cpm", "show_k"};
  for (int k = 0; k < 7; ++k)
    f.push_back({"option" + std::to_string(3 + k), Str::kCapOptShowRow, S::option, 3 + k, 0, 1,
                 ZTQ_FIELD_INTEGER, rows[k]});
  const std::vector<OptionField> tests = {
      {"option48", Str::kCapOptClassRule, S::option, 48, 0, 4, ZTQ_FIELD_INTEGER, "class_rule"},
      {"option49", Str::kCapOptClassCount, S::option, 49, 1, 1000, ZTQ_FIELD_INTEGER, "classes"},
      {"option11", Str::kCapOptNpMode, S::option, 11, 0, 1, ZTQ_FIELD_INTEGER, "np_mode"},
      {"option12", Str::kCapOptNpOrder, S::option, 12, 1, 1000000000, ZTQ_FIELD_INTEGER,
       "np_order"},
      {"doption4", Str::kCapOptNpConfidence, S::doption, 4, 1e-6, 99.9999, ZTQ_FIELD_REAL,
       "np_confidence"},
      {"doption5", Str::kCapOptNpCoverage, S::doption, 5, 1e-6, 99.9999, ZTQ_FIELD_REAL,
       "np_coverage"},
      {"doption6", Str::kCapOptTolConfidence, S::doption, 6, 1e-6, 99.9999, ZTQ_FIELD_REAL,
       "tolerance_confidence"},
      {"doption7", Str::kCapOptTolCoverage, S::doption, 7, 1e-6, 99.9999, ZTQ_FIELD_REAL,
       "tolerance_coverage"},
  };
  f.insert(f.end(), tests.begin(), tests.end());
  const std::pair<int, const char*> chart[] = {
      {15, "show_runs"}, {16, "run_length"}, {41, "outer_warning"}, {42, "inner_warning"},
      {43, "smoother"},  {44, "span"},       {45, "dispersion"}};
  for (const auto& [k, name] : chart)
    f.push_back({"option" + std::to_string(k), Str::kCapOptChart, S::option, k,
                 k == 16 || k == 44 ? 1.0 : 0.0, k == 43 ? 2.0 : (k == 16 || k == 44 ? 1e6 : 1.0),
                 ZTQ_FIELD_INTEGER, name});
  const std::vector<OptionField> graphs = {
      {"option27", Str::kCapOptPercent, S::option, 27, 0, 1, ZTQ_FIELD_INTEGER, "plot_percent"},
      {"option37", Str::kCapOptBarWidth, S::option, 37, 1, 100, ZTQ_FIELD_INTEGER, "bar_width"},
      {"option29", Str::kCapOptSwapAxes, S::option, 29, 0, 1, ZTQ_FIELD_INTEGER,
       "probability_swap_axes"},
      {"option30", Str::kCapOptReference, S::option, 30, 0, 1, ZTQ_FIELD_INTEGER,
       "probability_line"},
      {"option46", Str::kCapOptRecent, S::option, 46, 0, 1, ZTQ_FIELD_INTEGER, "plot_recent"},
      {"option47", Str::kCapOptRecentSize, S::option, 47, 1, 1000000, ZTQ_FIELD_INTEGER,
       "recent_size"},
  };
  f.insert(f.end(), graphs.begin(), graphs.end());
  f.push_back(
      {"option40", Str::kCapOptLabelSet, S::option, 40, 0, 1, ZTQ_FIELD_INTEGER, "label_set"});
  return f;
}

}  // namespace ztq
