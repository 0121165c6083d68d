// The data sheet through the component's C table, as the module calls it:
// reading variables, evaluating and fetching, and the save sequence in both
// orders of PrepareColumn.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/sheet/spread_ops.h"

namespace qualty {
namespace {

constexpr double M = kMissing;

class SpreadOpsTest : public ::testing::Test {
 protected:
  SpreadOpsTest() : state_(sheet_) {
    Column x{"Diameter", 'N', 1, "mm at the bore", {1.5, 2.5, M}, {}};
    Column op{"Op Name", 'C', 5, "", {}, {"ann", "bob", ""}};
    Column y{"Y", 'N', 1, "", {10, 20}, {}};
    sheet_ = DataSheet::from_columns({x, op, y});
    ops_ = make_spread_ops(state_);
  }

  double read_number(int c1, int row) {
    double v = 0;
    EXPECT_EQ(ops_.ReadCell(ops_.self, c1, row, &v), 1);
    return v;
  }

  std::vector<double> fetch_all() {
    std::vector<double> out;
    double v = 0;
    while (ops_.ExpressionFetch(ops_.self, 1, &v) == 1) out.push_back(v);
    ops_.ExpressionFetch(ops_.self, 0, nullptr);
    return out;
  }

  // The module's save sequence for one numeric result: values formatted in a
  // field of 32 characters; prepare before or after the writes.
  void save(int c1, const std::vector<std::string>& cells, bool prepare_first) {
    ops_.BeginSheetAccess(ops_.self, 0);
    const int rows = static_cast<int>(cells.size());
    if (prepare_first) {
      EXPECT_EQ(ops_.PrepareColumn(ops_.self, c1, rows, 0), 1);
    }
    for (int r = 0; r < rows; ++r)
      EXPECT_EQ(ops_.WriteCell(ops_.self, c1, r + 1, cells[r].c_str()), 1);
    if (!prepare_first) {
      EXPECT_EQ(ops_.PrepareColumn(ops_.self, c1, rows, 0), 1);
    }
    ops_.EndSheetAccess(ops_.self);
  }

