// Reading a variable (a column name, "Row" or an expression) from the data
// sheet through the ZTSPREAD component, and loading it into a record's slot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ztqualty.h"

namespace ztq {

struct VariableData {
  int32_t type = 0;    // 'N', 'C' or a date letter
  int32_t width = 1;   // characters per row for 'C'
  int32_t length = 0;  // values the sheet gave
  std::vector<double> numbers;
  std::vector<char> chars;  // length x width
};

// The expression as the sheet's names are matched: blanks trimmed and one
// pair of enclosing parentheses removed.
std::string strip_expression(const std::string& expression);
// Compares an expression with a sheet name whose blanks are removed, ignoring
// the case of the letters A to Z.
bool name_matches(const std::string& stripped, const char* sheet_name);

// Reads an expression. An empty one shows 1009; an invalid one fails quietly.
bool read_variable(ZtSpread* spread, const std::string& expression, VariableData& out);

// Loads the expression of slot into a block of rows values: rows beyond the
// variable's length are missing (or blank); the selection, when given, blanks
// every row whose selection value is 0 or missing. Counts the valid rows and
// finds the minimum and maximum. On failure shows 1184 and returns the error
// state to set (1010, or 1004 when the block cannot be allocated); 0 on success.
int32_t load_slot(ZtSpread* spread, VariableSlot& slot, int32_t rows,
                  const VariableSlot* selection);

void free_slot(VariableSlot& slot);

}  // namespace ztq
