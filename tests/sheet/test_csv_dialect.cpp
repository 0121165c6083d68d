// CSV dialects (separators, decimal commas), date columns, streaming in
// pieces, and the file checks of the CSV reader.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "host/sheet/csv.h"
#include "host/sheet/csv_parse.h"
#include "host/sheet/date_text.h"
#include "same_sheet.h"

namespace qualty {
namespace {

constexpr double M = kMissing;

CsvOptions with(char sep, char decimal, const char* short_date = "M/D/YY") {
  CsvOptions o;
  o.separator = sep;
  o.decimal = decimal;
  o.short_date = short_date;
  return o;
}

using testing::expect_same;

TEST(CsvDialect, SeparatorsAndDecimalCommasReadTheSameNumbers) {
  const DataSheet want = read_csv("Part,Width,Shift\n1,10.25,A\n2,-0.5,B\n3,,C\n").sheet;
  struct Row {
    const char* text;
    CsvOptions options;
    const char* source;
  };
  const Row kRows[] = {
      {"Part;Width;Shift\n1;10,25;A\n2;-0,5;B\n3;;C\n", with(0, ','), "semicolon found, comma"},
      {"Part;Width;Shift\n1;10.25;A\n2;-0.5;B\n3;;C\n", with(0, '.'), "semicolon with points"},
      {"Part;Width;Shift\n1;10.25;A\n2;-0,5;B\n3;;C\n", with(0, ','), "both marks under comma"},
      {"Part\tWidth\tShift\n1\t10.25\tA\n2\t-0.5\tB\n3\t\tC\n", with(0, '.'), "tab found"},
      {"Part\tWidth\tShift\r\n1\t10,25\tA\r\n2\t-0,5\tB\r\n3\t\tC\r\n", with('\t', ','),
       "tab given, CR LF"},
      {"Part,Width,Shift\n1,10.25,A\n2,-0.5,B\n3,,C\n", with(0, ','),
       "a comma separator leaves the point as the decimal mark"},
      {"\"Part\";\"Width\";Shift\n1;\"x;y\";A\n", with(0, '.'), "quoted names: still semicolon"},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.source);
    const CsvLoad load = read_csv(r.text, r.options);
    if (std::string(r.source).find("quoted") != std::string::npos) {
      EXPECT_EQ(load.separator, ';');
      EXPECT_EQ(load.sheet.text(1, 0), "x;y");
      continue;
    }
    expect_same(load.sheet, want);
  }
}

TEST(CsvDialect, RefusalsSayWhatIsWrong) {
  struct Row {
    const char* text;
    CsvOptions options;
    const char* phrase;
  };
  const Row kRows[] = {
      {"a;b;c\n1;2;3\n4,5,6\n", with(0, '.'), "line 3, column 1: the line is separated by ','"},
      {"a\tb\n1,2\n", with(0, '.'), "mixes separators"},
      {"Day;Width\n1;10,5\n2;11\n", with(0, '.'),
       "line 2, column 2: \"10,5\" in column \"Width\" is a number with a decimal comma"},
  };
  for (const Row& r : kRows) {
    try {
      (void)read_csv(r.text, r.options);
      ADD_FAILURE() << "accepted " << r.text;
    } catch (const SheetError& e) {
      EXPECT_NE(std::string(e.what()).find(r.phrase), std::string::npos) << e.what();
    }
  }
  // A separator given is taken at its word: the comma line is one cell.
  const CsvLoad given = read_csv("a;b\nSmith, J\n", with(';', '.'));
  EXPECT_EQ(given.sheet.text(0, 0), "Smith, J");
  // Text with one comma among other texts is text, not a decimal comma.
  const CsvLoad names = read_csv("Who;n\nSmith, J;1\n1,5;2\n", with(0, '.'));
  EXPECT_EQ(names.sheet.column(0).type, kCharacterType);
  EXPECT_EQ(names.sheet.text(0, 1), "1,5");
}

TEST(CsvDates, ColumnsOfOneDateFormBecomeDateColumns) {
  // Day values count from 1 = 1900-01-01. 2000-01-01 is 36525 (100 years of
  // 365 days plus 24 leap days, 1900 being no leap year, plus 1); 2024-01-01
  // adds 24 x 365 + 6 leap days (2000 .. 2020) = 8766: 45291; 31 March 2024
  // adds 31 + 29 + 30 = 90: 45381.
  struct Row {
    const char* cell;
    const char* picture;
    double want;
  };
  const Row kRows[] = {
      {"2024-03-31", "M/D/YY", 45381},
      {"2024-03-31 12:00", "M/D/YY", 45381.5},
      {"2024-03-31T06:00:00", "M/D/YY", 45381.25},
      {"31.03.2024", "DD.MM.YYYY", 45381},
      {"3/31/24", "M/D/YY", 45381},
      {"1/1/2000", "M/D/YY", 36525},
      // 1930-01-01: 70 years of 365 days and 17 leap days (1932 .. 1996) before 2000-01-01
      {"01.01.30", "DD.MM.YY", 36525 - 70 * 365 - 17},
      {"29.02.2024", "DD.MM.YYYY", 45291 + 59},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.cell);
    const CsvLoad load =
        read_csv(std::string("When;n\n") + r.cell + ";1\n;2\n", with(0, ',', r.picture));
    EXPECT_EQ(load.sheet.column(0).type, kDateType);
    EXPECT_DOUBLE_EQ(load.sheet.number(0, 0), r.want);
    EXPECT_EQ(load.sheet.number(0, 1), M);
  }
  struct Text {
    const char* column;
    const char* why;
  };
  const Text kTexts[] = {
      {"2024-03-31\n31.03.2024\n", "two forms in one column"},
      {"30.02.2024\n", "no such day"},
      {"2024-03-31\n7\n", "a number among dates"},
      {"31.03.2024 25:00\n", "no such hour"},
      {"1899-12-31\n", "before 1900"},
  };
  for (const Text& t : kTexts) {
    SCOPED_TRACE(t.why);
    const CsvLoad load = read_csv(std::string("When\n") + t.column, with(0, ',', "DD.MM.YYYY"));
    EXPECT_EQ(load.sheet.column(0).type, kCharacterType);
    EXPECT_EQ(load.sheet.text(0, 0),
              std::string(t.column).substr(0, std::string(t.column).find('\n')));
  }
}

