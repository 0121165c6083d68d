// The model graphs of codes 16 and 17: M1 the residuals of the fitted model
// against the point, with lines at 0 and +-3 residual standard deviations;
// M2 the autocorrelations of the residuals with the bounds +-2 / sqrt(n).
#include <algorithm>
#include <cmath>
#include <vector>

#include "bridge/strings.h"
#include "charts/vchart_chart_parts.h"
#include "charts/vchart_panes.h"
#include "format/numfmt.h"

namespace ztq {

using namespace vchart_detail;

namespace {

constexpr int kMaxLags = 100;

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

}  // namespace

// Box, Jenkins and Reinsel, Time Series Analysis, 4th ed., 2.1.5: the sample
// autocorrelation r_k = sum (e_t - e-bar)(e_(t+k) - e-bar) / sum (e_t - e-bar)^2.
std::vector<double> autocorrelations(const std::vector<double>& e, int lags) {
  std::vector<double> x;
  for (double v : e)
    if (present(v)) x.push_back(v);
  std::vector<double> r;
  if (x.size() < 2 || lags < 1) return r;
  double mean = 0;
  for (double v : x) mean += v;
  mean /= static_cast<double>(x.size());
  double c0 = 0;
  for (double v : x) c0 += (v - mean) * (v - mean);
  const auto most = static_cast<std::size_t>(std::min(lags, kMaxLags));
  for (std::size_t k = 1; k <= most && k < x.size(); ++k) {
    double ck = 0;
    for (std::size_t t = 0; t + k < x.size(); ++t) ck += (x[t] - mean) * (x[t + k] - mean);
    r.push_back(c0 > 0 ? ck / c0 : kMissing);
  }
  return r;
}

bool vchart_model_graph(const ChartResults& r, const VchartView& v, bool first, GraphBuilder& g) {
  if (v.code != 16 && v.code != 17) return false;
  g.reset(1, ZTG_KIND_GENERIC);
  g.title(text(first ? Str::kVcResidualTitle : Str::kVcAcfTitle));
  if (v.error_state != 0) {
    error_graph(v, g, error_message_of(v.error_state));
    return true;
  }
  g.subtitle(chart_title(v.code) + (v.data_name.empty() ? "" : " - " + v.data_name));
  const std::vector<double>& e = r.model.residuals;
  const int centre = g.attribute(Tag::centre_line), limit = g.attribute(Tag::limit_line);
  if (first) {
    const std::size_t n = e.size();
    std::vector<double> xs(n), outside(n, kMissing);
    const double sd = r.model.residual_sd;
    for (std::size_t i = 0; i < n; ++i) {
      xs[i] = static_cast<double>(i + 1);
      if (present(sd) && present(e[i]) && std::fabs(e[i]) > 3 * sd) outside[i] = e[i];
    }
    g.axis_x(0.5, static_cast<double>(n) + 0.5, 0, text(Str::kVcAxisPoint));
    g.axis_y(0, 0, 0, text(Str::kVcAxisResidual));
    g.hline(0.0, text(Str::kVcClLabel) + " = 0", centre);
    if (present(sd) && sd > 0) {
      const LabelFormat f({3 * sd}, v.digits);  // the chart labels' rule
      g.hline(3 * sd, text(Str::kVcUclLabel) + " = " + f(3 * sd), limit);
      g.hline(-3 * sd, text(Str::kVcLclLabel) + " = " + f(-3 * sd), limit);
    }
    const int data = g.attribute(Tag::data);
    g.polyline(xs, e, data);
    g.points(xs, e, data);
    g.points(xs, outside, g.attribute(Tag::out_of_control));
    return true;
  }
  long long n = 0;
  for (double x : e) n += present(x) ? 1 : 0;
  const int asked = v.pane_option[0];
  const int lags =
      asked > 0 ? asked : static_cast<int>(std::clamp(n / 4, 1LL, 20LL));  // n/4, at most 20
  const std::vector<double> acf = autocorrelations(e, lags);
  g.axis_x(0.5, static_cast<double>(std::max<std::size_t>(acf.size(), 1)) + 0.5, 0,
           text(Str::kVcAxisLag));
  g.axis_y(-1, 1, 0, text(Str::kVcAxisAcf));
  g.hline(0.0, {}, centre);
  if (n > 0) {
    const double bound = 2.0 / std::sqrt(static_cast<double>(n));
    const LabelFormat f({bound}, v.digits);
    g.hline(bound, text(Str::kVcAcfBound) + " = " + f(bound), limit);
    g.hline(-bound, "-" + text(Str::kVcAcfBound) + " = " + f(-bound), limit);
  }
  const int bar = g.attribute(Tag::bar);
  for (std::size_t k = 0; k < acf.size(); ++k) {
    if (!present(acf[k])) continue;
    const double x = static_cast<double>(k + 1);
    g.bar(x - 0.3, std::min(0.0, acf[k]), x + 0.3, std::max(0.0, acf[k]), bar);
  }
  return true;
}

}  // namespace ztq
