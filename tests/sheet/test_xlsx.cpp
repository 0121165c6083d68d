// Excel workbooks read into the data sheet: the same sheet as the CSV
// export of the same cells, worksheets by name, and every bad workbook refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/sheet/csv.h"
#include "host/sheet/xlsx.h"
#include "make_xlsx.h"

namespace qualty {
namespace {

using testing::write_xlsx;
using testing::xcell;
using testing::xrow;

std::string temp_path(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("qualty_xlsx_" + std::to_string(::getpid()) + "_" + name))
      .string();
}

// Shared strings: 0 Sample, 1 Diameter, 2 Made, 3 Shift, 4 A, 5 B.
const std::vector<std::string> kShared = {"Sample", "Diameter", "Made", "Shift", "A", "B"};

// Excel's serial 45292 is 1 January 2024 (its 1900 system counts a 29
// February 1900); the data sheet's day value of that date is 45291.
std::string diameters_rows() {
  return xrow(1, xcell("A1", "<v>0</v>", "s") + xcell("B1", "<v>1</v>", "s") +
                     xcell("C1", "<v>2</v>", "s") + xcell("D1", "<v>3</v>", "s")) +
         xrow(2, xcell("A2", "<v>1</v>") + xcell("B2", "<v>74.03</v>", "", 4) +
                     xcell("C2", "<v>45292</v>", "", 1) + xcell("D2", "<v>4</v>", "s")) +
         xrow(3, xcell("A3", "<f>A2+1</f><v>2</v>") + xcell("B3", "<v>73.995</v>") +
                     xcell("C3", "<v>45293.5</v>", "", 1) +
                     xcell("D3", "<is><t>B</t></is>", "inlineStr")) +
         // row 4 is left out: a row of missing values
         xrow(5, xcell("A5", "<v>4</v>") + xcell("B5", "<v>#N/A</v>", "e") +
                     xcell("C5", "<v>45322</v>", "", 1) +
                     xcell("D5", "<f>IF(1,\"A\",\"B\")</f><v>A</v>", "str"));
}

TEST(Xlsx, ReadsAsItsCsvExport) {
  const std::string path = temp_path("diameters.xlsx");
  write_xlsx(path, {{"Data", diameters_rows()}}, kShared);
  const CsvLoad book = read_xlsx_file(path, "");
  std::filesystem::remove(path);
  // The same cells as a spreadsheet exports them (dates in ISO form).
  const CsvLoad csv = read_csv(
      "Sample,Diameter,Made,Shift\n1,74.03,2024-01-01,A\n2,73.995,2024-01-02 12:00,B\n"
      ",,,\n4,#N/A,2024-02-01,A\n");
  ASSERT_EQ(book.sheet.column_count(), 4u);
  ASSERT_EQ(book.sheet.row_count(), 4u);
  for (std::size_t c : {0u, 1u, 3u}) {
    EXPECT_EQ(book.sheet.column(c).name, csv.sheet.column(c).name);
    EXPECT_EQ(book.sheet.column(c).type, csv.sheet.column(c).type) << c;
    for (std::size_t r = 0; r < 4; ++r) {
      EXPECT_EQ(book.sheet.number(c, r), csv.sheet.number(c, r)) << c << "," << r;
      EXPECT_EQ(book.sheet.text(c, r), csv.sheet.text(c, r)) << c << "," << r;
    }
  }
  // #N/A in the CSV is missing; in the workbook an error value, missing too.
  EXPECT_EQ(book.sheet.column(2).type, kDateType);
  const double made[] = {45291, 45292.5, kMissing, 45321};  // 45291 + 30 for 1 February
  for (std::size_t r = 0; r < 4; ++r) EXPECT_EQ(book.sheet.number(2, r), made[r]) << r;
  ASSERT_EQ(book.warnings.size(), 1u);
  EXPECT_NE(book.warnings[0].find("B5 #N/A"), std::string::npos) << book.warnings[0];
}

TEST(Xlsx, WorksheetsByNameAndTheDateSystems) {
  const std::string path = temp_path("two.xlsx");
  const std::string lots = xrow(1, xcell("A1", "<is><t>Lot</t></is>", "inlineStr") +
                                       xcell("B1", "<is><t>Day</t></is>", "inlineStr")) +
                           xrow(2, xcell("A2", "<v>1</v>", "b") + xcell("B2", "<v>0</v>", "", 2)) +
                           xrow(3, xcell("A3", "<v>0</v>", "b") + xcell("B3", "<v>1</v>", "", 2));
  write_xlsx(path, {{"Data", diameters_rows()}, {"Lots", lots}}, kShared, true);
  const CsvLoad load = read_xlsx_file(path, "lots");
  EXPECT_EQ(load.sheet.column(0).name, "Lot");
  EXPECT_EQ(load.sheet.number(0, 0), 1.0);  // TRUE
  EXPECT_EQ(load.sheet.number(0, 1), 0.0);
  // 1904 system: serial 0 is 1 January 1904, four years of 365 days after day 1.
  EXPECT_EQ(load.sheet.column(1).type, kDateType);
  EXPECT_EQ(load.sheet.number(1, 0), 1.0 + 4 * 365);
  EXPECT_EQ(load.sheet.number(1, 1), 2.0 + 4 * 365);
  try {
    (void)read_xlsx_file(path, "Nope");
    ADD_FAILURE() << "read a worksheet that does not exist";
  } catch (const SheetError& e) {
    EXPECT_NE(std::string(e.what()).find("no worksheet \"Nope\" (worksheets: Data, Lots)"),
              std::string::npos)
        << e.what();
  }
  std::filesystem::remove(path);
}

TEST(Xlsx, BadWorkbooksAreRefusedClearly) {
  const std::string path = temp_path("bad.xlsx");
  struct Row {
    std::string rows;  // the worksheet, or empty for raw bytes below
    std::string bytes;
    const char* phrase;
  };
  std::string good_zip;
  {
    write_xlsx(path, {{"Data", diameters_rows()}}, kShared);
    std::ifstream in(path, std::ios::binary);
    good_zip.assign(std::istreambuf_iterator<char>(in), {});
  }
  const Row kRows[] = {
      {xrow(1, xcell("A1", "<v>0</v>", "s")) + xrow(2, xcell("A2", "<f>SUM(B1:B9)</f>")), "",
       "cell A2 holds a formula without a saved result"},
      {xrow(1, xcell("A1", "<v>0</v>", "s")) + xrow(2, xcell("C2", "<v>5</v>")), "",
       "cell C2 lies beyond the 1 named columns"},
      {xrow(1, xcell("A1", "<v>0</v>", "s") + xcell("C1", "<v>1</v>", "s")), "",
       "cell B1: the column name is empty"},
      {"<row r=\"1\"/>", "", "the worksheet is empty"},
      {xrow(1, xcell("A1", "<v>0</v>", "s")) + xrow(3, xcell("A3", "<v>1</v>")) +
           xrow(2, xcell("A2", "<v>2</v>")),
       "", "damaged: row 2 comes after row 3"},
      {xrow(1, xcell("A1", "<v>0</v>", "s")) + xrow(2000000, xcell("A2000000", "<v>1</v>")), "",
       "damaged: row 2000000"},
      {xrow(1, xcell("B1", "<v>0</v>", "s") + xcell("A1", "<v>1</v>", "s")), "",
       "damaged: cell A1 comes after a cell to its right"},
      {xrow(1, xcell("A1", "<v>99</v>", "s")), "", "names no shared string"},
      {"", "Sample,Diameter\n1,2\n", "no zip archive"},
      {"", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(512, '\0'),
       "password-protected"},
      {"", good_zip.substr(0, good_zip.size() / 2), ""},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.phrase);
    if (r.bytes.empty())
      write_xlsx(path, {{"Data", r.rows}}, kShared);
    else
      std::ofstream(path, std::ios::binary) << r.bytes;
    try {
      (void)read_xlsx_file(path, "");
      ADD_FAILURE() << "accepted";
    } catch (const SheetError& e) {
      const std::string m = e.what();
      EXPECT_EQ(m.rfind(path + ": ", 0), 0u) << m;
      EXPECT_NE(m.find(r.phrase), std::string::npos) << m;
    }
  }
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace qualty
