// The data sheet as the module's ZTSPREAD component: a C table of operations
// (declared in ztqualty.h) over one DataSheet.
//
// Every operation catches every exception: a failure returns 0 (and keeps its
// message for last_error()), never throws across the table.
#ifndef QUALTY_HOST_SHEET_SPREAD_OPS_H
#define QUALTY_HOST_SHEET_SPREAD_OPS_H

#include <cstddef>
#include <optional>
#include <string>

#include "host/sheet/data_sheet.h"
#include "host/sheet/expression.h"
#include "ztqualty.h"

namespace qualty {

// The component's state: the sheet it serves, the current evaluation and the
// access state. It must outlive the table made from it.
class SpreadState {
 public:
  explicit SpreadState(DataSheet& sheet) : sheet_(&sheet) {}

  DataSheet& sheet() { return *sheet_; }
  const std::string& last_error() const { return last_error_; }  // of the last failed operation
  bool changed() const { return changed_; }  // a column was created, retyped or written
  int access() const { return access_; }     // -1 outside an access, 1 reading, 0 writing

 private:
  friend struct SpreadOps;
  DataSheet* sheet_;
  std::optional<ExpressionResult> result_;  // the current evaluation
  std::size_t fetched_ = 0;                 // values of it fetched so far
  std::size_t evaluation_rows_ = 0;         // 0: the sheet's row count
  int access_ = -1;
  bool changed_ = false;
  std::string last_error_;
};

ZtSpread make_spread_ops(SpreadState& state);

// A name that a new column may take: a letter first, then letters, digits and
// '_', at most 32 characters, and none of the words Row, and, or, not (any case).
bool is_valid_column_name(std::string_view name);

}  // namespace qualty

#endif  // QUALTY_HOST_SHEET_SPREAD_OPS_H
