// The common procedure protocol, exercised through a test-only procedure with
// two input variables, a selection, two text panes, one saved series and an
// exclusion list, against the stand-in host's data sheet.
#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "bridge/analysis.h"
#include "bridge/lifecycle.h"
#include "bridge/module_state.h"
#include "format/numfmt.h"
#include "sheet_session.h"
#include "stats/guarded.h"

namespace ztq {
namespace {

struct TwoVarResults {
  int computations = 0;
  double sum = 0;  // of the included valid x
  int used = 0;
};

// x (required, numeric) and y (optional, text allowed); one point per row of x.
class TwoVar : public Procedure {
 public:
  const char* name() const override { return "twovar"; }
  std::string summary() const override { return "test procedure"; }
  int32_t title_number() const override { return static_cast<int32_t>(Str::kAppTitle); }
  int32_t procedure_code(int32_t) const override { return 40000; }
  const std::vector<VariableRole>& roles() const override {
    static const std::vector<VariableRole> r = {{"x", Str::kAppTitle, 1u, true, false},
                                                {"y", Str::kAppTitle, 1u, false, true}};
    return r;
  }
  void set_defaults(AnalysisRecord& r) const override { r.option[0] = 2; }
  void masks(const AnalysisRecord&, int32_t out[2]) const override {
    out[0] = 3;
    out[1] = 0;
  }
  bool load_variables(Analysis& a) const override {
    if (!a.load(0, true)) return false;
    return !a.given(1) || a.load(1, true);
  }
  void compute(Analysis& a) const override {
    TwoVarResults& r = a.results<TwoVarResults>();
    ++r.computations;
    const auto x = a.numbers(0);
    a.ensure_points(static_cast<int32_t>(x.size()));
    r.sum = 0;
    r.used = 0;
    for (size_t i = 0; i < x.size(); ++i)
      if (!is_missing(x[i]) && !a.excluded(static_cast<int32_t>(i))) {
        r.sum += x[i];
        ++r.used;
      }
  }
  bool has_exclusion() const override { return true; }
  bool text_pane(const Analysis& a, int pane, std::string& text) const override {
    const TwoVarResults* r = a.results<TwoVarResults>();
    if (pane == 1)
      text = "sum " + format_six(r ? r->sum : 0, 16) + "\r\n\r\n\r\n";
    else if (pane == 2)
      text = "used " + std::to_string(r ? r->used : 0) + "\r\n";
    else
      return false;
    return true;
  }
  std::vector<PaneInfo> panes() const override {
    return {{1, Str::kAppTitle}, {2, Str::kAppTitle}};
  }
  std::vector<OptionField> analysis_options(const AnalysisRecord&) const override {
    return {{"option0", Str::kAppTitle, OptionField::Store::option, 0, 1, 10}};
  }
  std::vector<OptionField> pane_options(const AnalysisRecord&, int pane) const override {
    if (pane == 8) return {{"bars", Str::kAppTitle, OptionField::Store::pane_option, 0, 0, 2}};
    return {};
  }
  std::vector<SavedSeries> saved_series(const Analysis& a) const override {
    SavedSeries s{"Twice", {}, {}};
    const double k = a.record().option[0];  // saved values follow the option
    for (double v : a.numbers(0)) s.values.push_back(is_missing(v) ? kMissing : k * v);
    return {s};
  }
};

class Lifecycle : public testing::SheetSession {
 protected:
  void SetUp() override {
    SheetSession::SetUp();
    use_sheet(qualty::DataSheet::from_columns({numeric("Weight", {1, 2, 3, 4}),
                                               numeric("Keep", {1, 0, -32768.0}),
                                               text_column("Lot", {"A", "B", "C", "D"})}));
  }
  // Dialog, Setup and Begin of a new analysis with these answers.
  int32_t start(std::map<std::string, std::string> with) {
    answers = std::move(with);
    ctx.row_count = static_cast<int32_t>(sheet.row_count());
    if (lifecycle_dialog(proc, 0, &ctx, 0) == 0) return -1;
    lifecycle_setup(proc, 0, &record, nullptr, setup_text, 0, 0);
    return lifecycle_begin(proc, 0);
  }
  const TwoVarResults& results() { return *static_cast<TwoVarResults*>(record.results); }
  std::vector<double> slot_values(const VariableSlot& s) {
    const auto* d = static_cast<const double*>(s.data);
    return {d, d + s.rows};
  }

