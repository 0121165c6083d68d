// ARIMA(p, d, q) by conditional least squares (Box, Jenkins and Reinsel, Time
// Series Analysis, 4th ed., 7.1.2 and 7.2): w is y differenced d times;
// w_t = c + sum phi_i w_(t-i) + e_t + sum theta_j e_(t-j), with the residuals
// before the first usable point (and at gaps) taken as 0. Gauss-Newton steps
// (ibid. 7.2.4) with the derivatives of e_t by their own recursions, normal
// equations solved by the sweep operator (Goodnight 1979); a step that does
// not lower the sum of squares is halved up to 10 times.
#include "charts/arima.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "charts/chart_messages.h"
#include "charts/sweep.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr int kHalvings = 10;
constexpr double kSettled = 1e-10;  // relative change in the sum of squares that ends the fit

bool present(double v) { return !is_missing(v) && std::isfinite(v); }

// One pass over the series at the coefficients BETA: residuals, one-step
// predictions, the sum of squares and (with NORMAL) J'J and J'e.
struct Pass {
  std::vector<double> e;     // 0 where no residual is formed
  std::vector<double> pred;  // one-step prediction of w_t, missing when it cannot be formed
  double ss = 0.0;
  long long count = 0;
  std::vector<double> jtj;  // k x k
  std::vector<double> jte;  // k
};

class Fitter {
 public:
  Fitter(const std::vector<double>& w, const ModelOrders& s)
      : w_(w), s_(s), k_((s.constant ? 1 : 0) + s.p + s.q) {}

  int coefficients() const { return k_; }

  // Usable residuals: w_t and its p lags present.
  long long usable() const {
    long long n = 0;
    for (std::size_t t = 0; t < w_.size(); ++t) n += lags_present(t) && present(w_[t]);
    return n;
  }

  // Fills OUT, reusing the buffers of an earlier pass.
  void run(const std::vector<double>& beta, bool normal, Pass* out) const {
    const std::size_t n = w_.size(), k = static_cast<std::size_t>(k_);
    const std::size_t ring = static_cast<std::size_t>(s_.q) + 1;
    Pass& r = *out;
    r.ss = 0.0;
    r.count = 0;
    r.e.assign(n, 0.0);
    r.pred.assign(n, kMissing);
    r.jtj.assign(normal ? k * k : 0, 0.0);
    r.jte.assign(normal ? k : 0, 0.0);
    std::vector<double> g(normal ? ring * k : 0, 0.0);  // derivatives of the last q + 1 residuals
    const std::size_t ar0 = s_.constant ? 1 : 0, ma0 = ar0 + static_cast<std::size_t>(s_.p);
    const double c = s_.constant ? beta[0] : 0.0;
    for (std::size_t t = 0; t < n; ++t) {
      double* gt = normal ? &g[(t % ring) * k] : nullptr;
      if (normal)
        for (std::size_t i = 0; i < k; ++i) gt[i] = 0.0;
      if (!lags_present(t)) continue;
      double pred = c;
      for (int i = 1; i <= s_.p; ++i) pred += beta[ar0 + i - 1] * w_[t - i];
      for (int j = 1; j <= s_.q && static_cast<std::size_t>(j) <= t; ++j) {
        pred += beta[ma0 + j - 1] * r.e[t - j];
      }
      if (!std::isfinite(pred)) {
        r.ss = HUGE_VAL;  // an explosive moving-average part
        return;
      }
      r.pred[t] = pred;
      if (!present(w_[t])) continue;
      const double e = w_[t] - pred;
      r.e[t] = e;
      r.ss += e * e;
      ++r.count;
      if (!normal) continue;
      // d e_t / d beta = -(regressor) - sum theta_j d e_(t-j) / d beta
      if (s_.constant) gt[0] = -1.0;
      for (int i = 1; i <= s_.p; ++i) gt[ar0 + i - 1] = -w_[t - i];
      for (int j = 1; j <= s_.q && static_cast<std::size_t>(j) <= t; ++j) {
        gt[ma0 + j - 1] = -r.e[t - j];
      }
      for (int j = 1; j <= s_.q && static_cast<std::size_t>(j) <= t; ++j) {
        const double theta = beta[ma0 + j - 1];
        const double* gp = &g[((t - j) % ring) * k];
        for (std::size_t i = 0; i < k; ++i) gt[i] -= theta * gp[i];
      }
      for (std::size_t i = 0; i < k; ++i) {
        r.jte[i] += gt[i] * e;
        for (std::size_t j = 0; j <= i; ++j) r.jtj[i * k + j] += gt[i] * gt[j];
      }
    }
    if (normal) {
      for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = 0; j < i; ++j) r.jtj[j * k + i] = r.jtj[i * k + j];
    }
  }

 private:
  // The prediction of w_t needs t past the positions that differencing
  // removed and its p lags present.
  bool lags_present(std::size_t t) const {
    if (t < static_cast<std::size_t>(s_.p) + static_cast<std::size_t>(s_.d)) return false;
    for (int i = 1; i <= s_.p; ++i) {
      if (!present(w_[t - i])) return false;
    }
    return true;
  }

  const std::vector<double>& w_;
  ModelOrders s_;
  int k_;
};

