#include "app/report_pdf.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/report_words.h"
#include "host/graph/graph_backend.h"
#include "host/graph/renderer.h"

namespace qualty {

namespace {

// A4 in points, with margins of 15 mm.
constexpr double kPageWidth = 595.276, kPageHeight = 841.89, kMargin = 42.5;
constexpr double kBodyWidth = kPageWidth - 2 * kMargin;
constexpr const char* kSans = "DejaVu Sans";
constexpr const char* kMono = "DejaVu Sans Mono";

// A cursor down the page that starts a new page when the next line does not fit.
class PageWriter {
 public:
  explicit PageWriter(PdfPages& pages) : pages_(pages) {}

  void new_page() {
    if (used_) pages_.show_page();
    y_ = kMargin;
    used_ = false;
  }
  // Room for height more points, else a new page.
  void need(double height) {
    if (y_ + height > kPageHeight - kMargin && used_) new_page();
  }
  void font(const char* family, double size, bool bold) {
    pages_.font(family, size, bold);
    size_ = size;
  }
  double width(const std::string& s) { return pages_.text_width(s); }
  // One line, cut into pieces that fit the body's width (at a blank when one
  // is in the second half of the piece): a guess in proportion to the width,
  // then shortened, so that a line of 10^5 characters costs few measures.
  void line(const std::string& text, double indent = 0) {
    const double room = kBodyWidth - indent;
    std::string rest = text;
    do {
      // No glyph is narrower than a quarter of the size: 600 of them overfill a line.
      const size_t probe = std::min<size_t>(rest.size(), 600);
      size_t cut = rest.size();
      const double full = width(rest.substr(0, probe));
      if (full > room || probe < rest.size()) {
        cut = std::max<size_t>(1, static_cast<size_t>(static_cast<double>(probe) *
                                                      std::min(1.0, room / std::max(full, 1.0))));
        while (cut > 1 && width(rest.substr(0, cut)) > room) cut -= std::max<size_t>(1, cut / 20);
        const size_t blank = rest.rfind(' ', cut);
        if (blank != std::string::npos && blank > cut / 2) cut = blank;
        while (cut > 1 && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80) --cut;  // UTF-8
      }
      put(rest.substr(0, cut), indent);
      rest.erase(0, cut);
      if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
    } while (!rest.empty());
  }
  void gap(double points) { y_ += points; }
  // A graph scaled to the body's width, kept whole on one page.
  void graph(const Graph& g) {
    if (g.width <= 0 || g.height <= 0) return;
    const double scale =
        std::min(kBodyWidth / g.width, (kPageHeight - 2 * kMargin) * 0.6 / g.height);
    need(g.height * scale + 6);
    render_graph(g, pages_.begin_graph(kMargin, y_, scale, g.settings.font));
    pages_.end_graph();
    y_ += g.height * scale + 6;
    used_ = true;
  }

 private:
  void put(const std::string& s, double indent) {
    need(size_ * 1.35);
    pages_.text(kMargin + indent, y_ + size_, s);
    y_ += size_ * 1.35;
    used_ = true;
  }

  PdfPages& pages_;
  double y_ = kMargin, size_ = 10;
  bool used_ = false;
};

void lines_of(PageWriter& w, const std::string& text, double indent = 0) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    w.line(text.substr(start, end - start), indent);
    start = end + 1;
  }
}

// A table as lines of cells separated by blanks, wide enough for each column.
void table_lines(PageWriter& w, const ReportTable& t) {
  std::vector<size_t> widths;
  for (const auto& row : t.rows)
    for (size_t c = 0; c < row.size(); ++c) {
      if (widths.size() <= c) widths.push_back(0);
      widths[c] = std::max(widths[c], row[c].size());
    }
  for (const auto& row : t.rows) {
    std::string s;
    for (size_t c = 0; c < row.size(); ++c)
      s += row[c] + std::string(c + 1 < row.size() ? widths[c] - row[c].size() + 2 : 0, ' ');
    w.line(s);
  }
}

void analysis_pages(PageWriter& w, const Report& report, const ReportAnalysis& a) {
  const ReportWords& words = report.words;
  w.new_page();
  w.font(kSans, 16, true);
  w.line(a.title);
  w.gap(4);
  w.font(kSans, 10, false);
  w.line(words.word(kWordProcedure, "Procedure") + ": " + a.procedure);
  if (!a.source.empty()) w.line(words.word(kWordAnalysisFile, "Analysis file") + ": " + a.source);
  w.line(words.word(kWordDataFile, "Data file") + ": " + a.data);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(a.data_bytes));
  w.line(words.word(kWordDataSize, "Size (bytes)") + ": " + buf);
  std::snprintf(buf, sizeof buf, "%08x", a.data_crc);
  w.line(words.word(kWordChecksum, "Checksum (CRC-32)") + ": " + buf);
  if (!a.error.empty()) {
    w.gap(6);
    w.font(kSans, 10, true);
    w.line(a.error);
  }
  if (!a.variables.empty()) {
    w.gap(8);
    w.font(kSans, 12, true);
    w.line(words.word(kWordVariables, "Input variables"));
    w.font(kSans, 10, false);
    for (const auto& [role, expr] : a.variables) w.line(role + ": " + expr);
  }
  if (a.has_options) {
    w.gap(8);
    w.font(kSans, 12, true);
    w.line(words.word(kWordOptions, "Options in force"));
    w.font(kMono, 8.5, false);
    table_lines(w, a.options);
  }
  for (const ReportPane& p : a.panes) {
    w.new_page();
    w.font(kSans, 12, true);
    w.line(a.title + " - " + with_number(words.word(kWordPane, "Pane %d"), p.number));
    w.gap(4);
    if (p.graph) {
      w.graph(p.drawn);
    } else {
      w.font(kMono, 8.5, false);
      lines_of(w, p.text);
    }
    if (!p.advice.empty()) {
      w.gap(8);
      w.font(kSans, 11, true);
      w.line(words.word(kWordInterpretation, "Interpretation"));
      w.font(kSans, 10, false);
      lines_of(w, p.advice);
    }
  }
  if (a.has_violations) {
    w.new_page();
    w.font(kSans, 12, true);
    w.line(words.word(kWordViolations, "Out-of-control points"));
    w.font(kMono, 8.5, false);
    if (a.violations.rows.empty())
      w.line(words.word(kWordNoViolations, "None."));
    else
      table_lines(w, a.violations);
  }
}

}  // namespace

bool report_pdf(const Report& report, std::string& bytes, std::string& error) {
  bytes.clear();
  const std::unique_ptr<PdfPages> pages =
      graph_backend().pdf_pages(kPageWidth, kPageHeight, report.title, "qualty " + report.version);
  PageWriter w(*pages);
  w.font(kSans, 20, true);
  w.line(report.title);
  w.font(kSans, 10, false);
  w.line(report.words.word(kWordCreated, "Created") + " " + report.created + "  " +
         report.words.word(kWordProgram, "Program") + " qualty " + report.version);
  if (report.analyses.size() > 1) {
    w.gap(12);
    w.font(kSans, 14, true);
    w.line(report.words.word(kWordContents, "Contents"));
    w.font(kSans, 10, false);
    for (size_t k = 0; k < report.analyses.size(); ++k)
      w.line(std::to_string(k + 1) + ". " + report.analyses[k].title);
  }
  for (const ReportAnalysis& a : report.analyses) analysis_pages(w, report, a);
  pages->show_page();
  std::string why;
  if (!pages->finish(bytes, why)) {
    error = "cannot draw the report: " + why;
    return false;
  }
  return true;
}

}  // namespace qualty
