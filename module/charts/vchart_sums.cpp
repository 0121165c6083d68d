// The listing T2z of the decision-interval sums of codes 14 and 15: per
// point its label, its standardized value and, for each side shown, a mark,
// the sum (11 characters), a blank and the number of consecutive points at
// which that sum has been above 0.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "bridge/strings.h"
#include "charts/tabular_series.h"
#include "charts/vchart_panes.h"
#include "format/numfmt.h"

namespace ztq {

using namespace vchart_detail;

namespace {

constexpr std::size_t kListingCut = 59952;  // the listing stops with "..." past this length
constexpr std::size_t kSumWidth = 11, kRunWidth = 6, kValueWidth = 12;

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

double at(const std::vector<double>& v, std::size_t i) { return i < v.size() ? v[i] : kMissing; }
double at(const PointLine& v, std::size_t i) { return i < v.size() ? v[i] : kMissing; }

// V in W characters, left-justified: six significant digits, or fewer (or
// an exponent) where six positional digits of a tiny sum would not fit.
std::string cell(double v, std::size_t w) {
  const int width = static_cast<int>(w);
  std::string s = format_six(v, width);
  for (int digits = 6; s.empty() && digits >= 1 && present(v); --digits)
    s = format_sig(v, width, digits);
  return pad(s, w);
}

// One side: its sums, its chart (the decision line), its label, its run count.
struct Side {
  const std::vector<double>* sums;
  bool chart1;
  Str label;
  int run = 0;
};

std::string side_cell(const ChartResults& r, Side& s, std::size_t i, bool restart) {
  if (restart) s.run = 0;
  const double v = at(*s.sums, i);
  if (!present(v)) return std::string(2 + kSumWidth + kRunWidth, ' ');
  s.run = v > 0 ? s.run + 1 : 0;
  const double h = s.chart1 ? at(r.tabular.decision1, i) : r.tabular.decision2;
  const bool beyond = present(h) && v > h;
  char run[16];
  std::snprintf(run, sizeof run, "%-6d", s.run);
  // A blank parts the sum from its count: six digits of a small sum fill all 11.
  return std::string(beyond ? "*" : " ") + cell(v, kSumWidth) + " " + pad(run, kRunWidth);
}

}  // namespace

std::string vchart_sums_text(const ChartResults& r, const VchartView& v) {
  if (v.error_state != 0) return text(Str::kNoResults) + kCrLf;
  const std::size_t n = r.series.stat1.size();
  // A row takes at least its label (20), z and the line end: the sums of the
  // points that the listing can reach, not of all points.
  const std::size_t reach = kListingCut / (20 + kValueWidth + 2) + 2;
  const SumPair sums1 = tabular_sums(r, 1, reach);
  const SumPair sums2 = v.code == 15 ? tabular_sums(r, 2, reach) : SumPair{};
  std::vector<Side> sides;
  const auto add = [&](const std::vector<double>& sums, bool chart1, Str label) {
    if (!sums.empty()) sides.push_back({&sums, chart1, label, 0});  // else left out
  };
  add(sums1.sh, true, Str::kVcSumsUpper);
  add(sums1.sl, true, Str::kVcSumsLower);
  add(sums2.sh, false, Str::kVcSumsScaleUpper);
  add(sums2.sl, false, Str::kVcSumsScaleLower);
  std::string out = chart_title(v.code) + " - " + text(Str::kVcSumsTitle) + kCrLf;
  std::string head = pad(text(Str::kVcSumsPoint), 20) + pad(text(Str::kVcSumsValue), kValueWidth);
  for (const Side& s : sides)
    head += " " + pad(text(s.label), kSumWidth + 1) + pad(text(Str::kVcSumsRun), kRunWidth);
  const std::string rule(head.size(), '-');
  out += head + kCrLf + rule + kCrLf;
  for (std::size_t i = 0; i < n; ++i) {
    if (out.size() > kListingCut) {
      out += std::string("...") + kCrLf;
      break;
    }
    const bool restart = i == 0 || r.phase_of(i) != r.phase_of(i - 1);
    out += pad(v.labels[i], 20);
    out += cell(tabular_z(r, i), kValueWidth);
    for (Side& s : sides) out += side_cell(r, s, i, restart);
    out += kCrLf;
  }
  return out + rule + kCrLf;
}

}  // namespace ztq
