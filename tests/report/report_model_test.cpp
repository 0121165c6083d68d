// The report's pieces: a pane's text read as tables, JSON read as tables, the
// checksum, the date picture, escaping, and writers of a report of 500 panes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/report_html.h"
#include "app/report_model.h"
#include "app/report_pdf.h"
#include "app/report_write.h"

namespace {

namespace fs = std::filesystem;
using qualty::TextBlock;

size_t count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + what.size())) ++n;
  return n;
}

TEST(ReportText, AlignedColumnsBecomeATable) {
  // A pane as the gage study writes it (CR LF line ends, columns of blanks).
  const std::string pane =
      "Gage R&R Study: Summary\r\n\r\nAppraisers: Appraiser\r\n\r\n"
      "Source            Sigma               Variance\r\n"
      "Repeatability     0.200894            0.0403586\r\n"
      "Parts             1.10484             1.22067\r\n";
  const auto blocks = qualty::text_blocks(pane);
  ASSERT_EQ(blocks.size(), 3u);
  EXPECT_EQ(blocks[0].kind, TextBlock::heading);
  EXPECT_EQ(blocks[0].text, "Gage R&R Study: Summary");
  EXPECT_EQ(blocks[1].kind, TextBlock::line);
  EXPECT_EQ(blocks[1].text, "Appraisers: Appraiser");
  ASSERT_EQ(blocks[2].kind, TextBlock::table);
  EXPECT_TRUE(blocks[2].cells.header);
  ASSERT_EQ(blocks[2].cells.rows.size(), 3u);
  EXPECT_EQ(blocks[2].cells.rows[0], (std::vector<std::string>{"Source", "Sigma", "Variance"}));
  EXPECT_EQ(blocks[2].cells.rows[2], (std::vector<std::string>{"Parts", "1.10484", "1.22067"}));
}

TEST(ReportText, LabelledValuesAreATableWithoutHeader) {
  const auto blocks = qualty::text_blocks(
      "Title\n\nAverage range (R-bar-bar):   0.341667\nDifference (X-diff):  0.444667\n"
      "One single sentence with single blanks.\n");
  ASSERT_EQ(blocks.size(), 3u);
  ASSERT_EQ(blocks[1].kind, TextBlock::table);
  EXPECT_FALSE(blocks[1].cells.header);
  EXPECT_EQ(blocks[1].cells.rows[1][1], "0.444667");
  EXPECT_EQ(blocks[2].kind, TextBlock::line);
}

TEST(ReportJson, ShapesOfTables) {
  using nlohmann::json;
  struct Row {
    json value;
    size_t rows;
    bool header;
    std::string cell;  // row 1, column 1
    const char* shape;
  };
  const Row rows[] = {
      {json::parse(R"([{"name":"sigma","value":2},{"name":"k","value":3,"default":true}])"), 3,
       true, "2", "array of objects: columns are the union of keys"},
      {json::parse(R"({"span":3,"method":"R-bar"})"), 2, false, "3",
       "object: name and value, names in order (method, span)"},
      {json::parse(R"([[1,2],[3,4]])"), 2, false, "4", "array of arrays"},
      {json::parse("7"), 0, false, "", "a scalar is no table"},
  };
  for (const Row& r : rows) {
    const auto t = qualty::json_table(r.value);
    EXPECT_EQ(t.rows.size(), r.rows) << r.shape;
    EXPECT_EQ(t.header, r.header) << r.shape;
    if (r.rows > 1) {
      EXPECT_EQ(t.rows[1][1], r.cell) << r.shape;
    }
  }
  const auto t = qualty::json_table(rows[0].value);
  EXPECT_EQ(t.rows[0], (std::vector<std::string>{"name", "value", "default"}));
  EXPECT_EQ(t.rows[1][2], "");     // absent in the first object
  EXPECT_EQ(t.rows[2][2], "yes");  // true shown as a word
}

TEST(ReportChecksum, PublishedCheckValue) {
  // CRC-32 check value of "123456789": 0xCBF43926 (Williams 1993, "A painless
  // guide to CRC error detection algorithms", the CRC-32 parameter set).
  const std::string s = "123456789";
  EXPECT_EQ(qualty::crc32_update(0, reinterpret_cast<const unsigned char*>(s.data()), s.size()),
            0xCBF43926u);
  const fs::path p = fs::temp_directory_path() / "qualty-report-crc.txt";
  std::ofstream(p, std::ios::binary) << s;
  uint64_t bytes = 0;
  uint32_t crc = 0;
  ASSERT_TRUE(qualty::file_crc32(p.string(), bytes, crc));
  EXPECT_EQ(bytes, 9u);
  EXPECT_EQ(crc, 0xCBF43926u);
  fs::remove(p);
  EXPECT_FALSE(qualty::file_crc32(p.string(), bytes, crc));
}

TEST(ReportDate, PicturesOfTheShortDate) {
  struct Row {
    const char* picture;
    const char* want;
  };
  const Row rows[] = {{"M/D/YY", "12/7/26 02:09"},
                      {"DD.MM.YYYY", "07.12.2026 02:09"},
                      {"yyyy-mm-dd", "2026-12-07 02:09"}};
  for (const Row& r : rows)
    EXPECT_EQ(qualty::format_date_time(r.picture, 2026, 12, 7, 2, 9), r.want) << r.picture;
}

