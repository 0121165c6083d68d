#include "bridge/variables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "bridge/messages.h"
#include "stats/guarded.h"

namespace ztq {

namespace {

char lower_az(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Where a variable's values come from, learned before any value is read.
struct Source {
  enum class Kind { kColumn, kRow, kExpression } kind = Kind::kColumn;
  int32_t column = 0;  // 0-based, for kColumn
  int32_t type = 'N';
  int32_t width = 1;
  int32_t length = 0;
};

// Finds the column, "Row" or the evaluated expression; an expression stays
// open for fetching until read_values closes it. Shows 1009 for an empty one.
bool open_variable(ZtSpread* s, const std::string& expression, Source& src) {
  const std::string stripped = strip_expression(expression);
  if (stripped.empty()) {
    ShowMessage(Str::kEmptyVariable);
    return false;
  }
  if (s == nullptr) return false;
  std::vector<char> names(ZTQ_LIST_BUFFER, '\0');
  const int32_t count =
      std::clamp<int32_t>(s->ListSheetVariables(s->self, names.data()), 0, ZTQ_MAX_VARIABLES);
  for (int32_t c = 0; c < count; ++c) {
    char name[ZTQ_NAME_SIZE + 1] = {};
    std::memcpy(name, &names[static_cast<size_t>(c) * ZTQ_NAME_SIZE], ZTQ_NAME_SIZE);
    if (!name_matches(stripped, name)) continue;
    src.kind = Source::Kind::kColumn;
    src.column = c;
    src.type = s->VariableType(s->self, c);
    src.width = src.type == 'C' ? std::max<int32_t>(1, s->VariableWidth(s->self, c)) : 1;
    src.length = std::max<int32_t>(0, s->SheetRowCount(s->self));
    return true;
  }
  if (name_matches(stripped, "row")) {  // Row: the numbers 1 .. row count
    src.kind = Source::Kind::kRow;
    src.length = std::max<int32_t>(0, s->SheetRowCount(s->self));
    return true;
  }
  if (s->EvaluateExpression(s->self, expression.c_str()) == 0) return false;
  src.kind = Source::Kind::kExpression;
  src.length = std::max<int32_t>(0, s->ExpressionResultInfo(s->self, 0));
  src.type = s->ExpressionResultInfo(s->self, 1);
  src.width = src.type == 'C' ? std::max<int32_t>(1, s->ExpressionResultInfo(s->self, 2)) : 1;
  return true;
}

// Reads the first min(length, rows) values straight into block (8 bytes or
// width characters a row) and fills the rest with missing values or blanks;
// closes an open evaluation. block may be null to close it only.
void read_values(ZtSpread* s, const Source& src, void* block, size_t rows) {
  const size_t n = std::min(rows, static_cast<size_t>(src.length));
  const auto width = static_cast<size_t>(src.width);
  if (block != nullptr && src.type == 'C') {
    char* out = static_cast<char*>(block);
    std::memset(out, ' ', rows * width);
    std::vector<char> cell(width + 1, ' ');  // room for a host that ends the text with a NUL
    if (src.kind == Source::Kind::kColumn) s->BeginSheetAccess(s->self, 1);
    for (size_t r = 0; r < n; ++r) {
      std::fill(cell.begin(), cell.end(), ' ');
      if (src.kind == Source::Kind::kColumn)
        s->ReadCell(s->self, src.column + 1, static_cast<int32_t>(r + 1), cell.data());
      else
        s->ExpressionFetch(s->self, 1, cell.data());
      std::memcpy(out + r * width, cell.data(), width);
    }
    if (src.kind == Source::Kind::kColumn) s->EndSheetAccess(s->self);
  } else if (block != nullptr) {
    double* out = static_cast<double*>(block);
    std::fill(out + n, out + rows, kMissing);
    std::fill(out, out + n, kMissing);  // a cell the host does not write stays missing
    switch (src.kind) {
      case Source::Kind::kColumn: {
        const auto read_cell = s->ReadCell;
        void* self = s->self;
        const int32_t column = src.column + 1;
        s->BeginSheetAccess(self, 1);
        for (size_t r = 0; r < n; ++r)
          read_cell(self, column, static_cast<int32_t>(r + 1), out + r);
        s->EndSheetAccess(self);
        break;
      }
      case Source::Kind::kRow:
        for (size_t r = 0; r < n; ++r) out[r] = static_cast<double>(r + 1);
        break;
      case Source::Kind::kExpression:
        for (size_t r = 0; r < n; ++r) s->ExpressionFetch(s->self, 1, out + r);
        break;
    }
  }
  if (src.kind == Source::Kind::kExpression) s->ExpressionFetch(s->self, 0, nullptr);
}

}  // namespace

std::string strip_expression(const std::string& expression) {
  size_t b = 0;
  size_t e = expression.size();
  while (b < e && is_blank(expression[b])) ++b;
  while (e > b && is_blank(expression[e - 1])) --e;
  std::string s = expression.substr(b, e - b);
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    s = s.substr(1, s.size() - 2);
    b = 0;
    e = s.size();
    while (b < e && is_blank(s[b])) ++b;
    while (e > b && is_blank(s[e - 1])) --e;
    s = s.substr(b, e - b);
  }
  return s;
}

bool name_matches(const std::string& stripped, const char* sheet_name) {
  std::string name;
  for (const char* p = sheet_name; *p; ++p)
    if (!is_blank(*p)) name.push_back(*p);
  if (name.empty() || name.size() != stripped.size()) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (lower_az(name[i]) != lower_az(stripped[i])) return false;
  return true;
}

bool read_variable(ZtSpread* s, const std::string& expression, VariableData& out) {
  out = VariableData{};
  Source src;
  if (!open_variable(s, expression, src)) return false;
  out.type = src.type;
  out.width = src.width;
  out.length = src.length;
  const auto n = static_cast<size_t>(src.length);
  if (src.type == 'C') {
    out.chars.resize(n * static_cast<size_t>(src.width));
    read_values(s, src, out.chars.data(), n);
  } else {
    out.numbers.resize(n);
    read_values(s, src, out.numbers.data(), n);
  }
  return true;
}

void free_slot(VariableSlot& slot) {
  std::free(slot.data);
  slot.data = nullptr;
  slot.rows = 0;
  slot.count = 0;
  slot.minimum = kMissing;
  slot.maximum = kMissing;
}

int32_t load_slot(ZtSpread* spread, VariableSlot& slot, int32_t rows,
                  const VariableSlot* selection) {
  free_slot(slot);
  slot.type = 0;
  Source src;
  if (!open_variable(spread, slot.expression, src)) {
    show_warning_text(text_with(Str::kCannotEvaluate, std::string(slot.expression)));
    return static_cast<int32_t>(Str::kErrLoadVariable);
  }
  // One block of the record's row count, read into in place.
  rows = std::max<int32_t>(rows, 0);
  const size_t n = static_cast<size_t>(rows);
  const size_t width = src.type == 'C' ? static_cast<size_t>(src.width) : sizeof(double);
  void* block = std::malloc(std::max<size_t>(1, n * width));
  if (block == nullptr) {
    read_values(spread, src, nullptr, 0);
    ShowMessage(Str::kNoMemory);
    return static_cast<int32_t>(Str::kErrNoDataBlock);
  }
  read_values(spread, src, block, n);
  slot.data = block;
  slot.rows = rows;
  slot.type = src.type;
  slot.width = src.type == 'C' ? src.width : 1;
  const double* sel = selection != nullptr && selection->data != nullptr && selection->type != 'C'
                          ? static_cast<const double*>(selection->data)
                          : nullptr;
  const auto keep = [&](size_t r) {
    if (sel == nullptr) return true;
    if (r >= static_cast<size_t>(selection->rows)) return false;  // beyond the selection: missing
    return sel[r] != 0.0 && !is_missing(sel[r]);
  };
  slot.count = 0;
  if (src.type == 'C') {
    char* out = static_cast<char*>(block);
    for (size_t r = 0; r < n; ++r) {
      char* row = out + r * width;
      if (!keep(r)) std::memset(row, ' ', width);
      if (std::any_of(row, row + width, [](char c) { return c != ' ' && c != '\0'; })) ++slot.count;
    }
    slot.minimum = kMissing;
    slot.maximum = kMissing;
    return 0;
  }
  double* out = static_cast<double*>(block);
  double lo = 0.0;
  double hi = 0.0;
  auto count = slot.count;  // a local: the slot is not written back every row
  for (size_t r = 0; r < n; ++r) {
    double& x = out[r];
    if (!std::isfinite(x) || !keep(r)) x = kMissing;  // NaN and infinities are no observations
    if (is_missing(x)) continue;
    if (count == 0 || x < lo) lo = x;
    if (count == 0 || x > hi) hi = x;
    ++count;
  }
  slot.count = count;
  slot.minimum = count > 0 ? lo : kMissing;
  slot.maximum = count > 0 ? hi : kMissing;
  return 0;
}

}  // namespace ztq
