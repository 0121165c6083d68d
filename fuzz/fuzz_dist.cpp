// libFuzzer: the distribution calculator's line parser and its routines. The
// answer is "error", "abort" or a finite number, never nan or inf.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "stats/dist_command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  std::string out;
  const ztq::DistStatus status = ztq::run_dist_line(line, out);
  if (status == ztq::DistStatus::ok) {
    const double v = std::strtod(out.c_str(), nullptr);
    if (!std::isfinite(v)) std::abort();
  } else if (out != "error" && out != "abort") {
    std::abort();
  }
  return 0;
}