  DataSheet sheet_;
  SpreadState state_;
  ZtSpread ops_{};
};

TEST_F(SpreadOpsTest, ListsNamesInPaddedSlots) {
  std::vector<char> buffer(ZTQ_LIST_BUFFER, 'z');
  ASSERT_EQ(ops_.ListSheetVariables(ops_.self, buffer.data()), 3);
  EXPECT_STREQ(buffer.data(), "Diameter");
  EXPECT_STREQ(buffer.data() + 33, "Op Name");
  EXPECT_STREQ(buffer.data() + 66, "Y");
  for (int i = 8; i < 33; ++i) EXPECT_EQ(buffer[i], '\0') << "padding of slot 1 at " << i;
  EXPECT_EQ(buffer[99], 'z');  // nothing written past the last slot
}

TEST_F(SpreadOpsTest, DescribesColumns) {
  EXPECT_EQ(ops_.SheetRowCount(ops_.self), 3);
  EXPECT_EQ(ops_.VariableType(ops_.self, 0), 'N');
  EXPECT_EQ(ops_.VariableType(ops_.self, 1), 'C');
  EXPECT_EQ(ops_.VariableWidth(ops_.self, 1), 5);
  EXPECT_EQ(ops_.VariableWidth(ops_.self, 0), 1);
  char comment[256];
  EXPECT_EQ(ops_.VariableComment(ops_.self, 0, comment), 14);
  EXPECT_STREQ(comment, "mm at the bore");
  for (int bad : {-1, 3, 1000}) {
    EXPECT_EQ(ops_.VariableType(ops_.self, bad), 0);
    EXPECT_EQ(ops_.VariableWidth(ops_.self, bad), 0);
  }
}

TEST_F(SpreadOpsTest, ReadsCells) {
  ops_.BeginSheetAccess(ops_.self, 1);
  EXPECT_EQ(state_.access(), 1);
  EXPECT_EQ(read_number(1, 1), 1.5);
  EXPECT_EQ(read_number(1, 3), M);
  EXPECT_EQ(read_number(3, 3), M);  // beyond the short column
  char text[6] = "?????";
  EXPECT_EQ(ops_.ReadCell(ops_.self, 2, 2, text), 1);
  EXPECT_EQ(std::string(text, 5), "bob  ");
  EXPECT_EQ(ops_.ReadCell(ops_.self, 2, 3, text), 1);
  EXPECT_EQ(std::string(text, 5), "     ");
  double v = 7;
  EXPECT_EQ(ops_.ReadCell(ops_.self, 0, 1, &v), 0);
  EXPECT_EQ(ops_.ReadCell(ops_.self, 4, 1, &v), 0);
  EXPECT_EQ(ops_.ReadCell(ops_.self, 1, 0, &v), 0);
  EXPECT_EQ(ops_.ReadCell(ops_.self, 1, 1, nullptr), 0);
  EXPECT_EQ(v, 7);
  ops_.EndSheetAccess(ops_.self);
  EXPECT_EQ(state_.access(), -1);
}

TEST_F(SpreadOpsTest, EvaluatesAndFetches) {
  ASSERT_EQ(ops_.EvaluateExpression(ops_.self, "Diameter * 2 + Y"), 1);
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 0), 3);
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 1), 'N');
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 2), 1);
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 3), -1);
  EXPECT_EQ(fetch_all(), (std::vector<double>{13, 25, M}));  // 3+10, 5+20, missing
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 3), -1);    // closed by mode 0

  ASSERT_EQ(ops_.EvaluateExpression(ops_.self, " ( diameter ) "), 1);
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 3), 0);

  ASSERT_EQ(ops_.EvaluateExpression(ops_.self, "OpName"), 1);
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 1), 'C');
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 2), 5);
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 3), 1);
  char text[5];
  ASSERT_EQ(ops_.ExpressionFetch(ops_.self, 1, text), 1);
  EXPECT_EQ(std::string(text, 5), "ann  ");
  EXPECT_EQ(ops_.ExpressionFetch(ops_.self, 0, nullptr), 1);
  EXPECT_EQ(ops_.ExpressionFetch(ops_.self, 1, text), 0);

  ops_.SetEvaluationRows(ops_.self, 2);
  ASSERT_EQ(ops_.EvaluateExpression(ops_.self, "Row"), 1);
  EXPECT_EQ(fetch_all(), (std::vector<double>{1, 2}));
  ops_.SetEvaluationRows(ops_.self, 0);  // back to the sheet's rows
  ASSERT_EQ(ops_.EvaluateExpression(ops_.self, "Row"), 1);
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 0), 3);
}

TEST_F(SpreadOpsTest, InvalidExpressionKeepsItsMessage) {
  EXPECT_EQ(ops_.EvaluateExpression(ops_.self, "Diameter + nosuch"), 0);
  EXPECT_NE(state_.last_error().find("position 12"), std::string::npos) << state_.last_error();
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 0), 0);
  EXPECT_EQ(ops_.ExpressionResultInfo(ops_.self, 3), -1);
  double v = 0;
  EXPECT_EQ(ops_.ExpressionFetch(ops_.self, 1, &v), 0);
  EXPECT_EQ(ops_.EvaluateExpression(ops_.self, nullptr), 0);
  EXPECT_EQ(ops_.EvaluateExpression(ops_.self, std::string(20000, '(').c_str()), 0);
}

TEST_F(SpreadOpsTest, SavesANewColumnWithPrepareBeforeOrAfter) {
  // Both orders must leave the same column: 1.25, missing, 3.
  const std::vector<std::string> cells = {"                            1.25",
                                          "                          -32768",
                                          "                               3"};
  for (bool prepare_first : {true, false}) {
    SCOPED_TRACE(prepare_first ? "prepare first" : "prepare last");
    const std::string name = prepare_first ? "Mean1" : "Mean2";
    const int c1 = ops_.CreateColumn(ops_.self, name.c_str(), 'N', 14, 1);
    ASSERT_EQ(c1, static_cast<int>(sheet_.column_count()));
    save(c1, cells, prepare_first);
    EXPECT_EQ(read_number(c1, 1), 1.25);
    EXPECT_EQ(read_number(c1, 2), M);
    EXPECT_EQ(read_number(c1, 3), 3);
    EXPECT_EQ(sheet_.column(static_cast<std::size_t>(c1 - 1)).size(), 3u);
  }
  EXPECT_TRUE(state_.changed());
}

