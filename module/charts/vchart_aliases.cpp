// Readable names of the control charts' options, chart-type codes and option
// groups, as the command line accepts them beside the numbered names.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "charts/vchart_family.h"

namespace ztq {

namespace {

const std::map<std::string, std::string>& aliases() {
  static const std::map<std::string, std::string> kAliases = {{"option0", "statistics"},
                                                              {"option1", "standard"},
                                                              {"option2", "standardized"},
                                                              {"option4", "entered_limits"},
                                                              {"option10", "rule_a"},
                                                              {"option11", "rule_b"},
                                                              {"option12", "rule_c"},
                                                              {"option13", "rule_d"},
                                                              {"option14", "rule_e"},
                                                              {"option15", "rule_f"},
                                                              {"option16", "rule_a_length"},
                                                              {"option17", "rule_b_length"},
                                                              {"option18", "rule_c_window"},
                                                              {"option19", "rule_c_count"},
                                                              {"option20", "rule_d_window"},
                                                              {"option21", "rule_d_count"},
                                                              {"option22", "rule_e_length"},
                                                              {"option23", "rule_f_length"},
                                                              {"option24", "show_cp"},
                                                              {"option25", "show_cpk"},
                                                              {"option26", "show_cpu"},
                                                              {"option27", "show_cpl"},
                                                              {"option28", "show_cr"},
                                                              {"option29", "show_cpm"},
                                                              {"option30", "show_k"},
                                                              {"option33", "ma_line"},
                                                              {"option34", "span"},
                                                              {"option35", "ewma_line"},
                                                              {"option43", "ma_line2"},
                                                              {"option44", "span2"},
                                                              {"option45", "ewma_line2"},
                                                              {"option51", "vmask_point"},
                                                              {"option53", "sums_shown"},
                                                              {"option54", "sums_shown2"},
                                                              {"option55", "ar_order"},
                                                              {"option56", "ma_order"},
                                                              {"option57", "constant"},
                                                              {"option58", "differences"},
                                                              {"option66", "acceptance_alpha"},
                                                              {"option67", "phase2"},
                                                              {"option68", "phase3"},
                                                              {"option69", "phase4"},
                                                              {"option70", "phase5"},
                                                              {"option73", "ma_start"},
                                                              {"doption0", "ucl_multiple"},
                                                              {"doption1", "lcl_multiple"},
                                                              {"doption2", "ucl2_multiple"},
                                                              {"doption3", "lcl2_multiple"},
                                                              {"doption4", "mu0"},
                                                              {"doption5", "sigma0"},
                                                              {"doption6", "ucl"},
                                                              {"doption7", "cl"},
                                                              {"doption8", "lcl"},
                                                              {"doption9", "ucl2"},
                                                              {"doption10", "cl2"},
                                                              {"doption11", "lcl2"},
                                                              {"doption12", "rule_c_zone"},
                                                              {"doption13", "rule_d_zone"},
                                                              {"doption14", "rule_e_zone"},
                                                              {"doption15", "rule_f_zone"},
                                                              {"doption16", "usl"},
                                                              {"doption17", "target"},
                                                              {"doption18", "lsl"},
                                                              {"doption21", "lambda"},
                                                              {"doption31", "lambda2"},
                                                              {"doption37", "vmask_alpha"},
                                                              {"doption38", "vmask_beta"},
                                                              {"doption39", "vmask_shift"},
                                                              {"doption40", "h"},
                                                              {"doption41", "k"},
                                                              {"doption42", "headstart"},
                                                              {"doption53", "intercept"},
                                                              {"doption54", "slope"},
                                                              {"doption55", "delta"},
                                                              {"doption57", "alpha"}};
  return kAliases;
}

using Choices = std::vector<std::pair<std::string, double>>;

const std::map<std::string, Choices>& choices() {
  static const std::map<std::string, Choices> kChoices = {
      {"option53", {{"both", 0}, {"upper", 1}, {"lower", 2}}},
      {"option54", {{"both", 0}, {"upper", 1}, {"lower", 2}}},
      {"option73", {{"pad", 0}, {"narrow", 1}, {"average", 2}}}};
  return kChoices;
}

// The runs-rule settings of each preset, in the order of kRuleMembers: the
// six switches, the eight lengths and windows, the four zone widths.
// Western Electric (1956), Statistical Quality Control Handbook, rules 1-4:
// beyond 3 sigma (the limits), 2 of 3 beyond 2 sigma, 4 of 5 beyond 1 sigma,
// 8 in a row on one side. Nelson (1984), J. Quality Technology 16(4):
// 9 on one side, 6 rising or falling, 2 of 3 beyond 2 sigma, 4 of 5 beyond
// 1 sigma, 15 within 1 sigma, 8 in a row beyond 1 sigma on either side (his
// fourth test, 14 alternating, has no rule here).
const char* const kRuleMembers[] = {"option10",  "option11",  "option12", "option13", "option14",
                                    "option15",  "option16",  "option17", "option18", "option19",
                                    "option20",  "option21",  "option22", "option23", "doption12",
                                    "doption13", "doption14", "doption15"};

std::vector<double> rules(std::vector<double> on, std::vector<double> lengths,
                          std::vector<double> zones) {
  on.insert(on.end(), lengths.begin(), lengths.end());
  on.insert(on.end(), zones.begin(), zones.end());
  return on;
}

}  // namespace

void name_chart_options(std::vector<OptionField>& fields) {
  for (OptionField& f : fields) {
    if (auto it = aliases().find(f.name); it != aliases().end()) f.alias = it->second;
    if (auto it = choices().find(f.name); it != choices().end()) f.choices = it->second;
  }
}

std::vector<std::pair<std::string, Str>> Vchart::variant_names() const {
  const char* const kNames[] = {"xbar-r",
                                "xbar-s",
                                "xbar-var",
                                "imr",
                                "p",
                                "np",
                                "u",
                                "c",
                                "ma",
                                "ewma",
                                "cusum",
                                "xbar-ma",
                                "xbar-ewma",
                                "xbar-cusum",
                                "xbar-tabular-cusum",
                                "tabular-cusum",
                                "xbar-model",
                                "model",
                                "xbar-trend",
                                "trend",
                                "xbar-acceptance",
                                "acceptance"};
  std::vector<std::pair<std::string, Str>> out;
  for (int code = 0; code < 22; ++code)
    out.emplace_back(kNames[code], static_cast<Str>(static_cast<int32_t>(Str::kVcChart0) + code));
  return out;
}

std::vector<OptionGroup> Vchart::option_groups() const {
  const std::vector<double> lengths = {8, 8, 5, 4, 3, 2, 15, 8};  // the defaults
  const std::vector<double> zones = {1, 2, 1, 2};
  OptionGroup preset{"rules", Str::kVcGroupRules, {}, {}, {}};
  preset.members.assign(std::begin(kRuleMembers), std::end(kRuleMembers));
  preset.presets = {{"none", rules({0, 0, 0, 0, 0, 0}, lengths, zones)},
                    {"basic", rules({1, 0, 0, 0, 0, 0}, lengths, zones)},
                    {"western-electric", rules({1, 0, 1, 1, 0, 0}, lengths, zones)},
                    {"nelson", rules({1, 1, 1, 1, 1, 1}, {9, 6, 5, 4, 3, 2, 15, 8}, {1, 2, 1, 1})},
                    {"all", rules({1, 1, 1, 1, 1, 1}, lengths, zones)}};
  OptionGroup phases{
      "phases", Str::kVcGroupPhases, {"option67", "option68", "option69", "option70"}, {}, {}};
  OptionGroup sigma{"sigma_multiple",
                    Str::kVcGroupSigmaK,
                    {"doption0", "doption1", "doption2", "doption3"},
                    {1, -1, 1, -1},
                    {}};
  return {preset, phases, sigma};
}

}  // namespace ztq
