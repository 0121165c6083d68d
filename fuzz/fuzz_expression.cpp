// libFuzzer: the expression parser and evaluator over a small sheet of a
// numeric, a character and a short column. Any text either evaluates or is
// refused with an ExpressionError; nothing else may escape.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/sheet/expression.h"

namespace {

const qualty::DataSheet& sheet() {
  static const qualty::DataSheet s = [] {
    qualty::Column a{"A", qualty::kNumericType, 1, {}, {1.5, -2, 0, qualty::kMissing, 1e300}, {}};
    qualty::Column b{"Shift", qualty::kCharacterType, 3, {}, {}, {"A", "B", "", "C", "B"}};
    qualty::Column c{"Short col", qualty::kNumericType, 1, {}, {7, 8}, {}};
    return qualty::DataSheet::from_columns({a, b, c});
  }();
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    (void)qualty::evaluate_expression(sheet(), text);
  } catch (const qualty::ExpressionError&) {
  }
  return 0;
}