// Gauss-Newton step: solves J'J delta = -J'e by the sweep; refused pivots keep
// their coefficient.
std::vector<double> newton_step(const Pass& p, int k, int* refused) {
  const int n = k + 1;
  const std::size_t un = static_cast<std::size_t>(n), uk = static_cast<std::size_t>(k);
  std::vector<double> a(un * un, 0.0);
  for (std::size_t i = 0; i < uk; ++i) {
    for (std::size_t j = 0; j < uk; ++j) a[i * un + j] = p.jtj[i * uk + j];
    a[i * un + uk] = a[uk * un + i] = -p.jte[i];
  }
  a[uk * un + uk] = p.ss;
  std::vector<char> swept;
  *refused = sweep(&a, n, k, &swept);
  std::vector<double> delta(uk, 0.0);
  for (std::size_t i = 0; i < uk; ++i) {
    if (swept[i] && std::isfinite(a[i * un + uk])) delta[i] = a[i * un + uk];
  }
  return delta;
}

std::vector<double> standard_errors(const Pass& p, int k, double sd) {
  const std::size_t uk = static_cast<std::size_t>(k);
  std::vector<double> a = p.jtj, se(uk, kMissing);
  std::vector<char> swept;
  sweep(&a, k, k, &swept);
  for (std::size_t i = 0; i < uk; ++i) {
    const double v = a[i * uk + i];
    if (swept[i] && present(sd) && v >= 0.0 && std::isfinite(v)) se[i] = sd * std::sqrt(v);
  }
  return se;
}

}  // namespace

std::vector<std::vector<double>> difference_levels(const std::vector<double>& y, int d) {
  std::vector<std::vector<double>> levels(1, y);
  for (double& v : levels[0]) {
    if (!std::isfinite(v)) v = kMissing;
  }
  for (int j = 1; j <= d; ++j) {
    const std::vector<double>& prev = levels.back();
    std::vector<double> next(prev.size(), kMissing);
    for (std::size_t t = 1; t < prev.size(); ++t) {
      if (!present(prev[t]) || !present(prev[t - 1])) continue;
      const double v = prev[t] - prev[t - 1];
      next[t] = std::isfinite(v) ? v : kMissing;  // a series that explodes loses the value
    }
    levels.push_back(std::move(next));
  }
  return levels;
}

