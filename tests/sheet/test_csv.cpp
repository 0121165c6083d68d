// CSV reading and writing of the data sheet: accepted forms, round trips,
// and every malformed file refused with its line and column.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "host/sheet/csv.h"
#include "same_sheet.h"

namespace qualty {
namespace {

constexpr double M = kMissing;

using testing::expect_same;

TEST(CsvRead, MixedFileReadsAsWritten) {
  // Header with a quoted name; a numeric column with an empty cell; a text
  // column with quoted commas, doubled quotes and a line end inside quotes.
  const std::string text =
      "Diameter,\"Op, name\",Count\n"
      "10.5,\"Smith, J\",3\n"
      ",\"He said \"\"ok\"\"\",\n"
      "-1e-3,\"two\nlines\",7\n";
  const CsvLoad load = read_csv(text);
  const DataSheet& s = load.sheet;
  ASSERT_EQ(s.column_count(), 3u);
  EXPECT_EQ(s.column(1).name, "Op, name");
  EXPECT_EQ(s.column(0).type, 'N');
  EXPECT_EQ(s.column(1).type, 'C');
  EXPECT_EQ(s.column(2).type, 'N');
  EXPECT_EQ(s.row_count(), 3u);
  const double diameter[] = {10.5, M, -0.001};
  const double count[] = {3, M, 7};
  for (std::size_t r = 0; r < 3; ++r) {
    EXPECT_EQ(s.number(0, r), diameter[r]);
    EXPECT_EQ(s.number(2, r), count[r]);
  }
  EXPECT_EQ(s.text(1, 0), "Smith, J");
  EXPECT_EQ(s.text(1, 1), "He said \"ok\"");
  EXPECT_EQ(s.text(1, 2), "two\nlines");
  EXPECT_EQ(s.column(1).width, 12);  // "He said "ok"" is the longest text
  EXPECT_TRUE(load.warnings.empty());
}

TEST(CsvRead, AcceptedForms) {
  struct Row {
    const char* text;
    std::vector<double> first;  // the first column's values
    const char* source;
  };
  const Row kRows[] = {
      {"\xEF\xBB\xBF"
       "a,b\n1,2\n3,4\n",
       {1, 3},
       "UTF-8 byte-order mark skipped"},
      {"a,b\r\n1,2\r\n3,4\r\n", {1, 3}, "CR LF line ends"},
      {"a,b\r1,2\r3,4", {1, 3}, "CR line ends, no final line end"},
      {"a,b\n1,2\n3,4\n\n\n", {1, 3}, "empty lines at the end are no rows"},
      {"a,b\n1\n3,4\n", {1, 3}, "a short row is padded"},
      {"a,b\n\n3,4\n", {M, 3}, "an empty line inside the file is a row of missing values"},
      {"a,b\n +1.5 ,2\n-32768,4\n", {1.5, M}, "blanks and '+' around a number; -32768 is missing"},
      {"a,b\n.5,2\n5.,4\n", {0.5, 5}, "a point without digits on one side"},
      {"a,b\n1e-400,2\n2.5E+2,4\n", {0, 250}, "underflow reads as 0; exponent letters"},
      {" a ,b\n7,8\n", {7}, "blanks around a header name are dropped"},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.source);
    const CsvLoad load = read_csv(r.text);
    ASSERT_EQ(load.sheet.column_count(), 2u);
    EXPECT_EQ(load.sheet.column(0).name, "a");
    EXPECT_EQ(load.sheet.column(0).type, 'N');
    ASSERT_EQ(load.sheet.row_count(), r.first.size());
    for (std::size_t i = 0; i < r.first.size(); ++i) EXPECT_EQ(load.sheet.number(0, i), r.first[i]);
  }
}

TEST(CsvRead, PaddedShortRowReadsMissingAndBlank) {
  const CsvLoad load = read_csv("n,t\n1,x\n2\n");
  EXPECT_EQ(load.sheet.column(1).type, 'C');
  EXPECT_EQ(load.sheet.text(1, 1), "");
  EXPECT_EQ(load.sheet.column(1).texts.size(), 2u);
}

TEST(CsvRead, NoValueTextsAreMissingWithWarning) {
  // NaN and inf are no observations in a numeric column; in a column that
  // holds other text they stay text.
  const CsvLoad load = read_csv("v,w,name\nNaN,1,inf\ninf,2,x\n-Inf,NA,y\n4,#N/A,NaN\n");
  const DataSheet& s = load.sheet;
  const double v[] = {M, M, M, 4};
  const double w[] = {1, 2, M, M};
  for (std::size_t r = 0; r < 4; ++r) {
    EXPECT_EQ(s.number(0, r), v[r]);
    EXPECT_EQ(s.number(1, r), w[r]);
  }
  EXPECT_EQ(s.column(2).type, 'C');
  EXPECT_EQ(s.text(2, 0), "inf");
  ASSERT_EQ(load.warnings.size(), 2u);
  EXPECT_NE(load.warnings[0].find("\"v\": 3 cells"), std::string::npos) << load.warnings[0];
  EXPECT_NE(load.warnings[0].find("line 2"), std::string::npos) << load.warnings[0];
  EXPECT_NE(load.warnings[1].find("\"w\": 2 cells"), std::string::npos) << load.warnings[1];
  EXPECT_NE(load.warnings[1].find("line 4"), std::string::npos) << load.warnings[1];
}

TEST(CsvRead, MalformedFilesNameLineAndColumn) {
  struct Row {
    std::string text;
    const char* where;  // the start of the expected message
    const char* what;   // a phrase of it
  };
  const Row kRows[] = {
      {"", "line 1, column 1", "empty"},
      {"\r\n\n", "line 1, column 1", "empty"},
      {"a,b\n1,2\n3,4,5\n", "line 3, column 3", "more cells than the 2 names"},
      {"a,b\r\n1,2\r\n\"x\ny\",2,9\r\n", "line 4, column 3", "more cells"},
      {"a,,c\n1,2,3\n", "line 1, column 2", "name is empty"},
      {"a, ,c\n", "line 1, column 2", "name is empty"},
      {"a,b,a\n", "line 1, column 3", "repeats column 1"},
      {"Width,x,WIDTH\n", "line 1, column 3", "repeats column 1"},
      {"Part No,PartNo\n", "line 1, column 2", "repeats column 1"},
      {"a,b,\n1,2,\n", "line 1, column 3", "name is empty"},
      {"a,b\n1,\"open\n2,3\n", "line 2, column 2", "no closing quote"},
      {"a,b\n1,\"x\"y\n", "line 2, column 2", "after a closing quote"},
      {std::string("a,b\n1,2\n3,4", 11) + std::string(1, '\0') + "\n", "line 3, column 2", "NUL"},
      {"a," + std::string(33, 'n') + "\n", "line 1, column 2", "longer than 32"},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.text);
    try {
      (void)read_csv(r.text);
      ADD_FAILURE() << "accepted";
    } catch (const SheetError& e) {
      const std::string m = e.what();
      EXPECT_EQ(m.rfind(r.where, 0), 0u) << m;
      EXPECT_NE(m.find(r.what), std::string::npos) << m;
    }
  }
}

