// libFuzzer: the CSV reader on any bytes, then the writer and the reader again.
// A file that reads must write back to a sheet of the same shape.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/sheet/csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qualty::CsvLoad load;
  try {
    load = qualty::read_csv(text);
  } catch (const qualty::SheetError&) {
    return 0;  // a malformed file is refused with a message: fine
  }
  const qualty::DataSheet& sheet = load.sheet;
  const qualty::CsvLoad again = qualty::read_csv(qualty::write_csv(sheet));
  if (again.sheet.column_count() != sheet.column_count()) std::abort();
  return 0;
}
