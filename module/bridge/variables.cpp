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

bool read_column(ZtSpread* s, int32_t c0, VariableData& out) {
  out.type = s->VariableType(s->self, c0);
  out.width = out.type == 'C' ? std::max<int32_t>(1, s->VariableWidth(s->self, c0)) : 1;
  out.length = std::max<int32_t>(0, s->SheetRowCount(s->self));
  const auto n = static_cast<size_t>(out.length);
  s->BeginSheetAccess(s->self, 1);
  if (out.type == 'C') {
    out.chars.assign(n * static_cast<size_t>(out.width), ' ');
    std::vector<char> cell(static_cast<size_t>(out.width) + 1, ' ');
    for (int32_t row = 1; row <= out.length; ++row) {
      std::fill(cell.begin(), cell.end(), ' ');
      s->ReadCell(s->self, c0 + 1, row, cell.data());
      std::memcpy(&out.chars[static_cast<size_t>(row - 1) * static_cast<size_t>(out.width)],
                  cell.data(), static_cast<size_t>(out.width));
    }
  } else {
    out.numbers.assign(n, kMissing);
    for (int32_t row = 1; row <= out.length; ++row) {
      double v = kMissing;
      s->ReadCell(s->self, c0 + 1, row, &v);
      out.numbers[static_cast<size_t>(row - 1)] = v;
    }
  }
  s->EndSheetAccess(s->self);
  return true;
}

bool read_evaluated(ZtSpread* s, const std::string& expression, VariableData& out) {
  if (s->EvaluateExpression(s->self, expression.c_str()) == 0) return false;
  out.length = std::max<int32_t>(0, s->ExpressionResultInfo(s->self, 0));
  out.type = s->ExpressionResultInfo(s->self, 1);
  out.width = out.type == 'C' ? std::max<int32_t>(1, s->ExpressionResultInfo(s->self, 2)) : 1;
  const auto n = static_cast<size_t>(out.length);
  if (out.type == 'C') {
    out.chars.assign(n * static_cast<size_t>(out.width), ' ');
    std::vector<char> cell(static_cast<size_t>(out.width) + 1, ' ');
    for (size_t i = 0; i < n; ++i) {
      std::fill(cell.begin(), cell.end(), ' ');
      s->ExpressionFetch(s->self, 1, cell.data());
      std::memcpy(&out.chars[i * static_cast<size_t>(out.width)], cell.data(),
                  static_cast<size_t>(out.width));
    }
  } else {
    out.numbers.assign(n, kMissing);
    for (size_t i = 0; i < n; ++i) s->ExpressionFetch(s->self, 1, &out.numbers[i]);
  }
  s->ExpressionFetch(s->self, 0, nullptr);
  return true;
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
    if (name_matches(stripped, name)) return read_column(s, c, out);
  }
  if (name_matches(stripped, "row")) {  // Row: the numbers 1 .. row count
    out.type = 'N';
    out.length = std::max<int32_t>(0, s->SheetRowCount(s->self));
    out.numbers.resize(static_cast<size_t>(out.length));
    for (int32_t i = 0; i < out.length; ++i) out.numbers[static_cast<size_t>(i)] = i + 1.0;
    return true;
  }
  return read_evaluated(s, expression, out);
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
  VariableData v;
  if (!read_variable(spread, slot.expression, v)) {
    show_warning_text(text_with(Str::kCannotEvaluate, std::string(slot.expression)));
    return static_cast<int32_t>(Str::kErrLoadVariable);
  }
  rows = std::max<int32_t>(rows, 0);
  const size_t n = static_cast<size_t>(rows);
  const size_t width = v.type == 'C' ? static_cast<size_t>(v.width) : sizeof(double);
  void* block = std::malloc(std::max<size_t>(1, n * width));
  if (block == nullptr) {
    ShowMessage(Str::kNoMemory);
    return static_cast<int32_t>(Str::kErrNoDataBlock);
  }
  slot.data = block;
  slot.rows = rows;
  slot.type = v.type;
  slot.width = v.type == 'C' ? v.width : 1;
  const double* sel = selection != nullptr && selection->data != nullptr && selection->type != 'C'
                          ? static_cast<const double*>(selection->data)
                          : nullptr;
  const auto keep = [&](size_t r) {
    if (sel == nullptr) return true;
    if (r >= static_cast<size_t>(selection->rows)) return false;  // beyond the selection: missing
    return sel[r] != 0.0 && !is_missing(sel[r]);
  };
  slot.count = 0;
  if (v.type == 'C') {
    char* out = static_cast<char*>(block);
    std::memset(out, ' ', n * width);
    for (size_t r = 0; r < n; ++r) {
      if (r < static_cast<size_t>(v.length) && keep(r))
        std::memcpy(out + r * width, &v.chars[r * width], width);
      const char* row = out + r * width;
      if (std::any_of(row, row + width, [](char c) { return c != ' ' && c != '\0'; })) ++slot.count;
    }
    slot.minimum = kMissing;
    slot.maximum = kMissing;
    return 0;
  }
  double* out = static_cast<double*>(block);
  double lo = 0.0;
  double hi = 0.0;
  for (size_t r = 0; r < n; ++r) {
    double x = r < static_cast<size_t>(v.length) ? v.numbers[r] : kMissing;
    if (!std::isfinite(x) || !keep(r)) x = kMissing;  // NaN and infinities are no observations
    out[r] = x;
    if (is_missing(x)) continue;
    if (slot.count == 0 || x < lo) lo = x;
    if (slot.count == 0 || x > hi) hi = x;
    ++slot.count;
  }
  slot.minimum = slot.count > 0 ? lo : kMissing;
  slot.maximum = slot.count > 0 ? hi : kMissing;
  return 0;
}

}  // namespace ztq