TEST(CsvRead, TenMegabyteLines) {
  // One text cell of 10 MB, and one line of 10 MB of numeric cells.
  const std::string big(10 << 20, 'q');
  const CsvLoad load = read_csv("id,text\n1,\"" + big + "\"\n2,short\n");
  EXPECT_EQ(load.sheet.text(1, 0).size(), big.size());
  EXPECT_EQ(load.sheet.column(1).width, static_cast<int>(big.size()));
  EXPECT_EQ(load.sheet.text(1, 1), "short");

  const std::size_t cells = 100000;
  std::string header;
  std::string row;
  for (std::size_t i = 0; i < cells; ++i) {
    header += (i ? ",c" : "c") + std::to_string(i);
    row += (i ? "," : "") + std::string(99, '1');  // 100 characters a cell: 10 MB a line
  }
  const CsvLoad wide = read_csv(header + "\n" + row + "\n");
  ASSERT_EQ(wide.sheet.column_count(), cells);
  EXPECT_EQ(wide.sheet.number(cells - 1, 0), std::stod(std::string(99, '1')));
}

TEST(CsvRoundTrip, ValuesComeBackIdentical) {
  const std::string text =
      "x,label,code,note\n"
      "0.1,\"a, b\",\"007\",\n"
      ",\" lead\",\"12\",\"\"\"quoted\"\"\"\n"
      "-0,plain,\"NaN\",\"line\r\nend\"\n"
      "1e-300,,\"-32768\",x\n";
  const CsvLoad first = read_csv(text);
  EXPECT_EQ(first.sheet.column(2).type, 'C');  // quoted digits stay text
  EXPECT_EQ(first.sheet.text(2, 0), "007");
  EXPECT_EQ(first.sheet.text(1, 1), " lead");
  const std::string written = write_csv(first.sheet);
  const CsvLoad second = read_csv(written);
  expect_same(first.sheet, second.sheet);
  EXPECT_EQ(write_csv(second.sheet), written);  // the written form is stable
}

TEST(CsvRoundTrip, DoublesKeepEveryBit) {
  const double kValues[] = {0.1,
                            1.0 / 3.0,
                            -2.5e-8,
                            std::numeric_limits<double>::max(),
                            std::numeric_limits<double>::denorm_min(),
                            std::numeric_limits<double>::min(),
                            -0.0,
                            123456789012345678.0,
                            M};
  Column col;
  col.name = "v";
  for (double v : kValues) col.numbers.values().push_back(v);
  const DataSheet sheet = DataSheet::from_columns({col});
  expect_same(sheet, read_csv(write_csv(sheet)).sheet);
}

TEST(CsvRoundTrip, AllBlankTextColumnStaysText) {
  Column blank;
  blank.name = "b";
  blank.type = 'C';
  blank.texts = {"", ""};
  Column n;
  n.name = "n";
  n.numbers = {1, 2};
  const DataSheet sheet = DataSheet::from_columns({blank, n});
  const CsvLoad back = read_csv(write_csv(sheet));
  EXPECT_EQ(back.sheet.column(0).type, 'C');
  expect_same(sheet, back.sheet);
}

// A non-finite number in the sheet (a saved result that overflowed) is
// written as a missing cell, never as "inf" or "nan".
TEST(CsvRoundTrip, NonFiniteNumbersAreWrittenAsMissing) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  Column c{"X", kNumericType, 1, {}, {1.5, kInf, -kInf, std::numeric_limits<double>::quiet_NaN()},
           {}};
  EXPECT_EQ(write_csv(DataSheet::from_columns({c})), "X\n1.5\n\n\n\n");
}

TEST(CsvFile, WritesAndReadsBack) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::string path = (dir / ("qualty_sheet_" + std::to_string(::getpid()) + ".csv")).string();
  const CsvLoad load = read_csv("a,b\n1,x\n2,y\n");
  write_csv_file(load.sheet, path);
  expect_same(load.sheet, read_csv_file(path).sheet);
  std::filesystem::remove(path);
}

TEST(CsvFile, UnreadableFileNamesIt) {
  for (const char* path : {"/nonexistent/dir/file.csv", "."}) {
    try {
      (void)read_csv_file(path);
      ADD_FAILURE() << "accepted " << path;
    } catch (const SheetError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace qualty
