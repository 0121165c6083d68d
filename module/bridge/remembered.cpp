#include "bridge/remembered.h"

#include <cmath>
#include <string>
#include <vector>

#include "bridge/messages.h"
#include "bridge/strings.h"
#include "format/numfmt.h"

namespace ztq {
namespace {

// Message texts of this check (numbers of the string table).
constexpr Str kRememberedOutOfRange = static_cast<Str>(42000);
constexpr Str kRememberedDoNotFit = static_cast<Str>(42001);

double& slot(AnalysisRecord& r, const OptionField& f, double& scratch) {
  scratch = f.store == OptionField::Store::option ? r.option[f.index] : r.doption[f.index];
  return scratch;
}

void put(AnalysisRecord& r, const OptionField& f, double v) {
  if (f.store == OptionField::Store::option)
    r.option[f.index] = static_cast<int32_t>(v);
  else
    r.doption[f.index] = v;
}

// The field's checks as the options form applies them to a typed value.
bool acceptable(const OptionField& f, double v) {
  if (f.store == OptionField::Store::doption && v == ZTQ_MISSING) return true;  // left blank
  if (!std::isfinite(v)) return false;
  if (f.kind != ZTQ_FIELD_REAL && v != std::floor(v)) return false;
  if (f.minimum != ZTQ_MISSING && v < f.minimum) return false;
  if (f.maximum != ZTQ_MISSING && v > f.maximum) return false;
  return true;
}

std::string trimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string with_value(const std::string& format, const std::string& value) {
  std::string out = format;
  if (const size_t at = out.find("%s"); at != std::string::npos) out.replace(at, 2, value);
  return out;
}

}  // namespace

void check_remembered_options(const Procedure& p, AnalysisRecord& r,
                              const AnalysisRecord& defaults) {
  std::vector<OptionField> fields;
  for (const OptionField& f : p.analysis_options(r))
    if (f.store != OptionField::Store::pane_option) fields.push_back(f);
  AnalysisRecord base = defaults;
  bool changed = false;
  for (const OptionField& f : fields) {
    double a = 0;
    double b = 0;
    const double v = slot(r, f, a);
    const double d = slot(base, f, b);
    if (v == d || (std::isnan(v) && std::isnan(d))) continue;
    changed = true;
    if (acceptable(f, v)) continue;
    const bool whole = f.kind != ZTQ_FIELD_REAL && v == std::floor(v) && std::fabs(v) < 1e15;
    const std::string shown =
        whole ? std::to_string(static_cast<long long>(v)) : trimmed(format_sig(v, 32, 15));
    show_warning_text(with_value(text(kRememberedOutOfRange), f.name + " = " + shown));
    put(r, f, d);
  }
  if (!changed) return;
  const int32_t refused = p.validate_options(r);
  if (refused == 0 || p.validate_options(base) != 0) return;
  show_warning_text(with_value(text(kRememberedDoNotFit), text(static_cast<Str>(refused))));
  for (const OptionField& f : fields) {
    double b = 0;
    put(r, f, slot(base, f, b));
  }
}

}  // namespace ztq
