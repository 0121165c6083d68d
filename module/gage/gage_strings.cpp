#include "gage/gage_strings.h"

namespace ztq::gs {

std::string fill(int32_t format, std::initializer_list<std::string> values) {
  const std::string& f = str(format);
  std::string out;
  auto next = values.begin();
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] == '%' && i + 1 < f.size()) {
      const char c = f[i + 1];
      if (c == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (c == 'd' || c == 's') {
        if (next != values.end()) out += *next++;
        ++i;
        continue;
      }
    }
    out += f[i];
  }
  return out;
}

}  // namespace ztq::gs
