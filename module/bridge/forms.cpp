#include "bridge/forms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bridge/module_state.h"
#include "format/numfmt.h"

namespace ztq {

namespace {

template <size_t N>
void copy_text(char (&dst)[N], const std::string& src) {
  const size_t n = std::min(src.size(), N - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

std::string trimmed(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

bool parse_form_number(const std::string& text, double& out) {
  std::string t = trimmed(text);
  for (char& c : t)
    if (c == ',') c = '.';
  if (t.empty()) return false;
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  out = v;
  return true;
}

Form::Form(int32_t id, const std::string& title) {
  form_.id = id;
  copy_text(form_.title, title);
}

int Form::add(const std::string& name, const std::string& label, int32_t kind,
              const std::string& value, double minimum, double maximum, bool required,
              const std::string& help) {
  ZtFormField f{};
  copy_text(f.name, name);
  copy_text(f.label, label);
  f.kind = kind;
  copy_text(f.value, value);
  f.minimum = minimum;
  f.maximum = maximum;
  f.required = required ? 1 : 0;
  copy_text(f.help, help);
  fields_.push_back(f);
  return static_cast<int>(fields_.size()) - 1;
}

int Form::find(const std::string& name) const {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (name == fields_[i].name) return static_cast<int>(i);
  return -1;
}

std::string Form::value(int field) const {
  if (field < 0 || field >= size()) return {};
  return std::string(fields_[static_cast<size_t>(field)].value);
}

std::string Form::value(const std::string& name) const { return value(find(name)); }

std::string Form::check_fields() const {
  for (const ZtFormField& f : fields_) {
    const std::string v = trimmed(f.value);
    if (v.empty()) {
      if (f.required) return std::string(f.label) + ": a value is required";
      continue;
    }
    if (f.kind != ZTQ_FIELD_INTEGER && f.kind != ZTQ_FIELD_REAL && f.kind != ZTQ_FIELD_CHOICE)
      continue;
    double x = 0.0;
    if (!parse_form_number(v, x)) return std::string(f.name) + ": '" + v + "' is not a number";
    if (f.kind != ZTQ_FIELD_REAL && x != std::floor(x))
      return std::string(f.name) + ": '" + v + "' is not a whole number";
    const bool low = f.minimum != ZTQ_MISSING && x < f.minimum;
    const bool high = f.maximum != ZTQ_MISSING && x > f.maximum;
    if (low || high) {
      return std::string(f.name) + ": " + v + " is outside " + format_six(f.minimum, 16) + " to " +
             format_six(f.maximum, 16);
    }
  }
  return {};
}

bool Form::ask(const std::function<std::string(const Form&)>& validate) {
  HostApplication* app = module_state().app;
  if (app == nullptr || app->run_form == nullptr) return false;
  form_.refusal[0] = '\0';
  for (int attempt = 0; attempt < 2; ++attempt) {
    form_.field_count = static_cast<int32_t>(fields_.size());
    form_.fields = fields_.data();
    const int32_t ok = app->run_form(app, &form_);
    form_.fields = nullptr;
    if (ok == 0) return false;
    std::string why = check_fields();
    if (why.empty() && validate) why = validate(*this);
    if (why.empty()) return true;
    copy_text(form_.refusal, why);
  }
  return false;  // refused twice: cancelled
}

}  // namespace ztq
