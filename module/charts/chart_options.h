// The options of a control chart: the numbered integer and double options
// kept in the analysis record, their defaults, the options the profile
// overwrites at set-up (section "VCHART") and the capability procedure's chart
// keys (section "Snap"). Indices are the option numbers: option[34] is
// `option34`. Missing double options hold kMissing.
#pragma once

#include <array>
#include <cstdint>

#include "stats/guarded.h"

namespace ztq {

struct ChartOptions {
  static constexpr int kIntCount = 80;     // option0 .. option79
  static constexpr int kDoubleCount = 64;  // doption0 .. doption63

  std::array<std::int32_t, kIntCount> option{};
  std::array<double, kDoubleCount> doption{};

  bool statistics_entered() const { return option[0] != 0; }  // means and dispersions given
  bool to_standard() const { return option[1] == 1; }         // control to a standard
  bool no_clip() const { return option[2] == 1; }             // keep limits outside [0, 1]
  bool limits_entered() const { return option[4] == 1; }      // with to_standard()
  bool rule_enabled(int rule) const { return option[9 + rule] != 0; }  // rules 1..6
  int run_length() const { return option[16]; }                        // rule 1
  int trend_length() const { return option[17]; }                      // rule 2
  int rule3_window() const { return option[18]; }
  int rule3_count() const { return option[19]; }
  int rule4_window() const { return option[20]; }
  int rule4_count() const { return option[21]; }
  int rule5_window() const { return option[22]; }
  int rule6_window() const { return option[23]; }
  bool ma_line1() const { return option[33] != 0; }    // moving-average smoother, chart 1
  int span() const { return option[34]; }              // moving-average span, chart 1
  bool ewma_line1() const { return option[35] != 0; }  // EWMA smoother, chart 1
  bool ma_line2() const { return option[43] != 0; }    // moving-average smoother, chart 2
  bool ewma_line2() const { return option[45] != 0; }  // EWMA smoother, chart 2
  int span2() const { return option[44]; }             // moving-average span, chart 2
  int vmask_reference() const { return option[51]; }   // 1-based; 0 = the last point
  int sides1() const { return option[53]; }    // decision sums of chart 1: 0 both, 1 upper, 2 lower
  int sides2() const { return option[54]; }    // of chart 2 (code 15's scale series)
  int ar_order() const { return option[55]; }  // codes 16, 17: p
  int ma_order() const { return option[56]; }  // q
  bool model_constant() const { return option[57] != 0; }
  int differences() const { return option[58]; }  // d
  bool acceptance_alpha_given() const { return option[66] != 0; }
  int phase_break(int i) const { return option[67 + i]; }  // i = 0..3
  int moving_average_start() const { return option[73]; }

  double k_upper() const { return doption[0]; }  // chart 1 sigma multiples
  double k_lower() const { return doption[1]; }
  double k2_upper() const { return doption[2]; }  // chart 2 sigma multiples
  double k2_lower() const { return doption[3]; }
  double standard_centre() const { return doption[4]; }
  double standard_sigma() const { return doption[5]; }
  double entered_limit(int line) const { return doption[6 + line]; }  // lines 0..5
  double zone_width(int rule) const { return doption[9 + rule]; }     // rules 3..6
  double usl() const { return doption[16]; }
  double target() const { return doption[17]; }
  double lsl() const { return doption[18]; }
  double lambda() const { return doption[21]; }   // EWMA weight, chart 1
  double lambda2() const { return doption[31]; }  // EWMA weight, chart 2
  double vmask_alpha() const { return doption[37]; }
  double vmask_beta() const { return doption[38]; }
  double vmask_shift() const { return doption[39]; }        // delta, in sigmas
  double decision_interval() const { return doption[40]; }  // h, in units of s
  double reference_value() const { return doption[41]; }    // k, in units of s
  double headstart() const { return doption[42]; }          // in units of s
  double trend_intercept() const { return doption[53]; }
  double trend_slope() const { return doption[54]; }
  double acceptance_delta() const { return doption[55]; }
  double acceptance_alpha() const { return doption[57]; }
};

// The defaults that set-up gives a new analysis.
ChartOptions default_chart_options();

// Options that set-up overwrites from the profile when a value is saved.
inline constexpr const char* kChartProfileSection = "VCHART";
inline constexpr int kChartProfileIntOptions[] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                                                  21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 34,
                                                  36, 37, 38, 39, 40, 44, 71, 72, 73};
inline constexpr int kChartProfileDoubleOptions[] = {21, 31};

// The capability procedure's chart settings, section "Snap". Integer keys
// except "ControlParameter", read as text and converted to a double.
struct SnapChartKey {
  const char* key;
  bool is_text;
  int int_default;
  const char* text_default;
};
inline constexpr const char* kSnapSection = "Snap";
inline constexpr SnapChartKey kSnapChartKeys[] = {
    {"ControlOuterWarning", false, 0, nullptr}, {"ControlInnerWarning", false, 0, nullptr},
    {"ControlSmoother", false, 0, nullptr},     {"ControlSpan", false, 9, nullptr},
    {"ControlDispersion", false, 0, nullptr},   {"ControlParameter", true, 0, "0.2"},
    {"ControlPlotRecent", false, 0, nullptr},   {"ControlRecentSize", false, 100, nullptr},
    {"ControlRunLength", false, 8, nullptr},    {"ControlShowRuns", false, 1, nullptr},
};

// Checks the options that would make a formula of chart CODE meaningless.
// Returns 0 when they are usable, else the number of the message to show.
int validate_chart_options(const ChartOptions& options, int code);

}  // namespace ztq