TEST(CsvDates, WrittenAsIsoAndReadBack) {
  const CsvLoad load =
      read_csv("When;x\n31.12.1999 23:59:59;1\n;2\n01.03.1900;3\n", with(0, ',', "DD.MM.YYYY"));
  const std::string written = write_csv(load.sheet);
  EXPECT_EQ(written, "When,x\n1999-12-31 23:59:59,1\n,2\n1900-03-01,3\n");
  expect_same(read_csv(written).sheet, load.sheet);
}

TEST(CsvRead, NumbersAreTheValuesFromCharsGives) {
  // Random decimals of 1 to 17 digits with a sign and a mark anywhere, some
  // with exponents: the reader's value must be the correctly rounded one,
  // bit for bit what std::from_chars reads from the same text.
  std::mt19937_64 random(1990);
  std::vector<std::string> cells;
  std::string point = "x\n", comma = "x\n";
  for (int i = 0; i < 20000; ++i) {
    const int digits = 1 + static_cast<int>(random() % 17);
    std::string t = random() % 2 ? "-" : "";
    const int mark = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
    for (int d = 0; d < digits; ++d) {
      if (d == mark && d > 0) t += '.';
      t += static_cast<char>('0' + random() % 10);
    }
    if (random() % 10 == 0) t += "e" + std::to_string(static_cast<int>(random() % 40) - 20);
    cells.push_back(t);
    point += t + "\n";
    std::string c = t;
    for (char& ch : c) ch = ch == '.' ? ',' : ch;
    comma += c + "\n";
  }
  const CsvLoad a = read_csv(point, with(0, '.'));
  const CsvLoad b = read_csv(comma, with(';', ','));
  ASSERT_EQ(a.sheet.row_count(), cells.size());
  for (std::size_t r = 0; r < cells.size(); ++r) {
    double want = 0;
    std::from_chars(cells[r].data(), cells[r].data() + cells[r].size(), want);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(a.sheet.number(0, r)),
              std::bit_cast<std::uint64_t>(want))
        << cells[r];
    EXPECT_EQ(std::bit_cast<std::uint64_t>(b.sheet.number(0, r)),
              std::bit_cast<std::uint64_t>(want))
        << cells[r];
  }
}

