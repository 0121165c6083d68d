#include "host/sheet/spread_ops.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string>

#include "host/sheet/csv.h"

namespace qualty {

bool is_valid_column_name(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (!letter(name.front())) return false;
  for (char c : name)
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '_') return false;
  for (std::string_view word : {"row", "and", "or", "not"})
    if (names_match(name, word)) return false;
  return true;
}

struct SpreadOps {
  static SpreadState& state(void* self) { return *static_cast<SpreadState*>(self); }

  // Runs f; any exception becomes the fallback result and the kept message.
  template <class F>
  static int32_t guarded(void* self, int32_t fallback, F&& f) noexcept {
    if (self == nullptr) return fallback;
    SpreadState& s = state(self);
    try {
      return f(s);
    } catch (const std::exception& e) {
      s.last_error_ = e.what();
    } catch (...) {
      s.last_error_ = "unexpected failure";
    }
    return fallback;
  }

  static int32_t to_int32(std::size_t n) {
    return static_cast<int32_t>(std::min<std::size_t>(n, INT32_MAX));
  }

  // The 0-based column of a 1-based column argument; throws when there is none.
  static std::size_t column1(SpreadState& s, int32_t c1) {
    if (c1 < 1 || static_cast<std::size_t>(c1) > s.sheet_->column_count())
      throw SheetError("no column " + std::to_string(c1));
    return static_cast<std::size_t>(c1 - 1);
  }

  static std::size_t row1(int32_t row) {
    if (row < 1) throw SheetError("no row " + std::to_string(row));
    return static_cast<std::size_t>(row - 1);
  }

  // Copies text into width bytes, space padded.
  static void put_text(void* value, std::string_view text, int width) {
    char* out = static_cast<char*>(value);
    const std::size_t w = static_cast<std::size_t>(std::max(width, 1));
    const std::size_t n = std::min(text.size(), w);
    std::memcpy(out, text.data(), n);
    std::memset(out + n, ' ', w - n);
  }

  static int32_t ListSheetVariables(void* self, char* buffer) {
    return guarded(self, 0, [&](SpreadState& s) {
      const std::size_t n = std::min<std::size_t>(s.sheet_->column_count(), ZTQ_MAX_VARIABLES);
      if (buffer == nullptr) return to_int32(n);
      std::memset(buffer, 0, n * ZTQ_NAME_SIZE);
      for (std::size_t c = 0; c < n; ++c) {
        const std::string& name = s.sheet_->column(c).name;
        std::memcpy(buffer + c * ZTQ_NAME_SIZE, name.data(),
                    std::min<std::size_t>(name.size(), ZTQ_NAME_SIZE - 1));
      }
      return to_int32(n);
    });
  }

  static int32_t SheetRowCount(void* self) {
    return guarded(self, 0, [](SpreadState& s) { return to_int32(s.sheet_->row_count()); });
  }

  static int32_t VariableType(void* self, int32_t c0) {
    return guarded(self, 0, [&](SpreadState& s) -> int32_t {
      return s.sheet_->column(column1(s, c0 + 1)).type;
    });
  }

  static int32_t VariableComment(void* self, int32_t c0, char* text256) {
    return guarded(self, 0, [&](SpreadState& s) {
      if (text256 != nullptr) text256[0] = '\0';
      const std::string& comment = s.sheet_->column(column1(s, c0 + 1)).comment;
      const std::size_t n = std::min<std::size_t>(comment.size(), 255);
      if (text256 != nullptr) {
        std::memcpy(text256, comment.data(), n);
        text256[n] = '\0';
      }
      return to_int32(n);
    });
  }

  static int32_t VariableWidth(void* self, int32_t c0) {
    return guarded(self, 0, [&](SpreadState& s) -> int32_t {
      return s.sheet_->column(column1(s, c0 + 1)).width;
    });
  }

  static void BeginSheetAccess(void* self, int32_t read) {
    guarded(self, 0, [&](SpreadState& s) { return s.access_ = read != 0 ? 1 : 0; });
  }

  static void EndSheetAccess(void* self) {
    guarded(self, 0, [](SpreadState& s) { return s.access_ = -1; });
  }

  // Runs once per row of a variable: a numeric cell of a column that exists
  // is read straight from the column's array; every other cell, and every
  // refusal with its message, takes the checked path.
  static int32_t ReadCell(void* self, int32_t c1, int32_t row, void* value) {
    if (self != nullptr && value != nullptr && c1 >= 1 && row >= 1) {
      const DataSheet& sheet = *state(self).sheet_;
      if (static_cast<std::size_t>(c1) <= sheet.column_count()) {
        const Column& col = sheet.column(static_cast<std::size_t>(c1 - 1));
        if (!col.is_text()) return put_number(value, col, static_cast<std::size_t>(row - 1));
      }
    }
    return read_cell_checked(self, c1, row, value);
  }