TEST_F(SpreadOpsTest, ReplacesAnExistingColumn) {
  // Diameter had 3 rows; the saved result has 2 and is longer than nothing else.
  ASSERT_EQ(ops_.DefineColumn(ops_.self, 1, 'N', 16, 1), 1);
  ASSERT_EQ(ops_.ClearColumn(ops_.self, 1), 1);
  save(1, {"7", "8"}, false);
  EXPECT_EQ(sheet_.column(0).numbers, (std::vector<double>{7, 8}));
  // A label result goes into a column retyped C, 20.
  ASSERT_EQ(ops_.DefineColumn(ops_.self, 3, 'C', 20, 1), 1);
  ASSERT_EQ(ops_.ClearColumn(ops_.self, 3), 1);
  save(3, {"Mean", "Sigma"}, true);
  EXPECT_EQ(ops_.VariableType(ops_.self, 2), 'C');
  EXPECT_EQ(ops_.VariableWidth(ops_.self, 2), 20);
  EXPECT_EQ(sheet_.text(2, 1), "Sigma");
}

TEST_F(SpreadOpsTest, ExtendsRowsAndWritesBeyond) {
  const int c1 = ops_.CreateColumn(ops_.self, "Long", 'N', 14, 1);
  ASSERT_EQ(ops_.ExtendSheetRows(ops_.self, 5), 1);
  EXPECT_EQ(ops_.SheetRowCount(ops_.self), 5);
  save(c1, {"1", "2", "3", "4", "5"}, true);
  EXPECT_EQ(read_number(1, 5), M);  // the extended rows of old columns read missing
  EXPECT_EQ(read_number(c1, 5), 5);
  EXPECT_EQ(ops_.WriteCell(ops_.self, c1, 2, "1,5"), 1);  // a regional decimal comma
  EXPECT_EQ(read_number(c1, 2), 1.5);
  EXPECT_EQ(ops_.WriteCell(ops_.self, c1, 3, "abc"), 0);  // no number: stored missing
  EXPECT_EQ(read_number(c1, 3), M);
  EXPECT_EQ(ops_.WriteCell(ops_.self, c1, 4, nullptr), 1);  // no text: missing
  EXPECT_EQ(read_number(c1, 4), M);
  EXPECT_EQ(ops_.ExtendSheetRows(ops_.self, -1), 0);
  EXPECT_EQ(ops_.ExtendSheetRows(ops_.self, INT32_MAX), 0);  // refused, not attempted
  EXPECT_EQ(ops_.WriteCell(ops_.self, c1, 0, "1"), 0);
}

TEST_F(SpreadOpsTest, ColumnNames) {
  struct Row {
    std::string name;
    int valid;
    const char* source;
  };
  const Row kRows[] = {
      {"Mean", 1, "letters"},
      {"x_1", 1, "letter, '_', digit"},
      {std::string(32, 'a'), 1, "32 characters"},
      {"1abc", 0, "a digit first"},
      {"_a", 0, "'_' first"},
      {"a b", 0, "a blank inside"},
      {"a-b", 0, "a minus sign"},
      {"", 0, "empty"},
      {"ROW", 0, "reserved: Row"},
      {"And", 0, "reserved: and"},
      {"or", 0, "reserved: or"},
      {"NOT", 0, "reserved: not"},
      {"Rows", 1, "not a reserved word"},
  };
  for (const Row& r : kRows)
    EXPECT_EQ(ops_.IsValidColumnName(ops_.self, r.name.c_str()) != 0, r.valid != 0) << r.source;
  EXPECT_EQ(ops_.IsValidColumnName(ops_.self, std::string(33, 'a').c_str()), 0);
  EXPECT_EQ(ops_.IsValidColumnName(ops_.self, nullptr), 0);
  EXPECT_EQ(ops_.CreateColumn(ops_.self, "diameter", 'N', 14, 1), 0);  // taken, without case
  EXPECT_EQ(ops_.CreateColumn(ops_.self, "OpName", 'N', 14, 1), 0);    // taken, without blanks
  EXPECT_EQ(ops_.CreateColumn(ops_.self, "Row", 'N', 14, 1), 0);
  EXPECT_EQ(ops_.CreateColumn(ops_.self, "Fine", 7, 14, 1), 0);  // no type letter
  EXPECT_EQ(sheet_.column_count(), 3u);
}