TEST(CsvRead, TextAfterNumbersKeepsTheTextsAsWritten) {
  // The column reads 007 and 1.50 as numbers until "x" turns it to text;
  // the texts are then read again as written, not as the numbers print.
  const CsvLoad load = read_csv("code,n\n007,1\n1.50,2\n,3\nx,4\n+2,5\n");
  EXPECT_EQ(load.sheet.column(0).type, kCharacterType);
  const char* want[] = {"007", "1.50", "", "x", "+2"};
  for (std::size_t r = 0; r < 5; ++r) EXPECT_EQ(load.sheet.text(0, r), want[r]) << r;
}

// Feeds text to the parser in pieces of `piece` bytes, as the file reader does.
CsvLoad read_in_pieces(const std::string& text, std::size_t piece, const CsvOptions& o) {
  const auto run = [&](csv_detail::CsvParser& p) {
    std::string buffer;
    std::size_t at = 0;
    for (;;) {
      const std::size_t n = std::min(piece, text.size() - at);
      buffer.append(text, at, n);
      at += n;
      const bool eof = at == text.size();
      const std::size_t used = p.feed(buffer.data(), buffer.data() + buffer.size(), eof);
      if (eof) return;
      buffer.erase(0, used);
    }
  };
  csv_detail::CsvParser first(o);
  run(first);
  if (first.needs_texts()) {
    csv_detail::CsvParser second(o);
    second.collect_texts_from(first);
    run(second);
  }
  return first.finish();
}

TEST(CsvRead, MissingValueWrittenAsNumberWarnsOnce) {
  // -32768 is the missing value: read as missing, reported once per column,
  // in a piece cut anywhere (the count is taken back with a cut row).
  const std::string text = "a;b\n1;-32768\n-32768;2\n3;-32768\n";
  for (std::size_t piece : {1u, 3u, 100u}) {
    const CsvLoad load = read_in_pieces(text, piece, with(0, '.'));
    EXPECT_EQ(load.sheet.number(1, 0), M);
    ASSERT_EQ(load.warnings.size(), 2u) << piece;
    EXPECT_EQ(load.warnings[0],
              "column 1 \"a\": 1 cells of -32768, the missing value, read as missing (first on "
              "line 3)");
    EXPECT_NE(load.warnings[1].find("\"b\": 2 cells of -32768"), std::string::npos);
  }
}

TEST(CsvStream, EverySplitReadsAsTheWhole) {
  const std::string texts[] = {
      "\xEF\xBB\xBF"
      "a,\"b\"\"q\",c\r\n1.5,\"x,\r\ny\",NaN\r\n\r\n-2e3,,7\r\n3,z,\r\n\r\n",
      "code;v\n007;1,5\n1;2\nx;3\n",
      "a\n1\n\n2\r\r\n",
  };
  for (const std::string& text : texts) {
    const CsvOptions o = with(0, ',');
    const CsvLoad whole = read_csv(text, o);
    for (std::size_t piece = 1; piece <= text.size(); ++piece) {
      SCOPED_TRACE("pieces of " + std::to_string(piece));
      const CsvLoad parts = read_in_pieces(text, piece, o);
      expect_same(parts.sheet, whole.sheet);
      EXPECT_EQ(parts.warnings, whole.warnings);
    }
  }
}

TEST(CsvRoundTrip, SemicolonsAndTabsInTextsKeepTheColumns) {
  // Written with commas, a name or text holding ';' or TAB is quoted, so that
  // the separator found on reading it back is the comma again.
  const CsvLoad load = read_csv("\"a;b\",c\tt\nx;y,1\n", with(',', '.'));
  ASSERT_EQ(load.sheet.column_count(), 2u);
  const std::string written = write_csv(load.sheet);
  EXPECT_EQ(written, "\"a;b\",\"c\tt\"\n\"x;y\",1\n");
  expect_same(read_csv(written).sheet, load.sheet);
}

