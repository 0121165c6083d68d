#include "app/analysis_file.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "host/files/atomic_file.h"

namespace qualty {

namespace {

using nlohmann::json;
constexpr const char* kFormat = "qualty-analysis";
constexpr int kVersion = 1;
constexpr int32_t kMaxPoints = 100'000'000;
constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

// A whole number of the int32 range. The library's own conversion of 1e300 or
// 2^40 to int is unchecked (undefined, or silently wrapped to another option
// value), so every integer field is read here.
int32_t whole(const json& v, const char* field) {
  if (!v.is_number_integer())
    throw std::runtime_error(std::string(field) + " holds something other than a whole number");
  const bool fits = v.is_number_unsigned()
                        ? v.get<uint64_t>() <= INT32_MAX
                        : v.get<int64_t>() >= INT32_MIN && v.get<int64_t>() <= INT32_MAX;
  if (!fits) throw std::runtime_error(std::string(field) + " holds a number out of range");
  return static_cast<int32_t>(v.get<int64_t>());
}

std::vector<int32_t> wholes(const json& v, const char* field) {
  if (!v.is_array()) throw std::runtime_error(std::string(field) + " is not a list");
  std::vector<int32_t> out;
  for (const json& x : v) out.push_back(whole(x, field));
  return out;
}

}  // namespace

bool write_analysis_file(const std::string& path, const std::string& procedure, int variant,
                         const AnalysisRecord& r, std::string& error) {
  json doc;
  doc["format"] = kFormat;
  doc["version"] = kVersion;
  doc["procedure"] = procedure;
  doc["variant"] = variant;
  doc["input_mode"] = r.input_mode;
  doc["title_number"] = r.title_number;
  json expressions = json::array();
  for (int32_t i = 0; i < r.variable_count && i < ZTQ_MAX_VARIABLES_PER_ANALYSIS; ++i)
    expressions.push_back(r.variables[i].expression);
  doc["expressions"] = expressions;
  doc["selection"] = r.selection.expression;
  doc["option"] = std::vector<int32_t>(r.option, r.option + ZTQ_INT_OPTIONS);
  json reals = json::array();
  for (double v : r.doption) reals.push_back(v == ZTQ_MISSING ? json() : json(v));
  doc["doption"] = reals;
  json panes = json::array();
  for (const auto& p : r.pane_option) panes.push_back(std::vector<int32_t>(p, p + 8));
  doc["pane_option"] = panes;
  std::vector<int32_t> excluded;
  for (int32_t i = 0; r.excluded != nullptr && i < r.point_count; ++i)
    if (r.excluded[i] != 0) excluded.push_back(i + 1);
  doc["excluded"] = excluded;
  return write_file_atomically(path, doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n",
                               error);
}

bool read_analysis_file(const std::string& path, AnalysisFile& f, std::string& error) {
  // An analysis file is small (a few kB, more only with many excluded points):
  // a huge file is a wrong name, not something to read into memory. Checked
  // before opening, since opening a FIFO would wait for a writer.
  std::error_code ec;
  const bool regular = std::filesystem::is_regular_file(path, ec);
  const auto size = regular ? std::filesystem::file_size(path, ec) : 0;
  if (!regular || ec || size > kMaxFileBytes) {
    error = "the analysis file " + path +
            (!regular || ec ? " is not a readable regular file" : " is too large (over 64 MB)");
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read the analysis file " + path;
    return false;
  }
  std::stringstream ss;
  ss << in.rdbuf();
  return parse_analysis_text(ss.str(), "the analysis file " + path, f, error);
}

bool parse_analysis_text(const std::string& text, const std::string& where, AnalysisFile& f,
                         std::string& error) {
  const json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) {
    error = where + " is not valid JSON (truncated or edited?)";
    return false;
  }
  try {
    if (doc.at("format").get<std::string>() != kFormat ||
        whole(doc.at("version"), "version") != kVersion)
      throw std::runtime_error("not an analysis file of this version");
    f.procedure = doc.at("procedure").get<std::string>();
    f.variant = whole(doc.at("variant"), "variant");
    f.input_mode = whole(doc.at("input_mode"), "input_mode");
    f.title_number = whole(doc.at("title_number"), "title_number");
    f.expressions = doc.at("expressions").get<std::vector<std::string>>();
    f.selection = doc.at("selection").get<std::string>();
    f.option = wholes(doc.at("option"), "option");
    f.doption.clear();
    for (const json& v : doc.at("doption"))
      f.doption.push_back(v.is_null() ? ZTQ_MISSING : v.get<double>());
    f.pane_option.clear();
    for (const json& p : doc.at("pane_option")) f.pane_option.push_back(wholes(p, "pane_option"));
    f.excluded = wholes(doc.at("excluded"), "excluded");
  } catch (const std::exception& e) {
    error = where + " is damaged: " + e.what();
    return false;
  }
  const bool sizes_ok = f.expressions.size() <= ZTQ_MAX_VARIABLES_PER_ANALYSIS &&
                        f.option.size() == ZTQ_INT_OPTIONS &&
                        f.doption.size() == ZTQ_REAL_OPTIONS && f.pane_option.size() == ZTQ_PANES;
  bool ok = sizes_ok && f.input_mode >= 0 && f.input_mode < 8;
  for (const auto& p : f.pane_option) ok = ok && p.size() == 8;
  for (const auto& e : f.expressions) ok = ok && e.size() < ZTQ_EXPRESSION_SIZE;
  ok = ok && f.selection.size() < ZTQ_EXPRESSION_SIZE;
  for (int32_t p : f.excluded) ok = ok && p >= 1 && p <= kMaxPoints;
  if (!ok) {
    error = where + " is damaged: a field is out of range";
    return false;
  }
  return true;
}

bool apply_analysis_file(const AnalysisFile& f, AnalysisRecord& r, std::string& error) {
  r.input_mode = f.input_mode;
  r.title_number = f.title_number;
  r.variant = f.variant;
  r.variable_count = static_cast<int32_t>(f.expressions.size());
  for (size_t i = 0; i < f.expressions.size(); ++i)
    std::strncpy(r.variables[i].expression, f.expressions[i].c_str(), ZTQ_EXPRESSION_SIZE - 1);
  std::strncpy(r.selection.expression, f.selection.c_str(), ZTQ_EXPRESSION_SIZE - 1);
  for (int i = 0; i < ZTQ_INT_OPTIONS; ++i) r.option[i] = f.option[static_cast<size_t>(i)];
  for (int i = 0; i < ZTQ_REAL_OPTIONS; ++i) r.doption[i] = f.doption[static_cast<size_t>(i)];
  for (int p = 0; p < ZTQ_PANES; ++p)
    for (int k = 0; k < 8; ++k)
      r.pane_option[p][k] = f.pane_option[static_cast<size_t>(p)][static_cast<size_t>(k)];
  int32_t points = 0;
  for (int32_t p : f.excluded) points = std::max(points, p);
  if (points > 0) {
    r.excluded = static_cast<int32_t*>(std::calloc(static_cast<size_t>(points), sizeof(int32_t)));
    if (r.excluded == nullptr) {
      error = "not enough memory for the excluded points";
      return false;
    }
    for (int32_t p : f.excluded) r.excluded[p - 1] = 1;
    r.point_count = points;
  }
  return true;
}

}  // namespace qualty