TEST_F(SpreadOpsTest, SubmittedCommands) {
  ASSERT_NE(ops_.SubmitCommandText(ops_.self, "Twice = Diameter * 2", 0, 0), 0);
  const int twice = sheet_.find("Twice");
  ASSERT_GE(twice, 0);
  EXPECT_EQ(sheet_.column(static_cast<std::size_t>(twice)).numbers, (std::vector<double>{3, 5, M}));
  // Overwrite, the column read before it is written.
  ASSERT_NE(ops_.SubmitExpressionText(ops_.self, "twice = Twice + (Y >= 20)"), 0);
  EXPECT_EQ(sheet_.column(static_cast<std::size_t>(twice)).numbers, (std::vector<double>{3, 6, M}));
  ASSERT_NE(ops_.SubmitExpressionText(ops_.self, "Who = OpName"), 0);
  EXPECT_EQ(ops_.VariableType(ops_.self, sheet_.find("Who")), 'C');
  ASSERT_NE(ops_.SubmitExpressionTextFor(ops_.self, 3, "Row * 100", 0), 0);
  EXPECT_EQ(sheet_.column(2).numbers, (std::vector<double>{100, 200, 300}));
  ASSERT_NE(ops_.SubmitCommandText(ops_.self, "Flag = OpName = 'bob'", 0, 0), 0);
  EXPECT_EQ(sheet_.column(static_cast<std::size_t>(sheet_.find("Flag"))).numbers,
            (std::vector<double>{0, 1, 0}));

  const std::size_t columns = sheet_.column_count();
  struct Bad {
    const char* text;
    const char* source;
  };
  const Bad kBad[] = {{"Bad Name = 1", "a blank in the new name"},
                      {"Z = nosuch + 1", "unknown name: nothing is made"},
                      {"Z + 1", "no target"},
                      {"x <= 1", "a comparison is no target"},
                      {"= 1", "no name"}};
  for (const Bad& b : kBad)
    EXPECT_EQ(ops_.SubmitCommandText(ops_.self, b.text, 0, 0), 0) << b.source;
  EXPECT_EQ(ops_.SubmitCommandText(ops_.self, nullptr, 0, 0), 0);
  EXPECT_EQ(ops_.SubmitExpressionTextFor(ops_.self, 99, "1", 0), 0);
  EXPECT_EQ(sheet_.column_count(), columns);
  EXPECT_EQ(ops_.SubmitExpressionText(ops_.self, "Twice = Twice +"), 0);
  EXPECT_EQ(sheet_.column(static_cast<std::size_t>(twice)).numbers, (std::vector<double>{3, 6, M}));
}

TEST(SpreadOpsNull, NullStateRefusesQuietly) {
  DataSheet sheet;
  SpreadState state(sheet);
  ZtSpread ops = make_spread_ops(state);
  ops.self = nullptr;
  EXPECT_EQ(ops.SheetRowCount(nullptr), 0);
  EXPECT_EQ(ops.EvaluateExpression(nullptr, "1"), 0);
  EXPECT_EQ(ops.ExpressionResultInfo(nullptr, 3), -1);
  EXPECT_EQ(ops.ListSheetVariables(&state, nullptr), 0);
}

}  // namespace
}  // namespace qualty
