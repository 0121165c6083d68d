// The point listing T2, the runs-rules pane T3 and the capability pane T4 of
// the control charts.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <initializer_list>

#include "bridge/strings.h"
#include "charts/chart_kind.h"
#include "charts/vchart_panes.h"
#include "format/numfmt.h"

namespace ztq {

using namespace vchart_detail;

namespace {

constexpr std::size_t kListingCut = 59952;  // the listing stops with "..." past this length
const std::string kRule66(66, '-');

// The string's %d placeholders filled in order.
std::string fill(Str id, std::initializer_list<int> values) {
  std::string s = text(id);
  for (int v : values) {
    const std::size_t at = s.find("%d");
    if (at == std::string::npos) break;
    s.replace(at, 2, std::to_string(v));
  }
  return s;
}

// Codes whose points carry a subgroup or sample size in the listing.
bool lists_size(int code) {
  switch (code) {
    case 3:
    case 7:
    case 8:
    case 9:
    case 10:
    case 15:
    case 17:
    case 19:
    case 21:
      return false;
    default:
      return true;
  }
}

bool excluded_at(const ChartResults& r, std::size_t i) {
  return i < r.series.excluded.size() && r.series.excluded[i] != 0;
}

char mark(const ChartResults& r, std::size_t i, bool beyond_limits) {
  if (excluded_at(r, i)) return 'X';
  return beyond_limits ? '*' : ' ';
}

bool listed(const ChartResults& r, std::size_t i, int32_t which, bool attribute) {
  const bool m1 = beyond_chart1(r, i), m2 = beyond_chart2(r, i);
  switch (which) {
    case 1:
      return m1 || m2;
    case 2:
      return attribute ? excluded_at(r, i) : m1;
    case 3:
      return m2;
    case 4:
      return excluded_at(r, i);
    default:
      return true;
  }
}

std::string label_at(const VchartView& v, std::size_t i) { return v.labels[i]; }

std::string rule_letters(int flags, int shift) {
  std::string s;
  for (int rule = 0; rule < 6; ++rule)
    if (flags & (1 << (rule + shift))) s.push_back(static_cast<char>('A' + rule));
  return s;
}

}  // namespace

std::string vchart_listing_text(const ChartResults& r, const VchartView& v) {
  if (v.error_state != 0) return text(Str::kNoResults) + kCrLf;
  const bool attribute = is_attribute_code(v.code);
  const bool sized = lists_size(v.code);
  std::string out = chart_title(v.code) + " - " + text(Str::kVcListTitle) + kCrLf;
  const Str heading = attribute ? (v.code == 7 ? Str::kVcListHeadC : Str::kVcListHeadAttr)
                                : (sized ? Str::kVcListHeadSize : Str::kVcListHead);
  out += text(heading) + kCrLf + kRule66 + kCrLf;
  const ChartSeries& s = r.series;
  std::size_t i = 0;
  while (i < s.stat1.size() && is_missing(s.stat1[i])) ++i;  // before the first plotted point
  for (; i < s.stat1.size(); ++i) {
    if (out.size() > kListingCut) {
      out += std::string("...") + kCrLf;
      break;
    }
    if (!listed(r, i, v.listing, attribute)) continue;
    out += pad(label_at(v, i), 20);
    if (sized) {
      const double n = i < s.size.size() ? s.size[i] : kMissing;
      if (is_missing(n)) {
        out += kCrLf;
        continue;
      }
      if (v.code == 6) {
        out += format_six_left(n, 10);
      } else {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%-10lld", static_cast<long long>(std::trunc(n)));
        out += buf;
      }
    }
    const std::string stat = format_six(s.stat1[i], 16);
    out += mark(r, i, beyond_chart1(r, i));
    out += " " + (attribute ? stat : pad(stat, 16));
    if (!attribute) {
      out += mark(r, i, beyond_chart2(r, i));
      out += " " + pad(format_six(s.stat2_at(i), 16), 16);
    }
    out += kCrLf;
  }
  return out + kRule66 + kCrLf;
}

std::string vchart_rules_in_force(const VchartView& v) {
  const ChartOptions o = v.options != nullptr ? *v.options : default_chart_options();
  const bool ind = individuals_wording(v.code);
  std::string out;
  out += text(Str::kVcRulesHead1) + kCrLf + text(Str::kVcRulesHead2) + kCrLf;
  const auto zone = [&](int rule) {
    return format_six(o.zone_width(rule), 16) + text(Str::kVcSigmaWord);
  };
  if (o.rule_enabled(1)) out += fill(Str::kVcRule1, {o.run_length()}) + kCrLf;
  if (o.rule_enabled(2)) out += fill(Str::kVcRule2, {o.trend_length()}) + kCrLf;
  if (o.rule_enabled(3))
    out += fill(ind ? Str::kVcRule3i : Str::kVcRule3, {o.rule3_count(), o.rule3_window()}) +
           zone(3) + kCrLf;
  if (o.rule_enabled(4))
    out += fill(ind ? Str::kVcRule4i : Str::kVcRule4, {o.rule4_count(), o.rule4_window()}) +
           zone(4) + kCrLf;
  if (o.rule_enabled(5))
    out += fill(ind ? Str::kVcRule5i : Str::kVcRule5, {o.rule5_window()}) + zone(5) + kCrLf;
  if (o.rule_enabled(6))
    out += fill(ind ? Str::kVcRule6i : Str::kVcRule6, {o.rule6_window()}) + zone(6) + kCrLf;
  return out;
}

std::string vchart_rules_text(const ChartResults& r, const VchartView& v) {
  if (v.error_state != 0) return text(Str::kNoResults) + kCrLf;
  const ChartOptions o = v.options != nullptr ? *v.options : default_chart_options();
  if ((v.code == 16 || v.code == 17) && o.option[60] < 2) return text(Str::kVcNoModelRules) + kCrLf;
  const bool attribute = is_attribute_code(v.code);
  std::string out = chart_title(v.code) + " - " + text(Str::kVcRulesTitle) + kCrLf + kCrLf;
  out += vchart_rules_in_force(v);
  out += kCrLf;
  out += text(Str::kVcFlaggedHead1) + kCrLf + text(Str::kVcFlaggedHead2) + kCrLf;
  out += text(Str::kVcFlaggedColumns) + kCrLf;
  const ChartSeries& s = r.series;
  for (std::size_t i = 0; i < s.flags.size(); ++i) {
    if (s.flags[i] == 0) continue;
    out += "   " + pad(label_at(v, i), 20) + "  ";
    const std::string first = rule_letters(s.flags[i], 0);
    out += attribute ? first : pad(first, 16) + rule_letters(s.flags[i], 6);
    out += kCrLf;
  }
  return out;
}

std::string vchart_capability_text(const ChartResults& r, const VchartView& v) {
  if (v.error_state != 0) return text(Str::kNoResults) + kCrLf;
  const ChartOptions o = v.options != nullptr ? *v.options : default_chart_options();
  if ((v.code == 16 || v.code == 17) && o.option[56] > 0)
    return text(Str::kVcNoModelCapability) + kCrLf;
  std::string out = chart_title(v.code) + " - " + text(Str::kVcCapTitle) + kCrLf;
  out += v.data_name;
  if (!v.subgroup_name.empty()) out += " & " + v.subgroup_name;
  out += std::string(kCrLf) + text(Str::kVcCapHeading) + kCrLf;
  const auto row = [&](Str label, double value) {
    out += text(label) + "     " + format_six_right(value, 16) + kCrLf;
  };
  row(Str::kVcCapUsl, o.usl());
  row(Str::kVcCapTarget, o.target());
  row(Str::kVcCapLsl, o.lsl());
  out += kCrLf;
  const ChartCapability& c = r.capability;
  const struct {
    int option;
    Str label;
    double value;
  } kRows[] = {{24, Str::kVcCapCp, c.cp},   {25, Str::kVcCapCpk, c.cpk},
               {26, Str::kVcCapCpu, c.cpu}, {27, Str::kVcCapCpl, c.cpl},
               {28, Str::kVcCapCr, c.cr},   {29, Str::kVcCapCpm, c.cpm},
               {30, Str::kVcCapK, c.k}};
  for (const auto& rw : kRows)
    if (o.option[static_cast<std::size_t>(rw.option)] != 0) row(rw.label, rw.value);
  out += std::string(kCrLf) + text(Str::kVcCapNote) + kCrLf;
  return out;
}

}  // namespace ztq
