#include "bridge/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "stats/guarded.h"

namespace ztq {

std::string json_quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
          out += buf;
        } else {
          out.push_back(c);  // bytes above 0x7f pass through as UTF-8
        }
    }
  }
  return out + "\"";
}

namespace {

// Whole numbers below 2^53 as integers ("1000000", not "1e+06"); any other
// value in the shortest text that reads back as the same double.
char* write_number(char* buf, char* end, double v) {
  if (v == std::floor(v) && std::fabs(v) < 9007199254740992.0)
    return std::to_chars(buf, end, static_cast<long long>(v)).ptr;
  return std::to_chars(buf, end, v).ptr;
}

}  // namespace

std::string json_number(double v) {
  if (is_missing(v) || !std::isfinite(v)) return "null";
  char buf[32];
  return std::string(buf, write_number(buf, buf + sizeof buf, v));
}

std::string json_numbers(std::span<const double> v) {
  std::string out = "[";
  out.reserve(v.size() * 12 + 2);
  char buf[32];
  for (size_t i = 0; i < v.size(); ++i) {
    if (i) out.push_back(',');
    if (is_missing(v[i]) || !std::isfinite(v[i])) {
      out += "null";
    } else {
      out.append(buf, write_number(buf, buf + sizeof buf, v[i]));
    }
  }
  out.push_back(']');
  return out;
}

std::string json_strings(const std::vector<std::string>& v) {
  std::string out = "[";
  for (size_t i = 0; i < v.size(); ++i) {
    if (i) out.push_back(',');
    out += json_quote(v[i]);
  }
  return out + "]";
}

void JsonObject::add_raw(const std::string& key, const std::string& json) {
  if (!body_.empty()) body_.push_back(',');
  body_ += json_quote(key) + ":" + json;
}

}  // namespace ztq
