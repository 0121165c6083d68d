// Interpretation: sentences that explain a pane's numbers, one generator per
// procedure, chosen by the title string number of the analysis record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ztq {

using InterpretFn = std::string (*)(const void* record, int pane);

struct InterpretEntry {
  int32_t title_number;
  InterpretFn fn;
};

void register_interpreter(int32_t title_number, InterpretFn fn);
std::string interpret(const void* record, int32_t title_number, int pane);

// The title string number kept in an analysis record (0 for a record the
// module does not know).
int32_t record_title_number(const void* record);

}  // namespace ztq
