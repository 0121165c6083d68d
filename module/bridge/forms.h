// Forms: the module's dialogs, filled with current values and answered by
// the host through its UI service.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ztqualty.h"

namespace ztq {

class Form {
 public:
  Form(int32_t id, const std::string& title);

  // Adds a field and returns its position.
  int add(const std::string& name, const std::string& label, int32_t kind, const std::string& value,
          double minimum = ZTQ_MISSING, double maximum = ZTQ_MISSING, bool required = false,
          const std::string& help = {});
  std::string value(int field) const;
  std::string value(const std::string& name) const;
  int find(const std::string& name) const;
  int size() const { return static_cast<int>(fields_.size()); }
  const ZtFormField& field(int i) const { return fields_[static_cast<size_t>(i)]; }

  // Asks the host. Each answer is checked first against the fields' kinds and
  // ranges, then by validate (an empty text accepts); a refused answer is asked
  // again once with the reason, a second refusal cancels. True when accepted.
  bool ask(const std::function<std::string(const Form&)>& validate = {});

 private:
  std::string check_fields() const;
  ZtForm form_{};
  std::vector<ZtFormField> fields_;
};

// Number parsing as the forms read their fields: the whole text must be a
// finite number (a comma counts as the decimal point).
bool parse_form_number(const std::string& text, double& out);

}  // namespace ztq
