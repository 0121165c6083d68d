// qualty on real files: CSV dialects, workbooks, and the files it refuses.
// The reference for every dialect is the same analysis of the bundled
// comma-and-point file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "harness.h"
#include "make_xlsx.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kData = std::string(QUALTY_SOURCE) + "/data/";

using harness::Outcome;
using harness::slurp;

fs::path scratch() { return harness::scratch("data-file", false); }

// Runs qualty with a profile of the given text (prefix: shell words before it).
Outcome qualty(const std::string& args, const std::string& profile = "",
               const std::string& prefix = "") {
  return harness::qualty_with_profile(args, profile, prefix);
}

const std::string kXbar = "run vchart --chart 0 --var data=Diameter --var subgroup=Sample --json ";

json results_of(const Outcome& o) {
  const json j = json::parse(o.out, nullptr, false);
  return j.is_object() ? j.value("results", json()) : json();
}

// data/diameters.csv with semicolons and decimal commas.
fs::path semicolon_copy() {
  std::string text = slurp(kData + "diameters.csv");
  for (char& c : text) c = c == ',' ? ';' : c == '.' ? ',' : c;
  const fs::path p = scratch() / "diameters-sc.csv";
  std::ofstream(p, std::ios::binary) << text;
  return p;
}

TEST(DataFile, SemicolonAndDecimalCommaGiveTheSameChart) {
  const Outcome want = qualty(kXbar + kData + "diameters.csv");
  ASSERT_EQ(want.status, 0) << want.err;
  const fs::path sc = semicolon_copy();
  const Outcome flag = qualty(kXbar + "--decimal , " + sc.string());
  ASSERT_EQ(flag.status, 0) << flag.err;
  EXPECT_EQ(results_of(flag), results_of(want));
  EXPECT_EQ(json::parse(flag.out)["panes"], json::parse(want.out)["panes"]);
  const Outcome regional = qualty(kXbar + sc.string(), "[Intl]\nsDecimal=,\n");
  ASSERT_EQ(regional.status, 0) << regional.err;
  EXPECT_EQ(results_of(regional), results_of(want));
  // Under the point the decimal commas are refused, not read as text.
  const Outcome point = qualty(kXbar + sc.string());
  EXPECT_EQ(point.status, 2);
  EXPECT_NE(point.err.find("line 2, column 2: \"25,397\" in column \"Diameter\" is a number with "
                           "a decimal comma"),
            std::string::npos)
      << point.err;
  EXPECT_NE(point.err.find("--decimal ,"), std::string::npos) << point.err;
}

TEST(DataFile, WorkbookGivesTheSameChartAsItsCsv) {
  // The workbook holds the cells of data/diameters.csv, the names as shared
  // strings, the diameters with a number format, the samples as formulas
  // with their saved results.
  std::ifstream in(kData + "diameters.csv");
  std::string line;
  std::getline(in, line);
  std::string rows = qualty::testing::xrow(1, qualty::testing::xcell("A1", "<v>0</v>", "s") +
                                                  qualty::testing::xcell("B1", "<v>1</v>", "s"));
  for (int r = 2; std::getline(in, line); ++r) {
    const std::string n = std::to_string(r);
    const size_t comma = line.find(',');
    rows += qualty::testing::xrow(
        r, qualty::testing::xcell(
               "A" + n, "<f>ROUNDUP((ROW()-1)/5,0)</f><v>" + line.substr(0, comma) + "</v>") +
               qualty::testing::xcell("B" + n, "<v>" + line.substr(comma + 1) + "</v>", "", 4));
  }
  const fs::path book = scratch() / "diameters.xlsx";
  qualty::testing::write_xlsx(book.string(), {{"Readings", rows}}, {"Sample", "Diameter"});
  const Outcome want = qualty(kXbar + kData + "diameters.csv");
  const Outcome got = qualty(kXbar + book.string());
  ASSERT_EQ(got.status, 0) << got.err;
  EXPECT_EQ(got.out, want.out);
  const Outcome named = qualty(kXbar + "--sheet readings " + book.string());
  EXPECT_EQ(named.out, want.out);
  const Outcome nope = qualty(kXbar + "--sheet Nope " + book.string());
  EXPECT_EQ(nope.status, 2);
  EXPECT_NE(nope.err.find("no worksheet \"Nope\" (worksheets: Readings)"), std::string::npos)
      << nope.err;
}

