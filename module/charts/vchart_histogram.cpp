// The capability histogram G of the control charts: the observations in
// equal classes, the normal curve of their mean and standard deviation scaled
// to the counts, and the USL, target and LSL lines labelled with their values.
#include <algorithm>
#include <cmath>
#include <vector>

#include "bridge/strings.h"
#include "charts/chart_kind.h"
#include "charts/vchart_chart_parts.h"
#include "charts/vchart_panes.h"
#include "format/numfmt.h"

namespace ztq {

using namespace vchart_detail;

namespace {

constexpr int kMinClasses = 5, kMaxClasses = 30;  // the automatic rule's bounds
constexpr int kMostClasses = 200;                 // the most a user may ask for
constexpr int kCurvePoints = 121;
constexpr double kPi = 3.14159265358979323846;

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

}  // namespace

// Sturges (1926), J. Am. Stat. Assoc. 21, 65-66: 1 + log2(n) classes.
HistogramClasses histogram_classes(std::span<const double> x, int classes) {
  HistogramClasses h;
  double lo = 0, hi = 0;
  for (double v : x) {
    if (!present(v)) continue;
    lo = h.n == 0 ? v : std::min(lo, v);
    hi = h.n == 0 ? v : std::max(hi, v);
    ++h.n;
  }
  if (h.n == 0) return h;
  int k = classes;
  if (k <= 0) {
    k = static_cast<int>(std::ceil(1.0 + std::log2(static_cast<double>(h.n))));
    k = std::clamp(k, kMinClasses, kMaxClasses);
  }
  k = std::min(k, kMostClasses);
  if (!(hi > lo)) {  // one value: one class of width 1 about it
    h.first = lo - 0.5;
    h.width = 1.0;
    h.counts.assign(1, static_cast<double>(h.n));
    return h;
  }
  h.first = lo;
  h.width = (hi - lo) / k;
  h.counts.assign(static_cast<std::size_t>(k), 0.0);
  for (double v : x) {
    if (!present(v)) continue;
    // Classes are closed below; the largest value goes into the last class.
    const auto c =
        static_cast<std::size_t>(std::clamp(static_cast<long long>(std::floor((v - lo) / h.width)),
                                            0LL, static_cast<long long>(k - 1)));
    h.counts[c] += 1.0;
  }
  return h;
}

bool vchart_histogram_graph(const ChartResults& r, const VchartView& v, GraphBuilder& g) {
  (void)r;
  g.reset(1, ZTG_KIND_HISTOGRAM);
  g.title(text(Str::kVcHistTitle));
  if (v.error_state != 0) {
    error_graph(v, g, error_message_of(v.error_state));
    return true;
  }
  ChartTraits t;
  chart_traits(v.code, &t);
  const ChartOptions o = v.options != nullptr ? *v.options : default_chart_options();
  const bool entered = o.statistics_entered() && t.family == ChartFamily::subgrouped;
  const HistogramClasses h = histogram_classes(v.observations, v.pane_option[0]);
  if (entered || h.n == 0) {
    error_graph(v, g, static_cast<int32_t>(Str::kVcNoRawData));
    return true;
  }
  g.subtitle(chart_title(v.code) + (v.data_name.empty() ? "" : " - " + v.data_name));

  // Mean and standard deviation (n - 1) of the observations, by two passes.
  double sum = 0;
  for (double x : v.observations)
    if (present(x)) sum += x;
  const double mean = sum / static_cast<double>(h.n);
  double ss = 0;
  for (double x : v.observations)
    if (present(x)) ss += (x - mean) * (x - mean);
  const double sd = h.n > 1 ? std::sqrt(ss / static_cast<double>(h.n - 1)) : 0.0;

  const double last = h.first + h.width * static_cast<double>(h.counts.size());
  double lo = h.first, hi = last, top = 0;
  for (double c : h.counts) top = std::max(top, c);
  const int bar = g.attribute(Tag::bar);
  for (std::size_t c = 0; c < h.counts.size(); ++c) {
    const double x0 = h.first + h.width * static_cast<double>(c);
    g.bar(x0, 0, x0 + h.width, h.counts[c], bar);
  }
  if (sd > 0) {
    // The density times n x class width, over mean +- 4 sd.
    const double scale = static_cast<double>(h.n) * h.width / (sd * std::sqrt(2 * kPi));
    std::vector<double> xs, ys;
    for (int i = 0; i < kCurvePoints; ++i) {
      const double x = mean - 4 * sd + 8 * sd * i / (kCurvePoints - 1);
      const double z = (x - mean) / sd;
      xs.push_back(x);
      ys.push_back(scale * std::exp(-0.5 * z * z));
    }
    lo = std::min(lo, xs.front());
    hi = std::max(hi, xs.back());
    top = std::max(top, scale);
    const int curve = g.attribute(Tag::fit_curve);
    g.polyline(xs, ys, curve);
    g.legend(text(Str::kVcNormalCurve), curve);
  }
  const struct {
    double value;
    Str name;
  } kLines[] = {
      {o.usl(), Str::kVcUslShort}, {o.target(), Str::kVcTargetShort}, {o.lsl(), Str::kVcLslShort}};
  const int tolerance = g.attribute(Tag::spec_limit);
  const LabelFormat format({o.usl(), o.target(), o.lsl()}, v.digits);  // as the chart labels
  for (const auto& line : kLines) {
    if (!present(line.value)) continue;
    g.vline(line.value, text(line.name) + " = " + format(line.value), tolerance);
    lo = std::min(lo, line.value);
    hi = std::max(hi, line.value);
  }
  const double margin = 0.04 * (hi - lo);
  g.axis_x(lo - margin, hi + margin, 0, v.data_name);
  g.axis_y(0, 1.1 * top, 0, text(Str::kAxisFrequency));
  return true;
}

}  // namespace ztq
