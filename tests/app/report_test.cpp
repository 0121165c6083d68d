// qualty run --report and qualty report as a black box: the files written,
// their text, their failures, and a report of 10^5 points.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "harness.h"

namespace {

namespace fs = std::filesystem;

const std::string kData = std::string(QUALTY_SOURCE) + "/data/";

using harness::Outcome;
using harness::slurp;

fs::path scratch(const std::string& name) { return harness::scratch("report-" + name); }

// Runs a command line, standard error folded into the output.
Outcome shell(const std::string& cmd) { return harness::shell(cmd + " 2>&1"); }

Outcome qualty(const std::string& args) {
  return shell(std::string(QUALTY_BIN) + "/qualty --profile " +
               harness::temp("report.ini").string() + " " + args);
}

size_t count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + what.size())) ++n;
  return n;
}

// CRC-32 bit by bit (the reflected polynomial 0xEDB88320, no table): a second
// way to the checksum the report prints.
std::string crc_hex(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08x", ~crc);
  return buf;
}

// The X-bar and R chart of the bundled diameters; the data sheet goes last,
// after the options (--var takes several values).
std::string xbar_r(const std::string& options) {
  return "run vchart --var data=Diameter --var subgroup=Sample " + options + " " + kData +
         "diameters.csv";
}

TEST(Report, RunWritesOneSelfContainedPage) {
  const fs::path dir = scratch("run");
  const Outcome r = qualty(xbar_r("--report " + (dir / "r.html").string()));
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string html = slurp(dir / "r.html");
  EXPECT_NE(html.find("diameters.csv"), std::string::npos);
  EXPECT_NE(html.find(crc_hex(slurp(kData + "diameters.csv"))), std::string::npos);
  EXPECT_NE(html.find(std::to_string(fs::file_size(kData + "diameters.csv"))), std::string::npos);
  EXPECT_GE(count(html, "<section class=\"pane\""), 2u);
  EXPECT_GE(count(html, "<svg"), 1u);
  EXPECT_NE(html.find("UCL"), std::string::npos);  // the chart's limit lines are labelled
  EXPECT_NE(html.find("<aside class=\"advice\">"), std::string::npos);
  EXPECT_NE(html.find("<td>data</td><td>Diameter</td>"), std::string::npos);
  // Nothing fetched: no link, image, script or address (the SVG namespace is a name).
  for (const char* outside : {"<link", "<img", "<script", "src=", "href=\"http", "url(http"})
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  // The panes still print as qualty run prints them.
  EXPECT_NE(r.out.find("X-bar"), std::string::npos) << r.out;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(Report, CombinesSavedAnalysesWithContentsAndPdf) {
  const fs::path dir = scratch("combine");
  ASSERT_EQ(qualty(xbar_r("--analysis-out " + (dir / "x.json").string())).status, 0);
  ASSERT_EQ(qualty("run pareto --var raw=Defect --analysis-out " + (dir / "p.json").string() + " " +
                   kData + "defects.csv")
                .status,
            0);
  const std::string pairs = (dir / "x.json").string() + " " + kData + "diameters.csv " +
                            (dir / "p.json").string() + " " + kData + "defects.csv";
  Outcome r =
      qualty("report " + (dir / "all.html").string() + " " + pairs + " --title 'Line <3> & \"B\"'");
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string html = slurp(dir / "all.html");
  EXPECT_EQ(count(html, "<section class=\"analysis\""), 2u);
  EXPECT_EQ(count(html, "<li><a href=\"#a"), 2u);
  EXPECT_NE(html.find("<h1>Line &lt;3&gt; &amp; &quot;B&quot;</h1>"), std::string::npos);

  r = qualty("report " + (dir / "all.pdf").string() + " " + pairs);
  ASSERT_EQ(r.status, 0) << r.out;
  const Outcome pages = shell("pdfinfo " + (dir / "all.pdf").string());
  ASSERT_EQ(pages.status, 0) << pages.out;
  // The title page, a page for each analysis and one for each pane at least;
  // a long options table or pane runs onto more, never past twice that.
  const size_t panes = count(html, "<section class=\"pane\"");
  const size_t at = pages.out.find("Pages:");
  ASSERT_NE(at, std::string::npos) << pages.out;
  EXPECT_GE(std::stoul(pages.out.substr(at + 6)), 1 + 2 + panes) << pages.out;
  EXPECT_LE(std::stoul(pages.out.substr(at + 6)), 2 * (1 + 2 + panes)) << pages.out;
  const Outcome text = shell("pdftotext -layout " + (dir / "all.pdf").string() + " -");
  ASSERT_EQ(text.status, 0);
  // Numbers of the panes are text in the PDF: the upper limit of the X-bar
  // chart as its pane 1 prints it.
  const Outcome pane1 = qualty(xbar_r("--pane 1"));
  std::istringstream lines(pane1.out);
  std::string line, number;
  while (number.empty() && std::getline(lines, line))
    if (line.rfind("Upper limit, chart 1", 0) == 0) {
      line.erase(line.find_last_not_of(' ') + 1);
      number = line.substr(line.find_last_of(' ') + 1);
    }
  ASSERT_FALSE(number.empty()) << pane1.out;
  EXPECT_NE(text.out.find(number), std::string::npos) << number;
  EXPECT_EQ(shell("pdftoppm -r 40 -f 2 -l 2 -singlefile -png " + (dir / "all.pdf").string() + " " +
                  (dir / "page").string())
                .status,
            0);
  ASSERT_TRUE(fs::exists(dir / "page.png"));
  EXPECT_GT(fs::file_size(dir / "page.png"), 1000u);
}

TEST(Report, LabelsAreEscaped) {
  const fs::path dir = scratch("labels");
  std::ofstream(dir / "d.csv") << "Defect\n\"a<b\"\n\"a<b\"\n\"x & \"\"y\"\"\"\nplain\n";
  const Outcome r = qualty("run pareto --var raw=Defect --report " + (dir / "r.html").string() +
                           " " + (dir / "d.csv").string());
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string html = slurp(dir / "r.html");
  EXPECT_EQ(html.find("a<b"), std::string::npos);
  EXPECT_EQ(html.find("x & \"y\""), std::string::npos);
  EXPECT_NE(html.find("a&lt;b"), std::string::npos);
  EXPECT_NE(html.find("x &amp; &quot;y&quot;"), std::string::npos);
}

TEST(Report, RegionalSettings) {
  const fs::path dir = scratch("regional");
  std::ofstream(dir / "comma.ini") << "[Intl]\nsDecimal=,\nsShortdate=DD.MM.YYYY\n";
  const Outcome r =
      shell(std::string(QUALTY_BIN) + "/qualty --profile " + (dir / "comma.ini").string() + " " +
            xbar_r("--report " + (dir / "r.html").string()));
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string html = slurp(dir / "r.html");
  // The upper limit of the X-bar chart, 25.4135 with a decimal point elsewhere.
  EXPECT_NE(html.find("<td class=\"num\">25,4135</td>"), std::string::npos);
  EXPECT_EQ(html.find("25.4135"), std::string::npos);
  // The date as DD.MM.YYYY: two digits, a point, two digits, a point, four digits.
  const size_t at = html.find("Created ");
  ASSERT_NE(at, std::string::npos);
  const std::string date = html.substr(at + 8, 10);
  for (size_t k = 0; k < date.size(); ++k)
    EXPECT_TRUE(k == 2 || k == 5 ? date[k] == '.'
                                 : std::isdigit(static_cast<unsigned char>(date[k])))
        << date;
}

TEST(Report, BadInput) {
  const fs::path dir = scratch("bad");
  ASSERT_EQ(qualty(xbar_r("--analysis-out " + (dir / "x.json").string())).status, 0);
  std::ofstream(dir / "broken.json") << "{\"format\": \"nothing\"";
  // The broken analysis is named, the other one still reported: exit 1.
  Outcome r =
      qualty("report " + (dir / "r.html").string() + " " + (dir / "broken.json").string() + " " +
             kData + "diameters.csv " + (dir / "x.json").string() + " " + kData + "diameters.csv");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("qualty: "), std::string::npos);
  const std::string html = slurp(dir / "r.html");
  EXPECT_NE(html.find("class=\"error\""), std::string::npos);
  EXPECT_NE(html.find("broken.json"), std::string::npos);
  EXPECT_GE(count(html, "<svg"), 1u);

  struct Row {
    std::string args;
    int status;
    const char* why;
  };
  const std::string one = (dir / "x.json").string() + " " + kData + "diameters.csv";
  const Row rows[] = {
      {"report " + (dir / "absent" / "r.html").string() + " " + one, 2,
       "folder that does not exist"},
      {"report " + (dir / "r.html" / "r.pdf").string() + " " + one, 2, "folder that is a file"},
      {xbar_r("--report " + (dir / "no" / "r.html").string()), 2,
       "run into a folder that does not exist"},
      {"report " + (dir / "odd.html").string() + " " + (dir / "x.json").string(), 2,
       "an analysis without its data sheet"},
  };
  for (const Row& row : rows) {
    r = qualty(row.args);
    EXPECT_EQ(r.status, row.status) << row.why << ": " << r.out;
    EXPECT_EQ(r.out.rfind("qualty: ", 0), 0u) << row.why << ": " << r.out;
  }
  EXPECT_FALSE(fs::exists(dir / "absent"));
  EXPECT_FALSE(fs::exists(dir / "odd.html"));
  size_t left = 0;
  for (const auto& e : fs::directory_iterator(dir))
    left += e.path().string().find(".tmp") != std::string::npos ? 1 : 0;
  EXPECT_EQ(left, 0u);
}

