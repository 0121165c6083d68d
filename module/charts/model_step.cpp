// The model charts in the engine (codes 16 and 17): gap filling, the fit and
// code 17's sigma from the moving ranges of the residuals. The model itself
// is in arima.cpp.
#include <cmath>
#include <cstddef>
#include <utility>

#include "charts/arima.h"
#include "charts/factors.h"
#include "charts/gap_fill.h"
#include "charts/kind_step.h"

namespace ztq {

int prepare_model(const ChartTraits& t, const ChartOptions& o, const std::vector<Phase>& phases,
                  ChartPoints* p, ModelResult* model) {
  if (t.kind != ChartKind::model) return 0;
  const bool individuals = t.family == ChartFamily::individuals;
  if (individuals) {
    if (const int e = fill_gaps(&p->stat.values()); e != 0) return e;
  }
  std::vector<double> y(p->stat.begin(),
                        p->stat.end());  // the usable points: excluded ones read as missing
  for (std::size_t i = 0; i < y.size(); ++i) {
    if (p->excluded[i] || is_missing(std::as_const(p->size)[i])) y[i] = kMissing;
  }
  const ModelOrders orders{o.ar_order(), o.ma_order(), o.model_constant(), o.differences()};
  if (const int e = fit_model(y, orders, model); e != 0) return e;
  if (individuals) p->dispersion = moving_ranges(model->residuals, p->excluded, phases);
  return 0;
}

// Moving-range basis on the residuals: MR-bar = mean of the moving ranges
// present in the phase, sigma = MR-bar / d2(2).
void model_estimates(const ChartPoints& p, Phase ph, ChartEstimates* e) {
  double sum = 0.0;
  long long count = 0;
  for (std::size_t i = ph.first; i < ph.end && i < p.dispersion.size(); ++i) {
    if (p.excluded[i] || is_missing(p.dispersion[i])) continue;
    sum += p.dispersion[i];
    ++count;
  }
  e->dispersion = count > 0 ? sum / static_cast<double>(count) : kMissing;
  e->sigma = count > 0 ? e->dispersion / factor(Factor::d2, 2.0) : kMissing;
  if (!std::isfinite(e->sigma)) e->dispersion = e->sigma = kMissing;
}

}  // namespace ztq
