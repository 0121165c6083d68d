// libFuzzer: the profile reader and writer. What reads whole writes back byte
// for byte; a setting written reads back as written, and every other line of
// the file is kept.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/profile/ini_profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  qualty::IniProfile profile;  // in memory: no file is written
  if (!profile.load_text(text)) return 0;
  if (profile.to_text() != text) std::abort();
  if (!profile.set("Fuzz", "key", "value 1") || !profile.set("VCHART", "option34", "9"))
    std::abort();
  qualty::IniProfile again;
  if (!again.load_text(profile.to_text())) std::abort();
  if (again.get_string("fuzz", "KEY", "") != "value 1") std::abort();
  if (again.get_string("vchart", "option34", "") != "9") std::abort();
  if (again.to_text() != profile.to_text()) std::abort();
  return 0;
}