TEST(CsvRead, ByteOrderMarkComesBackOnWriting) {
  const std::string text =
      "\xEF\xBB\xBF"
      "Diameter,n\n1.5,2\n";
  const CsvLoad load = read_csv(text);
  EXPECT_EQ(load.sheet.column(0).name, "Diameter");
  EXPECT_EQ(write_csv(load.sheet), text);
  EXPECT_EQ(write_csv(read_csv("Diameter,n\n1.5,2\n").sheet), "Diameter,n\n1.5,2\n");
}

// The fuzzer's find: a first name that itself begins with a byte-order mark
// lost it on writing, the reader taking it for the file's own mark.
TEST(CsvRead, FirstNameBeginningWithAMarkKeepsItOnWriting) {
  const std::string mark = "\xEF\xBB\xBF";
  for (const std::string& text : {mark + mark + "A,n\n1,2\n", "\"" + mark + "A\",n\n1,2\n"}) {
    const CsvLoad load = read_csv(text);
    ASSERT_EQ(load.sheet.column(0).name, mark + "A") << text;
    const CsvLoad again = read_csv(write_csv(load.sheet));
    ASSERT_EQ(again.sheet.column_count(), 2u);
    EXPECT_EQ(again.sheet.column(0).name, mark + "A");
  }
  const CsvLoad found = read_csv(mark + mark + "\r\r\r\rN");  // the fuzzer's input itself
  EXPECT_EQ(read_csv(write_csv(found.sheet)).sheet.column_count(), found.sheet.column_count());
}

TEST(CsvFile, RefusesWhatIsNoRegularFileOrTooLarge) {
  for (const char* path : {"/dev/zero", "/dev/null"}) {
    try {
      (void)read_csv_file(path);
      ADD_FAILURE() << "read " << path;
    } catch (const SheetError& e) {
      EXPECT_NE(std::string(e.what()).find("no regular file"), std::string::npos) << e.what();
    }
  }
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("qualty_dialect_" + std::to_string(::getpid()) + ".csv"))
                               .string();
  std::ofstream(path) << "a\n1\n2\n";  // 6 bytes
  CsvOptions small;
  small.max_bytes = 5;
  EXPECT_THROW((void)read_csv_file(path, small), FileTooLarge);
  small.max_bytes = 6;
  EXPECT_EQ(read_csv_file(path, small).sheet.row_count(), 2u);
  small.max_bytes = 0;  // no limit
  EXPECT_EQ(read_csv_file(path, small).sheet.row_count(), 2u);
  std::filesystem::remove(path);
}

TEST(CsvFile, LongFileAcrossPiecesReadsEveryRow) {
  // 300,000 rows of about 12 bytes: several pieces of 1 MiB, with rows and a
  // quoted line end cut at the pieces' edges.
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("qualty_dialect_long_" + std::to_string(::getpid()) + ".csv"))
                               .string();
  std::string text = "n;v;t\n";
  for (int i = 0; i < 300000; ++i)
    text += std::to_string(i) + ";" + std::to_string(i % 97) + ",25;" +
            (i % 1000 == 0 ? "\"a\nb\"" : "") + "\n";
  std::ofstream(path, std::ios::binary) << text;
  const CsvLoad load = read_csv_file(path, with(0, ','));
  std::filesystem::remove(path);
  ASSERT_EQ(load.sheet.row_count(), 300000u);
  for (std::size_t r : {0u, 87381u, 299999u}) {
    EXPECT_EQ(load.sheet.number(0, r), static_cast<double>(r));
    EXPECT_EQ(load.sheet.number(1, r), static_cast<double>(r % 97) + 0.25);
  }
  EXPECT_EQ(load.sheet.text(2, 1000), "a\nb");
}

}  // namespace
}  // namespace qualty