TEST(Report, HundredThousandPointsStaySmall) {
  const fs::path dir = scratch("large");
  {
    std::ofstream csv(dir / "big.csv");
    csv << "Value\n";
    // A saw tooth with a step every 1000 points: not constant, all finite.
    for (int i = 0; i < 100000; ++i) csv << 10.0 + (i % 97) * 0.01 + ((i / 1000) % 2) * 0.2 << "\n";
  }
  const std::string run = "run vchart --chart 3 --var data=Value ";
  // Processor time of the finished children, not the wall clock of a shared machine.
  const auto children = [] {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
  };
  double t0 = children();
  ASSERT_EQ(qualty(run + (dir / "big.csv").string()).status, 0);
  const double bare = children() - t0;
  t0 = children();
  const Outcome r =
      qualty(run + "--report " + (dir / "big.html").string() + " " + (dir / "big.csv").string());
  const double with = children() - t0;
  ASSERT_EQ(r.status, 0) << r.out.substr(0, 400);
  // Time is measured, not asserted (a sanitizer build is several times slower):
  // the figure goes to the test's record for a person to read.
  RecordProperty("report_cpu_seconds", std::to_string(with - bare));
  EXPECT_LT(fs::file_size(dir / "big.html"), 10u << 20);
  fs::remove_all(dir);
}

}  // namespace