qualty::Report report_of(size_t panes, const std::string& title) {
  qualty::Report r;
  r.title = title;
  r.created = "12/7/26 02:09";
  r.version = "1.0";
  qualty::ReportAnalysis a;
  a.title = "Chart <of> \"A&B\"";
  a.procedure = "vchart";
  a.data = "a&b.csv";
  for (size_t k = 0; k < panes; ++k) {
    qualty::ReportPane p;
    p.number = static_cast<int>(k + 1);
    p.text = "Pane title\n\nMean:  " + std::to_string(k) + ".5\n<script>x</script>\n";
    p.advice = "The process is in control & stable.";
    a.panes.push_back(p);
  }
  r.analyses.push_back(a);
  r.analyses.push_back(a);
  return r;
}

TEST(ReportHtml, EscapesEveryTextAndListsTheAnalyses) {
  const std::string html = qualty::report_html(report_of(2, "Line <1> & \"2\""));
  EXPECT_NE(html.find("<h1>Line &lt;1&gt; &amp; &quot;2&quot;</h1>"), std::string::npos);
  EXPECT_NE(html.find("Chart &lt;of&gt; &quot;A&amp;B&quot;"), std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);  // the pane's text is text
  EXPECT_EQ(html.find("<of>"), std::string::npos);
  EXPECT_EQ(count(html, "<section class=\"analysis\""), 2u);
  EXPECT_EQ(count(html, "<li><a href=\"#a"), 2u);  // contents: two analyses
  EXPECT_EQ(html.find("http:"), std::string::npos);
  EXPECT_EQ(html.find("https:"), std::string::npos);
}

TEST(ReportHtml, GraphIdsArePrefixed) {
  const std::string svg =
      "<?xml version=\"1.0\"?>\n<svg viewBox=\"0 0 4 4\"><clipPath id=\"clip1\"><rect/></clipPath>"
      "<g clip-path=\"url(#clip1)\"></g></svg>";
  const std::string in = qualty::inline_svg(svg, "a1-p8-");
  EXPECT_EQ(in.rfind("<svg", 0), 0u);  // no XML prolog inside HTML
  EXPECT_NE(in.find("id=\"a1-p8-clip1\""), std::string::npos);
  EXPECT_NE(in.find("url(#a1-p8-clip1)"), std::string::npos);
  EXPECT_EQ(in.find("\"clip1\""), std::string::npos);
}

TEST(ReportWriters, FiveHundredPanes) {
  const qualty::Report r = report_of(250, "Many");
  const std::string html = qualty::report_html(r);
  EXPECT_EQ(count(html, "<section class=\"pane\""), 500u);
  std::string pdf, why;
  ASSERT_TRUE(qualty::report_pdf(r, pdf, why)) << why;
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  // A title page, then a page per analysis and one per pane.
  EXPECT_EQ(count(pdf, "/Type /Page\n") + count(pdf, "/Type /Page "), 1u + 2u + 500u);
}

TEST(ReportWriters, LongLinesAreCutNotLost) {
  // A pane line of 2 x 10^5 characters without a blank (it once cost a measure
  // per character), and one of accented words.
  qualty::Report r = report_of(1, "Long");
  r.analyses.resize(1);
  std::string accented;
  for (int k = 0; k < 400; ++k) accented += "\xc3\xa9t\xc3\xa9 ";
  r.analyses[0].panes[0].text = "Title\n" + std::string(200000, 'x') + "\n" + accented + "\n";
  std::string pdf, why;
  ASSERT_TRUE(qualty::report_pdf(r, pdf, why)) << why;
  // Monospace at 8.5 pt: 510 pt hold 100 characters of 5.1 pt, so 2000 lines of
  // x and a few of words; at 11.5 pt a line, some 60 lines a page.
  const size_t pages = count(pdf, "/Type /Page\n") + count(pdf, "/Type /Page ");
  EXPECT_GE(pages, 1u + 1u + 2000u / 70u);
  EXPECT_LE(pages, 1u + 1u + 2100u / 50u + 1u);
}

TEST(ReportWrite, WholeOrNothing) {
  const fs::path dir = fs::temp_directory_path() / "qualty-report-write";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::string why;
  const std::string target = (dir / "r.html").string();
  ASSERT_TRUE(qualty::write_file_whole(target, "first", why)) << why;
  ASSERT_TRUE(qualty::write_file_whole(target, "second", why)) << why;
  std::ifstream in(target);
  std::stringstream ss;
  ss << in.rdbuf();
  EXPECT_EQ(ss.str(), "second");
  EXPECT_FALSE(qualty::write_file_whole((dir / "absent" / "r.html").string(), "x", why));
  EXPECT_NE(why.find("does not exist"), std::string::npos) << why;
  EXPECT_FALSE(qualty::write_file_whole((dir / "r.html" / "x.html").string(), "x", why));
  size_t files = 0;
  for (const auto& e : fs::directory_iterator(dir)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1u);  // no temporary file left behind
  fs::remove_all(dir);
}

}  // namespace