  [[gnu::noinline]] static int32_t read_cell_checked(void* self, int32_t c1, int32_t row,
                                                     void* value) {
    return guarded(self, 0, [&](SpreadState& s) {
      const std::size_t c = column1(s, c1);
      const std::size_t r = row1(row);
      if (value == nullptr) throw SheetError("no buffer for the cell");
      const Column& col = s.sheet_->column(c);
      if (!col.is_text()) return put_number(value, col, r);
      put_text(value, s.sheet_->text(c, r), col.width);
      return 1;
    });
  }

  // Row R of a numeric column into value; missing past the column's end.
  static int32_t put_number(void* value, const Column& col, std::size_t r) {
    const double v = r < col.numbers.size() ? col.numbers[r] : kMissing;
    std::memcpy(value, &v, sizeof v);
    return 1;
  }

  static void SetEvaluationRows(void* self, int32_t rows) {
    guarded(self, 0, [&](SpreadState& s) {
      s.evaluation_rows_ = rows > 0 ? static_cast<std::size_t>(rows) : 0;
      return 1;
    });
  }

  static int32_t EvaluateExpression(void* self, const char* text) {
    return guarded(self, 0, [&](SpreadState& s) {
      s.result_.reset();
      s.fetched_ = 0;
      if (text == nullptr) throw SheetError("no expression");
      s.result_ = evaluate_expression(*s.sheet_, text, s.evaluation_rows_);
      s.last_error_.clear();
      return 1;
    });
  }

  static int32_t ExpressionResultInfo(void* self, int32_t item) {
    const int32_t none = item == 3 ? -1 : 0;
    return guarded(self, none, [&](SpreadState& s) -> int32_t {
      if (!s.result_) return none;
      switch (item) {
        case 0:
          return to_int32(s.result_->length);
        case 1:
          return s.result_->type;
        case 2:
          return s.result_->width;
        case 3:
          return s.result_->column;
        default:
          return none;
      }
    });
  }

  static int32_t ExpressionFetch(void* self, int32_t mode, void* value) {
    return guarded(self, 0, [&](SpreadState& s) {
      if (mode == 0) {
        s.result_.reset();
        s.fetched_ = 0;
        return 1;
      }
      if (!s.result_ || s.fetched_ >= s.result_->length || value == nullptr) return 0;
      const std::size_t i = s.fetched_++;
      if (s.result_->is_text())
        put_text(value, s.result_->texts[i], s.result_->width);
      else
        std::memcpy(value, &s.result_->numbers[i], sizeof(double));
      return 1;
    });
  }

  static char type_letter(int32_t type) {
    if (!is_type_letter(type)) throw SheetError("bad type letter " + std::to_string(type));
    return static_cast<char>(type);
  }

  static int32_t CreateColumn(void* self, const char* name, int32_t type, int32_t width, int32_t) {
    return guarded(self, 0, [&](SpreadState& s) {
      if (name == nullptr || !is_valid_column_name(name))
        throw SheetError("\"" + std::string(name ? name : "") + "\" is not a valid column name");
      const std::size_t c = s.sheet_->create_column(name, type_letter(type), width);
      s.changed_ = true;
      return to_int32(c + 1);
    });
  }

  static int32_t DefineColumn(void* self, int32_t c1, int32_t type, int32_t width, int32_t) {
    return guarded(self, 0, [&](SpreadState& s) {
      s.sheet_->define_column(column1(s, c1), type_letter(type), width);
      s.changed_ = true;
      return 1;
    });
  }

  static int32_t ClearColumn(void* self, int32_t c1) {
    return guarded(self, 0, [&](SpreadState& s) {
      s.sheet_->clear_column(column1(s, c1));
      s.changed_ = true;
      return 1;
    });
  }

  static int32_t SheetStateQuery(void*) { return 0; }

  static int32_t SheetSendMessage(void*, int32_t, int32_t, int32_t, int32_t) { return 0; }

  static int32_t ExtendSheetRows(void* self, int32_t rows) {
    return guarded(self, 0, [&](SpreadState& s) {
      if (rows < 0) throw SheetError("no row " + std::to_string(rows));
      s.sheet_->extend_rows(static_cast<std::size_t>(rows));
      return 1;
    });
  }

  static int32_t PrepareColumn(void* self, int32_t c1, int32_t rows, int32_t) {
    return guarded(self, 0, [&](SpreadState& s) {
      if (rows < 0) throw SheetError("no row " + std::to_string(rows));
      s.sheet_->prepare_column(column1(s, c1), static_cast<std::size_t>(rows));
      return 1;
    });
  }

  static int32_t WriteCell(void* self, int32_t c1, int32_t row, const char* text) {
    return guarded(self, 0, [&](SpreadState& s) {
      const bool stored = s.sheet_->write_cell(column1(s, c1), row1(row), text ? text : "");
      s.changed_ = true;
      if (!stored) {
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on a + chain here.
        s.last_error_.assign(1, '"');
        s.last_error_.append(text ? text : "");
        s.last_error_.append("\" is no number");
      }
      return stored ? 1 : 0;
    });
  }

