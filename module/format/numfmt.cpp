// Number formats. Rounding works on the exact decimal expansion of the double
// (C printf prints it exactly), so half-up rounding is decided by the value the
// user actually has, not by a second binary rounding.
#include "format/numfmt.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "stats/guarded.h"

namespace ztq {

namespace {

// v = (neg ? -1 : 1) x 0.d1 d2 ... dn x 10^exp, with digits trimmed of trailing zeros.
struct Decimal {
  bool neg = false;
  std::string digits;  // at least one digit; "0" for zero
  int exp = 0;
};

// Rounds |v| to n significant digits, half up, from its exact decimal expansion.
Decimal round_significant(double v, int n) {
  Decimal d;
  d.neg = std::signbit(v) && v != 0.0;
  const double a = std::fabs(v);
  if (a == 0.0) {
    d.digits = "0";
    d.exp = 1;
    return d;
  }
  char buf[96];
  std::snprintf(buf, sizeof buf, "%.45e", a);  // d.ddd...e+XX, exact to 46 digits
  std::string mant;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') mant.push_back(*p);
  const int e10 = *p == 'e' ? std::atoi(p + 1) : 0;
  d.exp = e10 + 1;
  std::string kept = mant.substr(0, static_cast<size_t>(n));
  if (mant[static_cast<size_t>(n)] >= '5') {  // half up
    int i = n - 1;
    while (i >= 0 && kept[static_cast<size_t>(i)] == '9') kept[static_cast<size_t>(i--)] = '0';
    if (i >= 0) {
      ++kept[static_cast<size_t>(i)];
    } else {
      kept.insert(kept.begin(), '1');  // 999.. carried into a new leading digit
      kept.pop_back();
      ++d.exp;
    }
  }
  while (kept.size() > 1 && kept.back() == '0') kept.pop_back();
  d.digits = kept;
  return d;
}

std::string zero_text(const Regional& r) {
  std::string s;
  if (r.lzero) s.push_back('0');
  s.push_back(r.decimal);
  s.push_back('0');
  return s;
}

// The common body of the significant formats. lowest_positional is the
// smallest exponent still written positionally; always_separator selects the
// six-digit variant's "123.0".
std::string significant(double v, int w, int n, int lowest_positional, bool always_separator,
                        const Regional& r) {
  std::string out;
  if (w <= 0) return out;
  if (is_missing(v) || !std::isfinite(v)) return out;
  n = n < 1 ? 1 : (n > 17 ? 17 : n);
  if (v == 0.0) {
    out = zero_text(r);
  } else {
    const Decimal d = round_significant(v, n);
    if (d.neg) out.push_back('-');
    const int nd = static_cast<int>(d.digits.size());
    if (d.exp >= lowest_positional && d.exp <= 0) {
      if (r.lzero) out.push_back('0');
      out.push_back(r.decimal);
      out.append(static_cast<size_t>(-d.exp), '0');
      out += d.digits;
    } else if (d.exp < lowest_positional || d.exp > n) {
      out.push_back(d.digits[0]);
      out.push_back(r.decimal);
      out.append(d.digits, 1);
      char e[16];
      std::snprintf(e, sizeof e, "E%d", d.exp - 1);
      out += e;
    } else {
      // 1 <= exp <= n: the integer digits of the full n-digit string, then the
      // remaining significant digits after the separator.
      std::string full = d.digits;
      full.resize(static_cast<size_t>(n), '0');
      out.append(full, 0, static_cast<size_t>(d.exp));
      if (nd > d.exp) {
        out.push_back(r.decimal);
        out.append(d.digits, static_cast<size_t>(d.exp));
      } else if (always_separator) {
        out.push_back(r.decimal);
        out.push_back('0');
      }
    }
  }
  if (static_cast<int>(out.size()) > w) out.clear();
  return out;
}

}  // namespace

std::string format_sig(double v, int w, int n, const Regional& r) {
  if (!is_missing(v) && std::fabs(v) <= 1e-12) v = 0.0;  // tiny values read as zero
  const int nn = n < 1 ? 1 : (n > 17 ? 17 : n);
  return significant(v, w, nn, -(nn - 1), false, r);
}

std::string format_six(double v, int w, const Regional& r) {
  return significant(v, w, 6, -5, true, r);
}

std::string format_six_right(double v, int w, const Regional& r) {
  std::string s = format_six(v, w, r);
  if (static_cast<int>(s.size()) < w) s.insert(0, static_cast<size_t>(w) - s.size(), ' ');
  return s;
}

std::string format_six_left(double v, int w, const Regional& r) {
  std::string s = format_six(v, w, r);
  if (static_cast<int>(s.size()) < w) s.append(static_cast<size_t>(w) - s.size(), ' ');
  return s;
}

std::string format_fixed(double v, int w, int d, const Regional& r) {
  if (w <= 0) return {};
  const auto width = static_cast<size_t>(w);
  if (d < 0) d = 0;
  if (is_missing(v) || !std::isfinite(v)) return std::string(width, ' ');  // shown as missing
  const std::string stars(width, '*');
  if (v >= std::pow(10.0, w - d - 1) || v <= -std::pow(10.0, w - d - 2)) return stars;
  if (std::fabs(v) <= 1e-12) v = 0.0;
  // Scale and round half up on the magnitude, so -12.345 and 12.345 mirror.
  double scaled = std::fabs(v) * std::pow(10.0, d);
  if (scaled != std::floor(scaled)) scaled = std::floor(scaled + 0.5);
  if (scaled >= 9e15) return stars;
  std::string digits = std::to_string(static_cast<long long>(scaled));
  std::string int_part;
  std::string frac;
  const auto dd = static_cast<size_t>(d);
  if (digits.size() <= dd) {
    frac = std::string(dd - digits.size(), '0') + digits;
  } else {
    int_part = digits.substr(0, digits.size() - dd);
    frac = digits.substr(digits.size() - dd);
  }
  if (int_part.empty() && (r.lzero || d == 0)) int_part = "0";
  std::string body;
  if (v < 0 && scaled != 0.0) body.push_back('-');
  body += int_part;
  if (d > 0) {
    body.push_back(r.decimal);
    body += frac;
  }
  // One position is always kept for the sign, so a positive value may use w - 1.
  const size_t needed = int_part.size() + (d > 0 ? dd + 1 : 0) + 1;
  if (needed > width) return stars;
  return std::string(width - body.size(), ' ') + body;
}

}  // namespace ztq
