// The distribution calculator's line evaluator: splits "NAME ARG...", looks the
// name up in a fixed table, converts the arguments and calls the routine.
#include "stats/dist_command.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "stats/distributions.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

constexpr int kMaxArgs = 6;
using Args = std::array<double, kMaxArgs>;

struct Command {
  std::string_view name;
  int argc;
  double (*run)(const Args&);
};

// The coded routines take CODE P0 P1 P2 P3 x.
template <double (*F)(int, const double*, double)>
double coded(const Args& a) {
  const double params[4] = {a[1], a[2], a[3], a[4]};
  // a code beyond int range is simply no code of the family
  const int code = std::fabs(a[0]) < 1e6 ? static_cast<int>(a[0]) : -1;
  return F(code, params, a[5]);
}

const Command kCommands[] = {
    {"norm-cdf", 1, [](const Args& a) { return norm_cdf(a[0]); }},
    {"norm-cdf-of", 3, [](const Args& a) { return norm_cdf_of(a[0], a[1], a[2]); }},
    {"norm-quantile", 1, [](const Args& a) { return norm_quantile(a[0]); }},
    {"norm-quantile-of", 3, [](const Args& a) { return norm_quantile_of(a[0], a[1], a[2]); }},
    {"t-cdf", 2, [](const Args& a) { return t_cdf(a[0], a[1]); }},
    {"t-quantile", 2, [](const Args& a) { return t_quantile(a[0], a[1]); }},
    {"chisq-cdf", 2, [](const Args& a) { return chisq_cdf(a[0], a[1]); }},
    {"chisq-quantile", 2, [](const Args& a) { return chisq_quantile(a[0], a[1]); }},
    {"f-density", 3, [](const Args& a) { return f_density(a[0], a[1], a[2]); }},
    {"f-cdf", 3, [](const Args& a) { return f_cdf(a[0], a[1], a[2]); }},
    {"f-quantile", 3, [](const Args& a) { return f_quantile(a[0], a[1], a[2]); }},
    {"ibeta", 3, [](const Args& a) { return ibeta(a[0], a[1], a[2]); }},
    {"ibeta-inv", 3, [](const Args& a) { return ibeta_inv(a[0], a[1], a[2]); }},
    {"gamma", 1, [](const Args& a) { return gamma_fn(a[0]); }},
    {"lgamma", 1, [](const Args& a) { return log_gamma(a[0]); }},
    {"lgamma2", 1, [](const Args& a) { return log_gamma2(a[0]); }},
    {"coded-density", 6, coded<coded_density>},
    {"coded-cdf", 6, coded<coded_cdf>},
    {"coded-quantile", 6, coded<coded_quantile>},
    {"density-integral", 6, coded<density_integral>},
    {"div", 2, [](const Args& a) { return g_div(a[0], a[1]); }},
    {"pow", 2, [](const Args& a) { return g_pow(a[0], a[1]); }},
    {"sqrt", 1, [](const Args& a) { return g_sqrt(a[0]); }},
    {"exp", 1, [](const Args& a) { return g_exp(a[0]); }},
    {"ln", 1, [](const Args& a) { return g_ln(a[0]); }},
    {"log10", 1, [](const Args& a) { return g_log10(a[0]); }},
};

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The next whitespace-delimited token of line from pos, empty at the end.
std::string_view next_token(std::string_view line, size_t& pos) {
  while (pos < line.size() && is_space(line[pos])) ++pos;
  const size_t start = pos;
  while (pos < line.size() && !is_space(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

// A whole token as a finite double; from_chars takes no leading '+', so allow
// one here. "nan", "inf" and overflowing texts are malformed arguments.
bool parse_number(std::string_view token, double& value) {
  if (!token.empty() && token.front() == '+') token.remove_prefix(1);
  if (token.empty()) return false;
  const char* end = token.data() + token.size();
  const auto [ptr, ec] = std::from_chars(token.data(), end, value);
  return ec == std::errc() && ptr == end && std::isfinite(value);
}

DistStatus fail(std::string& out) {
  out = "error";
  return DistStatus::error;
}

}  // namespace

DistStatus run_dist_line(std::string_view line, std::string& out) {
  size_t pos = 0;
  const std::string_view name = next_token(line, pos);
  const Command* command = nullptr;
  for (const Command& c : kCommands) {
    if (c.name == name) command = &c;
  }
  if (command == nullptr) return fail(out);

  Args args{};
  int argc = 0;
  for (std::string_view token = next_token(line, pos); !token.empty();
       token = next_token(line, pos)) {
    if (argc == command->argc || !parse_number(token, args[argc])) return fail(out);
    ++argc;
  }
  if (argc != command->argc) return fail(out);
  const bool coded_family = command->argc == 6;
  if (coded_family && std::trunc(args[0]) != args[0]) return fail(out);  // CODE is whole

  double result;
  try {
    result = command->run(args);
  } catch (const DomainAbort&) {
    out = "abort";
    return DistStatus::abort;
  }
  if (!std::isfinite(result)) {  // overflow or an undefined result: never printed as a number
    out = "abort";
    return DistStatus::abort;
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", result);
  out = buffer;
  return DistStatus::ok;
}

}  // namespace ztq
