// A small JSON writer for the module's own exports: numbers in their shortest
// round-trip form, the missing value (and anything not finite) as null.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace ztq {

std::string json_quote(const std::string& s);
std::string json_number(double v);
std::string json_numbers(std::span<const double> v);
std::string json_strings(const std::vector<std::string>& v);

class JsonObject {
 public:
  void add_raw(const std::string& key, const std::string& json);
  void add_string(const std::string& key, const std::string& value) {
    add_raw(key, json_quote(value));
  }
  void add_number(const std::string& key, double v) { add_raw(key, json_number(v)); }
  void add_numbers(const std::string& key, std::span<const double> v) {
    add_raw(key, json_numbers(v));
  }
  // The members without braces, and the whole object.
  const std::string& members() const { return body_; }
  std::string str() const { return "{" + body_ + "}"; }

 private:
  std::string body_;
};

}  // namespace ztq