std::vector<double> integrate_once(const std::vector<double>& f, const std::vector<double>& lower) {
  std::vector<double> out(f.size(), kMissing);
  std::size_t first = 0;
  while (first < f.size() && !present(f[first])) ++first;
  if (first >= f.size()) return out;
  double before = kMissing;  // the value put back: LOWER just before the first fitted value
  for (std::size_t t = first; t-- > 0;) {
    if (present(lower[t])) {
      before = lower[t];
      out[first - 1] = before;  // put back at the position just before
      break;
    }
  }
  if (is_missing(before)) return out;  // nothing to integrate from
  for (std::size_t t = first; t < f.size(); ++t) {
    if (!present(f[t])) continue;  // missing stays missing; the next value bridges it
    const double v = f[t] + before;
    if (!std::isfinite(v)) continue;
    out[t] = before = v;
  }
  return out;
}

int fit_model(const std::vector<double>& y, const ModelOrders& orders, ModelResult* out) {
  *out = ModelResult{};
  out->ar_order = orders.p;
  out->ma_order = orders.q;
  out->differences = orders.d;
  out->constant = orders.constant;
  if (orders.p < 0 || orders.p > kMaxModelOrder || orders.q < 0 || orders.q > kMaxModelOrder ||
      orders.d < 0 || orders.d > kMaxDifferences) {
    return kMsgModelOrders;
  }
  const std::vector<std::vector<double>> levels = difference_levels(y, orders.d);
  const std::vector<double>& w = levels.back();
  Fitter fit(w, orders);
  const int k = fit.coefficients();
  const long long usable = fit.usable();
  if (usable <= k || usable < 2) return kMsgModelTooShort;

  std::vector<double> beta(static_cast<std::size_t>(k), 0.0);
  if (orders.constant) {  // start at the mean of w: the white-noise fit
    double sum = 0.0;
    long long n = 0;
    for (double v : w) {
      if (present(v)) sum += v, ++n;
    }
    beta[0] = n > 0 ? sum / static_cast<double>(n) : 0.0;
  }
  Pass current, next;
  fit.run(beta, true, &current);
  if (!std::isfinite(current.ss)) return kMsgModelTooShort;
  for (int iter = 1; iter <= kMaxModelIterations && k > 0; ++iter) {
    int refused = 0;
    const std::vector<double> delta = newton_step(current, k, &refused);
    out->refused_pivots = refused;
    out->iterations = iter;
    bool moved = false;
    double step = 1.0;
    for (int h = 0; h <= kHalvings; ++h, step /= 2.0) {
      std::vector<double> trial = beta;
      for (std::size_t i = 0; i < trial.size(); ++i) trial[i] += step * delta[i];
      fit.run(trial, true, &next);
      if (!std::isfinite(next.ss) || next.ss > current.ss) continue;
      const double change = current.ss - next.ss;
      const bool settled = change <= kSettled * (current.ss > 0.0 ? current.ss : 1.0);
      beta = trial;
      std::swap(current, next);  // the old pass's buffers serve the next trial
      moved = !settled;
      break;
    }
    if (!moved) {  // no lower sum of squares along the step: a minimum
      out->converged = true;
      break;
    }
  }
  if (k == 0) out->converged = true;

  const long long df = current.count - k;
  out->coefficients = beta;
  out->residual_sd = df > 0 ? std::sqrt(current.ss / static_cast<double>(df)) : kMissing;
  if (!std::isfinite(out->residual_sd)) out->residual_sd = kMissing;
  out->standard_errors =
      k > 0 ? standard_errors(current, k, out->residual_sd) : std::vector<double>{};
  out->residuals.assign(w.size(), kMissing);
  for (std::size_t t = 0; t < w.size(); ++t) {
    if (present(current.pred[t]) && present(w[t])) out->residuals[t] = current.e[t];
  }
  std::vector<double> fitted = std::move(current.pred);
  for (int j = orders.d; j >= 1; --j) {
    fitted = integrate_once(fitted, levels[static_cast<std::size_t>(j - 1)]);
  }
  out->fitted = std::move(fitted);
  return 0;
}

}  // namespace ztq
