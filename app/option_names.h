// The names a user gives options and variants on the command line: the
// numbered names (option34, doption16), their readable aliases (span, usl),
// named values (--set ma_start=average), option groups (--set phases=18,31,
// --set rules=nelson) and variant names (--chart imr), all as the module's
// description lists them.
#pragma once

#include <map>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <utility>
#include <vector>

#include "ztqualty.h"

namespace qualty {

struct OptionInfo {
  std::string name;   // the numbered name: option34, doption16, combine
  std::string alias;  // "" when none
  std::string label;
  std::string store;  // option, doption or pane_option
  int index = -1;
  int pane = 1;  // 1: an analysis option; else the pane whose options form holds it
  double fallback = ZTQ_MISSING;
  double minimum = ZTQ_MISSING;
  double maximum = ZTQ_MISSING;
  std::vector<std::pair<std::string, double>> choices;
};

struct OptionGroupInfo {
  std::string name;
  std::string label;
  std::vector<std::string> members;
  std::vector<double> scale;
  std::map<std::string, std::vector<double>> presets;
};

struct VariantInfo {
  int code = 0;
  std::string name;
  std::string title;
};

class OptionCatalog {
 public:
  // From the module's description of one procedure (QualDescribe).
  explicit OptionCatalog(const nlohmann::json& description);

  // Resolves NAME=VALUE items, in the order given, to numbered names and the
  // value texts the options form takes. False with a one-line reason for an
  // unknown name (with the nearest names), a value that is no choice or
  // preset, a list too long, or one option given two different values
  // under two spellings. A group's members yield to an option named alone.
  bool resolve(const std::vector<std::string>& items, std::map<std::string, std::string>& out,
               std::string& error) const;
  // A variant by code or name; false with the reason (and the nearest names).
  bool resolve_variant(const std::string& text, int& code, std::string& error) const;

  const std::vector<OptionInfo>& options() const { return options_; }
  const std::vector<OptionGroupInfo>& groups() const { return groups_; }
  const std::vector<VariantInfo>& variants() const { return variants_; }
  const OptionInfo* find(const std::string& name_or_alias) const;
  // The name a user reads first: the alias when there is one.
  static const std::string& shown_name(const OptionInfo& o) {
    return o.alias.empty() ? o.name : o.alias;
  }

 private:
  std::vector<OptionInfo> options_;
  std::vector<OptionGroupInfo> groups_;
  std::vector<VariantInfo> variants_;
};

// Up to three candidates nearest to word (edit distance), for "did you mean".
std::vector<std::string> nearest_names(const std::string& word,
                                       const std::vector<std::string>& candidates);
// " (did you mean a, b?)" or "".
std::string did_you_mean(const std::string& word, const std::vector<std::string>& candidates);

}  // namespace qualty