  TwoVar proc;
};

TEST_F(Lifecycle, SetupStoresExpressionsAndTitle) {
  ASSERT_EQ(start({{"x", "Weight"}, {"y", "Lot"}}), 1);
  EXPECT_STREQ(record.variables[0].expression, "Weight");
  EXPECT_STREQ(record.variables[1].expression, "Lot");
  EXPECT_EQ(std::string(setup_text), "Quality Control - Weight");
  EXPECT_EQ(ctx.procedure_code[0], 40000);
  EXPECT_EQ(ctx.next_analysis_index, 1);
  EXPECT_EQ(ctx.computed_analyses, 1);
  EXPECT_EQ(record.option[0], 2) << "defaults of a new analysis";
  EXPECT_EQ(record.masks[0], 3);
  for (int32_t d : record.dirty) EXPECT_EQ(d, 1);
  EXPECT_EQ(results().sum, 10.0);
}

TEST_F(Lifecycle, SelectionBlanksRowsAndItsShortEnd) {
  // Keep is 1, 0, missing and ends after row 3: only row 1 stays.
  ASSERT_EQ(start({{"x", "Weight"}, {"y", "Lot"}, {"select", "Keep"}}), 1);
  EXPECT_EQ(slot_values(record.variables[0]),
            (std::vector<double>{1, kMissing, kMissing, kMissing}));
  EXPECT_EQ(record.variables[0].count, 1);
  EXPECT_EQ(record.variables[1].count, 1) << "character rows are blanked too";
  EXPECT_EQ(std::string(static_cast<const char*>(record.variables[1].data), 4), "A   ");
  EXPECT_EQ(slot_values(record.selection), (std::vector<double>{1, 0, kMissing, kMissing}))
      << "the selection is loaded without applying itself";
}

TEST_F(Lifecycle, NamesMatchDespiteCaseBlanksAndParentheses) {
  for (const char* e : {"weight", "  WEIGHT ", "(Weight)", " ( wEiGhT ) "}) {
    QualReleaseRecord(&record);
    record = AnalysisRecord{};
    ASSERT_EQ(start({{"x", e}}), 1) << e;
    EXPECT_EQ(results().sum, 10.0) << e;
  }
  QualReleaseRecord(&record);
  record = AnalysisRecord{};
  ASSERT_EQ(start({{"x", "Weight * 2 + Row"}}), 1) << "an expression";
  EXPECT_EQ(results().sum, 2 * 10.0 + 10.0);
}

// The sheet's own expressions always span its rows; an expression of another
// component may give fewer values. This one answers "Short" with 2 values.
struct ShortExpression {
  static inline ZtSpread real{};
  static inline bool is_short = false;
  static inline int fetched = 0;
  static ZtSpread wrap(const ZtSpread& s) {
    real = s;
    ZtSpread w = s;
    w.EvaluateExpression = [](void* self, const char* t) {
      is_short = std::string(t) == "Short";
      fetched = 0;
      return is_short ? 1 : real.EvaluateExpression(self, t);
    };
    w.ExpressionResultInfo = [](void* self, int32_t item) {
      if (!is_short) return real.ExpressionResultInfo(self, item);
      return item == 0 ? 2 : (item == 1 ? int32_t{'N'} : 1);
    };
    w.ExpressionFetch = [](void* self, int32_t mode, void* value) {
      if (!is_short) return real.ExpressionFetch(self, mode, value);
      if (mode == 1) *static_cast<double*>(value) = 10.0 * ++fetched;
      return 1;
    };
    return w;
  }
};

TEST_F(Lifecycle, ShortVariableIsPaddedAndFlagged) {
  ASSERT_EQ(start({{"x", "Keep"}}), 1);
  EXPECT_EQ(record.variables[0].rows, 4);
  EXPECT_EQ(slot_values(record.variables[0]), (std::vector<double>{1, 0, kMissing, kMissing}))
      << "Keep has 3 rows of the sheet's 4: padded";
  ZtSpread wrapped = ShortExpression::wrap(spread);
  host.c_object()->spread = &wrapped;
  std::snprintf(record.variables[0].expression, ZTQ_EXPRESSION_SIZE, "Short");
  SheetState ss{};
  SheetWindow sw{};
  EXPECT_EQ(lifecycle_begin_again(proc, 0, &record, nullptr, &ctx, &ss, &sw, 0), 1);
  EXPECT_EQ(ctx.unequal_lengths, 1) << "2 values against 4 rows";
  EXPECT_EQ(record.unequal_lengths, 1);
  EXPECT_EQ(ctx.current_analysis, 0);
  EXPECT_EQ(slot_values(record.variables[0]), (std::vector<double>{10, 20, kMissing, kMissing}));
  host.c_object()->spread = &spread;
}

TEST_F(Lifecycle, BeginAgainChecksTheVariables) {
  ASSERT_EQ(start({{"x", "Lot"}}), 0) << "x must be numeric: Begin keeps going, reading fails";
  QualReleaseRecord(&record);
  record = AnalysisRecord{};
  ASSERT_EQ(start({{"x", "Weight"}}), 1);
  std::snprintf(record.variables[0].expression, ZTQ_EXPRESSION_SIZE, "Lot");
  SheetState ss{};
  SheetWindow sw{};
  EXPECT_EQ(lifecycle_begin_again(proc, 0, &record, nullptr, &ctx, &ss, &sw, 0), 0);
  EXPECT_EQ(record.error_state, 1025);
  ASSERT_FALSE(ui.messages().empty());
  EXPECT_NE(ui.messages().back().text.find('1'), std::string::npos) << "names position 1";
  std::snprintf(record.variables[0].expression, ZTQ_EXPRESSION_SIZE, "NoSuchColumn");
  EXPECT_EQ(lifecycle_begin_again(proc, 0, &record, nullptr, &ctx, &ss, &sw, 0), 0);
  EXPECT_EQ(record.error_state, 1025);
}

TEST_F(Lifecycle, ExcludeOutOfRangeRecomputesOnly) {
  ASSERT_EQ(start({{"x", "Weight"}}), 1);
  const int before = results().computations;
  for (int32_t point : {0, 5, -3}) {
    for (int32_t& d : record.dirty) d = 0;
    EXPECT_EQ(lifecycle_exclude(proc, 0, point), 1);
    EXPECT_EQ(results().sum, 10.0) << point;
    for (int32_t d : record.dirty) EXPECT_EQ(d, 1) << point;
  }
  EXPECT_EQ(results().computations, before + 3);
  lifecycle_exclude(proc, 0, 2);
  EXPECT_EQ(results().sum, 8.0) << "point 2 (weight 2) excluded";
  lifecycle_exclude(proc, 0, 2);
  EXPECT_EQ(results().sum, 10.0) << "and back";
}

TEST_F(Lifecycle, OptsInErrorStateAndPanesWithoutOptions) {
  ASSERT_EQ(start({{"x", "Weight"}}), 1);
  record.error_state = 1010;
  forms = 0;
  EXPECT_EQ(lifecycle_opts(proc, nullptr, 0, 8, nullptr), 0);
  EXPECT_EQ(forms, 0) << "refused without a form";
  answers = {{"option0", "7"}};
  EXPECT_EQ(lifecycle_opts(proc, nullptr, 0, 1, nullptr), 1);
  EXPECT_EQ(forms, 1);
  EXPECT_EQ(record.option[0], 7);
  record.error_state = 0;
  ui.clear_messages();
  EXPECT_EQ(lifecycle_opts(proc, nullptr, 0, 3, nullptr), 1);
  ASSERT_EQ(ui.messages().size(), 1u);
  EXPECT_EQ(ui.messages()[0].text, text(Str::kNoPaneOptions));
  answers = {{"option0", "99"}};
  forms = 0;
  EXPECT_EQ(lifecycle_opts(proc, nullptr, 0, 1, nullptr), 0) << "out of range twice: cancelled";
  EXPECT_EQ(forms, 2) << "asked again once, never looped";
  EXPECT_EQ(record.option[0], 7);
}

TEST_F(Lifecycle, TextPanesWithAndWithoutAdvice) {
  ASSERT_EQ(start({{"x", "Weight"}}), 1);
  std::string shown;
  PaneWindow w{};
  w.host = &shown;
  w.set_text = [](PaneWindow* p, const char* t) { *static_cast<std::string*>(p->host) = t; };
  EXPECT_EQ(lifecycle_item(proc, &w, 0, 1, nullptr), 1);
  EXPECT_EQ(shown, "sum 10.0") << "trailing CR LF pairs removed without advice";
  IsQualityLoaded(host.c_object(), advice, 1);
  std::snprintf(advice, sizeof advice, "%s", "Advice.");
  EXPECT_EQ(lifecycle_item(proc, &w, 0, 1, nullptr), 1);
  EXPECT_EQ(shown, "sum 10.0\r\n\r\n\r\nAdvice.") << "no advisor: the buffer as it is, appended";
  EXPECT_EQ(lifecycle_item(proc, &w, 0, 5, nullptr), 0) << "an unknown pane builds nothing";
}

TEST_F(Lifecycle, PanesKeptInTheRecordOnPlatformZero) {
  ASSERT_EQ(start({{"x", "Weight"}}), 1);
  host.c_object()->platform_id = 0;
  EXPECT_EQ(lifecycle_item(proc, nullptr, 0, 1, nullptr), 1);
  host.c_object()->platform_id = 2;
  const PaneText& p = record.pane_text[0];
  ASSERT_NE(p.lines, nullptr);
  EXPECT_EQ(p.line_count, 1);
  EXPECT_STREQ(p.lines, "sum 10.0");
  EXPECT_EQ(p.widest, 8);
}

TEST_F(Lifecycle, VsaveWritesReplacesOnlyAfterYesAndRefusesBadNames) {
  ASSERT_EQ(start({{"x", "Weight"}}), 1);
  SheetState ss{};
  module_state().sheet_state = &ss;
  lifecycle_vsave(proc, 0, 1);
  const int col = sheet.find("Twice");
  ASSERT_GE(col, 0);
  EXPECT_EQ(sheet.column(static_cast<size_t>(col)).numbers, (std::vector<double>{2, 4, 6, 8}));
  EXPECT_EQ(ss.changed, 1);
  EXPECT_EQ(sheet.column(0).numbers, (std::vector<double>{1, 2, 3, 4})) << "input untouched";

  // Saving again: the column exists; No keeps it, Yes replaces it.
  record.option[0] = 3;
  ui.assume_yes = false;
  lifecycle_vsave(proc, 0, 1);
  EXPECT_EQ(sheet.column(static_cast<size_t>(col)).numbers, (std::vector<double>{2, 4, 6, 8}));
  EXPECT_EQ(ui.messages().back().answer, ZTQ_IDNO);
  EXPECT_EQ(ui.messages().back().text, text(Str::kAskReplaceColumns));
  ui.assume_yes = true;
  lifecycle_vsave(proc, 0, 1);
  EXPECT_EQ(sheet.column(static_cast<size_t>(col)).numbers, (std::vector<double>{3, 6, 9, 12}));
  EXPECT_EQ(sheet.find("Twice"), col) << "replaced in place, no second column";

  // A bad target name saves nothing.
  answers = {{"save_Twice", "9bad name"}};
  const size_t columns = sheet.column_count();
  lifecycle_vsave(proc, 0, 0);
  EXPECT_EQ(sheet.column_count(), columns);
  EXPECT_EQ(ui.messages().back().text, text(Str::kInvalidColumnName));

  // In error state nothing happens.
  record.error_state = 1010;
  answers = {{"save_Twice", "Other"}};
  lifecycle_vsave(proc, 0, 0);
  EXPECT_EQ(sheet.find("Other"), -1);
  module_state().sheet_state = nullptr;
}

}  // namespace
}  // namespace ztq