TEST(DataFile, EndlessOrHugeFilesAreRefused) {
  const Outcome zero = qualty("run pareto --var raw=A /dev/zero");
  EXPECT_EQ(zero.status, 2);
  EXPECT_EQ(zero.err,
            "qualty: cannot read the data file \"/dev/zero\": it is no regular file "
            "(a device, a pipe or a socket)\n");
  const Outcome big = qualty(kXbar + "--max-size 1K " + kData + "diameters.csv");
  EXPECT_EQ(big.status, 2);
  EXPECT_NE(big.err.find("more than the limit of 1024 bytes (--max-size raises the limit)"),
            std::string::npos)
      << big.err;
  EXPECT_EQ(qualty(kXbar + "--max-size 4K " + kData + "diameters.csv").status, 0);
  EXPECT_EQ(qualty(kXbar + "--max-size lots " + kData + "diameters.csv").status, 2);
  EXPECT_EQ(qualty(kXbar + "--sep : " + kData + "diameters.csv").status, 2);
  const fs::path mixed = scratch() / "mixed.csv";
  std::ofstream(mixed) << "Sample;Diameter\n1;25.4\n1,25.5\n";
  const Outcome m = qualty(kXbar + mixed.string());
  EXPECT_EQ(m.status, 2);
  EXPECT_NE(m.err.find("line 3, column 1: the line is separated by ','"), std::string::npos)
      << m.err;
  EXPECT_NE(m.err.find("(--sep names the separator)"), std::string::npos) << m.err;
}

TEST(DataFile, AllocationFailureIsAMessageAndNothingIsWritten) {
  // 200,000 texts of 200 characters take 48 MB as cells (a text and its
  // heap block), more than the 80 MB of address space the run is given holds
  // beside the program and its libraries (under 60 MB: the chart of the
  // bundled data runs in 60 MB).
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#endif
  const fs::path dir = scratch();
  const fs::path data = dir / "wide.csv";
  {
    std::ofstream out(data, std::ios::binary);
    out << "A\n";
    for (int i = 0; i < 200000; ++i) out << "defect-" << i << std::string(190, 'x') << "\n";
  }
  const fs::path sheet_out = dir / "out.csv";
  fs::remove(sheet_out);
  const std::string args =
      "run pareto --var raw=A --sheet-out " + sheet_out.string() + " " + data.string();
  const Outcome r = qualty(args, "", "ulimit -v 80000; ");
  EXPECT_EQ(r.status, 2) << r.err;
  // The module may meet the shortage first and show its own message too.
  const std::string last =
      "qualty: not enough memory: an allocation failed (nothing was written)\n";
  ASSERT_GE(r.err.size(), last.size());
  EXPECT_EQ(r.err.substr(r.err.size() - last.size()), last) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(fs::exists(sheet_out));
  const Outcome small = qualty(kXbar + kData + "diameters.csv", "", "ulimit -v 60000; ");
  EXPECT_EQ(small.status, 0) << small.err;
  fs::remove(data);
}

TEST(DataFile, ByteOrderMarkKeptThroughSheetOut) {
  const fs::path dir = scratch();
  const fs::path in = dir / "bom.csv";
  const std::string body = slurp(kData + "diameters.csv");
  std::ofstream(in, std::ios::binary) << "\xEF\xBB\xBF" << body;
  const fs::path out = dir / "bom-out.csv";
  const Outcome r = qualty(
      "run vchart --chart 0 --var data=Diameter --var subgroup=Sample "
      "--sheet-out " +
      out.string() + " " + in.string());
  ASSERT_EQ(r.status, 0) << r.err;
  // The numbers are written in their shortest form (25.41 for 25.410).
  const std::string written = slurp(out);
  EXPECT_EQ(written.substr(0, 19), "\xEF\xBB\xBFSample,Diameter\n");
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 126);
}

}  // namespace
