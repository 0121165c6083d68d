// QualDist: one line of the distribution calculator, for the host's "dist".
#include <algorithm>
#include <cstring>
#include <string>

#include "bridge/export_guard.h"
#include "stats/dist_command.h"
#include "ztqualty.h"

ZTQ_EXPORT int32_t QualDist(const char* line, char* out, int32_t size) {
  return ztq::guarded_export(
      [&]() -> int32_t {
        std::string result;
        const ztq::DistStatus status = ztq::run_dist_line(line != nullptr ? line : "", result);
        if (out != nullptr && size > 0) {
          const size_t n = std::min(result.size(), static_cast<size_t>(size - 1));
          std::memcpy(out, result.data(), n);
          out[n] = '\0';
        }
        return status == ztq::DistStatus::ok ? 1 : (status == ztq::DistStatus::abort ? 0 : -1);
      },
      -1);
}
