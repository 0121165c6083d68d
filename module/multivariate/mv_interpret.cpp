#include "multivariate/mv_interpret.h"

#include <algorithm>

#include "bridge/strings.h"
#include "format/numfmt.h"
#include "multivariate/mv_strings.h"
#include "stats/distributions.h"
#include "stats/guarded.h"
#include "ztqualty.h"

namespace ztq {

namespace {

constexpr int kSignalsNamed = 5;  // signals whose largest contribution is named

// The sentence text with each "%s" replaced by the next value in turn.
std::string fill(int32_t number, const std::vector<std::string>& values) {
  std::string s = text(static_cast<Str>(number));
  size_t at = 0;
  for (const std::string& v : values) {
    at = s.find("%s", at);
    if (at == std::string::npos) break;
    s.replace(at, 2, v);
    at += v.size();
  }
  return s;
}

std::string num(double v, int digits) {
  const std::string s = format_sig(v, 24, digits);
  const size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b);
}

std::string count(int64_t v) { return std::to_string(v); }

std::string trimmed(const std::string& s) {
  const size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

Interpretation from_record(const void* record, int pane) {
  if (pane != 1 && pane != 8) return {};
  const auto* r = static_cast<const AnalysisRecord*>(record);
  MvView v;
  v.state = static_cast<const MvState*>(r->results);
  v.error_state = r->error_state;
  v.alpha_percent = r->doption[0];
  v.known_n = r->option[33];
  return mv_interpretation(v);
}

struct Register {
  Register() { register_interpreter(static_cast<int32_t>(mvs::kTitle), &from_record); }
};
const Register kRegister;

}  // namespace

// The upper tail of the binomial law through the incomplete beta:
// P(X >= k) = I_a(k, n - k + 1) (Abramowitz and Stegun 1964, 26.5.24).
double binomial_tail(int32_t k, int32_t n, double a) {
  if (k <= 0) return 1.0;
  if (k > n) return 0.0;
  return ibeta(a, k, static_cast<double>(n) - k + 1.0);
}

Interpretation mv_interpretation(const MvView& v) {
  Interpretation out;
  if (!v.fine()) return out;
  const MvState& s = *v.state;
  const MvResults& r = s.results;
  const double a = v.alpha_percent / 100.0;
  auto say = [&](int32_t number, const std::vector<std::string>& values = {}) {
    out.add(number, fill(number, values));
    out.separator(" ");
  };
  out.separator("\r\n");
  say(6022, {count(r.p)});
  say(6023, {count(r.n), count(r.points)});
  if (r.excluded_count > 0) say(6024, {count(r.excluded_count)});
  const auto incomplete = std::count(r.complete.begin(), r.complete.end(), uint8_t{0});
  if (incomplete > 0) say(6025, {count(incomplete)});
  say(r.means_given ? 6026 : 6027);
  if (!r.covariance_given)
    say(6030);
  else if (v.known_n == 0)
    say(6028);
  else
    say(6029, {count(v.known_n)});
  out.separator("\r\n");
  say(6031, {num(r.ucl, 6), num(a, 4)});
  if (r.beyond_count == 0)
    say(6032);
  else
    say(6033, {count(r.beyond_count)});
  say(6034, {num(r.n * a, 3)});
  const double p_value = binomial_tail(r.beyond_count, r.n, a);
  say(6035, {num(p_value, 3)});
  say(p_value < 0.05 ? 6036 : 6037);
  if (r.beyond_count > 0) {
    out.separator("\r\n");
    const size_t named = std::min<size_t>(r.signal_points.size(), kSignalsNamed);
    for (size_t k = 0; k < named; ++k) {
      const int32_t i = r.signal_points[k];
      const auto c = r.contributions_of(i);
      size_t best = 0;
      for (size_t j = 1; j < c.size(); ++j)
        if (!is_missing(c[j]) && (is_missing(c[best]) || c[j] > c[best])) best = j;
      say(6038, {trimmed(s.labels[static_cast<size_t>(i)]), s.names[best]});
    }
    say(6039);
    if (!r.means_given || !r.covariance_given) say(6040);
  }
  return out;
}

}  // namespace ztq
