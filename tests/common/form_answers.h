// A form answerer for tests: fills each field named in the answers (by
// reference, so a test can change them between calls), counts the forms
// asked and says OK.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "ztqualty.h"

namespace ztq::testing {

inline std::function<int32_t(ZtForm&)> answer_from(
    const std::map<std::string, std::string>& answers, int& forms) {
  return [&answers, &forms](ZtForm& f) -> int32_t {
    ++forms;
    for (int32_t i = 0; i < f.field_count; ++i) {
      const auto it = answers.find(f.fields[i].name);
      if (it != answers.end())
        std::snprintf(f.fields[i].value, sizeof f.fields[i].value, "%s", it->second.c_str());
    }
    return 1;
  };
}

}  // namespace ztq::testing