  static int32_t IsValidColumnName(void* self, const char* name) {
    return guarded(self, 0,
                   [&](SpreadState&) { return name && is_valid_column_name(name) ? 1 : 0; });
  }

  // Writes an evaluation into column c (0-based), replacing its type and cells.
  static void store(SpreadState& s, std::size_t c, const ExpressionResult& r) {
    DataSheet& sheet = *s.sheet_;
    sheet.clear_column(c);
    sheet.define_column(c, r.is_text() ? kCharacterType : r.type, r.width);
    sheet.prepare_column(c, r.length);
    for (std::size_t i = 0; i < r.length; ++i) {
      if (r.is_text())
        sheet.write_cell(c, i, r.texts[i]);
      else
        sheet.set_number(c, i, r.numbers[i]);
    }
    s.changed_ = true;
  }

  static int32_t SubmitExpressionTextFor(void* self, int32_t c1, const char* text, int32_t) {
    return guarded(self, 0, [&](SpreadState& s) {
      const std::size_t c = column1(s, c1);
      if (text == nullptr) throw SheetError("no expression");
      store(s, c, evaluate_expression(*s.sheet_, text, s.evaluation_rows_));
      return 1;
    });
  }

  // "NAME = expression": the first "=" that is no part of "<=", ">=" or a text literal.
  static int32_t submit_command(SpreadState& s, const char* text) {
    if (text == nullptr) throw SheetError("no command");
    const std::string_view t(text);
    std::size_t eq = std::string_view::npos;
    char quote = 0;
    for (std::size_t i = 0; i < t.size() && eq == std::string_view::npos; ++i) {
      if (quote != 0) {
        if (t[i] == quote) quote = 0;
      } else if (t[i] == '\'' || t[i] == '"') {
        quote = t[i];
      } else if (t[i] == '=' && (i == 0 || (t[i - 1] != '<' && t[i - 1] != '>'))) {
        eq = i;
      }
    }
    if (eq == std::string_view::npos) throw SheetError("\"NAME = expression\" expected");
    const std::string_view name = trim_blanks(t.substr(0, eq));
    const ExpressionResult r = evaluate_expression(*s.sheet_, t.substr(eq + 1), s.evaluation_rows_);
    int c = s.sheet_->match_variable(name);
    if (c < 0) {
      if (!is_valid_column_name(name))
        throw SheetError("\"" + std::string(name) + "\" is not a valid column name");
      c = static_cast<int>(s.sheet_->create_column(std::string(name), kNumericType, 1));
    }
    store(s, static_cast<std::size_t>(c), r);
    return 1;
  }

  static int32_t SubmitExpressionText(void* self, const char* text) {
    return guarded(self, 0, [&](SpreadState& s) { return submit_command(s, text); });
  }

  static int32_t SubmitCommandText(void* self, const char* text, int32_t, int32_t) {
    return guarded(self, 0, [&](SpreadState& s) { return submit_command(s, text); });
  }
};

ZtSpread make_spread_ops(SpreadState& state) {
  ZtSpread ops{};
  ops.self = &state;
  ops.ListSheetVariables = &SpreadOps::ListSheetVariables;
  ops.SheetRowCount = &SpreadOps::SheetRowCount;
  ops.VariableType = &SpreadOps::VariableType;
  ops.VariableComment = &SpreadOps::VariableComment;
  ops.VariableWidth = &SpreadOps::VariableWidth;
  ops.BeginSheetAccess = &SpreadOps::BeginSheetAccess;
  ops.ReadCell = &SpreadOps::ReadCell;
  ops.EndSheetAccess = &SpreadOps::EndSheetAccess;
  ops.SetEvaluationRows = &SpreadOps::SetEvaluationRows;
  ops.EvaluateExpression = &SpreadOps::EvaluateExpression;
  ops.ExpressionResultInfo = &SpreadOps::ExpressionResultInfo;
  ops.ExpressionFetch = &SpreadOps::ExpressionFetch;
  ops.CreateColumn = &SpreadOps::CreateColumn;
  ops.DefineColumn = &SpreadOps::DefineColumn;
  ops.ClearColumn = &SpreadOps::ClearColumn;
  ops.SheetStateQuery = &SpreadOps::SheetStateQuery;
  ops.SheetSendMessage = &SpreadOps::SheetSendMessage;
  ops.ExtendSheetRows = &SpreadOps::ExtendSheetRows;
  ops.PrepareColumn = &SpreadOps::PrepareColumn;
  ops.WriteCell = &SpreadOps::WriteCell;
  ops.IsValidColumnName = &SpreadOps::IsValidColumnName;
  ops.SubmitExpressionTextFor = &SpreadOps::SubmitExpressionTextFor;
  ops.SubmitExpressionText = &SpreadOps::SubmitExpressionText;
  ops.SubmitCommandText = &SpreadOps::SubmitCommandText;
  return ops;
}

}  // namespace qualty
